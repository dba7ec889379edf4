#include "TFrm_Main.h"

#include "AccessCommands.h"
#include "CommandTable.h"
#include "CustomerCommands.h"
#include "DesktopTools.h"
#include "ExchangeCommands.h"
#include "GoodsCommands.h"
#include "HzSpell.h"
#include "MaintenanceCommands.h"
#include "ReportCommands.h"
#include "ServiceCommands.h"
#include "SettingsCommands.h"
#include "Session.h"
#include "TFrm_Awoke.h"
#include "TFrm_Custom.h"
#include "TFrm_Data.h"
#include "TFrm_Field.h"
#include "TFrm_Login.h"
#include "TFrm_Other.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

QPointer<TFrm_Main> Frm_Main;

namespace {
constexpr int StatusPanelWidths[TFrm_Main::StatusPanelCount] = {150, 250, 400, 50};
const QString OperatorPanelPrefix = QStringLiteral(" 当前操作员: ");
} // namespace

TFrm_Main::TFrm_Main(TFrm_Data &data, QWidget *parent)
    : QMainWindow(parent),
      m_data(data),
      m_session(new Session(this)),
      m_mdiArea(new QMdiArea(this)),
      m_reminderTimer(new QTimer(this))
{
    setObjectName(QStringLiteral("Frm_Main"));
    resize(886, 565);
    m_mdiArea->setObjectName(QStringLiteral("MDIClient"));
    m_mdiArea->setBackground(QColor(0x8c, 0xa8, 0xc8));
    setCentralWidget(m_mdiArea);
    m_reminderTimer->setObjectName(QStringLiteral("Timer1"));
    m_reminderTimer->setInterval(1000);

    createCommands();
    createMenus();
    createToolBar();
    createStatusBar();
    connectHandlers();
    Frm_Main = this;
    MainFrame::setInstance(this);
}

TFrm_Main::~TFrm_Main()
{
    // Child windows reach the frame while they close.
    closeChildWindows();
    qDeleteAll(m_mdiArea->subWindowList());
    MainFrame::setInstance(nullptr);
}

QString TFrm_Main::OperatorName() const
{
    return m_session->OperatorName();
}

bool TFrm_Main::permission(int slot) const
{
    return m_session->permission(slot);
}

void TFrm_Main::createCommands()
{
    for (const auto &definition : commandDefinitions()) {
        auto *action = new QAction(QString::fromUtf8(definition.caption), this);
        action->setObjectName(QString::fromLatin1(definition.name));
        if (*definition.shortcut)
            action->setShortcut(QKeySequence(QString::fromLatin1(definition.shortcut)));
        // Gated commands stay off until a login grants them.
        action->setEnabled(definition.slot == 0);
        if (*definition.icon)
            action->setIcon(QIcon::fromTheme(QString::fromLatin1(definition.icon)));
        addAction(action);
        m_commands.insert(action->objectName(), action);
    }
    m_commands.value(QStringLiteral("SearchCust"))->setToolTip(QStringLiteral("组合查询"));
}

QMenu *TFrm_Main::addMenu(QMenu *parent, const char *objectName, const QString &title)
{
    QMenu *menu = parent ? parent->addMenu(title) : menuBar()->addMenu(title);
    menu->setObjectName(QString::fromLatin1(objectName));
    return menu;
}

void TFrm_Main::addCommands(QMenu *menu, std::initializer_list<const char *> names)
{
    for (const char *name : names) {
        if (!*name)
            menu->addSeparator();
        else
            menu->addAction(m_commands.value(QString::fromLatin1(name)));
    }
}

void TFrm_Main::createMenus()
{
    QMenu *system = addMenu(nullptr, "N1", QStringLiteral("系统设置"));
    addCommands(system, {"M_UserList", "N31", "M_ClearData", "Sys_Relogin", "N5", ""});
    addCommands(addMenu(system, "sys_Import", QStringLiteral("导入数据")), {"sss1"});
    system->addSeparator();
    addCommands(system, {"M_Backup", "Sys_Compact", ""});
    addCommands(addMenu(system, "report", QStringLiteral("报表设置")), {"N29", "N53", "", "N55", "N46"});
    system->addSeparator();
    addCommands(system, {"N2"});

    QMenu *records = addMenu(nullptr, "N3", QStringLiteral("数据操作"));
    addCommands(addMenu(records, "N_Cust", QStringLiteral("用户资料")), {"AddCust", "EditCust", "DelCust"});
    addCommands(addMenu(records, "N_Contact", QStringLiteral("回访记录")), {"AddContact", "EditContact", "DelContact"});
    addCommands(addMenu(records, "N_Schedule", QStringLiteral("维修记录")), {"AddSchedule", "EditSchedule", "DelSchedule"});
    addCommands(addMenu(records, "N_Bill", QStringLiteral("投诉记录")), {"AddBill", "EditBill", "DelBill"});
    addCommands(records, {"", "M_Other", "", "Sys_Company"});

    addCommands(addMenu(nullptr, "N19", QStringLiteral("数据查询")), {"SearchCust", "weixiu", "", "M_Awoke"});
    addCommands(addMenu(nullptr, "N21", QStringLiteral("报表打印")), {"P_CustBasic", "P_Label", "PrintBill", "printwx"});
    addCommands(addMenu(nullptr, "N15", QStringLiteral("实用工具")), {"N16", "N17"});
    addCommands(addMenu(nullptr, "N10", QStringLiteral("帮助文件")), {"HelpContents", "", "N12", "N11"});
}

QToolButton *TFrm_Main::addToolButton(const char *objectName, QAction *action)
{
    auto *button = new QToolButton(this);
    button->setObjectName(QString::fromLatin1(objectName));
    // Captions under the pictures are shown exactly as given, trailing blank and all.
    action->setIconText(action->text());
    button->setDefaultAction(action);
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setAutoRaise(true);
    button->setMinimumSize(61, 51);
    findChild<QToolBar *>(QStringLiteral("ToolBar1"))->addWidget(button);
    return button;
}

void TFrm_Main::createToolBar()
{
    auto *toolBar = addToolBar(QStringLiteral("工具栏"));
    toolBar->setObjectName(QStringLiteral("ToolBar1"));
    toolBar->setMovable(false);
    toolBar->setIconSize(QSize(32, 32));

    QToolButton *nav = addToolButton("TB_Nav", m_commands.value(QStringLiteral("Cust_CustContact")));
    auto *navMenu = new QMenu(nav);
    navMenu->setObjectName(QStringLiteral("PM_Nav"));
    addCommands(navMenu, {"AddCust", "EditCust", "DelCust"});
    nav->setMenu(navMenu);
    nav->setPopupMode(QToolButton::MenuButtonPopup);
    toolBar->addSeparator();

    // The print button itself does nothing; its arrow offers the printed reports.
    auto *printAction = new QAction(QIcon::fromTheme(QStringLiteral("document-print")), QStringLiteral("报表打印"), this);
    QToolButton *print = addToolButton("TB_print", printAction);
    auto *printMenu = new QMenu(print);
    printMenu->setObjectName(QStringLiteral("PM_Print"));
    addCommands(printMenu, {"P_CustBasic", "P_Label", "PrintBill", "printwx"});
    print->setMenu(printMenu);
    print->setPopupMode(QToolButton::MenuButtonPopup);

    addToolButton("ToolButton2", m_commands.value(QStringLiteral("M_Goods")));
    toolBar->addSeparator();
    addToolButton("TB_Search", m_commands.value(QStringLiteral("SearchCust")));
    toolBar->addSeparator();
    addToolButton("TB_HelpButton", m_commands.value(QStringLiteral("TB_Help")));
}

void TFrm_Main::createStatusBar()
{
    for (int i = 0; i < StatusPanelCount; ++i) {
        auto *panel = new QLabel(this);
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        panel->setMinimumWidth(StatusPanelWidths[i]);
        panel->setFrameShape(QFrame::StyledPanel);
        statusBar()->addWidget(panel, i == 2 ? 1 : 0);
        m_statusPanels[i] = panel;
    }
}

void TFrm_Main::connectHandlers()
{
    const auto on = [this](const char *name, std::function<void()> handler) { provide(name, this, std::move(handler)); };
    on("Sys_Relogin", [this] { Sys_ReloginClick(); });
    on("Cust_CustContact", [this] { TB_NavClick(); });
    on("M_Other", [this] { TFrm_Other::M_Other(m_data, *m_session, this); });
    TFrm_Other::installEditorOpener(m_data, *m_session);
    TFrm_Field::installColumnChooser(m_data);
    CustomerCommands::connect(*this, m_data, this);
    on("N2", [this] { close(); });
    on("N16", [] { DesktopTools::start(DesktopTools::calculator()); });
    on("N17", [] { DesktopTools::start(DesktopTools::textEditor()); });
    on("N11", [this] { DesktopTools::openWebSite(DesktopTools::webSite(m_data.ConfigIni())); });
    on("TB_Help", [this] { DesktopTools::openWebSite(DesktopTools::webSite(m_data.ConfigIni())); });
    on("N12", [this] { DesktopTools::writeMailTo(DesktopTools::mailAddress(m_data.ConfigIni())); });
    on("HelpContents", [this] { DesktopTools::openHelp(m_data.programDir()); });
    connect(m_session, &Session::loggedIn, this, &TFrm_Main::operatorLoggedIn);
    connect(m_reminderTimer, &QTimer::timeout, this, &TFrm_Main::Timer1Timer);
    ServiceCommands::connect(*this, m_data, this);
    ReportCommands::connect(*this, m_data, this);
    MaintenanceCommands::connect(*this, m_data, this);
    AccessCommands::connect(*this, m_data, this);
    SettingsCommands::connect(*this, m_data, this);
    ExchangeCommands::connect(*this, m_data, this, &THzSpell::PinyinInitials);
    GoodsCommands::connect(*this, m_data, this);
    markCommandsNotProvided();
    enableDesktopCommands();
}

void TFrm_Main::enableDesktopCommands()
{
    const auto enable = [this](const char *name, bool available, const QString &reason) {
        QAction *action = command(QString::fromLatin1(name));
        action->setEnabled(available);
        action->setToolTip(available ? action->text() : reason);
        action->setStatusTip(available ? QString() : reason);
    };
    const QString noSite = QStringLiteral("未设置网址（Config.ini [otherInfo] WebSite=）");
    const bool site = !DesktopTools::webSite(m_data.ConfigIni()).isEmpty();
    enable("N16", !DesktopTools::calculator().isEmpty(), QStringLiteral("未安装计算器程序"));
    enable("N17", !DesktopTools::textEditor().isEmpty(), QStringLiteral("未安装文本编辑器"));
    enable("N11", site, noSite);
    enable("TB_Help", site, noSite);
    enable("N12", !DesktopTools::mailAddress(m_data.ConfigIni()).isEmpty(),
           QStringLiteral("未设置邮件地址（Config.ini [otherInfo] Mail=）"));
}

void TFrm_Main::markCommandsNotProvided()
{
    for (QAction *action : std::as_const(m_commands)) {
        if (isProvided(action))
            continue;
        action->setEnabled(false);
        action->setToolTip(notProvidedHint());
        action->setStatusTip(notProvidedHint());
    }
}

void TFrm_Main::operatorLoggedIn()
{
    m_reminderTimer->start();
    m_statusPanels[0]->setText(OperatorPanelPrefix + OperatorName());
    ApplyPermissions();
    // Config.ini may have been given the addresses since.
    enableDesktopCommands();
}

void TFrm_Main::ApplyPermissions()
{
    m_session->loadPermissions(m_data);
    for (const auto &definition : commandDefinitions()) {
        QAction *action = m_commands.value(QString::fromLatin1(definition.name));
        if (definition.slot > 0 && isProvided(action))
            action->setEnabled(permission(definition.slot));
    }
    for (const auto &menu : gatedMenus())
        findChild<QMenu *>(QString::fromLatin1(menu.name))->setEnabled(permission(menu.slot));
}

void TFrm_Main::LoadTitle()
{
    QString title;
    if (m_data.RunQuery(m_data.Qry_SoftInfo, QStringLiteral("select * from T_SoftInfo"))
        && !m_data.Qry_SoftInfo->isEmpty())
        title = m_data.Qry_SoftInfo->value(0, QStringLiteral("SoftName")).toString()
              + m_data.Qry_SoftInfo->value(0, QStringLiteral("Version")).toString();
    setWindowTitle(title);
    m_statusPanels[2]->setText(QApplication::applicationFilePath());
}

void TFrm_Main::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    LoadTitle();
    m_reminderTimer->start();
    ShowOrCreateChild(Frm_Custom);
}

QWidget *TFrm_Main::showOrCreateChild(const QMetaObject &windowClass, const std::function<QWidget *()> &create)
{
    for (QMdiSubWindow *sub : m_mdiArea->subWindowList()) {
        QWidget *widget = sub->widget();
        if (!widget || widget->metaObject() != &windowClass)
            continue;
        if (sub->isMinimized())
            sub->showNormal();
        else
            sub->show();
        sub->raise();
        m_mdiArea->setActiveSubWindow(sub);
        widget->setFocus();
        return widget;
    }
    QWidget *window = create();
    QMdiSubWindow *sub = m_mdiArea->addSubWindow(window);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    return window;
}

void TFrm_Main::TB_NavClick()
{
    ShowOrCreateChild(Frm_Custom)->Cust_CustContact();
}

void TFrm_Main::Timer1Timer()
{
    if (TFrm_Awoke::ShowAfterLogin(m_data.ConfigIni()) != 0)
        return;
    // Once per login: the next login starts the timer again.
    m_reminderTimer->stop();
    command(QStringLiteral("M_Awoke"))->trigger();
}

void TFrm_Main::closeChildWindows()
{
    const auto windows = m_mdiArea->subWindowList(QMdiArea::CreationOrder);
    for (auto it = windows.crbegin(); it != windows.crend(); ++it)
        (*it)->close();
}

void TFrm_Main::Sys_ReloginClick()
{
    closeChildWindows();
    TFrm_Login login(m_data, *m_session, this);
    Frm_Login = &login;
    login.exec();
    // The new operator starts where the first login starts: in the customer browser.
    if (login.LoginDone())
        ShowOrCreateChild(Frm_Custom);
}

void TFrm_Main::closeEvent(QCloseEvent *event)
{
    closeChildWindows();
    event->accept();
}
