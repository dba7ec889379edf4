#include "Schema.h"

#include "ExpectedRows.h"
#include "TableDefinitions.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

namespace {

QString createTableStatement(const TableDefinition &table, const SqlDialect &dialect)
{
    QStringList columns;
    for (const auto &column : table.columns) {
        QString definition = QStringLiteral("%1 %2").arg(QString::fromLatin1(column.name),
                                                         dialect.columnType(column.type, column.size));
        if (column.defaultValue)
            definition += QStringLiteral(" DEFAULT ") + QString::fromLatin1(column.defaultValue);
        columns << definition;
    }
    return QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (%2)")
        .arg(QString::fromLatin1(table.name), columns.join(QStringLiteral(", ")));
}

QString createIndexStatement(const IndexDefinition &index)
{
    QString sql = QStringLiteral("CREATE %1INDEX IF NOT EXISTS %2 ON %3 (%4)")
                      .arg(index.unique ? QStringLiteral("UNIQUE ") : QString(), QString::fromLatin1(index.name),
                           QString::fromLatin1(index.table), QString::fromLatin1(index.columns));
    if (index.where)
        sql += QStringLiteral(" WHERE ") + QString::fromLatin1(index.where);
    return sql;
}

bool hasProgramTables(const QSqlDatabase &db)
{
    const QStringList existing = db.tables();
    for (const auto &table : tableDefinitions()) {
        if (existing.contains(QString::fromLatin1(table.name), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

} // namespace

bool Schema::ensure(QSqlDatabase &db, QString *error)
{
    const auto dialect = SqlDialect::forDatabase(db);
    const bool newDatabase = !hasProgramTables(db);
    QString message;
    if (!db.transaction()) {
        if (error)
            *error = db.lastError().text();
        return false;
    }
    QSqlQuery query(db);
    for (const auto &table : tableDefinitions()) {
        if (!query.exec(createTableStatement(table, *dialect))) {
            message = query.lastError().text();
            break;
        }
    }
    for (const auto &index : indexDefinitions()) {
        if (message.isEmpty() && !query.exec(createIndexStatement(index)))
            message = query.lastError().text();
    }
    query.finish();
    if (message.isEmpty() && newDatabase)
        ExpectedRows::insert(db, &message);
    if (message.isEmpty() && db.commit())
        return true;
    if (message.isEmpty())
        message = db.lastError().text();
    db.rollback();
    if (error)
        *error = message;
    return false;
}
