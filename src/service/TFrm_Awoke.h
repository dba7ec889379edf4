#pragma once

#include <QDialog>
#include <QPointer>
#include <memory>

namespace Ui { class TFrm_Awoke; }
class DataSet;
class IniFile;
class Session;
class TFrm_Data;

// "联系活动提醒": the operator's orders flagged for a reminder whose reminder date lies a
// chosen number of days from today. Opened once after each login when Config.ini asks for
// it; its check box says whether it should.
class TFrm_Awoke : public QDialog
{
    Q_OBJECT
public:
    TFrm_Awoke(TFrm_Data &data, Session &session, QWidget *parent = nullptr);
    ~TFrm_Awoke() override;

    // The main window's command: shows the window, modal, and frees it when it closes.
    // It does not wait for the window, as the command comes from a timer.
    static void M_Awoke(TFrm_Data &data, Session &session, QWidget *parent);
    // [otherInfo] awoke: 0 (the default) opens the window once after each login.
    static int ShowAfterLogin(IniFile &config);

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();
    void Btn_RefreshClick();
    void CheckBox1Click();
    void FormClose();
    // Lists the orders due in that many days.
    void listDueOrders(int days);
    bool dayCount(int *days) const;

    std::unique_ptr<Ui::TFrm_Awoke> m_ui;
    TFrm_Data &m_data;
    Session &m_session;
    DataSet *m_dueOrders;
    bool m_shown = false;
};

extern QPointer<TFrm_Awoke> Frm_Awoke;
