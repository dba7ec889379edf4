#include "PdfText.h"
#include "PreparedReport.h"
#include "Report.h"
#include "ReportEngine.h"
#include "ReportRenderer.h"
#include "ReportXml.h"

#include <QFile>
#include <QFontInfo>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A data set held in memory.
class ListSource : public ReportDataSource
{
public:
    ListSource(const QString &name, const QStringList &fields, const QList<QVariantList> &rows = {})
        : m_name(name), m_fields(fields), m_rows(rows) {}

    QString name() const override { return m_name; }
    QStringList fieldNames() const override { return m_fields; }
    int rowCount() override { return m_rows.size(); }
    void setRow(int row) override { m_row = row; }
    QVariant value(int field) override { return m_rows.value(m_row).value(field); }

    void setRows(const QList<QVariantList> &rows) { m_rows = rows; m_row = 0; }

private:
    QString m_name;
    QStringList m_fields;
    QList<QVariantList> m_rows;
    int m_row = 0;
};

QString templatePath(const QString &file)
{
    return QStringLiteral(AFTERSALES_REPORTS_DIR "/") + file;
}

ReportItem textItem(const QString &text, const QRectF &geometry = QRectF(0, 0, 150, 6))
{
    ReportItem item;
    item.geometry = geometry;
    item.text = text;
    return item;
}

ReportBand band(ReportBand::Type type, double height, std::vector<ReportItem> items = {}, const QString &dataSet = {})
{
    ReportBand band;
    band.type = type;
    band.height = height;
    band.items = std::move(items);
    band.dataSet = dataSet;
    return band;
}

// Prepares a template over the data sets; fails the test on an error.
PreparedReport prepared(const ReportTemplate &report, const QList<ReportDataSource *> &data)
{
    ReportEngine engine(report, data);
    engine.setTemplateName(QStringLiteral("test.xml"));
    PreparedReport pages;
    if (!engine.prepare(&pages))
        qWarning() << engine.errorString();
    return pages;
}

} // namespace

// The report engine without a database: the template file, expressions, how bands flow over
// pages, what stays inside its box, and sizes in a PDF.
class TestReportEngine : public QObject
{
    Q_OBJECT

private slots:
    void deliveredTemplatesSaveAsTheyAre_data()
    {
        QTest::addColumn<QString>("file");
        for (const char *file : {"frx_bill1.xml", "frx_bill2.xml", "frx_label.xml", "frx_user.xml", "frx_bill.xml", "frx_envelop.xml"})
            QTest::newRow(file) << QString::fromLatin1(file);
    }
    void deliveredTemplatesSaveAsTheyAre()
    {
        QFETCH(QString, file);
        QFile source(templatePath(file));
        QVERIFY(source.open(QIODevice::ReadOnly));
        const QByteArray original = source.readAll();
        ReportTemplate report;
        QString error;
        QVERIFY2(ReportXml::read(original, &report, &error), qPrintable(error));
        QVERIFY(!report.isEmpty());
        // Everything read is written again, in the same form.
        QCOMPARE(QString::fromUtf8(ReportXml::write(report)), QString::fromUtf8(original));
    }

    void unknownContentIsKept()
    {
        const QByteArray newer = R"(<?xml version="1.0" encoding="UTF-8"?>
<report version="7" title="新版" colour="blue">
  <page width="210" height="297" left="10" top="10" right="10" bottom="10" duplex="long"/>
  <band type="MasterData" name="M" height="20" dataset="S" keepTogether="true">
    <text name="T1" left="1" top="2" width="30" height="5" font="宋体" size="13" rotation="90">甲<format kind="number">0.00</format></text>
    <barcode name="B1" left="40" top="2" width="30" height="10" code="EAN13">[S."CustCode"]</barcode>
    <text name="T2" left="80" top="2" width="30" height="5" font="Arial" size="13">乙</text>
  </band>
  <watermark text="样张"/>
</report>
)";
        ReportTemplate report;
        QString error;
        QVERIFY2(ReportXml::read(newer, &report, &error), qPrintable(error));
        QCOMPARE(report.version, 7);
        QCOMPARE(report.bands.size(), size_t(1));
        const auto &items = report.bands[0].items;
        QCOMPARE(items.size(), size_t(3));
        QCOMPARE(items[0].text, QStringLiteral("甲"));
        QCOMPARE(items[1].kind, ReportItem::Kind::Unknown);
        QCOMPARE(items[2].text, QStringLiteral("乙"));

        // Saved again (as the designer does) and read back: nothing of the newer version is lost.
        ReportTemplate again;
        const QByteArray saved = ReportXml::write(report);
        QVERIFY(ReportXml::read(saved, &again, &error));
        for (const char *kept : {"version=\"7\"", "colour=\"blue\"", "duplex=\"long\"", "keepTogether=\"true\"",
                                 "rotation=\"90\"", "<format kind=\"number\">0.00</format>", "code=\"EAN13\"",
                                 "<barcode name=\"B1\"", "[S.&quot;CustCode&quot;]</barcode>", "<watermark text=\"样张\"/>"})
            QVERIFY2(saved.contains(kept), kept);
        QCOMPARE(ReportXml::write(again), saved);
        // The objects it cannot draw are left out; the rest prints.
        ListSource s(QStringLiteral("S"), {QStringLiteral("CustCode")}, {{QStringLiteral("K1")}});
        QCOMPARE(prepared(report, {&s}).pageTexts(0), (QStringList{"甲", "乙"}));
    }

    void damagedFilesAreReported_data()
    {
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<QString>("where");
        QTest::newRow("not closed") << QByteArray("<report>\n<band type=\"MasterData\" height=\"5\">\n") << QStringLiteral("第 3 行");
        QTest::newRow("not a template") << QByteArray("<html/>") << QStringLiteral("不是报表模板");
        QTest::newRow("measure not a number") << QByteArray("<report>\n<band type=\"MasterData\" height=\"abc\"/>\n</report>")
                                              << QStringLiteral("属性 height 不是数字");
        QTest::newRow("unknown band") << QByteArray("<report>\n<band type=\"Sideways\"/>\n</report>") << QStringLiteral("Sideways");
        QTest::newRow("empty file") << QByteArray() << QStringLiteral("第 1 行");
    }
    void damagedFilesAreReported()
    {
        QFETCH(QByteArray, xml);
        QFETCH(QString, where);
        ReportTemplate report;
        QString error;
        QVERIFY(!ReportXml::read(xml, &report, &error));
        QVERIFY2(error.contains(where), qPrintable(error));

        // A report object loaded from such a file is empty and says which file it was.
        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("frx_bill1.xml")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(xml);
        file.close();
        Report object(QStringLiteral("frx_AN"));
        object.loadFromFile(file.fileName());
        QVERIFY(object.layout().isEmpty());
        QVERIFY(object.loadError().startsWith(QStringLiteral("报表模板 frx_bill1.xml 无法读取: ")));

        // A missing file is no error at all.
        object.loadFromFile(dir.filePath(QStringLiteral("frx_label.xml")));
        QVERIFY(object.layout().isEmpty());
        QVERIFY(object.loadError().isEmpty());
        QVERIFY(object.fileName().isEmpty());
        QCOMPARE(object.templatePath(), dir.filePath(QStringLiteral("frx_label.xml")));
    }

    void expressions_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("printed");
        QTest::addColumn<QString>("error");
        const auto row = [](const char *name, const char *text, const char *printed, const char *error = "") {
            QTest::newRow(name) << QString::fromUtf8(text) << QString::fromUtf8(printed) << QString::fromUtf8(error);
        };
        row("literal and field", R"(用户名称[S."Company"])", "用户名称格力空调专卖");
        row("any case, unquoted", "[s.COMPANY]/[W.danhao]", "格力空调专卖/WX-2026-01-05-0001");
        row("date and time", "[Date]  [Time]", "2026-01-05  08:09:10");
        row("page number", "第[Page#]页", "第1页");
        row("date without time", R"([S."buydate"])", "2026-01-03");
        row("date with time", R"([W."repairdate"])", "2026-01-04 15:30:00");
        row("date stored as text", R"([S."installdate"])", "2026-01-06");
        row("money", R"([S."money"]元)", "3450.5元");
        row("null prints nothing", R"(单号:[S."memo"])", "单号:");
        row("flag", R"([S."isgathering"])", "是");
        row("unknown field", R"(用户名称[S."Compny"])", "",
            R"(报表 test.xml 中的表达式 [S."Compny"] 有误: 数据集 "S" 没有字段 "Compny")");
        row("unknown data set", R"([Q."Company"])", "", R"(报表 test.xml 中的表达式 [Q."Company"] 有误: 没有数据集 "Q")");
        row("unclosed", R"(名称[S."Company")", "", "报表 test.xml 中的表达式 [S.\"Company\" 有误: 缺少 \"]\"");
        row("not an expression", "[1+2]", "", "报表 test.xml 中的表达式 [1+2] 有误: 无法识别的表达式");
    }
    void expressions()
    {
        QFETCH(QString, text);
        QFETCH(QString, printed);
        QFETCH(QString, error);
        ListSource s(QStringLiteral("S"),
                     {"Company", "buydate", "installdate", "money", "memo", "isgathering"},
                     {{QStringLiteral("格力空调专卖"), QDateTime(QDate(2026, 1, 3), QTime(0, 0)),
                       QStringLiteral("2026-01-06T00:00:00.000"), 3450.50, QVariant(), true}});
        ListSource w(QStringLiteral("w"), {"danhao", "repairdate"},
                     {{QStringLiteral("WX-2026-01-05-0001"), QDateTime(QDate(2026, 1, 4), QTime(15, 30))}});
        ReportTemplate report;
        report.bands.push_back(band(ReportBand::Type::MasterData, 10, {textItem(text)}, QStringLiteral("S")));
        ReportEngine engine(report, {&s, &w});
        engine.setTemplateName(QStringLiteral("test.xml"));
        engine.setPrintTime(QDateTime(QDate(2026, 1, 5), QTime(8, 9, 10)));
        PreparedReport pages;
        QCOMPARE(engine.prepare(&pages), error.isEmpty());
        QCOMPARE(engine.errorString(), error);
        if (error.isEmpty())
            QCOMPARE(pages.pageTexts(0), QStringList{printed});
        else
            QCOMPARE(pages.pageCount(), 0);
    }

    void bandsFlowOverPages_data()
    {
        QTest::addColumn<bool>("landscape");
        QTest::addColumn<int>("rows");
        QTest::addColumn<double>("rowHeight");
        QTest::addColumn<double>("childHeight");
        QTest::addColumn<double>("titleHeight");
        QTest::addColumn<double>("headerHeight");
        QTest::addColumn<double>("footerHeight");
        QTest::addColumn<QList<int>>("rowsPerPage");
        // A4 portrait leaves 277 mm between the margins, landscape 190.
        QTest::newRow("dispatch forms, two a page") << false << 3 << 97.0 << 0.0 << 0.0 << 0.0 << 0.0 << QList<int>{2, 1};
        QTest::newRow("exactly full") << false << 4 << 138.5 << 0.0 << 0.0 << 0.0 << 0.0 << QList<int>{2, 2};
        QTest::newRow("labels under header and footer") << false << 9 << 53.0 << 0.0 << 0.0 << 8.0 << 12.0 << QList<int>{4, 4, 1};
        QTest::newRow("basic list") << true << 100 << 5.0 << 6.0 << 14.0 << 9.0 << 6.0 << QList<int>{14, 15, 15, 15, 15, 15, 11};
        QTest::newRow("no rows: headers only") << false << 0 << 10.0 << 0.0 << 5.0 << 5.0 << 5.0 << QList<int>{0};
        QTest::newRow("taller than a page") << false << 2 << 300.0 << 0.0 << 0.0 << 0.0 << 0.0 << QList<int>{1, 1};
    }
    void bandsFlowOverPages()
    {
        QFETCH(bool, landscape);
        QFETCH(int, rows);
        QFETCH(double, rowHeight);
        QFETCH(double, childHeight);
        QFETCH(double, titleHeight);
        QFETCH(double, headerHeight);
        QFETCH(double, footerHeight);
        QFETCH(QList<int>, rowsPerPage);
        ReportTemplate report;
        report.page.setLandscape(landscape);
        if (titleHeight > 0)
            report.bands.push_back(band(ReportBand::Type::ReportTitle, titleHeight, {textItem(QStringLiteral("标题"), QRectF(0, 0, 50, 4))}));
        if (headerHeight > 0)
            report.bands.push_back(band(ReportBand::Type::ColumnHeader, headerHeight, {textItem(QStringLiteral("栏头"), QRectF(0, 0, 50, 4))}));
        report.bands.push_back(band(ReportBand::Type::MasterData, rowHeight, {textItem(QStringLiteral("[S.\"n\"]"), QRectF(0, 0, 50, 4))}, QStringLiteral("S")));
        if (childHeight > 0)
            report.bands.push_back(band(ReportBand::Type::Child, childHeight));
        if (footerHeight > 0)
            report.bands.push_back(band(ReportBand::Type::PageFooter, footerHeight, {textItem(QStringLiteral("页脚[Page#]"), QRectF(0, 0, 50, 4))}));
        QList<QVariantList> data;
        for (int i = 1; i <= rows; ++i)
            data << QVariantList{QStringLiteral("行%1").arg(i)};
        ListSource s(QStringLiteral("S"), {QStringLiteral("n")}, data);
        const PreparedReport pages = prepared(report, {&s});

        QCOMPARE(pages.pageCount(), rowsPerPage.size());
        int next = 1;
        for (int page = 0; page < pages.pageCount(); ++page) {
            QCOMPARE(pages.page(page).sizeMm, landscape ? QSizeF(297, 210) : QSizeF(210, 297));
            QStringList expected;
            if (titleHeight > 0 && page == 0)
                expected << QStringLiteral("标题");
            if (headerHeight > 0)
                expected << QStringLiteral("栏头");
            for (int i = 0; i < rowsPerPage[page]; ++i)
                expected << QStringLiteral("行%1").arg(next++);
            if (footerHeight > 0)
                expected << QStringLiteral("页脚%1").arg(page + 1);
            QCOMPARE(pages.pageTexts(page), expected);
            // Nothing runs into the bottom margin, and the footer stands right above it.
            for (const DrawCommand &command : pages.page(page).commands)
                QVERIFY(command.y <= (pages.page(page).sizeMm.height() - 10) * PreparedReport::PixelsPerMm || rowHeight > 277);
        }
        QCOMPARE(next, rows + 1);
    }

    void anEmptyTemplateHasNoPages()
    {
        ListSource s(QStringLiteral("S"), {QStringLiteral("n")}, {{1}, {2}});
        ReportTemplate report;
        QCOMPARE(prepared(report, {&s}).pageCount(), 0);
        report.bands.push_back(band(ReportBand::Type::MasterData, 10, {}, QStringLiteral("S")));
        QCOMPARE(prepared(report, {&s}).pageCount(), 0);
    }

    void preparationCanBeStopped()
    {
        QList<QVariantList> rows;
        for (int i = 0; i < 10; ++i)
            rows << QVariantList{i};
        ListSource s(QStringLiteral("S"), {QStringLiteral("n")}, rows);
        ReportTemplate report;
        report.bands.push_back(band(ReportBand::Type::MasterData, 100, {textItem(QStringLiteral("[S.n]"))}, QStringLiteral("S")));
        ReportEngine engine(report, {&s});
        QList<QPair<int, int>> calls;
        engine.setProgressHandler([&calls](int done, int total) {
            calls.append({done, total});
            return done < 4;
        });
        PreparedReport pages;
        QVERIFY(!engine.prepare(&pages));
        QVERIFY(engine.errorString().isEmpty());
        QCOMPARE(pages.pageCount(), 0);
        // Two rows a page: told at each new page.
        QCOMPARE(calls, (QList<QPair<int, int>>{{0, 10}, {2, 10}, {4, 10}}));
    }

    void textStaysInItsBox_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("wrap");
        QTest::addColumn<QRectF>("box");
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("shownAtLeast");
        const QString longText = QStringLiteral("长沙市天心区五一大道一百二十八号华远国际中心二十三楼二三零五室 Changsha Wuyi Road");
        QTest::newRow("one line box") << longText << true << QRectF(10, 10, 40, 5) << 1 << 10;
        QTest::newRow("one line box cuts a word") << QStringLiteral("单号:WX-2026-01-05-0001") << true << QRectF(10, 10, 35, 5) << 1 << 15;
        QTest::newRow("three line box") << longText << true << QRectF(10, 10, 40, 14) << 3 << 30;
        QTest::newRow("no wrap") << longText << false << QRectF(10, 10, 40, 14) << 1 << 10;
        QTest::newRow("lines of its own") << QStringLiteral("第一行\n第二行\n第三行\n第四行") << true << QRectF(10, 10, 40, 10) << 2 << 6;
        QTest::newRow("fits") << QStringLiteral("张三") << true << QRectF(10, 10, 40, 5) << 1 << 2;
    }
    void textStaysInItsBox()
    {
        QFETCH(QString, text);
        QFETCH(bool, wrap);
        QFETCH(QRectF, box);
        QFETCH(int, lines);
        QFETCH(int, shownAtLeast);
        ReportItem item = textItem(text, box);
        item.fontFamily = QStringLiteral("宋体");
        item.wordWrap = wrap;
        item.frame = FrameAll;
        ReportTemplate report;
        report.bands.push_back(band(ReportBand::Type::ReportTitle, 50, {item}));
        const PreparedReport pages = prepared(report, {});
        const QStringList shown = pages.pageTexts(0);
        QCOMPARE(shown.size(), lines);
        QVERIFY2(shown.join(QString()).size() >= shownAtLeast, qPrintable(shown.join('|')));
        // What is shown is the text's beginning, in order.
        QVERIFY(QString(text).remove(QLatin1Char('\n')).remove(QLatin1Char(' ')).startsWith(shown.join(QString()).remove(QLatin1Char(' '))));
        const double k = PreparedReport::PixelsPerMm;
        const QRectF inner = QRectF((10 + box.left()) * k, (10 + box.top()) * k, box.width() * k, box.height() * k)
                                 .adjusted(ReportEngine::GapX - 0.01, ReportEngine::GapY - 0.5, 0.01 - ReportEngine::GapX, 0.5 - ReportEngine::GapY);
        for (const DrawCommand &command : pages.page(0).commands) {
            if (command.type != DrawCommand::Type::Text)
                continue;
            const double top = command.y - pages.fontAscent(command.style);
            const QRectF drawn(command.x, top, command.w, command.h);
            QVERIFY2(inner.contains(drawn), qPrintable(QStringLiteral("%1 outside the box").arg(command.text)));
        }
    }

    void pdfPagesHoldTextAtSizeAndPlace()
    {
        // A 13-pixel Arial text at (20, 30) mm on the page and a 26-pixel 宋体 one under it.
        ReportItem small = textItem(QStringLiteral("Aftersales"), QRectF(10, 20, 80, 6));
        small.fontFamily = QStringLiteral("Arial");
        ReportItem large = textItem(QStringLiteral("安装派工单"), QRectF(10, 40, 80, 10));
        large.fontFamily = QStringLiteral("宋体");
        large.fontSize = 26;
        ReportTemplate report;
        report.page.setLandscape(true);
        report.bands.push_back(band(ReportBand::Type::ReportTitle, 60, {small, large}));
        const PreparedReport pages = prepared(report, {});
        QCOMPARE(QFontInfo(pages.font(0)).family(), QStringLiteral("Liberation Sans"));
        QCOMPARE(QFontInfo(pages.font(1)).family(), QStringLiteral("AR PL UMing CN"));

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("out.pdf"));
        QString error;
        QVERIFY2(ReportRenderer::writePdf(pages, path, &error), qPrintable(error));
        const PdfText pdf(path);
        QVERIFY2(pdf.isValid(), qPrintable(pdf.error()));
        QCOMPARE(pdf.pageCount(), 1);
        QCOMPARE(pdf.pageSize(0).toSize(), QSize(842, 595));
        const QList<PdfText::Word> latin = pdf.find(QStringLiteral("Aftersales"));
        const QList<PdfText::Word> chinese = pdf.find(QStringLiteral("安装派工单"));
        QCOMPARE(latin.size(), 1);
        QCOMPARE(chinese.size(), 1);
        const double pt = PdfText::PointsPerMm;
        const double gap = ReportEngine::GapX * 0.75;
        QVERIFY(qAbs(latin[0].box.left() - (20 * pt + gap)) < 0.5);
        QVERIFY(latin[0].box.top() >= 30 * pt && latin[0].box.bottom() <= 36 * pt);
        QVERIFY(chinese[0].box.top() >= 50 * pt && chinese[0].box.bottom() <= 60 * pt);
        // 13 pixels are 13/96 inch, 9.75 points: five CJK characters of 26 pixels are 97.5 points wide.
        QVERIFY2(qAbs(chinese[0].box.width() - 5 * 19.5) < 0.5, qPrintable(QString::number(chinese[0].box.width())));
        const double latinHeight = latin[0].box.height();
        QVERIFY2(latinHeight > 9.75 && latinHeight < 9.75 * 1.2, qPrintable(QString::number(latinHeight)));
    }
};

QTEST_MAIN(TestReportEngine)
#include "TestReportEngine.moc"
