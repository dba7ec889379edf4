#include "TestHome.h"

#include <QCoreApplication>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <QUrl>

namespace {

QString serverUrl()
{
    return qEnvironmentVariable("AFTERSALES_TEST_PG");
}

} // namespace

void TestHome::runOnServer(const QString &sql)
{
    const QString name = QStringLiteral("test-admin");
    {
        const QUrl url(serverUrl());
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        db.setHostName(url.host());
        db.setPort(url.port(5432));
        db.setUserName(url.userName());
        db.setPassword(url.password());
        db.setDatabaseName(url.path().mid(1));
        if (!db.open())
            qFatal("PostgreSQL test server unreachable: %s", qPrintable(db.lastError().text()));
        QSqlQuery query(db);
        query.exec(QStringLiteral("SET client_min_messages TO warning"));
        if (!query.exec(sql))
            qFatal("%s: %s", qPrintable(sql), qPrintable(query.lastError().text()));
    }
    QSqlDatabase::removeDatabase(name);
}

TestHome::TestHome(const QString &engine) : m_engine(engine)
{
    if (engine == QLatin1String("postgresql")) {
        static int counter = 0;
        m_pgDatabase = QStringLiteral("as_test_%1_%2").arg(QCoreApplication::applicationPid()).arg(++counter);
        runOnServer(QStringLiteral("DROP DATABASE IF EXISTS %1").arg(m_pgDatabase));
        runOnServer(QStringLiteral("CREATE DATABASE %1 ENCODING 'UTF8' TEMPLATE template0").arg(m_pgDatabase));
        QUrl url(serverUrl());
        url.setPath(QLatin1Char('/') + m_pgDatabase);
        m_dbConn = url.toString();
    }
    writeConfig(m_dbConn.isEmpty() ? QString() : QStringLiteral("[Config]\nDBConn=%1\n").arg(m_dbConn));
}

TestHome::~TestHome()
{
    if (!m_pgDatabase.isEmpty())
        runOnServer(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(m_pgDatabase));
}

QString TestHome::dbConnAs(const QString &user, const QString &password) const
{
    QUrl url(m_dbConn);
    url.setUserName(user);
    url.setPassword(password);
    return url.toString();
}

QString TestHome::filePath(const QString &relative) const
{
    return m_dir.filePath(relative);
}

void TestHome::writeConfig(const QString &text) const
{
    QFile file(filePath(QStringLiteral("Config.ini")));
    if (text.isNull()) {
        file.remove();
        return;
    }
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write Config.ini");
    file.write(text.toUtf8());
}

QStringList TestHome::engines()
{
    QStringList list{QStringLiteral("sqlite")};
    if (!serverUrl().isEmpty())
        list << QStringLiteral("postgresql");
    return list;
}

void TestHome::addEngineRows()
{
    QTest::addColumn<QString>("engine");
    for (const QString &engine : engines())
        QTest::newRow(qPrintable(engine)) << engine;
}
