#include "DataSet.h"

#include "DbConnection.h"
#include "TableDefinitions.h"

#include <QRegularExpression>
#include <QSet>
#include <QSqlQuery>
#include <algorithm>

namespace {

// Removes a trailing ";" so the statement can be wrapped as a sub-query.
QString withoutTerminator(QString sql)
{
    sql = sql.trimmed();
    while (sql.endsWith(QLatin1Char(';')))
        sql.chop(1);
    return sql;
}

// A final ORDER BY of plain column names, which the snapshot takes over as its own order.
const QRegularExpression &finalOrderBy()
{
    static const QRegularExpression pattern(QStringLiteral("\\s+order\\s+by\\s+([\\w\\s,.]+)$"),
                                            QRegularExpression::CaseInsensitiveOption);
    return pattern;
}

// The column a sort term names ("q.money DESC" -> "money").
QString termColumn(const QString &term)
{
    QString column = term.trimmed().section(QLatin1Char(' '), 0, 0);
    return column.section(QLatin1Char('.'), -1);
}

bool termDescending(const QString &term)
{
    return term.trimmed().endsWith(QLatin1String(" desc"), Qt::CaseInsensitive);
}

QString keyList(const QVector<qint64> &keys)
{
    QStringList texts;
    texts.reserve(keys.size());
    for (const qint64 key : keys)
        texts << QString::number(key);
    return texts.join(QLatin1Char(','));
}

} // namespace

DataSet::DataSet(const QString &name, DbConnection *connection, QObject *parent)
    : GridModel(parent), m_connection(connection)
{
    setObjectName(name);
}

QString DataSet::changedElsewhereText()
{
    return QStringLiteral("该记录已被其他工作站修改或删除");
}

void DataSet::setStatement(const QString &sql)
{
    m_statement = sql;
}

void DataSet::bindValue(const QString &placeholder, const QVariant &value)
{
    m_binds.insert(placeholder.startsWith(QLatin1Char(':')) ? placeholder : QLatin1Char(':') + placeholder,
                   value);
}

void DataSet::clearBindValues()
{
    m_binds.clear();
}

void DataSet::setRecordSource(const QString &table, const QString &keyField)
{
    m_table = table;
    m_keyField = keyField;
}

void DataSet::setError(const QSqlError &error) const
{
    m_lastError = error;
}

bool DataSet::execute(QSqlQuery &query, const QString &sql, const QVariantMap &extraBinds) const
{
    query.setForwardOnly(true);
    QVariantMap binds = m_binds;
    for (auto it = extraBinds.cbegin(); it != extraBinds.cend(); ++it)
        binds.insert(it.key(), it.value());
    QSqlError error;
    if (m_connection->exec(query, sql, binds, DbConnection::Access::Read, &error))
        return true;
    setError(error);
    return false;
}

QString DataSet::source() const
{
    // The statement's own order is applied by the snapshot; inside a sub-query it is no use.
    QString sql = withoutTerminator(m_statement);
    if (m_keyed || !m_keyField.isEmpty())
        sql.remove(finalOrderBy());
    return sql;
}

QString DataSet::snapshotOrder() const
{
    QString order = m_sort;
    if (order.isEmpty()) {
        const QRegularExpressionMatch match = finalOrderBy().match(withoutTerminator(m_statement));
        if (match.hasMatch())
            order = match.captured(1);
    }
    QStringList terms;
    bool hasKey = false;
    for (const QString &term : order.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString column = termColumn(term);
        if (column.isEmpty())
            continue;
        hasKey = hasKey || column.compare(m_keyField, Qt::CaseInsensitive) == 0;
        terms << column + (termDescending(term) ? QStringLiteral(" DESC") : QString());
    }
    // Rows with equal sort values keep one order: the key decides, in the first term's direction.
    if (!hasKey)
        terms << m_keyField + (!terms.isEmpty() && termDescending(terms.first()) ? QStringLiteral(" DESC") : QString());
    return terms.join(QStringLiteral(", "));
}

bool DataSet::readFields()
{
    QSqlQuery query(m_connection->database());
    if (!execute(query, QStringLiteral("SELECT * FROM (%1) q WHERE 1 = 0").arg(source())))
        return false;
    m_fields = query.record();
    return true;
}

bool DataSet::readKeys()
{
    // Where reading the keys in their own order reads the rows anyway, the footer's sums come
    // from the same pass: one scan instead of two, and sums of exactly the snapshot's rows.
    QStringList summed;
    const QString order = snapshotOrder();
    if (m_connection->dialect().keyOrderReadsRows() && !m_sumsValid && termColumn(order).compare(m_keyField, Qt::CaseInsensitive) == 0
        && !order.contains(QLatin1Char(','))) {
        for (const QString &field : std::as_const(m_summaryFields)) {
            const int column = m_fields.indexOf(field);
            if (column >= 0 && !summed.contains(m_fields.fieldName(column), Qt::CaseInsensitive))
                summed << m_fields.fieldName(column);
        }
    }
    QStringList columns{QStringLiteral("q.") + m_keyField};
    for (const QString &field : std::as_const(summed))
        columns << QStringLiteral("q.") + field;
    QSqlQuery query(m_connection->database());
    const QString sql = QStringLiteral("SELECT %1 FROM (%2) q ORDER BY %3").arg(columns.join(QStringLiteral(", ")), source(), order);
    if (!execute(query, sql))
        return false;
    QVector<qint64> keys;
    QVector<double> totals(summed.size(), 0.0);
    QVector<bool> any(summed.size(), false);
    while (query.next()) {
        keys << query.value(0).toLongLong();
        for (int i = 0; i < summed.size(); ++i) {
            const QVariant value = query.value(i + 1);
            if (!value.isNull()) {
                totals[i] += value.toDouble();
                any[i] = true;
            }
        }
    }
    m_keys = std::move(keys);
    m_recordCount = int(m_keys.size());
    if (!summed.isEmpty()) {
        m_sums.clear();
        for (int i = 0; i < summed.size(); ++i)
            m_sums.insert(summed[i].toLower(), any[i] ? QVariant(totals[i]) : QVariant());
        m_sumsValid = true;
    }
    return true;
}

bool DataSet::loadAll()
{
    QSqlQuery query(m_connection->database());
    QString sql = m_statement;
    if (!m_sort.isEmpty())
        sql = QStringLiteral("SELECT * FROM (%1) q ORDER BY %2").arg(withoutTerminator(m_statement), m_sort);
    if (!execute(query, sql))
        return false;
    m_fields = query.record();
    m_rows.clear();
    while (query.next()) {
        Row row(m_fields.count());
        for (int c = 0; c < row.size(); ++c)
            row[c] = query.value(c);
        m_rows << row;
    }
    m_rowStates = QVector<RowState>(m_rows.size(), RowState::Unchanged);
    m_deletedRows.clear();
    m_recordCount = int(m_rows.size());
    return true;
}

bool DataSet::computeSums(const QStringList &fields)
{
    QStringList columns;
    QStringList summed;
    for (const QString &field : fields) {
        const int column = m_fields.indexOf(field);
        if (column >= 0 && !summed.contains(m_fields.fieldName(column))) {
            summed << m_fields.fieldName(column);
            columns << QStringLiteral("SUM(%1)").arg(m_fields.fieldName(column));
        }
    }
    m_sums.clear();
    m_sumsValid = true;
    if (summed.isEmpty())
        return true;
    QSqlQuery query(m_connection->database());
    if (!execute(query, QStringLiteral("SELECT %1 FROM (%2) q").arg(columns.join(QStringLiteral(", ")), source()))
        || !query.next())
        return false;
    for (int i = 0; i < summed.size(); ++i)
        m_sums.insert(summed[i].toLower(), query.value(i));
    return true;
}

bool DataSet::open()
{
    close();
    m_lastError = QSqlError();
    m_fields = QSqlRecord();
    m_sums.clear();
    m_sumsValid = false;
    m_keyed = false;
    m_sameColumnsAsTable = -1;
    bindFromMaster();
    beginResetModel();
    bool ok;
    if (pendingChangesMode() || m_keyField.isEmpty()) {
        ok = loadAll();
    } else {
        ok = readFields();
        m_keyed = ok && m_fields.indexOf(m_keyField) >= 0;
        if (ok)
            ok = m_keyed ? readKeys() : loadAll();
        if (ok && m_keyed && !m_summaryFields.isEmpty() && !m_sumsValid)
            ok = computeSums(m_summaryFields);
    }
    m_open = ok;
    if (!ok) {
        clearPages();
        m_keys.clear();
        m_rows.clear();
        m_recordCount = 0;
        m_keyed = false;
    }
    endResetModel();
    if (!ok)
        return false;
    m_currentRow = m_recordCount > 0 ? 0 : -1;
    emit opened();
    emit currentRowChanged(m_currentRow);
    return true;
}

bool DataSet::exec()
{
    close();
    m_lastError = QSqlError();
    QSqlQuery query(m_connection->database());
    QSqlError error;
    if (m_connection->exec(query, m_statement, m_binds, DbConnection::Access::Write, &error))
        return true;
    setError(error);
    return false;
}

void DataSet::close()
{
    if (!m_open)
        return;
    beginResetModel();
    m_open = false;
    m_keyed = false;
    m_recordCount = 0;
    clearPages();
    m_keys.clear();
    m_rows.clear();
    m_rowStates.clear();
    m_deletedRows.clear();
    endResetModel();
    m_currentRow = -1;
    emit closed();
    emit currentRowChanged(-1);
}

bool DataSet::reopen()
{
    return open();
}

void DataSet::clearPages()
{
    m_pages.clear();
    m_pageUse.clear();
}

bool DataSet::tableHasSameColumns() const
{
    if (m_sameColumnsAsTable < 0) {
        m_sameColumnsAsTable = 0;
        QSqlQuery query(m_connection->database());
        if (execute(query, QStringLiteral("SELECT * FROM %1 WHERE 1 = 0").arg(m_table))) {
            const QSqlRecord columns = query.record();
            bool same = columns.count() == m_fields.count();
            for (int c = 0; same && c < columns.count(); ++c)
                same = columns.fieldName(c).compare(m_fields.fieldName(c), Qt::CaseInsensitive) == 0;
            m_sameColumnsAsTable = same ? 1 : 0;
        }
    }
    return m_sameColumnsAsTable == 1;
}

QHash<qint64, DataSet::Row> DataSet::fetchByKeys(const QVector<qint64> &keys) const
{
    QHash<qint64, Row> found;
    const auto read = [this, &found](const QString &sql) {
        QSqlQuery query(m_connection->database());
        if (!execute(query, sql))
            return false;
        const int columns = query.record().count();
        const int keyColumn = query.record().indexOf(m_keyField);
        while (query.next()) {
            Row row(columns);
            for (int c = 0; c < columns; ++c)
                row[c] = query.value(c);
            found.insert(row[keyColumn].toLongLong(), row);
        }
        return true;
    };
    if (!read(QStringLiteral("SELECT * FROM (%1) q WHERE q.%2 IN (%3)").arg(source(), m_keyField, keyList(keys))))
        return found;
    // A row the statement no longer matches (another workstation changed it) keeps its place
    // with what is stored now; only a row that no longer exists is gone.
    if (found.size() < keys.size() && tableHasSameColumns()) {
        QVector<qint64> missing;
        for (const qint64 key : keys) {
            if (!found.contains(key))
                missing << key;
        }
        read(QStringLiteral("SELECT * FROM %1 WHERE %2 IN (%3)").arg(m_table, m_keyField, keyList(missing)));
    }
    return found;
}

bool DataSet::fetchPage(int page) const
{
    const int first = page * PageSize;
    const int count = qMin(PageSize, m_recordCount - first);
    if (count <= 0)
        return false;
    const QVector<qint64> keys = m_keys.mid(first, count);
    m_lastError = QSqlError();
    const QHash<qint64, Row> rows = fetchByKeys(keys);
    if (m_lastError.isValid() && rows.isEmpty())
        return false;
    Page fetched;
    fetched.rows.resize(count);
    fetched.gone.resize(count);
    for (int i = 0; i < count; ++i) {
        const auto it = rows.constFind(keys[i]);
        if (it != rows.constEnd()) {
            fetched.rows[i] = *it;
        } else {
            fetched.rows[i] = Row(m_fields.count());
            fetched.gone.setBit(i);
        }
    }
    if (m_pages.size() >= MaxCachedPages && !m_pageUse.isEmpty())
        m_pages.remove(m_pageUse.takeFirst());
    m_pages.insert(page, fetched);
    m_pageUse.removeAll(page);
    m_pageUse << page;
    return true;
}

const DataSet::Row *DataSet::rowAt(int row) const
{
    if (!m_open || row < 0 || row >= m_recordCount)
        return nullptr;
    if (!m_keyed)
        return &m_rows[row];
    const int page = row / PageSize;
    auto it = m_pages.constFind(page);
    if (it == m_pages.constEnd()) {
        if (!fetchPage(page))
            return nullptr;
        it = m_pages.constFind(page);
    } else if (m_pageUse.last() != page) {
        m_pageUse.removeOne(page);
        m_pageUse << page;
    }
    return &it->rows[row % PageSize];
}

void DataSet::setCurrentRow(int row)
{
    if (row < -1 || row >= recordCount() || row == m_currentRow)
        return;
    m_currentRow = row;
    emit currentRowChanged(row);
}

QVariant DataSet::value(const QString &field) const
{
    return value(m_currentRow, field);
}

QVariant DataSet::value(int row, const QString &field) const
{
    return value(row, m_fields.indexOf(field));
}

QVariant DataSet::value(int row, int column) const
{
    if (m_keyed && row >= 0 && row < m_recordCount && column >= 0 && column == m_fields.indexOf(m_keyField))
        return m_keys[row];
    const Row *r = rowAt(row);
    return r && column >= 0 && column < r->size() ? r->at(column) : QVariant();
}

QVariant DataSet::key(int row) const
{
    if (!m_open || row < 0 || row >= m_recordCount)
        return QVariant();
    if (m_keyed)
        return m_keys[row];
    const int column = m_fields.indexOf(m_keyField);
    return column >= 0 ? m_rows[row][column] : QVariant();
}

bool DataSet::isRowGone(int row) const
{
    if (!m_keyed || !rowAt(row))
        return false;
    return m_pages.value(row / PageSize).gone.testBit(row % PageSize);
}

bool DataSet::locate(const QString &field, const QVariant &value)
{
    const int column = m_fields.indexOf(field);
    if (!m_open || column < 0)
        return false;
    if (!m_keyed) {
        for (int row = 0; row < m_rows.size(); ++row) {
            if (m_rows[row][column] == value) {
                setCurrentRow(row);
                return true;
            }
        }
        return false;
    }
    if (column == m_fields.indexOf(m_keyField))
        return locateKey(value);
    // The records that have the value now, then the first of them in the snapshot's order.
    QSqlQuery query(m_connection->database());
    const QString sql = QStringLiteral("SELECT q.%1 FROM (%2) q WHERE q.%3 = :as_locate")
                            .arg(m_keyField, source(), m_fields.fieldName(column));
    if (!execute(query, sql, {{QStringLiteral(":as_locate"), value}}))
        return false;
    QSet<qint64> matching;
    while (query.next())
        matching.insert(query.value(0).toLongLong());
    if (matching.isEmpty())
        return false;
    const auto it = std::find_if(m_keys.cbegin(), m_keys.cend(), [&matching](qint64 key) { return matching.contains(key); });
    if (it == m_keys.cend())
        return false;
    setCurrentRow(int(it - m_keys.cbegin()));
    return true;
}

bool DataSet::locateKey(const QVariant &key)
{
    if (!m_open || key.isNull())
        return false;
    int row = -1;
    if (m_keyed) {
        row = int(m_keys.indexOf(key.toLongLong()));
    } else {
        const int column = m_fields.indexOf(m_keyField);
        for (int r = 0; column >= 0 && r < m_rows.size() && row < 0; ++r) {
            if (m_rows[r][column] == key)
                row = r;
        }
    }
    if (row < 0)
        return false;
    setCurrentRow(row);
    return true;
}

bool DataSet::refreshRecord(const QVariant &key)
{
    if (!m_open)
        return false;
    if (!m_keyed) {
        const int current = m_currentRow;
        if (!reopen())
            return false;
        if (locateKey(key))
            return true;
        setCurrentRow(qMin(current, m_recordCount - 1));
        return false;
    }
    const qint64 k = key.toLongLong();
    const int position = int(m_keys.indexOf(k));
    const QHash<qint64, Row> rows = fetchByKeys({k});
    const bool found = rows.contains(k);
    const Row *fresh = found ? &*rows.constFind(k) : nullptr;
    if (position >= 0) {
        const int page = position / PageSize;
        auto it = m_pages.find(page);
        if (it != m_pages.end()) {
            Row &cached = it->rows[position % PageSize];
            adjustSums(it->gone.testBit(position % PageSize) ? nullptr : &cached, fresh);
            cached = found ? *fresh : Row(m_fields.count());
            it->gone.setBit(position % PageSize, !found);
        } else {
            m_sumsValid = false;   // what the row held before is not known here
        }
        emit dataChanged(index(position, 0), index(position, qMax(0, m_fields.count() - 1)));
        // What follows the current record (the detail lists) follows its new values.
        if (position == m_currentRow)
            emit currentRowChanged(m_currentRow);
        return found;
    }
    // A new record: only when the statement itself matches it.
    QSqlQuery query(m_connection->database());
    if (!execute(query, QStringLiteral("SELECT q.%1 FROM (%2) q WHERE q.%1 = %3").arg(m_keyField, source()).arg(k))
        || !query.next())
        return false;
    if (found)
        adjustSums(nullptr, fresh);
    else
        m_sumsValid = false;
    beginInsertRows({}, m_recordCount, m_recordCount);
    m_keys.append(k);
    m_pages.remove(m_recordCount / PageSize);
    m_pageUse.removeAll(m_recordCount / PageSize);
    ++m_recordCount;
    endInsertRows();
    return true;
}

void DataSet::adjustSums(const Row *before, const Row *after)
{
    // A write of this workstation moves the footer by the row's change, without another pass
    // over the whole list.
    if (!m_sumsValid)
        return;
    for (auto it = m_sums.begin(); it != m_sums.end(); ++it) {
        const int column = m_fields.indexOf(it.key());
        double total = it.value().toDouble();
        bool any = !it.value().isNull();
        if (before && !before->at(column).isNull())
            total -= before->at(column).toDouble();
        if (after && !after->at(column).isNull()) {
            total += after->at(column).toDouble();
            any = true;
        }
        *it = any ? QVariant(total) : QVariant();
    }
}

void DataSet::setSort(const QString &orderBy)
{
    const QString sort = orderBy.trimmed();
    if (sort == m_sort)
        return;
    const QString previousSort = m_sort;
    m_sort = sort;
    if (!m_open)
        return;
    if (!m_keyed) {
        reopen();
        return;
    }
    const QVariant current = key(m_currentRow);
    const QVector<qint64> previousKeys = m_keys;
    beginResetModel();
    clearPages();
    // A sort the database refuses leaves the list in its previous order.
    if (!readKeys()) {
        m_sort = previousSort;
        m_keys = previousKeys;
        m_recordCount = int(m_keys.size());
    }
    endResetModel();
    m_currentRow = -1;
    if (!locateKey(current))
        setCurrentRow(m_recordCount > 0 ? 0 : -1);
}

void DataSet::setDisplayLabel(const QString &field, const QString &label)
{
    m_labels.insert(field.toLower(), label);
    const int column = m_fields.indexOf(field);
    if (column >= 0)
        emit headerDataChanged(Qt::Horizontal, column, column);
}

QString DataSet::displayLabel(const QString &field) const
{
    return m_labels.value(field.toLower(), field);
}

void DataSet::setMasterSource(DataSet *master)
{
    if (m_master)
        disconnect(m_master, nullptr, this, nullptr);
    m_master = master;
    if (master)
        connect(master, &DataSet::currentRowChanged, this, &DataSet::masterRowChanged);
}

void DataSet::bindFromMaster()
{
    if (!m_master)
        return;
    for (const QString &name : DbConnection::placeholders(m_statement)) {
        const QString field = name.mid(1);
        if (m_master->fields().indexOf(field) >= 0)
            m_binds.insert(name, m_master->value(field));
    }
}

void DataSet::masterRowChanged()
{
    if (m_open)
        reopen();
}

QVariant DataSet::sum(const QString &field)
{
    const int column = m_fields.indexOf(field);
    if (!m_open || column < 0)
        return QVariant();
    if (!m_keyed) {
        // Held in memory, with the edits not yet written.
        double total = 0;
        bool any = false;
        for (const Row &row : std::as_const(m_rows)) {
            if (!row[column].isNull()) {
                total += row[column].toDouble();
                any = true;
            }
        }
        return any ? QVariant(total) : QVariant();
    }
    const QString name = m_fields.fieldName(column).toLower();
    if (!m_sumsValid || !m_sums.contains(name)) {
        QStringList fields = m_summaryFields;
        if (!fields.contains(field, Qt::CaseInsensitive))
            fields << field;
        computeSums(fields);
    }
    return m_sums.value(name);
}

void DataSet::setSummaryFields(const QStringList &fields)
{
    m_summaryFields = fields;
}

void DataSet::setPendingChanges(const QString &table, const QString &keyField)
{
    m_pendingChanges = true;
    setRecordSource(table, keyField);
}

void DataSet::setFieldValue(int row, const QString &field, const QVariant &value)
{
    const int column = m_fields.indexOf(field);
    if (!pendingChangesMode() || row < 0 || row >= m_rows.size() || column < 0)
        return;
    m_rows[row][column] = value;
    if (m_rowStates[row] == RowState::Unchanged)
        m_rowStates[row] = RowState::Modified;
    emit dataChanged(index(row, column), index(row, column));
}

int DataSet::appendRecord(const QVariantMap &values)
{
    if (!pendingChangesMode() || !m_open)
        return -1;
    Row row(m_fields.count());
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        const int column = m_fields.indexOf(it.key());
        if (column >= 0)
            row[column] = it.value();
    }
    const int position = int(m_rows.size());
    beginInsertRows({}, position, position);
    m_rows << row;
    m_rowStates << RowState::Inserted;
    m_recordCount = int(m_rows.size());
    endInsertRows();
    setCurrentRow(position);
    return position;
}

void DataSet::deleteRecord(int row)
{
    if (!pendingChangesMode() || row < 0 || row >= m_rows.size())
        return;
    if (m_rowStates[row] != RowState::Inserted)
        m_deletedRows << m_rows[row];
    beginRemoveRows({}, row, row);
    m_rows.remove(row);
    m_rowStates.remove(row);
    m_recordCount = int(m_rows.size());
    endRemoveRows();
    const int current = qMin(m_currentRow, m_recordCount - 1);
    m_currentRow = -2;
    setCurrentRow(current);
}

bool DataSet::hasPendingChanges() const
{
    return !m_deletedRows.isEmpty()
        || std::any_of(m_rowStates.cbegin(), m_rowStates.cend(),
                       [](RowState s) { return s != RowState::Unchanged; });
}

bool DataSet::applyUpdates()
{
    if (!pendingChangesMode() || !hasPendingChanges())
        return true;
    const int keyColumn = m_fields.indexOf(m_keyField);
    const int versionColumn = m_fields.indexOf(QString::fromLatin1(RowVersionColumn));
    // The current row stays current across the reopen; an inserted one by its new key.
    QVariant currentKey = value(m_currentRow, keyColumn);
    QStringList columns;
    QList<int> written;
    for (int c = 0; c < m_fields.count(); ++c) {
        if (c != keyColumn && c != versionColumn) {
            columns << m_fields.fieldName(c);
            written << c;
        }
    }
    QSqlError error;
    QSqlQuery query(m_connection->database());
    const auto run = [&](const QString &sql, const QVariantMap &binds) {
        return m_connection->exec(query, sql, binds, DbConnection::Access::Write, &error);
    };
    // Written only over the row as it was read: the key, and the row's update count when kept.
    const auto rowCondition = [&](const Row &row, QVariantMap *binds) {
        binds->insert(QStringLiteral(":as_key"), row[keyColumn]);
        if (versionColumn < 0)
            return QStringLiteral(" WHERE %1 = :as_key").arg(m_keyField);
        binds->insert(QStringLiteral(":as_version"), row[versionColumn].toLongLong());
        return QStringLiteral(" WHERE %1 = :as_key AND COALESCE(%2, 0) = :as_version")
            .arg(m_keyField, QString::fromLatin1(RowVersionColumn));
    };
    const auto stillExists = [&](const QVariant &key) {
        QSqlQuery probe(m_connection->database());
        return m_connection->exec(probe, QStringLiteral("SELECT 1 FROM %1 WHERE %2 = :k").arg(m_table, m_keyField),
                                  {{QStringLiteral(":k"), key}})
            && probe.next();
    };
    const QSqlError changedElsewhere(QString(), changedElsewhereText(), QSqlError::TransactionError);

    if (!m_connection->beginTransaction(&error)) {
        setError(error);
        return false;
    }
    bool ok = true;
    for (const Row &row : std::as_const(m_deletedRows)) {
        QVariantMap binds;
        const QString where = rowCondition(row, &binds);
        ok = run(QStringLiteral("DELETE FROM ") + m_table + where, binds);
        // A line that is already gone is what the operator wanted; a changed one is not.
        if (ok && query.numRowsAffected() == 0 && stillExists(row[keyColumn])) {
            error = changedElsewhere;
            ok = false;
        }
        if (!ok)
            break;
    }
    for (int r = 0; ok && r < m_rows.size(); ++r) {
        QVariantMap binds;
        QStringList placeholders;
        for (int i = 0; i < written.size(); ++i) {
            placeholders << QStringLiteral(":c%1").arg(i);
            binds.insert(placeholders.last(), m_rows[r][written[i]]);
        }
        if (m_rowStates[r] == RowState::Modified) {
            QStringList assignments;
            for (int i = 0; i < columns.size(); ++i)
                assignments << columns[i] + QStringLiteral(" = ") + placeholders[i];
            const QString where = rowCondition(m_rows[r], &binds);
            ok = run(QStringLiteral("UPDATE %1 SET %2").arg(m_table, assignments.join(QStringLiteral(", "))) + where, binds);
            if (ok && query.numRowsAffected() == 0) {
                error = changedElsewhere;
                ok = false;
            }
        } else if (m_rowStates[r] == RowState::Inserted) {
            ok = run(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                         .arg(m_table, columns.join(QStringLiteral(", ")), placeholders.join(QStringLiteral(", "))),
                     binds);
            if (ok && r == m_currentRow)
                currentKey = query.lastInsertId();
        }
    }
    if (!ok || !m_connection->commit(&error)) {
        m_connection->rollback();
        setError(error);
        return false;
    }
    if (!reopen())
        return false;
    locateKey(currentKey);
    return true;
}

void DataSet::cancelUpdates()
{
    if (pendingChangesMode() && m_open)
        reopen();
}

bool DataSet::forEachRow(const std::function<bool(const QVector<QVariant> &)> &visit) const
{
    if (!m_open)
        return false;
    if (!m_keyed) {
        for (const Row &row : m_rows) {
            if (!visit(row))
                break;
        }
        return true;
    }
    // The snapshot's rows in large runs of keys, past the page cache: an export reads each
    // row once. A row deleted elsewhere is left out.
    constexpr int KeysPerRead = 2000;
    for (int first = 0; first < m_recordCount; first += KeysPerRead) {
        const QVector<qint64> keys = m_keys.mid(first, KeysPerRead);
        m_lastError = QSqlError();
        const QHash<qint64, Row> rows = fetchByKeys(keys);
        if (m_lastError.isValid())
            return false;
        for (const qint64 key : keys) {
            const auto it = rows.constFind(key);
            if (it != rows.constEnd() && !visit(*it))
                return true;
        }
    }
    return true;
}

int DataSet::cachedRowCount() const
{
    if (!m_keyed)
        return int(m_rows.size());
    int rows = 0;
    for (const auto &page : m_pages)
        rows += int(page.rows.size());
    return rows;
}

int DataSet::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : recordCount();
}

int DataSet::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() || !m_open ? 0 : m_fields.count();
}

QVariant DataSet::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return QVariant();
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return value(index.row(), index.column());
    if (role == Qt::ToolTipRole && isRowGone(index.row()))
        return QStringLiteral("该记录已被其他工作站删除");
    return QVariant();
}

QVariant DataSet::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QVariant();
    if (orientation == Qt::Vertical)
        return section + 1;
    return section < m_fields.count() ? displayLabel(m_fields.fieldName(section)) : QVariant();
}

Qt::ItemFlags DataSet::flags(const QModelIndex &index) const
{
    Qt::ItemFlags flags = GridModel::flags(index);
    if (pendingChangesMode() && index.isValid() && index.column() != m_fields.indexOf(m_keyField))
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool DataSet::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
        return false;
    setFieldValue(index.row(), m_fields.fieldName(index.column()), value);
    return true;
}
