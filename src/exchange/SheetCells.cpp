#include "SheetCells.h"

#include <algorithm>

void SheetCells::setText(int row, int column, QStringView text)
{
    if (text.isEmpty() || row < 0 || column < 0)
        return;
    m_entries.append({keyOf(row, column), quint32(m_buffer.size()), quint32(text.size())});
    m_buffer.append(text);
}

void SheetCells::reserve(int cells, qsizetype characters)
{
    m_entries.reserve(cells);
    m_buffer.reserve(characters);
}

void SheetCells::finish()
{
    const auto byKey = [](const Entry &a, const Entry &b) { return a.key < b.key; };
    if (!std::is_sorted(m_entries.cbegin(), m_entries.cend(), byKey))
        std::stable_sort(m_entries.begin(), m_entries.end(), byKey);
    // Of a cell set twice the later text wins.
    int kept = 0;
    for (int i = 0; i < m_entries.size(); ++i) {
        if (kept > 0 && m_entries[kept - 1].key == m_entries[i].key)
            m_entries[kept - 1] = m_entries[i];
        else
            m_entries[kept++] = m_entries[i];
    }
    m_entries.resize(kept);
    m_entries.squeeze();

    m_rowCount = m_entries.isEmpty() ? 0 : int(m_entries.last().key >> 20) + 1;
    m_columnCount = 0;
    m_rowStart = QVector<int>(m_rowCount + 1, m_entries.size());
    for (int i = m_entries.size() - 1; i >= 0; --i) {
        const int row = int(m_entries[i].key >> 20);
        m_rowStart[row] = i;
        m_columnCount = std::max(m_columnCount, int(m_entries[i].key & 0xFFFFF) + 1);
    }
    // Rows without cells start where the next row starts.
    for (int row = m_rowCount - 1; row >= 0; --row) {
        if (m_rowStart[row] > m_rowStart[row + 1])
            m_rowStart[row] = m_rowStart[row + 1];
    }
}

const SheetCells::Entry *SheetCells::find(int row, int column) const
{
    if (row < 0 || row >= m_rowCount || column < 0)
        return nullptr;
    const auto first = m_entries.cbegin() + m_rowStart[row];
    const auto last = m_entries.cbegin() + m_rowStart[row + 1];
    const qint64 key = keyOf(row, column);
    const auto it = std::lower_bound(first, last, key, [](const Entry &e, qint64 k) { return e.key < k; });
    return it != last && it->key == key ? &*it : nullptr;
}

QString SheetCells::text(int row, int column) const
{
    const Entry *entry = find(row, column);
    return entry ? m_buffer.mid(entry->start, entry->length) : QString();
}

bool SheetCells::isRowEmpty(int row) const
{
    return row < 0 || row >= m_rowCount || m_rowStart[row] == m_rowStart[row + 1];
}

QStringList SheetCells::row(int row) const
{
    QStringList texts;
    texts.reserve(m_columnCount);
    for (int column = 0; column < m_columnCount; ++column)
        texts << text(row, column);
    return texts;
}
