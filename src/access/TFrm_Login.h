#pragma once

#include <QDialog>
#include <QPointer>
#include <memory>

namespace Ui { class TFrm_Login; }
class Session;
class TFrm_Data;

// The login window: the operator chooses his name and types his password. Shown at start-up
// (the program runs only after a successful login) and for "重新登录".
class TFrm_Login : public QDialog
{
    Q_OBJECT
public:
    TFrm_Login(TFrm_Data &data, Session &session, QWidget *parent = nullptr);
    ~TFrm_Login() override;

    int LoginDone() const { return m_loginDone; }

    static QString warningCaption();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();
    void Btn_okClick();
    void checkLogin();
    void replaceClearPassword(const QVariant &userId, const QString &password);
    void warn(const QString &text);

    std::unique_ptr<Ui::TFrm_Login> m_ui;
    TFrm_Data &m_data;
    Session &m_session;
    QString StoredPassword;
    int m_loginDone = 0;
};

extern QPointer<TFrm_Login> Frm_Login;
