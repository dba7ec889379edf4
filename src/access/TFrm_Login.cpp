#include "TFrm_Login.h"
#include "ui_TFrm_Login.h"

#include "MessageBoxes.h"
#include "PasswordHash.h"
#include "ProgramFiles.h"
#include "Session.h"
#include "TFrm_Data.h"

#include <QPixmap>
#include <QShowEvent>

QPointer<TFrm_Login> Frm_Login;

namespace {
const QString LoginSection = QStringLiteral("login");
const QString PositionKey = QStringLiteral("username");
} // namespace

TFrm_Login::TFrm_Login(TFrm_Data &data, Session &session, QWidget *parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::TFrm_Login>()), m_data(data), m_session(session)
{
    m_ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(size());
    setWindowTitle(QStringLiteral("登录"));
    m_ui->Edit_Pass->clear();
    // A missing picture leaves a plain dark band, on which the white hint lines stay readable.
    const QPixmap picture(ProgramFiles::path(data.programDir(), QStringLiteral("IMG/Login.jpg")));
    if (picture.isNull())
        m_ui->Image1->setStyleSheet(QStringLiteral("background-color: #2f5d8a;"));
    else
        m_ui->Image1->setPixmap(picture);

    connect(m_ui->Combo_User, qOverload<int>(&QComboBox::activated), this,
            [this] { m_ui->Edit_Pass->setFocus(); });
    connect(m_ui->Btn_ok, &QPushButton::clicked, this, &TFrm_Login::Btn_okClick);
    connect(m_ui->Btn_Exit, &QPushButton::clicked, this, &QDialog::reject);
}

TFrm_Login::~TFrm_Login() = default;

QString TFrm_Login::warningCaption()
{
    return QStringLiteral("警告");
}

void TFrm_Login::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TFrm_Login::FormShow()
{
    m_ui->Combo_User->clear();
    if (m_data.RunQuery(m_data.Qry_Temp,
                        QStringLiteral("select * from admin where IsUser = :yes order by UserID"),
                        {{QStringLiteral(":yes"), true}})) {
        for (int row = 0; row < m_data.Qry_Temp->recordCount(); ++row)
            m_ui->Combo_User->addItem(m_data.Qry_Temp->value(row, 1).toString());
    }
    const int position = m_data.ConfigIni().ReadInteger(LoginSection, PositionKey, -1);
    m_ui->Combo_User->setCurrentIndex(position < m_ui->Combo_User->count() ? position : -1);
    m_ui->Edit_Pass->setFocus();
}

void TFrm_Login::warn(const QString &text)
{
    MessageBoxes::box(text, warningCaption(), QMessageBox::Critical, QMessageBox::Ok);
}

void TFrm_Login::Btn_okClick()
{
    checkLogin();
    m_data.ConfigIni().WriteInteger(LoginSection, PositionKey, m_ui->Combo_User->currentIndex());
}

void TFrm_Login::checkLogin()
{
    const QString name = m_ui->Combo_User->currentText();
    if (name.trimmed().isEmpty()) {
        warn(QStringLiteral("请选择一个用户名！"));
        return;
    }
    // Fails closed: when the password cannot be read, nobody logs in.
    if (!m_data.RunQuery(m_data.Qry_Temp,
                         QStringLiteral("select UserID, Password from admin where lower(UserName) = lower(:name) order by UserID"),
                         {{QStringLiteral(":name"), name}}))
        return;
    if (m_data.Qry_Temp->isEmpty()) {
        // Deleted by another workstation since the list was filled.
        warn(QStringLiteral("请选择一个用户名！"));
        FormShow();
        return;
    }
    const QVariant userId = m_data.Qry_Temp->value(0, 0);
    StoredPassword = m_data.Qry_Temp->value(0, 1).toString();

    const QString typed = m_ui->Edit_Pass->text();
    if (!PasswordHash::matches(StoredPassword, typed)) {
        if (typed.isEmpty()) {
            warn(QStringLiteral("请输入密码！"));
            m_ui->Edit_Pass->setFocus();
        } else {
            if (!PasswordHash::isEmptyPassword(StoredPassword))
                warn(QStringLiteral("密码错误，请重新输入密码！"));
            else
                warn(name + QStringLiteral("密码为空，您可以直接点击确定按钮登录！"));
            m_ui->Edit_Pass->clear();
        }
        return;
    }
    if (!PasswordHash::isHash(StoredPassword))
        replaceClearPassword(userId, typed);
    m_session.logIn(name);
    m_loginDone = 1;
    accept();
}

void TFrm_Login::replaceClearPassword(const QVariant &userId, const QString &password)
{
    // An older database keeps the password itself. The login goes on even when the hash
    // cannot be stored now; the next login tries again.
    const QString hash = PasswordHash::hash(password);
    QSqlError error;
    if (hash.isNull()
        || !m_data.execute(QStringLiteral("update admin set Password = :hash where UserID = :id and coalesce(Password, '') = :old"),
                           {{QStringLiteral(":hash"), hash}, {QStringLiteral(":id"), userId},
                            {QStringLiteral(":old"), StoredPassword}},
                           &error))
        qWarning("The password of operator %s stays unhashed until the next login: %s",
                 qPrintable(userId.toString()), qPrintable(error.text()));
}
