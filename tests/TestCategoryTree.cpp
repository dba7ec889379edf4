#include "GoodsFixture.h"
#include "TFrm_AddGoods.h"
#include "TFrm_Tree.h"

#include <QToolButton>

// The category tree editor: the codes it proposes, the codes it refuses, renaming, deleting,
// and handing a category back to the goods editor.
class TestCategoryTree : public QObject
{
    Q_OBJECT

    // The editor over Goods_Category holding exactly codes (named after themselves).
    struct Editor
    {
        Editor(GoodsFixture &f, const QStringList &codes) : window(f.data)
        {
            f.run(QStringLiteral("delete from Goods_Category"));
            for (const QString &code : codes)
                f.run(QStringLiteral("insert into Goods_Category (code, name) values (:c, :n)"),
                      {{":c", code}, {":n", QStringLiteral("类") + code}});
            window.setTreeTableName(QStringLiteral("Goods_Category"));
            window.setTreeTitle(QStringLiteral("商品分类"));
            window.show();
            // Shortcuts reach the active window only.
            window.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&window));
        }
        QTreeWidget *tree() const { return control<QTreeWidget>(&window, "TreeView1"); }
        QLineEdit *code() const { return control<QLineEdit>(&window, "Edit_Code"); }
        QLineEdit *name() const { return control<QLineEdit>(&window, "Edit_Name"); }
        QToolButton *button(const char *name) const { return control<QToolButton>(&window, name); }
        void click(const QString &node) { clickNode(tree(), node); }
        void startAdd(bool asChild)
        {
            if (asChild)
                button("TB_Add")->click();
            else
                QTest::keyClick(&window, Qt::Key_F3);
        }
        bool adding() const { return button("TB_Save")->isEnabled() && !button("TB_Add")->isEnabled(); }
        TFrm_Tree window;
    };

    static QStringList upTo(int last, const QString &prefix = QString(), int skip = 0)
    {
        QStringList codes;
        for (int i = 1; i <= last; ++i) {
            if (i != skip)
                codes << prefix + QString::number(i).rightJustified(2, QLatin1Char('0'));
        }
        return codes;
    }

    static QStringList categories(GoodsFixture &f)
    {
        QStringList codes;
        f.data.RunQuery(f.data.Qry_Temp, QStringLiteral("select code, name from Goods_Category order by CategoryID"));
        for (int row = 0; row < f.data.Qry_Temp->recordCount(); ++row)
            codes << f.data.Qry_Temp->value(row, 0).toString() + QLatin1Char('-') + f.data.Qry_Temp->value(row, 1).toString();
        return codes;
    }

private slots:
    void proposesTheNextCode_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QStringList>("codes");
        QTest::addColumn<QString>("clicked");   // empty: no node; "商品分类": the root
        QTest::addColumn<bool>("asChild");
        QTest::addColumn<QString>("proposed");  // empty: the level is full
        struct Case { const char *name; QStringList codes; const char *clicked; bool asChild; const char *proposed; };
        const QList<Case> cases = {
            {"empty table, child", {}, "", true, "01"},
            {"empty table, sibling", {}, "", false, "01"},
            {"root, child after 06", upTo(6), "商品分类", true, "07"},
            {"no node, child", {"01", "02"}, "", true, "03"},
            {"leaf child", QStringList{"01"} + upTo(5, "01"), "0103-", true, "010301"},
            {"sibling after 0101 to 0105", QStringList{"01"} + upTo(5, "01"), "0103-", false, "0106"},
            {"lone top-level sibling", {"01"}, "01-", false, "02"},
            {"child after the last child", {"01", "0101", "0102", "02"}, "01-", true, "0103"},
            {"sibling after 09", upTo(9), "05-", false, "10"},
            {"gap taken once 99 is used", upTo(99, QString(), 42), "商品分类", true, "42"},
            {"top level full", upTo(99), "商品分类", true, ""},
            {"children full", QStringList{"01"} + upTo(99, "01"), "01-", true, ""},
        };
        for (const QString &engine : TestHome::engines()) {
            for (const Case &c : cases)
                QTest::newRow(qPrintable(engine + QLatin1Char('/') + QLatin1String(c.name)))
                    << engine << c.codes << QString::fromUtf8(c.clicked) << c.asChild << QString::fromLatin1(c.proposed);
        }
    }
    void proposesTheNextCode()
    {
        QFETCH(QString, engine);
        QFETCH(QStringList, codes);
        QFETCH(QString, clicked);
        QFETCH(bool, asChild);
        QFETCH(QString, proposed);
        GoodsFixture f(engine);
        Editor e(f, codes);
        if (!clicked.isEmpty())
            e.click(clicked);
        MessageRecorder messages;
        e.startAdd(asChild);
        if (proposed.isEmpty()) {
            QCOMPARE(messages.texts(), QStringList{"这一级的编码01至99已全部使用，不能再新增本级节点!"});
            QVERIFY(!e.adding());
            return;
        }
        QVERIFY(messages.texts().isEmpty());
        QCOMPARE(e.code()->text(), proposed);
        QVERIFY(e.adding());
        QCOMPARE(e.name()->text(), QString());
        // What is proposed is what the save takes.
        typeInto(e.name(), QStringLiteral("新类"));
        e.button("TB_Save")->click();
        QVERIFY(messages.texts().isEmpty());
        QCOMPARE(f.scalar(QStringLiteral("select name from Goods_Category where code = :c"), {{":c", proposed}}).toString(),
                 QStringLiteral("新类"));
        QVERIFY(!e.adding());
        QTreeWidgetItem *node = nodeStarting(e.tree(), proposed + QLatin1Char('-'));
        QCOMPARE(node->text(0), proposed + QStringLiteral("-新类"));
        // Under its parent (the root for a top-level code), in code order.
        QTreeWidgetItem *parent = node->parent();
        QCOMPARE(parent->text(0).left(proposed.size() - 2), proposed.left(proposed.size() - 2));
        if (parent->parent() == nullptr)
            QCOMPARE(proposed.size(), 2);
        const int position = parent->indexOfChild(node);
        if (position > 0)
            QVERIFY(parent->child(position - 1)->text(0) < node->text(0));
    }

    void refusesBadCodes_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("focusOnCode");
        const QList<std::tuple<const char *, QString, const char *, bool>> cases = {
            {"letters", "1a", "编码必须是数字!", true},
            {"blanks", "  ", "编码必须是数字!", true},
            {"leading blank", " 0101", "编码必须是数字!", true},
            {"sign", "-1", "编码必须是数字!", true},
            {"decimal point", "1.", "编码必须是数字!", true},
            {"odd length", "123", "编码规则出错!", true},
            {"longer than the box", "010101010101", "编码规则出错!", true},
            {"empty", "", "编码错误,父节点不存在!", true},
            {"parent missing", "0301", "编码错误,父节点不存在!", true},
            {"duplicate", "0101", "编码重复!,不能保存!", false},
            {"duplicate before parent missing", "0401", "编码重复!,不能保存!", false},
        };
        for (const QString &engine : TestHome::engines()) {
            for (const auto &[name, typed, message, focus] : cases)
                QTest::newRow(qPrintable(engine + QLatin1Char('/') + QLatin1String(name)))
                    << engine << typed << QString::fromUtf8(message) << focus;
        }
    }
    void refusesBadCodes()
    {
        QFETCH(QString, engine);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        QFETCH(bool, focusOnCode);
        GoodsFixture f(engine);
        // 0401 stands without its parent 04.
        Editor e(f, {"01", "0101", "0401"});
        e.click(QStringLiteral("01-"));
        e.startAdd(true);
        typeInto(e.code(), typed);
        typeInto(e.name(), QStringLiteral("坏"));
        e.name()->setFocus();
        const QStringList before = categories(f);
        MessageRecorder messages;
        e.button("TB_Save")->click();
        QCOMPARE(messages.texts(), QStringList{message});
        QCOMPARE(messages.messages().first().kind, MessageBoxes::Kind::Dialog);
        QCOMPARE(messages.messages().first().icon, QMessageBox::Information);
        QCOMPARE(messages.messages().first().buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(categories(f), before);
        QVERIFY(e.adding());
        QCOMPARE(e.code()->hasFocus(), focusOnCode);
    }

    void renameKeepsTheCode_data() { TestHome::addEngineRows(); }
    void renameKeepsTheCode()
    {
        QFETCH(QString, engine);
        GoodsFixture f(engine);
        Editor e(f, {"01", "0101", "0102"});
        MessageRecorder messages;
        // The root is no category.
        e.click(QStringLiteral("商品分类"));
        e.button("TB_Edit")->click();
        QVERIFY(!e.code()->isEnabled());
        e.button("TB_Save")->click();
        QCOMPARE(messages.texts(), QStringList{"请点击取消按钮再重新选择一个节点进行编辑!"});
        QCOMPARE(messages.messages().last().icon, QMessageBox::Question);
        e.button("TB_Cancel")->click();

        e.click(QStringLiteral("0101-"));
        e.button("TB_Edit")->click();
        typeInto(e.name(), QStringLiteral("  挂式空调 "));
        QTest::keyClick(e.name(), Qt::Key_Return);
        QCOMPARE(categories(f), (QStringList{"01-类01", "0101-挂式空调", "0102-类0102"}));
        QCOMPARE(nodeStarting(e.tree(), QStringLiteral("0101"))->text(0), QStringLiteral("0101-挂式空调"));
        QVERIFY(!e.adding());
        QVERIFY(!e.name()->isEnabled());

        // Deleted at another workstation meanwhile.
        OtherWorkstation other(f.home);
        e.click(QStringLiteral("0102-"));
        e.button("TB_Edit")->click();
        QVERIFY(other.run(QStringLiteral("delete from Goods_Category where code = '0102'")));
        messages.clear();
        e.button("TB_Save")->click();
        QCOMPARE(messages.texts(), QStringList{"您选择的节点不存在,请点击取消按钮再重新选择一个节点进行编辑!"});
        QCOMPARE(f.count(QStringLiteral("select count(*) from Goods_Category")), 2);
    }

    void deletesLeavesOnly_data() { TestHome::addEngineRows(); }
    void deletesLeavesOnly()
    {
        QFETCH(QString, engine);
        GoodsFixture f(engine);
        Editor e(f, {"01", "0101", "0102", "02"});
        MessageRecorder messages;
        const QString hasChildren = QStringLiteral("不能删除有子目录的目录，请先删除子目录！");
        for (const char *node : {"01-", "商品分类"}) {
            e.click(QString::fromUtf8(node));
            e.button("TB_Del")->click();
            QCOMPARE(messages.lastText(), hasChildren);
            QCOMPARE(messages.messages().last().kind, MessageBoxes::Kind::Plain);
        }
        QCOMPARE(f.count(QStringLiteral("select count(*) from Goods_Category")), 4);

        // A leaf goes, even with goods in it; the goods keep the code.
        e.click(QStringLiteral("0101-"));
        messages.clear();
        messages.answerNext(QMessageBox::Cancel);
        e.button("TB_Del")->click();
        QCOMPARE(messages.texts(), QStringList{"你真的要删除所选择的目录吗？"});
        QCOMPARE(messages.messages().first().buttons, QMessageBox::Ok | QMessageBox::Cancel);
        QCOMPARE(f.count(QStringLiteral("select count(*) from Goods_Category")), 4);
        e.button("TB_Del")->click();
        QCOMPARE(categories(f), (QStringList{"01-类01", "0102-类0102", "02-类02"}));
        QCOMPARE(f.scalar(QStringLiteral("select Category from T_Goods where GoodsCode = 'KF-35'")).toString(), QStringLiteral("0101"));
        QCOMPARE(nodeStarting(e.tree(), QStringLiteral("01-"))->childCount(), 1);

        // Another workstation gave 0102 a sub-category after the tree was built.
        OtherWorkstation other(f.home);
        QVERIFY(other.run(QStringLiteral("insert into Goods_Category (code, name) values ('010201', '双门')")));
        e.click(QStringLiteral("0102-"));
        messages.clear();
        e.button("TB_Del")->click();
        QCOMPARE(messages.texts(), (QStringList{"你真的要删除所选择的目录吗？", hasChildren}));
        QCOMPARE(f.count(QStringLiteral("select count(*) from Goods_Category where code = '0102'")), 1);
        QCOMPARE(nodeStarting(e.tree(), QStringLiteral("0102-"))->child(0)->text(0), QStringLiteral("010201-双门"));
    }

    void cancelWritesNothing_data() { TestHome::addEngineRows(); }
    void cancelWritesNothing()
    {
        QFETCH(QString, engine);
        GoodsFixture f(engine);
        Editor e(f, {"01"});
        // F3 (a sibling) means nothing on the root.
        e.click(QStringLiteral("商品分类"));
        QTest::keyClick(&e.window, Qt::Key_F3);
        QVERIFY(!e.adding());
        QTest::keyClick(&e.window, Qt::Key_F4);
        QVERIFY(e.adding());
        QCOMPARE(e.code()->text(), QStringLiteral("02"));
        // No second add while one is pending.
        QTest::keyClick(&e.window, Qt::Key_F4);
        QCOMPARE(e.code()->text(), QStringLiteral("02"));
        typeInto(e.name(), QStringLiteral("配件"));
        e.button("TB_Cancel")->click();
        QVERIFY(!e.adding());
        QCOMPARE(categories(f), QStringList{"01-类01"});
        // An empty name is a name.
        e.click(QStringLiteral("商品分类"));
        e.button("TB_Add")->click();
        e.button("TB_Save")->click();
        QCOMPARE(categories(f), (QStringList{"01-类01", "02-"}));
        QCOMPARE(nodeStarting(e.tree(), QStringLiteral("02"))->text(0), QStringLiteral("02-"));
    }

    void handsTheCategoryToTheGoodsEditor_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("node");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("name");
        TestHome::addEngineRows({"category", "root"}, [](QTestData &row, int i) {
            if (i == 0)
                row << "0102-" << "0102" << "冰箱";
            else
                row << "商品分类" << "" << "商品分类";
        });
    }
    void handsTheCategoryToTheGoodsEditor()
    {
        QFETCH(QString, engine);
        QFETCH(QString, node);
        QFETCH(QString, code);
        QFETCH(QString, name);
        GoodsFixture f(engine);
        TFrm_AddGoods editor(f.data, RecordEditor::Mode::Add);
        editor.show();
        QCOMPARE(control<QLineEdit>(&editor, "Edit_Category")->text(), QString());
        QVERIFY(withModal<TFrm_Tree>([&] { control<QAction>(&editor, "Edit_CategoryButton")->trigger(); },
                                     [&](TFrm_Tree *tree) {
                                         QCOMPARE(tree->windowTitle(), QStringLiteral("商品分类"));
                                         QVERIFY(control<QToolButton>(tree, "TB_Select")->isEnabled());
                                         doubleClickNode(control<QTreeWidget>(tree, "TreeView1"), node);
                                     }));
        QCOMPARE(control<QLineEdit>(&editor, "Edit_Category")->text(), name);
        typeInto(control<QLineEdit>(&editor, "Edit_GoodsCode"), QStringLiteral("NEW"));
        typeInto(control<QLineEdit>(&editor, "Edit_GoodsName"), QStringLiteral("新品"));
        control<QPushButton>(&editor, "Btn_OK")->click();
        QCOMPARE(f.scalar(QStringLiteral("select Category from T_Goods where GoodsCode = 'NEW'")).toString(), code);
    }

    void managementDoesNotChoose_data() { TestHome::addEngineRows(); }
    void managementDoesNotChoose()
    {
        QFETCH(QString, engine);
        GoodsFixture f(engine);
        f.open();
        QVERIFY(withModal<TFrm_Tree>([&] { f.command("Goods_Category")->trigger(); }, [](TFrm_Tree *tree) {
            QVERIFY(!control<QToolButton>(tree, "TB_Select")->isEnabled());
            doubleClickNode(control<QTreeWidget>(tree, "TreeView1"), QStringLiteral("0101-"));
            QVERIFY(tree->isVisible());
            QCOMPARE(control<QLineEdit>(tree, "Edit_Code")->text(), QStringLiteral("0101"));
            QCOMPARE(control<QLineEdit>(tree, "Edit_Name")->text(), QStringLiteral("空调"));
        }));
    }
};

QTEST_MAIN(TestCategoryTree)
#include "TestCategoryTree.moc"
