#include "CheckTree.h"
#include "CodedHierarchy.h"
#include "MessageRecorder.h"
#include "TFrm_Data.h"
#include "TestHome.h"

#include <QAbstractItemModelTester>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTest>
#include <QTreeWidget>
#include <functional>

// A row of a coded table: code, name (or function name) and, in permission tables, Tag.
struct Row
{
    QString code;
    QString name;
    int tag = 0;
};
Q_DECLARE_METATYPE(Row)

// Code levels, the trees built from coded tables, and the check tree as the permission
// editor's operator uses it.
class TestCodedHierarchy : public QObject
{
    Q_OBJECT

    // One line per node, depth-first, indented two blanks a level:
    // "text #picture-index", then "=state-index" on check trees, then "open" when expanded.
    static QStringList outline(const QTreeWidget &tree)
    {
        QStringList lines;
        const bool checks = qobject_cast<const CheckTree *>(&tree) != nullptr;
        std::function<void(const QTreeWidgetItem *, int)> walk = [&](const QTreeWidgetItem *item, int depth) {
            QString line = QString(depth * 2, QLatin1Char(' ')) + item->text(0)
                           + QStringLiteral(" #%1").arg(CheckTree::pictureIndex(item));
            if (checks)
                line += QStringLiteral(" =%1").arg(CheckTree::stateIndex(item));
            if (item->isExpanded())
                line += QStringLiteral(" open");
            lines << line;
            for (int i = 0; i < item->childCount(); ++i)
                walk(item->child(i), depth + 1);
        };
        for (int i = 0; i < tree.topLevelItemCount(); ++i)
            walk(tree.topLevelItem(i), 0);
        return lines;
    }

    static void insertCategories(TFrm_Data &data, const QList<Row> &rows)
    {
        for (const Row &row : rows)
            QVERIFY(data.RunStatement(data.Qry_Str,
                                      QStringLiteral("insert into Goods_Category (code, name) values (:c, :n)"),
                                      {{":c", row.code}, {":n", row.name}}));
    }

    static void insertFunctions(TFrm_Data &data, const QString &table, const QString &ownerColumn,
                                const QString &owner, const QList<Row> &rows)
    {
        for (const Row &row : rows)
            QVERIFY(data.RunStatement(data.Qry_Str,
                                      QStringLiteral("insert into %1 (%2, Code, FunctionName, Authority, Tag) "
                                                     "values (:o, :c, :f, :a, :t)").arg(table, ownerColumn),
                                      {{":o", owner}, {":c", row.code}, {":f", row.name},
                                       {":a", row.tag == CheckTree::Checked}, {":t", row.tag}}));
    }

    static void clickCheckBox(QTreeWidget &tree, QTreeWidgetItem *item)
    {
        QStyleOptionViewItem option;
        option.initFrom(tree.viewport());
        option.rect = tree.visualItemRect(item);
        option.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
        option.text = item->text(0);
        option.checkState = item->checkState(0);
        const QRect box = tree.style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, &tree);
        QVERIFY(!box.isEmpty());
        QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, box.center());
    }

private slots:
    void codeLevel_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("level");
        const QString nine = CodedHierarchy::levelPattern();
        QTest::newRow("empty code") << nine << "" << -1;
        QTest::newRow("one digit") << nine << "0" << -1;
        QTest::newRow("group") << nine << "01" << 1;
        QTest::newRow("odd length") << nine << "012" << -1;
        QTest::newRow("function") << nine << "0102" << 2;
        QTest::newRow("18 digits") << nine << "010203040506070809" << 9;
        QTest::newRow("20 digits") << nine << "01020304050607080910" << -1;
        QTest::newRow("empty pattern") << "" << "01" << -1;
        QTest::newRow("uneven widths") << "132" << "0001" << 2;
        QTest::newRow("between uneven widths") << "132" << "00" << -1;
        QTest::newRow("pattern not digits") << "2x2" << "0101" << -1;
    }
    void codeLevel()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, code);
        QFETCH(int, level);
        QCOMPARE(CodedHierarchy::CodeLevel(pattern, code), level);
    }

    void categoryTree_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QList<Row>>("rows");
        QTest::addColumn<QStringList>("expected");
        const QList<QList<Row>> rows = {
            // Inserted out of code order: the tree follows the codes.
            {{"02", "配件"}, {"0102", "冰箱"}, {"01", "家电"}, {"0101", "空调"}},
            {{"01", "家电"}, {"012", "奇数位"}, {"0", "一位"}, {"", "无编码"},
             {"01020304050607080910", "超过十八位"}, {"0101", "空调"}},
            {{"01  ", "  家电 "}, {"0101 ", " 空调"}},
            // 0101 has no group at all; 020101 has no 0201 and goes under the most recent
            // node of the level above, 0101.
            {{"0101", "空调"}, {"02", "配件"}, {"020101", "滤网"}},
        };
        const QList<QStringList> expected = {
            {"商品分类 #0 open", "  01-家电 #0", "    0101-空调 #0", "    0102-冰箱 #0", "  02-配件 #0"},
            {"商品分类 #0 open", "  01-家电 #0", "    0101-空调 #0"},
            {"商品分类 #0 open", "  01-家电 #0", "    0101-空调 #0"},
            {"商品分类 #0 open", "  0101-空调 #0", "    020101-滤网 #0", "  02-配件 #0"},
        };
        TestHome::addEngineRows({"example table", "codes without a level make no node",
                                 "blanks trimmed", "missing parents"},
                                [&](QTestData &row, int i) { row << rows[i] << expected[i]; });
    }
    void categoryTree()
    {
        QFETCH(QString, engine);
        QFETCH(QList<Row>, rows);
        QFETCH(QStringList, expected);
        TestHome home(engine);
        TFrm_Data data(home.path());
        insertCategories(data, rows);
        QTreeWidget tree;
        new QTreeWidgetItem(&tree, QStringList{QStringLiteral("旧节点")});

        QVERIFY(CodedHierarchy::BuildCategoryTree(&tree, data, QStringLiteral("Goods_Category"),
                                                  QStringLiteral("商品分类")));
        QCOMPARE(outline(tree), expected);
        QVERIFY(data.Qry_HY->isOpen());
    }

    void functionTree_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("owner");
        // The new database already holds the delivered roles and Admin's rows: they must
        // stay out of the tree.
        TestHome::addEngineRows({"role", "operator"}, [](QTestData &row, int i) {
            if (i == 0)
                row << "T_PartAuthority" << "Partname" << "测试角色";
            else
                row << "T_UserAuthority" << "username" << "O'Neil";
        });
    }
    void functionTree()
    {
        QFETCH(QString, engine);
        QFETCH(QString, table);
        QFETCH(QString, column);
        QFETCH(QString, owner);
        TestHome home(engine);
        TFrm_Data data(home.path());
        insertFunctions(data, table, column, owner,
                        {{"0201", "添加回访记录", 2}, {"01", " 用户资料 ", 3}, {"0103", "删除用户资料", 1},
                         {"0101", "添加用户资料 ", 2}, {"02", "回访记录", 2}, {"08", "价格管理", 2},
                         // Neither a group nor a function: no node, and the rows after it
                         // keep their own states.
                         {"012", "奇数位", 2}, {"010101", "第三级", 2}});
        CheckTree tree;
        tree.addNode(nullptr, QStringLiteral("旧节点"));

        QVERIFY(CodedHierarchy::BuildFunctionTree(&tree, data, table, column, owner));
        const QStringList expected = {
            "用户资料 #1 =3", "  添加用户资料 #101 =2", "  删除用户资料 #103 =1",
            "回访记录 #2 =2", "  添加回访记录 #201 =2",
            "价格管理 #8 =2",
        };
        QCOMPARE(outline(tree), expected);
        QVERIFY(data.Qry_HY->isOpen());
    }

    void refusedTableAndColumnNames_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("column");
        const QList<QStringList> cases = {
            {"Goods_Category;delete from admin", ""},
            {"", ""},
            {"T_PartAuthority", "PartName=PartName or PartName"},
            {"T_PartAuthority;delete from admin", "PartName"},
        };
        TestHome::addEngineRows({"category table with a statement", "empty table name",
                                 "column with an expression", "function table with a statement"},
                                [&](QTestData &row, int i) { row << cases[i][0] << cases[i][1]; });
    }
    void refusedTableAndColumnNames()
    {
        QFETCH(QString, engine);
        QFETCH(QString, table);
        QFETCH(QString, column);
        TestHome home(engine);
        TFrm_Data data(home.path());
        CheckTree tree;
        tree.addNode(nullptr, QStringLiteral("旧节点"));
        MessageRecorder messages;
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("not a table or column name")));

        const bool built = column.isEmpty()
                               ? CodedHierarchy::BuildCategoryTree(&tree, data, table, QStringLiteral("商品分类"))
                               : CodedHierarchy::BuildFunctionTree(&tree, data, table, column, QStringLiteral("超级管理员"));
        QVERIFY(!built);
        QVERIFY(messages.messages().isEmpty());
        QCOMPARE(outline(tree), QStringList{QStringLiteral("旧节点 #0 =1")});
        QVERIFY(data.RunQuery(data.Qry_Temp, QStringLiteral("select UserName from admin")));
        QCOMPARE(data.Qry_Temp->value(0, QStringLiteral("UserName")).toString(), QStringLiteral("Admin"));
    }

    void missingTableIsReported_data() { TestHome::addEngineRows(); }
    void missingTableIsReported()
    {
        QFETCH(QString, engine);
        TestHome home(engine);
        TFrm_Data data(home.path());
        CheckTree tree;
        tree.addNode(nullptr, QStringLiteral("旧节点"));
        MessageRecorder messages;

        QVERIFY(!CodedHierarchy::BuildFunctionTree(&tree, data, QStringLiteral("T_NoSuchTable"),
                                                   QStringLiteral("PartName"), QStringLiteral("超级管理员")));
        QCOMPARE(messages.messages().size(), 1);
        QCOMPARE(outline(tree), QStringList{QStringLiteral("旧节点 #0 =1")});
    }

    void clickingCheckBoxes_data()
    {
        QTest::addColumn<QStringList>("clicks");
        QTest::addColumn<QList<int>>("states");
        // States in node order: 用户资料, 添加用户资料, 删除用户资料, 回访记录, 添加回访记录.
        QTest::newRow("check a group") << QStringList{"用户资料"} << QList<int>{2, 2, 2, 1, 1};
        QTest::newRow("uncheck it again") << QStringList{"用户资料", "用户资料"} << QList<int>{1, 1, 1, 1, 1};
        QTest::newRow("one function of two") << QStringList{"添加用户资料"} << QList<int>{3, 2, 1, 1, 1};
        QTest::newRow("both functions") << QStringList{"添加用户资料", "删除用户资料"} << QList<int>{2, 2, 2, 1, 1};
        QTest::newRow("one unchecked in a checked group") << QStringList{"用户资料", "删除用户资料"} << QList<int>{3, 2, 1, 1, 1};
        QTest::newRow("partly checked group checked") << QStringList{"删除用户资料", "用户资料"} << QList<int>{2, 2, 2, 1, 1};
        QTest::newRow("partly checked group unchecked") << QStringList{"删除用户资料", "用户资料", "用户资料"} << QList<int>{1, 1, 1, 1, 1};
        QTest::newRow("only function of a group") << QStringList{"添加回访记录"} << QList<int>{1, 1, 1, 2, 2};
    }
    void clickingCheckBoxes()
    {
        QFETCH(QStringList, clicks);
        QFETCH(QList<int>, states);
        CheckTree tree;
        QAbstractItemModelTester tester(tree.model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        // Built with the plain tree widget calls: every node still gets its check box.
        auto *users = new QTreeWidgetItem(&tree, QStringList{QStringLiteral("用户资料")});
        new QTreeWidgetItem(users, QStringList{QStringLiteral("添加用户资料")});
        new QTreeWidgetItem(users, QStringList{QStringLiteral("删除用户资料")});
        auto *visits = new QTreeWidgetItem(&tree, QStringList{QStringLiteral("回访记录")});
        new QTreeWidgetItem(visits, QStringList{QStringLiteral("添加回访记录")});
        tree.expandAll();
        tree.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tree));

        for (const QString &text : clicks) {
            const auto found = tree.findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
            QCOMPARE(found.size(), 1);
            clickCheckBox(tree, found.first());
        }
        QList<int> after;
        for (const QTreeWidgetItem *node : tree.nodesDepthFirst())
            after << CheckTree::stateIndex(node);
        QCOMPARE(after, states);
    }
};

QTEST_MAIN(TestCodedHierarchy)
#include "TestCodedHierarchy.moc"
