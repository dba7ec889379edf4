#include "TFrm_AddBill.h"
#include "ui_TFrm_AddBill.h"

#include "CellText.h"
#include "DataSet.h"
#include "MessageBoxes.h"
#include "Session.h"
#include "TFrm_Data.h"

#include <QDateTime>
#include <QLineEdit>
#include <QShowEvent>

QPointer<TFrm_AddBill> Frm_AddBill;

namespace {
const QString ComplaintTable = QStringLiteral("T_Bill");
const QString ComplaintKey = QStringLiteral("lD");
const QString LevelList = QStringLiteral("Dict_tslevel");
const QString InstallerList = QStringLiteral("Dict_people");
constexpr int TextLength = 50;

QTime toTheSecond(const QTime &time)
{
    return QTime(time.hour(), time.minute(), time.second());
}
} // namespace

TFrm_AddBill::TFrm_AddBill(TFrm_Data &data, Session &session, Mode mode, QWidget *parent)
    : RecordEditor(data, mode, parent), m_ui(std::make_unique<Ui::TFrm_AddBill>()), m_session(session)
{
    m_ui->setupUi(this);
    m_ui->Combo_level->setList(data, LevelList);
    m_ui->Combo_people->setList(data, InstallerList);
    m_ui->Combo_level->lineEdit()->setMaxLength(TextLength);
    m_ui->Combo_people->lineEdit()->setMaxLength(TextLength);
    connectListButton(m_ui->SpeedButton3, LevelList);
    connectListButton(m_ui->SpeedButton1, InstallerList);
    setUpForm(m_ui->DBNavigator1, data.Qry_Bill);
    connect(m_ui->Btn_OK, &QPushButton::clicked, this, &TFrm_AddBill::Btn_OKClick);
    connect(m_ui->Btn_Exit, &QPushButton::clicked, this, &QDialog::reject);
}

TFrm_AddBill::~TFrm_AddBill() = default;

void TFrm_AddBill::AddBill(TFrm_Data &data, Session &session, QWidget *parent)
{
    runModal(Frm_AddBill, data.Qry_Cust, data, session, Mode::Add, parent);
}

void TFrm_AddBill::EditBill(TFrm_Data &data, Session &session, QWidget *parent)
{
    runModal(Frm_AddBill, data.Qry_Bill, data, session, Mode::Edit, parent);
}

void TFrm_AddBill::DelBill(TFrm_Data &data)
{
    if (data.Qry_Bill->isEmpty())
        return;
    // The caption ends with a blank.
    if (MessageBoxes::box(QStringLiteral("你确定要删除这条投诉记录吗？"), QStringLiteral("警告 "), QMessageBox::Information,
                          QMessageBox::Yes | QMessageBox::No)
        == QMessageBox::Yes)
        deleteCurrentRecord(data, data.Qry_Bill, ComplaintTable, ComplaintKey);
}

void TFrm_AddBill::showEvent(QShowEvent *event)
{
    RecordEditor::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TFrm_AddBill::FormShow()
{
    setModeCaptions(m_ui->Btn_OK, QStringLiteral("添加投诉记录"), QStringLiteral("编辑投诉记录"),
                    QStringLiteral("新增&A"), QStringLiteral("保存&S"));
    showCustomer(m_ui->Label_Customer);
    if (isAdding())
        ClearComplaintFields();
    else
        LoadCurrentComplaint();
}

void TFrm_AddBill::recordMoved()
{
    // While adding, the complaint shown is a template for the new one.
    LoadCurrentComplaint();
}

void TFrm_AddBill::ClearComplaintFields()
{
    const QDateTime now = QDateTime::currentDateTime();
    m_ui->DateTimePicker1->setDate(now.date());
    m_ui->DateTimePicker2->setTime(toTheSecond(now.time()));
    for (QComboBox *combo : {m_ui->Combo_level, m_ui->Combo_people})
        combo->clearEditText();
    m_ui->Memo1->clear();
    m_ui->Memo2->clear();
    m_ui->Memo3->clear();
    markClean();
}

void TFrm_AddBill::LoadCurrentComplaint()
{
    const DataSet *complaints = m_data.Qry_Bill;
    QDateTime when = CellText::dateTime(complaints->value(QStringLiteral("BillDate")));
    if (!when.isValid())
        when = QDateTime::currentDateTime();
    m_ui->DateTimePicker1->setDate(when.date());
    m_ui->DateTimePicker2->setTime(toTheSecond(when.time()));
    m_ui->Combo_level->setEditText(complaints->value(QStringLiteral("level")).toString());
    m_ui->Combo_people->setEditText(complaints->value(QStringLiteral("people")).toString());
    m_ui->Memo1->setPlainText(complaints->value(QStringLiteral("memo")).toString());
    m_ui->Memo2->setPlainText(complaints->value(QStringLiteral("memo1")).toString());
    m_ui->Memo3->setPlainText(complaints->value(QStringLiteral("memo2")).toString());
    recordLoaded(complaints);
    markClean();
}

void TFrm_AddBill::Btn_OKClick()
{
    // Neither text is trimmed: blanks are a level and a receiver.
    const QString level = m_ui->Combo_level->currentText();
    const QString receiver = m_ui->Combo_people->currentText();
    if (level.isEmpty()) {
        MessageBoxes::box(QStringLiteral("级别不能为空"), QStringLiteral("提醒"), QMessageBox::Information);
        m_ui->Combo_level->setFocus();
        return;
    }
    if (receiver.isEmpty()) {
        MessageBoxes::box(QStringLiteral("接受人不能为空"), QStringLiteral("警告"), QMessageBox::Information);
        m_ui->Combo_people->setFocus();
        return;
    }
    // Written as the text of the local time: a date-time value would reach PostgreSQL in
    // UTC and be stored shifted by the server's time zone.
    const QDateTime when(m_ui->DateTimePicker1->date(), toTheSecond(m_ui->DateTimePicker2->time()));
    const Fields fields = {
        {QStringLiteral("level"), level},
        {QStringLiteral("people"), receiver},
        {QStringLiteral("memo1"), m_ui->Memo2->toPlainText()},
        {QStringLiteral("memo2"), m_ui->Memo3->toPlainText()},
        {QStringLiteral("memo"), m_ui->Memo1->toPlainText()},
        {QStringLiteral("BillDate"), when.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"))},
        {QStringLiteral("F_User"), m_session.OperatorName()},
    };
    const CustomerCopies fromCustomer = {{QStringLiteral("CustName"), QStringLiteral("Company")},
                                         {QStringLiteral("CustCode"), QStringLiteral("CustCode")}};
    if (!writeRecord(m_data.Qry_Bill, ComplaintTable, ComplaintKey, fields, fromCustomer))
        return;
    if (isAdding())
        ClearComplaintFields();
    else
        accept();
}
