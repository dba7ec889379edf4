#pragma once

#include "SheetWriter.h"

#include <QMetaType>
#include <QStringList>
#include <QVector>
#include <functional>

class DataGrid;
class GridModel;

// What an export writes of a grid: its shown columns in their on-screen order under their
// titles, every record of its data (not only those loaded or selected) and its footer row.
class GridSheet
{
public:
    explicit GridSheet(DataGrid *grid);

    int recordCount() const;
    bool hasFooter() const { return m_footer; }
    // Title row, records and footer.
    int rowCount() const { return 1 + recordCount() + (m_footer ? 1 : 0); }

    QStringList titles() const;
    QVector<int> columnWidths() const;
    // Hands each record's cells to visit, in order, until visit returns false. False with
    // error when the data could not be read.
    bool forEachRecord(const std::function<bool(const QVector<ExportCell> &)> &visit, QString *error) const;
    QVector<ExportCell> footer() const;

    // Writes the sheet into fileName through a temporary file that replaces it only when
    // complete, so a failure or a cancel never leaves half a file. progress gets the records
    // done and returns false to cancel. False with error on failure; false with an empty error
    // when cancelled.
    bool write(SheetWriter::Format format, const QString &fileName, QString *error,
               const std::function<bool(int done)> &progress = {}) const;

private:
    struct Column
    {
        QString field;
        QString title;
        int width = 0;
        int gridColumn = -1;
        int modelColumn = -1;
        QMetaType type;
    };

    ExportCell cell(const QVariant &value, const Column &column) const;

    DataGrid *m_grid;
    GridModel *m_model;
    QVector<Column> m_columns;
    bool m_footer = false;
};
