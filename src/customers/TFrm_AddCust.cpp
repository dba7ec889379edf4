#include "TFrm_AddCust.h"
#include "ui_TFrm_AddCust.h"

#include "CustomerNumbers.h"
#include "DailyNumbers.h"
#include "DataGrid.h"
#include "GridColumns.h"
#include "HzSpell.h"
#include "MessageBoxes.h"
#include "NumberEdit.h"
#include "ReferenceLists.h"
#include "Session.h"
#include "TFrm_Data.h"

#include <QDateTime>
#include <QSqlQuery>
#include <cmath>

QPointer<TFrm_AddCust> Frm_AddCust;

namespace {

const QString ReminderCaption = QStringLiteral("提醒");
const QString CodeSection = QStringLiteral("Other");
const QString CodeKey = QStringLiteral("custcode");
constexpr int GoodsPage = 1;
// Another workstation may take the proposed order number first; then the next one is made.
constexpr int OrderNumberAttempts = 5;

// Boxes whose content is stored as a number.
struct NumberField
{
    NumberEdit *edit;
    const char *column;
    QString label;
};

} // namespace

TFrm_AddCust::TFrm_AddCust(TFrm_Data &data, Session &session, Mode mode, QWidget *parent)
    : RecordEditor(data, mode, parent), m_ui(std::make_unique<Ui::TFrm_AddCust>()), m_session(session)
{
    m_ui->setupUi(this);
    Frm_AddCust = this;
    setWindowTitle(isAdding() ? QStringLiteral("添加用户信息") : QStringLiteral("编辑用户信息"));
    setUpForm(isAdding() ? nullptr : m_ui->DBNavigator1, data.Qry_Cust);
    m_ui->DBNavigator1->setEnabled(!isAdding());
    setUpLists();

    m_ui->Grid_Goods->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                                      | QAbstractItemView::AnyKeyPressed);
    // Lines are added from the goods picker, which comes with the goods catalogue.
    m_ui->Btn_AddLine->setEnabled(false);

    connect(m_ui->Btn_OK, &QPushButton::clicked, this, &TFrm_AddCust::Btn_OKClick);
    connect(m_ui->Btn_Cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_ui->cb_Auto, &QCheckBox::clicked, this, &TFrm_AddCust::cb_AutoClick);
    connect(m_ui->Edit_taishu, &QLineEdit::textEdited, this, &TFrm_AddCust::computeMoney);
    connect(m_ui->Edit_retail, &QLineEdit::textEdited, this, &TFrm_AddCust::computeMoney);
    connect(m_ui->PageControl1, &QTabWidget::currentChanged, this, &TFrm_AddCust::Page_Change);
    connect(m_ui->Btn_DelLine, &QToolButton::clicked, this, &TFrm_AddCust::Btn_DelLineClick);
    connect(m_ui->Btn_SaveLines, &QToolButton::clicked, this, &TFrm_AddCust::Btn_SaveLinesClick);

    // Creation: the automatic code switch follows the program settings.
    if (m_data.RunQuery(m_data.Qry_SoftInfo, QStringLiteral("select * from T_SoftInfo"))
        && m_data.Qry_SoftInfo->value(0, QStringLiteral("autocoding")).toInt() == 1) {
        m_ui->cb_Auto->setChecked(true);
        cb_AutoClick();
    }

    if (isAdding()) {
        ClearCustFields();
        MakeOrderNumber();
        m_ui->Edit_Code->setText(m_session.AutoCustCode()
                                     ? m_data.ConfigIni().ReadString(CodeSection, CodeKey, QString())
                                     : QString());
        m_ui->Combo_user->setEditText(m_session.OperatorName());
        m_data.Qry_BillDetail->setMasterSource(nullptr);
    } else {
        LoadCurrentCust();
        m_data.Qry_BillDetail->setMasterSource(m_data.Qry_Cust);
        m_data.RunQuery(m_data.Qry_BillDetail, QStringLiteral("select * from T_billDetail where batch = :batch"));
    }
    // The clerk starts typing at the first box, not on the page tabs.
    m_ui->Edit_Code->setFocus();
    markClean();
}

TFrm_AddCust::~TFrm_AddCust() = default;

void TFrm_AddCust::AddCust(TFrm_Data &data, Session &session, QWidget *parent)
{
    TFrm_AddCust editor(data, session, Mode::Add, parent);
    editor.exec();
}

void TFrm_AddCust::EditCust(TFrm_Data &data, Session &session, QWidget *parent)
{
    runModal(Frm_AddCust, data.Qry_Cust, data, session, Mode::Edit, parent);
}

QString TFrm_AddCust::orderNumber() const
{
    return m_ui->Edit_danhao->text();
}

void TFrm_AddCust::setUpLists()
{
    m_ui->Combo_type->setList(m_data, QStringLiteral("Dict_modle"));
    m_ui->Combo_place->setList(m_data, QStringLiteral("Dict_place"));
    m_ui->Combo_depart->setList(m_data, QStringLiteral("Dict_custType"));
    m_ui->Combo_people->setList(m_data, QStringLiteral("Dict_people"));
    m_ui->Combo_largess->setList(m_data, QStringLiteral("Dict_custfrom"));
    m_ui->Combo_largessb->setList(m_data, QStringLiteral("Dict_custfrom"));
    m_ui->Combo_user->setFill([this] {
        QStringList names;
        if (m_data.RunQuery(m_data.Qry_Str, QStringLiteral("select * from admin order by UserID"))) {
            for (int row = 0; row < m_data.Qry_Str->recordCount(); ++row)
                names << m_data.Qry_Str->value(row, QStringLiteral("UserName")).toString().trimmed();
        }
        const QString text = m_ui->Combo_user->currentText();
        m_ui->Combo_user->clear();
        m_ui->Combo_user->addItems(names);
        m_ui->Combo_user->setEditText(text);
    });
    connect(m_ui->Combo_leibie, &DropDownComboBox::aboutToDropDown, this, [this] {
        QStringList entries;
        if (ReferenceLists::entries(m_data, QStringLiteral("Dict_leibie"), &entries, ReferenceLists::Entries::NonBlank))
            m_ui->Combo_leibie->setItems(entries);
    });
    connectListButton(m_ui->SpeedButton1, QStringLiteral("Dict_leibie"));
    connectListButton(m_ui->SpeedButton2, QStringLiteral("Dict_modle"));
    connectListButton(m_ui->SpeedButton3, QStringLiteral("Dict_custfrom"));
    connectListButton(m_ui->SpeedButton5, QStringLiteral("Dict_custfrom"));
    connectListButton(m_ui->SpeedButton6, QStringLiteral("Dict_place"));
    connectListButton(m_ui->SpeedButton8, QStringLiteral("Dict_people"));
    connectListButton(m_ui->SpeedButton9, QStringLiteral("Dict_custType"));
}

void TFrm_AddCust::cb_AutoClick()
{
    const bool on = m_ui->cb_Auto->isChecked();
    m_data.RunStatement(m_data.Qry_Temp, QStringLiteral("update T_SoftInfo set autocoding = :on"),
                        {{QStringLiteral(":on"), on ? 1 : 0}});
    m_session.setAutoCustCode(on);
    m_ui->Edit_Code->setText(on ? m_data.ConfigIni().ReadString(CodeSection, CodeKey, QString()) : QString());
}

void TFrm_AddCust::ClearCustFields()
{
    for (QLineEdit *edit : {m_ui->Edit_CustName, m_ui->Edit_Mobile, m_ui->Edit_tel, m_ui->Edit_Address,
                            m_ui->Edit_billcode, m_ui->Edit_airframe})
        edit->clear();
    for (QComboBox *combo : {static_cast<QComboBox *>(m_ui->Combo_type), static_cast<QComboBox *>(m_ui->Combo_place),
                             static_cast<QComboBox *>(m_ui->Combo_depart), static_cast<QComboBox *>(m_ui->Combo_people),
                             static_cast<QComboBox *>(m_ui->Combo_largess), static_cast<QComboBox *>(m_ui->Combo_largessb)})
        combo->setEditText(QString());
    m_ui->Combo_leibie->setText(QString());
    m_ui->Memo1->clear();
    const QDateTime now = QDateTime::currentDateTime();
    m_ui->DateTimePicker1->setDateTime(now);
    m_ui->DateTimePicker2->setDateTime(now);
    m_ui->Edit_taishu->setText(QStringLiteral("0"));
    for (NumberEdit *edit : {m_ui->Edit_retail, m_ui->Edit_money, m_ui->Edit_number, m_ui->Edit_numberB,
                             m_ui->Edit_gathering})
        edit->setValue(0);
}

void TFrm_AddCust::MakeOrderNumber()
{
    QString bad;
    QSqlError error;
    const QString number = DailyNumbers::next(m_data, QStringLiteral("custom"), QStringLiteral("batch"),
                                              CustomerNumbers::orderKind(), m_ui->DateTimePicker1->date(), &bad, &error);
    m_ui->Edit_danhao->setText(number);
    if (number.isEmpty())
        m_data.reportError(QStringLiteral("无法生成安装单号。"), error, ReminderCaption);
    else if (!bad.isEmpty())
        MessageBoxes::box(QStringLiteral("安装单号“%1”的序号不是数字，已按当天其它单号编号。").arg(bad), ReminderCaption,
                          QMessageBox::Information, QMessageBox::Ok);
}

void TFrm_AddCust::LoadCurrentCust()
{
    DataSet *customers = m_data.Qry_Cust;
    const auto text = [customers](const char *field) { return customers->value(QString::fromLatin1(field)).toString(); };
    // Numbers show whole and go back as they came while untouched.
    const auto number = [customers](NumberEdit *edit, const char *field) {
        edit->setValue(customers->value(QString::fromLatin1(field)));
    };
    const auto date = [customers](const char *field) {
        const QDate value = customers->value(QString::fromLatin1(field)).toDate();
        return value.isValid() ? value : QDate::currentDate();
    };
    m_ui->Edit_Code->setText(text("CustCode"));
    m_ui->Edit_CustName->setText(text("Company"));
    m_ui->Edit_Mobile->setText(text("Mobile"));
    m_ui->Edit_tel->setText(text("Tel"));
    m_ui->Edit_Address->setText(text("Address"));
    m_ui->Combo_type->setEditText(text("model"));
    m_ui->Combo_place->setEditText(text("place"));
    m_ui->DateTimePicker1->setDate(date("buydate"));
    m_ui->Edit_billcode->setText(text("billcode"));
    m_ui->Combo_depart->setEditText(text("depart"));
    m_ui->Combo_people->setEditText(text("people"));
    m_ui->Edit_airframe->setText(text("airframe"));
    m_ui->DateTimePicker2->setDate(date("installdate"));
    m_ui->Combo_user->setEditText(text("f_user"));
    m_ui->Edit_danhao->setText(text("batch"));
    m_ui->Memo1->setPlainText(text("memo"));
    m_ui->Combo_leibie->setText(text("Type"));
    m_ui->Edit_taishu->setText(text("taishu"));
    number(m_ui->Edit_retail, "retail");
    number(m_ui->Edit_money, "money");
    m_ui->Combo_largess->setEditText(text("largess"));
    number(m_ui->Edit_number, "number");
    m_ui->Combo_largessb->setEditText(text("largessb"));
    number(m_ui->Edit_numberB, "numberB");
    number(m_ui->Edit_gathering, "gathering");
    m_ui->Check_sk->setChecked(customers->value(QStringLiteral("isgathering")).toBool());
    LoadedCustCode = text("CustCode");
    LoadedCompany = text("Company");
    recordLoaded(customers);
    markClean();
}

void TFrm_AddCust::recordMoved()
{
    LoadCurrentCust();
}

void TFrm_AddCust::computeMoney()
{
    if (m_ui->Edit_taishu->text().isEmpty() || m_ui->Edit_retail->text() == QLatin1String("0"))
        return;
    QVariant quantity;
    const QVariant price = m_ui->Edit_retail->value();
    if (!NumberEdit::parse(m_ui->Edit_taishu->text(), false, &quantity) || !m_ui->Edit_retail->isAcceptable()
        || price.isNull())
        return;
    // To a hundredth of a cent: binary fractions would show 3 × 0.1 as 0.30000000000000004.
    const double money = std::round(quantity.toDouble() * price.toDouble() * 1e4) / 1e4;
    m_ui->Edit_money->setText(NumberEdit::textOf(money));
}

void TFrm_AddCust::remind(const QString &text, QWidget *focus)
{
    MessageBoxes::box(text, ReminderCaption, QMessageBox::Information, QMessageBox::Ok);
    m_ui->PageControl1->setCurrentWidget(m_ui->TabSheet1->isAncestorOf(focus) ? m_ui->TabSheet1 : m_ui->TabSheet2);
    focus->setFocus();
}

bool TFrm_AddCust::readCustomer(QVariantMap *values)
{
    // Numbers are checked before anything is written; an empty box counts as 0.
    // A box the operator did not touch gives back the stored value as it was.
    const NumberField numbers[] = {
        {m_ui->Edit_retail, "retail", QStringLiteral("单价")},
        {m_ui->Edit_money, "money", QStringLiteral("总金额")},
        {m_ui->Edit_number, "number", QStringLiteral("赠品数量A")},
        {m_ui->Edit_numberB, "numberB", QStringLiteral("赠品数量B")},
        {m_ui->Edit_gathering, "gathering", QStringLiteral("收款")},
    };
    for (const NumberField &field : numbers) {
        if (!field.edit->isAcceptable()) {
            remind(QStringLiteral("“%1”必须是%2!")
                       .arg(field.label, field.edit->isInteger() ? QStringLiteral("整数") : QStringLiteral("数字")),
                   field.edit);
            return false;
        }
        // A box emptied by the operator counts as 0.
        const QVariant value = field.edit->isEmpty() && !field.edit->isUnchanged() ? QVariant(0) : field.edit->value();
        values->insert(QString::fromLatin1(field.column), value);
    }
    const QString name = m_ui->Edit_CustName->text().trimmed();
    values->insert(QStringLiteral("CustCode"), m_ui->Edit_Code->text());
    values->insert(QStringLiteral("Company"), name);
    values->insert(QStringLiteral("isgathering"), m_ui->Check_sk->isChecked());
    values->insert(QStringLiteral("Type"), m_ui->Combo_leibie->text().trimmed());
    values->insert(QStringLiteral("model"), m_ui->Combo_type->currentText().trimmed());
    values->insert(QStringLiteral("largess"), m_ui->Combo_largess->currentText().trimmed());
    values->insert(QStringLiteral("largessb"), m_ui->Combo_largessb->currentText().trimmed());
    values->insert(QStringLiteral("place"), m_ui->Combo_place->currentText().trimmed());
    values->insert(QStringLiteral("airframe"), m_ui->Edit_airframe->text().trimmed());
    values->insert(QStringLiteral("Address"), m_ui->Edit_Address->text().trimmed());
    values->insert(QStringLiteral("Mobile"), m_ui->Edit_Mobile->text().trimmed());
    values->insert(QStringLiteral("Tel"), m_ui->Edit_tel->text().trimmed());
    values->insert(QStringLiteral("taishu"), m_ui->Edit_taishu->text().trimmed());
    // Dates, as the other editors store theirs: the day, no time of day.
    values->insert(QStringLiteral("buydate"), m_ui->DateTimePicker1->date());
    values->insert(QStringLiteral("installdate"), m_ui->DateTimePicker2->date());
    values->insert(QStringLiteral("depart"), m_ui->Combo_depart->currentText().trimmed());
    values->insert(QStringLiteral("batch"), m_ui->Edit_danhao->text().trimmed());
    values->insert(QStringLiteral("billcode"), m_ui->Edit_billcode->text().trimmed());
    values->insert(QStringLiteral("people"), m_ui->Combo_people->currentText().trimmed());
    values->insert(QStringLiteral("memo"), m_ui->Memo1->toPlainText().trimmed());
    values->insert(QStringLiteral("f_user"), m_ui->Combo_user->currentText());
    values->insert(QStringLiteral("pinyin"), THzSpell::PinyinInitials(m_ui->Edit_CustName->text()).trimmed());
    return true;
}

void TFrm_AddCust::Btn_OKClick()
{
    const QString code = m_ui->Edit_Code->text().trimmed();
    if (code.isEmpty()) {
        remind(QStringLiteral("用户编号不能为空!"), m_ui->Edit_Code);
        return;
    }
    if (m_ui->Edit_CustName->text().trimmed().isEmpty()) {
        remind(QStringLiteral("用户名称不能为空!"), m_ui->Edit_CustName);
        return;
    }
    QVariantMap values;
    if (!readCustomer(&values) || !fitsColumns(QStringLiteral("custom"), values))
        return;
    if (isAdding() ? saveNew(values) : saveEdited(values))
        markClean();
}

bool TFrm_AddCust::taken(const QString &column, const QString &value)
{
    QSqlQuery query(m_data.database());
    QSqlError error;
    QVariantMap binds{{QStringLiteral(":value"), value}};
    QString sql = QStringLiteral("select CustID from custom where %1 = :value").arg(column);
    if (!isAdding()) {
        sql += QStringLiteral(" and CustID <> :id");
        binds.insert(QStringLiteral(":id"), loadedKey());
    }
    if (!m_data.connection().exec(query, sql, binds, DbConnection::Access::Read, &error)) {
        m_data.reportError(QStringLiteral("保存数据失败!"), error, ReminderCaption);
        return true;
    }
    return query.next();
}

bool TFrm_AddCust::insertCustomer(const QVariantMap &values, QVariant *id, QSqlError *error)
{
    QStringList columns;
    QStringList placeholders;
    QVariantMap binds;
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        columns << it.key();
        placeholders << QLatin1Char(':') + it.key();
        binds.insert(placeholders.last(), it.value());
    }
    QSqlQuery insert(m_data.database());
    if (!m_data.connection().exec(insert,
                                  QStringLiteral("insert into custom (%1) values (%2)")
                                      .arg(columns.join(QStringLiteral(", ")), placeholders.join(QStringLiteral(", "))),
                                  binds, DbConnection::Access::Write, error))
        return false;
    *id = insert.lastInsertId();
    return true;
}

bool TFrm_AddCust::saveNew(const QVariantMap &values)
{
    if (m_session.AutoCustCode() && !CustomerNumbers::endsInCounter(m_ui->Edit_Code->text())) {
        MessageBoxes::dialog(MessageBoxes::DialogType::Confirmation, QStringLiteral("请保持用户编号最后四位为数字"),
                             QMessageBox::Ok);
        m_ui->Edit_Code->setFocus();
        return false;
    }
    if (taken(QStringLiteral("CustCode"), m_ui->Edit_Code->text().trimmed())) {
        remind(QStringLiteral("用户编号有重复!"), m_ui->Edit_Code);
        return false;
    }
    if (taken(QStringLiteral("Company"), values.value(QStringLiteral("Company")).toString())) {
        remind(QStringLiteral("用户名称有重复!"), m_ui->Edit_CustName);
        return false;
    }
    QVariantMap row = values;
    QVariant id;
    QSqlError error;
    bool stored = false;
    for (int attempt = 0; attempt < OrderNumberAttempts && !stored; ++attempt) {
        stored = insertCustomer(row, &id, &error);
        if (stored)
            break;
        // Another workstation took the code or the order number meanwhile.
        if (taken(QStringLiteral("CustCode"), row.value(QStringLiteral("CustCode")).toString().trimmed())) {
            remind(QStringLiteral("用户编号有重复!"), m_ui->Edit_Code);
            return false;
        }
        if (!taken(QStringLiteral("batch"), row.value(QStringLiteral("batch")).toString()))
            break;
        MakeOrderNumber();
        row.insert(QStringLiteral("batch"), m_ui->Edit_danhao->text());
    }
    if (!stored) {
        m_data.reportError(QStringLiteral("保存数据失败!"), error, ReminderCaption);
        return false;
    }
    if (m_data.Qry_Cust->isOpen() && m_data.Qry_Cust->refreshRecord(id))
        m_data.Qry_Cust->locateKey(id);
    const QString savedCode = m_ui->Edit_Code->text();
    ClearCustFields();
    MakeOrderNumber();
    m_ui->Edit_Code->setText(m_session.AutoCustCode() ? CustomerNumbers::NextCustCode(savedCode) : QString());
    return true;
}

bool TFrm_AddCust::saveEdited(const QVariantMap &values)
{
    const QString newCode = m_ui->Edit_Code->text();
    const QString newName = values.value(QStringLiteral("Company")).toString();
    if (newCode != LoadedCustCode && taken(QStringLiteral("CustCode"), newCode.trimmed())) {
        MessageBoxes::plain(QStringLiteral("用户编号重复，请你换一个用户编号"));
        m_ui->PageControl1->setCurrentWidget(m_ui->TabSheet1);
        m_ui->Edit_Code->setFocus();
        return false;
    }
    const QVariant id = loadedKey();
    QSqlError error;
    QString refusal;
    // The customer as stored now, locked until the end: its code is what its records carry.
    const auto save = [&]() {
        QSqlQuery stored(m_data.database());
        if (!m_data.connection().exec(stored,
                                      QStringLiteral("select CustCode, Company, RowVersion from custom where CustID = :id")
                                          + m_data.dialect().lockRowsClause(),
                                      {{QStringLiteral(":id"), id}}, DbConnection::Access::Read, &error))
            return false;
        if (!stored.next()) {
            refusal = deletedElsewhereText();
            return false;
        }
        if (stored.value(2).toLongLong() != loadedVersion().toLongLong()) {
            refusal = changedElsewhereText();
            return false;
        }
        const QString storedCode = stored.value(0).toString();
        const QString storedName = stored.value(1).toString();
        QStringList assignments;
        QVariantMap binds{{QStringLiteral(":CustID"), id}};
        for (auto it = values.cbegin(); it != values.cend(); ++it) {
            assignments << QStringLiteral("%1 = :%1").arg(it.key());
            binds.insert(QLatin1Char(':') + it.key(), it.value());
        }
        if (!m_data.execute(QStringLiteral("update custom set %1 where CustID = :CustID").arg(assignments.join(QStringLiteral(", "))),
                            binds, &error))
            return false;
        const QVariantMap moved{{QStringLiteral(":new"), newCode}, {QStringLiteral(":old"), storedCode}};
        if (newCode != storedCode) {
            for (const char *table : {"contact", "T_Schedule", "T_Bill"}) {
                if (!m_data.execute(QStringLiteral("update %1 set CustCode = :new where CustCode = :old").arg(QLatin1String(table)),
                                    moved, &error))
                    return false;
            }
        }
        if (newName != storedName) {
            const QVariantMap renamed{{QStringLiteral(":name"), newName}, {QStringLiteral(":code"), newCode}};
            for (const auto &[table, column] : {std::pair{"contact", "Company"}, std::pair{"T_Schedule", "Company"},
                                                 std::pair{"T_Bill", "CustName"}}) {
                if (!m_data.execute(QStringLiteral("update %1 set %2 = :name where CustCode = :code")
                                        .arg(QLatin1String(table), QLatin1String(column)),
                                    renamed, &error))
                    return false;
            }
        }
        return m_data.commit(&error);
    };
    if (!m_data.beginTransaction(&error) || !save()) {
        m_data.rollback();
        if (!refusal.isEmpty())
            MessageBoxes::box(refusal, ReminderCaption, QMessageBox::Information, QMessageBox::Ok);
        else
            m_data.reportError(QStringLiteral("保存数据失败!"), error, ReminderCaption);
        return false;
    }
    // The saved row is what the next save compares with.
    LoadedCustCode = newCode;
    LoadedCompany = newName;
    QSqlQuery saved(m_data.database());
    if (m_data.connection().exec(saved, QStringLiteral("select RowVersion from custom where CustID = :id"),
                                 {{QStringLiteral(":id"), id}})
        && saved.next())
        recordLoaded(id, saved.value(0));
    DataSet *customers = m_data.Qry_Cust;
    if (customers->refreshRecord(id))
        customers->locateKey(id);
    return true;
}

void TFrm_AddCust::Page_Change(int index)
{
    if (index != GoodsPage)
        return;
    m_data.RunQuery(m_data.Qry_BillDetail, QStringLiteral("select * from T_BillDetail  where batch = :batch"));
    GridColumns::BuildGridColumns(m_data, m_ui->Grid_Goods, m_data.Qry_BillDetail, QStringLiteral("Billform"));
}

void TFrm_AddCust::Btn_DelLineClick()
{
    DataSet *lines = m_data.Qry_BillDetail;
    if (!lines->isEmpty())
        lines->deleteRecord(lines->currentRow());
    if (!lines->applyUpdates())
        MessageBoxes::error(lines->lastError().text());
}

void TFrm_AddCust::Btn_SaveLinesClick()
{
    DataSet *lines = m_data.Qry_BillDetail;
    if (lines->currentRow() >= 0) {
        if (lines->value(QStringLiteral("GoodsName")).toString().isEmpty()) {
            MessageBoxes::plain(QStringLiteral("输入型号"));
            return;
        }
        if (lines->value(QStringLiteral("Number")).isNull()) {
            MessageBoxes::plain(QStringLiteral("输入设备数量"));
            return;
        }
    }
    if (!lines->applyUpdates())
        MessageBoxes::error(lines->lastError().text());
}

bool TFrm_AddCust::hasUnsavedChanges() const
{
    return RecordEditor::hasUnsavedChanges() || m_data.Qry_BillDetail->hasPendingChanges();
}

void TFrm_AddCust::done(int result)
{
    if (isAdding() && m_session.AutoCustCode())
        m_data.ConfigIni().WriteString(CodeSection, CodeKey, m_ui->Edit_Code->text());
    // Goods lines not saved are dropped.
    m_data.Qry_BillDetail->cancelUpdates();
    RecordEditor::done(result);
}
