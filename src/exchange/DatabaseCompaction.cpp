#include "DatabaseCompaction.h"

#include "BackupFile.h"
#include "DatabaseErrors.h"
#include "TFrm_Data.h"

bool DatabaseCompaction::run(TFrm_Data &data, QString *reason)
{
    DbConnection &connection = data.connection();
    for (const QString &sql : connection.dialect().compactStatements()) {
        QSqlError error;
        if (!connection.exec(sql, {}, &error)) {
            *reason = DatabaseErrors::reason(error);
            return false;
        }
    }
    const QString damaged = BackupFile::damage(connection);
    if (damaged.isEmpty())
        return true;
    *reason = QStringLiteral("数据库文件已损坏（%1）").arg(damaged);
    return false;
}
