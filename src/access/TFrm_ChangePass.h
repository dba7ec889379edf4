#pragma once

#include <QDialog>
#include <QPointer>
#include <memory>

namespace Ui { class TFrm_ChangePass; }
class Session;
class TFrm_Data;

// "修改我的登录密码": the logged-in operator types his password and the new one twice.
class TFrm_ChangePass : public QDialog
{
    Q_OBJECT
public:
    TFrm_ChangePass(TFrm_Data &data, Session &session, QWidget *parent = nullptr);
    ~TFrm_ChangePass() override;

    // The main window's command: the window, modal.
    static void N31Click(TFrm_Data &data, Session &session, QWidget *parent);

protected:
    void showEvent(QShowEvent *event) override;
    // No button answers Enter or Escape by itself.
    void keyPressEvent(QKeyEvent *event) override;

private:
    void Btn_okClick();

    std::unique_ptr<Ui::TFrm_ChangePass> m_ui;
    TFrm_Data &m_data;
    Session &m_session;
};

extern QPointer<TFrm_ChangePass> Frm_ChangePass;
