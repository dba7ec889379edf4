#include "ServiceFixture.h"
#include "TFrm_AddContact.h"

#include <QDateEdit>
#include <QToolButton>

// Return visits entered, changed and deleted from the customer browser, and what the
// database holds afterwards.
class TestReturnVisits : public QObject
{
    Q_OBJECT

    static void addVisit(ServiceFixture &f, const QString &name, const QString &memo2)
    {
        f.run(QStringLiteral("insert into contact (CustCode, Company, Name, Birthday, memo1, memo2, f_user) "
                             "values ('K1', '旧名', :n, :d, '已处理', :m, 'bob')"),
              {{":n", name}, {":d", QDate(2026, 3, 4)}, {":m", memo2}});
    }

private slots:
    void addFromTheBrowser_data() { TestHome::addEngineRows(); }
    void addFromTheBrowser()
    {
        QFETCH(QString, engine);
        ServiceFixture f(engine);
        f.open();
        MessageRecorder messages;
        const bool shown = withModal<TFrm_AddContact>(
            [] { control<QToolButton>(Frm_Custom, "Btn_AddContact")->click(); },
            [](TFrm_AddContact *dialog) {
                QCOMPARE(dialog->windowTitle(), QStringLiteral("添加回访记录"));
                QCOMPARE(control<QPushButton>(dialog, "Btn_OK")->text(), QStringLiteral("新增(&A)"));
                QCOMPARE(control<QDateEdit>(dialog, "DateTimePicker1")->date(), QDate::currentDate());
                for (const char *name : {"Nav_First", "Nav_Prior", "Nav_Next", "Nav_Last"})
                    QVERIFY(dialog->findChild<QPushButton *>(QString::fromLatin1(name)));
                control<QDateEdit>(dialog, "DateTimePicker1")->setDate(QDate(2026, 5, 6));
                // Anyone may have made the visit, on the installer list or not.
                typeInto(control<QComboBox>(dialog, "Combo_Cust"), QStringLiteral("王师傅"));
                typeInto(control<QPlainTextEdit>(dialog, "Memo2"), QStringLiteral("空调制冷正常，客户满意"));
                typeInto(control<QPlainTextEdit>(dialog, "Memo1"), QStringLiteral("无需处理"));
                control<QPushButton>(dialog, "Btn_OK")->click();
                QVERIFY(!dialog->isVisible());
            });
        QVERIFY(shown);
        QVERIFY(messages.messages().isEmpty());
        const QVariantMap visit = f.row(QStringLiteral("select * from contact"));
        QCOMPARE(visit.value("custcode").toString(), QStringLiteral("K1"));
        QCOMPARE(visit.value("company").toString(), QStringLiteral("格力空调专卖"));
        QCOMPARE(visit.value("name").toString(), QStringLiteral("王师傅"));
        QCOMPARE(visit.value("birthday").toDate(), QDate(2026, 5, 6));
        QCOMPARE(visit.value("memo2").toString(), QStringLiteral("空调制冷正常，客户满意"));
        QCOMPARE(visit.value("memo1").toString(), QStringLiteral("无需处理"));
        QCOMPARE(visit.value("f_user").toString(), QStringLiteral("Admin"));
        // The browser's grid shows it as the current visit.
        QCOMPARE(f.data.Qry_Contact->recordCount(), 1);
        QCOMPARE(f.data.Qry_Contact->value(QStringLiteral("Name")).toString(), QStringLiteral("王师傅"));
    }

    void visitorRequired_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<bool>("adding");
        QTest::addColumn<QString>("visitor");
        QTest::addColumn<QString>("message");
        const QStringList cases = {"add empty", "add blanks", "edit empty", "edit blanks"};
        TestHome::addEngineRows(cases, [](QTestData &row, int i) {
            switch (i) {
            case 0: row << true << "" << "回访人姓名不能为空"; break;
            case 1: row << true << "   " << ""; break;
            case 2: row << false << "" << "联系人姓名不能为空"; break;
            case 3: row << false << "   " << "联系人姓名不能为空"; break;
            }
        });
    }
    void visitorRequired()
    {
        QFETCH(QString, engine);
        QFETCH(bool, adding);
        QFETCH(QString, visitor);
        QFETCH(QString, message);
        ServiceFixture f(engine);
        addVisit(f, QStringLiteral("李工"), QStringLiteral("回访一"));
        f.open();
        MessageRecorder messages;
        bool stayedOpen = false;
        withModal<TFrm_AddContact>([&] { f.command(adding ? "AddContact" : "EditContact")->trigger(); },
                                   [&](TFrm_AddContact *dialog) {
                                       typeInto(control<QComboBox>(dialog, "Combo_Cust"), visitor);
                                       control<QPushButton>(dialog, "Btn_OK")->click();
                                       stayedOpen = dialog->isVisible();
                                   });
        if (message.isEmpty()) {
            QVERIFY(messages.messages().isEmpty());
            QVERIFY(!stayedOpen);
            QCOMPARE(f.scalar(QStringLiteral("select count(*) from contact where Name = :n"), {{":n", visitor}}).toInt(), 1);
            return;
        }
        QCOMPARE(messages.texts(), QStringList{message});
        QCOMPARE(messages.messages().first().kind, MessageBoxes::Kind::Box);
        QCOMPARE(messages.messages().first().caption, QStringLiteral("警告"));
        QCOMPARE(messages.messages().first().icon, QMessageBox::Information);
        QCOMPARE(messages.messages().first().buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QVERIFY(stayedOpen);
        QCOMPARE(f.scalar(QStringLiteral("select count(*) from contact")).toInt(), 1);
        QCOMPARE(f.scalar(QStringLiteral("select Name from contact")).toString(), QStringLiteral("李工"));
    }

    void editRewritesCustomerAndOwner_data() { TestHome::addEngineRows(); }
    void editRewritesCustomerAndOwner()
    {
        QFETCH(QString, engine);
        ServiceFixture f(engine);
        addVisit(f, QStringLiteral("李工"), QStringLiteral("回访一"));
        f.open();
        withModal<TFrm_AddContact>([&] { f.command("EditContact")->trigger(); }, [](TFrm_AddContact *dialog) {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("编辑回访记录"));
            QCOMPARE(control<QPushButton>(dialog, "Btn_OK")->text(), QStringLiteral("保存(&S)"));
            QCOMPARE(control<QComboBox>(dialog, "Combo_Cust")->currentText(), QStringLiteral("李工"));
            QCOMPARE(control<QPlainTextEdit>(dialog, "Memo2")->toPlainText(), QStringLiteral("回访一"));
            QCOMPARE(control<QPlainTextEdit>(dialog, "Memo1")->toPlainText(), QStringLiteral("已处理"));
            QCOMPARE(control<QDateEdit>(dialog, "DateTimePicker1")->date(), QDate(2026, 3, 4));
            typeInto(control<QPlainTextEdit>(dialog, "Memo1"), QStringLiteral("已上门"));
            control<QPushButton>(dialog, "Btn_OK")->click();
            QVERIFY(!dialog->isVisible());
        });
        const QVariantMap visit = f.row(QStringLiteral("select * from contact"));
        QCOMPARE(visit.value("company").toString(), QStringLiteral("格力空调专卖"));
        QCOMPARE(visit.value("custcode").toString(), QStringLiteral("K1"));
        QCOMPARE(visit.value("f_user").toString(), QStringLiteral("Admin"));
        QCOMPARE(visit.value("memo1").toString(), QStringLiteral("已上门"));
        QCOMPARE(visit.value("birthday").toDate(), QDate(2026, 3, 4));
    }

    void emptyDateOpensAsToday_data() { TestHome::addEngineRows(); }
    void emptyDateOpensAsToday()
    {
        QFETCH(QString, engine);
        ServiceFixture f(engine);
        f.run(QStringLiteral("insert into contact (CustCode, Name, f_user) values ('K1', '李工', 'Admin')"));
        f.open();
        withModal<TFrm_AddContact>([&] { f.command("EditContact")->trigger(); }, [](TFrm_AddContact *dialog) {
            QCOMPARE(control<QDateEdit>(dialog, "DateTimePicker1")->date(), QDate::currentDate());
            control<QPushButton>(dialog, "Btn_OK")->click();
        });
        QCOMPARE(f.scalar(QStringLiteral("select Birthday from contact")).toDate(), QDate::currentDate());
    }

    void navigatorCopiesAVisitWhileAdding_data() { TestHome::addEngineRows(); }
    void navigatorCopiesAVisitWhileAdding()
    {
        QFETCH(QString, engine);
        ServiceFixture f(engine);
        addVisit(f, QStringLiteral("李工"), QStringLiteral("回访一"));
        addVisit(f, QStringLiteral("赵工"), QStringLiteral("回访二"));
        f.open();
        withModal<TFrm_AddContact>([&] { f.command("AddContact")->trigger(); }, [](TFrm_AddContact *dialog) {
            QCOMPARE(control<QComboBox>(dialog, "Combo_Cust")->currentText(), QString());
            control<QPushButton>(dialog, "Nav_Last")->click();
            QCOMPARE(control<QComboBox>(dialog, "Combo_Cust")->currentText(), QStringLiteral("赵工"));
            QCOMPARE(control<QPlainTextEdit>(dialog, "Memo2")->toPlainText(), QStringLiteral("回访二"));
            control<QPushButton>(dialog, "Btn_OK")->click();
        });
        // Saved as a new visit of the current customer; the template is unchanged.
        QCOMPARE(f.scalar(QStringLiteral("select count(*) from contact where Name = '赵工'")).toInt(), 2);
        QCOMPARE(f.scalar(QStringLiteral("select count(*) from contact where Name = '赵工' and f_user = 'bob'")).toInt(), 1);
        QCOMPARE(f.scalar(QStringLiteral("select Company from contact where f_user = 'Admin'")).toString(),
                 QStringLiteral("格力空调专卖"));
    }

    void deleteAsksFirst_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QStringList>("left");
        TestHome::addEngineRows({"yes", "no"}, [](QTestData &row, int i) {
            if (i == 0)
                row << int(QMessageBox::Yes) << QStringList{"李工"};
            else
                row << int(QMessageBox::No) << QStringList{"李工", "赵工"};
        });
    }
    void deleteAsksFirst()
    {
        QFETCH(QString, engine);
        QFETCH(int, answer);
        QFETCH(QStringList, left);
        ServiceFixture f(engine);
        addVisit(f, QStringLiteral("李工"), QStringLiteral("回访一"));
        addVisit(f, QStringLiteral("赵工"), QStringLiteral("回访二"));
        f.open();
        QVERIFY(f.data.Qry_Contact->locate(QStringLiteral("Name"), QStringLiteral("赵工")));
        MessageRecorder messages;
        messages.answerNext(QMessageBox::StandardButton(answer));
        f.command("DelContact")->trigger();
        QCOMPARE(messages.texts(), QStringList{"你确定要删除该回访记录吗！"});
        QCOMPARE(messages.messages().first().kind, MessageBoxes::Kind::Dialog);
        QCOMPARE(messages.messages().first().icon, QMessageBox::Question);
        QCOMPARE(messages.messages().first().buttons, QMessageBox::Yes | QMessageBox::No);
        QStringList names;
        for (int row = 0; row < f.data.Qry_Contact->recordCount(); ++row)
            names << f.data.Qry_Contact->value(row, QStringLiteral("Name")).toString();
        names.sort();
        QCOMPARE(names, left);
        QCOMPARE(f.scalar(QStringLiteral("select count(*) from contact")).toInt(), left.size());
    }

    void browserGridReachesTheCommands_data() { TestHome::addEngineRows(); }
    void browserGridReachesTheCommands()
    {
        QFETCH(QString, engine);
        ServiceFixture f(engine);
        addVisit(f, QStringLiteral("李工"), QStringLiteral("回访一"));
        f.open();
        QCOMPARE(menuCommands("Menu_Contact").mid(0, 3), (QStringList{"AddContact", "EditContact", "DelContact"}));
        QString title;
        QVERIFY(withModal<TFrm_AddContact>([] { doubleClickFirstRow(Frm_Custom->Grid_Contact()); },
                                           [&title](TFrm_AddContact *dialog) { title = dialog->windowTitle(); }));
        QCOMPARE(title, QStringLiteral("编辑回访记录"));
        // The Delete key deletes no visit.
        MessageRecorder messages;
        QTest::keyClick(Frm_Custom->Grid_Contact(), Qt::Key_Delete);
        QVERIFY(messages.messages().isEmpty());
        QCOMPARE(f.scalar(QStringLiteral("select count(*) from contact")).toInt(), 1);
    }

    void commandsWithoutRecordsDoNothing_data() { TestHome::addEngineRows(); }
    void commandsWithoutRecordsDoNothing()
    {
        QFETCH(QString, engine);
        ServiceFixture f(engine);
        f.open();
        MessageRecorder messages;
        // K1 has no visits.
        QVERIFY(!withModal<TFrm_AddContact>([&] { f.command("EditContact")->trigger(); }, [](TFrm_AddContact *) {}));
        f.command("DelContact")->trigger();
        QVERIFY(f.data.RunQuery(f.data.Qry_Cust, QStringLiteral("select * from custom where CustCode = 'none'")));
        QVERIFY(!withModal<TFrm_AddContact>([&] { f.command("AddContact")->trigger(); }, [](TFrm_AddContact *) {}));
        QVERIFY(messages.messages().isEmpty());
    }

    void visitorListAndItsButton_data() { TestHome::addEngineRows(); }
    void visitorListAndItsButton()
    {
        QFETCH(QString, engine);
        ServiceFixture f(engine);
        f.run(QStringLiteral("insert into Dict_people (name) values (' 李工 ')"));
        f.open();
        ListOpenings lists;
        withModal<TFrm_AddContact>([&] { f.command("AddContact")->trigger(); }, [&f](TFrm_AddContact *dialog) {
            auto *visitor = control<QComboBox>(dialog, "Combo_Cust");
            visitor->showPopup();
            visitor->hidePopup();
            QCOMPARE(visitor->count(), 1);
            QCOMPARE(visitor->itemText(0), QStringLiteral("李工"));
            // An entry added meanwhile shows the next time the list unfolds.
            f.run(QStringLiteral("insert into Dict_people (name) values ('赵工')"));
            visitor->showPopup();
            visitor->hidePopup();
            QCOMPARE(visitor->count(), 2);
            control<QToolButton>(dialog, "SpeedButton1")->click();
        });
        QCOMPARE(lists.tables(), QStringList{"Dict_people"});
        QCOMPARE(ReferenceLists::all().at(ReferenceLists::page(lists.tables().value(0))).caption, QStringLiteral("安装员"));
    }
};

QTEST_MAIN(TestReturnVisits)
#include "TestReturnVisits.moc"
