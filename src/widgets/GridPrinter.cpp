#include "GridPrinter.h"

#include <QAbstractItemModel>
#include <QHeaderView>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>

namespace {
constexpr double MmPerInch = 25.4;
constexpr double CellPaddingMm = 1.0;
// Content-fitted widths look at the first rows only: enough to judge, cheap on long lists.
constexpr int FitSampleRows = 500;

double pixelsPerMm(const QPrinter &printer)
{
    return printer.resolution() / MmPerInch;
}

QFont printFont()
{
    QFont font;
    font.setPointSizeF(9);
    return font;
}
} // namespace

GridPrinter::GridPrinter(const DataGrid *grid, const QString &title, DataGrid::PrintFit fit)
    : m_grid(grid), m_title(title), m_fit(fit)
{
}

QList<int> GridPrinter::shownColumns() const
{
    QList<int> columns;
    const QHeaderView *header = m_grid->horizontalHeader();
    for (int visual = 0; visual < header->count(); ++visual) {
        const int logical = header->logicalIndex(visual);
        if (!m_grid->isColumnHidden(logical))
            columns << logical;
    }
    return columns;
}

QString GridPrinter::cellText(int row, int column) const
{
    return m_grid->cellText(row, column);
}

QList<double> GridPrinter::columnWidthsMm(const QPrinter &printer) const
{
    const double pageWidth = printer.pageLayout().paintRect(QPageLayout::Millimeter).width();
    const QList<int> columns = shownColumns();
    QList<double> widths;
    if (m_fit == DataGrid::PrintFit::PageWidth) {
        for (int column : columns)
            widths << m_grid->columnWidth(column);
    } else {
        const QFontMetricsF metrics(printFont(), &printer);
        const double perMm = pixelsPerMm(printer);
        const int rows = qMin(m_grid->model()->rowCount(), FitSampleRows);
        for (int column : columns) {
            double width = metrics.horizontalAdvance(m_grid->columnTitle(column));
            for (int row = 0; row < rows; ++row)
                width = qMax(width, metrics.horizontalAdvance(cellText(row, column)));
            widths << width / perMm + 2 * CellPaddingMm;
        }
    }
    double total = 0;
    for (double w : std::as_const(widths))
        total += w;
    // Scaled to the page: always for the page-width fit, when too wide for fitted columns.
    if (total > 0 && (m_fit == DataGrid::PrintFit::PageWidth || total > pageWidth)) {
        for (double &w : widths)
            w *= pageWidth / total;
    }
    return widths;
}

int GridPrinter::print(QPrinter *printer) const
{
    QPainter painter;
    if (!painter.begin(printer))
        return 0;
    const double perMm = pixelsPerMm(*printer);
    const QRectF page = printer->pageLayout().paintRectPixels(printer->resolution()).translated(
        -printer->pageLayout().paintRectPixels(printer->resolution()).topLeft());
    const QList<int> columns = shownColumns();
    const QList<double> widthsMm = columnWidthsMm(*printer);
    QFont font = printFont();
    painter.setFont(font);
    const QFontMetricsF metrics(font, printer);
    const double padding = CellPaddingMm * perMm;
    const double lineHeight = metrics.height() + 2 * padding;
    const bool wrap = m_fit == DataGrid::PrintFit::FittedColumns;

    int pages = 1;
    double y = 0;
    const auto drawFooter = [&] {
        painter.drawText(QRectF(0, page.bottom() - lineHeight, page.width(), lineHeight), Qt::AlignCenter,
                         QStringLiteral("第 %1 页").arg(pages));
    };
    const auto drawRow = [&](const QStringList &texts, bool bold) {
        QFont rowFont = font;
        rowFont.setBold(bold);
        painter.setFont(rowFont);
        double height = lineHeight;
        if (wrap) {
            for (int i = 0; i < texts.size(); ++i) {
                const QRectF bounds = painter.boundingRect(QRectF(0, 0, widthsMm[i] * perMm - 2 * padding, 1e6),
                                                           Qt::TextWordWrap, texts[i]);
                height = qMax(height, bounds.height() + 2 * padding);
            }
        }
        double x = 0;
        for (int i = 0; i < texts.size(); ++i) {
            const QRectF cell(x, y, widthsMm[i] * perMm, height);
            painter.drawRect(cell);
            painter.drawText(cell.adjusted(padding, padding, -padding, -padding),
                             Qt::AlignVCenter | Qt::AlignLeft | (wrap ? Qt::TextWordWrap : Qt::TextSingleLine), texts[i]);
            x += cell.width();
        }
        y += height;
    };
    QStringList titles;
    for (int column : columns)
        titles << m_grid->columnTitle(column);
    const auto startPage = [&] {
        y = 0;
        if (pages == 1 && !m_title.isEmpty()) {
            QFont titleFont = font;
            titleFont.setPointSizeF(14);
            titleFont.setBold(true);
            painter.setFont(titleFont);
            const double titleHeight = QFontMetricsF(titleFont, printer).height() * 1.8;
            painter.drawText(QRectF(0, 0, page.width(), titleHeight), Qt::AlignCenter, m_title);
            y = titleHeight;
        }
        drawRow(titles, true);
        painter.setFont(font);
    };

    startPage();
    const int rows = m_grid->model()->rowCount();
    for (int row = 0; row < rows; ++row) {
        QStringList texts;
        for (int column : columns)
            texts << cellText(row, column);
        if (y + lineHeight > page.height() - lineHeight) {
            drawFooter();
            printer->newPage();
            ++pages;
            startPage();
        }
        drawRow(texts, false);
    }
    drawFooter();
    painter.end();
    return pages;
}

void GridPrinter::preview() const
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
    QPrintPreviewDialog dialog(&printer, const_cast<DataGrid *>(m_grid));
    dialog.setObjectName(QStringLiteral("GridPrintPreview"));
    dialog.setWindowTitle(m_title.isEmpty() ? QStringLiteral("打印预览") : QStringLiteral("打印预览 - ") + m_title);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [this](QPrinter *p) { print(p); });
    dialog.exec();
}
