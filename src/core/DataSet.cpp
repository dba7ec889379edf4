#include "DataSet.h"

#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlField>
#include <QSqlQuery>

namespace {

// Named placeholders (":name") of a statement, outside quoted text; "::" is not one.
QStringList placeholdersOf(const QString &sql)
{
    QStringList names;
    QChar quote;
    for (int i = 0; i < sql.size(); ++i) {
        const QChar c = sql[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            continue;
        }
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            quote = c;
        } else if (c == QLatin1Char(':')) {
            if (i + 1 < sql.size() && sql[i + 1] == QLatin1Char(':')) {
                ++i;
                continue;
            }
            int end = i + 1;
            while (end < sql.size() && (sql[end].isLetterOrNumber() || sql[end] == QLatin1Char('_')))
                ++end;
            if (end > i + 1 && !names.contains(sql.mid(i, end - i)))
                names << sql.mid(i, end - i);
            i = end - 1;
        }
    }
    return names;
}

// Removes a trailing ";" so the statement can be wrapped as a sub-query.
QString withoutTerminator(QString sql)
{
    sql = sql.trimmed();
    while (sql.endsWith(QLatin1Char(';')))
        sql.chop(1);
    return sql;
}

} // namespace

DataSet::DataSet(const QString &name, const QString &connectionName, QObject *parent)
    : GridModel(parent), m_connectionName(connectionName)
{
    setObjectName(name);
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

void DataSet::setError(const QSqlError &error) const
{
    m_lastError = error;
}

bool DataSet::execute(QSqlQuery &query, const QString &sql, const QVariantMap &extraBinds) const
{
    query.setForwardOnly(true);
    const QStringList placeholders = placeholdersOf(sql);
    bool ok;
    if (placeholders.isEmpty()) {
        // Statements that PostgreSQL cannot prepare (DDL) run as they are.
        ok = query.exec(sql);
    } else {
        ok = query.prepare(sql);
        for (const QString &name : placeholders)
            query.bindValue(name, extraBinds.contains(name) ? extraBinds.value(name) : m_binds.value(name));
        ok = ok && query.exec();
    }
    if (!ok)
        setError(query.lastError());
    return ok;
}

QString DataSet::wrapped(const QString &selectList, const QString &tail) const
{
    QString sql = QStringLiteral("SELECT %1 FROM (%2) q").arg(selectList, withoutTerminator(m_statement));
    if (!tail.isEmpty())
        sql += QLatin1Char(' ') + tail;
    return sql;
}

QString DataSet::aggregateSource() const
{
    // Order does not change a count or a sum, and leaving it out spares the database a sort.
    static const QRegularExpression finalOrder(QStringLiteral("\\s+order\\s+by\\s+[\\w\\s,.]+$"),
                                               QRegularExpression::CaseInsensitiveOption);
    QString sql = withoutTerminator(m_statement);
    sql.remove(finalOrder);
    return sql;
}

bool DataSet::computeAggregates(const QStringList &sumFields)
{
    QStringList columns{QStringLiteral("COUNT(*)")};
    QStringList summed;
    for (const QString &field : sumFields) {
        const int column = m_fields.indexOf(field);
        if (column >= 0 && !summed.contains(m_fields.fieldName(column))) {
            summed << m_fields.fieldName(column);
            columns << QStringLiteral("SUM(%1)").arg(m_fields.fieldName(column));
        }
    }
    QSqlQuery query(QSqlDatabase::database(m_connectionName, false));
    if (!execute(query, QStringLiteral("SELECT %1 FROM (%2) q").arg(columns.join(QStringLiteral(", ")), aggregateSource())))
        return false;
    if (!query.next())
        return false;
    m_recordCount = query.value(0).toInt();
    for (int i = 0; i < summed.size(); ++i)
        m_sums.insert(summed[i].toLower(), query.value(i + 1));
    return true;
}

bool DataSet::open()
{
    close();
    m_lastError = QSqlError();
    m_fields = QSqlRecord();
    m_sums.clear();
    bindFromMaster();
    beginResetModel();
    bool ok;
    if (pendingChangesMode()) {
        ok = loadAll();
    } else {
        ok = fetchPage(0) && computeAggregates(m_summaryFields);
    }
    m_open = ok;
    if (!ok) {
        m_pages.clear();
        m_pageUse.clear();
        m_rows.clear();
        m_recordCount = 0;
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
    QSqlQuery query(QSqlDatabase::database(m_connectionName, false));
    return execute(query, m_statement);
}

void DataSet::close()
{
    if (!m_open)
        return;
    beginResetModel();
    m_open = false;
    m_recordCount = 0;
    m_pages.clear();
    m_pageUse.clear();
    m_rows.clear();
    m_rowStates.clear();
    m_deletedKeys.clear();
    endResetModel();
    m_currentRow = -1;
    emit closed();
    emit currentRowChanged(-1);
}

bool DataSet::reopen()
{
    return open();
}

bool DataSet::loadAll()
{
    QSqlQuery query(QSqlDatabase::database(m_connectionName, false));
    const QString sql = m_sort.isEmpty() ? m_statement : wrapped(QStringLiteral("*"), QStringLiteral("ORDER BY ") + m_sort);
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
    m_deletedKeys.clear();
    m_recordCount = m_rows.size();
    return true;
}

bool DataSet::fetchPage(int page) const
{
    QSqlQuery query(QSqlDatabase::database(m_connectionName, false));
    QString tail;
    if (!m_sort.isEmpty())
        tail = QStringLiteral("ORDER BY ") + m_sort + QLatin1Char(' ');
    tail += QStringLiteral("LIMIT %1 OFFSET %2").arg(PageSize).arg(qint64(page) * PageSize);
    if (!execute(query, wrapped(QStringLiteral("*"), tail)))
        return false;
    if (m_fields.isEmpty())
        const_cast<DataSet *>(this)->m_fields = query.record();
    const int columns = query.record().count();
    QVector<Row> rows;
    rows.reserve(PageSize);
    while (query.next()) {
        Row row(columns);
        for (int c = 0; c < columns; ++c)
            row[c] = query.value(c);
        rows << row;
    }
    if (m_pages.size() >= MaxCachedPages && !m_pageUse.isEmpty())
        m_pages.remove(m_pageUse.takeFirst());
    m_pages.insert(page, rows);
    m_pageUse.removeAll(page);
    m_pageUse << page;
    return true;
}

const DataSet::Row *DataSet::rowAt(int row) const
{
    if (!m_open || row < 0 || row >= m_recordCount)
        return nullptr;
    if (pendingChangesMode())
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
    const int offset = row % PageSize;
    return offset < it->size() ? &(*it)[offset] : nullptr;
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
    const Row *r = rowAt(row);
    return r && column >= 0 && column < r->size() ? r->at(column) : QVariant();
}

bool DataSet::locate(const QString &field, const QVariant &value)
{
    const int column = m_fields.indexOf(field);
    if (!m_open || column < 0)
        return false;
    if (pendingChangesMode()) {
        for (int row = 0; row < m_rows.size(); ++row) {
            if (m_rows[row][column] == value) {
                setCurrentRow(row);
                return true;
            }
        }
        return false;
    }
    for (auto it = m_pages.cbegin(); it != m_pages.cend(); ++it) {
        for (int i = 0; i < it->size(); ++i) {
            if ((*it)[i][column] == value) {
                setCurrentRow(it.key() * PageSize + i);
                return true;
            }
        }
    }
    // The row's position under the present order, numbered by the database.
    const QString numbered = QStringLiteral("SELECT q.*, ROW_NUMBER() OVER (%1) AS as_rownum FROM (%2) q")
                                 .arg(m_sort.isEmpty() ? QString() : QStringLiteral("ORDER BY ") + m_sort,
                                      withoutTerminator(m_statement));
    const QString sql = QStringLiteral("SELECT MIN(as_rownum) FROM (%1) r WHERE r.%2 = :as_locate")
                            .arg(numbered, m_fields.fieldName(column));
    QSqlQuery query(QSqlDatabase::database(m_connectionName, false));
    if (!execute(query, sql, {{QStringLiteral(":as_locate"), value}}) || !query.next() || query.value(0).isNull())
        return false;
    setCurrentRow(query.value(0).toInt() - 1);
    return true;
}

void DataSet::setSort(const QString &orderBy)
{
    const QString sort = orderBy.trimmed();
    if (sort == m_sort)
        return;
    m_sort = sort;
    if (!m_open)
        return;
    if (pendingChangesMode()) {
        reopen();
        return;
    }
    beginResetModel();
    m_pages.clear();
    m_pageUse.clear();
    const bool ok = fetchPage(0);
    endResetModel();
    if (!ok)
        return;
    m_currentRow = m_recordCount > 0 ? 0 : -1;
    emit currentRowChanged(m_currentRow);
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
    for (const QString &name : placeholdersOf(m_statement)) {
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
    if (pendingChangesMode()) {
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
    const QString key = m_fields.fieldName(column).toLower();
    if (!m_sums.contains(key))
        computeAggregates(m_summaryFields + QStringList{field});
    return m_sums.value(key);
}

void DataSet::setSummaryFields(const QStringList &fields)
{
    m_summaryFields = fields;
}

void DataSet::setPendingChanges(const QString &table, const QString &keyField)
{
    m_pendingTable = table;
    m_keyField = keyField;
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
    const int position = m_rows.size();
    beginInsertRows({}, position, position);
    m_rows << row;
    m_rowStates << RowState::Inserted;
    m_recordCount = m_rows.size();
    endInsertRows();
    setCurrentRow(position);
    return position;
}

void DataSet::deleteRecord(int row)
{
    if (!pendingChangesMode() || row < 0 || row >= m_rows.size())
        return;
    if (m_rowStates[row] != RowState::Inserted)
        m_deletedKeys << m_rows[row][m_fields.indexOf(m_keyField)];
    beginRemoveRows({}, row, row);
    m_rows.remove(row);
    m_rowStates.remove(row);
    m_recordCount = m_rows.size();
    endRemoveRows();
    const int current = qMin(m_currentRow, m_recordCount - 1);
    m_currentRow = -2;
    setCurrentRow(current);
}

bool DataSet::hasPendingChanges() const
{
    return !m_deletedKeys.isEmpty()
        || std::any_of(m_rowStates.cbegin(), m_rowStates.cend(),
                       [](RowState s) { return s != RowState::Unchanged; });
}

bool DataSet::applyUpdates()
{
    if (!pendingChangesMode() || !hasPendingChanges())
        return true;
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    const int keyColumn = m_fields.indexOf(m_keyField);
    // The current row stays current across the reopen; an inserted one by its new key.
    QVariant currentKey = value(m_currentRow, keyColumn);
    QStringList columns;
    for (int c = 0; c < m_fields.count(); ++c) {
        if (c != keyColumn)
            columns << m_fields.fieldName(c);
    }
    // One query for all statements: it outlives a failure until the rollback.
    QSqlQuery query(db);
    auto run = [&](const QString &sql, const QVariantList &values) {
        query.prepare(sql);
        for (const QVariant &v : values)
            query.addBindValue(v);
        if (!query.exec()) {
            setError(query.lastError());
            return false;
        }
        return true;
    };
    if (!db.transaction()) {
        setError(db.lastError());
        return false;
    }
    bool ok = true;
    const QString keyCondition = QStringLiteral(" WHERE %1 = ?").arg(m_keyField);
    for (const QVariant &key : std::as_const(m_deletedKeys)) {
        ok = ok && run(QStringLiteral("DELETE FROM ") + m_pendingTable + keyCondition, {key});
    }
    for (int row = 0; ok && row < m_rows.size(); ++row) {
        QVariantList values;
        for (int c = 0; c < m_fields.count(); ++c) {
            if (c != keyColumn)
                values << m_rows[row][c];
        }
        if (m_rowStates[row] == RowState::Modified) {
            QStringList assignments;
            for (const QString &column : std::as_const(columns))
                assignments << column + QStringLiteral(" = ?");
            values << m_rows[row][keyColumn];
            ok = run(QStringLiteral("UPDATE %1 SET %2").arg(m_pendingTable, assignments.join(QStringLiteral(", ")))
                         + keyCondition,
                     values);
        } else if (m_rowStates[row] == RowState::Inserted) {
            ok = run(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                         .arg(m_pendingTable, columns.join(QStringLiteral(", ")),
                              QStringList(columns.size(), QStringLiteral("?")).join(QStringLiteral(", "))),
                     values);
            if (ok && row == m_currentRow)
                currentKey = query.lastInsertId();
        }
    }
    if (!ok || !db.commit()) {
        if (ok)
            setError(db.lastError());
        db.rollback();
        return false;
    }
    if (!reopen())
        return false;
    if (!currentKey.isNull())
        locate(m_keyField, currentKey);
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
    if (pendingChangesMode()) {
        for (const Row &row : m_rows) {
            if (!visit(row))
                break;
        }
        return true;
    }
    QSqlQuery query(QSqlDatabase::database(m_connectionName, false));
    if (!execute(query, wrapped(QStringLiteral("*"), m_sort.isEmpty() ? QString() : QStringLiteral("ORDER BY ") + m_sort)))
        return false;
    Row row(m_fields.count());
    while (query.next()) {
        for (int c = 0; c < row.size(); ++c)
            row[c] = query.value(c);
        if (!visit(row))
            break;
    }
    return true;
}

int DataSet::cachedRowCount() const
{
    if (pendingChangesMode())
        return m_rows.size();
    int rows = 0;
    for (const auto &page : m_pages)
        rows += page.size();
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
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return QVariant();
    return value(index.row(), index.column());
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
