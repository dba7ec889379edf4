#include "GoodsFixture.h"
#include "TFrm_AddGoods.h"
#include "TFrm_Goods.h"
#include "TFrm_S_Goods.h"
#include "FileDialogRecorder.h"
#include "MessageRecorder.h"

#include <QFile>
#include <QHeaderView>
#include <QTemporaryDir>
#include <QPrintPreviewDialog>
#include <QToolButton>

// The goods window and the goods editor driven as a clerk keeps the catalogue, and what they
// leave in the goods and in the goods lines of the installation orders.
class TestGoods : public QObject
{
    Q_OBJECT

    // Opens the goods window with the command and runs steps in it.
    static void inGoodsWindow(GoodsFixture &f, const std::function<void(TFrm_Goods *)> &steps)
    {
        QVERIFY(withModal<TFrm_Goods>([&] { f.command("M_Goods")->trigger(); }, steps));
    }
    // Presses one of the window's buttons and runs steps in the goods editor it opens.
    static void inEditor(TFrm_Goods *window, const char *button, const std::function<void(TFrm_AddGoods *)> &steps)
    {
        QVERIFY(withModal<TFrm_AddGoods>([&] { control<QToolButton>(window, button)->click(); }, steps));
    }
    static DataGrid *grid(TFrm_Goods *window) { return control<DataGrid>(window, "DBGridEh1"); }
    static QTreeWidget *tree(QWidget *window) { return control<QTreeWidget>(window, "TreeView1"); }
    static QString status(TFrm_Goods *window) { return control<QLabel>(window, "StatusBar1")->text(); }
    static QLineEdit *box(QWidget *editor, const char *name) { return control<QLineEdit>(editor, name); }
    static void ok(QWidget *editor) { control<QPushButton>(editor, "Btn_OK")->click(); }
    static void selectGoods(TFrm_Goods *window, const QString &code)
    {
        QVERIFY(Frm_Data->Qry_Goods->locate(QStringLiteral("GoodsCode"), code));
        QCOMPARE(grid(window)->currentIndex().row(), Frm_Data->Qry_Goods->currentRow());
    }
    static QVariantMap goods(GoodsFixture &f, const QString &code)
    {
        return f.row(QStringLiteral("select * from T_Goods where GoodsCode = :c"), {{":c", code}});
    }

private slots:
    void cleanup()
    {
        // A failed test may leave a window open.
        delete Frm_AddGoods.data();
        delete Frm_Goods.data();
    }

    void listsTheClickedCategory_data() { TestHome::addEngineRows(); }
    void listsTheClickedCategory()
    {
        QFETCH(QString, engine);
        GoodsFixture f(engine);
        f.open();
        inGoodsWindow(f, [&](TFrm_Goods *window) {
            QCOMPARE(window->windowTitle(), QStringLiteral("商品管理"));
            QCOMPARE(status(window), QStringLiteral("当前共有 3 条商品记录"));
            QTreeWidgetItem *root = tree(window)->topLevelItem(0);
            QCOMPARE(root->text(0), QStringLiteral("商品分类"));
            QVERIFY(root->isExpanded());
            QCOMPARE(root->child(0)->child(1)->text(0), QStringLiteral("0102-冰箱"));

            clickNode(tree(window), QStringLiteral("01-"));
            QCOMPARE(listed(grid(window), "GoodsCode"), (QStringList{"KF-35", "BCD-215"}));
            QCOMPARE(status(window), QStringLiteral("当前共有 2 条商品记录"));
            clickNode(tree(window), QStringLiteral("0102-"));
            QCOMPARE(listed(grid(window), "GoodsCode"), QStringList{"BCD-215"});
            // The root lists everything, and new goods still start in the last category.
            clickNode(tree(window), QStringLiteral("商品分类"));
            QCOMPARE(listed(grid(window), "GoodsCode"), (QStringList{"KF-35", "BCD-215", "CU-6"}));
            QCOMPARE(status(window), QStringLiteral("当前共有 3 条商品记录"));
            inEditor(window, "Btn_Add", [](TFrm_AddGoods *editor) {
                QCOMPARE(box(editor, "Edit_Category")->text(), QStringLiteral("冰箱"));
            });
            // The grid's titles come from the configuration "Goods".
            QCOMPARE(grid(window)->columnTitle(0), QStringLiteral("编码"));
        });
    }

    void addsOneGoodsAfterAnother_data() { TestHome::addEngineRows(); }
    void addsOneGoodsAfterAnother()
    {
        QFETCH(QString, engine);
        GoodsFixture f(engine);
        f.open();
        inGoodsWindow(f, [&](TFrm_Goods *window) {
            clickNode(tree(window), QStringLiteral("0101-"));
            inEditor(window, "Btn_Add", [&](TFrm_AddGoods *editor) {
                QCOMPARE(editor->windowTitle(), QStringLiteral("添加商品"));
                QCOMPARE(control<QPushButton>(editor, "Btn_OK")->text(), QStringLiteral("新增(&A)"));
                QCOMPARE(box(editor, "Edit_Category")->text(), QStringLiteral("空调"));
                QVERIFY(!control<QWidget>(editor, "DBNavigator1")->isEnabled());
                // The boxes that are not on view.
                QVERIFY(!control<QWidget>(editor, "GroupBox2")->isVisible());
                for (const auto &[code, name] : {std::pair{"KF-50", "格力 KFR-50LW"}, {"KF-72", "格力 KFR-72LW"}}) {
                    typeInto(box(editor, "Edit_GoodsCode"), QString::fromUtf8(code));
                    typeInto(box(editor, "Edit_GoodsName"), QString::fromUtf8(name));
                    ok(editor);
                    QVERIFY(editor->isVisible());
                    QCOMPARE(box(editor, "Edit_GoodsCode")->text(), QString());
                    QCOMPARE(box(editor, "Edit_GoodsName")->text(), QString());
                    QCOMPARE(box(editor, "Edit_Category")->text(), QStringLiteral("空调"));
                    // The window behind shows the new goods at once.
                    QCOMPARE(listed(grid(window), "GoodsCode").last(), QString::fromLatin1(code));
                    QCOMPARE(grid(window)->currentIndex().row(), grid(window)->model()->rowCount() - 1);
                }
            });
            QCOMPARE(status(window), QStringLiteral("当前共有 3 条商品记录"));
        });
        for (const char *code : {"KF-50", "KF-72"}) {
            const QVariantMap row = goods(f, QString::fromLatin1(code));
            QCOMPARE(row.value("category").toString(), QStringLiteral("0101"));
            QCOMPARE(row.value("goodsunit").toString(), QString());
            QCOMPARE(row.value("units").toString(), QString());
            QCOMPARE(row.value("memo").toString(), QString());
            for (const char *price : {"inprice", "saleprice", "costprice"}) {
                QVERIFY2(!row.value(price).isNull(), price);
                QCOMPARE(row.value(price).toDouble(), 0.0);
            }
        }
    }

    void refusesIncompleteOrTakenCodes_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        const QList<std::tuple<const char *, QString, QString, const char *, const char *>> cases = {
            {"no code", "", "新品", "商品编码不能为空!", "Edit_GoodsCode"},
            {"no name", "NEW", "", "商品名称不能为空!", "Edit_GoodsName"},
            {"code taken", "KF-35", "新品", "商品编码有重复，请您换一个产品编码!", "Edit_GoodsCode"},
            {"blanks are a code", "  ", "新品", "", ""},
            {"quotes are text", "O'Neil; drop", "新品", "", ""},
            {"as long as the column", QString(50, QChar(0x7F16)), QString(50, QChar(0x578B)), "", ""},
        };
        for (const QString &engine : TestHome::engines()) {
            for (const auto &[name, code, goodsName, message, focus] : cases)
                QTest::newRow(qPrintable(engine + QLatin1Char('/') + QLatin1String(name)))
                    << engine << code << goodsName << QString::fromUtf8(message) << QString::fromLatin1(focus);
        }
    }
    void refusesIncompleteOrTakenCodes()
    {
        QFETCH(QString, engine);
        QFETCH(QString, code);
        QFETCH(QString, name);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        GoodsFixture f(engine);
        // Added from the goods picker: no goods window, no category.
        TFrm_AddGoods editor(f.data, RecordEditor::Mode::Add);
        editor.show();
        editor.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&editor));
        QCOMPARE(box(&editor, "Edit_Category")->text(), QString());
        typeInto(box(&editor, "Edit_GoodsCode"), code);
        typeInto(box(&editor, "Edit_GoodsName"), name);
        MessageRecorder messages;
        ok(&editor);
        const int goodsCount = f.count(QStringLiteral("select count(*) from T_Goods"));
        if (message.isEmpty()) {
            QVERIFY(messages.texts().isEmpty());
            QCOMPARE(goodsCount, 4);
            const QVariantMap stored = goods(f, code);
            QCOMPARE(stored.value("goodsname").toString(), name);
            QVERIFY(stored.contains("category"));
            QCOMPARE(stored.value("category").toString(), QString());
            return;
        }
        QCOMPARE(messages.texts(), QStringList{message});
        QCOMPARE(messages.messages().first().caption, QStringLiteral("警告"));
        QCOMPARE(messages.messages().first().icon, QMessageBox::Information);
        QCOMPARE(goodsCount, 3);
        QVERIFY(editor.isVisible());
        QCOMPARE(QApplication::focusWidget(), box(&editor, qPrintable(focus)));
    }

    void editKeepsWhatIsNotOnView_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("newCode");
        TestHome::addEngineRows({"same code", "new code"}, [](QTestData &row, int i) {
            row << (i == 0 ? "KF-35" : "KF-35W");
        });
    }
    void editKeepsWhatIsNotOnView()
    {
        QFETCH(QString, engine);
        QFETCH(QString, newCode);
        GoodsFixture f(engine);
        // A price nobody gave stays unknown.
        f.run(QStringLiteral("update T_Goods set CostPrice = null where GoodsCode = 'KF-35'"));
        const QVariantMap before = goods(f, QStringLiteral("KF-35"));
        f.open();
        inGoodsWindow(f, [&](TFrm_Goods *window) {
            selectGoods(window, QStringLiteral("KF-35"));
            inEditor(window, "Btn_Edit", [&](TFrm_AddGoods *editor) {
                QCOMPARE(editor->windowTitle(), QStringLiteral("编辑商品"));
                QCOMPARE(control<QPushButton>(editor, "Btn_OK")->text(), QStringLiteral("保存(&S)"));
                QCOMPARE(box(editor, "Edit_Category")->text(), QStringLiteral("空调"));
                QCOMPARE(box(editor, "Edit_GoodsName")->text(), QStringLiteral("格力 KFR-35GW"));
                typeInto(box(editor, "Edit_GoodsCode"), newCode);
                typeInto(box(editor, "Edit_GoodsName"), QStringLiteral("格力 KFR-35GW/A"));
                ok(editor);
                QVERIFY(!editor->isVisible());
            });
            QCOMPARE(listed(grid(window), "GoodsName").first(), QStringLiteral("格力 KFR-35GW/A"));
        });
        QVariantMap after = goods(f, newCode);
        QCOMPARE(after.take("goodsname").toString(), QStringLiteral("格力 KFR-35GW/A"));
        QCOMPARE(after.take("goodscode").toString(), newCode);
        QVariantMap expected = before;
        expected.remove("goodsname");
        expected.remove("goodscode");
        // Every write counts.
        QCOMPARE(after.take("rowversion").toInt(), expected.take("rowversion").toInt() + 1);
        QCOMPARE(after, expected);
        QVERIFY(after.value("costprice").isNull());
        // The lines of both customers follow the code; no other line changes.
        QCOMPARE(f.linesOf(newCode), 3);
        QCOMPARE(f.count(QStringLiteral("select count(*) from T_BillDetail where GoodsName = 'x' and Number = 1")), 3);
        if (newCode != QLatin1String("KF-35"))
            QCOMPARE(f.linesOf(QStringLiteral("KF-35")), 0);
    }

    void codeChangeIsOneTransaction_data() { TestHome::addEngineRows(); }
    void codeChangeIsOneTransaction()
    {
        QFETCH(QString, engine);
        GoodsFixture f(engine);
        f.refuse(QStringLiteral("update"), QStringLiteral("T_BillDetail"));
        f.open();
        MessageRecorder messages;
        inGoodsWindow(f, [&](TFrm_Goods *window) {
            selectGoods(window, QStringLiteral("KF-35"));
            inEditor(window, "Btn_Edit", [&](TFrm_AddGoods *editor) {
                typeInto(box(editor, "Edit_GoodsCode"), QStringLiteral("KF-35W"));
                ok(editor);
                QVERIFY(!editor->isVisible());
            });
        });
        QCOMPARE(messages.texts().size(), 1);
        QVERIFY(messages.lastText().startsWith(QStringLiteral("保存数据失败!\n")));
        QVERIFY(messages.lastText().contains(QStringLiteral("refused by the test")));
        QCOMPARE(messages.messages().first().caption, QStringLiteral("提醒"));
        QCOMPARE(f.count(QStringLiteral("select count(*) from T_Goods where GoodsCode = 'KF-35'")), 1);
        QCOMPARE(f.linesOf(QStringLiteral("KF-35")), 3);
    }

    void codeChangeToATakenCodeIsRefused_data() { TestHome::addEngineRows(); }
    void codeChangeToATakenCodeIsRefused()
    {
        QFETCH(QString, engine);
        GoodsFixture f(engine);
        f.open();
        MessageRecorder messages;
        inGoodsWindow(f, [&](TFrm_Goods *window) {
            selectGoods(window, QStringLiteral("KF-35"));
            inEditor(window, "Btn_Edit", [&](TFrm_AddGoods *editor) {
                typeInto(box(editor, "Edit_GoodsCode"), QStringLiteral("BCD-215"));
                ok(editor);
                QCOMPARE(messages.texts(), QStringList{"货品编码有重复，请您换一个货品编码!"});
                QCOMPARE(messages.messages().first().caption, QStringLiteral("警告"));
                QVERIFY(editor->isVisible());
            });
        });
        QCOMPARE(f.count(QStringLiteral("select count(*) from T_Goods where GoodsCode = 'BCD-215'")), 1);
        QCOMPARE(f.linesOf(QStringLiteral("KF-35")), 3);
    }

    // Another workstation works on the same goods while the editor shows it.
    void anotherWorkstationMeanwhile_data() { TestHome::addEngineRows(); }
    void anotherWorkstationMeanwhile()
    {
        QFETCH(QString, engine);
        GoodsFixture f(engine);
        OtherWorkstation other(f.home);
        f.open();
        MessageRecorder messages;
        inGoodsWindow(f, [&](TFrm_Goods *window) {
            // A line added there after the editor opened moves with the code too.
            selectGoods(window, QStringLiteral("KF-35"));
            inEditor(window, "Btn_Edit", [&](TFrm_AddGoods *editor) {
                QVERIFY(other.run(QStringLiteral("insert into T_BillDetail (batch, GoodsCode, Number) values ('AZ-9', 'KF-35', 1)")));
                typeInto(box(editor, "Edit_GoodsCode"), QStringLiteral("KF-35N"));
                ok(editor);
            });
            QVERIFY(messages.texts().isEmpty());
            QCOMPARE(f.linesOf(QStringLiteral("KF-35N")), 4);

            // Changed there meanwhile: not written over.
            selectGoods(window, QStringLiteral("KF-35N"));
            inEditor(window, "Btn_Edit", [&](TFrm_AddGoods *editor) {
                QVERIFY(other.run(QStringLiteral("update T_Goods set GoodsCode = 'KF-35B' where GoodsCode = 'KF-35N'")));
                QVERIFY(other.run(QStringLiteral("update T_BillDetail set GoodsCode = 'KF-35B' where GoodsCode = 'KF-35N'")));
                typeInto(box(editor, "Edit_GoodsCode"), QStringLiteral("KF-35X"));
                ok(editor);
                QVERIFY(!editor->isVisible());
            });
            QCOMPARE(messages.texts(), QStringList{RecordEditor::changedElsewhereText()});
            QCOMPARE(messages.messages().last().caption, QStringLiteral("提醒"));
            QCOMPARE(f.linesOf(QStringLiteral("KF-35B")), 4);
            // The list shows what is stored.
            QCOMPARE(listed(grid(window), "GoodsCode").first(), QStringLiteral("KF-35B"));

            // Deleted there meanwhile: nothing is written here.
            messages.clear();
            selectGoods(window, QStringLiteral("KF-35B"));
            inEditor(window, "Btn_Edit", [&](TFrm_AddGoods *editor) {
                QVERIFY(other.run(QStringLiteral("delete from T_Goods where GoodsCode = 'KF-35B'")));
                typeInto(box(editor, "Edit_GoodsName"), QStringLiteral("已删"));
                ok(editor);
            });
            QCOMPARE(messages.texts(), QStringList{RecordEditor::deletedElsewhereText()});
        });
        QCOMPARE(f.count(QStringLiteral("select count(*) from T_Goods")), 2);
        QCOMPARE(f.count(QStringLiteral("select count(*) from T_Goods where GoodsName = '已删'")), 0);
    }

    void deleteTakesTheLinesOrNothing_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("refused");
        QTest::addColumn<bool>("gone");
        TestHome::addEngineRows({"no", "yes", "refused"}, [](QTestData &row, int i) {
            row << int(i == 0 ? QMessageBox::No : QMessageBox::Yes) << (i == 2) << (i == 1);
        });
    }
    void deleteTakesTheLinesOrNothing()
    {
        QFETCH(QString, engine);
        QFETCH(int, answer);
        QFETCH(bool, refused);
        QFETCH(bool, gone);
        GoodsFixture f(engine);
        f.addLine(QStringLiteral("AZ-2026-01-05-0001"), QStringLiteral("CU-6"));
        if (refused)
            f.refuse(QStringLiteral("delete"), QStringLiteral("T_Goods"));
        f.open();
        MessageRecorder messages;
        messages.answerNext(QMessageBox::StandardButton(answer));
        inGoodsWindow(f, [&](TFrm_Goods *window) {
            selectGoods(window, QStringLiteral("KF-35"));
            control<QToolButton>(window, "Btn_Del")->click();
            QCOMPARE(listed(grid(window), "GoodsCode").contains(QStringLiteral("KF-35")), !gone);
            QCOMPARE(status(window), QStringLiteral("当前共有 %1 条商品记录").arg(gone ? 2 : 3));
        });
        QCOMPARE(messages.messages().first().text, QStringLiteral("您确定要删除这条商品记录吗？"));
        QCOMPARE(messages.messages().first().kind, MessageBoxes::Kind::Dialog);
        QCOMPARE(messages.messages().first().buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(messages.texts().size(), refused ? 2 : 1);
        if (refused)
            QVERIFY(messages.lastText().startsWith(QStringLiteral("删除商品记录失败!")));
        QCOMPARE(f.count(QStringLiteral("select count(*) from T_Goods where GoodsCode = 'KF-35'")), gone ? 0 : 1);
        QCOMPARE(f.linesOf(QStringLiteral("KF-35")), gone ? 0 : 3);
        QCOMPARE(f.linesOf(QStringLiteral("CU-6")), 1);
    }

    void deleteOnAnEmptyListRemovesNothing_data() { TestHome::addEngineRows(); }
    void deleteOnAnEmptyListRemovesNothing()
    {
        QFETCH(QString, engine);
        GoodsFixture f(engine);
        f.run(QStringLiteral("insert into Goods_Category (code, name) values ('03', '空')"));
        f.open();
        MessageRecorder messages;
        inGoodsWindow(f, [&](TFrm_Goods *window) {
            control<QAction>(window, "N4")->trigger();
            clickNode(tree(window), QStringLiteral("03-"));
            QCOMPARE(status(window), QStringLiteral("当前共有 0 条商品记录"));
            control<QToolButton>(window, "Btn_Del")->click();
            // Editing an empty list says so and opens nothing.
            control<QToolButton>(window, "Btn_Edit")->click();
            QVERIFY(!Frm_AddGoods);
        });
        QCOMPARE(messages.texts(), (QStringList{"您确定要删除这条商品记录吗？", "删除商品记录失败!", "没有可编辑的商品记录!"}));
        QCOMPARE(f.count(QStringLiteral("select count(*) from T_Goods")), 3);
    }

    void navigatorFollowsTheWindow_data() { TestHome::addEngineRows(); }
    void navigatorFollowsTheWindow()
    {
        QFETCH(QString, engine);
        GoodsFixture f(engine);
        f.open();
        inGoodsWindow(f, [&](TFrm_Goods *window) {
            selectGoods(window, QStringLiteral("KF-35"));
            // A double-click on the grid edits.
            QVERIFY(withModal<TFrm_AddGoods>([&] { doubleClickFirstRow(grid(window)); }, [&](TFrm_AddGoods *editor) {
                typeInto(box(editor, "Edit_GoodsName"), QStringLiteral("不保存"));
                control<QPushButton>(editor, "Nav_Next")->click();
                QCOMPARE(box(editor, "Edit_GoodsCode")->text(), QStringLiteral("BCD-215"));
                QCOMPARE(box(editor, "Edit_Category")->text(), QStringLiteral("冰箱"));
                QCOMPARE(grid(window)->currentIndex().row(), 1);
                typeInto(box(editor, "Edit_GoodsName"), QStringLiteral("海尔 BCD-216"));
                ok(editor);
            }));
        });
        QCOMPARE(goods(f, QStringLiteral("BCD-215")).value("goodsname").toString(), QStringLiteral("海尔 BCD-216"));
        QCOMPARE(goods(f, QStringLiteral("KF-35")).value("goodsname").toString(), QStringLiteral("格力 KFR-35GW"));
    }

    void searchFiltersTheWindow_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QStringList>("boxes");   // code, name, 规格 (size)
        QTest::addColumn<QStringList>("found");
        const QList<std::tuple<const char *, QStringList, QStringList>> cases = {
            {"all boxes empty", {"", "", ""}, {"KF-35", "BCD-215", "CU-6", "P1", "P2", "P3", "P4", "P5"}},
            {"code, any letter case", {"kf", "", ""}, {"KF-35"}},
            {"code and size", {"P", "", "1.5"}, {"P1", "P2", "P3", "P4", "P5"}},
            {"percent sign", {"", "50%", ""}, {"P1"}},
            {"underscore", {"", "a_b", ""}, {"P3"}},
            {"quote", {"", "O'Neil", ""}, {"P5"}},
            {"blank kept", {"", "a b", ""}, {}},
        };
        for (const QString &engine : TestHome::engines()) {
            for (const auto &[name, boxes, found] : cases)
                QTest::newRow(qPrintable(engine + QLatin1Char('/') + QLatin1String(name))) << engine << boxes << found;
        }
    }
    void searchFiltersTheWindow()
    {
        QFETCH(QString, engine);
        QFETCH(QStringList, boxes);
        QFETCH(QStringList, found);
        GoodsFixture f(engine);
        const QStringList names = {"50% 柜机", "500 挂机", "a_b", "axb", "O'Neil"};
        for (int i = 0; i < names.size(); ++i)
            f.addGoods(QStringLiteral("P%1").arg(i + 1), names[i], QStringLiteral("02"));
        f.open();
        inGoodsWindow(f, [&](TFrm_Goods *window) {
            clickNode(tree(window), QStringLiteral("0101-"));
            QVERIFY(withModal<TFrm_S_Goods>([&] { control<QToolButton>(window, "Btn_Search")->click(); },
                                            [&](TFrm_S_Goods *search) {
                                                QCOMPARE(search->windowTitle(), QStringLiteral("查找货品"));
                                                typeInto(box(search, "Edit_Code"), boxes[0]);
                                                typeInto(box(search, "Edit_Name"), boxes[1]);
                                                typeInto(box(search, "Edit_Unit"), boxes[2]);
                                                control<QPushButton>(search, "Btn_OK")->click();
                                                QVERIFY(!search->isVisible());
                                            }));
            QCOMPARE(listed(grid(window), "GoodsCode"), found);
            QCOMPARE(status(window), QStringLiteral("当前共有 %1 条商品记录").arg(found.size()));
            QCOMPARE(window->currentGoodsCategory(), QStringLiteral("0101"));
            // "退出" leaves the list as it is.
            QVERIFY(withModal<TFrm_S_Goods>([&] { control<QToolButton>(window, "Btn_Search")->click(); },
                                            [&](TFrm_S_Goods *search) {
                                                typeInto(box(search, "Edit_Code"), QStringLiteral("none"));
                                                control<QPushButton>(search, "Btn_Exit")->click();
                                            }));
            QCOMPARE(listed(grid(window), "GoodsCode"), found);
        });
    }

    void keepsColumnsAndPrints_data() { TestHome::addEngineRows(); }
    void keepsColumnsAndPrints()
    {
        QFETCH(QString, engine);
        GoodsFixture f(engine);
        f.open();
        inGoodsWindow(f, [&](TFrm_Goods *window) {
            // "Excel" writes the listed goods under the grid's titles.
            QTemporaryDir folder;
            FileDialogRecorder dialogs;
            MessageRecorder messages;
            messages.answerNext(QMessageBox::No);
            dialogs.answerNext(folder.filePath(QStringLiteral("goods")), QStringLiteral("CSV 文件 (*.csv)"));
            control<QToolButton>(window, "Btn_Excel")->click();
            QFile written(folder.filePath(QStringLiteral("goods.csv")));
            QVERIFY(written.open(QIODevice::ReadOnly));
            const QStringList lines = QString::fromUtf8(written.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
            QVERIFY(lines.value(0).contains(grid(window)->columnTitle(0)));
            QCOMPARE(lines.size(), 1 + f.data.Qry_Goods->recordCount());
            QString title;
            QVERIFY(withModal<QPrintPreviewDialog>([&] { control<QToolButton>(window, "Btn_Print")->click(); },
                                                   [&title](QPrintPreviewDialog *preview) { title = preview->windowTitle(); }));
            QVERIFY(title.endsWith(QStringLiteral("货品列表")));
            // The operator drags the category column to the front and widens it.
            QHeaderView *header = grid(window)->horizontalHeader();
            header->moveSection(2, 0);
            header->resizeSection(header->logicalIndex(0), 150);
            QCOMPARE(grid(window)->columnTitle(0), QStringLiteral("型号类别"));
        });
        const QVariantMap category = f.row(QStringLiteral("select ShowID, Width from T_FieldShow where TableName = 'Goods' and Field = 'Category'"));
        QCOMPARE(category.value("showid").toInt(), 0);
        QCOMPARE(category.value("width").toInt(), 150);
        QCOMPARE(f.scalar(QStringLiteral("select ShowID from T_FieldShow where TableName = 'Goods' and Field = 'GoodsCode'")).toInt(), 1);
    }

    void categoriesShowAfterRefresh_data() { TestHome::addEngineRows(); }
    void categoriesShowAfterRefresh()
    {
        QFETCH(QString, engine);
        GoodsFixture f(engine);
        f.open();
        inGoodsWindow(f, [&](TFrm_Goods *window) {
            auto *menu = control<QMenu>(window, "PopupMenu2");
            QVERIFY(menu->actions().contains(f.command("Goods_Category")));
            f.run(QStringLiteral("insert into Goods_Category (code, name) values ('03', '工具')"));
            QCOMPARE(tree(window)->topLevelItem(0)->childCount(), 2);
            control<QAction>(window, "N4")->trigger();
            QCOMPARE(tree(window)->topLevelItem(0)->child(2)->text(0), QStringLiteral("03-工具"));
            QCOMPARE(tree(window)->currentItem(), tree(window)->topLevelItem(0));
            QCOMPARE(control<QMenu>(window, "PopupMenu1")->actions(),
                     (QList<QAction *>{f.command("AddGoods"), f.command("EditGoods"), f.command("DelGoods")}));
        });
    }
};

QTEST_MAIN(TestGoods)
#include "TestGoods.moc"
