#include "SqlitePageCopy.h"

#include "DatabaseErrors.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <sqlite3.h>

namespace {

// Pages copied between two progress reports (1 MB of the usual 4 KB pages).
constexpr int PagesPerStep = 256;

sqlite3 *handleOf(QSqlDatabase &db)
{
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(handle.constData());
}

bool run(QSqlDatabase &db, const char *sql, QString *error)
{
    QSqlQuery query(db);
    if (query.exec(QString::fromLatin1(sql)))
        return true;
    if (error)
        *error = DatabaseErrors::reason(query.lastError());
    return false;
}

} // namespace

bool SqlitePageCopy::copy(QSqlDatabase &source, QSqlDatabase &target, const Progress &progress, QString *error)
{
    sqlite3 *from = handleOf(source);
    sqlite3 *to = handleOf(target);
    if (!from || !to) {
        if (error)
            *error = QStringLiteral("不是 SQLite 数据库的连接");
        return false;
    }
    // Holding one read transaction keeps the copy to one state of the source: what other
    // connections commit meanwhile goes to the log, not into this copy.
    if (!run(source, "BEGIN", error))
        return false;
    if (!run(source, "SELECT count(*) FROM sqlite_master", error)) {
        run(source, "ROLLBACK", nullptr);
        return false;
    }
    sqlite3_backup *backup = sqlite3_backup_init(to, "main", from, "main");
    int rc = backup ? SQLITE_OK : sqlite3_errcode(to);
    while (backup) {
        rc = sqlite3_backup_step(backup, PagesPerStep);
        if (progress) {
            const int total = sqlite3_backup_pagecount(backup);
            progress(total - sqlite3_backup_remaining(backup), total);
        }
        if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) {
            sqlite3_sleep(50);
            continue;
        }
        if (rc != SQLITE_OK)
            break;
    }
    QString failure;
    if (backup) {
        sqlite3_backup_finish(backup);
        if (rc != SQLITE_DONE)
            failure = QString::fromUtf8(sqlite3_errstr(rc));
    } else {
        failure = QString::fromUtf8(sqlite3_errmsg(to));
    }
    run(source, "ROLLBACK", nullptr);
    if (failure.isEmpty())
        return true;
    if (error)
        *error = DatabaseErrors::reason(failure);
    return false;
}
