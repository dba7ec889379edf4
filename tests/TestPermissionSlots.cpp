#include "CommandTable.h"
#include "ModalDialogCloser.h"
#include "ServiceFixture.h"
#include "TFrm_Other.h"

#include <QSignalSpy>
#include <QStackedWidget>
#include <QTabWidget>
#include <QToolButton>
#include <memory>

// The permission slots: an operator without a slot reaches none of its commands, by any
// way the program offers them (menu, tool bar drop-down, shortcut, button, double-click,
// Delete key, pop-up menu), while every other gated command stays within reach.
class TestPermissionSlots : public QObject
{
    Q_OBJECT

    // Controls outside the command list that a slot switches.
    struct GatedControl
    {
        int slot;
        const char *window;   // "browser" or "lists"
        const char *control;
    };
    static constexpr GatedControl GatedControls[] = {{5, "browser", "Btn_S_Cust"}, {33, "lists", "ToolButton3"}};

    // K1 with a visit, an order and a complaint, so that every grid of the browser has a row.
    static void addRecords(ServiceFixture &f)
    {
        f.run(QStringLiteral("insert into contact (CustCode, Company, Name, f_user) values ('K1', '格力空调专卖', '李工', 'Admin')"));
        f.run(QStringLiteral("insert into T_Schedule (CustCode, Company, danhao, F_User) values ('K1', '格力空调专卖', 'WX-2026-01-05-0001', 'Admin')"));
        f.run(QStringLiteral("insert into T_Bill (CustCode, CustName, memo, F_User) values ('K1', '格力空调专卖', '安装晚到', 'Admin')"));
    }

    static void revokeSlot(ServiceFixture &f, int slot)
    {
        QVERIFY(f.data.RunQuery(f.data.Qry_Temp,
                                QStringLiteral("select UserAuthorityID from T_UserAuthority where UserName = 'Admin' order by UserAuthorityID")));
        QVERIFY(f.data.Qry_Temp->recordCount() >= slot);
        const QVariant id = f.data.Qry_Temp->value(slot - 1, 0);
        f.run(QStringLiteral("update T_UserAuthority set Authority = :no where UserAuthorityID = :id"), {{":no", false}, {":id", id}});
    }

    // Every menu that offers the action, from the menu bar's to the pop-up menus of the grids.
    static QList<QMenu *> menusOffering(const QAction *action)
    {
        QList<QMenu *> menus;
        for (QWidget *widget : QApplication::allWidgets()) {
            auto *menu = qobject_cast<QMenu *>(widget);
            if (menu && menu->actions().contains(action))
                menus << menu;
        }
        return menus;
    }

    static void clickInMenu(QMenu *menu, QAction *action)
    {
        menu->popup(QPoint(10, 10));
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
        menu->hide();
    }

    // Every button bound to the action.
    static QList<QToolButton *> buttonsOf(const QAction *action)
    {
        QList<QToolButton *> buttons;
        for (QWidget *widget : QApplication::allWidgets()) {
            auto *button = qobject_cast<QToolButton *>(widget);
            if (button && button->defaultAction() == action)
                buttons << button;
        }
        return buttons;
    }

    static void pressShortcut(TFrm_Main &main, const QAction *action)
    {
        const QKeySequence shortcut = action->shortcut();
        if (shortcut.isEmpty())
            return;
        // Shortcuts go to the active window; a dialog opened on the way may have taken that.
        main.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        QTest::keyClick(&main, shortcut[0].key(), shortcut[0].keyboardModifiers());
    }

    // Shows the page of the browser that holds the grid.
    static void bringForward(QWidget *grid)
    {
        for (QWidget *page = grid; page && page->parentWidget(); page = page->parentWidget()) {
            QWidget *stack = page->parentWidget();
            if (auto *tabs = qobject_cast<QTabWidget *>(stack->parentWidget()); tabs && qobject_cast<QStackedWidget *>(stack))
                tabs->setCurrentWidget(page);
        }
    }

    static QList<DataGrid *> browserGrids()
    {
        return {Frm_Custom->Grid_Cust(), Frm_Custom->Grid_Contact(), Frm_Custom->Grid_Sch(), Frm_Custom->Grid_Sale()};
    }

    static void doubleClickGrid(DataGrid *grid)
    {
        bringForward(grid);
        doubleClickFirstRow(grid);
    }

    static void pressDeleteOnGrid(DataGrid *grid)
    {
        bringForward(grid);
        QTest::keyClick(grid, Qt::Key_Delete);
    }

    // Whatever an enabled command opens is closed, whatever it asks is answered no.
    struct Answers
    {
        Answers()
        {
            for (int i = 0; i < 50; ++i)
                recorder.answerNext(QMessageBox::No);
        }
        ModalDialogCloser closer;
        MessageRecorder recorder;
    };

    static QWidget *gatedControl(ServiceFixture &f, const GatedControl &gated, std::unique_ptr<TFrm_Other> &lists)
    {
        if (qstrcmp(gated.window, "browser") == 0)
            return control<QWidget>(Frm_Custom, gated.control);
        lists = std::make_unique<TFrm_Other>(f.data, f.main.session(), &f.main);
        lists->show();
        return control<QWidget>(lists.get(), gated.control);
    }

private slots:
    void slotRevoked_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<int>("slot");
        QList<int> slotNumbers;
        for (const auto &command : commandDefinitions())
            slotNumbers << command.slot;
        for (const auto &menu : gatedMenus())
            slotNumbers << menu.slot;
        for (const auto &gated : GatedControls)
            slotNumbers << gated.slot;
        std::sort(slotNumbers.begin(), slotNumbers.end());
        slotNumbers.erase(std::unique(slotNumbers.begin(), slotNumbers.end()), slotNumbers.end());
        slotNumbers.removeAll(0);
        QStringList cases;
        for (int slot : std::as_const(slotNumbers))
            cases << QStringLiteral("slot %1").arg(slot);
        TestHome::addEngineRows(cases, [&slotNumbers](QTestData &row, int i) { row << slotNumbers[i]; });
    }

    void slotRevoked()
    {
        QFETCH(QString, engine);
        QFETCH(int, slot);
        ServiceFixture f(engine);
        addRecords(f);
        revokeSlot(f, slot);
        f.open();
        QVERIFY(QTest::qWaitForWindowActive(&f.main));

        QList<QAction *> revoked;
        for (const auto &definition : commandDefinitions()) {
            QAction *command = f.main.command(QString::fromLatin1(definition.name));
            if (definition.slot == slot)
                revoked << command;
            else if (definition.slot > 0 && MainFrame::isProvided(command))
                QVERIFY2(command->isEnabled(), definition.name);
        }
        for (const auto &menu : gatedMenus()) {
            auto *submenu = f.main.findChild<QMenu *>(QString::fromLatin1(menu.name));
            QCOMPARE(submenu->isEnabled(), menu.slot != slot);
            QCOMPARE(submenu->menuAction()->isEnabled(), menu.slot != slot);
        }
        for (const auto &gated : GatedControls) {
            std::unique_ptr<TFrm_Other> lists;
            QCOMPARE(gatedControl(f, gated, lists)->isEnabled(), gated.slot != slot);
        }

        QList<QSignalSpy *> spies;
        for (QAction *command : std::as_const(revoked)) {
            QVERIFY2(!command->isEnabled(), qPrintable(command->objectName()));
            spies << new QSignalSpy(command, &QAction::triggered);
        }
        const auto deleteSpies = qScopeGuard([&spies] { qDeleteAll(spies); });
        Answers answers;
        for (QAction *command : std::as_const(revoked)) {
            for (QMenu *menu : menusOffering(command))
                clickInMenu(menu, command);
            for (QToolButton *button : buttonsOf(command))
                QTest::mouseClick(button, Qt::LeftButton);
            pressShortcut(f.main, command);
        }
        for (DataGrid *grid : browserGrids()) {
            doubleClickGrid(grid);
            pressDeleteOnGrid(grid);
        }
        for (int i = 0; i < revoked.size(); ++i)
            QVERIFY2(spies[i]->isEmpty(), qPrintable(revoked[i]->objectName()));
    }

    // The ways tried above do reach a command the operator holds.
    void routesReachGrantedCommands_data() { TestHome::addEngineRows(); }
    void routesReachGrantedCommands()
    {
        QFETCH(QString, engine);
        ServiceFixture f(engine);
        addRecords(f);
        f.open();
        QVERIFY(QTest::qWaitForWindowActive(&f.main));
        Answers answers;
        const auto reached = [&f](const char *name, const std::function<void(QAction *)> &route) {
            QAction *command = f.command(name);
            QSignalSpy spy(command, &QAction::triggered);
            route(command);
            return spy.count();
        };
        QCOMPARE(reached("AddCust", [&](QAction *c) { clickInMenu(f.main.findChild<QMenu *>(QStringLiteral("N_Cust")), c); }), 1);
        QCOMPARE(reached("AddCust", [&](QAction *c) { clickInMenu(f.main.findChild<QMenu *>(QStringLiteral("PM_Nav")), c); }), 1);
        QCOMPARE(reached("AddCust", [&](QAction *c) { pressShortcut(f.main, c); }), 1);
        QCOMPARE(reached("EditContact", [&](QAction *c) { clickInMenu(control<QMenu>(Frm_Custom, "Menu_Contact"), c); }), 1);
        QCOMPARE(reached("DelCust", [&](QAction *c) {
                     for (QToolButton *button : buttonsOf(c))
                         QTest::mouseClick(button, Qt::LeftButton);
                 }),
                 buttonsOf(f.command("DelCust")).size());
        QVERIFY(!buttonsOf(f.command("DelCust")).isEmpty());
        QCOMPARE(reached("EditBill", [&](QAction *) { doubleClickGrid(Frm_Custom->Grid_Sale()); }), 1);
        QCOMPARE(reached("DelSchedule", [&](QAction *) { pressDeleteOnGrid(Frm_Custom->Grid_Sch()); }), 1);
        QCOMPARE(reached("M_UserList", [&](QAction *c) { clickInMenu(f.main.findChild<QMenu *>(QStringLiteral("N1")), c); }), 1);
        // Nothing was deleted on the way.
        QCOMPARE(f.scalar(QStringLiteral("select count(*) from T_Schedule")).toInt(), 1);
        QCOMPARE(f.scalar(QStringLiteral("select count(*) from custom")).toInt(), 2);
    }
};

QTEST_MAIN(TestPermissionSlots)
#include "TestPermissionSlots.moc"
