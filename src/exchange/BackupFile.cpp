#include "BackupFile.h"

#include "DatabaseErrors.h"
#include "MaintenanceConnection.h"
#include "Schema.h"
#include "TableDefinitions.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlQuery>
#include <QStringList>

namespace {

// Lines of the integrity check shown to the operator; the rest only repeats the damage.
constexpr int ShownProblems = 3;

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

bool refuse(QString *reason, const QString &text)
{
    if (reason)
        *reason = text;
    return false;
}

QStringList missingTables(DbConnection &connection)
{
    QSqlDatabase db = connection.database();
    const QStringList present = connection.dialect().tableNames(db);
    QStringList missing;
    for (const auto &table : tableDefinitions()) {
        const QString name = QString::fromLatin1(table.name);
        if (!present.contains(name.toLower()))
            missing << name;
    }
    return missing;
}

} // namespace

QString BackupFile::nameFor(const QDate &day)
{
    return QStringLiteral("server_bak") + day.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(".db");
}

QString BackupFile::damage(DbConnection &connection, SqlDialect::Scrutiny scrutiny)
{
    const QString statement = connection.dialect().integrityCheck(scrutiny);
    if (statement.isEmpty())
        return QString();
    QSqlQuery query(connection.database());
    QSqlError error;
    if (!connection.exec(query, statement, {}, DbConnection::Access::Read, &error))
        return DatabaseErrors::reason(error);
    QStringList problems;
    while (query.next()) {
        const QString line = query.value(0).toString();
        if (line != QLatin1String("ok") && problems.size() < ShownProblems)
            problems << line;
    }
    if (query.lastError().isValid())
        return DatabaseErrors::reason(query.lastError());
    return problems.join(QLatin1String("; "));
}

bool BackupFile::check(const QString &path, QString *reason, SqlDialect::Scrutiny scrutiny)
{
    const QFileInfo file(path);
    if (!file.isFile())
        return refuse(reason, QStringLiteral("文件“%1”不存在").arg(native(path)));
    if (file.size() == 0)
        return refuse(reason, QStringLiteral("文件“%1”是空的，不是数据库").arg(native(path)));

    MaintenanceConnection connection("check");
    QString failure;
    if (!connection.openFile(path, &failure))
        return refuse(reason, failure);
    const QString damaged = damage(connection, scrutiny);
    if (!damaged.isEmpty())
        return refuse(reason, QStringLiteral("数据库文件已损坏（%1）").arg(damaged));
    QSqlDatabase db = connection.database();
    const int version = Schema::storedVersion(db, connection.dialect());
    if (version == 0)
        return refuse(reason, QStringLiteral("文件中没有本程序的数据表，它不是本程序的数据库"));
    if (version > Schema::CurrentVersion)
        return refuse(reason, QStringLiteral("数据库由较新版本的程序建立（数据库版本 %1，本程序支持到版本 %2），请使用新版本的程序")
                                  .arg(version)
                                  .arg(Schema::CurrentVersion));
    // An older database gets its missing tables when it is brought up to date.
    if (version == Schema::CurrentVersion) {
        const QStringList missing = missingTables(connection);
        if (!missing.isEmpty())
            return refuse(reason, QStringLiteral("数据库中缺少数据表：%1").arg(missing.join(QStringLiteral("、"))));
    }
    return true;
}
