#include "CustomerGenerator.h"
#include "OtherWorkstation.h"
#include "RecordEditor.h"
#include "ServiceFixture.h"

#include <QCheckBox>
#include <QDialog>
#include <QSet>
#include <QTabWidget>
#include <QToolButton>

// Two workstations on one database: what one clerk sees and saves while another clerk
// changes the same records.
class TestWorkstations : public QObject
{
    Q_OBJECT

    // 1000 customers C1..C1000 over three brands, so that sorting by brand has ties.
    static void fillCustomers(OtherWorkstation &other, int count)
    {
        QVERIFY(other.run(QStringLiteral(
            "WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n WHERE x < :count) "
            "INSERT INTO custom (CustCode, Company, model, money, f_user) "
            "SELECT 'C' || x, '用户' || x, CASE x % 3 WHEN 0 THEN '格力' WHEN 1 THEN '美的' ELSE '海尔' END, x, 'Admin' FROM n"),
            {{":count", count}}));
    }

    static void save(QWidget *dialog) { control<QPushButton>(dialog, "Btn_OK")->click(); }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China)); }

    void scrollingShowsEachRowOnce_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("sort");
        TestHome::addEngineRows({"as stored", "by brand", "by brand descending"}, [](QTestData &row, int i) {
            row << QStringList{QString(), QStringLiteral("model"), QStringLiteral("model DESC")}[i];
        });
    }
    void scrollingShowsEachRowOnce()
    {
        QFETCH(QString, engine);
        QFETCH(QString, sort);
        TestHome home(engine);
        TFrm_Data data(home.path());
        OtherWorkstation other(home);
        fillCustomers(other, 1000);
        DataSet *customers = data.Qry_Cust;
        QVERIFY(data.RunQuery(customers, QStringLiteral("select * from custom")));
        customers->setSort(sort);
        const int count = customers->recordCount();
        QCOMPARE(count, 1000);

        // Page by page; after each page the other clerk adds ten customers and deletes ten
        // of those not read yet.
        QList<qint64> seen;
        QSet<qint64> deleted;
        QString previousBrand;
        for (int row = 0; row < count; ++row) {
            seen << customers->value(row, QStringLiteral("CustID")).toLongLong();
            if (customers->isRowGone(row)) {
                QVERIFY2(deleted.contains(seen.last()), "only a deleted customer is gone");
                continue;
            }
            QVERIFY2(!deleted.contains(seen.last()), "a customer deleted before its page was read shows as gone");
            const QString brand = customers->value(row, QStringLiteral("model")).toString();
            if (!sort.isEmpty() && !previousBrand.isEmpty())
                QVERIFY2(sort.endsWith(QLatin1String("DESC")) ? brand <= previousBrand : brand >= previousBrand,
                         "the order holds");
            previousBrand = brand;
            if (row % DataSet::PageSize == DataSet::PageSize - 1 && row + 50 < count) {
                for (int i = 0; i < 10; ++i)
                    other.run(QStringLiteral("insert into custom (CustCode, Company, model) values (:c, :n, '格力')"),
                              {{":c", QStringLiteral("N%1-%2").arg(row).arg(i)}, {":n", QStringLiteral("新%1-%2").arg(row).arg(i)}});
                for (int ahead = row + 5; ahead < row + 50; ahead += 5) {
                    const qint64 id = customers->value(ahead, QStringLiteral("CustID")).toLongLong();
                    other.run(QStringLiteral("delete from custom where CustID = :id"), {{":id", id}});
                    deleted.insert(id);
                }
            }
        }
        QCOMPARE(seen.size(), count);
        QCOMPARE(QSet<qint64>(seen.cbegin(), seen.cend()).size(), count);
        // Reopening brings the other clerk's changes in.
        QVERIFY(customers->reopen());
        QCOMPARE(customers->recordCount(), count - deleted.size() + int(other.scalar(QStringLiteral("select count(*) from custom where CustCode like 'N%'")).toInt()));
    }

    void locateFindsTheRecordItNames_data() { TestHome::addEngineRows(); }
    void locateFindsTheRecordItNames()
    {
        QFETCH(QString, engine);
        TestHome home(engine);
        TFrm_Data data(home.path());
        OtherWorkstation other(home);
        fillCustomers(other, 600);
        DataSet *customers = data.Qry_Cust;
        QVERIFY(data.RunQuery(customers, QStringLiteral("select * from custom")));
        customers->setSort(QStringLiteral("model"));
        // Customers the other clerk adds sort among the ones already listed.
        for (int i = 0; i < 30; ++i)
            other.run(QStringLiteral("insert into custom (CustCode, Company, model) values (:c, :c, '海尔')"),
                      {{":c", QStringLiteral("NEW%1").arg(i)}});
        for (const char *code : {"C1", "C300", "C599"}) {
            QVERIFY(customers->locate(QStringLiteral("CustCode"), QString::fromLatin1(code)));
            QCOMPARE(customers->value(QStringLiteral("CustCode")).toString(), QString::fromLatin1(code));
        }
        const int current = customers->currentRow();
        QVERIFY(!customers->locate(QStringLiteral("CustCode"), QStringLiteral("NEW7")));
        QCOMPARE(customers->currentRow(), current);
        QVERIFY(!customers->locateKey(9999999));
        QCOMPARE(customers->currentRow(), current);
        QVERIFY(customers->reopen());
        QVERIFY(customers->locate(QStringLiteral("CustCode"), QStringLiteral("NEW7")));
        QCOMPARE(customers->value(QStringLiteral("CustCode")).toString(), QStringLiteral("NEW7"));
    }

    // An editor open on a record that another clerk changes, deletes, or whose customer he
    // deletes or renumbers.
    void staleEditors_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<int>("kind");
        TestHome::addEngineRows({"customer renumbered", "customer deleted", "visit added, customer deleted",
                                 "visit deleted", "order changed", "complaint deleted", "order added, customer renumbered"},
                                [](QTestData &row, int i) { row << i; });
    }
    void staleEditors()
    {
        QFETCH(QString, engine);
        QFETCH(int, kind);
        enum { CustomerRenumbered, CustomerDeleted, VisitCustomerDeleted, VisitDeleted, OrderChanged, ComplaintDeleted,
               OrderCustomerRenumbered };
        ServiceFixture f(engine);
        f.run(QStringLiteral("insert into contact (CustCode, Company, Name, f_user) values ('K1', '格力空调专卖', '王五', 'Admin')"));
        f.run(QStringLiteral("insert into T_Schedule (CustCode, Company, danhao, Type, depart, engineer, zt, F_User) "
                             "values ('K1', '格力空调专卖', 'WX-2026-01-05-0001', '格力', '维修', '张工', '未完成', 'Admin')"));
        f.run(QStringLiteral("insert into T_Bill (CustCode, CustName, level, people, memo, F_User) "
                             "values ('K1', '格力空调专卖', '一般', '王五', '上门晚了', 'Admin')"));
        f.open();
        control<QTabWidget>(Frm_Custom, "Page_Contact")->setCurrentIndex(2);   // the complaints
        OtherWorkstation other(f.home);
        const auto renumber = [&other] {
            other.run(QStringLiteral("update custom set CustCode = 'K1X' where CustCode = 'K1'"));
            for (const char *table : {"contact", "T_Schedule", "T_Bill"})
                other.run(QStringLiteral("update %1 set CustCode = 'K1X' where CustCode = 'K1'").arg(QLatin1String(table)));
        };
        const char *command = nullptr;
        QString expected;
        std::function<void(QDialog *)> typeAndChange;
        switch (kind) {
        case CustomerRenumbered:
        case CustomerDeleted:
            command = "EditCust";
            expected = kind == CustomerRenumbered ? RecordEditor::changedElsewhereText() : RecordEditor::deletedElsewhereText();
            typeAndChange = [&](QDialog *dialog) {
                typeInto(control<QLineEdit>(dialog, "Edit_Mobile"), QStringLiteral("13800000001"));
                if (kind == CustomerRenumbered)
                    renumber();
                else
                    other.run(QStringLiteral("delete from custom where CustCode = 'K1'"));
            };
            break;
        case VisitCustomerDeleted:
        case VisitDeleted:
            command = kind == VisitDeleted ? "EditContact" : "AddContact";
            expected = kind == VisitDeleted ? RecordEditor::deletedElsewhereText() : RecordEditor::customerGoneText();
            typeAndChange = [&](QDialog *dialog) {
                typeInto(control<QComboBox>(dialog, "Combo_Cust"), QStringLiteral("赵六"));
                other.run(kind == VisitDeleted ? QStringLiteral("delete from contact") : QStringLiteral("delete from custom where CustCode = 'K1'"));
            };
            break;
        case OrderChanged:
            command = "EditSchedule";
            expected = RecordEditor::changedElsewhereText();
            typeAndChange = [&](QDialog *dialog) {
                typeInto(control<QPlainTextEdit>(dialog, "Memo1"), QStringLiteral("换了电容"));
                other.run(QStringLiteral("update T_Schedule set engineer = '李工'"));
            };
            break;
        case ComplaintDeleted:
            command = "EditBill";
            expected = RecordEditor::deletedElsewhereText();
            typeAndChange = [&](QDialog *dialog) {
                typeInto(control<QPlainTextEdit>(dialog, "Memo2"), QStringLiteral("已道歉"));
                other.run(QStringLiteral("delete from T_Bill"));
            };
            break;
        case OrderCustomerRenumbered:
            command = "AddSchedule";
            typeAndChange = [&](QDialog *dialog) {
                typeInto(control<QComboBox>(dialog, "combo_depart"), QStringLiteral("维修"));
                renumber();
            };
            break;
        }
        MessageRecorder messages;
        bool stillOpen = false;
        QString typedAfter;
        QVERIFY(withModal<QDialog>([&] { f.command(command)->trigger(); }, [&](QDialog *dialog) {
            typeAndChange(dialog);
            save(dialog);
            stillOpen = dialog->isVisible();
            if (kind == CustomerRenumbered || kind == CustomerDeleted)
                typedAfter = control<QLineEdit>(dialog, "Edit_Mobile")->text();
        }));
        if (expected.isEmpty()) {
            QVERIFY2(messages.messages().isEmpty(), qPrintable(messages.lastText()));
        } else {
            QCOMPARE(messages.texts(), QStringList{expected});
            QVERIFY(stillOpen);
        }
        if (kind == CustomerRenumbered || kind == CustomerDeleted)
            QCOMPARE(typedAfter, QStringLiteral("13800000001"));   // what was typed is kept
        // Nothing orphaned, nothing put back, nothing lost.
        const auto count = [&other](const QString &sql) { return other.scalar(sql).toInt(); };
        switch (kind) {
        case CustomerRenumbered:
            QCOMPARE(count(QStringLiteral("select count(*) from custom where CustCode = 'K1X' and Mobile is null")), 1);
            QCOMPARE(count(QStringLiteral("select count(*) from custom where CustCode = 'K1'")), 0);
            QCOMPARE(count(QStringLiteral("select count(*) from contact where CustCode = 'K1X'")), 1);
            break;
        case CustomerDeleted:
        case VisitCustomerDeleted:
            QCOMPARE(count(QStringLiteral("select count(*) from custom where CustCode = 'K1'")), 0);
            QCOMPARE(count(QStringLiteral("select count(*) from contact where Name = '赵六'")), 0);
            break;
        case VisitDeleted:
            QCOMPARE(count(QStringLiteral("select count(*) from contact")), 0);
            break;
        case OrderChanged:
            QCOMPARE(other.scalar(QStringLiteral("select engineer from T_Schedule")).toString(), QStringLiteral("李工"));
            QCOMPARE(count(QStringLiteral("select count(*) from T_Schedule where Memo = '换了电容'")), 0);
            break;
        case ComplaintDeleted:
            QCOMPARE(count(QStringLiteral("select count(*) from T_Bill")), 0);
            break;
        case OrderCustomerRenumbered:
            // The new order goes with the customer under the code it has now.
            QCOMPARE(count(QStringLiteral("select count(*) from T_Schedule where CustCode = 'K1X'")), 2);
            QCOMPARE(count(QStringLiteral("select count(*) from T_Schedule where CustCode = 'K1'")), 0);
            break;
        }
    }

    void deletionTakesTheRecordsOfTheCodeAsStored_data() { TestHome::addEngineRows(); }
    void deletionTakesTheRecordsOfTheCodeAsStored()
    {
        QFETCH(QString, engine);
        ServiceFixture f(engine);
        f.run(QStringLiteral("insert into contact (CustCode, Name) values ('K1', '王五')"));
        f.run(QStringLiteral("insert into contact (CustCode, Name) values ('K2', '王五')"));
        f.open();
        OtherWorkstation other(f.home);
        other.run(QStringLiteral("update custom set CustCode = 'K1X' where CustCode = 'K1'"));
        other.run(QStringLiteral("update contact set CustCode = 'K1X' where CustCode = 'K1'"));
        MessageRecorder messages;
        f.command("DelCust")->trigger();
        QCOMPARE(messages.texts(), QStringList{"确定要删除该用户记录吗！"});
        QCOMPARE(other.scalar(QStringLiteral("select count(*) from custom")).toInt(), 1);
        QCOMPARE(other.scalar(QStringLiteral("select count(*) from contact")).toInt(), 1);
        QCOMPARE(other.scalar(QStringLiteral("select CustCode from contact")).toString(), QStringLiteral("K2"));
    }

    // A customer marked paid leaves the unpaid list: the editor and the browser stay on him,
    // and his goods page shows his lines, not another customer's.
    void savedCustomerStaysCurrentInAFilteredList_data() { TestHome::addEngineRows(); }
    void savedCustomerStaysCurrentInAFilteredList()
    {
        QFETCH(QString, engine);
        ServiceFixture f(engine);
        f.open(QStringLiteral("Admin"), QStringLiteral("K2"));
        auto *paid = control<QCheckBox>(Frm_Custom, "CheckBox1");
        paid->click();
        paid->click();   // unticked: the unpaid customers
        QVERIFY(f.data.Qry_Cust->locate(QStringLiteral("CustCode"), QStringLiteral("K2")));
        MessageRecorder messages;
        QVERIFY(withModal<QDialog>([&] { f.command("EditCust")->trigger(); }, [&](QDialog *dialog) {
            control<QCheckBox>(dialog, "Check_sk")->setChecked(true);
            save(dialog);
            QCOMPARE(f.data.Qry_Cust->value(QStringLiteral("CustCode")).toString(), QStringLiteral("K2"));
            control<QTabWidget>(dialog, "PageControl1")->setCurrentIndex(1);
            QCOMPARE(f.data.Qry_BillDetail->recordCount(), 0);
            control<QToolButton>(dialog, "Btn_DelLine")->click();
            // A second save of the same dialog is not taken for another clerk's change.
            typeInto(control<QLineEdit>(dialog, "Edit_Mobile"), QStringLiteral("13900000002"));
            save(dialog);
        }));
        QVERIFY2(messages.messages().isEmpty(), qPrintable(messages.lastText()));
        QCOMPARE(f.data.Qry_Cust->value(QStringLiteral("CustCode")).toString(), QStringLiteral("K2"));
        QVERIFY(f.data.Qry_Cust->value(QStringLiteral("isgathering")).toBool());
        QCOMPARE(f.scalar(QStringLiteral("select Mobile from custom where CustCode = 'K2'")).toString(), QStringLiteral("13900000002"));
        QCOMPARE(f.scalar(QStringLiteral("select count(*) from T_BillDetail")).toInt(), 2);
    }

    void refusedSaveSaysWhy_data() { TestHome::addEngineRows(); }
    void refusedSaveSaysWhy()
    {
        QFETCH(QString, engine);
        ServiceFixture f(engine);
        if (engine == QLatin1String("postgresql")) {
            f.run(QStringLiteral("create function refuse_visit() returns trigger as $$ begin "
                                 "raise exception 'could not extend file: No space left on device'; end $$ language plpgsql"));
            f.run(QStringLiteral("create trigger refuse_visit before insert on contact for each row execute function refuse_visit()"));
        } else {
            f.run(QStringLiteral("create trigger refuse_visit before insert on contact "
                                 "begin select raise(abort, 'database or disk is full'); end"));
        }
        f.open();
        MessageRecorder messages;
        withModal<QDialog>([&] { f.command("AddContact")->trigger(); }, [&](QDialog *dialog) {
            typeInto(control<QComboBox>(dialog, "Combo_Cust"), QStringLiteral("赵六"));
            save(dialog);
        });
        QCOMPARE(messages.messages().size(), 1);
        const QStringList lines = messages.lastText().split(QLatin1Char('\n'));
        QCOMPARE(lines.first(), QStringLiteral("保存数据失败!"));
        QVERIFY2(lines.size() == 2 && lines.last().startsWith(QStringLiteral("磁盘空间不足")), qPrintable(messages.lastText()));
    }

    // Texts as long as their columns go in and come out whole on both engines; one character
    // more is refused before anything is written, naming the field.
    void textsUpToTheirColumns_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<int>("extra");
        TestHome::addEngineRows({"as long as the columns", "one character more"}, [](QTestData &row, int i) { row << i; });
    }
    void textsUpToTheirColumns()
    {
        QFETCH(QString, engine);
        QFETCH(int, extra);
        ServiceFixture f(engine);
        f.open();
        const QString mobile = QString(20 + extra, QLatin1Char('9'));
        const QString name = QString(200, QChar(0x7a7a));   // 空
        MessageRecorder messages;
        withModal<QDialog>([&] { f.command("EditCust")->trigger(); }, [&](QDialog *dialog) {
            typeInto(control<QLineEdit>(dialog, "Edit_Mobile"), mobile);
            typeInto(control<QLineEdit>(dialog, "Edit_CustName"), name);
            save(dialog);
        });
        const QString reason = QString(200 + extra, QChar(0x6162));   // 慢
        withModal<QDialog>([&] { f.command("AddBill")->trigger(); }, [&](QDialog *dialog) {
            typeInto(control<QComboBox>(dialog, "Combo_level"), QStringLiteral("一般"));
            typeInto(control<QComboBox>(dialog, "Combo_people"), QStringLiteral("王五"));
            typeInto(control<QPlainTextEdit>(dialog, "Memo1"), reason);
            save(dialog);
        });
        if (extra == 0) {
            QVERIFY2(messages.messages().isEmpty(), qPrintable(messages.lastText()));
            QCOMPARE(f.scalar(QStringLiteral("select Mobile from custom where CustCode = 'K1'")).toString(), mobile);
            QCOMPARE(f.scalar(QStringLiteral("select Company from custom where CustCode = 'K1'")).toString(), name);
            QCOMPARE(f.scalar(QStringLiteral("select memo from T_Bill")).toString(), reason);
            QCOMPARE(f.scalar(QStringLiteral("select CustName from T_Bill")).toString(), name);
        } else {
            QCOMPARE(messages.texts(), (QStringList{QStringLiteral("“手机号码”最多只能有 20 个字符，现在有 21 个。"),
                                                    QStringLiteral("“投诉原因”最多只能有 200 个字符，现在有 201 个。")}));
            QVERIFY(f.scalar(QStringLiteral("select Mobile from custom where CustCode = 'K1'")).isNull());
            QCOMPARE(f.scalar(QStringLiteral("select count(*) from T_Bill")).toInt(), 0);
        }
    }
};

QTEST_MAIN(TestWorkstations)
#include "TestWorkstations.moc"
