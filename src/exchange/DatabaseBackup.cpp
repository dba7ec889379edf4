#include "DatabaseBackup.h"

#include "BackupFile.h"
#include "DatabaseErrors.h"
#include "DatabaseLocation.h"
#include "DbConnection.h"
#include "DurableFiles.h"
#include "MaintenanceConnection.h"
#include "RowCopy.h"
#include "Schema.h"
#include "SqlitePageCopy.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>
#include <QSqlQuery>
#include <QTemporaryFile>

namespace {

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// The new file written beside its final name, hidden from the file list while it is written.
QString temporaryTemplate(const QString &file)
{
    const QFileInfo info(file);
    return info.absoluteDir().filePath(QLatin1Char('.') + info.fileName() + QStringLiteral("-XXXXXX.part"));
}

} // namespace

DatabaseBackup::DatabaseBackup(DbConnection &live) : m_live(live) {}

bool DatabaseBackup::backupInto(const QString &folder, QString *target, QString *reason)
{
    const QString file = QDir(folder).absoluteFilePath(BackupFile::nameFor(QDate::currentDate()));
    if (target)
        *target = file;
    return writeTo(file, reason);
}

bool DatabaseBackup::writeTo(const QString &file, QString *reason)
{
    const QFileInfo info(file);
    if (!info.absoluteDir().exists()) {
        *reason = QStringLiteral("文件夹“%1”不存在").arg(native(info.absolutePath()));
        return false;
    }
    QTemporaryFile temporary(temporaryTemplate(file));
    if (!temporary.open()) {
        *reason = QStringLiteral("无法在文件夹“%1”中写入文件：%2").arg(native(info.absolutePath()), temporary.errorString());
        return false;
    }
    temporary.close();
    const QString path = temporary.fileName();
    // Whatever fails, nothing of the new file stays behind.
    const auto cleanUp = qScopeGuard([path] {
        for (const char *suffix : {"", "-journal", "-wal", "-shm"})
            DurableFiles::removeIfPresent(path + QLatin1String(suffix));
    });
    const bool copied = m_live.location().kind() == DatabaseLocation::Kind::Postgres ? copyRows(path, reason)
                                                                                      : copyPages(path, reason);
    if (!copied)
        return false;
    report(checkingStep(), 0, 0);
    // The pages come from the database in use, which compaction checks thoroughly: here it is
    // proven that the copy is whole, in a tenth of the time.
    QString problem;
    if (!BackupFile::check(path, &problem, SqlDialect::Scrutiny::Pages)) {
        *reason = QStringLiteral("备份文件检查未通过：%1").arg(problem);
        return false;
    }
    if (!DurableFiles::flush(path, reason) || !DurableFiles::replace(path, file, reason))
        return false;
    DurableFiles::flushFolder(info.absolutePath(), nullptr);
    return true;
}

void DatabaseBackup::report(const QString &step, qint64 done, qint64 total) const
{
    if (m_progress)
        m_progress(step, done, total);
}

bool DatabaseBackup::copyPages(const QString &temporary, QString *reason)
{
    MaintenanceConnection source("source");
    MaintenanceConnection target("target");
    if (!source.open(m_live.location(), reason) || !target.openFile(temporary, reason))
        return false;
    QSqlDatabase from = source.database();
    QSqlDatabase to = target.database();
    const auto progress = [this](qint64 done, qint64 total) { report(copyingStep(), done, total); };
    if (!SqlitePageCopy::copy(from, to, progress, reason))
        return false;
    // The copy is one file on its own: the pages of a database that keeps a write-ahead log
    // say so, and the copy would want a log beside it when opened.
    QSqlError error;
    if (!target.exec(QStringLiteral("PRAGMA journal_mode = DELETE"), {}, &error)) {
        *reason = DatabaseErrors::reason(error);
        return false;
    }
    return true;
}

bool DatabaseBackup::copyRows(const QString &temporary, QString *reason)
{
    MaintenanceConnection source("snapshot");
    MaintenanceConnection target("target");
    if (!source.open(m_live.location(), reason) || !target.openFile(temporary, reason))
        return false;
    if (!Schema::ensure(target, true, reason))
        return false;
    QSqlQuery snapshot(source.database());
    if (!snapshot.exec(source.dialect().beginSnapshot())) {
        *reason = DatabaseErrors::reason(snapshot.lastError());
        return false;
    }
    QSqlError error;
    if (!target.beginTransaction(&error)) {
        *reason = DatabaseErrors::reason(error);
        return false;
    }
    RowCopy copy(source, target);
    copy.setProgress([this](qint64 done, qint64 total) { report(copyingStep(), done, total); });
    const bool copied = copy.run(reason);
    snapshot.exec(QStringLiteral("ROLLBACK"));
    if (!copied) {
        target.rollback();
        return false;
    }
    if (!target.commit(&error)) {
        *reason = DatabaseErrors::reason(error);
        return false;
    }
    return true;
}
