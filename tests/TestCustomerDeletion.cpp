#include "DataGrid.h"
#include "MessageRecorder.h"
#include "Session.h"
#include "TFrm_AddCust.h"
#include "TFrm_Custom.h"
#include "TFrm_Data.h"
#include "TFrm_Main.h"
#include "TestHome.h"

#include <QAction>
#include <QItemSelectionModel>
#include <QTest>
#include <QTimer>

// Deleting customers from the browser: each goes whole with its records, or stays whole.
class TestCustomerDeletion : public QObject
{
    Q_OBJECT

    struct Fixture
    {
        explicit Fixture(const QString &engine, int customers) : home(engine), data(home.path()), main(data)
        {
            for (int i = 1; i <= customers; ++i) {
                const QString code = QStringLiteral("K%1").arg(i);
                run(QStringLiteral("insert into custom (CustCode, Company, batch) values (:c, :n, :b)"),
                    {{":c", code}, {":n", QStringLiteral("用户%1").arg(i)}, {":b", QStringLiteral("AZ-%1").arg(i)}});
                for (const char *table : {"contact", "contact", "T_Schedule", "T_Bill"})
                    run(QStringLiteral("insert into %1 (CustCode) values (:c)").arg(QLatin1String(table)), {{":c", code}});
                run(QStringLiteral("insert into T_BillDetail (batch, GoodsName) values (:b, 'g')"), {{":b", QStringLiteral("AZ-%1").arg(i)}});
            }
            main.session().logIn(QStringLiteral("Admin"));
            main.show();
            data.Qry_Cust->setSort(QStringLiteral("CustID"));
        }
        void run(const QString &sql, const QVariantMap &binds = {}) { QVERIFY(data.RunStatement(data.Qry_Str, sql, binds)); }
        int count(const QString &sql)
        {
            return data.RunQuery(data.Qry_Temp, sql) ? data.Qry_Temp->value(0, 0).toInt() : -1;
        }
        // Customers left, and records of each kind left.
        QString left()
        {
            return QStringLiteral("%1/%2/%3/%4/%5")
                .arg(count(QStringLiteral("select count(*) from custom")))
                .arg(count(QStringLiteral("select count(*) from contact")))
                .arg(count(QStringLiteral("select count(*) from T_Schedule")))
                .arg(count(QStringLiteral("select count(*) from T_Bill")))
                .arg(count(QStringLiteral("select count(*) from T_BillDetail")));
        }
        void select(const QList<int> &rows)
        {
            DataGrid *grid = Frm_Custom->Grid_Cust();
            grid->selectionModel()->clearSelection();
            for (int row : rows)
                grid->selectionModel()->select(grid->model()->index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
        void deleteCommand() { main.command(QStringLiteral("DelCust"))->trigger(); }

        TestHome home;
        TFrm_Data data;
        TFrm_Main main;
    };

private slots:
    void emptyListAsksNothing()
    {
        Fixture f(QStringLiteral("sqlite"), 0);
        MessageRecorder messages;
        f.deleteCommand();
        QVERIFY(messages.messages().isEmpty());
    }

    void answeringNoDeletesNothing_data() { TestHome::addEngineRows(); }
    void answeringNoDeletesNothing()
    {
        QFETCH(QString, engine);
        Fixture f(engine, 2);
        MessageRecorder messages;
        messages.answerNext(QMessageBox::No);
        f.deleteCommand();
        QCOMPARE(messages.texts(), QStringList{"确定要删除该用户记录吗！"});
        QCOMPARE(messages.messages().first().caption, QStringLiteral("警告"));
        QCOMPARE(messages.messages().first().buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(f.left(), QStringLiteral("2/4/2/2/2"));
    }

    void currentCustomerGoesWithItsRecords_data() { TestHome::addEngineRows(); }
    void currentCustomerGoesWithItsRecords()
    {
        QFETCH(QString, engine);
        Fixture f(engine, 2);
        f.select({});
        QVERIFY(f.data.Qry_Cust->locate(QStringLiteral("CustCode"), QStringLiteral("K2")));
        MessageRecorder messages;
        messages.answerNext(QMessageBox::Yes);
        f.deleteCommand();
        QCOMPARE(messages.messages().size(), 1);
        // Goods lines stay.
        QCOMPARE(f.left(), QStringLiteral("1/2/1/1/2"));
        QCOMPARE(f.count(QStringLiteral("select count(*) from contact where CustCode = 'K2'")), 0);
        QCOMPARE(f.data.Qry_Cust->recordCount(), 1);
        QCOMPARE(f.data.Qry_Cust->value(QStringLiteral("CustCode")).toString(), QStringLiteral("K1"));
    }

    void selectedCustomersAllGo_data() { TestHome::addEngineRows(); }
    void selectedCustomersAllGo()
    {
        QFETCH(QString, engine);
        Fixture f(engine, 5);
        f.select({0, 2, 4});
        MessageRecorder messages;
        f.deleteCommand();
        QCOMPARE(f.left(), QStringLiteral("2/4/2/2/5"));
        QCOMPARE(f.count(QStringLiteral("select count(*) from custom where CustCode in ('K2', 'K4')")), 2);
        QCOMPARE(f.count(QStringLiteral("select count(*) from contact where CustCode in ('K2', 'K4')")), 4);
    }

    void failureKeepsThatCustomerWhole_data() { TestHome::addEngineRows(); }
    void failureKeepsThatCustomerWhole()
    {
        QFETCH(QString, engine);
        Fixture f(engine, 3);
        if (engine == QLatin1String("postgresql")) {
            f.run(QStringLiteral("create function keep_bill() returns trigger as $$ begin "
                                 "if old.CustCode = 'K2' then raise exception 'kept'; end if; return old; end $$ language plpgsql"));
            f.run(QStringLiteral("create trigger keep_bill before delete on T_Bill for each row execute function keep_bill()"));
        } else {
            f.run(QStringLiteral("create trigger keep_bill before delete on T_Bill when old.CustCode = 'K2' "
                                 "begin select raise(abort, 'kept'); end"));
        }
        f.select({0, 1, 2});
        MessageRecorder messages;
        f.deleteCommand();
        QCOMPARE(messages.texts().size(), 2);
        QCOMPARE(messages.texts().first(), QStringLiteral("确定要删除该用户记录吗！"));
        // The message, and the database's reason below it.
        QVERIFY2(messages.texts().last().startsWith(QStringLiteral("删除记录失败!\n")), qPrintable(messages.texts().last()));
        QVERIFY(messages.texts().last().contains(QStringLiteral("kept")));
        QCOMPARE(messages.messages().last().kind, MessageBoxes::Kind::Dialog);
        QCOMPARE(f.left(), QStringLiteral("1/2/1/1/3"));
        QCOMPARE(f.count(QStringLiteral("select count(*) from contact where CustCode = 'K2'")), 2);
        QCOMPARE(f.count(QStringLiteral("select count(*) from custom where CustCode = 'K2'")), 1);
    }

    void deleteKeyNeedsTheCommand_data() { TestHome::addEngineRows(); }
    void deleteKeyNeedsTheCommand()
    {
        QFETCH(QString, engine);
        Fixture f(engine, 1);
        MessageRecorder messages;
        f.main.command(QStringLiteral("DelCust"))->setEnabled(false);
        QTest::keyClick(Frm_Custom->Grid_Cust(), Qt::Key_Delete);
        QVERIFY(messages.messages().isEmpty());
        f.main.command(QStringLiteral("DelCust"))->setEnabled(true);
        QTest::keyClick(Frm_Custom->Grid_Cust(), Qt::Key_Delete);
        QCOMPARE(f.left(), QStringLiteral("0/0/0/0/1"));
    }

    void commandsOpenTheEditor_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("caption");
        QTest::newRow("add") << "AddCust" << "添加用户信息";
        QTest::newRow("edit") << "EditCust" << "编辑用户信息";
    }
    void commandsOpenTheEditor()
    {
        QFETCH(QString, command);
        QFETCH(QString, caption);
        Fixture f(QStringLiteral("sqlite"), 1);
        QString shown;
        QTimer::singleShot(0, this, [&shown] {
            if (QWidget *dialog = QApplication::activeModalWidget()) {
                shown = dialog->windowTitle();
                dialog->close();
            }
        });
        f.main.command(command)->trigger();
        QCOMPARE(shown, caption);
        QVERIFY(Frm_AddCust.isNull());
    }

    void editWithoutCustomersDoesNothing()
    {
        Fixture f(QStringLiteral("sqlite"), 0);
        MessageRecorder messages;
        f.main.command(QStringLiteral("EditCust"))->trigger();
        QVERIFY(messages.messages().isEmpty());
        QVERIFY(QApplication::activeModalWidget() == nullptr);
    }
};

QTEST_MAIN(TestCustomerDeletion)
#include "TestCustomerDeletion.moc"
