#include "RowCopy.h"

#include "DatabaseErrors.h"
#include "DbConnection.h"
#include "TableDefinitions.h"

#include <QDateTime>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace {

const char *const VersionTable = "T_SchemaVersion";
// Values bound in one INSERT of several rows: far below what either engine accepts.
constexpr int ValuesPerStatement = 8000;

using Type = SqlDialect::ColumnType;

QMetaType storedType(Type type)
{
    switch (type) {
    case Type::AutoNumber:
    case Type::Integer: return QMetaType::fromType<qlonglong>();
    case Type::Float:
    case Type::Money: return QMetaType::fromType<double>();
    case Type::Text:
    case Type::Memo: return QMetaType::fromType<QString>();
    case Type::DateTime: return QMetaType::fromType<QDateTime>();
    case Type::Boolean: return QMetaType::fromType<bool>();
    }
    return QMetaType::fromType<QString>();
}

QVariant dateTimeFromText(const QString &text)
{
    for (const Qt::DateFormat format : {Qt::ISODateWithMs, Qt::ISODate}) {
        QDateTime value = QDateTime::fromString(text, format);
        if (!value.isValid())
            value = QDateTime::fromString(QString(text).replace(QLatin1Char(' '), QLatin1Char('T')), format);
        if (value.isValid())
            return value;
    }
    const QDate day = QDate::fromString(text, Qt::ISODate);
    if (day.isValid())
        return day.startOfDay();
    return text;
}

// The value as the target column takes it. SQLite keeps whatever a column was given: a value
// that is not of the column's type stays as it is, so that the target refuses it with its
// reason instead of the copy changing it silently.
QVariant forTarget(const QVariant &value, Type type)
{
    if (value.isNull())
        return QVariant(storedType(type));
    switch (type) {
    case Type::AutoNumber:
    case Type::Integer: {
        bool ok = false;
        const qlonglong number = value.toLongLong(&ok);
        return ok ? QVariant(number) : value;
    }
    case Type::Float:
    case Type::Money: {
        bool ok = false;
        const double number = value.toDouble(&ok);
        return ok ? QVariant(number) : value;
    }
    case Type::Text:
    case Type::Memo: return value.toString();
    case Type::DateTime:
        return value.typeId() == QMetaType::QDateTime ? value : dateTimeFromText(value.toString());
    case Type::Boolean: return value.toBool();
    }
    return value;
}

QString insertStatement(const QString &table, const QStringList &columns, int rows)
{
    QStringList marks;
    for (int i = 0; i < columns.size(); ++i)
        marks << QStringLiteral("?");
    const QString row = QLatin1Char('(') + marks.join(QLatin1Char(',')) + QLatin1Char(')');
    QStringList values;
    for (int i = 0; i < rows; ++i)
        values << row;
    return QStringLiteral("INSERT INTO %1 (%2) VALUES %3")
        .arg(table, columns.join(QLatin1Char(',')), values.join(QLatin1Char(',')));
}

QString tableFailure(const QString &table, const QSqlError &error)
{
    return QStringLiteral("%1：%2").arg(table, DatabaseErrors::reason(error));
}

} // namespace

RowCopy::RowCopy(DbConnection &source, DbConnection &target) : m_source(source), m_target(target) {}

QStringList RowCopy::tables()
{
    QStringList names;
    for (const auto &table : tableDefinitions()) {
        if (qstrcmp(table.name, VersionTable) != 0)
            names << QString::fromLatin1(table.name);
    }
    return names;
}

bool RowCopy::countRows(const QStringList &present, QString *error)
{
    m_total = 0;
    for (const QString &table : present) {
        QSqlQuery query(m_source.database());
        if (!query.exec(QStringLiteral("SELECT COUNT(*) FROM %1").arg(table)) || !query.next()) {
            *error = tableFailure(table, query.lastError());
            return false;
        }
        m_total += query.value(0).toLongLong();
    }
    return true;
}

bool RowCopy::run(QString *error)
{
    QString failure;
    QSqlDatabase sourceDb = m_source.database();
    const QStringList sourceTables = m_source.dialect().tableNames(sourceDb);
    QStringList present;
    for (const QString &table : tables()) {
        if (sourceTables.contains(table.toLower()))
            present << table;
    }
    if (!countRows(present, &failure)) {
        *error = failure;
        return false;
    }
    m_done = 0;
    if (m_progress)
        m_progress(0, m_total);

    // A table the source does not have (an older database) is left empty, as the source is.
    for (const QString &sql : m_target.dialect().emptyTables(tables())) {
        QSqlError sqlError;
        if (!m_target.exec(sql, {}, &sqlError)) {
            *error = DatabaseErrors::reason(sqlError);
            return false;
        }
    }
    for (const auto &table : tableDefinitions()) {
        if (!present.contains(QString::fromLatin1(table.name)))
            continue;
        if (!copyTable(table, error))
            return false;
    }
    return true;
}

bool RowCopy::copyTable(const TableDefinition &table, QString *error)
{
    const QString name = QString::fromLatin1(table.name);
    const QSqlRecord sourceColumns = m_source.database().record(name.toLower());
    const QSqlRecord targetColumns = m_target.database().record(name.toLower());
    QStringList columns;
    QVector<Type> types;
    for (const auto &column : table.columns) {
        const QString columnName = QString::fromLatin1(column.name);
        if (sourceColumns.indexOf(columnName) >= 0 && targetColumns.indexOf(columnName) >= 0) {
            columns << columnName;
            types << column.type;
        }
    }
    if (columns.isEmpty())
        return true;
    const QString key = QString::fromLatin1(table.columns.front().name);
    const bool counted = table.columns.front().type == Type::AutoNumber;

    // Read straight from the snapshot: a connection opened anew would read another state.
    QSqlQuery rows(m_source.database());
    rows.setForwardOnly(true);
    const QString select = QStringLiteral("SELECT %1 FROM %2%3")
                               .arg(columns.join(QLatin1Char(',')), name,
                                    counted ? QStringLiteral(" ORDER BY %1").arg(key) : QString());
    if (!rows.exec(select)) {
        *error = tableFailure(name, rows.lastError());
        return false;
    }

    const int rowsPerStatement = qMax(1, ValuesPerStatement / int(columns.size()));
    QSqlQuery fullInsert(m_target.database());
    if (!fullInsert.prepare(insertStatement(name, columns, rowsPerStatement))) {
        *error = tableFailure(name, fullInsert.lastError());
        return false;
    }
    QVariantList pending;
    pending.reserve(rowsPerStatement * columns.size());
    const auto write = [&](QSqlQuery &insert, int rowCount) {
        for (int i = 0; i < pending.size(); ++i)
            insert.bindValue(i, pending.at(i));
        if (!insert.exec()) {
            *error = tableFailure(name, insert.lastError());
            return false;
        }
        pending.clear();
        m_done += rowCount;
        if (m_progress)
            m_progress(m_done, m_total);
        return true;
    };
    int pendingRows = 0;
    while (rows.next()) {
        for (int c = 0; c < columns.size(); ++c)
            pending << forTarget(rows.value(c), types.at(c));
        if (++pendingRows == rowsPerStatement) {
            if (!write(fullInsert, pendingRows))
                return false;
            pendingRows = 0;
        }
    }
    if (rows.lastError().isValid()) {
        *error = tableFailure(name, rows.lastError());
        return false;
    }
    if (pendingRows > 0) {
        QSqlQuery lastInsert(m_target.database());
        if (!lastInsert.prepare(insertStatement(name, columns, pendingRows))) {
            *error = tableFailure(name, lastInsert.lastError());
            return false;
        }
        if (!write(lastInsert, pendingRows))
            return false;
    }
    if (counted) {
        for (const QString &sql : m_target.dialect().followHighestKey(name, key)) {
            QSqlError sqlError;
            if (!m_target.exec(sql, {}, &sqlError)) {
                *error = tableFailure(name, sqlError);
                return false;
            }
        }
    }
    return true;
}
