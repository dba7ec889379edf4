#include "TFrm_ChangePass.h"
#include "ui_TFrm_ChangePass.h"

#include "MessageBoxes.h"
#include "PasswordHash.h"
#include "Session.h"
#include "TFrm_Data.h"

#include <QKeyEvent>
#include <QShowEvent>
#include <QStyle>

QPointer<TFrm_ChangePass> Frm_ChangePass;

TFrm_ChangePass::TFrm_ChangePass(TFrm_Data &data, Session &session, QWidget *parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::TFrm_ChangePass>()), m_data(data), m_session(session)
{
    m_ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                   | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(size());
    setWindowTitle(QStringLiteral("修改我的登录密码"));
    m_ui->Edit_oldpass->clear();
    m_ui->Edit_newpass->clear();
    m_ui->Edit_ConfirmPass->clear();
    m_ui->Btn_OK->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    m_ui->Btn_Exit->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    connect(m_ui->Btn_OK, &QPushButton::clicked, this, &TFrm_ChangePass::Btn_okClick);
    connect(m_ui->Btn_Exit, &QPushButton::clicked, this, &QDialog::reject);
}

TFrm_ChangePass::~TFrm_ChangePass() = default;

void TFrm_ChangePass::N31Click(TFrm_Data &data, Session &session, QWidget *parent)
{
    TFrm_ChangePass window(data, session, parent);
    Frm_ChangePass = &window;
    window.exec();
}

void TFrm_ChangePass::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    m_ui->Edit_User->setText(m_session.OperatorName());
    m_ui->Btn_OK->setFocus();
}

void TFrm_ChangePass::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

void TFrm_ChangePass::Btn_okClick()
{
    if (!m_data.RunQuery(m_data.Qry_Temp, QStringLiteral("select UserID, Password from admin where UserName = :name"),
                         {{QStringLiteral(":name"), m_session.OperatorName()}}))
        return;
    if (m_data.Qry_Temp->isEmpty()) {
        // Deleted by another workstation since this login: there is no password to change.
        MessageBoxes::box(QStringLiteral("该操作员已被删除，无法修改密码。"), QStringLiteral("密码错误"),
                          QMessageBox::Information);
        return;
    }
    const QVariant userId = m_data.Qry_Temp->value(0, 0);
    if (!PasswordHash::matches(m_data.Qry_Temp->value(0, 1).toString(), m_ui->Edit_oldpass->text())) {
        MessageBoxes::box(QStringLiteral("当前密码错误!"), QStringLiteral("密码错误"), QMessageBox::Information);
        m_ui->Edit_oldpass->setFocus();
        return;
    }
    if (m_ui->Edit_ConfirmPass->text() != m_ui->Edit_newpass->text()) {
        MessageBoxes::box(QStringLiteral("在\"验证\"框中重新输入新密码并单击\"确定\"按钮,以验证新密码."),
                          QStringLiteral("验证密码"), QMessageBox::Information);
        m_ui->Edit_ConfirmPass->setFocus();
        return;
    }
    const QString hash = PasswordHash::hash(m_ui->Edit_newpass->text());
    if (hash.isNull()) {
        MessageBoxes::error(QStringLiteral("无法生成密码摘要"));
        return;
    }
    if (!m_data.RunStatement(m_data.Qry_Str, QStringLiteral("update admin set Password = :password where UserID = :id"),
                             {{QStringLiteral(":password"), hash}, {QStringLiteral(":id"), userId}}))
        return;
    MessageBoxes::box(QStringLiteral("修改密码成功!"), QStringLiteral("成功"), QMessageBox::Information);
    accept();
}
