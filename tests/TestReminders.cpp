#include "DataGrid.h"
#include "ServiceFixture.h"
#include "TFrm_AddSchedule.h"
#include "TFrm_Awoke.h"
#include "TFrm_Login.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QPrintPreviewDialog>

// The reminder window: when it opens, which orders it lists, and what it keeps in Config.ini.
class TestReminders : public QObject
{
    Q_OBJECT

    // An order of K1 with its owner, reminder flag and reminder date (text, or a date).
    static void addOrder(ServiceFixture &f, const QString &number, const QString &owner, bool flagged, const QVariant &due)
    {
        f.run(QStringLiteral("insert into T_Schedule (CustCode, danhao, Type, depart, F_User, Awoke, AwokeDate) "
                             "values ('K1', :n, '美的', '维修', :u, :a, :d)"),
              {{":n", number}, {":u", owner}, {":a", flagged}, {":d", due}});
    }

    // Orders around the day that lies days ahead; only the first two are due then.
    static void addOrdersAround(ServiceFixture &f, int days)
    {
        const QDate day = QDate::currentDate().addDays(days);
        addOrder(f, QStringLiteral("due"), QStringLiteral("Admin"), true, day);
        addOrder(f, QStringLiteral("due late that day"), QStringLiteral("Admin"), true,
                 day.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(" 23:59:59"));
        addOrder(f, QStringLiteral("day after"), QStringLiteral("Admin"), true, day.addDays(1));
        addOrder(f, QStringLiteral("day before"), QStringLiteral("Admin"), true, day.addDays(-1));
        addOrder(f, QStringLiteral("not flagged"), QStringLiteral("Admin"), false, day);
        addOrder(f, QStringLiteral("another operator's"), QStringLiteral("bob"), true, day);
        addOrder(f, QStringLiteral("no date"), QStringLiteral("Admin"), true, QVariant(QMetaType::fromType<QDate>()));
    }

    static QStringList listed()
    {
        QStringList numbers;
        if (!Frm_Awoke)
            return {QStringLiteral("no window")};
        GridModel *orders = control<DataGrid>(Frm_Awoke, "DBGridEh1")->gridModel();
        for (int row = 0; orders && row < orders->rowCount(); ++row)
            numbers << orders->value(row, QStringLiteral("danhao")).toString();
        return numbers;
    }

    static QString config(ServiceFixture &f, const char *key)
    {
        return f.data.ConfigIni().ReadString(QStringLiteral("otherInfo"), QString::fromLatin1(key), QStringLiteral("none"));
    }

    static void closeWindow()
    {
        if (Frm_Awoke)
            control<QPushButton>(Frm_Awoke, "Btn_Exit")->click();
        QTRY_VERIFY(Frm_Awoke.isNull());
    }

private slots:
    void cleanup()
    {
        // A failed test may leave the window open.
        delete Frm_Awoke.data();
    }

    void listsOwnFlaggedOrdersDueInDays_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<int>("days");
        TestHome::addEngineRows({"today", "tomorrow", "in two days", "yesterday"},
                                [](QTestData &row, int i) { row << QList<int>{0, 1, 2, -1}.at(i); });
    }
    void listsOwnFlaggedOrdersDueInDays()
    {
        QFETCH(QString, engine);
        QFETCH(int, days);
        ServiceFixture f(engine);
        f.data.ConfigIni().WriteInteger(QStringLiteral("otherInfo"), QStringLiteral("Day"), days);
        addOrdersAround(f, days);
        f.open();
        MessageRecorder messages;
        f.command("M_Awoke")->trigger();
        QVERIFY(Frm_Awoke);
        QCOMPARE(Frm_Awoke->windowTitle(), QStringLiteral("联系活动提醒"));
        QVERIFY(Frm_Awoke->isModal());
        QCOMPARE(control<QLineEdit>(Frm_Awoke, "Edit_Day")->text(), QString::number(days));
        QCOMPARE(listed(), (QStringList{"due", "due late that day"}));
        // The columns of the browser's order grid.
        QCOMPARE(control<DataGrid>(Frm_Awoke, "DBGridEh1")->columnTitle(0),
                 Frm_Custom->Grid_Sch()->columnTitle(0));
        closeWindow();
        QVERIFY(messages.messages().isEmpty());
    }

    void opensOnceAfterEachLogin_data() { TestHome::addEngineRows(); }
    void opensOnceAfterEachLogin()
    {
        QFETCH(QString, engine);
        ServiceFixture f(engine);
        f.data.ConfigIni().WriteString(QStringLiteral("otherInfo"), QStringLiteral("awoke"), QStringLiteral("0"));
        f.data.ConfigIni().WriteString(QStringLiteral("otherInfo"), QStringLiteral("Day"), QStringLiteral("2"));
        addOrdersAround(f, 2);
        f.open();
        // About a second after the login.
        QTRY_VERIFY(Frm_Awoke);
        QCOMPARE(listed(), (QStringList{"due", "due late that day"}));
        QVERIFY(control<QCheckBox>(Frm_Awoke, "CheckBox1")->isChecked());
        QVERIFY(!f.main.reminderTimer()->isActive());
        closeWindow();

        QVERIFY(withModal<TFrm_Login>([&] { f.command("Sys_Relogin")->trigger(); }, [](TFrm_Login *login) {
            control<QComboBox>(login, "Combo_User")->setCurrentIndex(0);
            control<QPushButton>(login, "Btn_ok")->click();
        }));
        QTRY_VERIFY(Frm_Awoke);
        QVERIFY(!f.main.reminderTimer()->isActive());
        closeWindow();
    }

    void checkBoxWritesTheSetting_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("awoke");
        QTest::addColumn<bool>("ticked");
        TestHome::addEngineRows({"asked for", "off", "missing"}, [](QTestData &row, int i) {
            switch (i) {
            case 0: row << "0" << true; break;
            case 1: row << "1" << false; break;
            // A new installation shows the reminders.
            case 2: row << "" << true; break;
            }
        });
    }
    void checkBoxWritesTheSetting()
    {
        QFETCH(QString, engine);
        QFETCH(QString, awoke);
        QFETCH(bool, ticked);
        ServiceFixture f(engine);
        if (!awoke.isEmpty())
            f.data.ConfigIni().WriteString(QStringLiteral("OTHERINFO"), QStringLiteral("awoke"), awoke);
        f.data.ConfigIni().WriteString(QStringLiteral("otherInfo"), QStringLiteral("Day"), QStringLiteral("1"));
        f.open();
        f.command("M_Awoke")->trigger();
        auto *box = control<QCheckBox>(Frm_Awoke, "CheckBox1");
        QCOMPARE(box->text(), QStringLiteral("每次程序启动时弹出提醒窗口"));
        QCOMPARE(box->isChecked(), ticked);
        QCOMPARE(config(f, "awoke"), awoke.isEmpty() ? QStringLiteral("none") : awoke);
        box->click();
        QCOMPARE(config(f, "awoke"), ticked ? QStringLiteral("1") : QStringLiteral("0"));
        box->click();
        QCOMPARE(config(f, "awoke"), ticked ? QStringLiteral("0") : QStringLiteral("1"));
        closeWindow();
    }

    void refreshListsAgain_data() { TestHome::addEngineRows(); }
    void refreshListsAgain()
    {
        QFETCH(QString, engine);
        ServiceFixture f(engine);
        f.data.ConfigIni().WriteString(QStringLiteral("otherInfo"), QStringLiteral("Day"), QStringLiteral("1"));
        addOrder(f, QStringLiteral("tomorrow"), QStringLiteral("Admin"), true, QDate::currentDate().addDays(1));
        addOrder(f, QStringLiteral("in a week"), QStringLiteral("Admin"), true, QDate::currentDate().addDays(7));
        f.open();
        f.command("M_Awoke")->trigger();
        QCOMPARE(listed(), QStringList{"tomorrow"});
        MessageRecorder messages;
        auto *days = control<QLineEdit>(Frm_Awoke, "Edit_Day");
        typeInto(days, QStringLiteral("7"));
        control<QPushButton>(Frm_Awoke, "Btn_Refresh")->click();
        QCOMPARE(listed(), QStringList{"in a week"});
        QVERIFY(messages.messages().isEmpty());

        // Not a count: said so, and the list stays.
        for (const QString &text : {QStringLiteral("x"), QStringLiteral(""), QStringLiteral("1.5")}) {
            messages.clear();
            typeInto(days, text);
            control<QPushButton>(Frm_Awoke, "Btn_Refresh")->click();
            QCOMPARE(messages.texts(), QStringList{"提醒天数必须是整数！"});
            QCOMPARE(messages.messages().first().caption, QStringLiteral("提醒"));
            QCOMPARE(messages.messages().first().icon, QMessageBox::Information);
            QCOMPARE(listed(), QStringList{"in a week"});
        }
        // Enter in the box lists too.
        typeInto(days, QStringLiteral("1"));
        QTest::keyClick(days, Qt::Key_Return);
        QCOMPARE(listed(), QStringList{"tomorrow"});
        closeWindow();
    }

    void dayCountKeptOnClosing_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("how");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("told");
        const QStringList cases = {"exit button", "window closed", "escape", "blanks around", "negative", "empty", "not a number"};
        TestHome::addEngineRows(cases, [](QTestData &row, int i) {
            switch (i) {
            case 0: row << "3" << 0 << "3" << false; break;
            case 1: row << "4" << 1 << "4" << false; break;
            case 2: row << "5" << 2 << "5" << false; break;
            case 3: row << " 2 " << 0 << "2" << false; break;
            case 4: row << "-1" << 0 << "-1" << false; break;
            case 5: row << "" << 1 << "0" << true; break;
            case 6: row << "abc" << 0 << "0" << true; break;
            }
        });
    }
    void dayCountKeptOnClosing()
    {
        QFETCH(QString, engine);
        QFETCH(QString, typed);
        QFETCH(int, how);
        QFETCH(QString, stored);
        QFETCH(bool, told);
        ServiceFixture f(engine);
        f.open();
        MessageRecorder messages;
        f.command("M_Awoke")->trigger();
        // A first start: today's reminders (none yet) and no message.
        QCOMPARE(control<QLineEdit>(Frm_Awoke, "Edit_Day")->text(), QStringLiteral("0"));
        QCOMPARE(listed(), QStringList());
        QVERIFY(messages.messages().isEmpty());

        typeInto(control<QLineEdit>(Frm_Awoke, "Edit_Day"), typed);
        switch (how) {
        case 0: control<QPushButton>(Frm_Awoke, "Btn_Exit")->click(); break;
        case 1: Frm_Awoke->close(); break;
        case 2: QTest::keyClick(Frm_Awoke, Qt::Key_Escape); break;
        }
        // The window always closes.
        QTRY_VERIFY(Frm_Awoke.isNull());
        QCOMPARE(config(f, "Day"), stored);
        QCOMPARE(messages.messages().size(), told ? 1 : 0);
        if (told) {
            QCOMPARE(messages.lastText(), QStringLiteral("提醒天数不是整数，已按 0 天保存。"));
            QCOMPARE(messages.messages().first().caption, QStringLiteral("提醒"));
        }
    }

    void printPreviewOfTheList_data() { TestHome::addEngineRows(); }
    void printPreviewOfTheList()
    {
        QFETCH(QString, engine);
        ServiceFixture f(engine);
        f.data.ConfigIni().WriteString(QStringLiteral("otherInfo"), QStringLiteral("Day"), QStringLiteral("0"));
        f.open();
        f.command("M_Awoke")->trigger();
        QString title;
        QVERIFY(withModal<QPrintPreviewDialog>([] { control<QPushButton>(Frm_Awoke, "Btn_Print")->click(); },
                                               [&title](QPrintPreviewDialog *preview) { title = preview->windowTitle(); }));
        QVERIFY(title.contains(QStringLiteral("联系活动提醒")));
        closeWindow();
    }

    void orderSavedWithAReminderIsListed_data() { TestHome::addEngineRows(); }
    void orderSavedWithAReminderIsListed()
    {
        QFETCH(QString, engine);
        ServiceFixture f(engine);
        f.data.ConfigIni().WriteString(QStringLiteral("otherInfo"), QStringLiteral("Day"), QStringLiteral("1"));
        f.open();
        QString number;
        withModal<TFrm_AddSchedule>([&] { f.command("AddSchedule")->trigger(); }, [&number](TFrm_AddSchedule *dialog) {
            number = control<QLineEdit>(dialog, "Edit_danhao")->text();
            typeInto(control<QComboBox>(dialog, "combo_depart"), QStringLiteral("维修"));
            control<QCheckBox>(dialog, "CheckBox_Awoke")->click();
            control<QDateEdit>(dialog, "DateTimePicker_Awoke")->setDate(QDate::currentDate().addDays(1));
            control<QPushButton>(dialog, "Btn_OK")->click();
        });
        f.command("M_Awoke")->trigger();
        QCOMPARE(control<QLineEdit>(Frm_Awoke, "Edit_Day")->text(), QStringLiteral("1"));
        QCOMPARE(listed(), QStringList{number});
        closeWindow();
    }
};

QTEST_MAIN(TestReminders)
#include "TestReminders.moc"
