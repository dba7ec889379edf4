#include "CustomerGenerator.h"
#include "DesignCanvas.h"
#include "PdfText.h"
#include "ReportDesigner.h"
#include "ReportPreview.h"
#include "ReportXml.h"
#include "ServiceFixture.h"

#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QPlainTextEdit>
#include <QStackedWidget>
#include <QFileDialog>
#include <QLabel>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTreeWidget>

namespace {

const QString ReportsSource = QStringLiteral(AFTERSALES_REPORTS_DIR);

// The program folder with the delivered templates in Reports/, changed as a test needs it
// before the data module loads them.
struct ReportFixture
{
    using Change = std::function<void(const QDir &reports)>;

    explicit ReportFixture(const QString &engine, const Change &change = {})
        : home(engine), templates(copyTemplates(home, change)), data(home.path()), main(data)
    {
    }

    static bool copyTemplates(const TestHome &home, const Change &change)
    {
        QDir reports(home.path());
        reports.mkdir(QStringLiteral("Reports"));
        reports.cd(QStringLiteral("Reports"));
        for (const QString &file : QDir(ReportsSource).entryList({QStringLiteral("*.xml")}, QDir::Files)) {
            if (!QFile::copy(QDir(ReportsSource).filePath(file), reports.filePath(file)))
                return false;
        }
        if (change)
            change(reports);
        return true;
    }

    void run(const QString &sql, const QVariantMap &binds = {}) { QVERIFY(data.RunStatement(data.Qry_Str, sql, binds)); }

    void addCustomer(const QString &code, const QString &company, const QVariantMap &more = {})
    {
        QVariantMap values{{"CustCode", code}, {"Company", company}, {"f_user", QStringLiteral("Admin")}};
        for (auto it = more.cbegin(); it != more.cend(); ++it)
            values.insert(it.key(), it.value());
        QStringList marks;
        QVariantMap binds;
        for (auto it = values.cbegin(); it != values.cend(); ++it) {
            marks << QLatin1Char(':') + it.key();
            binds.insert(QLatin1Char(':') + it.key(), it.value());
        }
        run(QStringLiteral("insert into custom (%1) values (%2)").arg(values.keys().join(','), marks.join(',')), binds);
    }

    void addOrder(const QString &customer, const QString &number, const QDateTime &reported)
    {
        run(QStringLiteral("insert into T_Schedule (CustCode, danhao, repairdate, F_User) values (:c, :n, :d, 'Admin')"),
            {{":c", customer}, {":n", number}, {":d", reported}});
    }

    // Logs in and opens the customer browser on every customer.
    void open()
    {
        main.session().logIn(QStringLiteral("Admin"));
        main.show();
        QVERIFY(Frm_Custom);
    }

    void search(const QString &key)
    {
        typeInto(control<QLineEdit>(Frm_Custom, "Edit_Key"), key);
        control<QPushButton>(Frm_Custom, "Btn_S_Cust")->click();
    }

    QAction *command(const char *name) const { return main.command(QString::fromLatin1(name)); }

    TestHome home;
    bool templates;
    TFrm_Data data;
    TFrm_Main main;
};

// Runs steps on the preview that opening shows; false when none showed.
bool withPreview(const std::function<void()> &opening, const std::function<void(ReportPreview *)> &steps)
{
    return withModal<ReportPreview>(opening, steps);
}

// Exports the preview's pages through its button and the file dialog, as the operator does.
void exportPdf(ReportPreview *preview, const QString &path)
{
    QTimer::singleShot(0, [path] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        QCOMPARE(dialog->objectName(), QStringLiteral("Dialog_ExportPdf"));
        dialog->selectFile(path);
        QMetaObject::invokeMethod(dialog, "accept");
    });
    control<QToolButton>(preview, "Btn_ExportPdf")->click();
    QVERIFY(QFile::exists(path));
}

// Answers the next file dialog with a name; with an empty one it checks what is proposed.
void answerFileDialog(const QString &objectName, const QString &path, QString *proposed = nullptr)
{
    QTimer::singleShot(0, [=] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        QCOMPARE(dialog->objectName(), objectName);
        if (proposed)
            *proposed = QDir(dialog->directory()).filePath(dialog->selectedFiles().value(0).section('/', -1));
        dialog->selectFile(path);
        QMetaObject::invokeMethod(dialog, "accept");
    });
}

// Where an object of the designed template stands: its band and position.
DesignCanvas::Selection findItem(const ReportTemplate &layout, const QString &name)
{
    for (size_t band = 0; band < layout.bands.size(); ++band) {
        for (size_t item = 0; item < layout.bands[band].items.size(); ++item) {
            if (layout.bands[band].items[item].name == name)
                return {int(band), int(item)};
        }
    }
    return {};
}

QStringList allTexts(const PreparedReport &report)
{
    QStringList texts;
    for (int page = 0; page < report.pageCount(); ++page)
        texts += report.pageTexts(page);
    return texts;
}

} // namespace

// The printed forms from the customer browser: what each form prints for which customers,
// where it stands in the PDF, what a missing or faulty template does.
class TestReports : public QObject
{
    Q_OBJECT

private slots:
    void dispatchFormsForTheListShown_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("heading");
        TestHome::addEngineRows({"installation", "repair"}, [](QTestData &row, int i) {
            row << (i == 0 ? QStringLiteral("BitBtn1") : QStringLiteral("Btn_printwx"))
                << (i == 0 ? QStringLiteral("安装人员:李师傅") : QStringLiteral("安装部门:安装一部"));
        });
    }
    void dispatchFormsForTheListShown()
    {
        QFETCH(QString, engine);
        QFETCH(QString, button);
        QFETCH(QString, heading);
        ReportFixture f(engine);
        QVERIFY(f.templates);
        const QVariantMap details{{"people", QStringLiteral("李师傅")}, {"depart", QStringLiteral("安装一部")},
                                  {"Tel", QStringLiteral("0731-8888")}, {"Address", QStringLiteral("长沙市五一路1号")}};
        f.addCustomer("K1", QStringLiteral("格力空调专卖"), details);
        f.addCustomer("K2", QStringLiteral("张三"), details);
        f.addCustomer("K3", QStringLiteral("格力电器长沙店"), details);
        f.addCustomer("K4", QStringLiteral("格力售后中心"), details);
        f.addCustomer("K5", QStringLiteral("李四"), details);
        f.open();
        f.search(QStringLiteral("格力"));
        QCOMPARE(f.data.Qry_Cust->recordCount(), 3);

        QTemporaryDir dir;
        const QString exported = dir.filePath(QStringLiteral("forms.pdf"));
        const QString printed = dir.filePath(QStringLiteral("printed.pdf"));
        QVERIFY(withPreview([&] { control<QToolButton>(Frm_Custom, qPrintable(button))->click(); }, [&](ReportPreview *preview) {
            QCOMPARE(preview->prepared().pageCount(), 2);
            exportPdf(preview, exported);
            // The printer gets the very pages the preview shows.
            QPrinter printer(QPrinter::HighResolution);
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(printed);
            QVERIFY(preview->printTo(printer));
        }));

        const PdfText pdf(exported);
        QVERIFY2(pdf.isValid(), qPrintable(pdf.error()));
        QCOMPARE(pdf.pageCount(), 2);
        for (int page = 0; page < 2; ++page)
            QCOMPARE(pdf.pageSize(page).toSize(), QSize(595, 842));
        const QStringList shown{"用户名称格力空调专卖", "用户名称格力电器长沙店", "用户名称格力售后中心"};
        QList<PdfText::Word> names;
        for (const QString &name : shown) {
            const QList<PdfText::Word> found = pdf.find(name);
            QCOMPARE(found.size(), 1);
            names << found;
        }
        QVERIFY(pdf.find(QStringLiteral("用户名称张三")).isEmpty());
        std::sort(names.begin(), names.end(), [](const PdfText::Word &a, const PdfText::Word &b) {
            return a.page != b.page ? a.page < b.page : a.box.top() < b.box.top();
        });
        // Two forms on the first page, 97 mm apart, the third on top of the second page; each
        // name in its box at (13.9, 27) mm, 45.1 wide and 5 high.
        const double pt = PdfText::PointsPerMm;
        const double formTops[] = {10, 107, 10};
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(names[i].page, i < 2 ? 0 : 1);
            const QRectF cell(13.9 * pt, (formTops[i] + 17) * pt, 45.1 * pt, 5 * pt);
            QVERIFY2(cell.contains(names[i].box), qPrintable(QStringLiteral("%1 at %2,%3").arg(names[i].text).arg(names[i].box.left()).arg(names[i].box.top())));
            QVERIFY(names[i].box.left() - cell.left() < 3);
        }
        QCOMPARE(pdf.find(heading).size(), 3);
        QCOMPARE(pdf.find(QStringLiteral("服务咨询电话:")).size(), 3);

        const PdfText paper(printed);
        QCOMPARE(paper.pageCount(), 2);
        for (int page = 0; page < 2; ++page)
            QCOMPARE(paper.pageText(page), pdf.pageText(page));
    }

    void orderFieldsFollowTheCustomerPrinted_data() { TestHome::addEngineRows(); }
    void orderFieldsFollowTheCustomerPrinted()
    {
        QFETCH(QString, engine);
        ReportFixture f(engine);
        f.addCustomer("K1", QStringLiteral("格力空调专卖"));
        f.addCustomer("K2", QStringLiteral("张三"));
        f.addCustomer("K3", QStringLiteral("李四"));
        f.addOrder("K1", QStringLiteral("WX-2026-01-05-0001"), QDateTime(QDate(2026, 1, 4), QTime(0, 0)));
        f.addOrder("K1", QStringLiteral("WX-2026-01-05-0002"), QDateTime(QDate(2026, 1, 5), QTime(9, 30)));
        f.addOrder("K3", QStringLiteral("WX-2026-01-06-0001"), QDateTime(QDate(2026, 1, 6), QTime(0, 0)));
        f.open();
        QVERIFY(f.data.Qry_Cust->locate(QStringLiteral("CustCode"), QStringLiteral("K2")));
        const int current = f.data.Qry_Cust->currentRow();

        QStringList texts;
        QVERIFY(withPreview([&] { f.command("printwx")->trigger(); }, [&](ReportPreview *preview) {
            texts = allTexts(preview->prepared());
        }));
        // Each customer's form shows its first order; a customer without orders shows the
        // order fields empty.
        QCOMPARE(texts.filter(QRegularExpression("^单号:")),
                 (QStringList{"单号:WX-2026-01-05-0001", "单号:", "单号:WX-2026-01-06-0001"}));
        QCOMPARE(texts.filter(QRegularExpression("^维修日期:")),
                 (QStringList{"维修日期: 2026-01-04", "维修日期: ", "维修日期: 2026-01-06"}));
        // Printing leaves the browser where it stood.
        QCOMPARE(f.data.Qry_Cust->currentRow(), current);
        QCOMPARE(f.data.Qry_Schedule->recordCount(), 0);
    }

    void goodsLinesPrintUnderTheirCustomer_data() { TestHome::addEngineRows(); }
    void goodsLinesPrintUnderTheirCustomer()
    {
        QFETCH(QString, engine);
        // A dealer's label form with the goods lines of each installation order under the name.
        ReportFixture f(engine, [](const QDir &reports) {
            QFile file(reports.filePath(QStringLiteral("frx_label.xml")));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(R"(<report version="1">
  <band type="MasterData" height="10" dataset="S"><text left="0" top="0" width="100" height="5">[S."Company"]</text></band>
  <band type="DetailData" height="6" dataset="mx"><text left="10" top="0" width="100" height="5">[MX."GoodsName"] x [mx.number]</text></band>
</report>)");
        });
        f.addCustomer("K1", QStringLiteral("格力空调专卖"), {{"batch", QStringLiteral("AZ-2026-01-05-0001")}});
        f.addCustomer("K2", QStringLiteral("张三"), {{"batch", QStringLiteral("AZ-2026-01-05-0002")}});
        f.run(QStringLiteral("insert into T_BillDetail (batch, GoodsName, Number) values ('AZ-2026-01-05-0001', '挂机 KFR-35GW', 2)"));
        f.run(QStringLiteral("insert into T_BillDetail (batch, GoodsName, Number) values ('AZ-2026-01-05-0001', '柜机 KFR-72LW', 1)"));
        f.run(QStringLiteral("insert into T_BillDetail (batch, GoodsName, Number) values ('AZ-2026-01-05-0003', '别人的', 1)"));
        f.open();
        QVERIFY(withPreview([&] { f.command("P_Label")->trigger(); }, [&](ReportPreview *preview) {
            QCOMPARE(allTexts(preview->prepared()), (QStringList{"格力空调专卖", "挂机 KFR-35GW x 2", "柜机 KFR-72LW x 1", "张三"}));
        }));
    }

    void customersToPrint_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<int>("scope");
        QTest::addColumn<QStringList>("printed");
        const QList<QStringList> printed{{"甲", "乙", "丙"}, {"乙"}, {"甲", "丙"}};
        TestHome::addEngineRows({"all of the list", "current customer", "selected rows"},
                                [&](QTestData &row, int i) { row << i << printed[i]; });
    }
    void customersToPrint()
    {
        QFETCH(QString, engine);
        QFETCH(int, scope);
        QFETCH(QStringList, printed);
        ReportFixture f(engine);
        f.addCustomer("K1", QStringLiteral("甲"));
        f.addCustomer("K2", QStringLiteral("乙"));
        f.addCustomer("K3", QStringLiteral("丙"));
        f.open();
        f.data.Qry_Cust->setSort(QStringLiteral("CustCode"));
        DataGrid *grid = Frm_Custom->Grid_Cust();
        grid->setCurrentIndex(grid->model()->index(1, 0));
        if (scope == 2) {
            grid->selectionModel()->select(grid->model()->index(0, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
            grid->selectionModel()->select(grid->model()->index(2, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
        QVERIFY(withPreview([&] { f.command("P_Label")->trigger(); }, [&](ReportPreview *preview) {
            auto *choice = control<QComboBox>(preview, "Combo_Scope");
            // All of the list unless the operator chooses otherwise.
            QCOMPARE(choice->currentText(), QStringLiteral("全部用户"));
            choice->setCurrentIndex(scope);
            emit choice->activated(scope);
            QCOMPARE(allTexts(preview->prepared()).filter(QRegularExpression("^[甲乙丙]$")), printed);
        }));
    }

    void missingTemplateGivesEmptyPreview_data() { TestHome::addEngineRows(); }
    void missingTemplateGivesEmptyPreview()
    {
        QFETCH(QString, engine);
        ReportFixture f(engine, [](const QDir &reports) { QVERIFY(QFile::remove(reports.filePath(QStringLiteral("frx_label.xml")))); });
        f.addCustomer("K1", QStringLiteral("格力空调专卖"));
        MessageRecorder messages;
        f.open();
        QVERIFY(f.data.frx_label.layout().isEmpty());
        QVERIFY(!f.data.frx_AN.layout().isEmpty());
        QVERIFY(!f.data.frx_user.layout().isEmpty());
        QVERIFY(withPreview([&] { f.command("P_Label")->trigger(); }, [&](ReportPreview *preview) {
            QCOMPARE(preview->prepared().pageCount(), 0);
            QCOMPARE(control<QLabel>(preview, "Label_Status")->text(), QStringLiteral("没有可打印的页面"));
            QVERIFY(!control<QToolButton>(preview, "Btn_Print")->isEnabled());
            QVERIFY(!control<QToolButton>(preview, "Btn_ExportPdf")->isEnabled());
        }));
        QVERIFY(messages.texts().isEmpty());
    }

    void withoutReportsFolderTheDeliveredTemplatesPrint_data() { TestHome::addEngineRows(); }
    void withoutReportsFolderTheDeliveredTemplatesPrint()
    {
        QFETCH(QString, engine);
        // A program folder given with --home holds no Reports/ of its own.
        ReportFixture f(engine, [](const QDir &reports) { QVERIFY(QDir(reports).removeRecursively()); });
        f.addCustomer("K1", QStringLiteral("格力空调专卖"));
        f.open();
        QCOMPARE(f.data.frx_label.fileName(),
                 QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("Reports/frx_label.xml")));
        QVERIFY(withPreview([&] { f.command("P_Label")->trigger(); }, [&](ReportPreview *preview) {
            QCOMPARE(preview->prepared().pageCount(), 1);
            QVERIFY(allTexts(preview->prepared()).contains(QStringLiteral("格力空调专卖")));
        }));
    }

    void faultyTemplateGivesOneMessageAndNoPages_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("message");
        const QList<QStringList> cases{
            {"[S.&quot;Company&quot;]", "[S.&quot;Compny&quot;]",
             R"(报表 frx_bill1.xml 中的表达式 [S."Compny"] 有误: 数据集 "S" 没有字段 "Compny")"},
            {"[W.&quot;danhao&quot;]", "[X.&quot;danhao&quot;]", R"(报表 frx_bill1.xml 中的表达式 [X."danhao"] 有误: 没有数据集 "X")"},
            {"</report>", "", "报表模板 frx_bill1.xml 无法读取: 第 "},
        };
        TestHome::addEngineRows({"unknown field", "unknown data set", "damaged file"},
                                [&](QTestData &row, int i) { row << cases[i][0] << cases[i][1] << cases[i][2]; });
    }
    void faultyTemplateGivesOneMessageAndNoPages()
    {
        QFETCH(QString, engine);
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QString, message);
        ReportFixture f(engine, [&](const QDir &reports) {
            QFile file(reports.filePath(QStringLiteral("frx_bill1.xml")));
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QString xml = QString::fromUtf8(file.readAll()).replace(from, to);
            file.close();
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(xml.toUtf8());
        });
        f.addCustomer("K1", QStringLiteral("格力空调专卖"));
        // Loading at start-up says nothing.
        MessageRecorder messages;
        f.open();
        QVERIFY(messages.texts().isEmpty());
        const bool shown = withPreview([&] { f.command("PrintBill")->trigger(); }, [](ReportPreview *) {});
        QVERIFY(!shown);
        QCOMPARE(messages.texts().size(), 1);
        QVERIFY2(messages.lastText().startsWith(message), qPrintable(messages.lastText()));
        // The other forms print as ever.
        QVERIFY(withPreview([&] { f.command("printwx")->trigger(); }, [](ReportPreview *preview) {
            QCOMPARE(preview->prepared().pageCount(), 1);
        }));
    }

    void basicListRunsOverLandscapePages_data() { TestHome::addEngineRows(); }
    void basicListRunsOverLandscapePages()
    {
        QFETCH(QString, engine);
        ReportFixture f(engine);
        QVERIFY(generateCustomers(f.data.database(), 100));
        f.open();
        f.data.Qry_Cust->setSort(QStringLiteral("CustID"));
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("list.pdf"));
        const QDateTime before = QDateTime::currentDateTime();
        QVERIFY(withPreview([&] { f.command("P_CustBasic")->trigger(); }, [&](ReportPreview *preview) {
            // 14 customers under the title, then 15 a page.
            QCOMPARE(preview->prepared().pageCount(), 7);
            exportPdf(preview, path);
        }));
        const PdfText pdf(path);
        QVERIFY2(pdf.isValid(), qPrintable(pdf.error()));
        QCOMPARE(pdf.pageCount(), 7);
        const double pt = PdfText::PointsPerMm;
        const QRegularExpression footer(QStringLiteral("^打印日期(\\d{4}-\\d\\d-\\d\\d)$"));
        for (int page = 0; page < 7; ++page) {
            QCOMPARE(pdf.pageSize(page).toSize(), QSize(842, 595));
            const QString text = pdf.pageText(page);
            // The column header under the title on the first page, on top of the others.
            const double headerTop = (10 + (page == 0 ? 14 : 0) + 4) * pt;
            for (const QString &title : {"用户名称", "固定电话", "地址", "型号", "备注信息"}) {
                int onPage = 0;
                for (const PdfText::Word &word : pdf.find(title)) {
                    if (word.page == page && word.text == title) {
                        ++onPage;
                        QVERIFY(word.box.top() >= headerTop && word.box.bottom() <= headerTop + 5 * pt);
                    }
                }
                QCOMPARE(onPage, 1);
            }
            QList<PdfText::Word> dates;
            for (const PdfText::Word &word : pdf.words()) {
                if (word.page == page && footer.match(word.text).hasMatch())
                    dates << word;
            }
            QCOMPARE(dates.size(), 1);
            // The footer stands on the bottom margin: 6 mm high above the last 10 mm.
            QVERIFY(dates[0].box.top() >= (210 - 16) * pt && dates[0].box.bottom() <= 200 * pt);
            const QDate printedOn = QDate::fromString(footer.match(dates[0].text).captured(1), Qt::ISODate);
            QVERIFY(printedOn >= before.date() && printedOn <= QDate::currentDate());
            QVERIFY(text.contains(QRegularExpression(QStringLiteral("打印日期\\S+ \\d\\d:\\d\\d:\\d\\d"))));
        }
        QVERIFY(pdf.pageText(0).contains(QStringLiteral("用户1 ")));
        QVERIFY(pdf.pageText(6).contains(QStringLiteral("用户100 ")));
        QVERIFY(!pdf.pageText(5).contains(QStringLiteral("用户100 ")));
    }

    void designerChangeIsPrintedNext_data() { TestHome::addEngineRows(); }
    void designerChangeIsPrintedNext()
    {
        QFETCH(QString, engine);
        ReportFixture f(engine);
        f.addCustomer("K1", QStringLiteral("格力空调专卖"));
        f.open();
        const QString file = f.home.filePath(QStringLiteral("Reports/frx_bill1.xml"));
        MessageRecorder messages;
        QRectF savedGeometry;
        QVERIFY(withModal<ReportDesigner>([&] { f.command("N55")->trigger(); }, [&](ReportDesigner *designer) {
            QVERIFY(QTest::qWaitForWindowActive(designer));
            QCOMPARE(designer->windowTitle(), QStringLiteral("报表设计 - frx_bill1.xml"));
            auto *canvas = control<DesignCanvas>(designer, "Canvas_Page");
            const DesignCanvas::Selection name = findItem(designer->layout(), QStringLiteral("Memo6"));
            QVERIFY(name.band >= 0);
            // Click the name box, then drag it 10 mm to the right and 2 mm down.
            const QPointF start = canvas->itemRect(name.band, name.item).center();
            const double s = canvas->pixelsPerMm();
            QTest::mouseClick(canvas, Qt::LeftButton, {}, start.toPoint());
            QCOMPARE(canvas->selection(), name);
            QCOMPARE(control<QStackedWidget>(designer, "Stack_Properties")->currentWidget()->objectName(), QStringLiteral("Page_ItemProps"));
            auto *text = control<QPlainTextEdit>(designer, "Edit_Text");
            QCOMPARE(text->toPlainText(), QStringLiteral("用户名称[S.\"Company\"]"));
            QTest::mousePress(canvas, Qt::LeftButton, {}, start.toPoint());
            QTest::mouseMove(canvas, (start + QPointF(5 * s, s)).toPoint());
            QTest::mouseMove(canvas, (start + QPointF(10 * s, 2 * s)).toPoint());
            QTest::mouseRelease(canvas, Qt::LeftButton, {}, (start + QPointF(10 * s, 2 * s)).toPoint());
            const auto geometry = [&] { return designer->layout().bands[size_t(name.band)].items[size_t(name.item)].geometry; };
            QVERIFY(qAbs(geometry().left() - 13.9) < 0.15 && qAbs(geometry().top() - 19) < 0.15);
            QCOMPARE(control<QDoubleSpinBox>(designer, "Edit_Left")->value(), geometry().left());
            // Two arrow presses are one step: half a millimetre each.
            QTest::keyClick(canvas, Qt::Key_Left);
            QTest::keyClick(canvas, Qt::Key_Left);
            QVERIFY(qAbs(geometry().left() - 12.9) < 0.15);
            typeInto(text, QStringLiteral("客户名称:[s.company]"));
            QCOMPARE(designer->layout().bands[size_t(name.band)].items[size_t(name.item)].text, QStringLiteral("客户名称:[s.company]"));
            QVERIFY(designer->windowTitle().endsWith(QStringLiteral(" *")));
            // Undo takes back the text, then the arrows, then the drag; redo brings them again.
            QTest::keyClick(canvas, Qt::Key_Z, Qt::ControlModifier);
            QCOMPARE(designer->layout().bands[size_t(name.band)].items[size_t(name.item)].text, QStringLiteral("用户名称[S.\"Company\"]"));
            QTest::keyClick(canvas, Qt::Key_Z, Qt::ControlModifier);
            QVERIFY(qAbs(geometry().left() - 13.9) < 0.15);
            QTest::keyClick(canvas, Qt::Key_Z, Qt::ControlModifier);
            QVERIFY(qAbs(geometry().left() - 3.9) < 0.15 && qAbs(geometry().top() - 17) < 0.15);
            QVERIFY(!designer->windowTitle().endsWith(QStringLiteral(" *")));
            for (int i = 0; i < 3; ++i)
                QTest::keyClick(canvas, Qt::Key_Y, Qt::ControlModifier);
            QVERIFY(qAbs(geometry().left() - 12.9) < 0.15);
            QCOMPARE(text->toPlainText(), QStringLiteral("客户名称:[s.company]"));
            // The width typed in its box; the band made higher in its own.
            auto *width = control<QDoubleSpinBox>(designer, "Edit_Width");
            width->setValue(60);
            QCOMPARE(geometry().width(), 60.0);
            savedGeometry = geometry();
            control<QToolButton>(designer, "Btn_Save")->click();
            QVERIFY(!designer->windowTitle().endsWith(QStringLiteral(" *")));
        }));
        // The file holds the object as the designer left it.
        ReportTemplate saved;
        QFile savedFile(file);
        QVERIFY(savedFile.open(QIODevice::ReadOnly));
        QString error;
        QVERIFY2(ReportXml::read(savedFile, &saved, &error), qPrintable(error));
        const DesignCanvas::Selection inFile = findItem(saved, QStringLiteral("Memo6"));
        QCOMPARE(saved.bands[size_t(inFile.band)].items[size_t(inFile.item)].text, QStringLiteral("客户名称:[s.company]"));
        QCOMPARE(saved.bands[size_t(inFile.band)].items[size_t(inFile.item)].geometry, savedGeometry);
        QVERIFY(withPreview([&] { f.command("PrintBill")->trigger(); }, [](ReportPreview *preview) {
            QVERIFY(allTexts(preview->prepared()).contains(QStringLiteral("客户名称:格力空调专卖")));
        }));
        // The next start loads the saved template.
        TFrm_Data restarted(f.home.path());
        const DesignCanvas::Selection name = findItem(restarted.frx_AN.layout(), QStringLiteral("Memo6"));
        QCOMPARE(restarted.frx_AN.layout().bands[size_t(name.band)].items[size_t(name.item)].text, QStringLiteral("客户名称:[s.company]"));
        ReportPreview preview(restarted, restarted.frx_AN.layout(), restarted.frx_AN.displayName());
        QVERIFY(preview.prepare());
        QVERIFY(allTexts(preview.prepared()).contains(QStringLiteral("客户名称:格力空调专卖")));
    }

    void newReportIsDesignedAndSavedUnderAName_data() { TestHome::addEngineRows(); }
    void newReportIsDesignedAndSavedUnderAName()
    {
        QFETCH(QString, engine);
        ReportFixture f(engine, [](const QDir &reports) { QVERIFY(QFile::remove(reports.filePath(QStringLiteral("frx_label.xml")))); });
        f.addCustomer("K1", QStringLiteral("格力空调专卖"));
        f.addCustomer("K2", QStringLiteral("张三"));
        f.open();
        const QString file = f.home.filePath(QStringLiteral("Reports/frx_label.xml"));
        QString proposed;
        QVERIFY(withModal<ReportDesigner>([&] { f.command("N53")->trigger(); }, [&](ReportDesigner *designer) {
            // An empty A4 portrait page with margins of 10.
            QVERIFY(designer->layout().bands.empty());
            QCOMPARE(control<QStackedWidget>(designer, "Stack_Properties")->currentWidget()->objectName(), QStringLiteral("Page_PageProps"));
            QCOMPARE(control<QDoubleSpinBox>(designer, "Edit_PaperWidth")->value(), 210.0);
            QCOMPARE(control<QDoubleSpinBox>(designer, "Edit_PaperHeight")->value(), 297.0);
            QCOMPARE(control<QDoubleSpinBox>(designer, "Edit_MarginLeft")->value(), 10.0);
            // A field from the list becomes a text object of a new data band over the customers.
            auto *fields = control<QTreeWidget>(designer, "Tree_Fields");
            QTreeWidgetItem *company = fields->findItems(QStringLiteral("Company"), Qt::MatchExactly | Qt::MatchRecursive).value(0);
            QVERIFY(company);
            fields->setCurrentItem(company);
            emit fields->itemDoubleClicked(company, 0);
            QCOMPARE(designer->layout().bands.size(), size_t(1));
            const ReportBand &band = designer->layout().bands[0];
            QCOMPARE(band.type, ReportBand::Type::MasterData);
            QCOMPARE(band.dataSet, QStringLiteral("S"));
            QCOMPARE(band.items.size(), size_t(1));
            QCOMPARE(band.items[0].text, QStringLiteral("[S.\"Company\"]"));
            QCOMPARE(band.items[0].fontFamily, QStringLiteral("Arial"));
            QCOMPARE(band.items[0].fontSize, 13);
            answerFileDialog(QStringLiteral("Dialog_SaveTemplate"), file, &proposed);
            control<QToolButton>(designer, "Btn_Save")->click();
        }));
        QCOMPARE(proposed, file);
        QVERIFY(QFile::exists(file));
        QVERIFY(withPreview([&] { f.command("P_Label")->trigger(); }, [](ReportPreview *preview) {
            QCOMPARE(allTexts(preview->prepared()), (QStringList{"格力空调专卖", "张三"}));
        }));
    }

    void closingWithChangesAsks_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("closed");
        QTest::addColumn<bool>("saved");
        const QList<std::tuple<int, bool, bool>> cases{
            {QMessageBox::Cancel, false, false}, {QMessageBox::No, true, false}, {QMessageBox::Yes, true, true}};
        TestHome::addEngineRows({"cancel", "discard", "save"}, [&](QTestData &row, int i) {
            row << std::get<0>(cases[i]) << std::get<1>(cases[i]) << std::get<2>(cases[i]);
        });
    }
    void closingWithChangesAsks()
    {
        QFETCH(QString, engine);
        QFETCH(int, answer);
        QFETCH(bool, closed);
        QFETCH(bool, saved);
        ReportFixture f(engine);
        f.open();
        QFile file(f.home.filePath(QStringLiteral("Reports/frx_user.xml")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray before = file.readAll();
        file.close();
        MessageRecorder messages;
        messages.answerNext(QMessageBox::StandardButton(answer));
        bool stillOpen = false;
        QVERIFY(withModal<ReportDesigner>([&] { f.command("N29")->trigger(); }, [&](ReportDesigner *designer) {
            QVERIFY(QTest::qWaitForWindowActive(designer));
            auto *canvas = control<DesignCanvas>(designer, "Canvas_Page");
            canvas->setSelection(findItem(designer->layout(), QStringLiteral("Memo8")));
            QTest::keyClick(canvas, Qt::Key_Down);
            QTest::keyClick(designer, Qt::Key_Escape);
            stillOpen = designer->isVisible();
            // Taken back, the designer closes without asking again.
            if (stillOpen)
                QTest::keyClick(canvas, Qt::Key_Z, Qt::ControlModifier);
        }));
        QCOMPARE(messages.texts(), QStringList{QStringLiteral("报表模板已修改, 是否保存?")});
        QCOMPARE(stillOpen, !closed);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll() != before, saved);
        const DesignCanvas::Selection moved = findItem(f.data.frx_user.layout(), QStringLiteral("Memo8"));
        QCOMPARE(f.data.frx_user.layout().bands[size_t(moved.band)].items[size_t(moved.item)].geometry.top(), saved ? 0.5 : 0.0);
    }
};

QTEST_MAIN(TestReports)
#include "TestReports.moc"
