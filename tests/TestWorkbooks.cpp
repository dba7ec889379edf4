#include "BiffStream.h"
#include "SheetText.h"
#include "SheetCells.h"
#include "WorkbookReader.h"

#include <QBuffer>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

// Reading workbooks that other programs wrote, the texts their cells arrive as, and the
// files that cannot be read.
class TestWorkbooks : public QObject
{
    Q_OBJECT

    static QString data(const QString &name)
    {
        return QDir(qEnvironmentVariable("AFTERSALES_TEST_DATA")).filePath(name);
    }

    static QList<QStringList> rows(const SheetCells &cells)
    {
        QList<QStringList> all;
        for (int row = 0; row < cells.rowCount(); ++row)
            all << cells.row(row);
        return all;
    }

private slots:
    void cellsArriveAsDisplayed_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QList<QStringList>>("expected");
        const QStringList header = {"CustCode", "Company", "MOBILE", "buydate", "retail", "Tel", "billcode", "memo"};
        // A number stored as a number arrives whole, dates as yyyy-MM-dd (with the time when
        // the format shows it), numbers with the decimals of their format.
        QTest::newRow("xlsx (openpyxl)") << "import_formats.xlsx" << QList<QStringList>{
            header,
            {"F001", "格力空调专卖", "13800000001", "2024-01-05", "1234.50", "0731-8888", "1234.50", "2024-01-05 13:04:05"},
            {"F002", "李四", "15912345678", "2023-12-31", "99.00", "88886666", "0.13", "2023-12-31 08:00:00"}};
        // freexl tells dates but not the decimals of a number format.
        QTest::newRow("xls (xlwt)") << "import_formats.xls" << QList<QStringList>{
            header,
            {"F001", "格力空调专卖", "13800000001", "2024-01-05", "1234.5", "0731-8888", "1234.5", "2024-01-05 13:04:05"},
            {"F002", "李四", "15912345678", "2023-12-31", "99", "88886666", "0.125", "2023-12-31 08:00:00"}};
        // This liborcus passes the number styles of .ods cells over.
        QTest::newRow("ods (odfpy)") << "import_formats.ods" << QList<QStringList>{
            header,
            {"F001", "格力空调专卖", "13800000001", "2024-01-05", "1234.5", "0731-8888", "1234.5", "2024-01-05 13:04:05"},
            {"F002", "李四", "15912345678", "2023-12-31", "99", "88886666", "0.125", "2023-12-31 08:00:00"}};
        const QList<QStringList> csv = {{"用户编号", "用户名称", "通讯地址"}, {"007", "张三", "长沙市, 五一路1号"}, {"C002", "李\"四\"", "岳阳市"}};
        QTest::newRow("csv utf-8 with BOM") << "import_utf8bom.csv" << csv;
        QTest::newRow("csv gbk") << "import_gbk.csv" << csv;
        QTest::newRow("active sheet is the second") << "import_second_sheet_active.xlsx"
                                                    << QList<QStringList>{{"用户编号", "用户名称"}, {"S001", "第二页的用户"}};
        QTest::newRow("header only") << "import_header_only.xlsx" << QList<QStringList>{{"用户编号", "用户名称", "手机号码"}};
        QTest::newRow("empty sheet") << "import_empty.xlsx" << QList<QStringList>{};
    }
    void cellsArriveAsDisplayed()
    {
        QFETCH(QString, file);
        QFETCH(QList<QStringList>, expected);
        SheetCells cells;
        QString error;
        QVERIFY2(WorkbookReader::read(data(file), cells, &error), qPrintable(error));
        QCOMPARE(rows(cells), expected);
    }

    void unreadableFiles_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("message");
        QTest::newRow("not a workbook") << "not_a_workbook.xlsx" << "文件不是工作簿，不能读取。";
        QTest::newRow("cut short") << "damaged.xlsx" << "文件已损坏或不完整，不能读取。";
        QTest::newRow("encrypted") << "encrypted.xlsx" << "文件设有密码保护，不能读取。";
        QTest::newRow("missing") << "no such file.xlsx" << "不能打开文件";
    }
    void unreadableFiles()
    {
        QFETCH(QString, file);
        QFETCH(QString, message);
        SheetCells cells;
        QString error;
        QVERIFY(!WorkbookReader::read(data(file), cells, &error));
        QVERIFY2(error.startsWith(message), qPrintable(error));
        QCOMPARE(cells.rowCount(), 0);
    }

    void numberFormats_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("mobile number") << "General" << 13800000001.0 << "13800000001";
        QTest::newRow("large, no exponent") << "General" << 1e20 << "100000000000000000000";
        QTest::newRow("fifteen digits") << "General" << 0.1 + 0.2 << "0.3";
        QTest::newRow("small fraction") << "General" << 0.000125 << "0.000125";
        QTest::newRow("negative") << "General" << -42.5 << "-42.5";
        QTest::newRow("two decimals") << "0.00" << 1234.5 << "1234.50";
        QTest::newRow("no thousands separator") << "#,##0.00" << 1234567.891 << "1234567.89";
        QTest::newRow("whole with separator") << "#,##0" << 2980.6 << "2981";
        QTest::newRow("percent") << "0.0%" << 0.125 << "12.5%";
        QTest::newRow("date") << "yyyy/m/d" << 45296.0 << "2024-01-05";
        QTest::newRow("chinese date") << "yyyy\"年\"m\"月\"d\"日\"" << 45296.0 << "2024-01-05";
        QTest::newRow("date and time") << "yyyy-mm-dd hh:mm:ss" << 45296.5445023148 << "2024-01-05 13:04:05";
        QTest::newRow("time") << "[$-804]h:mm" << 0.75 << "18:00:00";
        QTest::newRow("minutes are no month") << "mm:ss" << 0.5 / 24 << "00:30:00";
        QTest::newRow("text format") << "@" << 7.0 << "7";
    }
    void numberFormats()
    {
        QFETCH(QString, code);
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(SheetText::number(value, SheetText::parseFormatCode(code)), text);
    }

    // What the export writes as .xls imports again, Chinese text and all.
    void cellRecordStreamReadsBack()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("back.xls"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        BiffStreamWriter stream(&file);
        stream.begin();
        stream.text(0, 0, QStringLiteral("用户名称"));
        stream.text(0, 1, QStringLiteral("数量"));
        stream.text(0, 2, QStringLiteral("金额"));
        stream.text(1, 0, QStringLiteral("格力空调专卖"));
        stream.integer(1, 1, -3);
        stream.number(1, 2, 2980.25);
        stream.blank(2, 0);
        stream.integer(2, 1, 13800000001);
        stream.end();
        file.close();
        SheetCells cells;
        QString error;
        QVERIFY2(WorkbookReader::read(path, cells, &error), qPrintable(error));
        QCOMPARE(rows(cells), (QList<QStringList>{{"用户名称", "数量", "金额"}, {"格力空调专卖", "-3", "2980.25"}, {"", "13800000001", ""}}));
    }
};

QTEST_GUILESS_MAIN(TestWorkbooks)
#include "TestWorkbooks.moc"
