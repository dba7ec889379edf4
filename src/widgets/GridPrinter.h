#pragma once

#include "DataGrid.h"

#include <QList>
#include <QString>

class QPainter;
class QPrinter;

// Prints a grid's shown columns, with their titles, under a title, on as many pages as the
// rows need. Measures are millimetres: the page's printable width, and column widths either
// scaled from the grid to that width or fitted to their content.
class GridPrinter
{
public:
    GridPrinter(const DataGrid *grid, const QString &title, DataGrid::PrintFit fit);

    // Column widths on the page, in millimetres, for the shown columns in order.
    QList<double> columnWidthsMm(const QPrinter &printer) const;
    // Renders every row; returns the number of pages.
    int print(QPrinter *printer) const;
    // The print preview, from which the operator prints or saves a PDF.
    void preview() const;

private:
    QList<int> shownColumns() const;
    QString cellText(int row, int column) const;

    const DataGrid *m_grid;
    QString m_title;
    DataGrid::PrintFit m_fit;
};
