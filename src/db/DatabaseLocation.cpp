#include "DatabaseLocation.h"

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
            if (m_kind == Kind::SqliteFile && !QFileInfo(m_sqlitePath).isFile()) {
                message = QStringLiteral("数据库文件不存在: ") + m_sqlitePath;
            } else {
                QDir().mkpath(QFileInfo(m_sqlitePath).absolutePath());
                db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
                db.setDatabaseName(m_sqlitePath);
            }
        }
        if (message.isEmpty()) {
            if (!db.isValid())
                message = QStringLiteral("数据库驱动不可用");
            else if (!db.open())
                message = db.lastError().text();
            else if (const auto dialect = SqlDialect::forDatabase(db);
                     !dialect->prepareConnection(db, &message))
                db.close();
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
