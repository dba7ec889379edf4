#pragma once

#include "MainFrame.h"

#include <QHash>
#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QTimer>
#include <array>

class QAction;
class QMenu;
class QToolButton;
class Session;
class TFrm_Data;

// The frame of the program: menus, tool bar, status bar, the child-window area, the reminder
// timer and the command list. Every command is one QAction named after it, so a command
// disabled by the operator's permissions is disabled wherever it is offered.
class TFrm_Main : public QMainWindow, public MainFrame
{
    Q_OBJECT
public:
    static constexpr int StatusPanelCount = 4;

    explicit TFrm_Main(TFrm_Data &data, QWidget *parent = nullptr);
    ~TFrm_Main() override;

    Session &session() const override { return *m_session; }
    QString OperatorName() const;
    bool permission(int slot) const;

    QAction *command(const QString &name) const override { return m_commands.value(name); }
    void setStatusText(int panel, const QString &text) override { m_statusPanels.at(panel)->setText(text); }
    void closeChildWindows() override;
    QLabel *statusPanel(int index) const { return m_statusPanels.at(index); }
    QMdiArea *mdiArea() const { return m_mdiArea; }
    QTimer *reminderTimer() const { return m_reminderTimer; }

    void ApplyPermissions();
    void LoadTitle() override;
    // Logs in again: closes the child windows, then shows a new login window.
    void Sys_ReloginClick();

    QWidget *showOrCreateChild(const QMetaObject &windowClass, const std::function<QWidget *()> &create) override;
    using MainFrame::ShowOrCreateChild;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void createCommands();
    void createMenus();
    void createToolBar();
    void createStatusBar();
    QMenu *addMenu(QMenu *parent, const char *objectName, const QString &title);
    void addCommands(QMenu *menu, std::initializer_list<const char *> names);
    QToolButton *addToolButton(const char *objectName, QAction *action);
    void connectHandlers();
    void markCommandsNotProvided();
    // The desktop's programs and the maker's addresses: enabled when they are there.
    void enableDesktopCommands();
    void operatorLoggedIn();
    void Timer1Timer();
    void TB_NavClick();

    TFrm_Data &m_data;
    Session *m_session;
    QMdiArea *m_mdiArea;
    QTimer *m_reminderTimer;
    QHash<QString, QAction *> m_commands;
    std::array<QLabel *, StatusPanelCount> m_statusPanels{};
    bool m_shown = false;
};

extern QPointer<TFrm_Main> Frm_Main;
