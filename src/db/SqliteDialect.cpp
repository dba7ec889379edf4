#include "SqliteDialect.h"

#include <QSqlError>
#include <QSqlQuery>

QString SqliteDialect::columnType(ColumnType type, int size) const
{
    switch (type) {
    case ColumnType::AutoNumber: return QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT");
    case ColumnType::Integer: return QStringLiteral("INTEGER");
    case ColumnType::Float: return QStringLiteral("DOUBLE");
    case ColumnType::Money: return QStringLiteral("NUMERIC");
    case ColumnType::Text: return QStringLiteral("VARCHAR(%1)").arg(size);
    case ColumnType::Memo: return QStringLiteral("TEXT");
    case ColumnType::DateTime: return QStringLiteral("DATETIME");
    case ColumnType::Boolean: return QStringLiteral("BOOLEAN");
    }
    return {};
}

bool SqliteDialect::prepareConnection(QSqlDatabase &db, QString *error) const
{
    // Reading the schema fails at once on a file that is not a database. Nothing here
    // changes the file.
    const char *const statements[] = {
        "PRAGMA busy_timeout = 5000",
        "SELECT count(*) FROM sqlite_master",
        "PRAGMA synchronous = NORMAL",
    };
    for (const char *sql : statements) {
        QSqlQuery query(db);
        if (!query.exec(QString::fromLatin1(sql))) {
            if (error)
                *error = query.lastError().text();
            return false;
        }
    }
    return true;
}

bool SqliteDialect::prepareStorage(QSqlDatabase &db, QString *error) const
{
    // Readers and one writer at a time, without blocking each other.
    QSqlQuery query(db);
    if (query.exec(QStringLiteral("PRAGMA journal_mode = WAL")))
        return true;
    if (error)
        *error = query.lastError().text();
    return false;
}

void SqliteDialect::beforeClose(QSqlDatabase &db) const
{
    // After a clean exit server.db alone holds everything: a copy of it is complete.
    QSqlQuery query(db);
    query.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
}

QString SqliteDialect::likeIgnoringCase(const QString &expr, const QString &placeholder) const
{
    // SQLite's LIKE ignores the case of ASCII letters; the other letters have no case here.
    return QStringLiteral("%1 LIKE %2 ESCAPE '\\'").arg(expr, placeholder);
}

bool SqliteDialect::isUniqueViolation(const QSqlError &error) const
{
    // SQLITE_CONSTRAINT_UNIQUE, or the plain constraint code with SQLite's own wording.
    const QString code = error.nativeErrorCode();
    return code == QLatin1String("2067")
        || (code == QLatin1String("19") && error.databaseText().contains(QLatin1String("UNIQUE constraint failed")));
}

QStringList SqliteDialect::rowVersionTrigger(const QString &table, const QString &keyColumn,
                                             const QString &versionColumn) const
{
    // Recursive triggers are off, so the trigger's own update does not fire it again.
    return {QStringLiteral("CREATE TRIGGER IF NOT EXISTS tr_%1_version AFTER UPDATE ON %1 FOR EACH ROW "
                           "WHEN NEW.%3 IS OLD.%3 BEGIN "
                           "UPDATE %1 SET %3 = COALESCE(OLD.%3, 0) + 1 WHERE %2 = NEW.%2; END")
                .arg(table, keyColumn, versionColumn)};
}
