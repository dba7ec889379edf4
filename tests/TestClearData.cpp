#include "ServiceFixture.h"
#include "TFrm_Backup.h"
#include "TFrm_ClearData.h"

#include <QListWidget>

// A row of Dict_ClearData.
struct Action
{
    QString caption;
    QString sql;
    bool offered;
};
Q_DECLARE_METATYPE(Action)

// Data initialisation as a clerk runs it: the offered actions listed and ticked, the question,
// the ticked statements in list order in one transaction, and what the tables hold afterwards.
class TestClearData : public QObject
{
    Q_OBJECT

    // The tables the delivered actions empty, in their order.
    static QStringList clearedTables()
    {
        return {"T_Bill", "T_Schedule", "contact", "T_BillDetail", "custom", "T_Goods", "Goods_Category"};
    }

    static QList<int> counts(ServiceFixture &f)
    {
        QList<int> list;
        for (const QString &table : clearedTables())
            list << f.scalar(QStringLiteral("select count(*) from %1").arg(table)).toInt();
        return list;
    }

    // One record in each cleared table, two customers and two goods lines.
    static void addRecords(ServiceFixture &f)
    {
        f.run(QStringLiteral("insert into T_Bill (CustCode, memo) values ('K1', '服务慢')"));
        f.run(QStringLiteral("insert into T_Schedule (CustCode, danhao) values ('K1', 'WX-2026-01-05-0001')"));
        f.run(QStringLiteral("insert into contact (CustCode, Name) values ('K1', '王师傅')"));
        f.run(QStringLiteral("insert into T_Goods (GoodsCode, GoodsName) values ('G1', '挂机')"));
        f.run(QStringLiteral("insert into Goods_Category (code, name) values ('01', '空调')"));
    }

    static void replaceActions(ServiceFixture &f, const QList<Action> &actions)
    {
        f.run(QStringLiteral("delete from Dict_ClearData"));
        for (const Action &action : actions)
            f.run(QStringLiteral("insert into Dict_ClearData (Action, SQL, F_Flag) values (:a, :s, :f)"),
                  {{":a", action.caption}, {":s", action.sql}, {":f", action.offered}});
    }

    static QStringList lines(QListWidget *list)
    {
        QStringList texts;
        for (int i = 0; i < list->count(); ++i)
            texts << list->item(i)->text();
        return texts;
    }

private slots:
    void clearing_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QList<Action>>("actions");     // empty: the delivered ones
        QTest::addColumn<QList<int>>("untick");
        QTest::addColumn<bool>("confirm");
        QTest::addColumn<QStringList>("listed");
        QTest::addColumn<QString>("result");
        QTest::addColumn<QList<int>>("after");          // rows of clearedTables()

        const QStringList delivered = {"清除投诉记录", "清除维修记录", "清除回访记录", "清除安装单商品明细",
                                       "清除用户资料", "清除商品资料", "清除商品分类"};
        const QList<int> before = {1, 1, 1, 2, 2, 1, 1};
        const QString success = QStringLiteral("数据初始化成功!");
        const QString failure = QStringLiteral("数据初始化失败!");
        const QList<Action> duplicates = {{"清除A", "delete from T_Bill", true},
                                          {"清除A", "delete from contact", true},
                                          {"清除B", "delete from T_Goods", true}};
        const QList<Action> hidden = {{"清除投诉记录", "delete from custom", false},
                                      {"清除投诉记录", "delete from T_Bill", true},
                                      {"清除商品资料", "delete from T_Goods", false}};
        const QList<Action> thirdFails = {{"一", "delete from T_Bill", true},
                                          {"二", "delete from contact", true},
                                          {"三", "delete from T_NoSuchTable", true},
                                          {"四", "delete from T_Goods", true},
                                          {"五", "delete from custom", true}};
        const QList<Action> noneOffered = {{"清除用户资料", "delete from custom", false}};
        const QStringList cases = {"all ticked", "one unticked", "no", "duplicate captions", "hidden actions",
                                   "third of five fails", "none offered"};
        TestHome::addEngineRows(cases, [&](QTestData &row, int i) {
            switch (i) {
            case 0: row << QList<Action>() << QList<int>() << true << delivered << success << QList<int>{0, 0, 0, 0, 0, 0, 0}; break;
            case 1: row << QList<Action>() << QList<int>{4} << true << delivered << success << QList<int>{0, 0, 0, 0, 2, 0, 0}; break;
            case 2: row << QList<Action>() << QList<int>() << false << delivered << QString() << before; break;
            // Each ticked line runs the statement of the first row of its caption.
            case 3: row << duplicates << QList<int>{0} << true << QStringList{"清除A", "清除A", "清除B"} << success
                        << QList<int>{0, 1, 1, 2, 2, 0, 1}; break;
            // Rows not offered never run, even under the caption of an offered one.
            case 4: row << hidden << QList<int>() << true << QStringList{"清除投诉记录"} << success
                        << QList<int>{0, 1, 1, 2, 2, 1, 1}; break;
            case 5: row << thirdFails << QList<int>() << true << QStringList{"一", "二", "三", "四", "五"} << failure << before; break;
            case 6: row << noneOffered << QList<int>() << true << QStringList() << success << before; break;
            }
        });
    }
    void clearing()
    {
        QFETCH(QString, engine);
        QFETCH(QList<Action>, actions);
        QFETCH(QList<int>, untick);
        QFETCH(bool, confirm);
        QFETCH(QStringList, listed);
        QFETCH(QString, result);
        QFETCH(QList<int>, after);
        ServiceFixture f(engine);
        addRecords(f);
        if (!actions.isEmpty())
            replaceActions(f, actions);
        f.open();
        MessageRecorder messages;
        messages.answerNext(confirm ? QMessageBox::Yes : QMessageBox::No);
        QVERIFY(withModal<TFrm_ClearData>([&f] { f.command("M_ClearData")->trigger(); }, [&](TFrm_ClearData *dialog) {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("数据初始化"));
            auto *list = control<QListWidget>(dialog, "CLB_Data");
            QCOMPARE(lines(list), listed);
            for (int i = 0; i < list->count(); ++i)
                QCOMPARE(list->item(i)->checkState(), Qt::Checked);
            list->setFocus();
            for (int line : untick) {
                list->setCurrentRow(line);
                QTest::keyClick(list, Qt::Key_Space);
                QCOMPARE(list->item(line)->checkState(), Qt::Unchecked);
            }
            control<QPushButton>(dialog, "Btn_OK")->click();
            // The window stays open for another run or for closing.
            QVERIFY(dialog->isVisible());
            control<QPushButton>(dialog, "Btn_Exit")->click();
            QVERIFY(!dialog->isVisible());
        }));
        QVERIFY(!messages.messages().isEmpty());
        const auto question = messages.messages().first();
        QCOMPARE(question.text, TFrm_ClearData::questionText());
        QCOMPARE(question.kind, MessageBoxes::Kind::Dialog);
        QCOMPARE(question.icon, QMessageBox::Question);
        QCOMPARE(question.buttons, QMessageBox::Yes | QMessageBox::No);
        if (result.isEmpty()) {
            QCOMPARE(messages.messages().size(), 1);
        } else {
            QCOMPARE(messages.messages().size(), 2);
            const auto answer = messages.messages().last();
            QVERIFY2(answer.text == result || answer.text.startsWith(result + QLatin1Char('\n')), qPrintable(answer.text));
            QCOMPARE(answer.kind, MessageBoxes::Kind::Dialog);
            QCOMPARE(answer.icon, QMessageBox::Question);
        }
        QCOMPARE(counts(f), after);
        // The browser's list shows what is left.
        QCOMPARE(f.data.Qry_Cust->recordCount(), after.at(4));
    }

    void backupFirst_data() { TestHome::addEngineRows(); }
    void backupFirst()
    {
        QFETCH(QString, engine);
        ServiceFixture f(engine);
        f.main.session().logIn(QStringLiteral("Admin"));
        bool backupShown = false;
        QVERIFY(withModal<TFrm_ClearData>([&f] { f.command("M_ClearData")->trigger(); }, [&](TFrm_ClearData *dialog) {
            auto *button = control<QPushButton>(dialog, "Btn_Backup");
            QCOMPARE(button->text(), QStringLiteral("先备份"));
            QVERIFY(button->isEnabled());
            backupShown = withModal<TFrm_Backup>([button] { button->click(); }, [](TFrm_Backup *backup) {
                QCOMPARE(backup->windowTitle(), QStringLiteral("数据库备份"));
            });
            // Back in the initialisation window, nothing cleared.
            QVERIFY(dialog->isVisible());
        }));
        QVERIFY(backupShown);
        QCOMPARE(f.scalar(QStringLiteral("select count(*) from custom")).toInt(), 2);

        // An operator who may not back up sees the button off.
        f.run(QStringLiteral("update T_UserAuthority set Authority = :off where UserName = 'Admin' and Code = :code"),
              {{":off", false}, {":code", backupFunctionCode(f)}});
        f.main.session().logIn(QStringLiteral("Admin"));
        QVERIFY(!f.command("M_Backup")->isEnabled());
        QVERIFY(withModal<TFrm_ClearData>([&f] { f.command("M_ClearData")->trigger(); }, [](TFrm_ClearData *dialog) {
            QVERIFY(!control<QPushButton>(dialog, "Btn_Backup")->isEnabled());
        }));
    }

private:
    // The permission row behind slot 30, the backup.
    static QString backupFunctionCode(ServiceFixture &f)
    {
        f.data.RunQuery(f.data.Qry_Temp, QStringLiteral("select Code from T_UserAuthority where UserName = 'Admin' "
                                                        "order by UserAuthorityID"));
        return f.data.Qry_Temp->value(29, 0).toString();
    }
};

QTEST_MAIN(TestClearData)
#include "TestClearData.moc"
