#include "ServiceFixture.h"
#include "TFrm_AddBill.h"

#include <QDateEdit>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTimeEdit>
#include <QToolButton>

// Complaints entered, changed and deleted from the customer browser's complaint tab.
class TestComplaints : public QObject
{
    Q_OBJECT

    static void addComplaint(ServiceFixture &f, const QString &reason)
    {
        f.run(QStringLiteral("insert into T_Bill (CustCode, CustName, BillDate, level, people, memo, memo1, memo2, F_User) "
                             "values ('K1', '旧名', '2026-03-04 08:09:10', '一般', '小李', :r, '已道歉', '无', 'bob')"),
              {{":r", reason}});
    }

    // The browser with its complaint tab chosen, which loads the complaints.
    static void openComplaints(ServiceFixture &f)
    {
        f.open();
        control<QTabWidget>(Frm_Custom, "Page_Contact")->setCurrentIndex(2);
    }

    static void save(QWidget *dialog) { control<QPushButton>(dialog, "Btn_OK")->click(); }

private slots:
    void twoComplaintsInOneOpening_data() { TestHome::addEngineRows(); }
    void twoComplaintsInOneOpening()
    {
        QFETCH(QString, engine);
        ServiceFixture f(engine);
        if (engine == QLatin1String("postgresql")) {
            // The time typed is the time stored, whatever the server's time zone.
            QSqlQuery zone(f.data.database());
            QVERIFY(zone.exec(QStringLiteral("SET TIME ZONE 'Pacific/Kiritimati'")));
        }
        openComplaints(f);
        MessageRecorder messages;
        const QDateTime when(QDate(2026, 5, 6), QTime(7, 8, 9));
        withModal<TFrm_AddBill>([&] { control<QToolButton>(Frm_Custom, "Btn_AddBill")->click(); }, [&](TFrm_AddBill *dialog) {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("添加投诉记录"));
            QCOMPARE(control<QPushButton>(dialog, "Btn_OK")->text(), QStringLiteral("新增&A"));
            control<QDateEdit>(dialog, "DateTimePicker1")->setDate(when.date());
            control<QTimeEdit>(dialog, "DateTimePicker2")->setTime(when.time().addMSecs(456));
            typeInto(control<QComboBox>(dialog, "Combo_level"), QStringLiteral("严重"));
            typeInto(control<QComboBox>(dialog, "Combo_people"), QStringLiteral("小李"));
            typeInto(control<QPlainTextEdit>(dialog, "Memo1"), QStringLiteral("安装迟到"));
            typeInto(control<QPlainTextEdit>(dialog, "Memo2"), QStringLiteral("已道歉"));
            typeInto(control<QPlainTextEdit>(dialog, "Memo3"), QStringLiteral("回访确认"));
            const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
            save(dialog);

            // Open for the next complaint, empty, dated now.
            QVERIFY(dialog->isVisible());
            for (const char *name : {"Combo_level", "Combo_people"})
                QVERIFY2(control<QComboBox>(dialog, name)->currentText().isEmpty(), name);
            for (const char *name : {"Memo1", "Memo2", "Memo3"})
                QVERIFY2(control<QPlainTextEdit>(dialog, name)->toPlainText().isEmpty(), name);
            const QDateTime shown(control<QDateEdit>(dialog, "DateTimePicker1")->date(),
                                  control<QTimeEdit>(dialog, "DateTimePicker2")->time());
            QVERIFY(shown >= before && shown <= QDateTime::currentDateTime());

            typeInto(control<QComboBox>(dialog, "Combo_level"), QStringLiteral("一般"));
            typeInto(control<QComboBox>(dialog, "Combo_people"), QStringLiteral("小王"));
            save(dialog);
            QVERIFY(dialog->isVisible());
            control<QPushButton>(dialog, "Btn_Exit")->click();
        });
        QVERIFY(messages.messages().isEmpty());
        QCOMPARE(f.data.Qry_Bill->recordCount(), 2);
        const QVariantMap first = f.row(QStringLiteral("select * from T_Bill where level = '严重'"));
        QCOMPARE(first.value("custcode").toString(), QStringLiteral("K1"));
        QCOMPARE(first.value("custname").toString(), QStringLiteral("格力空调专卖"));
        QCOMPARE(first.value("people").toString(), QStringLiteral("小李"));
        QCOMPARE(first.value("memo").toString(), QStringLiteral("安装迟到"));
        QCOMPARE(first.value("memo1").toString(), QStringLiteral("已道歉"));
        QCOMPARE(first.value("memo2").toString(), QStringLiteral("回访确认"));
        QCOMPARE(first.value("f_user").toString(), QStringLiteral("Admin"));
        // To the second, without its fraction.
        QCOMPARE(first.value("billdate").toDateTime(), when);
        QCOMPARE(f.scalar(QStringLiteral("select people from T_Bill where level = '一般'")).toString(), QStringLiteral("小王"));
    }

    void levelAndReceiverRequired_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("level");
        QTest::addColumn<QString>("receiver");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("caption");
        TestHome::addEngineRows({"no level", "no receiver", "blanks"}, [](QTestData &row, int i) {
            switch (i) {
            case 0: row << "" << "小李" << "级别不能为空" << "提醒"; break;
            case 1: row << "一般" << "" << "接受人不能为空" << "警告"; break;
            case 2: row << " " << "  " << "" << ""; break;
            }
        });
    }
    void levelAndReceiverRequired()
    {
        QFETCH(QString, engine);
        QFETCH(QString, level);
        QFETCH(QString, receiver);
        QFETCH(QString, message);
        QFETCH(QString, caption);
        ServiceFixture f(engine);
        openComplaints(f);
        MessageRecorder messages;
        withModal<TFrm_AddBill>([&] { f.command("AddBill")->trigger(); }, [&](TFrm_AddBill *dialog) {
            typeInto(control<QComboBox>(dialog, "Combo_level"), level);
            typeInto(control<QComboBox>(dialog, "Combo_people"), receiver);
            save(dialog);
        });
        if (message.isEmpty()) {
            // Blanks are not trimmed away.
            QVERIFY(messages.messages().isEmpty());
            const QVariantMap stored = f.row(QStringLiteral("select * from T_Bill"));
            QCOMPARE(stored.value("level").toString(), level);
            QCOMPARE(stored.value("people").toString(), receiver);
            return;
        }
        QCOMPARE(messages.texts(), QStringList{message});
        QCOMPARE(messages.messages().first().kind, MessageBoxes::Kind::Box);
        QCOMPARE(messages.messages().first().caption, caption);
        QCOMPARE(messages.messages().first().icon, QMessageBox::Information);
        QCOMPARE(messages.messages().first().buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(f.scalar(QStringLiteral("select count(*) from T_Bill")).toInt(), 0);
    }

    void editRewritesCustomerAndOwner_data() { TestHome::addEngineRows(); }
    void editRewritesCustomerAndOwner()
    {
        QFETCH(QString, engine);
        ServiceFixture f(engine);
        addComplaint(f, QStringLiteral("太吵"));
        openComplaints(f);
        withModal<TFrm_AddBill>([&] { f.command("EditBill")->trigger(); }, [](TFrm_AddBill *dialog) {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("编辑投诉记录"));
            QCOMPARE(control<QPushButton>(dialog, "Btn_OK")->text(), QStringLiteral("保存&S"));
            QCOMPARE(control<QDateEdit>(dialog, "DateTimePicker1")->date(), QDate(2026, 3, 4));
            QCOMPARE(control<QTimeEdit>(dialog, "DateTimePicker2")->time(), QTime(8, 9, 10));
            QCOMPARE(control<QComboBox>(dialog, "Combo_level")->currentText(), QStringLiteral("一般"));
            QCOMPARE(control<QComboBox>(dialog, "Combo_people")->currentText(), QStringLiteral("小李"));
            QCOMPARE(control<QPlainTextEdit>(dialog, "Memo1")->toPlainText(), QStringLiteral("太吵"));
            QCOMPARE(control<QPlainTextEdit>(dialog, "Memo2")->toPlainText(), QStringLiteral("已道歉"));
            QCOMPARE(control<QPlainTextEdit>(dialog, "Memo3")->toPlainText(), QStringLiteral("无"));
            typeInto(control<QPlainTextEdit>(dialog, "Memo2"), QStringLiteral("已换机"));
            save(dialog);
            QVERIFY(!dialog->isVisible());
        });
        const QVariantMap complaint = f.row(QStringLiteral("select * from T_Bill"));
        QCOMPARE(complaint.value("custname").toString(), QStringLiteral("格力空调专卖"));
        QCOMPARE(complaint.value("custcode").toString(), QStringLiteral("K1"));
        QCOMPARE(complaint.value("f_user").toString(), QStringLiteral("Admin"));
        QCOMPARE(complaint.value("memo1").toString(), QStringLiteral("已换机"));
        QCOMPARE(complaint.value("billdate").toDateTime(), QDateTime(QDate(2026, 3, 4), QTime(8, 9, 10)));
    }

    void deleteAsksFirst_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QStringList>("left");
        TestHome::addEngineRows({"yes", "no"}, [](QTestData &row, int i) {
            if (i == 0)
                row << int(QMessageBox::Yes) << QStringList{"太吵"};
            else
                row << int(QMessageBox::No) << QStringList{"太吵", "漏水"};
        });
    }
    void deleteAsksFirst()
    {
        QFETCH(QString, engine);
        QFETCH(int, answer);
        QFETCH(QStringList, left);
        ServiceFixture f(engine);
        addComplaint(f, QStringLiteral("太吵"));
        addComplaint(f, QStringLiteral("漏水"));
        openComplaints(f);
        QVERIFY(f.data.Qry_Bill->locate(QStringLiteral("memo"), QStringLiteral("漏水")));
        MessageRecorder messages;
        messages.answerNext(QMessageBox::StandardButton(answer));
        f.command("DelBill")->trigger();
        QCOMPARE(messages.texts(), QStringList{"你确定要删除这条投诉记录吗？"});
        // The caption ends with a blank.
        QCOMPARE(messages.messages().first().caption, QStringLiteral("警告 "));
        QCOMPARE(messages.messages().first().kind, MessageBoxes::Kind::Box);
        QCOMPARE(messages.messages().first().icon, QMessageBox::Information);
        QCOMPARE(messages.messages().first().buttons, QMessageBox::Yes | QMessageBox::No);
        QStringList reasons;
        for (int row = 0; row < f.data.Qry_Bill->recordCount(); ++row)
            reasons << f.data.Qry_Bill->value(row, QStringLiteral("memo")).toString();
        QCOMPARE(reasons, left);
        QCOMPARE(f.scalar(QStringLiteral("select count(*) from T_Bill")).toInt(), left.size());
    }

    void browserGridReachesTheCommands_data() { TestHome::addEngineRows(); }
    void browserGridReachesTheCommands()
    {
        QFETCH(QString, engine);
        ServiceFixture f(engine);
        addComplaint(f, QStringLiteral("太吵"));
        openComplaints(f);
        QCOMPARE(menuCommands("Menu_Sale").mid(0, 3), (QStringList{"AddBill", "EditBill", "DelBill"}));
        QString title;
        QVERIFY(withModal<TFrm_AddBill>([] { doubleClickFirstRow(Frm_Custom->Grid_Sale()); },
                                        [&title](TFrm_AddBill *dialog) { title = dialog->windowTitle(); }));
        QCOMPARE(title, QStringLiteral("编辑投诉记录"));
        MessageRecorder messages;
        messages.answerNext(QMessageBox::Yes);
        QTest::keyClick(Frm_Custom->Grid_Sale(), Qt::Key_Delete);
        QCOMPARE(messages.texts(), QStringList{"你确定要删除这条投诉记录吗？"});
        QCOMPARE(f.scalar(QStringLiteral("select count(*) from T_Bill")).toInt(), 0);
    }

    void commandsWithoutRecordsDoNothing_data() { TestHome::addEngineRows(); }
    void commandsWithoutRecordsDoNothing()
    {
        QFETCH(QString, engine);
        ServiceFixture f(engine);
        openComplaints(f);
        MessageRecorder messages;
        QVERIFY(!withModal<TFrm_AddBill>([&] { f.command("EditBill")->trigger(); }, [](TFrm_AddBill *) {}));
        f.command("DelBill")->trigger();
        QVERIFY(f.data.RunQuery(f.data.Qry_Cust, QStringLiteral("select * from custom where CustCode = 'none'")));
        QVERIFY(!withModal<TFrm_AddBill>([&] { f.command("AddBill")->trigger(); }, [](TFrm_AddBill *) {}));
        QVERIFY(messages.messages().isEmpty());
    }

    void listsAndListButtons_data() { TestHome::addEngineRows(); }
    void listsAndListButtons()
    {
        QFETCH(QString, engine);
        ServiceFixture f(engine);
        f.run(QStringLiteral("insert into Dict_tslevel (name) values (' 特急 ')"));
        f.run(QStringLiteral("insert into Dict_people (name) values ('小李')"));
        openComplaints(f);
        ListOpenings openings;
        withModal<TFrm_AddBill>([&] { f.command("AddBill")->trigger(); }, [](TFrm_AddBill *dialog) {
            auto *level = control<QComboBox>(dialog, "Combo_level");
            level->showPopup();
            level->hidePopup();
            QCOMPARE(level->itemText(level->count() - 1), QStringLiteral("特急"));
            auto *receiver = control<QComboBox>(dialog, "Combo_people");
            receiver->showPopup();
            receiver->hidePopup();
            QCOMPARE(receiver->itemText(receiver->count() - 1), QStringLiteral("小李"));
            control<QToolButton>(dialog, "SpeedButton3")->click();
            control<QToolButton>(dialog, "SpeedButton1")->click();
        });
        QCOMPARE(openings.tables(), (QStringList{"Dict_tslevel", "Dict_people"}));
    }
};

QTEST_MAIN(TestComplaints)
#include "TestComplaints.moc"
