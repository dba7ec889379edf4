#include "GoodsFixture.h"
#include "TFrm_AddCust.h"
#include "TFrm_AddGoods.h"
#include "TFrm_SelectGoods.h"

#include <QHeaderView>
#include <QTabWidget>
#include <QToolButton>

// The goods picker behind the customer editor's "增行&L": narrowing the catalogue, choosing
// goods lines, and what the customer editor then writes or drops.
class TestGoodsPicker : public QObject
{
    Q_OBJECT

    static constexpr int GoodsPage = 1;

    // Opens the customer editor on its goods page and the picker from "增行&L", and runs
    // steps in the picker; then the editor's steps.
    static void pick(GoodsFixture &f, const char *command, const std::function<void(TFrm_SelectGoods *)> &pickerSteps,
                     const std::function<void(TFrm_AddCust *)> &editorSteps)
    {
        QVERIFY(withModal<TFrm_AddCust>([&] { f.command(command)->trigger(); }, [&](TFrm_AddCust *editor) {
            control<QTabWidget>(editor, "PageControl1")->setCurrentIndex(GoodsPage);
            auto *addLine = control<QToolButton>(editor, "Btn_AddLine");
            QVERIFY(addLine->isEnabled());
            QVERIFY(withModal<TFrm_SelectGoods>([addLine] { addLine->click(); }, pickerSteps));
            editorSteps(editor);
        }));
    }
    // Opens the picker from an editor of the current customer and runs steps in it.
    static void inPicker(GoodsFixture &f, const std::function<void(TFrm_SelectGoods *)> &steps)
    {
        pick(f, "EditCust", steps, [](TFrm_AddCust *) {});
    }
    static DataGrid *grid(TFrm_SelectGoods *picker) { return control<DataGrid>(picker, "DBGridEh1"); }
    static QString status(TFrm_SelectGoods *picker) { return control<QLabel>(picker, "StatusBar1")->text(); }
    static void doubleClickGoods(TFrm_SelectGoods *picker, const QString &code)
    {
        const int row = listed(grid(picker), "GoodsCode").indexOf(code);
        QVERIFY2(row >= 0, qPrintable(code));
        const QRect cell = grid(picker)->visualRect(grid(picker)->model()->index(row, 0));
        QTest::mouseClick(grid(picker)->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(grid(picker)->viewport(), Qt::LeftButton, {}, cell.center());
    }
    static void choose(TFrm_SelectGoods *picker, const QString &code)
    {
        QVERIFY(picker->goods()->locate(QStringLiteral("GoodsCode"), code));
        control<QPushButton>(picker, "Btn_Select")->click();
    }
    static const QStringList &everything()
    {
        static const QStringList codes = {"KF-35", "BCD-215", "CU-6", "P1", "P2", "P3", "P4"};
        return codes;
    }
    // Types key by key; a Chinese character comes as one key from the input method.
    static void typeKeys(QLineEdit *box, const QString &text)
    {
        for (const QChar c : text) {
            if (c.unicode() < 0x80)
                QTest::keyClick(box, c.toLatin1());
            else
                QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
    }
    static void addOddNames(GoodsFixture &f)
    {
        const QStringList names = {"50% 柜机", "a_b 挂机", "axb 挂机", "O'Neil"};
        for (int i = 0; i < names.size(); ++i)
            f.addGoods(QStringLiteral("P%1").arg(i + 1), names[i], QStringLiteral("02"));
    }

private slots:
    void choicesArePendingLinesUntilSaved_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("saved");
        TestHome::addEngineRows({"edit, saved", "edit, closed", "add, saved"}, [](QTestData &row, int i) {
            row << (i == 2 ? "AddCust" : "EditCust") << (i != 1);
        });
    }
    void choicesArePendingLinesUntilSaved()
    {
        QFETCH(QString, engine);
        QFETCH(QString, command);
        QFETCH(bool, saved);
        GoodsFixture f(engine);
        f.open();
        const int linesBefore = f.count(QStringLiteral("select count(*) from T_BillDetail"));
        MessageRecorder messages;
        QString batch;
        int shownBefore = 0;
        pick(f, qPrintable(command), [&](TFrm_SelectGoods *picker) {
            QCOMPARE(picker->windowTitle(), QStringLiteral("请选择设备"));
            QCOMPARE(status(picker), QStringLiteral("当前共有 3条设备记录"));
            QCOMPARE(control<QTreeWidget>(picker, "TreeView1")->topLevelItem(0)->text(0), QStringLiteral("供应商分类"));
            batch = Frm_AddCust->orderNumber();
            shownBefore = f.data.Qry_BillDetail->recordCount();
            choose(picker, QStringLiteral("KF-35"));
            doubleClickGoods(picker, QStringLiteral("BCD-215"));
            choose(picker, QStringLiteral("KF-35"));
            QVERIFY(picker->isVisible());
            QCOMPARE(control<QLabel>(picker, "Label_Chosen")->text(), QStringLiteral("已添加 3 条货品行"));
            // Nothing is written while choosing.
            QCOMPARE(f.count(QStringLiteral("select count(*) from T_BillDetail")), linesBefore);
        }, [&](TFrm_AddCust *editor) {
            DataSet *lines = f.data.Qry_BillDetail;
            QCOMPARE(lines->recordCount(), shownBefore + 3);
            QVERIFY(lines->hasPendingChanges());
            QCOMPARE(lines->value(QStringLiteral("GoodsCode")).toString(), QStringLiteral("KF-35"));
            if (saved) {
                control<QToolButton>(editor, "Btn_SaveLines")->click();
                // The lines stay in view once written, also for a customer not yet saved.
                QCOMPARE(lines->recordCount(), shownBefore + 3);
                QVERIFY(!lines->hasPendingChanges());
            }
            control<QPushButton>(editor, "Btn_Cancel")->click();
            QVERIFY(!editor->isVisible());
        });
        // Lines not written are not dropped without asking.
        QCOMPARE(messages.texts(), saved ? QStringList() : QStringList{RecordEditor::discardQuestion()});
        QVERIFY(batch.startsWith(QStringLiteral("AZ-")));
        QCOMPARE(f.count(QStringLiteral("select count(*) from T_BillDetail")), linesBefore + (saved ? 3 : 0));
        if (!saved)
            return;
        QStringList written;
        QVERIFY(f.data.RunQuery(f.data.Qry_Temp,
                                QStringLiteral("select GoodsCode, GoodsName, Number, Units, SalePrice from T_BillDetail "
                                               "where batch = :b and Number = 0 order by BillDetailID"),
                                {{":b", batch}}));
        for (int row = 0; row < f.data.Qry_Temp->recordCount(); ++row) {
            written << f.data.Qry_Temp->value(row, 0).toString() + QLatin1Char('/') + f.data.Qry_Temp->value(row, 1).toString();
            QVERIFY(f.data.Qry_Temp->value(row, 3).toString().isEmpty());
            QVERIFY(f.data.Qry_Temp->value(row, 4).isNull());
        }
        QCOMPARE(written, (QStringList{"KF-35/格力 KFR-35GW", "BCD-215/海尔 BCD-215", "KF-35/格力 KFR-35GW"}));
    }

    void filtersOnEveryKey_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("found");
        const QList<std::tuple<const char *, QString, QStringList>> cases = {
            {"model", "KF", {"KF-35"}},
            {"any letter case", "kfr-3", {"KF-35"}},
            {"Chinese", "挂机", {"P2", "P3"}},
            {"percent sign", "%", {"P1"}},
            {"underscore", "_", {"P2"}},
            {"quote", "'", {"P4"}},
            {"nothing", "KF-99", {}},
        };
        for (const QString &engine : TestHome::engines()) {
            for (const auto &[name, typed, found] : cases)
                QTest::newRow(qPrintable(engine + QLatin1Char('/') + QLatin1String(name))) << engine << typed << found;
        }
    }
    void filtersOnEveryKey()
    {
        QFETCH(QString, engine);
        QFETCH(QString, typed);
        QFETCH(QStringList, found);
        GoodsFixture f(engine);
        addOddNames(f);
        f.open();
        inPicker(f, [&](TFrm_SelectGoods *picker) {
            auto *model = control<QLineEdit>(picker, "Edit_Name");
            QCOMPARE(listed(grid(picker), "GoodsCode"), everything());
            typeKeys(model, typed);
            QCOMPARE(listed(grid(picker), "GoodsCode"), found);
            QCOMPARE(status(picker), QStringLiteral("当前共有 %1 条设备记录").arg(found.size()));
            // Erased key by key, the list is whole again.
            for (int i = 0; i < typed.size(); ++i)
                QTest::keyClick(model, Qt::Key_Backspace);
            QCOMPARE(model->text(), QString());
            QCOMPARE(listed(grid(picker), "GoodsCode"), everything());
        });
    }

    void categoryThenTyping_data() { TestHome::addEngineRows(); }
    void categoryThenTyping()
    {
        QFETCH(QString, engine);
        GoodsFixture f(engine);
        f.open();
        inPicker(f, [&](TFrm_SelectGoods *picker) {
            auto *tree = control<QTreeWidget>(picker, "TreeView1");
            doubleClickNode(tree, QStringLiteral("01-"));
            QCOMPARE(listed(grid(picker), "GoodsCode"), (QStringList{"BCD-215", "KF-35"}));
            QCOMPARE(status(picker), QStringLiteral("当前共有 2 条设备记录"));
            doubleClickNode(tree, QStringLiteral("供应商分类"));
            QCOMPARE(listed(grid(picker), "GoodsCode"), (QStringList{"BCD-215", "CU-6", "KF-35"}));
            doubleClickNode(tree, QStringLiteral("0101-"));
            // The typed model replaces the category.
            typeKeys(control<QLineEdit>(picker, "Edit_Name"), QStringLiteral("铜"));
            QCOMPARE(listed(grid(picker), "GoodsCode"), QStringList{"CU-6"});
        });
    }

    void choosingFromAnEmptyList_data() { TestHome::addEngineRows(); }
    void choosingFromAnEmptyList()
    {
        QFETCH(QString, engine);
        GoodsFixture f(engine);
        f.open();
        MessageRecorder messages;
        inPicker(f, [&](TFrm_SelectGoods *picker) {
            const int shown = f.data.Qry_BillDetail->recordCount();
            typeKeys(control<QLineEdit>(picker, "Edit_Name"), QStringLiteral("无此型号"));
            control<QPushButton>(picker, "Btn_Select")->click();
            QCOMPARE(messages.texts(), QStringList{"没有货品！"});
            QCOMPARE(messages.messages().first().kind, MessageBoxes::Kind::Plain);
            QCOMPARE(f.data.Qry_BillDetail->recordCount(), shown);
        });
    }

    void newGoodsShowAfterRefresh_data() { TestHome::addEngineRows(); }
    void newGoodsShowAfterRefresh()
    {
        QFETCH(QString, engine);
        GoodsFixture f(engine);
        f.open();
        inPicker(f, [&](TFrm_SelectGoods *picker) {
            QCOMPARE(control<QToolButton>(picker, "BitBtn1")->defaultAction(), f.command("AddGoods"));
            QVERIFY(withModal<TFrm_AddGoods>([&] { control<QToolButton>(picker, "BitBtn1")->click(); },
                                             [](TFrm_AddGoods *editor) {
                                                 // No goods window: no category.
                                                 QCOMPARE(control<QLineEdit>(editor, "Edit_Category")->text(), QString());
                                                 typeInto(control<QLineEdit>(editor, "Edit_GoodsCode"), QStringLiteral("KF-72"));
                                                 typeInto(control<QLineEdit>(editor, "Edit_GoodsName"), QStringLiteral("格力 KFR-72LW"));
                                                 control<QPushButton>(editor, "Btn_OK")->click();
                                             }));
            QCOMPARE(listed(grid(picker), "GoodsCode").size(), 3);
            control<QPushButton>(picker, "BitBtn2")->click();
            QCOMPARE(listed(grid(picker), "GoodsCode").last(), QStringLiteral("KF-72"));
            QCOMPARE(status(picker), QStringLiteral("当前共有 4 条设备记录"));
        });
        QCOMPARE(f.scalar(QStringLiteral("select Category from T_Goods where GoodsCode = 'KF-72'")).toString(), QString());
    }

    void sortsByMarkersAndKeepsColumns_data() { TestHome::addEngineRows(); }
    void sortsByMarkersAndKeepsColumns()
    {
        QFETCH(QString, engine);
        GoodsFixture f(engine);
        f.addGoods(QStringLiteral("KF-26"), QStringLiteral("格力 KFR-26GW"), QStringLiteral("0101"));
        f.run(QStringLiteral("update T_Goods set SalePrice = 2000 where GoodsCode in ('KF-26', 'CU-6')"));
        f.open();
        inPicker(f, [&](TFrm_SelectGoods *picker) {
            DataGrid *goods = grid(picker);
            const auto column = [goods](const char *field) {
                for (int c = 0; c < goods->shownColumnCount(); ++c) {
                    if (goods->columnField(c).compare(QLatin1String(field), Qt::CaseInsensitive) == 0)
                        return c;
                }
                return -1;
            };
            // Price descending, then code: two markers.
            goods->clickTitle(column("SalePrice"), false);
            goods->clickTitle(column("SalePrice"), false);
            goods->clickTitle(column("GoodsCode"), true);
            QCOMPARE(listed(goods, "GoodsCode"), (QStringList{"CU-6", "KF-26", "BCD-215", "KF-35"}));
            // Filtering keeps the order.
            typeKeys(control<QLineEdit>(picker, "Edit_Name"), QStringLiteral("格力"));
            QCOMPARE(listed(goods, "GoodsCode"), (QStringList{"KF-26", "KF-35"}));
            goods->horizontalHeader()->moveSection(column("Memo"), 0);
        });
        QCOMPARE(f.scalar(QStringLiteral("select ShowID from T_FieldShow where TableName = 'SelectGoods' and Field = 'Memo'")).toInt(), 0);
    }

    void noLinesWithoutAnOrderNumber_data() { TestHome::addEngineRows(); }
    void noLinesWithoutAnOrderNumber()
    {
        QFETCH(QString, engine);
        GoodsFixture f(engine);
        f.run(QStringLiteral("insert into custom (CustCode, Company, batch, f_user) values ('K3', '李四', '', 'Admin')"));
        f.open(QStringLiteral("Admin"), QStringLiteral("K3"));
        MessageRecorder messages;
        QVERIFY(withModal<TFrm_AddCust>([&] { f.command("EditCust")->trigger(); }, [&](TFrm_AddCust *editor) {
            control<QTabWidget>(editor, "PageControl1")->setCurrentIndex(GoodsPage);
            control<QToolButton>(editor, "Btn_AddLine")->click();
            QVERIFY(!Frm_SelectGoods);
        }));
        QCOMPARE(messages.texts(), QStringList{"该用户没有安装单号，不能增加货品行!"});
    }
};

QTEST_MAIN(TestGoodsPicker)
#include "TestGoodsPicker.moc"
