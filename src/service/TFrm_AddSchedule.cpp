#include "TFrm_AddSchedule.h"
#include "ui_TFrm_AddSchedule.h"

#include "CellText.h"
#include "DailyNumbers.h"
#include "DataSet.h"
#include "MessageBoxes.h"
#include "NumberEdit.h"
#include "Session.h"
#include "TFrm_Data.h"

#include <QApplication>
#include <QLineEdit>
#include <QLocale>
#include <QShowEvent>
#include <QSqlQuery>
#include <QSignalBlocker>

QPointer<TFrm_AddSchedule> Frm_AddSchedule;

namespace {
const QString OrderTable = QStringLiteral("T_Schedule");
const QString OrderKey = QStringLiteral("ScheduleID");
const QString NumberColumn = QStringLiteral("danhao");
const QString FeeNotNumberText = QStringLiteral("服务费用必须是数字！");
constexpr int TextLength = 50;
// The reminder date picker's lowest date stands for "no date".
const QDate NoReminderDate(1900, 1, 1);
// Numbers lost to other workstations in a row before the save gives up.
constexpr int MaxRenumbering = 20;

void setField(RecordEditor::Fields &fields, const QString &column, const QVariant &value)
{
    for (auto &field : fields) {
        if (field.first == column)
            field.second = value;
    }
}

void clearCombo(QComboBox *combo)
{
    combo->setCurrentIndex(-1);
    combo->clearEditText();
}

struct WaitCursor
{
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};
} // namespace

TFrm_AddSchedule::TFrm_AddSchedule(TFrm_Data &data, Session &session, Mode mode, QWidget *parent)
    : RecordEditor(data, mode, parent), m_ui(std::make_unique<Ui::TFrm_AddSchedule>()), m_session(session)
{
    m_ui->setupUi(this);
    m_ui->Combo_type->setList(data, QStringLiteral("Dict_modle"));
    m_ui->Combo_yuanyin->setList(data, QStringLiteral("Dict_yuanyin"));
    m_ui->Combo_engineer->setList(data, QStringLiteral("Dict_CustLevel"));
    m_ui->combo_depart->setList(data, QStringLiteral("Dict_leibie"));
    m_ui->edit_number->setList(data, QStringLiteral("Dict_lx"));
    m_ui->edit_price->setFill([this] { fillUnitModels(); });
    connectListButton(m_ui->SpeedButton1, QStringLiteral("Dict_modle"));
    connectListButton(m_ui->SpeedButton4, QStringLiteral("Dict_yuanyin"));
    connectListButton(m_ui->SpeedButton3, QStringLiteral("Dict_CustLevel"));
    // The columns are 50 characters wide.
    for (QComboBox *combo : findChildren<QComboBox *>())
        combo->lineEdit()->setMaxLength(TextLength);
    for (QLineEdit *edit : {m_ui->Edit_code, m_ui->edit_money})
        edit->setMaxLength(TextLength);
    m_ui->DateTimePicker_Awoke->setMinimumDate(NoReminderDate);
    m_ui->DateTimePicker_Awoke->setSpecialValueText(QStringLiteral("未设置"));
    m_ui->DateTimePicker_Awoke->setEnabled(false);
    connect(m_ui->CheckBox_Awoke, &QCheckBox::toggled, m_ui->DateTimePicker_Awoke, &QWidget::setEnabled);
    // A reminder needs a day: ticking offers today until the operator picks another.
    connect(m_ui->CheckBox_Awoke, &QCheckBox::clicked, this, [this](bool on) {
        if (on && m_ui->DateTimePicker_Awoke->date() == NoReminderDate)
            m_ui->DateTimePicker_Awoke->setDate(QDate::currentDate());
    });

    setUpForm(m_ui->DBNavigator1, data.Qry_Schedule);
    connect(m_ui->Btn_OK, &QPushButton::clicked, this, &TFrm_AddSchedule::Btn_OKClick);
    connect(m_ui->Btn_Exit, &QPushButton::clicked, this, &QDialog::reject);
}

TFrm_AddSchedule::~TFrm_AddSchedule() = default;

void TFrm_AddSchedule::AddSchedule(TFrm_Data &data, Session &session, QWidget *parent)
{
    runModal(Frm_AddSchedule, data.Qry_Cust, data, session, Mode::Add, parent);
}

void TFrm_AddSchedule::EditSchedule(TFrm_Data &data, Session &session, QWidget *parent)
{
    runModal(Frm_AddSchedule, data.Qry_Schedule, data, session, Mode::Edit, parent);
}

void TFrm_AddSchedule::DelSchedule(TFrm_Data &data)
{
    if (data.Qry_Schedule->isEmpty())
        return;
    if (MessageBoxes::box(QStringLiteral("您确定要删除这条维修记录吗？"), QStringLiteral("警告"), QMessageBox::Information,
                          QMessageBox::Yes | QMessageBox::No)
        == QMessageBox::Yes)
        deleteCurrentRecord(data, data.Qry_Schedule, OrderTable, OrderKey);
}

QString TFrm_AddSchedule::OrderNumberFor(TFrm_Data &data, const QDate &day)
{
    QSqlError error;
    const QString number = DailyNumbers::next(data, OrderTable, NumberColumn, QStringLiteral("WX"), day, nullptr, &error);
    if (number.isEmpty())
        data.reportError(QStringLiteral("无法生成维修单号。"), error, QStringLiteral("提醒"));
    return number;
}

void TFrm_AddSchedule::showEvent(QShowEvent *event)
{
    RecordEditor::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TFrm_AddSchedule::FormShow()
{
    setModeCaptions(m_ui->Btn_OK, QStringLiteral("添加维修记录"), QStringLiteral("编辑维修记录"));
    showCustomer(m_ui->Label_Customer);
    if (isAdding()) {
        ClearOrderFields();
        NextOrderNumber();
        m_ui->DBNavigator1->setEnabled(false);
    } else {
        LoadCurrentOrder();
    }
}

void TFrm_AddSchedule::recordMoved()
{
    LoadCurrentOrder();
}

void TFrm_AddSchedule::ClearOrderFields()
{
    m_ui->Combo_type->setEditText(m_data.Qry_Cust->value(QStringLiteral("model")).toString());
    for (QLineEdit *edit : {m_ui->Edit_code, m_ui->Edit_danhao, m_ui->edit_money})
        edit->clear();
    m_ui->Edit_fee->setValue(QVariant());
    const QList<QComboBox *> combos = {m_ui->Combo_yuanyin, m_ui->Combo_engineer, m_ui->edit_number, m_ui->edit_price,
                                       m_ui->combo_depart, m_ui->Combo_xz, m_ui->Combo_fw};
    for (QComboBox *combo : combos)
        clearCombo(combo);
    m_ui->Memo1->clear();
    m_ui->DateTimePicker1->setDate(QDate::currentDate());
    m_ui->DateTimePicker2->setDate(QDate::currentDate());
    m_loadedAwoke = false;
    m_loadedAwokeDate = QVariant();
    m_ui->CheckBox_Awoke->setChecked(false);
    m_ui->DateTimePicker_Awoke->setDate(NoReminderDate);
    // The completion state stays as chosen for the previous order.
    markClean();
}

void TFrm_AddSchedule::NextOrderNumber()
{
    // The report date is today at this moment; changing it later keeps the number.
    m_numberDay = m_ui->DateTimePicker1->date();
    m_ui->Edit_danhao->setText(OrderNumberFor(m_data, m_numberDay));
}

void TFrm_AddSchedule::LoadCurrentOrder()
{
    const DataSet *orders = m_data.Qry_Schedule;
    const auto text = [orders](const char *column) { return orders->value(QString::fromLatin1(column)).toString(); };
    const auto dateOrToday = [orders](const char *column) {
        const QDate date = CellText::dateTime(orders->value(QString::fromLatin1(column))).date();
        return date.isValid() ? date : QDate::currentDate();
    };
    m_ui->Edit_code->setText(text("code"));
    m_ui->Combo_type->setEditText(text("Type"));
    m_ui->Combo_yuanyin->setEditText(text("reason"));
    m_ui->Combo_engineer->setEditText(text("engineer"));
    m_ui->combo_depart->setEditText(text("depart"));
    m_ui->DateTimePicker1->setDate(dateOrToday("repairdate"));
    m_ui->DateTimePicker2->setDate(dateOrToday("finishdate"));
    m_ui->edit_number->setEditText(text("number"));
    m_ui->edit_price->setEditText(text("price"));
    m_ui->edit_money->setText(text("money"));
    m_ui->Edit_fee->setValue(orders->value(QStringLiteral("fee")));
    m_ui->Memo1->setPlainText(text("Memo"));
    m_ui->Edit_danhao->setText(text("danhao"));
    m_ui->Combo_fw->setEditText(text("Contact"));
    m_ui->Combo_xz->setEditText(text("Subject"));
    m_ui->ComboBox1->setEditText(text("zt"));
    // The reminder as stored: a flag without a date stays without one.
    m_loadedAwoke = orders->value(QStringLiteral("Awoke")).toBool();
    m_loadedAwokeDate = orders->value(QStringLiteral("AwokeDate"));
    const QDate reminderDay = CellText::dateTime(m_loadedAwokeDate).date();
    m_ui->CheckBox_Awoke->setChecked(m_loadedAwoke);
    m_ui->DateTimePicker_Awoke->setDate(reminderDay.isValid() ? reminderDay : NoReminderDate);
    recordLoaded(orders);
    markClean();
}

void TFrm_AddSchedule::fillUnitModels()
{
    // The goods of the customer's installation order.
    const QString batch = m_data.Qry_Cust->value(QStringLiteral("batch")).toString();
    QStringList names;
    if (!batch.trimmed().isEmpty()) {
        WaitCursor wait;
        if (!m_data.RunQuery(m_data.Qry_Str,
                             QStringLiteral("select GoodsName from T_BillDetail where batch = :batch order by BillDetailID"),
                             {{QStringLiteral(":batch"), batch}}))
            return;
        for (int row = 0; row < m_data.Qry_Str->recordCount(); ++row)
            names << m_data.Qry_Str->value(row, QStringLiteral("GoodsName")).toString().trimmed();
    }
    QComboBox *combo = m_ui->edit_price;
    const QString text = combo->currentText();
    const QSignalBlocker blocker(combo);
    combo->clear();
    combo->addItems(names);
    combo->setCurrentIndex(combo->findText(text));
    combo->setEditText(text);
}

bool TFrm_AddSchedule::readFee(QVariant *fee) const
{
    if (!m_ui->Edit_fee->isAcceptable())
        return false;
    *fee = m_ui->Edit_fee->value();
    if (fee->isNull())
        *fee = QVariant(QMetaType::fromType<double>());
    return true;
}

bool TFrm_AddSchedule::readReminder(Fields *fields)
{
    const bool reminder = m_ui->CheckBox_Awoke->isChecked();
    const QDate day = m_ui->DateTimePicker_Awoke->date() == NoReminderDate ? QDate() : m_ui->DateTimePicker_Awoke->date();
    const QDateTime loaded = CellText::dateTime(m_loadedAwokeDate);
    const bool flagSet = isAdding() || reminder != m_loadedAwoke;
    if (reminder && !day.isValid() && flagSet) {
        MessageBoxes::box(QStringLiteral("请选择提醒日期"), QStringLiteral("提醒"), QMessageBox::Information);
        m_ui->DateTimePicker_Awoke->setFocus();
        return false;
    }
    // Only what the operator set is written: an untouched reminder stays as stored, its
    // time of day included.
    if (flagSet)
        fields->append({QStringLiteral("Awoke"), reminder});
    if (reminder && day.isValid() && day != loaded.date()) {
        const QDateTime when(day, loaded.isValid() ? loaded.time() : QTime(0, 0));
        // Local time as text, as the complaints write theirs; a day alone as a date.
        fields->append({QStringLiteral("AwokeDate"), when.time() == QTime(0, 0)
                                                         ? QVariant(day)
                                                         : QVariant(when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")))});
    }
    return true;
}

void TFrm_AddSchedule::Btn_OKClick()
{
    if (m_ui->Combo_type->currentText().isEmpty()) {
        MessageBoxes::box(QStringLiteral("型号不能为空"), QStringLiteral("提醒"), QMessageBox::Information);
        m_ui->Combo_type->setFocus();
        return;
    }
    if (m_ui->combo_depart->currentText().isEmpty()) {
        MessageBoxes::box(QStringLiteral("请选择服务类型"), QStringLiteral("警告"), QMessageBox::Information);
        m_ui->combo_depart->setFocus();
        return;
    }
    QVariant fee;
    if (!readFee(&fee)) {
        MessageBoxes::box(FeeNotNumberText, QStringLiteral("提醒"), QMessageBox::Information);
        m_ui->Edit_fee->setFocus();
        m_ui->Edit_fee->selectAll();
        return;
    }
    const QDate reported = m_ui->DateTimePicker1->date();
    Fields fields = {
        {QStringLiteral("code"), m_ui->Edit_code->text()},
        {QStringLiteral("Type"), m_ui->Combo_type->currentText()},
        {QStringLiteral("reason"), m_ui->Combo_yuanyin->currentText()},
        {QStringLiteral("repairdate"), reported},
        {QStringLiteral("engineer"), m_ui->Combo_engineer->currentText()},
        {QStringLiteral("StartDate"), QLocale().toString(reported, QLocale::ShortFormat)},
        {QStringLiteral("finishdate"), m_ui->DateTimePicker2->date()},
        {QStringLiteral("number"), m_ui->edit_number->currentText()},
        {QStringLiteral("price"), m_ui->edit_price->currentText()},
        {QStringLiteral("money"), m_ui->edit_money->text()},
        {QStringLiteral("fee"), fee},
        {QStringLiteral("depart"), m_ui->combo_depart->currentText()},
        {QStringLiteral("Memo"), m_ui->Memo1->toPlainText()},
        {NumberColumn, m_ui->Edit_danhao->text()},
        {QStringLiteral("F_User"), m_session.OperatorName()},
        {QStringLiteral("Subject"), m_ui->Combo_xz->currentText()},
        {QStringLiteral("Contact"), m_ui->Combo_fw->currentText()},
        {QStringLiteral("zt"), m_ui->ComboBox1->currentText()},
    };
    if (!readReminder(&fields) || !saveOrder(fields))
        return;
    if (isAdding()) {
        ClearOrderFields();
        NextOrderNumber();
    } else {
        accept();
    }
}

bool TFrm_AddSchedule::saveOrder(Fields fields)
{
    // The customer's code, name, telephone and address as stored when the order is saved.
    const CustomerCopies fromCustomer = {{QStringLiteral("Company"), QStringLiteral("Company")},
                                         {QStringLiteral("CustCode"), QStringLiteral("CustCode")},
                                         {QStringLiteral("tel"), QStringLiteral("Tel")},
                                         {QStringLiteral("address"), QStringLiteral("Address")}};
    if (!isAdding())
        return writeRecord(m_data.Qry_Schedule, OrderTable, OrderKey, fields, fromCustomer);
    // The number was taken when the dialog showed it; another workstation may have saved it
    // since. The unique index refuses it then, and the order takes the next free one.
    const QString shown = m_ui->Edit_danhao->text();
    QString number = shown;
    for (int attempt = 0;; ++attempt) {
        setField(fields, NumberColumn, number);
        QSqlError error;
        if (writeRecord(m_data.Qry_Schedule, OrderTable, OrderKey, fields, fromCustomer, &error))
            break;
        if (!error.isValid())
            return false;   // refused with a message of its own
        const bool lostNumber = attempt < MaxRenumbering && !number.isEmpty() && orderNumberTaken(number);
        if (!lostNumber) {
            m_data.reportError(QStringLiteral("保存数据失败!"), error, QStringLiteral("提醒"));
            return false;
        }
        number = OrderNumberFor(m_data, m_numberDay);
        if (number.isEmpty())
            return false;
    }
    if (number != shown)
        MessageBoxes::box(QStringLiteral("维修单号 %1 已被其他工作站使用，本单已保存为 %2。").arg(shown, number),
                          QStringLiteral("提示"), QMessageBox::Information);
    return true;
}

bool TFrm_AddSchedule::orderNumberTaken(const QString &number)
{
    QSqlQuery query(m_data.database());
    return m_data.connection().exec(query, QStringLiteral("select ScheduleID from T_Schedule where danhao = :number"),
                                    {{QStringLiteral(":number"), number}})
        && query.next();
}
