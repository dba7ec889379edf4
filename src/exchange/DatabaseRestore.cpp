#include "DatabaseRestore.h"

#include "BackupFile.h"
#include "DatabaseBackup.h"
#include "DatabaseErrors.h"
#include "DatabaseLocation.h"
#include "DurableFiles.h"
#include "MaintenanceConnection.h"
#include "RowCopy.h"
#include "SqlitePageCopy.h"
#include "TFrm_Data.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QSqlQuery>

namespace {

const QString KeptSuffix = QStringLiteral(".before-restore");
const QString CopySuffix = QStringLiteral(".restoring");

void removeDatabaseFiles(const QString &path)
{
    for (const char *suffix : {"", "-journal", "-wal", "-shm"})
        DurableFiles::removeIfPresent(path + QLatin1String(suffix));
}

bool isPostgres(TFrm_Data &data)
{
    return data.connection().location().kind() == DatabaseLocation::Kind::Postgres;
}

// With the connection closed: proves that no other program has the database open, then keeps
// it under the kept name and puts the copy in its place.
bool swapIn(const QString &copy, const QString &live, const QString &kept, QString *reason)
{
    MaintenanceConnection guard("guard");
    if (!guard.openFile(live, reason))
        return false;
    // Leaving the write-ahead log folds it into the file, and is only granted to a connection
    // that is alone on the database; the exclusive lock then keeps others out until the swap.
    QSqlQuery query(guard.database());
    if (!query.exec(QStringLiteral("PRAGMA journal_mode = DELETE")) || !query.next()
        || query.value(0).toString().compare(QLatin1String("delete"), Qt::CaseInsensitive) != 0) {
        *reason = query.lastError().isValid()
                      ? DatabaseErrors::reason(query.lastError())
                      : DatabaseErrors::reason(QStringLiteral("database is locked"));
        return false;
    }
    query.finish();
    if (!query.exec(QStringLiteral("BEGIN EXCLUSIVE"))) {
        *reason = DatabaseErrors::reason(query.lastError());
        return false;
    }
    const QString folder = QFileInfo(live).absolutePath();
    const bool swapped = DurableFiles::keepAs(live, kept, reason) && DurableFiles::flushFolder(folder, reason)
                      && DurableFiles::replace(copy, live, reason) && DurableFiles::flushFolder(folder, reason);
    query.exec(QStringLiteral("ROLLBACK"));
    return swapped;
}

} // namespace

DatabaseRestore::DatabaseRestore(TFrm_Data &data) : m_data(data) {}

QString DatabaseRestore::keptFile() const
{
    if (isPostgres(m_data))
        return QDir(m_data.programDir()).filePath(QStringLiteral("DataBase/server.db") + KeptSuffix);
    return m_data.connection().location().sqlitePath() + KeptSuffix;
}

void DatabaseRestore::report(const QString &step, qint64 done, qint64 total) const
{
    if (m_progress)
        m_progress(step, done, total);
}

bool DatabaseRestore::restoreFrom(const QString &file, QString *reason)
{
    report(checkingStep(), 0, 0);
    if (!BackupFile::check(file, reason))
        return false;
    return isPostgres(m_data) ? loadRows(file, reason) : replaceFile(file, reason);
}

bool DatabaseRestore::copyBeside(const QString &file, const QString &copy, QString *reason)
{
    removeDatabaseFiles(copy);
    QFile empty(copy);
    if (!empty.open(QIODevice::WriteOnly)) {
        *reason = QStringLiteral("无法在文件夹“%1”中写入文件：%2")
                      .arg(QDir::toNativeSeparators(QFileInfo(copy).absolutePath()), empty.errorString());
        return false;
    }
    empty.close();
    MaintenanceConnection source("restore-source");
    MaintenanceConnection target("restore-copy");
    if (!source.openFile(file, reason) || !target.openFile(copy, reason))
        return false;
    QSqlDatabase from = source.database();
    QSqlDatabase to = target.database();
    const auto progress = [this](qint64 done, qint64 total) { report(copyingStep(), done, total); };
    if (!SqlitePageCopy::copy(from, to, progress, reason))
        return false;
    QSqlError error;
    if (!target.exec(QStringLiteral("PRAGMA journal_mode = DELETE"), {}, &error)) {
        *reason = DatabaseErrors::reason(error);
        return false;
    }
    return true;
}

bool DatabaseRestore::replaceFile(const QString &file, QString *reason)
{
    const QString live = m_data.connection().location().sqlitePath();
    const QString copy = live + CopySuffix;
    const QString kept = keptFile();
    auto cleanUp = qScopeGuard([copy] { removeDatabaseFiles(copy); });
    if (!copyBeside(file, copy, reason))
        return false;
    // The copy is checked too: what reached the disk is what gets restored.
    report(checkingStep(), 0, 0);
    QString problem;
    if (!BackupFile::check(copy, &problem, SqlDialect::Scrutiny::Pages)) {
        *reason = QStringLiteral("复制的文件检查未通过：%1").arg(problem);
        return false;
    }
    if (!DurableFiles::flush(copy, reason))
        return false;
    if (m_beforeReplace)
        m_beforeReplace();
    if (m_data.reopenDatabase([&](QString *failure) { return swapIn(copy, live, kept, failure); }, reason))
        return true;
    // The database did not open after the swap: the kept one goes back.
    if (!QFileInfo::exists(copy) && QFileInfo::exists(kept)) {
        QString again;
        m_data.reopenDatabase([&](QString *failure) { return DurableFiles::replace(kept, live, failure); }, &again);
        if (!again.isEmpty())
            *reason += QLatin1Char('\n') + again;
    }
    return false;
}

bool DatabaseRestore::loadRows(const QString &file, QString *reason)
{
    const QString kept = keptFile();
    QDir().mkpath(QFileInfo(kept).absolutePath());
    DatabaseBackup keep(m_data.connection());
    keep.setProgress([this](const QString &, qint64 done, qint64 total) { report(keepingStep(), done, total); });
    QString failure;
    if (!keep.writeTo(kept, &failure)) {
        *reason = QStringLiteral("无法保存恢复前的数据：%1").arg(failure);
        return false;
    }
    MaintenanceConnection source("restore-source");
    if (!source.openFile(file, reason))
        return false;
    QSqlQuery snapshot(source.database());
    if (!snapshot.exec(source.dialect().beginSnapshot())) {
        *reason = DatabaseErrors::reason(snapshot.lastError());
        return false;
    }
    if (m_beforeReplace)
        m_beforeReplace();
    QSqlError error;
    if (!m_data.beginTransaction(&error)) {
        *reason = DatabaseErrors::reason(error);
        return false;
    }
    RowCopy copy(source, m_data.connection());
    copy.setProgress([this](qint64 done, qint64 total) { report(loadingStep(), done, total); });
    if (!copy.run(reason)) {
        m_data.rollback();
        return false;
    }
    if (!m_data.commit(&error)) {
        *reason = DatabaseErrors::reason(error);
        return false;
    }
    snapshot.exec(QStringLiteral("ROLLBACK"));
    m_data.reopenOpenDataSets();
    return true;
}
