#include "CustomerGenerator.h"
#include "DataGrid.h"
#include "GridColumns.h"
#include "GridFindDialog.h"
#include "GridPrinter.h"
#include "TFrm_Data.h"
#include "TestHome.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

// A real grid over the customer data set, driven offscreen as an operator uses it.
class TestDataGrid : public QObject
{
    Q_OBJECT

    struct Fixture
    {
        explicit Fixture(const QString &engine, int customers) : home(engine), data(home.path())
        {
            generateCustomers(data.database(), customers);
            data.RunQuery(data.Qry_Cust, QStringLiteral("select * from custom order by CustID"));
            grid.resize(800, 400);
            GridColumns::BuildGridColumns(data, &grid, data.Qry_Cust, QStringLiteral("Custom"));
            grid.show();
        }
        TestHome home;
        TFrm_Data data;
        DataGrid grid;

        int column(const QString &field) const
        {
            for (int c = 0; c < grid.shownColumnCount(); ++c) {
                if (grid.columnField(c).compare(field, Qt::CaseInsensitive) == 0)
                    return c;
            }
            return -1;
        }
    };

private slots:
    void footerShowsSumsTextsAndCount_data() { TestHome::addEngineRows(); }
    void footerShowsSumsTextsAndCount()
    {
        QFETCH(QString, engine);
        Fixture f(engine, 2000);
        f.grid.setFooterVisible(true);
        f.grid.setFooterText(0, QStringLiteral("总计"));
        f.grid.setFooterCount(1);
        QCOMPARE(f.grid.footerText(0), QStringLiteral("总计"));
        QCOMPARE(f.grid.footerText(1), QStringLiteral("2000"));
        // money is n % 1000 for n = 1..2000: twice 0 + 1 + ... + 999
        QCOMPARE(f.grid.footerText(f.column(QStringLiteral("money"))), QStringLiteral("999000"));

        QVERIFY(f.data.RunQuery(f.data.Qry_Cust, QStringLiteral("select * from custom where CustID <= 10")));
        QCOMPARE(f.grid.footerText(1), QStringLiteral("10"));
        QCOMPARE(f.grid.footerText(f.column(QStringLiteral("money"))), QStringLiteral("55"));
        QVERIFY(f.data.RunQuery(f.data.Qry_Cust, QStringLiteral("select * from custom where CustID < 0")));
        QCOMPARE(f.grid.footerText(1), QStringLiteral("0"));
        QCOMPARE(f.grid.footerText(f.column(QStringLiteral("money"))), QString());
    }

    void cellsShowTheColumnsKind_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QString>("shown");
        const QStringList cases = {"price with cents", "amount over a million", "whole count", "date", "date-time",
                                   "date-time written as text", "yes", "no"};
        TestHome::addEngineRows(cases, [](QTestData &row, int i) {
            switch (i) {
            case 0: row << "retail" << QVariant(12345.67) << "12345.67"; break;
            case 1: row << "money" << QVariant(1234567.5) << "1234567.5"; break;
            case 2: row << "number" << QVariant(1234567) << "1234567"; break;
            case 3: row << "buydate" << QVariant(QDate(2026, 12, 11)) << "2026-12-11"; break;
            case 4: row << "installdate" << QVariant(QDateTime(QDate(2026, 12, 11), QTime(8, 10, 38, 562)))
                        << "2026-12-11 08:10:38"; break;
            case 5: row << "installdate" << QVariant(QStringLiteral("2026-12-11 08:10:38")) << "2026-12-11 08:10:38"; break;
            case 6: row << "isgathering" << QVariant(true) << "是"; break;
            case 7: row << "isgathering" << QVariant(false) << "否"; break;
            }
        });
    }
    void cellsShowTheColumnsKind()
    {
        QFETCH(QString, engine);
        QFETCH(QString, field);
        QFETCH(QVariant, stored);
        QFETCH(QString, shown);
        // Whatever type the engine gives back (SQLite: text and integers), the column decides.
        Fixture f(engine, 1);
        QVERIFY(f.data.RunStatement(f.data.Qry_Temp, QStringLiteral("insert into custom (CustCode, %1) values ('A', :v)").arg(field),
                                    {{QStringLiteral(":v"), stored}}));
        QVERIFY(f.data.RunQuery(f.data.Qry_Cust, QStringLiteral("select * from custom where CustCode = 'A'")));
        GridColumns::BuildGridColumns(f.data, &f.grid, f.data.Qry_Cust, QStringLiteral("Custom"));
        QCOMPARE(f.grid.cellText(0, f.column(field)), shown);
        // Sums show every decimal too.
        f.grid.setFooterVisible(true);
        if (field == QLatin1String("money"))
            QCOMPARE(f.grid.footerText(f.column(field)), shown);
    }

    void currentRowFollowsBothWays_data() { TestHome::addEngineRows(); }
    void currentRowFollowsBothWays()
    {
        QFETCH(QString, engine);
        Fixture f(engine, 50);
        QCOMPARE(f.grid.currentIndex().row(), 0);
        QTest::keyClick(&f.grid, Qt::Key_Down);
        QTest::keyClick(&f.grid, Qt::Key_Down);
        QCOMPARE(f.data.Qry_Cust->currentRow(), 2);
        QCOMPARE(f.data.Qry_Cust->value(QStringLiteral("CustCode")).toString(), QStringLiteral("C3"));
        QVERIFY(f.data.Qry_Cust->locate(QStringLiteral("CustCode"), QStringLiteral("C40")));
        QCOMPARE(f.grid.currentIndex().row(), 39);
    }

    void selectionDeleteAndDoubleClick_data() { TestHome::addEngineRows(); }
    void selectionDeleteAndDoubleClick()
    {
        QFETCH(QString, engine);
        Fixture f(engine, 20);
        QSignalSpy deleted(&f.grid, &DataGrid::deleteKeyPressed);
        QSignalSpy doubleClicked(&f.grid, &DataGrid::rowDoubleClicked);
        const QRect third = f.grid.visualRect(f.grid.model()->index(2, 1));
        const QRect fifth = f.grid.visualRect(f.grid.model()->index(4, 1));
        QTest::mouseClick(f.grid.viewport(), Qt::LeftButton, {}, third.center());
        QTest::mouseClick(f.grid.viewport(), Qt::LeftButton, Qt::ControlModifier, fifth.center());
        QCOMPARE(f.grid.selectedRowNumbers(), (QList<int>{2, 4}));
        QCOMPARE(f.grid.selectedValues(QStringLiteral("CustCode")), (QVariantList{"C3", "C5"}));
        QTest::keyClick(&f.grid, Qt::Key_Delete);
        QCOMPARE(deleted.count(), 1);
        QTest::mouseDClick(f.grid.viewport(), Qt::LeftButton, {}, third.center());
        QCOMPARE(doubleClicked.count(), 1);
        QCOMPARE(doubleClicked.first().first().toInt(), 2);
    }

    void ellipsisButtonSignalsTheOwner()
    {
        Fixture f(QStringLiteral("sqlite"), 5);
        QVERIFY(f.data.RunStatement(f.data.Qry_Str, QStringLiteral("update T_FieldShow set ShowButton = 1 where TableName = 'Custom' and Field = 'Company'")));
        GridColumns::BuildGridColumns(f.data, &f.grid, f.data.Qry_Cust, QStringLiteral("Custom"));
        QSignalSpy clicked(&f.grid, &DataGrid::ellipsisClicked);
        const int company = f.column(QStringLiteral("Company"));
        const QRect cell = f.grid.visualRect(f.grid.model()->index(3, company));
        QTest::mouseClick(f.grid.viewport(), Qt::LeftButton, {}, QPoint(cell.right() - 4, cell.center().y()));
        QCOMPARE(clicked.count(), 1);
        QCOMPARE(clicked.first().at(0).toInt(), 3);
        QCOMPARE(clicked.first().at(1).toString(), QStringLiteral("Company"));
        // The rest of the cell is an ordinary cell.
        QTest::mouseClick(f.grid.viewport(), Qt::LeftButton, {}, QPoint(cell.left() + 4, cell.center().y()));
        QCOMPARE(clicked.count(), 1);
    }

    void paidRowsInRed()
    {
        Fixture f(QStringLiteral("sqlite"), 4);
        GridModel *model = f.grid.gridModel();
        f.grid.setRowTextColor([model](int row) {
            return model->value(row, QStringLiteral("isgathering")).toBool() ? QColor(Qt::red) : QColor();
        });
        QCOMPARE(f.grid.rowTextColor(0), QColor());
        QCOMPARE(f.grid.rowTextColor(1), QColor(Qt::red));
    }

    void findDialogFindsNextAndPrevious_data() { TestHome::addEngineRows(); }
    void findDialogFindsNextAndPrevious()
    {
        QFETCH(QString, engine);
        Fixture f(engine, 30);
        QTimer::singleShot(0, this, [&f] {
            auto *dialog = qobject_cast<GridFindDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            auto *combo = dialog->findChild<QComboBox *>(QStringLiteral("Combo_Column"));
            combo->setCurrentIndex(combo->findText(QStringLiteral("用户名称")));
            // Typed text: keyClicks carries ASCII only.
            dialog->findChild<QLineEdit *>(QStringLiteral("Edit_Find"))->insert(QStringLiteral("用户2"));
            auto *next = dialog->findChild<QPushButton *>(QStringLiteral("Btn_Next"));
            next->click();
            QCOMPARE(f.data.Qry_Cust->value(QStringLiteral("CustCode")).toString(), QStringLiteral("C2"));
            next->click();
            QCOMPARE(f.data.Qry_Cust->value(QStringLiteral("CustCode")).toString(), QStringLiteral("C20"));
            dialog->findChild<QPushButton *>(QStringLiteral("Btn_Previous"))->click();
            QCOMPARE(f.data.Qry_Cust->value(QStringLiteral("CustCode")).toString(), QStringLiteral("C2"));
            dialog->findChild<QLineEdit *>(QStringLiteral("Edit_Find"))->setText(QStringLiteral("没有"));
            next->click();
            QVERIFY(!dialog->findChild<QLabel *>(QStringLiteral("Label_Status"))->text().isEmpty());
            QCOMPARE(f.data.Qry_Cust->value(QStringLiteral("CustCode")).toString(), QStringLiteral("C2"));
            dialog->reject();
        });
        QTest::keyClick(&f.grid, Qt::Key_F, Qt::ControlModifier);
    }

    void printingFitsThePage_data()
    {
        QTest::addColumn<int>("fit");
        QTest::newRow("page width") << int(DataGrid::PrintFit::PageWidth);
        QTest::newRow("fitted columns") << int(DataGrid::PrintFit::FittedColumns);
    }

    void printingFitsThePage()
    {
        QFETCH(int, fit);
        Fixture f(QStringLiteral("sqlite"), 300);
        QTemporaryDir dir;
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath(QStringLiteral("grid.pdf")));
        printer.setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
        GridPrinter gridPrinter(&f.grid, QStringLiteral("货品列表"), DataGrid::PrintFit(fit));

        const QList<double> widths = gridPrinter.columnWidthsMm(printer);
        QCOMPARE(widths.size(), f.grid.shownColumnCount());
        double total = 0;
        for (double w : widths)
            total += w;
        const double pageWidth = printer.pageLayout().paintRect(QPageLayout::Millimeter).width();
        QVERIFY(total <= pageWidth + 0.01);
        if (DataGrid::PrintFit(fit) == DataGrid::PrintFit::PageWidth)
            QVERIFY(qAbs(total - pageWidth) < 0.01);

        QVERIFY(gridPrinter.print(&printer) > 1);
        QVERIFY(QFile(dir.filePath(QStringLiteral("grid.pdf"))).size() > 0);
    }

    void printPreviewOpens()
    {
        Fixture f(QStringLiteral("sqlite"), 10);
        QString title;
        QTimer::singleShot(0, this, [&title] {
            auto *preview = qobject_cast<QPrintPreviewDialog *>(QApplication::activeModalWidget());
            if (preview) {
                title = preview->windowTitle();
                preview->reject();
            }
        });
        f.grid.printPreview(QStringLiteral("维修信息统计表"), DataGrid::PrintFit::FittedColumns);
        QVERIFY(title.contains(QStringLiteral("维修信息统计表")));
    }
};

QTEST_MAIN(TestDataGrid)
#include "TestDataGrid.moc"
