#include "CustomerGenerator.h"
#include "MessageRecorder.h"
#include "TFrm_Data.h"
#include "TestHome.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

// The shared data sets: windows of rows, current row, master link, sorting, sums, locating
// and the pending-changes mode of the goods lines.
class TestDataSet : public QObject
{
    Q_OBJECT

    static void addCustomer(TFrm_Data &data, const QString &code, const QString &batch, double money)
    {
        QVERIFY(data.RunStatement(data.Qry_Str,
                                  QStringLiteral("insert into custom (CustCode, Company, batch, money) values (:c, :n, :b, :m)"),
                                  {{":c", code}, {":n", QStringLiteral("用户") + code}, {":b", batch}, {":m", money}}));
    }

private slots:
    void millionCustomersAreNotAllRead_data() { TestHome::addEngineRows(); }
    void millionCustomersAreNotAllRead()
    {
        QFETCH(QString, engine);
        TestHome home(engine);
        TFrm_Data data(home.path());
        const int count = 1000000;
        QVERIFY(generateCustomers(data.database(), count));

        DataSet *customers = data.Qry_Cust;
        QVERIFY(data.RunQuery(customers, QStringLiteral("select * from custom order by CustID")));
        QCOMPARE(customers->recordCount(), count);
        QCOMPARE(customers->rowCount(), count);
        QCOMPARE(customers->currentRow(), 0);
        QCOMPARE(customers->value(QStringLiteral("CustCode")).toString(), QStringLiteral("C1"));
        QCOMPARE(customers->cachedRowCount(), DataSet::PageSize);

        QCOMPARE(customers->value(count - 1, QStringLiteral("CustCode")).toString(), QStringLiteral("C1000000"));
        for (int row = 0; row < count; row += count / 97)
            QCOMPARE(customers->value(row, QStringLiteral("CustCode")).toString(), QStringLiteral("C%1").arg(row + 1));
        QVERIFY(customers->cachedRowCount() <= DataSet::PageSize * DataSet::MaxCachedPages);

        // sum of n % 1000 over 1..1000000: 1000 runs of 0..999
        QCOMPARE(customers->sum(QStringLiteral("money")).toLongLong(), 1000LL * 499500);

        customers->setSort(QStringLiteral("CustID DESC"));
        QCOMPARE(customers->value(0, QStringLiteral("CustCode")).toString(), QStringLiteral("C1000000"));
        QVERIFY(customers->locate(QStringLiteral("CustCode"), QStringLiteral("C10")));
        QCOMPARE(customers->currentRow(), count - 10);
        QVERIFY(customers->cachedRowCount() <= DataSet::PageSize * DataSet::MaxCachedPages);
    }

    // Saves of this workstation move the footer by what they changed; the sums stay those of
    // the database.
    void footerSumsFollowSaves_data() { TestHome::addEngineRows(); }
    void footerSumsFollowSaves()
    {
        QFETCH(QString, engine);
        TestHome home(engine);
        TFrm_Data data(home.path());
        QVERIFY(generateCustomers(data.database(), 450));
        DataSet *customers = data.Qry_Cust;
        customers->setSummaryFields({QStringLiteral("money")});
        QVERIFY(data.RunQuery(customers, QStringLiteral("select * from custom")));
        const auto stored = [&data] {
            data.RunQuery(data.Qry_Temp, QStringLiteral("select sum(money) from custom"));
            return data.Qry_Temp->value(0, 0).toDouble();
        };
        QCOMPARE(customers->sum(QStringLiteral("money")).toDouble(), stored());
        const QVariant edited = customers->key(3);
        QVERIFY(customers->value(3, QStringLiteral("money")).isValid());   // its row was read
        QVERIFY(data.execute(QStringLiteral("update custom set money = 12345.67 where CustID = :id"), {{":id", edited}}));
        QVERIFY(customers->refreshRecord(edited));
        QVERIFY(data.execute(QStringLiteral("insert into custom (CustCode, money) values ('NEW', 1000000.5)")));
        QVERIFY(data.RunQuery(data.Qry_Temp, QStringLiteral("select CustID from custom where CustCode = 'NEW'")));
        QVERIFY(customers->refreshRecord(data.Qry_Temp->value(0, 0)));
        QCOMPARE(customers->recordCount(), 451);
        QCOMPARE(customers->sum(QStringLiteral("money")).toDouble(), stored());
        // A record of another page, not read yet: the next sum asks the database again.
        QVERIFY(data.execute(QStringLiteral("update custom set money = 7 where CustID = :id"), {{":id", customers->key(440)}}));
        QVERIFY(customers->refreshRecord(customers->key(440)));
        QCOMPARE(customers->sum(QStringLiteral("money")).toDouble(), stored());
    }

    void modelIsConsistent_data() { TestHome::addEngineRows(); }
    void modelIsConsistent()
    {
        QFETCH(QString, engine);
        TestHome home(engine);
        TFrm_Data data(home.path());
        QVERIFY(generateCustomers(data.database(), 450));
        QAbstractItemModelTester tester(data.Qry_Cust, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QVERIFY(data.RunQuery(data.Qry_Cust, QStringLiteral("select CustCode, Company from custom order by CustID")));
        QCOMPARE(data.Qry_Cust->columnCount(), 2);
        data.Qry_Cust->setDisplayLabel(QStringLiteral("Company"), QStringLiteral("用户名称"));
        QCOMPARE(data.Qry_Cust->headerData(1, Qt::Horizontal).toString(), QStringLiteral("用户名称"));
        QCOMPARE(data.Qry_Cust->data(data.Qry_Cust->index(449, 0)).toString(), QStringLiteral("C450"));
        data.Qry_Cust->setSort(QStringLiteral("CustCode"));
        QCOMPARE(data.Qry_Cust->data(data.Qry_Cust->index(0, 0)).toString(), QStringLiteral("C1"));
        QCOMPARE(data.Qry_Cust->data(data.Qry_Cust->index(1, 0)).toString(), QStringLiteral("C10"));
        data.Qry_Cust->close();
        QCOMPARE(data.Qry_Cust->rowCount(), 0);
    }

    void boundValuesAreNeverSql_data() { TestHome::addEngineRows(); }
    void boundValuesAreNeverSql()
    {
        QFETCH(QString, engine);
        TestHome home(engine);
        TFrm_Data data(home.path());
        addCustomer(data, QStringLiteral("A'1"), QString(), 1);
        addCustomer(data, QStringLiteral(":x"), QString(), 2);
        // A colon inside quoted text is not a placeholder.
        QVERIFY(data.RunQuery(data.Qry_Temp, QStringLiteral("select * from custom where CustCode = ':x' or CustCode = :code"),
                              {{":code", "A'1"}}));
        QCOMPARE(data.Qry_Temp->recordCount(), 2);
        QVERIFY(data.RunQuery(data.Qry_Temp, QStringLiteral("select * from custom where CustCode = :code"),
                              {{":code", "' or '1'='1"}}));
        QCOMPARE(data.Qry_Temp->recordCount(), 0);
    }

    void detailsFollowTheCurrentCustomer_data() { TestHome::addEngineRows(); }
    void detailsFollowTheCurrentCustomer()
    {
        QFETCH(QString, engine);
        TestHome home(engine);
        TFrm_Data data(home.path());
        addCustomer(data, QStringLiteral("K1"), QStringLiteral("AZ-1"), 10);
        addCustomer(data, QStringLiteral("K2"), QStringLiteral("AZ-2"), 20);
        for (const char *code : {"K1", "K2", "K2"})
            QVERIFY(data.RunStatement(data.Qry_Str, QStringLiteral("insert into contact (CustCode, Name) values (:c, 'v')"),
                                      {{":c", QString::fromLatin1(code)}}));
        QVERIFY(data.RunStatement(data.Qry_Str, QStringLiteral("insert into T_BillDetail (batch, GoodsName) values ('AZ-2', 'g')")));

        QVERIFY(data.RunQuery(data.Qry_Cust, QStringLiteral("select * from custom order by CustID")));
        QVERIFY(data.RunQuery(data.Qry_Contact, QStringLiteral("select * from contact where CustCode = :CustCode order by ContactID")));
        QVERIFY(data.RunQuery(data.Qry_BillDetail, QStringLiteral("select * from T_BillDetail where batch = :batch")));
        QCOMPARE(data.Qry_Contact->recordCount(), 1);
        QCOMPARE(data.Qry_BillDetail->recordCount(), 0);

        QSignalSpy reopened(data.Qry_Contact, &DataSet::opened);
        data.Qry_Cust->setCurrentRow(1);
        QCOMPARE(reopened.count(), 1);
        QCOMPARE(data.Qry_Contact->recordCount(), 2);
        QCOMPARE(data.Qry_BillDetail->recordCount(), 1);

        // A customer list without rows leaves the details empty.
        QVERIFY(data.RunQuery(data.Qry_Cust, QStringLiteral("select * from custom where CustCode = 'none'")));
        QCOMPARE(data.Qry_Contact->recordCount(), 0);
        QCOMPARE(data.Qry_Cust->currentRow(), -1);
    }

    void pendingChangesWaitForApply_data() { TestHome::addEngineRows(); }
    void pendingChangesWaitForApply()
    {
        QFETCH(QString, engine);
        TestHome home(engine);
        TFrm_Data data(home.path());
        addCustomer(data, QStringLiteral("K1"), QStringLiteral("AZ-1"), 10);
        for (const char *name : {"a", "b"})
            QVERIFY(data.RunStatement(data.Qry_Str, QStringLiteral("insert into T_BillDetail (batch, GoodsName, Number) values ('AZ-1', :n, 1)"),
                                      {{":n", QString::fromLatin1(name)}}));
        QVERIFY(data.RunQuery(data.Qry_Cust, QStringLiteral("select * from custom")));
        DataSet *lines = data.Qry_BillDetail;
        QVERIFY(data.RunQuery(lines, QStringLiteral("select * from T_BillDetail where batch = :batch order by BillDetailID")));
        QCOMPARE(lines->recordCount(), 2);

        const auto stored = [&data] {
            data.RunQuery(data.Qry_Temp, QStringLiteral("select GoodsName, Number from T_BillDetail order by GoodsName"));
            QStringList rows;
            for (int row = 0; row < data.Qry_Temp->recordCount(); ++row)
                rows << data.Qry_Temp->value(row, 0).toString() + QLatin1Char('=') + QString::number(data.Qry_Temp->value(row, 1).toDouble());
            return rows.join(QLatin1Char(','));
        };

        lines->setFieldValue(0, QStringLiteral("Number"), 5);
        lines->deleteRecord(1);
        lines->appendRecord({{QStringLiteral("batch"), QStringLiteral("AZ-1")}, {QStringLiteral("GoodsName"), QStringLiteral("c")},
                             {QStringLiteral("Number"), 2}});
        QVERIFY(lines->hasPendingChanges());
        QCOMPARE(stored(), QStringLiteral("a=1,b=1"));

        lines->cancelUpdates();
        QVERIFY(!lines->hasPendingChanges());
        QCOMPARE(lines->recordCount(), 2);

        lines->setFieldValue(0, QStringLiteral("Number"), 5);
        lines->deleteRecord(1);
        lines->appendRecord({{QStringLiteral("batch"), QStringLiteral("AZ-1")}, {QStringLiteral("GoodsName"), QStringLiteral("c")},
                             {QStringLiteral("Number"), 2}});
        QVERIFY(lines->applyUpdates());
        QCOMPARE(stored(), QStringLiteral("a=5,c=2"));
        QVERIFY(!lines->hasPendingChanges());
        QCOMPARE(lines->recordCount(), 2);
    }

    void failedApplyWritesNothing_data() { TestHome::addEngineRows(); }
    void failedApplyWritesNothing()
    {
        QFETCH(QString, engine);
        TestHome home(engine);
        TFrm_Data data(home.path());
        MessageRecorder messages;
        addCustomer(data, QStringLiteral("K1"), QStringLiteral("AZ-1"), 10);
        for (const char *name : {"a", "b"})
            QVERIFY(data.RunStatement(data.Qry_Str, QStringLiteral("insert into T_BillDetail (batch, GoodsName) values ('AZ-1', :n)"),
                                      {{":n", QString::fromLatin1(name)}}));
        QVERIFY(data.RunStatement(data.Qry_Str, QStringLiteral("create unique index ix_test_goodsname on T_BillDetail (GoodsName)")));
        QVERIFY(data.RunQuery(data.Qry_Cust, QStringLiteral("select * from custom")));
        DataSet *lines = data.Qry_BillDetail;
        QVERIFY(data.RunQuery(lines, QStringLiteral("select * from T_BillDetail where batch = :batch order by GoodsName")));
        lines->deleteRecord(0);
        lines->appendRecord({{QStringLiteral("batch"), QStringLiteral("AZ-1")}, {QStringLiteral("GoodsName"), QStringLiteral("b")}});
        QVERIFY(!lines->applyUpdates());
        QVERIFY(lines->lastError().isValid());
        QVERIFY(lines->hasPendingChanges());
        QVERIFY(data.RunQuery(data.Qry_Temp, QStringLiteral("select GoodsName from T_BillDetail order by GoodsName")));
        QCOMPARE(data.Qry_Temp->recordCount(), 2);
        QCOMPARE(data.Qry_Temp->value(0, 0).toString(), QStringLiteral("a"));
    }
};

QTEST_MAIN(TestDataSet)
#include "TestDataSet.moc"
