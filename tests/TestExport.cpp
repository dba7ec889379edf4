#include "CustomerGenerator.h"
#include "DataGrid.h"
#include "FileDialogRecorder.h"
#include "GridColumns.h"
#include "GridExport.h"
#include "GridSheet.h"
#include "OpenedUrls.h"
#include "ServiceFixture.h"
#include "SheetCells.h"
#include "WorkbookReader.h"

#include <QDir>
#include <QHeaderView>
#include <QTemporaryDir>

// Exporting a grid: the cell-record stream byte for byte, the columns and rows written, the
// file names, the refusals, the other two formats, and the commands that export.
class TestExport : public QObject
{
    Q_OBJECT

    struct Fixture
    {
        explicit Fixture(const QString &engine) : home(engine), data(home.path())
        {
            // A small grid: text, floating, integer and text columns and a summed one.
            const char *const columns[][3] = {
                {"CustCode", "编号", "0"}, {"retail", "单价", "0"}, {"number", "数量", "0"}, {"Tel", "电话", "0"}, {"money", "金额", "1"}};
            int position = 0;
            for (const auto &c : columns)
                run(QStringLiteral("insert into T_FieldShow (TableName, Field, Name, Width, ShowID, Show, SumField, ShowButton) "
                                   "values ('ExportTest', :f, :n, 80, :p, 1, :s, 0)"),
                    {{":f", c[0]}, {":n", QString::fromUtf8(c[1])}, {":p", position++}, {":s", QString::fromLatin1(c[2]).toInt()}});
            run(QStringLiteral("insert into custom (CustCode, retail, number, Tel, money, buydate) values "
                               "('K1', 12.5, 3, NULL, 100, :d)"),
                {{":d", QDateTime(QDate(2024, 1, 5), QTime(0, 0))}});
            run(QStringLiteral("insert into custom (CustCode, retail, number, Tel, money, buydate) values "
                               "('K2', 2, -1, '0731', 50.25, :d)"),
                {{":d", QDateTime(QDate(2023, 12, 31), QTime(8, 30))}});
            QVERIFY(data.RunQuery(data.Qry_Cust, QStringLiteral("select * from custom order by CustCode")));
            layOut();
            grid.setFooterVisible(true);
        }

        void layOut()
        {
            QVERIFY(GridColumns::BuildGridColumns(data, &grid, data.Qry_Cust, QStringLiteral("ExportTest")));
            grid.setFooterText(0, QStringLiteral("总计"));
        }

        void run(const QString &sql, const QVariantMap &binds = {}) { QVERIFY(data.RunStatement(data.Qry_Str, sql, binds)); }

        // Exports the grid with the operator choosing name and filter; the path of the file.
        QString exportAs(const QString &name, const QString &filter = QString())
        {
            dialogs.answerNext(folder.filePath(name), filter);
            ExportGridToExcel(data.Qry_Cust, &grid);
            return messages.messages().isEmpty() ? QString() : messages.lastText();
        }

        TestHome home;
        TFrm_Data data;
        DataGrid grid;
        QTemporaryDir folder;
        FileDialogRecorder dialogs;
        MessageRecorder messages;
        OpenedUrls opened;
    };

    static QByteArray content(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static QList<QStringList> readBack(const QString &path)
    {
        SheetCells cells;
        QString error;
        if (!WorkbookReader::read(path, cells, &error))
            qWarning("%s", qPrintable(error));
        QList<QStringList> rows;
        for (int row = 0; row < cells.rowCount(); ++row)
            rows << cells.row(row);
        return rows;
    }

    // The entry of a pop-up menu or of one of its submenus.
    static QAction *entry(QMenu *menu, const char *name)
    {
        for (QAction *action : menu->actions()) {
            if (action->objectName() == QLatin1String(name))
                return action;
            if (action->menu()) {
                if (QAction *inner = entry(action->menu(), name))
                    return inner;
            }
        }
        return nullptr;
    }

    static QString question(const QString &path)
    {
        return QStringLiteral("文件") + QDir::toNativeSeparators(path) + QStringLiteral("已建立，是否打开文件？");
    }

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    }

    void init()
    {
        ExportFileName().clear();
    }

    // The stream of a small grid, record by record as the file format defines them: title
    // row, a text, floating number, RK integer, blank and text cell per record, the footer.
    void cellRecordStreamBytes_data() { TestHome::addEngineRows(); }
    void cellRecordStreamBytes()
    {
        QFETCH(QString, engine);
        Fixture f(engine);
        const QString path = f.folder.filePath(QStringLiteral("report.xls"));
        QCOMPARE(f.exportAs(QStringLiteral("report")), question(path));
        const QByteArray expected = QByteArray::fromHex(
            "090808000000100000000000"                     // BOF: worksheet
            "04020c000000000000000400b1e0bac5"             // 编号
            "04020c000000010000000400b5a5bcdb"             // 单价
            "04020c000000020000000400cafdc1bf"             // 数量
            "04020c000000030000000400b5e7bbb0"             // 电话
            "04020c000000040000000400bdf0b6ee"             // 金额
            "04020a0001000000000002004b31"                 // K1
            "03020e000100010000000000000000002940"         // 12.5
            "7e020a000100020000000e000000"                 // 3 as 3 * 4 + 2
            "01020600010003001700"                         // blank, format 0x17
            "03020e000100040000000000000000005940"         // 100
            "04020a0002000000000002004b32"                 // K2
            "03020e000200010000000000000000000040"         // 2
            "7e020a00020002000000feffffff"                 // -1
            "04020c00020003000000040030373331"             // 0731
            "03020e000200040000000000000000204940"         // 50.25
            "04020c000300000000000400d7dcbcc6"             // 总计
            "040208000300010000000000"                     // footers without text
            "040208000300020000000000"
            "040208000300030000000000"
            "03020e000300040000000000000000c86240"         // the sum, 150.25
            "0a000000");                                   // EOF
        QCOMPARE(content(path).toHex(), expected.toHex());
        QCOMPARE(f.dialogs.requests().size(), 1);
        QCOMPARE(f.dialogs.requests()[0].filters.value(0), QStringLiteral("EXCEL文件(*.xls)"));
        QCOMPARE(f.messages.messages().last().icon, QMessageBox::Information);
        QCOMPARE(f.messages.messages().last().buttons, QMessageBox::Ok | QMessageBox::Cancel);
    }

    // Every record of the data set, not only those loaded: more rows than a window of the set.
    void everyRecordInTheGridsOrder_data() { TestHome::addEngineRows(); }
    void everyRecordInTheGridsOrder()
    {
        QFETCH(QString, engine);
        Fixture f(engine);
        QVERIFY(generateCustomers(f.data.database(), DataSet::PageSize * 3 + 7));
        f.data.Qry_Cust->reopen();
        // By code, descending, as the operator sorted it.
        f.grid.clickTitle(0, false);
        f.grid.clickTitle(0, false);
        GridColumns::SortByTitleMarkers(&f.grid, f.data.Qry_Cust);
        const QString path = f.folder.filePath(QStringLiteral("all.csv"));
        f.exportAs(QStringLiteral("all"), QStringLiteral("CSV 文件 (*.csv)"));
        const QList<QStringList> rows = readBack(path);
        QCOMPARE(rows.size(), 1 + 2 + DataSet::PageSize * 3 + 7 + 1);
        QCOMPARE(rows.value(1).value(0), QStringLiteral("K2"));
        QCOMPARE(rows.value(2).value(0), QStringLiteral("K1"));
        QCOMPARE(rows.last().value(0), QStringLiteral("总计"));
    }

    // Hidden columns stay out; the columns go in the order the operator sees them.
    void shownColumnsInScreenOrder_data() { TestHome::addEngineRows(); }
    void shownColumnsInScreenOrder()
    {
        QFETCH(QString, engine);
        Fixture f(engine);
        f.run(QStringLiteral("update T_FieldShow set Show = 0 where TableName = 'ExportTest' and Field = 'Tel'"));
        f.layOut();
        f.grid.horizontalHeader()->moveSection(3, 0);   // the sum column to the front
        f.grid.setColumnHidden(3, true);                // the quantity hidden on screen
        f.grid.clearFooterTexts();
        f.grid.setFooterText(1, QStringLiteral("总计"));
        const QString path = f.folder.filePath(QStringLiteral("columns.xls"));
        f.exportAs(QStringLiteral("columns"));
        QCOMPARE(readBack(path), (QList<QStringList>{{"金额", "编号", "单价"}, {"100", "K1", "12.5"},
                                                     {"50.25", "K2", "2"}, {"150.25", "总计", ""}}));
    }

    void fileNames_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("saved");
        QTest::addColumn<QByteArray>("magic");
        const QByteArray stream("\x09\x08\x08\x00", 4), zip("PK\x03\x04"), bom("\xEF\xBB\xBF");
        const QString xls = QStringLiteral("EXCEL文件(*.xls)");
        const QString xlsx = QStringLiteral("Excel 工作簿 (*.xlsx)");
        const QString csv = QStringLiteral("CSV 文件 (*.csv)");
        const QList<std::tuple<QString, QString, QString, QByteArray>> cases = {
            {"report", xls, "report.xls", stream},
            // The search for ".xls" is case-sensitive.
            {"Report.XLS", xls, "Report.XLS.xls", stream},
            // ".xls" occurs in the name: it stays, and the file is the workbook it names.
            {"a.xlsx", xls, "a.xlsx", zip},
            {"  report  ", xls, "report.xls", stream},
            {"report", xlsx, "report.xlsx", zip},
            {"名单", csv, "名单.csv", bom},
        };
        TestHome::addEngineRows({"report", "Report.XLS", "a.xlsx", "blanks", "xlsx", "csv"}, [&](QTestData &row, int i) {
            row << std::get<0>(cases[i]) << std::get<1>(cases[i]) << std::get<2>(cases[i]) << std::get<3>(cases[i]);
        });
    }
    void fileNames()
    {
        QFETCH(QString, engine);
        QFETCH(QString, typed);
        QFETCH(QString, filter);
        QFETCH(QString, saved);
        QFETCH(QByteArray, magic);
        Fixture f(engine);
        const QString path = f.folder.filePath(saved);
        QCOMPARE(f.exportAs(typed, filter), question(path));
        QVERIFY(content(path).startsWith(magic));
        // Nothing else in the folder: the temporary file took the file's place.
        QCOMPARE(QDir(f.folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{saved});
        QCOMPARE(readBack(path).value(1).value(0), QStringLiteral("K1"));
    }

    // What the .xlsx holds, read back: numbers as numbers, dates as dates, the sum below.
    void xlsxReadsBackAsTheGrid_data() { TestHome::addEngineRows(); }
    void xlsxReadsBackAsTheGrid()
    {
        QFETCH(QString, engine);
        Fixture f(engine);
        f.run(QStringLiteral("insert into T_FieldShow (TableName, Field, Name, Width, ShowID, Show, SumField, ShowButton) "
                             "values ('ExportTest', 'buydate', '购买日期', 90, 9, 1, 0, 0)"));
        f.layOut();
        const QString path = f.folder.filePath(QStringLiteral("grid.xlsx"));
        f.exportAs(QStringLiteral("grid"), QStringLiteral("Excel 工作簿 (*.xlsx)"));
        QCOMPARE(readBack(path), (QList<QStringList>{{"编号", "单价", "数量", "电话", "金额", "购买日期"},
                                                     {"K1", "12.5", "3", "", "100", "2024-01-05"},
                                                     {"K2", "2", "-1", "0731", "50.25", "2023-12-31 08:30:00"},
                                                     {"总计", "", "", "", "150.25", ""}}));
        // The .xls stream shows the date as the grid does.
        const QString xls = f.folder.filePath(QStringLiteral("grid.xls"));
        f.exportAs(QStringLiteral("grid"));
        QCOMPARE(readBack(xls).value(1).value(5), QStringLiteral("2024-01-05"));
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<bool>("open");
        QTest::addColumn<QString>("message");
        TestHome::addEngineRows({"closed", "no record"}, [](QTestData &row, int i) {
            row << (i == 1) << (i == 0 ? QStringLiteral("数据没有显示不能导出成Excel文件!") : QStringLiteral("没有数据,不能导出成Excel文件!"));
        });
    }
    void refusals()
    {
        QFETCH(QString, engine);
        QFETCH(bool, open);
        QFETCH(QString, message);
        Fixture f(engine);
        if (open)
            QVERIFY(f.data.RunQuery(f.data.Qry_Cust, QStringLiteral("select * from custom where CustCode = 'nobody'")));
        else
            f.data.Qry_Cust->close();
        f.exportAs(QStringLiteral("report"));
        QCOMPARE(f.messages.texts(), QStringList{message});
        QCOMPARE(f.messages.messages()[0].kind, MessageBoxes::Kind::Plain);
        QVERIFY(f.dialogs.requests().isEmpty());
        QVERIFY(QDir(f.folder.path()).isEmpty());
    }

    void openingTheFile_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<int>("answer");
        TestHome::addEngineRows({"OK opens it", "Cancel does not"}, [](QTestData &row, int i) {
            row << int(i == 0 ? QMessageBox::Ok : QMessageBox::Cancel);
        });
    }
    void openingTheFile()
    {
        QFETCH(QString, engine);
        QFETCH(int, answer);
        Fixture f(engine);
        f.messages.answerNext(QMessageBox::StandardButton(answer));
        f.exportAs(QStringLiteral("report"));
        const QList<QUrl> expected = answer == QMessageBox::Ok
            ? QList<QUrl>{QUrl::fromLocalFile(f.folder.filePath(QStringLiteral("report.xls")))}
            : QList<QUrl>{};
        QCOMPARE(f.opened.urls(), expected);
    }

    // An existing file is replaced without a question; a cancelled dialog writes nothing.
    void existingFileAndCancel_data() { TestHome::addEngineRows(); }
    void existingFileAndCancel()
    {
        QFETCH(QString, engine);
        Fixture f(engine);
        const QString path = f.folder.filePath(QStringLiteral("report.xls"));
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("an older list");
        old.close();
        QCOMPARE(f.exportAs(QStringLiteral("report")), question(path));
        QCOMPARE(f.messages.messages().size(), 1);
        QVERIFY(content(path).startsWith(QByteArray("\x09\x08", 2)));

        f.messages.clear();
        ExportGridToExcel(f.data.Qry_Cust, &f.grid);   // no answer queued: the operator cancels
        QVERIFY(f.messages.messages().isEmpty());
        QCOMPARE(QDir(f.folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("report.xls")});
    }

    // A file that cannot be written: the file system's reason, no question, nothing left.
    void unwritableFolder_data() { TestHome::addEngineRows(); }
    void unwritableFolder()
    {
        QFETCH(QString, engine);
        Fixture f(engine);
        const QString path = f.folder.filePath(QStringLiteral("no such folder/report.xls"));
        f.dialogs.answerNext(path);
        ExportGridToExcel(f.data.Qry_Cust, &f.grid);
        QCOMPARE(f.messages.messages().size(), 1);
        QVERIFY2(f.messages.lastText().startsWith(QStringLiteral("不能写入文件 ") + QDir::toNativeSeparators(path)),
                 qPrintable(f.messages.lastText()));
        QCOMPARE(f.messages.messages()[0].icon, QMessageBox::Critical);
        QVERIFY(QDir(f.folder.path()).isEmpty());
    }

    // A cancelled export leaves the file that was there as it was, and no temporary file.
    void cancelledWriteKeepsTheOldFile_data() { TestHome::addEngineRows(); }
    void cancelledWriteKeepsTheOldFile()
    {
        QFETCH(QString, engine);
        Fixture f(engine);
        QVERIFY(generateCustomers(f.data.database(), 500));
        f.data.Qry_Cust->reopen();
        const QString path = f.folder.filePath(QStringLiteral("list.xlsx"));
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("the list of last week");
        old.close();
        QString error = QStringLiteral("not cleared");
        QVERIFY(!GridSheet(&f.grid).write(SheetWriter::Format::Xlsx, path, &error, [](int done) { return done < 100; }));
        QVERIFY(error.isEmpty());
        QCOMPARE(content(path), QByteArray("the list of last week"));
        QCOMPARE(QDir(f.folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("list.xlsx")});
    }

    // Rows are numbered in 16 bits in the .xls stream: a longer grid is offered as .xlsx.
    void tooManyRowsForXls_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<bool>("agree");
        TestHome::addEngineRows({"declined", "as xlsx"}, [](QTestData &row, int i) { row << (i == 1); });
    }
    void tooManyRowsForXls()
    {
        QFETCH(QString, engine);
        QFETCH(bool, agree);
        Fixture f(engine);
        // With the title row and the footer, one row more than the stream can number.
        QVERIFY(generateCustomers(f.data.database(), 65535 - 2));
        f.data.Qry_Cust->reopen();
        f.messages.answerNext(agree ? QMessageBox::Yes : QMessageBox::No);
        f.exportAs(QStringLiteral("all"));
        QCOMPARE(f.messages.messages().value(0).text,
                 QStringLiteral("共有 65535 条记录，.xls 文件最多只能保存 65534 条。\n是否改存为 Excel 工作簿 (.xlsx)？"));
        QVERIFY(!QFile::exists(f.folder.filePath(QStringLiteral("all.xls"))));
        if (!agree) {
            QCOMPARE(f.messages.messages().size(), 1);
            QVERIFY(QDir(f.folder.path()).isEmpty());
            return;
        }
        const QString path = f.folder.filePath(QStringLiteral("all.xlsx"));
        QCOMPARE(f.messages.lastText(), question(path));
        const QList<QStringList> rows = readBack(path);
        QCOMPARE(rows.size(), 65537);
        QCOMPARE(rows.last().value(0), QStringLiteral("总计"));
    }

    // The browser's exports: the customers (slot 6) and the orders, each with its name.
    void browserExports_data() { TestHome::addEngineRows(); }
    void browserExports()
    {
        QFETCH(QString, engine);
        ServiceFixture f(engine);
        OpenedUrls opened;
        f.run(QStringLiteral("insert into T_Schedule (CustCode, danhao, Company) values ('K1', 'WX-2026-01-05-0001', '格力空调专卖')"));
        f.open();
        QTemporaryDir folder;
        FileDialogRecorder dialogs;
        MessageRecorder messages;

        QAction *customers = f.command("ExportCustCSV");
        QVERIFY(customers->isEnabled());
        QVERIFY(entry(control<QMenu>(Frm_Custom, "Menu_Cust"), "ExportCustCSV") == customers);
        dialogs.answerNext(folder.filePath(QStringLiteral("customers")));
        customers->trigger();
        QCOMPARE(dialogs.requests().value(0).proposedName, QStringLiteral("用户信息列表"));
        const QList<QStringList> customerRows = readBack(folder.filePath(QStringLiteral("customers.xls")));
        QCOMPARE(customerRows.value(0).value(0), QStringLiteral("用户编号"));
        QCOMPARE(customerRows.size(), 1 + 2 + 1);
        QCOMPARE(ExportFileName(), QStringLiteral("用户信息列表"));

        QAction *orders = entry(control<QMenu>(Frm_Custom, "Menu_Sch"), "excel2");
        QVERIFY(orders && orders->isEnabled());
        QCOMPARE(orders->text(), QStringLiteral("导出excel"));
        dialogs.answerNext(folder.filePath(QStringLiteral("orders")));
        orders->trigger();
        QCOMPARE(dialogs.requests().value(1).proposedName, QStringLiteral("维修信息列表"));
        const QList<QStringList> orderRows = readBack(folder.filePath(QStringLiteral("orders.xls")));
        QCOMPARE(orderRows.value(0).value(0), QStringLiteral("维修单号"));
        QCOMPARE(orderRows.value(1).value(0), QStringLiteral("WX-2026-01-05-0001"));
    }

    // A customer list filtered to nothing refuses before any dialog.
    void emptyCustomerListRefuses_data() { TestHome::addEngineRows(); }
    void emptyCustomerListRefuses()
    {
        QFETCH(QString, engine);
        ServiceFixture f(engine);
        f.open();
        typeInto(control<QLineEdit>(Frm_Custom, "Edit_Key"), QStringLiteral("没有这个用户"));
        control<QPushButton>(Frm_Custom, "Btn_S_Cust")->click();
        QCOMPARE(f.data.Qry_Cust->recordCount(), 0);
        FileDialogRecorder dialogs;
        MessageRecorder messages;
        f.command("ExportCustCSV")->trigger();
        QCOMPARE(messages.texts(), QStringList{QStringLiteral("没有数据,不能导出成Excel文件!")});
        QVERIFY(dialogs.requests().isEmpty());
    }
};

QTEST_MAIN(TestExport)
#include "TestExport.moc"
