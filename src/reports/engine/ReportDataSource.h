#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

// A named data set that templates print from: its fields, its rows and a current row.
// A data band repeats over the rows; fields are read from the current row.
class ReportDataSource
{
public:
    virtual ~ReportDataSource() = default;

    virtual QString name() const = 0;
    virtual QStringList fieldNames() const = 0;
    virtual int rowCount() = 0;
    virtual void setRow(int row) = 0;
    // The value of a field (an index into fieldNames()) in the current row; null without one.
    virtual QVariant value(int field) = 0;

    // The field's index, without regard to case; -1 when there is none.
    int fieldIndex(const QString &field) const
    {
        const QStringList names = fieldNames();
        for (int i = 0; i < names.size(); ++i) {
            if (names[i].compare(field, Qt::CaseInsensitive) == 0)
                return i;
        }
        return -1;
    }
};
