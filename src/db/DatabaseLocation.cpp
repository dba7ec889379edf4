#include "DatabaseLocation.h"

#include "DatabaseErrors.h"
#include "SqlDialect.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QUrl>

namespace {
bool isPostgresUrl(const QString &text)
{
    return text.startsWith(QLatin1String("postgresql://"), Qt::CaseInsensitive)
        || text.startsWith(QLatin1String("postgres://"), Qt::CaseInsensitive);
}

// Why an SQLite file cannot be used, before SQLite is asked; empty when nothing is known yet.
QString sqliteFileProblem(const QString &path, bool mustExist)
{
    const QFileInfo file(path);
    if (file.isDir())
        return QStringLiteral("“%1”是一个文件夹，不是数据库文件").arg(QDir::toNativeSeparators(path));
    if (!file.exists()) {
        if (mustExist)
            return QStringLiteral("数据库文件“%1”不存在").arg(QDir::toNativeSeparators(path));
        const QFileInfo folder(file.absolutePath());
        if (folder.exists() && !folder.isWritable())
            return QStringLiteral("没有在文件夹“%1”中建立数据库的权限").arg(QDir::toNativeSeparators(folder.filePath()));
        return QString();
    }
    if (!file.isReadable())
        return QStringLiteral("没有读取数据库文件“%1”的权限").arg(QDir::toNativeSeparators(path));
    return QString();
}
} // namespace

DatabaseLocation DatabaseLocation::fromDbConn(const QString &dbConn, const QString &programDir)
{
    DatabaseLocation location;
    if (dbConn.isEmpty()) {
        location.m_kind = Kind::DefaultSqlite;
        location.m_sqlitePath = QDir(programDir).filePath(QStringLiteral("DataBase/server.db"));
    } else if (isPostgresUrl(dbConn)) {
        location.m_kind = Kind::Postgres;
        location.m_url = dbConn;
    } else {
        // Paths written the Windows way keep working.
        QString path = dbConn;
        path.replace(QLatin1Char('\\'), QLatin1Char('/'));
        location.m_kind = Kind::SqliteFile;
        location.m_sqlitePath = QDir(programDir).absoluteFilePath(path);
    }
    return location;
}

QString DatabaseLocation::connString() const
{
    if (m_kind == Kind::Postgres) {
        QUrl url(m_url);
        url.setPassword(QString());
        return url.toString();
    }
    return QStringLiteral("sqlite:") + m_sqlitePath;
}

bool DatabaseLocation::isEmptyFile() const
{
    const QFileInfo file(m_sqlitePath);
    return m_kind != Kind::Postgres && file.isFile() && file.size() == 0;
}

bool DatabaseLocation::open(const QString &connectionName, QString *error) const
{
    QString message;
    {
        QSqlDatabase db;
        if (m_kind == Kind::Postgres) {
            const QUrl url(m_url);
            db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connectionName);
            db.setHostName(url.host());
            db.setPort(url.port(5432));
            db.setUserName(url.userName());
            db.setPassword(url.password());
            db.setDatabaseName(url.path().mid(1));
            db.setConnectOptions(QStringLiteral("connect_timeout=5"));
        } else {
            message = sqliteFileProblem(m_sqlitePath, m_kind == Kind::SqliteFile);
            if (message.isEmpty()) {
                if (!QDir().mkpath(QFileInfo(m_sqlitePath).absolutePath()))
                    message = QStringLiteral("无法建立文件夹“%1”")
                                  .arg(QDir::toNativeSeparators(QFileInfo(m_sqlitePath).absolutePath()));
                db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
                db.setDatabaseName(m_sqlitePath);
            }
        }
        if (message.isEmpty()) {
            if (!db.isValid())
                message = QStringLiteral("数据库驱动不可用");
            else if (!db.open())
                message = DatabaseErrors::reason(db.lastError());
            else if (const auto dialect = SqlDialect::forDatabase(db);
                     !dialect->prepareConnection(db, &message)) {
                message = DatabaseErrors::reason(message);
                db.close();
            }
        }
    }
    if (message.isEmpty())
        return true;
    if (QSqlDatabase::contains(connectionName))
        QSqlDatabase::removeDatabase(connectionName);
    if (error)
        *error = message;
    return false;
}
