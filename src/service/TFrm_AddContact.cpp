#include "TFrm_AddContact.h"
#include "ui_TFrm_AddContact.h"

#include "CellText.h"
#include "DataSet.h"
#include "MessageBoxes.h"
#include "Session.h"
#include "TFrm_Data.h"

#include <QLineEdit>
#include <QShowEvent>

QPointer<TFrm_AddContact> Frm_AddContact;

namespace {
const QString VisitTable = QStringLiteral("contact");
const QString VisitKey = QStringLiteral("ContactID");
const QString InstallerList = QStringLiteral("Dict_people");
constexpr int NameLength = 50;
} // namespace

TFrm_AddContact::TFrm_AddContact(TFrm_Data &data, Session &session, Mode mode, QWidget *parent)
    : RecordEditor(data, mode, parent), m_ui(std::make_unique<Ui::TFrm_AddContact>()), m_session(session)
{
    m_ui->setupUi(this);
    m_ui->Combo_Cust->setList(data, InstallerList);
    m_ui->Combo_Cust->lineEdit()->setMaxLength(NameLength);
    connectListButton(m_ui->SpeedButton1, InstallerList);
    setUpForm(m_ui->DBNavigator1, data.Qry_Contact);
    connect(m_ui->Btn_OK, &QPushButton::clicked, this, &TFrm_AddContact::Btn_OKClick);
    connect(m_ui->Btn_Exit, &QPushButton::clicked, this, &QDialog::reject);
}

TFrm_AddContact::~TFrm_AddContact() = default;

void TFrm_AddContact::AddContact(TFrm_Data &data, Session &session, QWidget *parent)
{
    runModal(Frm_AddContact, data.Qry_Cust, data, session, Mode::Add, parent);
}

void TFrm_AddContact::EditContact(TFrm_Data &data, Session &session, QWidget *parent)
{
    runModal(Frm_AddContact, data.Qry_Contact, data, session, Mode::Edit, parent);
}

void TFrm_AddContact::DelContact(TFrm_Data &data)
{
    if (data.Qry_Contact->isEmpty())
        return;
    if (MessageBoxes::dialog(MessageBoxes::DialogType::Confirmation, QStringLiteral("你确定要删除该回访记录吗！"),
                             QMessageBox::Yes | QMessageBox::No)
        == QMessageBox::Yes)
        deleteCurrentRecord(data, data.Qry_Contact, VisitTable, VisitKey);
}

void TFrm_AddContact::showEvent(QShowEvent *event)
{
    RecordEditor::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TFrm_AddContact::FormShow()
{
    setModeCaptions(m_ui->Btn_OK, QStringLiteral("添加回访记录"), QStringLiteral("编辑回访记录"));
    showCustomer(m_ui->Label_Customer);
    if (isAdding())
        ClearVisitFields();
    else
        LoadCurrentVisit();
}

void TFrm_AddContact::recordMoved()
{
    // While adding, the visit shown is a template for the new one.
    LoadCurrentVisit();
}

void TFrm_AddContact::ClearVisitFields()
{
    m_ui->Combo_Cust->clear();
    m_ui->Combo_Cust->clearEditText();
    m_ui->Memo1->clear();
    m_ui->Memo2->clear();
    m_ui->DateTimePicker1->setDate(QDate::currentDate());
    markClean();
}

void TFrm_AddContact::LoadCurrentVisit()
{
    const DataSet *visits = m_data.Qry_Contact;
    m_ui->Combo_Cust->setEditText(visits->value(QStringLiteral("Name")).toString());
    m_ui->Memo1->setPlainText(visits->value(QStringLiteral("memo1")).toString());
    m_ui->Memo2->setPlainText(visits->value(QStringLiteral("memo2")).toString());
    const QDate date = CellText::dateTime(visits->value(QStringLiteral("Birthday"))).date();
    m_ui->DateTimePicker1->setDate(date.isValid() ? date : QDate::currentDate());
    recordLoaded(visits);
    markClean();
}

void TFrm_AddContact::Btn_OKClick()
{
    const QString visitor = m_ui->Combo_Cust->currentText();
    // Adding takes a visitor of blanks; editing does not.
    if (isAdding() ? visitor.isEmpty() : visitor.trimmed().isEmpty()) {
        MessageBoxes::box(isAdding() ? QStringLiteral("回访人姓名不能为空") : QStringLiteral("联系人姓名不能为空"),
                          QStringLiteral("警告"), QMessageBox::Information);
        m_ui->Combo_Cust->setFocus();
        return;
    }
    const Fields fields = {
        {QStringLiteral("Name"), visitor},
        {QStringLiteral("memo1"), m_ui->Memo1->toPlainText()},
        {QStringLiteral("memo2"), m_ui->Memo2->toPlainText()},
        {QStringLiteral("Birthday"), m_ui->DateTimePicker1->date()},
        {QStringLiteral("f_user"), m_session.OperatorName()},
    };
    const CustomerCopies fromCustomer = {{QStringLiteral("Company"), QStringLiteral("Company")},
                                         {QStringLiteral("CustCode"), QStringLiteral("CustCode")}};
    if (!writeRecord(m_data.Qry_Contact, VisitTable, VisitKey, fields, fromCustomer))
        return;
    if (isAdding())
        ClearVisitFields();
    accept();
}
