#include "CommandTable.h"
#include "DesktopTools.h"
#include "MessageRecorder.h"
#include "ModalDialogCloser.h"
#include "ProgramStart.h"
#include "Session.h"
#include "TFrm_Custom.h"
#include "TFrm_Data.h"
#include "TFrm_Login.h"
#include "TFrm_Main.h"
#include "TestHome.h"

#include <QAction>
#include <QMdiArea>
#include <QComboBox>
#include <QDesktopServices>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

// Records the addresses the program hands to the desktop, in place of a browser or mail program.
class UrlRecorder : public QObject
{
    Q_OBJECT
public:
    UrlRecorder()
    {
        for (const char *scheme : {"http", "https", "mailto", "file"})
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), this, "open");
    }
    ~UrlRecorder() override
    {
        for (const char *scheme : {"http", "https", "mailto", "file"})
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    }
    QList<QUrl> urls;

public slots:
    void open(const QUrl &url) { urls << url; }
};

// A child window class for the child-window tests.
class TestChild : public QWidget
{
    Q_OBJECT
};
QPointer<TestChild> Frm_TestChild;

// The main window: its commands and menus, permission gating, child windows, the reminder
// timer, logging in again, closing; and the start-up sequence around it.
class TestMainWindow : public QObject
{
    Q_OBJECT

    struct Fixture
    {
        explicit Fixture(const QString &engine) : home(engine), data(home.path()), main(data) {}
        TestHome home;
        TFrm_Data data;
        TFrm_Main main;

        void revoke(const QString &code)
        {
            QVERIFY(data.RunStatement(data.Qry_Str,
                                      QStringLiteral("update T_UserAuthority set Authority = :no where UserName = 'Admin' and Code = :code"),
                                      {{":no", false}, {":code", code}}));
        }
    };

    static QStringList entries(const QMenu *menu)
    {
        QStringList list;
        for (const QAction *action : menu->actions())
            list << (action->isSeparator() ? QStringLiteral("-") : action->menu() ? action->menu()->objectName() : action->objectName());
        return list;
    }

    // Answers the next login window: chooses the operator at position and presses OK, or cancels.
    static void answerLogin(int position, bool cancel = false)
    {
        QTimer::singleShot(0, [=] {
            auto *login = qobject_cast<TFrm_Login *>(QApplication::activeModalWidget());
            QVERIFY(login);
            if (cancel) {
                login->findChild<QPushButton *>(QStringLiteral("Btn_Exit"))->click();
                return;
            }
            login->findChild<QComboBox *>(QStringLiteral("Combo_User"))->setCurrentIndex(position);
            login->findChild<QPushButton *>(QStringLiteral("Btn_ok"))->click();
        });
    }

private slots:
    void menusOfferTheCommands()
    {
        Fixture f(QStringLiteral("sqlite"));
        QStringList titles;
        for (const QAction *action : f.main.menuBar()->actions())
            titles << action->text();
        QCOMPARE(titles, (QStringList{"系统设置", "数据操作", "数据查询", "报表打印", "实用工具", "帮助文件"}));

        const auto menu = [&f](const char *name) { return f.main.findChild<QMenu *>(QString::fromLatin1(name)); };
        QCOMPARE(entries(menu("N1")), (QStringList{"M_UserList", "N31", "M_ClearData", "Sys_Relogin", "N5", "-",
                                                   "sys_Import", "-", "M_Backup", "Sys_Compact", "-", "report", "-", "N2"}));
        QCOMPARE(entries(menu("report")), (QStringList{"N29", "N53", "-", "N55", "N46"}));
        QCOMPARE(entries(menu("N3")), (QStringList{"N_Cust", "N_Contact", "N_Schedule", "N_Bill", "-", "M_Other", "-", "Sys_Company"}));
        QCOMPARE(entries(menu("N_Cust")), (QStringList{"AddCust", "EditCust", "DelCust"}));
        QCOMPARE(entries(menu("N19")), (QStringList{"SearchCust", "weixiu", "-", "M_Awoke"}));
        QCOMPARE(entries(menu("N21")), (QStringList{"P_CustBasic", "P_Label", "PrintBill", "printwx"}));

        const auto command = [&f](const char *name) { return f.main.command(QString::fromLatin1(name)); };
        QCOMPARE(command("AddCust")->text(), QStringLiteral("添加&A"));
        QCOMPARE(command("AddCust")->shortcut(), QKeySequence(QStringLiteral("Ctrl+A")));
        QCOMPARE(command("EditCust")->shortcut(), QKeySequence(QStringLiteral("Ctrl+E")));
        QCOMPARE(command("DelCust")->shortcut(), QKeySequence(QStringLiteral("Ctrl+D")));
        QCOMPARE(command("N2")->text(), QStringLiteral("退出程序"));
        QCOMPARE(command("N2")->shortcut(), QKeySequence(QStringLiteral("Ctrl+Q")));

        auto *nav = f.main.findChild<QToolButton *>(QStringLiteral("TB_Nav"));
        QCOMPARE(nav->text(), QStringLiteral("用户管理 "));
        QCOMPARE(nav->popupMode(), QToolButton::MenuButtonPopup);
        QCOMPARE(entries(nav->menu()), (QStringList{"AddCust", "EditCust", "DelCust"}));
        auto *print = f.main.findChild<QToolButton *>(QStringLiteral("TB_print"));
        QCOMPARE(print->text(), QStringLiteral("报表打印"));
        QCOMPARE(entries(print->menu()), (QStringList{"P_CustBasic", "P_Label", "PrintBill", "printwx"}));
        QCOMPARE(f.main.findChild<QToolButton *>(QStringLiteral("ToolButton2"))->defaultAction(), command("M_Goods"));
        QCOMPARE(f.main.findChild<QToolButton *>(QStringLiteral("TB_Search"))->defaultAction(), command("SearchCust"));
        QCOMPARE(f.main.findChild<QToolButton *>(QStringLiteral("TB_HelpButton"))->text(), QStringLiteral("网上Lumeo"));
    }

    void permissionsGateCommandsEverywhere_data() { TestHome::addEngineRows(); }
    void permissionsGateCommandsEverywhere()
    {
        QFETCH(QString, engine);
        Fixture f(engine);
        f.revoke(QStringLiteral("0102"));   // slot 3: EditCust
        f.revoke(QStringLiteral("0604"));   // slot 29: the import submenu
        f.revoke(QStringLiteral("0607"));   // slot 32: the report design submenu
        f.main.show();
        QVERIFY(QTest::qWaitForWindowActive(&f.main));
        f.main.session().logIn(QStringLiteral("Admin"));

        QAction *edit = f.main.command(QStringLiteral("EditCust"));
        QAction *add = f.main.command(QStringLiteral("AddCust"));
        QVERIFY(!edit->isEnabled());
        QVERIFY(add->isEnabled());
        QVERIFY(f.main.findChild<QToolButton *>(QStringLiteral("TB_Nav"))->menu()->actions().contains(edit));
        QVERIFY(f.main.findChild<QMenu *>(QStringLiteral("N_Cust"))->actions().contains(edit));
        QVERIFY(!f.main.findChild<QMenu *>(QStringLiteral("sys_Import"))->isEnabled());
        QVERIFY(!f.main.findChild<QMenu *>(QStringLiteral("report"))->isEnabled());
        QVERIFY(f.main.command(QStringLiteral("DelCust"))->isEnabled());

        QSignalSpy edited(edit, &QAction::triggered);
        QSignalSpy added(add, &QAction::triggered);
        ModalDialogCloser closer;
        QTest::keyClick(&f.main, Qt::Key_E, Qt::ControlModifier);
        QTest::keyClick(&f.main, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(edited.count(), 0);
        QCOMPARE(added.count(), 1);
    }

    void operatorWithoutRowsHasEveryGatedCommandOff_data() { TestHome::addEngineRows(); }
    void operatorWithoutRowsHasEveryGatedCommandOff()
    {
        QFETCH(QString, engine);
        Fixture f(engine);
        QVERIFY(f.data.RunStatement(f.data.Qry_Str, QStringLiteral("insert into admin (UserName, Password) values ('nobody', '')")));
        f.main.session().logIn(QStringLiteral("Admin"));
        QVERIFY(f.main.command(QStringLiteral("DelCust"))->isEnabled());
        // Nothing of the previous operator's slots remains.
        f.main.session().logIn(QStringLiteral("nobody"));
        for (const char *name : {"AddCust", "EditCust", "DelCust", "SearchCust", "ExportCustCSV", "AddContact",
                                 "EditContact", "DelContact", "AddSchedule", "EditSchedule", "DelSchedule", "weixiu",
                                 "AddBill", "EditBill", "DelBill", "P_CustBasic", "P_Label", "PrintBill", "printwx",
                                 "M_UserList", "M_ClearData", "N5", "M_Backup", "Sys_Compact"})
            QVERIFY2(!f.main.command(QString::fromLatin1(name))->isEnabled(), name);
        for (const char *name : {"Sys_Relogin", "N2", "M_Other", "M_Awoke", "Cust_CustContact", "N31", "Sys_Company", "M_Company",
                                 "M_Goods", "Goods_Category", "AddGoods", "EditGoods", "DelGoods"})
            QVERIFY2(f.main.command(QString::fromLatin1(name))->isEnabled(), name);
        QVERIFY(!f.main.permission(34));
    }

    void commandsWithoutAWindowStayOff_data() { TestHome::addEngineRows(); }
    void commandsWithoutAWindowStayOff()
    {
        QFETCH(QString, engine);
        Fixture f(engine);
        f.main.session().logIn(QStringLiteral("Admin"));
        // Admin holds every slot; a command that nothing provides is still off, and says why.
        for (QAction *action : f.main.findChildren<QAction *>()) {
            if (action->objectName().isEmpty() || f.main.command(action->objectName()) != action)
                continue;
            if (MainFrame::isProvided(action))
                continue;
            QVERIFY2(!action->isEnabled(), qPrintable(action->objectName()));
            QCOMPARE(action->toolTip(), MainFrame::notProvidedHint());
        }
        for (const char *name : {"AddCust", "PrintBill", "printwx", "P_Label", "P_CustBasic", "N55", "N46", "N53", "N29"}) {
            QVERIFY2(MainFrame::isProvided(f.main.command(QString::fromLatin1(name))), name);
            QVERIFY2(f.main.command(QString::fromLatin1(name))->isEnabled(), name);
        }
    }

    void everyEnabledCommandDoesSomething_data() { TestHome::addEngineRows(); }
    void everyEnabledCommandDoesSomething()
    {
        QFETCH(QString, engine);
        Fixture f(engine);
        for (const char *sql : {"insert into custom (CustCode, Company, f_user) values ('K1', '甲', 'Admin')",
                                "insert into contact (CustCode, Name, f_user) values ('K1', '老王', 'Admin')",
                                "insert into T_Schedule (CustCode, danhao, Type, depart, F_User) values ('K1', 'WX-1', '美的', '维修', 'Admin')",
                                "insert into T_Bill (CustCode, level, people, F_User) values ('K1', '一般', '老王', 'Admin')"})
            QVERIFY(f.data.RunStatement(f.data.Qry_Str, QString::fromUtf8(sql)));
        f.data.ConfigIni().WriteString(QStringLiteral("otherInfo"), QStringLiteral("WebSite"), QStringLiteral("https://example.org/"));
        f.data.ConfigIni().WriteString(QStringLiteral("otherInfo"), QStringLiteral("Mail"), QStringLiteral("service@example.org"));
        // The reminder window is asked for by a command here, not by the timer.
        f.data.ConfigIni().WriteString(QStringLiteral("otherInfo"), QStringLiteral("awoke"), QStringLiteral("1"));
        f.main.session().logIn(QStringLiteral("Admin"));
        f.main.show();
        QVERIFY(QTest::qWaitForWindowActive(&f.main));
        Frm_Custom->findChild<QTabWidget *>(QStringLiteral("Page_Contact"))->setCurrentIndex(2);

        UrlRecorder urls;
        ModalDialogCloser closer;
        QStringList names;
        for (const auto &definition : commandDefinitions())
            names << QString::fromLatin1(definition.name);
        // Compacting, logging in again and quitting close the windows the others need: they come last.
        for (const char *last : {"M_CompactDB", "Sys_Compact", "Sys_Relogin", "N2"})
            names.move(names.indexOf(QString::fromLatin1(last)), names.size() - 1);
        int checked = 0;
        for (const QString &name : std::as_const(names)) {
            QAction *action = f.main.command(name);
            if (!action->isEnabled())
                continue;
            ++checked;
            // The desktop's programs are offered exactly when one is installed.
            if (name == QLatin1String("N16") || name == QLatin1String("N17")) {
                QVERIFY(!(name == QLatin1String("N16") ? DesktopTools::calculator() : DesktopTools::textEditor()).isEmpty());
                continue;
            }
            MessageRecorder messages;
            for (int i = 0; i < 3; ++i)
                messages.answerNext(QMessageBox::No);   // keep the records for the commands after
            QSignalSpy reloaded(f.data.Qry_Cust, &QAbstractItemModel::modelReset);
            // A window of its own in the main window counts too.
            QSignalSpy windowShown(f.main.findChild<QMdiArea *>(), &QMdiArea::subWindowActivated);
            const int closed = closer.closed();
            const int opened = urls.urls.size();
            action->trigger();
            const bool didSomething = QTest::qWaitFor([&] {
                return closer.closed() > closed || !messages.messages().isEmpty() || urls.urls.size() > opened
                    || reloaded.count() > 0 || windowShown.count() > 0 || !f.main.isVisible();
            }, 2000);
            QVERIFY2(didSomething, qPrintable(name + QLatin1Char(' ') + action->text()));
        }
        QVERIFY(checked > 20);
        QVERIFY(urls.urls.contains(QUrl(QStringLiteral("https://example.org/"))));
    }

    void makerLinksNeedAnAddress_data()
    {
        QTest::addColumn<QString>("site");
        QTest::addColumn<QString>("mail");
        QTest::newRow("none") << "" << "";
        QTest::newRow("web site only") << "www.example.org" << "";
        QTest::newRow("both") << "https://example.org/" << "service@example.org";
    }
    void makerLinksNeedAnAddress()
    {
        QFETCH(QString, site);
        QFETCH(QString, mail);
        Fixture f(QStringLiteral("sqlite"));
        f.data.ConfigIni().WriteString(QStringLiteral("otherInfo"), QStringLiteral("WebSite"), site);
        f.data.ConfigIni().WriteString(QStringLiteral("otherInfo"), QStringLiteral("Mail"), mail);
        f.main.session().logIn(QStringLiteral("Admin"));
        for (const char *name : {"N11", "TB_Help"})
            QCOMPARE(f.main.command(QString::fromLatin1(name))->isEnabled(), !site.isEmpty());
        QCOMPARE(f.main.command(QStringLiteral("N12"))->isEnabled(), !mail.isEmpty());
        UrlRecorder urls;
        f.main.command(QStringLiteral("N11"))->trigger();
        f.main.command(QStringLiteral("N12"))->trigger();
        QList<QUrl> expected;
        if (!site.isEmpty())
            expected << QUrl::fromUserInput(site);
        if (!mail.isEmpty())
            expected << QUrl(QStringLiteral("mailto:%1?subject=意见").arg(mail));
        QCOMPARE(urls.urls, expected);
    }

    void showOrCreateChildKeepsOneWindow()
    {
        Fixture f(QStringLiteral("sqlite"));
        f.main.show();
        const int before = f.main.mdiArea()->subWindowList().size();
        TestChild *first = f.main.ShowOrCreateChild(Frm_TestChild);
        QCOMPARE(Frm_TestChild.data(), first);
        QCOMPARE(f.main.mdiArea()->subWindowList().size(), before + 1);

        QMdiSubWindow *sub = f.main.mdiArea()->subWindowList().last();
        sub->showMinimized();
        Frm_TestChild.clear();
        TestChild *second = f.main.ShowOrCreateChild(Frm_TestChild);
        QCOMPARE(second, first);
        QCOMPARE(Frm_TestChild.data(), first);
        QCOMPARE(f.main.mdiArea()->subWindowList().size(), before + 1);
        QVERIFY(!sub->isMinimized());
        QCOMPARE(f.main.mdiArea()->activeSubWindow(), sub);
    }

    void showingLoadsTitleAndStatus_data() { TestHome::addEngineRows(); }
    void showingLoadsTitleAndStatus()
    {
        QFETCH(QString, engine);
        Fixture f(engine);
        f.main.session().logIn(QStringLiteral("Admin"));
        f.main.show();
        // A maximised child window adds its caption, as MDI frames do.
        QVERIFY(f.main.windowTitle().startsWith(QStringLiteral("售后服务管理系统 V1.0")));
        QCOMPARE(f.main.statusPanel(0)->text(), QStringLiteral(" 当前操作员: Admin"));
        QCOMPARE(f.main.statusPanel(2)->text(), QApplication::applicationFilePath());
        QVERIFY(f.main.reminderTimer()->isActive());
        // The customer browser opens with the main window.
        QVERIFY(Frm_Custom);
        QCOMPARE(f.main.mdiArea()->subWindowList().size(), 1);
    }

    void reminderOpensOncePerLogin_data()
    {
        QTest::addColumn<QString>("awoke");
        QTest::addColumn<int>("opened");
        QTest::newRow("asked for") << "0" << 1;
        QTest::newRow("off") << "1" << 0;
        // A new installation shows the reminders until the operator unticks the box.
        QTest::newRow("not set") << "" << 1;
    }

    void reminderOpensOncePerLogin()
    {
        QFETCH(QString, awoke);
        QFETCH(int, opened);
        Fixture f(QStringLiteral("sqlite"));
        if (!awoke.isEmpty())
            f.data.ConfigIni().WriteString(QStringLiteral("otherInfo"), QStringLiteral("awoke"), awoke);
        QSignalSpy reminders(f.main.command(QStringLiteral("M_Awoke")), &QAction::triggered);
        f.main.session().logIn(QStringLiteral("Admin"));
        QTest::qWait(2500);
        QCOMPARE(reminders.count(), opened);
        QCOMPARE(f.main.reminderTimer()->isActive(), opened == 0);
    }

    void logInAgainReplacesTheOperator()
    {
        Fixture f(QStringLiteral("sqlite"));
        QVERIFY(f.data.RunStatement(f.data.Qry_Str, QStringLiteral("insert into admin (UserName, Password) values ('李四', '')")));
        f.main.session().logIn(QStringLiteral("Admin"));
        f.main.show();
        QPointer<TestChild> child = f.main.ShowOrCreateChild(Frm_TestChild);

        answerLogin(0, true);
        f.main.command(QStringLiteral("Sys_Relogin"))->trigger();
        QTRY_VERIFY(child.isNull());
        QCOMPARE(f.main.OperatorName(), QStringLiteral("Admin"));
        QVERIFY(f.main.mdiArea()->subWindowList().isEmpty());

        answerLogin(1);
        f.main.command(QStringLiteral("Sys_Relogin"))->trigger();
        QCOMPARE(f.main.OperatorName(), QStringLiteral("李四"));
        QCOMPARE(f.main.statusPanel(0)->text(), QStringLiteral(" 当前操作员: 李四"));
        QVERIFY(!f.main.command(QStringLiteral("AddCust"))->isEnabled());
        // The new operator starts in the customer browser, as after the first login.
        QVERIFY(Frm_Custom);
        QCOMPARE(f.main.mdiArea()->subWindowList().size(), 1);
        QCOMPARE(f.main.statusPanel(1)->text(), QStringLiteral("当前共有 0 条用户记录"));
    }

    void quitClosesEveryChild()
    {
        Fixture f(QStringLiteral("sqlite"));
        f.main.show();
        QPointer<TestChild> child = f.main.ShowOrCreateChild(Frm_TestChild);
        MessageRecorder messages;
        f.main.command(QStringLiteral("N2"))->trigger();
        QVERIFY(!f.main.isVisible());
        QTRY_VERIFY(child.isNull());
        QVERIFY(messages.messages().isEmpty());
    }

    void cancelledFirstLoginEndsTheProgram()
    {
        TestHome home(QStringLiteral("sqlite"));
        ProgramStart start(home.path());
        answerLogin(0, true);
        QVERIFY(!start.run());
        QVERIFY(start.mainWindow());
        QVERIFY(!start.mainWindow()->isVisible());
    }

    void successfulFirstLoginShowsTheMainWindow()
    {
        TestHome home(QStringLiteral("sqlite"));
        ProgramStart start(home.path());
        answerLogin(0);
        QVERIFY(start.run());
        QVERIFY(start.mainWindow()->isVisible());
        QCOMPARE(start.mainWindow()->OperatorName(), QStringLiteral("Admin"));
    }

    void failedConnectionShowsNoLogin()
    {
        TestHome home(QStringLiteral("sqlite"));
        home.writeConfig(QStringLiteral("[Config]\nDBConn=/nonexistent.db\n"));
        MessageRecorder messages;
        messages.answerNext(QMessageBox::No);
        ProgramStart start(home.path());
        QVERIFY(!start.run());
        QVERIFY(!start.mainWindow());
        QVERIFY(Frm_Login.isNull());
        QCOMPARE(messages.messages().size(), 1);
    }
};

QTEST_MAIN(TestMainWindow)
#include "TestMainWindow.moc"
