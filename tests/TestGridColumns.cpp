#include "DataGrid.h"
#include "GridColumns.h"
#include "MessageRecorder.h"
#include "TFrm_Data.h"
#include "TestHome.h"

#include <QHeaderView>
#include <QTest>

// Grid columns from T_FieldShow: layout, saving the operator's order and widths, sorting by
// the title markers.
class TestGridColumns : public QObject
{
    Q_OBJECT

    struct Fixture
    {
        explicit Fixture(const QString &engine) : home(engine), data(home.path()) {}
        TestHome home;
        TFrm_Data data;
        DataGrid grid;

        void configure(const QString &name, const QList<std::tuple<QString, QString, int, int, int>> &rows)
        {
            QVERIFY(data.RunStatement(data.Qry_Str, QStringLiteral("delete from T_FieldShow where TableName = :n"), {{":n", name}}));
            for (const auto &[field, title, width, showId, show] : rows)
                QVERIFY(data.RunStatement(data.Qry_Str,
                                          QStringLiteral("insert into T_FieldShow (TableName, Field, Name, Width, ShowID, Show, SumField, ShowButton, DotSize) "
                                                         "values (:n, :f, :t, :w, :s, :v, 0, 0, 0)"),
                                          {{":n", name}, {":f", field}, {":t", title}, {":w", width}, {":s", showId}, {":v", show}}));
        }

        QStringList titles() const
        {
            QStringList list;
            for (int c = 0; c < grid.shownColumnCount(); ++c)
                list << grid.columnTitle(c);
            return list;
        }

        QVariant stored(const QString &sql)
        {
            return data.RunQuery(data.Qry_Temp, sql) && !data.Qry_Temp->isEmpty() ? data.Qry_Temp->value(0, 0) : QVariant();
        }
    };

private slots:
    void emptyConfigurationShowsEveryColumn_data() { TestHome::addEngineRows(); }
    void emptyConfigurationShowsEveryColumn()
    {
        QFETCH(QString, engine);
        Fixture f(engine);
        f.configure(QStringLiteral("Bill"), {{"memo", "投诉原因", 100, 0, 0}});
        QVERIFY(f.data.RunQuery(f.data.Qry_Bill, QStringLiteral("select lD, CustCode, memo from T_Bill")));
        QVERIFY(GridColumns::BuildGridColumns(f.data, &f.grid, f.data.Qry_Bill, QStringLiteral("Bill")));
        QVERIFY(!f.grid.hasColumnLayout());
        QCOMPARE(f.titles().join(',').toLower(), QStringLiteral("ld,custcode,memo"));
    }

    void layoutFollowsTheConfiguration_data() { TestHome::addEngineRows(); }
    void layoutFollowsTheConfiguration()
    {
        QFETCH(QString, engine);
        Fixture f(engine);
        // A gap and a duplicate in ShowID, a zero and a negative width, a hidden row, a field twice.
        f.configure(QStringLiteral("Contact"), {{"memo2", "内容", 120, 5, 1}, {"Name", "回访人员", 0, 1, 1},
                                                {"Birthday", "日期", -5, 1, 1}, {"f_user", "操作员", 70, 9, 0},
                                                {"memo1", "处理", 90, 7, 1}, {"memo1", "处理2", 60, 8, 1}});
        QVERIFY(f.data.RunQuery(f.data.Qry_Contact, QStringLiteral("select * from contact")));
        QVERIFY(GridColumns::BuildGridColumns(f.data, &f.grid, f.data.Qry_Contact, QStringLiteral("contact")));
        QCOMPARE(f.titles(), (QStringList{"回访人员", "日期", "内容", "处理2", "处理2"}));
        QCOMPARE(f.grid.columnWidth(0), DataGrid::DefaultColumnWidth);
        QCOMPARE(f.grid.columnWidth(1), DataGrid::DefaultColumnWidth);
        QCOMPARE(f.grid.columnWidth(2), 120);
        // The label follows the data set wherever it is shown.
        QCOMPARE(f.data.Qry_Contact->displayLabel(QStringLiteral("Name")), QStringLiteral("回访人员"));

        // Both rows of a field take the values of the column met last.
        f.grid.horizontalHeader()->resizeSection(4, 99);
        QVERIFY(GridColumns::SaveGridColumns(f.data, &f.grid, QStringLiteral("Contact"), 0));
        QCOMPARE(f.stored(QStringLiteral("select count(*) from T_FieldShow where TableName = 'Contact' and Field = 'memo1' and ShowID = 4 and Width = 99")).toInt(), 2);
    }

    void missingColumnIsReportedAndEarlierColumnsStay_data() { TestHome::addEngineRows(); }
    void missingColumnIsReportedAndEarlierColumnsStay()
    {
        QFETCH(QString, engine);
        Fixture f(engine);
        f.configure(QStringLiteral("Bill"), {{"memo", "投诉原因", 100, 0, 1}, {"nosuch", "?", 50, 1, 1}, {"level", "级别", 50, 2, 1}});
        QVERIFY(f.data.RunQuery(f.data.Qry_Bill, QStringLiteral("select * from T_Bill")));
        MessageRecorder messages;
        QVERIFY(!GridColumns::BuildGridColumns(f.data, &f.grid, f.data.Qry_Bill, QStringLiteral("Bill")));
        QCOMPARE(messages.messages().size(), 1);
        QVERIFY(messages.lastText().contains(QStringLiteral("nosuch")));
        QCOMPARE(f.titles(), QStringList{"投诉原因"});
    }

    void savedOrderIsRebuiltAndHiddenColumnsKeepTheirPosition_data() { TestHome::addEngineRows(); }
    void savedOrderIsRebuiltAndHiddenColumnsKeepTheirPosition()
    {
        QFETCH(QString, engine);
        Fixture f(engine);
        f.configure(QStringLiteral("Bill"), {{"BillDate", "日期", 80, 0, 1}, {"memo", "原因", 80, 1, 1},
                                             {"level", "级别", 80, 2, 1}, {"people", "接待人", 80, 3, 0}});
        QVERIFY(f.data.RunQuery(f.data.Qry_Bill, QStringLiteral("select * from T_Bill")));
        QVERIFY(GridColumns::BuildGridColumns(f.data, &f.grid, f.data.Qry_Bill, QStringLiteral("Bill")));
        // The operator drags the third column to the front.
        f.grid.horizontalHeader()->moveSection(2, 0);
        QCOMPARE(f.titles(), (QStringList{"级别", "日期", "原因"}));
        MessageRecorder messages;
        QVERIFY(GridColumns::SaveGridColumns(f.data, &f.grid, QStringLiteral("Bill"), 1));
        QCOMPARE(messages.texts(), QStringList{"列属性已成功保存!"});
        QCOMPARE(messages.messages().first().kind, MessageBoxes::Kind::Dialog);
        QCOMPARE(messages.messages().first().icon, QMessageBox::Question);
        QCOMPARE(f.stored(QStringLiteral("select ShowID from T_FieldShow where TableName = 'Bill' and Field = 'level'")).toInt(), 0);
        QCOMPARE(f.stored(QStringLiteral("select ShowID from T_FieldShow where TableName = 'Bill' and Field = 'BillDate'")).toInt(), 1);
        QCOMPARE(f.stored(QStringLiteral("select ShowID from T_FieldShow where TableName = 'Bill' and Field = 'people'")).toInt(), 3);

        // Reloading the data keeps the operator's order.
        QVERIFY(f.data.Qry_Bill->reopen());
        QCOMPARE(f.titles(), (QStringList{"级别", "日期", "原因"}));

        // Hide the date: the rest are placed by their saved positions.
        QVERIFY(f.data.RunStatement(f.data.Qry_Str, QStringLiteral("update T_FieldShow set Show = 0 where TableName = 'Bill' and Field = 'BillDate'")));
        QVERIFY(GridColumns::BuildGridColumns(f.data, &f.grid, f.data.Qry_Bill, QStringLiteral("Bill")));
        QCOMPARE(f.titles(), (QStringList{"级别", "原因"}));
        QVERIFY(GridColumns::SaveGridColumns(f.data, &f.grid, QStringLiteral("Bill"), 0));
        QCOMPARE(f.stored(QStringLiteral("select ShowID from T_FieldShow where TableName = 'Bill' and Field = 'BillDate'")).toInt(), 1);
    }

    void sortByTitleMarkers_data() { TestHome::addEngineRows(); }
    void sortByTitleMarkers()
    {
        QFETCH(QString, engine);
        Fixture f(engine);
        const QList<std::tuple<const char *, const char *, const char *>> visits = {
            {"b", "2", "x"}, {"a", "2", "y"}, {"c", "1", "z"}};
        for (const auto &[name, memo1, memo2] : visits)
            QVERIFY(f.data.RunStatement(f.data.Qry_Str, QStringLiteral("insert into contact (CustCode, Name, memo1, memo2) values ('K', :n, :m1, :m2)"),
                                        {{":n", name}, {":m1", memo1}, {":m2", memo2}}));
        f.configure(QStringLiteral("Contact"), {{"Name", "回访人员", 80, 0, 1}, {"memo1", "处理", 80, 1, 1}, {"memo2", "内容", 80, 2, 1}});
        QVERIFY(f.data.RunQuery(f.data.Qry_Contact, QStringLiteral("select * from contact order by ContactID")));
        QVERIFY(GridColumns::BuildGridColumns(f.data, &f.grid, f.data.Qry_Contact, QStringLiteral("Contact")));
        f.grid.setMultiSort(true);
        connect(&f.grid, &DataGrid::sortMarkingChanged, this, [&f] { GridColumns::SortByTitleMarkers(&f.grid, f.data.Qry_Contact); });
        const auto names = [&f] {
            QString order;
            for (int row = 0; row < f.data.Qry_Contact->recordCount(); ++row)
                order += f.data.Qry_Contact->value(row, QStringLiteral("Name")).toString();
            return order;
        };

        // A column whose name holds the digit 1 sorts by that column.
        f.grid.clickTitle(1, false);
        QCOMPARE(GridColumns::sortText(&f.grid), QStringLiteral("  memo1"));
        QCOMPARE(names(), QStringLiteral("cba"));

        // memo1 descending, then Name ascending: the order the markers were set.
        f.grid.clickTitle(1, false);
        f.grid.clickTitle(0, true);
        QCOMPARE(GridColumns::sortText(&f.grid), QStringLiteral("  memo1 DESC , Name"));
        QCOMPARE(names(), QStringLiteral("abc"));

        f.grid.clearSortMarkers();
        QCOMPARE(f.data.Qry_Contact->sort(), QString());
        QCOMPARE(names(), QStringLiteral("bac"));
    }

    void removeFirst_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("part");
        QTest::addColumn<QString>("result");
        QTest::newRow("first of two") << "a1b1" << "1" << "ab1";
        QTest::newRow("absent") << "memo" << "1" << "memo";
        QTest::newRow("empty part") << "memo" << "" << "memo";
        QTest::newRow("longer part") << "  memo1 DESC" << "DESC" << "  memo1 ";
    }
    void removeFirst()
    {
        QFETCH(QString, text);
        QFETCH(QString, part);
        QFETCH(QString, result);
        QCOMPARE(GridColumns::RemoveFirst(text, part), result);
    }
};

QTEST_MAIN(TestGridColumns)
#include "TestGridColumns.moc"
