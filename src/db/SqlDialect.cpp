#include "SqlDialect.h"

#include "PostgresDialect.h"
#include "SqliteDialect.h"

std::unique_ptr<SqlDialect> SqlDialect::forDatabase(const QSqlDatabase &db)
{
    if (db.driverName() == QLatin1String("QSQLITE"))
        return std::make_unique<SqliteDialect>();
    if (db.driverName() == QLatin1String("QPSQL"))
        return std::make_unique<PostgresDialect>();
    return nullptr;
}

bool SqlDialect::prepareStorage(QSqlDatabase &, QString *) const
{
    return true;
}

void SqlDialect::beforeClose(QSqlDatabase &) const {}

QStringList SqlDialect::tableNames(QSqlDatabase &db) const
{
    QStringList names;
    for (const QString &table : db.tables())
        names << table.toLower();
    return names;
}

QStringList SqlDialect::emptyTables(const QStringList &tables) const
{
    QStringList statements;
    for (const QString &table : tables)
        statements << QStringLiteral("DELETE FROM %1").arg(table);
    return statements;
}

QStringList SqlDialect::followHighestKey(const QString &, const QString &) const
{
    return {};
}

QString SqlDialect::escapeLike(const QString &text)
{
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar c : text) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('%') || c == QLatin1Char('_'))
            escaped += QLatin1Char('\\');
        escaped += c;
    }
    return escaped;
}
