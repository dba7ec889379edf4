#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <QVariant>

// What a DataGrid needs from the data it shows besides the item model: columns by field
// name, a current row, and sorting and sums done by whoever holds the rows (the database).
class GridModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    virtual QString fieldName(int column) const = 0;
    virtual int fieldIndex(const QString &field) const = 0;
    virtual QString displayLabel(const QString &field) const = 0;
    virtual QVariant value(int row, const QString &field) const = 0;
    // Sum of a column over all rows; null when it cannot be computed.
    virtual QVariant sum(const QString &field) = 0;
    // ORDER BY text over field names; empty for the natural order.
    virtual void setSort(const QString &orderBy) = 0;
    virtual int currentRow() const = 0;
    virtual void setCurrentRow(int row) = 0;
    // The record of a row no longer exists (deleted by another workstation since the rows
    // were read); the row keeps its place until the data is read again.
    virtual bool isRowGone(int) const { return false; }

signals:
    void currentRowChanged(int row);
};
