#include "OtherWorkstation.h"

#include "DatabaseLocation.h"
#include "DbConnection.h"
#include "TestHome.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

namespace {
int counter = 0;
}

OtherWorkstation::OtherWorkstation(const TestHome &home)
    : m_name(QStringLiteral("other-workstation-%1").arg(++counter))
{
    QString error;
    if (!DatabaseLocation::fromDbConn(home.dbConn(), home.path()).open(m_name, &error))
        qFatal("other workstation: %s", qPrintable(error));
}

OtherWorkstation::~OtherWorkstation()
{
    QSqlDatabase::database(m_name, false).close();
    QSqlDatabase::removeDatabase(m_name);
}

QSqlDatabase OtherWorkstation::database() const
{
    return QSqlDatabase::database(m_name, false);
}

bool OtherWorkstation::run(const QString &sql, const QVariantMap &binds)
{
    QSqlQuery query(database());
    const QStringList names = DbConnection::placeholders(sql);
    bool ok;
    if (names.isEmpty()) {
        ok = query.exec(sql);   // statements the server cannot prepare (GRANT, DDL)
    } else {
        query.prepare(sql);
        for (const QString &name : names)
            query.bindValue(name, binds.value(name));
        ok = query.exec();
    }
    if (ok)
        return true;
    QTest::qFail(qPrintable(QStringLiteral("%1: %2").arg(sql, query.lastError().text())), __FILE__, __LINE__);
    return false;
}

QVariant OtherWorkstation::scalar(const QString &sql, const QVariantMap &binds)
{
    QSqlQuery query(database());
    query.prepare(sql);
    for (const QString &name : DbConnection::placeholders(sql))
        query.bindValue(name, binds.value(name));
    return query.exec() && query.next() ? query.value(0) : QVariant();
}
