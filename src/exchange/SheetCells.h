#pragma once

#include <QString>
#include <QStringView>
#include <QVector>

// The cells of one worksheet as the texts the sheet displays, row and column numbered from 0.
// The texts share one buffer: a 100,000-row sheet costs its characters and a small index,
// not a string object per cell.
class SheetCells
{
public:
    // Cells may be set in any order; a cell set twice keeps the later text. Empty texts are
    // not kept.
    void setText(int row, int column, QStringView text);
    // Room for this many cells and characters, when they are known beforehand.
    void reserve(int cells, qsizetype characters);
    // Call once after the last setText, before reading.
    void finish();

    // Rows and columns up to the last one that holds a text.
    int rowCount() const { return m_rowCount; }
    int columnCount() const { return m_columnCount; }
    QString text(int row, int column) const;
    bool isRowEmpty(int row) const;
    // The texts of a row, one per column.
    QStringList row(int row) const;

private:
    struct Entry
    {
        qint64 key;       // row << 20 | column
        quint32 start;
        quint32 length;
    };
    static qint64 keyOf(int row, int column) { return (qint64(row) << 20) | column; }
    const Entry *find(int row, int column) const;

    QString m_buffer;
    QVector<Entry> m_entries;
    QVector<int> m_rowStart;   // first entry of each row; one more at the end
    int m_rowCount = 0;
    int m_columnCount = 0;
};
