#include "DataGrid.h"
#include "ListComboBox.h"
#include "MessageRecorder.h"
#include "ReferenceLists.h"
#include "Session.h"
#include "TFrm_Data.h"
#include "TFrm_Other.h"
#include "TestHome.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

// The reference lists window as an operator uses it, and the drop-downs fed from the lists.
class TestReferenceLists : public QObject
{
    Q_OBJECT

    struct Fixture
    {
        explicit Fixture(const QString &engine, bool mayDelete = true) : home(engine), data(home.path())
        {
            if (!mayDelete)
                QVERIFY(data.RunStatement(data.Qry_Str,
                                          QStringLiteral("update T_UserAuthority set Authority = :no where UserName = 'Admin' and Code = '0608'"),
                                          {{":no", false}}));
            session.logIn(QStringLiteral("Admin"));
            QVERIFY(session.loadPermissions(data));
        }
        TestHome home;
        TFrm_Data data;
        Session session;

        // The entries as stored, in the order they were added; NULL shows as "<null>".
        QStringList stored(const QString &table)
        {
            QStringList names;
            if (!data.RunQuery(data.Qry_Temp, QStringLiteral("select name from %1 order by id").arg(table)))
                return {QStringLiteral("<error>")};
            for (int row = 0; row < data.Qry_Temp->recordCount(); ++row) {
                const QVariant name = data.Qry_Temp->value(row, 0);
                names << (name.isNull() ? QStringLiteral("<null>") : name.toString());
            }
            return names;
        }

        void insert(const QString &table, const QVariantList &names)
        {
            for (const QVariant &name : names)
                QVERIFY(data.RunStatement(data.Qry_Str, QStringLiteral("insert into %1 (name) values (:n)").arg(table), {{":n", name}}));
        }
    };

    static QTabWidget *pages(QWidget *window) { return window->findChild<QTabWidget *>(QStringLiteral("PageControl1")); }
    static QToolButton *button(QWidget *window, const char *name) { return window->findChild<QToolButton *>(QString::fromLatin1(name)); }
    static DataGrid *currentGrid(QWidget *window) { return pages(window)->currentWidget()->findChild<DataGrid *>(); }

    static void clickPage(QWidget *window, int page)
    {
        QTabBar *bar = pages(window)->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(page).center());
    }

    static void clickRow(DataGrid *grid, int row)
    {
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(row, 0)).center());
    }

    static QStringList shown(const DataGrid *grid)
    {
        QStringList rows;
        for (int row = 0; row < grid->model()->rowCount(); ++row)
            rows << grid->model()->index(row, 0).data().toString();
        return rows;
    }

    static QStringList titles(const DataGrid *grid)
    {
        QStringList list;
        for (int c = 0; c < grid->shownColumnCount(); ++c)
            list << grid->columnTitle(c);
        return list;
    }

    // Text as an input method hands it to a control: the way Chinese text is typed.
    static void type(QWidget *control, const QString &text)
    {
        QInputMethodEvent event;
        event.setCommitString(text);
        QApplication::sendEvent(control, &event);
    }

    // Lets the event loop run what the operator's last action left for it.
    static void settle() { QCoreApplication::processEvents(); }

    // Opens the name cell's editor with a double-click and replaces its text; Enter, when
    // asked for, closes the editor.
    static void typeInCell(DataGrid *grid, int row, const QString &text, bool enter = false)
    {
        const QModelIndex index = grid->model()->index(row, 0);
        const QPoint cell = grid->visualRect(index).center();
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell);
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell);
        auto *editor = qobject_cast<QLineEdit *>(grid->indexWidget(index));
        QVERIFY(editor);
        QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
        type(editor, text);
        if (enter) {
            QTest::keyClick(editor, Qt::Key_Return);
            settle();
            QVERIFY(!grid->indexWidget(index));
        }
    }

    // Runs check on the modal list window once it shows, then closes it with its exit button.
    void whileModal(std::function<void(TFrm_Other *)> check)
    {
        QTimer::singleShot(0, this, [check] {
            auto *window = qobject_cast<TFrm_Other *>(QApplication::activeModalWidget());
            if (window)
                check(window);
            if (QWidget *modal = QApplication::activeModalWidget()) {
                if (QToolButton *exit = button(modal, "ToolButton6"))
                    exit->click();
                else
                    modal->close();
            }
            QVERIFY2(window, "no modal list window");
        });
    }

    static void dropDown(QComboBox *combo)
    {
        QTest::keyClick(combo, Qt::Key_Down, Qt::AltModifier);
        QVERIFY(combo->view()->isVisible());
    }

    static QStringList items(const QComboBox *combo)
    {
        QStringList list;
        for (int i = 0; i < combo->count(); ++i)
            list << combo->itemText(i);
        return list;
    }

private slots:
    void commandOpensOnTheServiceTypes_data() { TestHome::addEngineRows(); }
    void commandOpensOnTheServiceTypes()
    {
        QFETCH(QString, engine);
        Fixture f(engine);
        const QStringList serviceTypes = f.stored(QStringLiteral("Dict_leibie"));
        whileModal([&](TFrm_Other *window) {
            QCOMPARE(Frm_Other.data(), window);
            QCOMPARE(window->windowTitle(), QStringLiteral("其它管理"));
            QCOMPARE(window->size(), QSize(778, 281));
            QCOMPARE(button(window, "ToolButton1")->text(), QStringLiteral("添加"));
            QCOMPARE(button(window, "ToolButton3")->text(), QStringLiteral("删除"));
            QCOMPARE(button(window, "ToolButton6")->text(), QStringLiteral("  退出  "));
            QCOMPARE(pages(window)->currentWidget()->objectName(), QStringLiteral("TS_Country"));
            DataGrid *grid = currentGrid(window);
            QCOMPARE(grid->objectName(), QStringLiteral("DBGridEh1"));
            QCOMPARE(titles(grid), QStringList{"名称"});
            QCOMPARE(shown(grid), serviceTypes);
        });
        TFrm_Other::M_Other(f.data, f.session, nullptr);
        QVERIFY(!Frm_Other);
    }

    void everyPageShowsItsList_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("sheet");
        QTest::addColumn<QString>("grid");
        QTest::addColumn<QString>("table");
        const QList<QStringList> pageTable = {
            {"服务类型", "TS_Country", "DBGridEh1", "Dict_leibie"},
            {"品牌", "TS_Depart", "DBGridEh3", "Dict_modle"},
            {"赠品", "TS_CustFrom", "DBGridEh4", "Dict_custfrom"},
            {"安装部", "TS_CustType", "DBGridEh5", "Dict_custType"},
            {"安装员", "TS_people", "DBGridEh7", "Dict_people"},
            {"维修人员", "TS_gong", "DBGridEh8", "Dict_CustLevel"},
            {"购买地点", "TS_place", "DBGridEh9", "Dict_place"},
            {"投诉级别", "TS_level", "DBGridEh10", "Dict_tslevel"},
            {"故障原因", "TS_yuanyin", "DBGridEh2", "Dict_yuanyin"},
            {"服务项目", "TabSheet1", "DBGridEh6", "Dict_lx"},
        };
        QStringList cases;
        for (const QStringList &p : pageTable)
            cases << p[0];
        TestHome::addEngineRows(cases, [&](QTestData &row, int i) {
            row << i << pageTable[i][0] << pageTable[i][1] << pageTable[i][2] << pageTable[i][3];
        });
    }
    void everyPageShowsItsList()
    {
        QFETCH(QString, engine);
        QFETCH(int, page);
        QFETCH(QString, caption);
        QFETCH(QString, sheet);
        QFETCH(QString, grid);
        QFETCH(QString, table);
        Fixture f(engine);
        // The lists that a new database leaves empty get an entry, so no page shows another's rows.
        if (f.stored(table).isEmpty())
            f.insert(table, {caption + QStringLiteral("甲")});
        const QStringList before = f.stored(table);
        TFrm_Other window(f.data, f.session);
        window.show();
        clickPage(&window, page);
        QCOMPARE(pages(&window)->tabText(page), caption);
        QCOMPARE(pages(&window)->currentWidget()->objectName(), sheet);
        DataGrid *view = currentGrid(&window);
        QCOMPARE(view->objectName(), grid);
        QCOMPARE(titles(view), QStringList{"名称"});
        QCOMPARE(shown(view), before);

        // Adding works on every page.
        button(&window, "ToolButton1")->click();
        QCOMPARE(f.stored(table), before + QStringList{""});
    }

    void emptyListShowsItsColumnsAndTakesEntries_data() { TestHome::addEngineRows(); }
    void emptyListShowsItsColumnsAndTakesEntries()
    {
        QFETCH(QString, engine);
        Fixture f(engine);
        QVERIFY(f.stored(QStringLiteral("Dict_people")).isEmpty());
        TFrm_Other window(f.data, f.session);
        window.show();
        clickPage(&window, 4);
        DataGrid *grid = currentGrid(&window);
        QCOMPARE(titles(grid), QStringList{"名称"});
        QCOMPARE(grid->model()->rowCount(), 0);
        button(&window, "ToolButton1")->click();
        typeInCell(grid, 0, QStringLiteral("王师傅"));
        button(&window, "ToolButton6")->click();
        QCOMPARE(f.stored(QStringLiteral("Dict_people")), QStringList{"王师傅"});
    }

    void callerOpensTheWindowAtItsList_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("table");
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("storedName");
        const QStringList cases = {"brands", "brands in other letter case", "installation departments", "service types"};
        TestHome::addEngineRows(cases, [](QTestData &row, int i) {
            switch (i) {
            case 0: row << "Dict_modle" << 1 << "品牌" << "Dict_modle"; break;
            case 1: row << "dict_MODLE" << 1 << "品牌" << "Dict_modle"; break;
            case 2: row << "Dict_Custtype" << 3 << "安装部" << "Dict_custType"; break;
            case 3: row << "Dict_leibie" << 0 << "服务类型" << "Dict_leibie"; break;
            }
        });
    }
    void callerOpensTheWindowAtItsList()
    {
        QFETCH(QString, engine);
        QFETCH(QString, table);
        QFETCH(int, page);
        QFETCH(QString, caption);
        QFETCH(QString, storedName);
        Fixture f(engine);
        const QStringList entries = f.stored(storedName);
        TFrm_Other::installEditorOpener(f.data, f.session);
        QWidget editor;
        whileModal([&](TFrm_Other *window) {
            QCOMPARE(window->parentWidget(), &editor);
            QCOMPARE(pages(window)->currentIndex(), page);
            QCOMPARE(pages(window)->tabText(page), caption);
            QCOMPARE(shown(currentGrid(window)), entries);
            QCOMPARE(titles(currentGrid(window)), QStringList{"名称"});
        });
        // What an editor's list button does.
        ReferenceLists::openEditor(&editor, table);
        ReferenceLists::setEditorOpener({});
        QVERIFY(!Frm_Other);
    }

    void addTwiceWithoutTyping_data() { TestHome::addEngineRows(); }
    void addTwiceWithoutTyping()
    {
        QFETCH(QString, engine);
        Fixture f(engine);
        const QStringList before = f.stored(QStringLiteral("Dict_modle"));
        TFrm_Other window(f.data, f.session);
        window.show();
        clickPage(&window, 1);
        DataGrid *grid = currentGrid(&window);
        clickRow(grid, 2);
        button(&window, "ToolButton1")->click();
        button(&window, "ToolButton1")->click();
        settle();
        // Two entries of empty text, not NULL; nothing prevents it.
        QCOMPARE(f.stored(QStringLiteral("Dict_modle")), (before + QStringList{"", ""}));
        QCOMPARE(shown(grid), (before + QStringList{"", ""}));
        // The last one added is under the cursor, ready for its text.
        QCOMPARE(grid->currentIndex().row(), before.size() + 1);
        QVERIFY(f.data.RunQuery(f.data.Qry_Temp, QStringLiteral("select max(id) from Dict_modle")));
        QCOMPARE(f.data.Qry_Other->value(QStringLiteral("id")).toInt(), f.data.Qry_Temp->value(0, 0).toInt());
    }

    void deleteAsksFirst_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<QString>("current");
        TestHome::addEngineRows({"yes", "no"}, [](QTestData &row, int i) {
            if (i == 0)
                row << int(QMessageBox::Yes) << QStringList{"安装", "维修", "保养", "清洗"} << "保养";
            else
                row << int(QMessageBox::No) << QStringList{"安装", "维修", "移机", "保养", "清洗"} << "移机";
        });
    }
    void deleteAsksFirst()
    {
        QFETCH(QString, engine);
        QFETCH(int, answer);
        QFETCH(QStringList, after);
        QFETCH(QString, current);
        Fixture f(engine);
        QCOMPARE(f.stored(QStringLiteral("Dict_leibie")), (QStringList{"安装", "维修", "移机", "保养", "清洗"}));
        TFrm_Other window(f.data, f.session);
        window.show();
        DataGrid *grid = currentGrid(&window);
        clickRow(grid, 2);
        MessageRecorder messages;
        messages.answerNext(QMessageBox::StandardButton(answer));
        button(&window, "ToolButton3")->click();
        settle();

        QCOMPARE(messages.texts(), QStringList{"您确定要删除这条记录吗？"});
        QCOMPARE(messages.messages().first().caption, QStringLiteral("删除记录"));
        QCOMPARE(messages.messages().first().icon, QMessageBox::Information);
        QCOMPARE(messages.messages().first().buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(f.stored(QStringLiteral("Dict_leibie")), after);
        QCOMPARE(shown(grid), after);
        QCOMPARE(grid->currentIndex().data().toString(), current);
    }

    void deleteNeedsSlot33_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<bool>("granted");
        TestHome::addEngineRows({"granted", "not granted"}, [](QTestData &row, int i) { row << (i == 0); });
    }
    void deleteNeedsSlot33()
    {
        QFETCH(QString, engine);
        QFETCH(bool, granted);
        Fixture f(engine, granted);
        QCOMPARE(f.session.permission(33), granted);
        TFrm_Other window(f.data, f.session);
        window.show();
        QCOMPARE(button(&window, "ToolButton3")->isEnabled(), granted);
        QVERIFY(button(&window, "ToolButton1")->isEnabled());
        QVERIFY(button(&window, "ToolButton6")->isEnabled());
    }

    void typedTextIsStoredWhenTheRowIsLeft_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<int>("leave");
        TestHome::addEngineRows({"another row", "another page", "closing", "a new entry"},
                                [](QTestData &row, int i) { row << i; });
    }
    void typedTextIsStoredWhenTheRowIsLeft()
    {
        enum { OtherRow, OtherPage, Closing, NewEntry };
        QFETCH(QString, engine);
        QFETCH(int, leave);
        Fixture f(engine);
        QStringList expected = f.stored(QStringLiteral("Dict_leibie"));
        const QString typed = QStringLiteral(" 上门 安装 ");
        TFrm_Other window(f.data, f.session);
        window.show();
        DataGrid *grid = currentGrid(&window);
        int row = 1;
        if (leave == NewEntry) {
            button(&window, "ToolButton1")->click();
            row = expected.size();
            expected << QString();
        }
        // Enter closes the cell editor; leaving the page or the window finds it still open.
        typeInCell(grid, row, typed, leave == OtherRow || leave == NewEntry);
        settle();
        // Nothing is stored while the cursor stays in the row.
        QCOMPARE(f.stored(QStringLiteral("Dict_leibie")), expected);

        expected[row] = typed;
        switch (leave) {
        case OtherRow:
        case NewEntry:
            clickRow(grid, 3);
            settle();
            // The cursor stays where the operator put it.
            QCOMPARE(f.data.Qry_Other->value(QStringLiteral("name")).toString(), expected[3]);
            QCOMPARE(grid->currentIndex().row(), 3);
            QCOMPARE(shown(grid), expected);
            break;
        case OtherPage:
            clickPage(&window, 1);
            settle();
            QCOMPARE(shown(currentGrid(&window)), f.stored(QStringLiteral("Dict_modle")));
            break;
        case Closing:
            button(&window, "ToolButton6")->click();
            QVERIFY(!window.isVisible());
            break;
        }
        QCOMPARE(f.stored(QStringLiteral("Dict_leibie")), expected);
    }

    void dropDownOffersTrimmedEntriesAndKeepsTheText_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("nonBlank");
        QTest::addColumn<QStringList>("offered");
        const QStringList all = {"本店", "商场专柜", "网上商城", "前有空格", "后有空格", "中 间", "", "", ""};
        const QStringList nonBlank = {"本店", "商场专柜", "网上商城", "前有空格", "后有空格", "中 间"};
        TestHome::addEngineRows({"nothing typed", "text of no entry", "text of an entry", "blank text", "blank entries left out"},
                                [&](QTestData &row, int i) {
            switch (i) {
            case 0: row << "" << false << all; break;
            case 1: row << "朋友家 " << false << all; break;
            case 2: row << "商场专柜" << false << all; break;
            case 3: row << "  " << false << all; break;
            case 4: row << "朋友家" << true << nonBlank; break;
            }
        });
    }
    void dropDownOffersTrimmedEntriesAndKeepsTheText()
    {
        QFETCH(QString, engine);
        QFETCH(QString, typed);
        QFETCH(bool, nonBlank);
        QFETCH(QStringList, offered);
        Fixture f(engine);
        f.insert(QStringLiteral("Dict_place"), {QStringLiteral("  前有空格"), QStringLiteral("后有空格  "),
                                                QStringLiteral(" 中 间 "), QStringLiteral(""), QStringLiteral("   "), QVariant()});
        ListComboBox combo;
        combo.setList(f.data, QStringLiteral("dict_place"),
                      nonBlank ? ReferenceLists::Entries::NonBlank : ReferenceLists::Entries::All);
        combo.show();
        type(combo.lineEdit(), typed);
        dropDown(&combo);
        QCOMPARE(items(&combo), offered);
        QCOMPARE(combo.currentText(), typed);
        combo.hidePopup();
        QCOMPARE(combo.currentText(), typed);
        QCOMPARE(QApplication::overrideCursor(), nullptr);
    }

    void dropDownReadsTheListAfresh_data() { TestHome::addEngineRows(); }
    void dropDownReadsTheListAfresh()
    {
        QFETCH(QString, engine);
        Fixture f(engine);
        QVERIFY(f.data.RunStatement(f.data.Qry_Str, QStringLiteral("insert into custom (CustCode, model) values ('K1', '美的')")));
        ListComboBox combo;
        combo.setList(f.data, QStringLiteral("Dict_modle"));
        combo.show();
        type(combo.lineEdit(), QStringLiteral("美的"));
        dropDown(&combo);
        QVERIFY(items(&combo).contains(QStringLiteral("美的")));
        combo.hidePopup();

        {
            TFrm_Other window(f.data, f.session);
            window.show();
            clickPage(&window, 1);
            DataGrid *grid = currentGrid(&window);
            QCOMPARE(shown(grid).indexOf(QStringLiteral("美的")), 1);
            clickRow(grid, 1);
            MessageRecorder messages;
            button(&window, "ToolButton3")->click();
            button(&window, "ToolButton1")->click();
            typeInCell(grid, grid->model()->rowCount() - 1, QStringLiteral(" 新牌子 "));
            button(&window, "ToolButton6")->click();
        }

        dropDown(&combo);
        QVERIFY(!items(&combo).contains(QStringLiteral("美的")));
        QCOMPARE(items(&combo).last(), QStringLiteral("新牌子"));
        QCOMPARE(combo.currentText(), QStringLiteral("美的"));
        combo.hidePopup();
        // Records hold the text, not the entry: deleting the entry leaves them as they were.
        QVERIFY(f.data.RunQuery(f.data.Qry_Temp, QStringLiteral("select model from custom where CustCode = 'K1'")));
        QCOMPARE(f.data.Qry_Temp->value(0, 0).toString(), QStringLiteral("美的"));
    }

    void onlyTheListTablesAreRead_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("table");
        TestHome::addEngineRows({"another table", "statement text", "empty"}, [](QTestData &row, int i) {
            row << QStringList{"admin", "Dict_modle; delete from admin", ""}[i];
        });
    }
    void onlyTheListTablesAreRead()
    {
        QFETCH(QString, engine);
        QFETCH(QString, table);
        Fixture f(engine);
        const auto operators = [&f] {
            QStringList names;
            f.data.RunQuery(f.data.Qry_Temp, QStringLiteral("select UserName from admin order by UserID"));
            for (int row = 0; row < f.data.Qry_Temp->recordCount(); ++row)
                names << f.data.Qry_Temp->value(row, 0).toString();
            return names;
        };
        const QStringList before = operators();
        QVERIFY(!before.isEmpty());
        QComboBox combo;
        combo.addItems({QStringLiteral("甲"), QStringLiteral("乙")});
        MessageRecorder messages;
        QVERIFY(!ReferenceLists::fillComboBox(f.data, &combo, table));
        QCOMPARE(items(&combo), (QStringList{"甲", "乙"}));
        QVERIFY(messages.messages().isEmpty());
        QCOMPARE(operators(), before);
    }
};

QTEST_MAIN(TestReferenceLists)
#include "TestReferenceLists.moc"
