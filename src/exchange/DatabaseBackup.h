#pragma once

#include "MaintenanceProgress.h"

#include <QString>

class DbConnection;

// Writes a backup of the database in use: an SQLite file of this program holding the whole
// database as it stood at one moment, while the program and other workstations go on working.
// From SQLite the pages are copied; from PostgreSQL every table is read in one snapshot into
// a new file made with the program's schema. The file is written under a temporary name,
// checked, put on the disk and only then given its name, so that a failed backup leaves no
// half file and an earlier backup of that name stays until the new one is whole.
class DatabaseBackup
{
public:
    explicit DatabaseBackup(DbConnection &live);

    void setProgress(MaintenanceProgress progress) { m_progress = std::move(progress); }

    static QString copyingStep() { return QStringLiteral("正在复制数据库…"); }
    static QString checkingStep() { return QStringLiteral("正在检查备份文件…"); }

    // The backup of today into folder; target receives the file's full name.
    bool backupInto(const QString &folder, QString *target, QString *reason);
    // The backup into exactly this file.
    bool writeTo(const QString &file, QString *reason);

private:
    bool copyPages(const QString &temporary, QString *reason);
    bool copyRows(const QString &temporary, QString *reason);

    DbConnection &m_live;
    void report(const QString &step, qint64 done, qint64 total) const;

    MaintenanceProgress m_progress;
};
