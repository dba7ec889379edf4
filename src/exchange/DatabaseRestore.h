#pragma once

#include "MaintenanceProgress.h"

#include <QString>
#include <functional>

class TFrm_Data;

// Puts the contents of a backup file in place of the database in use. A file that is not a
// sound database of this program is refused before anything changes. On SQLite the file is
// copied beside the database, checked and put on the disk, the connection closed, the
// database kept as "<name>.before-restore" and replaced by the copy in one rename, and the
// connection opened again: killed at any moment, the database is the old one or the new one.
// On PostgreSQL the present data is first kept in the same way as an SQLite file in the
// program's DataBase folder, then the file's rows replace every table in one transaction.
class DatabaseRestore
{
public:
    explicit DatabaseRestore(TFrm_Data &data);

    void setProgress(MaintenanceProgress progress) { m_progress = std::move(progress); }
    // Runs once the file passed its checks, right before the database in use changes.
    void setBeforeReplace(std::function<void()> beforeReplace) { m_beforeReplace = std::move(beforeReplace); }

    bool restoreFrom(const QString &file, QString *reason);

    // Where the database as it was before the last restore is kept.
    QString keptFile() const;

    static QString copyingStep() { return QStringLiteral("正在复制备份文件…"); }
    static QString checkingStep() { return QStringLiteral("正在检查备份文件…"); }
    static QString keepingStep() { return QStringLiteral("正在保存恢复前的数据…"); }
    static QString loadingStep() { return QStringLiteral("正在写入数据…"); }

private:
    bool replaceFile(const QString &file, QString *reason);
    bool copyBeside(const QString &file, const QString &copy, QString *reason);
    bool loadRows(const QString &file, QString *reason);
    void report(const QString &step, qint64 done, qint64 total) const;

    TFrm_Data &m_data;
    MaintenanceProgress m_progress;
    std::function<void()> m_beforeReplace;
};
