#include "DataGrid.h"
#include "FileDialogRecorder.h"
#include "GridColumns.h"
#include "GridExport.h"
#include "HzSpell.h"
#include "OpenedUrls.h"
#include "ServiceFixture.h"
#include "TFrm_Import.h"

#include <QDir>
#include <QLabel>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTemporaryDir>

// Importing customers from workbooks that other programs wrote: the mapping, the counts,
// every row whole or not at all, the reasons of the failed rows, the files that cannot be
// read, and a file of our own export read back.
class TestImport : public QObject
{
    Q_OBJECT

    using Mapping = QMap<QString, QString>;   // caption of the customer column -> sheet header

    static QString data(const QString &name)
    {
        return QDir(qEnvironmentVariable("AFTERSALES_TEST_DATA")).filePath(name);
    }

    static QString finished(int succeeded, int failed)
    {
        return QStringLiteral("导入数据完成,导入成功 %1 条,导入失败 %2 条").arg(succeeded).arg(failed);
    }

    // Picks, row by row in the mapping grid, the header that feeds each customer column; the
    // rows not named get none.
    static void map(TFrm_Import *window, const Mapping &mapping)
    {
        auto *grid = control<DataGrid>(window, "DBGridEh1");
        for (int row = 0; row < grid->model()->rowCount(); ++row) {
            const QString caption = grid->model()->index(row, 0).data().toString();
            const QModelIndex cell = grid->model()->index(row, 1);
            grid->setCurrentIndex(cell);
            auto *pick = qobject_cast<QComboBox *>(grid->indexWidget(cell));
            QVERIFY2(pick, qPrintable(caption));
            typeInto(pick, mapping.value(caption, QStringLiteral(" ")));
        }
    }

    // Starts the import and waits for its closing message.
    static void start(TFrm_Import *window)
    {
        QSignalSpy done(window, &TFrm_Import::importFinished);
        control<QPushButton>(window, "Btn_Start")->click();
        QVERIFY(done.count() == 1 || done.wait(60000));
    }

    // Runs the import command on a file; steps see the mapping window. Later save dialogs
    // get the names given.
    static bool importFile(ServiceFixture &f, const QString &file, const std::function<void(TFrm_Import *)> &steps,
                           const QStringList &saveAs = {})
    {
        FileDialogRecorder dialogs;
        dialogs.answerNext(file);
        for (const QString &name : saveAs)
            dialogs.answerNext(name);
        return withModal<TFrm_Import>([&] { f.command("sss1")->trigger(); }, steps);
    }

    static QStringList mappedHeaders(ServiceFixture &f)
    {
        QStringList headers;
        f.data.RunQuery(f.data.Qry_Temp, QStringLiteral("select F_Field from T_Import where tablename = 'custom' order by ImportID"));
        for (int row = 0; row < f.data.Qry_Temp->recordCount(); ++row)
            headers << f.data.Qry_Temp->value(row, 0).toString();
        return headers;
    }

    static int customers(ServiceFixture &f)
    {
        return f.scalar(QStringLiteral("select count(*) from custom")).toInt();
    }

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    }

    void headerOnly_data() { TestHome::addEngineRows(); }
    void headerOnly()
    {
        QFETCH(QString, engine);
        ServiceFixture f(engine);
        f.open();
        MessageRecorder messages;
        QVERIFY(importFile(f, data(QStringLiteral("import_header_only.xlsx")), [&](TFrm_Import *window) {
            QCOMPARE(window->windowTitle(), QStringLiteral("字段映射"));
            QCOMPARE(control<QLabel>(window, "Label1")->text(), QStringLiteral("Excel中共有 0 条记录"));
            start(window);
            QCOMPARE(messages.texts(), QStringList{finished(0, 0)});
            QCOMPARE(messages.messages()[0].icon, QMessageBox::Question);
            // One import per opening of the window.
            QVERIFY(!control<QPushButton>(window, "Btn_Start")->isEnabled());
            QVERIFY(!control<QPushButton>(window, "Btn_Failed")->isEnabled());
        }));
        QCOMPARE(customers(f), 2);
    }

    // Mapped by position; the fifth row repeats the first row's code.
    void hundredRowsOneDuplicate_data() { TestHome::addEngineRows(); }
    void hundredRowsOneDuplicate()
    {
        QFETCH(QString, engine);
        ServiceFixture f(engine);
        f.open();
        QTemporaryDir folder;
        MessageRecorder messages;
        QVERIFY(importFile(f, data(QStringLiteral("import_100.xlsx")), [&](TFrm_Import *window) {
            QCOMPARE(control<QLabel>(window, "Label1")->text(), QStringLiteral("Excel中共有 100 条记录"));
            start(window);
            QCOMPARE(messages.texts(), QStringList{finished(99, 1)});
            QCOMPARE(control<QProgressBar>(window, "ProgressBar1")->value(), 100);
            control<QPushButton>(window, "Btn_Failed")->click();
        }, {folder.filePath(QStringLiteral("failed"))}));
        const QStringList headers = mappedHeaders(f);
        QCOMPARE(headers.mid(0, 10), (QStringList{"用户编号", "用户名称", "机身编码", "服务类型", "品牌", "数量", "单价", "总金额", "通讯地址", "手机号码"}));
        QCOMPARE(headers.mid(10), QStringList(headers.size() - 10, QStringLiteral(" ")));

        QCOMPARE(f.scalar(QStringLiteral("select count(*) from custom where CustCode like 'IMP%'")).toInt(), 99);
        // The refused row left no trace: the first row's customer is as the first row gave it.
        QCOMPARE(f.scalar(QStringLiteral("select Company from custom where CustCode = 'IMP001'")).toString(), QStringLiteral("李四电器"));
        const QVariantMap second = f.row(QStringLiteral("select * from custom where CustCode = 'IMP002'"));
        const QVariantMap expected = {
            {"company", "王五电器"}, {"airframe", "SN00002"}, {"type", "安装"}, {"model", "格力"}, {"taishu", "1"},
            {"address", "长沙市五一路2号"}, {"mobile", "13800000002"},
            // Pinyin comes from the name when the mapping leaves it out.
            {"pinyin", THzSpell::PinyinInitials(QStringLiteral("王五电器"))},
        };
        for (auto it = expected.cbegin(); it != expected.cend(); ++it)
            QCOMPARE(second.value(it.key()).toString(), it.value().toString());
        QCOMPARE(second.value("pinyin").toString(), QStringLiteral("wwdq"));
        QCOMPARE(second.value("retail").toDouble(), 2980.5);
        QCOMPARE(second.value("money").toDouble(), 2982.0);
        // The browser shows the new customers.
        QCOMPARE(f.data.Qry_Cust->recordCount(), 2 + 99);

        QFile failed(folder.filePath(QStringLiteral("failed.csv")));
        QVERIFY(failed.open(QIODevice::ReadOnly));
        const QByteArray bytes = failed.readAll();
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        const QStringList lines = QString::fromUtf8(bytes).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        QCOMPARE(lines, (QStringList{
            QStringLiteral("行号,原因,用户编号,用户名称,机身编码,服务类型,品牌,数量,单价,总金额,通讯地址,手机号码"),
            QStringLiteral("6,用户编号“IMP001”已经存在,IMP001,孙八电器,SN00005,安装,格力,1,2981.25,2985,长沙市五一路5号,13800000005")}));
    }

    // The mapping as the operator sets it, and cells as the sheet shows them.
    void mappedCells_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("file");
        QTest::addColumn<Mapping>("mapping");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QVariantMap>("expected");
        const Mapping full = {{"用户编号", "CustCode"}, {"用户名称", "Company"}, {"手机号码", "mobile"}, {"购买日期", "buydate"},
                              {"单价", "retail"}, {"联系电话", "Tel"}, {"发票号", "billcode"}, {"备注信息", "memo"}};
        const QVariantMap shown = {
            {"company", "格力空调专卖"},
            // Headers are matched without regard to case: "mobile" finds "MOBILE"; the
            // number arrives whole.
            {"mobile", "13800000001"}, {"buydate", QDateTime(QDate(2024, 1, 5), QTime(0, 0))}, {"retail", 1234.5},
            {"tel", "0731-8888"},
            // A number formatted with two decimals arrives with them; a date and time as shown.
            {"billcode", "1234.50"}, {"memo", "2024-01-05 13:04:05"}};
        QVariantMap xls = shown;
        xls.insert("billcode", "1234.5");   // the decimals of .xls formats are not read
        Mapping blankTel = full;
        blankTel.insert("联系电话", " ");
        QVariantMap noTel = shown;
        noTel.insert("tel", QVariant());
        const Mapping csv = {{"用户编号", "用户编号"}, {"用户名称", "用户名称"}, {"通讯地址", "通讯地址"}};
        const QList<std::tuple<QString, Mapping, QString, QVariantMap>> cases = {
            {"import_formats.xlsx", full, "F001", shown},
            {"import_formats.xls", full, "F001", xls},
            {"import_formats.xlsx", blankTel, "F001", noTel},
            {"import_gbk.csv", csv, "007", {{"company", "张三"}, {"address", "长沙市, 五一路1号"}}},
        };
        TestHome::addEngineRows({"xlsx", "xls", "blank mapping leaves the column out", "csv in GBK"}, [&](QTestData &row, int i) {
            row << data(std::get<0>(cases[i])) << std::get<1>(cases[i]) << std::get<2>(cases[i]) << std::get<3>(cases[i]);
        });
    }
    void mappedCells()
    {
        QFETCH(QString, engine);
        QFETCH(QString, file);
        QFETCH(Mapping, mapping);
        QFETCH(QString, code);
        QFETCH(QVariantMap, expected);
        ServiceFixture f(engine);
        f.open();
        MessageRecorder messages;
        QVERIFY(importFile(f, file, [&](TFrm_Import *window) {
            map(window, mapping);
            start(window);
        }));
        QCOMPARE(messages.texts(), QStringList{finished(2, 0)});
        const QVariantMap row = f.row(QStringLiteral("select * from custom where CustCode = :c"), {{":c", code}});
        for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
            const QVariant value = row.value(it.key());
            if (it.value().userType() == QMetaType::QDateTime)
                QCOMPARE(value.toDateTime(), it.value().toDateTime());
            else if (it.value().userType() == QMetaType::Double)
                QCOMPARE(value.toDouble(), it.value().toDouble());
            else if (it.value().isNull())
                QVERIFY2(value.isNull(), qPrintable(it.key()));
            else
                QCOMPARE(value.toString(), it.value().toString());
        }
    }

    // A header the sheet lacks makes every row fail; nothing is written.
    void headerNotInSheet_data() { TestHome::addEngineRows(); }
    void headerNotInSheet()
    {
        QFETCH(QString, engine);
        ServiceFixture f(engine);
        f.open();
        MessageRecorder messages;
        QVERIFY(importFile(f, data(QStringLiteral("import_formats.xlsx")), [&](TFrm_Import *window) {
            map(window, {{"用户编号", "编号"}, {"用户名称", "Company"}});
            start(window);
            QVERIFY(control<QPushButton>(window, "Btn_Failed")->isEnabled());
        }));
        QCOMPARE(messages.texts(), QStringList{finished(0, 2)});
        QCOMPARE(customers(f), 2);
    }

    // Each bad row is counted with its reason and leaves no trace; the rows after it go on.
    void badRows_data() { TestHome::addEngineRows(); }
    void badRows()
    {
        QFETCH(QString, engine);
        ServiceFixture f(engine);
        f.open();
        QTemporaryDir folder;
        MessageRecorder messages;
        QVERIFY(importFile(f, data(QStringLiteral("import_bad_rows.xlsx")), [&](TFrm_Import *window) {
            map(window, {{"用户编号", "用户编号"}, {"用户名称", "用户名称"}, {"手机号码", "手机号码"}, {"单价", "单价"}, {"购买日期", "购买日期"}});
            start(window);
            control<QPushButton>(window, "Btn_Failed")->click();
        }, {folder.filePath(QStringLiteral("rows.csv"))}));
        QCOMPARE(messages.texts(), QStringList{finished(2, 4)});
        QCOMPARE(f.scalar(QStringLiteral("select count(*) from custom where CustCode in ('K002', 'K003', 'K004')")).toInt(), 0);
        QCOMPARE(f.scalar(QStringLiteral("select Company from custom where CustCode = 'K001'")).toString(), QStringLiteral("张三"));
        QCOMPARE(f.scalar(QStringLiteral("select buydate from custom where CustCode = 'K005'")).toDateTime(),
                 QDateTime(QDate(2024, 2, 3), QTime(0, 0)));
        QFile failed(folder.filePath(QStringLiteral("rows.csv")));
        QVERIFY(failed.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(failed.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        QCOMPARE(lines.mid(1), (QStringList{
            QStringLiteral("3,“手机号码”超过 20 个字符,K002,李四,1234567890123456789012345,1,"),
            QStringLiteral("4,“单价”不是数字：abc,K003,王五,13900000002,abc,"),
            QStringLiteral("5,用户编号“K001”已经存在,K001,赵六,13700000003,3,"),
            QStringLiteral("6,“购买日期”不是日期：2024-13-45,K004,钱七,,,2024-13-45")}));
    }

    // Files that are no readable workbook: a clear message, no mapping window, the mapping
    // as it was.
    void unreadableFiles_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("message");
        const QStringList files = {"not_a_workbook.xlsx", "damaged.xlsx", "encrypted.xlsx", "import_empty.xlsx"};
        const QStringList texts = {"文件不是工作簿，不能读取。", "文件已损坏或不完整，不能读取。", "文件设有密码保护，不能读取。",
                                   "工作表中没有数据，没有可以导入的内容。"};
        TestHome::addEngineRows({"not a workbook", "damaged", "encrypted", "empty sheet"},
                                [&](QTestData &row, int i) { row << data(files[i]) << texts[i]; });
    }
    void unreadableFiles()
    {
        QFETCH(QString, engine);
        QFETCH(QString, file);
        QFETCH(QString, message);
        ServiceFixture f(engine);
        f.open();
        MessageRecorder messages;
        QVERIFY(!importFile(f, file, [](TFrm_Import *) {}));
        QCOMPARE(messages.messages().size(), 1);
        QVERIFY2(messages.lastText().startsWith(message), qPrintable(messages.lastText()));
        QCOMPARE(messages.messages()[0].caption, QStringLiteral("提示"));
        QCOMPARE(mappedHeaders(f).filter(QRegularExpression(QStringLiteral("\\S"))), QStringList());
    }

    // Two columns of one header: the operator is told, and the first of them is read.
    void duplicateHeaders_data() { TestHome::addEngineRows(); }
    void duplicateHeaders()
    {
        QFETCH(QString, engine);
        ServiceFixture f(engine);
        f.open();
        MessageRecorder messages;
        QVERIFY(importFile(f, data(QStringLiteral("import_duplicate_headers.xlsx")), [&](TFrm_Import *window) {
            QCOMPARE(messages.texts(), QStringList{QStringLiteral("工作表第一行有重复的列标题：用户名称。\n导入时只用同名列中的第一列。")});
            map(window, {{"用户编号", "用户编号"}, {"用户名称", "用户名称"}});
            start(window);
        }));
        QCOMPARE(f.scalar(QStringLiteral("select Company from custom where CustCode = 'D001'")).toString(), QStringLiteral("第一列"));
    }

    // Closing without starting keeps the pre-filled mapping and imports nothing; help opens
    // the import topic.
    void closedWithoutStarting_data() { TestHome::addEngineRows(); }
    void closedWithoutStarting()
    {
        QFETCH(QString, engine);
        ServiceFixture f(engine);
        f.open();
        OpenedUrls opened;
        QVERIFY(importFile(f, data(QStringLiteral("import_formats.xlsx")), [&](TFrm_Import *window) {
            control<QPushButton>(window, "Btn_Help")->click();
            QTest::keyClick(window, Qt::Key_Escape);
            QVERIFY(!window->isVisible());
        }));
        QCOMPARE(opened.urls(), QList<QUrl>{QUrl::fromLocalFile(f.home.filePath(QStringLiteral("help/import.html")))});
        QCOMPARE(mappedHeaders(f).mid(0, 3), (QStringList{"CustCode", "Company", "MOBILE"}));
        QCOMPARE(customers(f), 2);
    }

    // What our own export wrote as .xls imports again.
    void ownExportImportsAgain_data() { TestHome::addEngineRows(); }
    void ownExportImportsAgain()
    {
        QFETCH(QString, engine);
        ServiceFixture f(engine);
        f.run(QStringLiteral("update custom set money = 3980, buydate = :d, Mobile = '13912345678' where CustCode = 'K1'"),
              {{":d", QDateTime(QDate(2025, 6, 1), QTime(0, 0))}});
        f.open();
        QTemporaryDir folder;
        const QString file = folder.filePath(QStringLiteral("customers.xls"));
        {
            DataGrid grid;
            QVERIFY(GridColumns::BuildGridColumns(f.data, &grid, f.data.Qry_Cust, QStringLiteral("Custom")));
            FileDialogRecorder dialogs;
            MessageRecorder messages;
            messages.answerNext(QMessageBox::Cancel);
            dialogs.answerNext(file);
            ExportGridToExcel(f.data.Qry_Cust, &grid);
            QVERIFY(QFile::exists(file));
        }
        f.run(QStringLiteral("delete from custom"));
        MessageRecorder messages;
        QVERIFY(importFile(f, file, [&](TFrm_Import *window) {
            // The export's titles are the captions of the mapping.
            auto *grid = control<DataGrid>(window, "DBGridEh1");
            Mapping byCaption;
            for (int row = 0; row < grid->model()->rowCount(); ++row)
                byCaption.insert(grid->model()->index(row, 0).data().toString(), grid->model()->index(row, 0).data().toString());
            map(window, byCaption);
            start(window);
        }));
        QCOMPARE(messages.texts(), QStringList{finished(2, 0)});
        const QVariantMap k1 = f.row(QStringLiteral("select * from custom where CustCode = 'K1'"));
        QCOMPARE(k1.value("company").toString(), QStringLiteral("格力空调专卖"));
        QCOMPARE(k1.value("tel").toString(), QStringLiteral("0731-8888"));
        QCOMPARE(k1.value("address").toString(), QStringLiteral("长沙市五一路1号"));
        QCOMPARE(k1.value("batch").toString(), QStringLiteral("AZ-2026-01-05-0001"));
        QCOMPARE(k1.value("mobile").toString(), QStringLiteral("13912345678"));
        QCOMPARE(k1.value("money").toDouble(), 3980.0);
        QCOMPARE(k1.value("buydate").toDateTime(), QDateTime(QDate(2025, 6, 1), QTime(0, 0)));
    }
};

QTEST_MAIN(TestImport)
#include "TestImport.moc"
