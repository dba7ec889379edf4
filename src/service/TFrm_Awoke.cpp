#include "TFrm_Awoke.h"
#include "ui_TFrm_Awoke.h"

#include "DataGrid.h"
#include "DataSet.h"
#include "EnterMovesFocus.h"
#include "GridColumns.h"
#include "MessageBoxes.h"
#include "Session.h"
#include "TFrm_Data.h"

#include <QDate>
#include <QShowEvent>

QPointer<TFrm_Awoke> Frm_Awoke;

namespace {
const QString Title = QStringLiteral("联系活动提醒");
const QString Section = QStringLiteral("otherInfo");
const QString AwokeKey = QStringLiteral("awoke");
const QString DayKey = QStringLiteral("Day");
const QString MessageCaption = QStringLiteral("提醒");
} // namespace

int TFrm_Awoke::ShowAfterLogin(IniFile &config)
{
    // A new installation shows the reminders until the operator unticks the box.
    return config.ReadInteger(Section, AwokeKey, 0);
}

TFrm_Awoke::TFrm_Awoke(TFrm_Data &data, Session &session, QWidget *parent)
    : QDialog(parent),
      m_ui(std::make_unique<Ui::TFrm_Awoke>()),
      m_data(data),
      m_session(session),
      m_dueOrders(data.makeDataSet(QStringLiteral("Qry_Awoke"), QString(), this))
{
    m_ui->setupUi(this);
    setWindowTitle(Title);
    connect(m_ui->Btn_Refresh, &QPushButton::clicked, this, &TFrm_Awoke::Btn_RefreshClick);
    connect(m_ui->Edit_Day, &QLineEdit::returnPressed, this, &TFrm_Awoke::Btn_RefreshClick);
    connect(m_ui->CheckBox1, &QCheckBox::clicked, this, &TFrm_Awoke::CheckBox1Click);
    connect(m_ui->Btn_Print, &QPushButton::clicked, this,
            [this] { m_ui->DBGridEh1->printPreview(Title, DataGrid::PrintFit::PageWidth); });
    connect(m_ui->Btn_Exit, &QPushButton::clicked, this, &QDialog::reject);
    // Enter on a focused button works that button; in the day box it lists again.
    EnterMovesFocus::installOnButtons(this);
}

TFrm_Awoke::~TFrm_Awoke() = default;

void TFrm_Awoke::M_Awoke(TFrm_Data &data, Session &session, QWidget *parent)
{
    if (Frm_Awoke) {
        Frm_Awoke->raise();
        Frm_Awoke->activateWindow();
        return;
    }
    auto *window = new TFrm_Awoke(data, session, parent);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowModality(Qt::ApplicationModal);
    Frm_Awoke = window;
    window->show();
}

void TFrm_Awoke::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TFrm_Awoke::FormShow()
{
    IniFile &config = m_data.ConfigIni();
    if (ShowAfterLogin(config) != 0)
        m_ui->CheckBox1->setChecked(false);
    // Without a count yet: the reminders of today.
    m_ui->Edit_Day->setText(config.ReadString(Section, DayKey, QStringLiteral("0")));
    int days = 0;
    if (dayCount(&days)) {
        listDueOrders(days);
    } else {
        // A count stored as no number: an empty list, and no message before the operator typed.
        GridColumns::BuildGridColumns(m_data, m_ui->DBGridEh1, m_dueOrders, QStringLiteral("Schedule"));
    }
}

bool TFrm_Awoke::dayCount(int *days) const
{
    bool ok = false;
    *days = m_ui->Edit_Day->text().trimmed().toInt(&ok);
    return ok;
}

void TFrm_Awoke::listDueOrders(int days)
{
    // Due in exactly that many days: the reminder date falls on that day, at any time of it.
    const QDate day = QDate::currentDate().addDays(days);
    m_data.RunQuery(m_dueOrders,
                    QStringLiteral("select * from T_Schedule where F_User = :user and Awoke = :yes "
                                   "and AwokeDate >= :from and AwokeDate < :to order by ScheduleID"),
                    {{QStringLiteral(":user"), m_session.OperatorName()},
                     {QStringLiteral(":yes"), true},
                     {QStringLiteral(":from"), day},
                     {QStringLiteral(":to"), day.addDays(1)}});
    GridColumns::BuildGridColumns(m_data, m_ui->DBGridEh1, m_dueOrders, QStringLiteral("Schedule"));
}

void TFrm_Awoke::Btn_RefreshClick()
{
    int days = 0;
    if (!dayCount(&days)) {
        // The list keeps what it showed.
        MessageBoxes::box(QStringLiteral("提醒天数必须是整数！"), MessageCaption, QMessageBox::Information);
        m_ui->Edit_Day->setFocus();
        return;
    }
    listDueOrders(days);
}

void TFrm_Awoke::CheckBox1Click()
{
    // Takes effect at the next login.
    m_data.ConfigIni().WriteInteger(Section, AwokeKey, m_ui->CheckBox1->isChecked() ? 0 : 1);
}

void TFrm_Awoke::FormClose()
{
    int days = 0;
    if (!dayCount(&days)) {
        // The window always closes; a count that is not one is kept as 0.
        MessageBoxes::box(QStringLiteral("提醒天数不是整数，已按 0 天保存。"), MessageCaption, QMessageBox::Information);
        days = 0;
    }
    m_data.ConfigIni().WriteInteger(Section, DayKey, days);
}

void TFrm_Awoke::done(int result)
{
    if (isVisible())
        FormClose();
    QDialog::done(result);
}
