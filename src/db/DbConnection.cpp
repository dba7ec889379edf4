#include "DbConnection.h"

#include <QSqlQuery>

namespace {
// While the server stays away, statements fail at once instead of each waiting for it.
constexpr qint64 ReopenPauseMs = 2000;
} // namespace

DbConnection::DbConnection(const QString &connectionName, QObject *parent)
    : QObject(parent), m_connectionName(connectionName)
{
}

DbConnection::~DbConnection()
{
    close();
}

bool DbConnection::open(const DatabaseLocation &location, QString *reason)
{
    close();
    m_location = location;
    if (!location.open(m_connectionName, reason))
        return false;
    m_dialect = SqlDialect::forDatabase(database());
    return true;
}

bool DbConnection::openAgain(QString *reason)
{
    const DatabaseLocation location = m_location;
    return open(location, reason);
}

void DbConnection::close()
{
    if (!QSqlDatabase::contains(m_connectionName))
        return;
    {
        QSqlDatabase db = database();
        if (db.isOpen() && m_dialect)
            m_dialect->beforeClose(db);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connectionName);
    m_inTransaction = false;
}

QSqlDatabase DbConnection::database() const
{
    return QSqlDatabase::database(m_connectionName, false);
}

QStringList DbConnection::placeholders(const QString &sql)
{
    QStringList names;
    QChar quote;
    for (int i = 0; i < sql.size(); ++i) {
        const QChar c = sql[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            continue;
        }
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            quote = c;
        } else if (c == QLatin1Char(':')) {
            if (i + 1 < sql.size() && sql[i + 1] == QLatin1Char(':')) {
                ++i;
                continue;
            }
            int end = i + 1;
            while (end < sql.size() && (sql[end].isLetterOrNumber() || sql[end] == QLatin1Char('_')))
                ++end;
            if (end > i + 1 && !names.contains(sql.mid(i, end - i)))
                names << sql.mid(i, end - i);
            i = end - 1;
        }
    }
    return names;
}

bool DbConnection::run(QSqlQuery &query, const QString &sql, const QVariantMap &binds)
{
    const QStringList names = placeholders(sql);
    if (names.isEmpty())
        return query.exec(sql);   // statements PostgreSQL cannot prepare (DDL) run as they are
    if (!query.prepare(sql))
        return false;
    for (const QString &name : names)
        query.bindValue(name, binds.value(name));
    return query.exec();
}

bool DbConnection::exec(QSqlQuery &query, const QString &sql, const QVariantMap &binds, Access access,
                        QSqlError *error)
{
    if (!QSqlDatabase::contains(m_connectionName)) {
        if (error)
            *error = QSqlError(QString(), QStringLiteral("数据库没有打开"), QSqlError::ConnectionError);
        return false;
    }
    if (!query.driver() || query.driver() != database().driver())
        query = QSqlQuery(database());
    const bool forwardOnly = query.isForwardOnly();
    if (run(query, sql, binds))
        return true;
    QSqlError failure = query.lastError();
    bool reopened = false;
    if (recoverLostConnection(&reopened)) {
        if (reopened && access == Access::Read) {
            query = QSqlQuery(database());
            query.setForwardOnly(forwardOnly);
            if (run(query, sql, binds))
                return true;
            failure = query.lastError();
        }
        failure = QSqlError(failure.driverText(), failure.databaseText(), QSqlError::ConnectionError,
                            failure.nativeErrorCode());
    }
    if (error)
        *error = failure;
    return false;
}

bool DbConnection::exec(const QString &sql, const QVariantMap &binds, QSqlError *error)
{
    QSqlQuery query(database());
    return exec(query, sql, binds, Access::Write, error);
}

bool DbConnection::recoverLostConnection(bool *reopened)
{
    *reopened = false;
    QSqlDatabase db = database();
    // Inside a transaction a failed statement leaves it aborted: the caller rolls back.
    if (m_inTransaction || m_dialect->connectionAlive(db)) {
        m_lost = false;
        return false;
    }
    if (m_lost && m_sinceReopenAttempt.isValid() && m_sinceReopenAttempt.elapsed() < ReopenPauseMs)
        return true;
    QString reason;
    m_sinceReopenAttempt.start();
    if (reopen(&reason)) {
        m_lost = false;
        *reopened = true;
        emit reconnected();
        return true;
    }
    if (!m_lost) {
        m_lost = true;
        emit connectionLost(reason);
    }
    return true;
}

bool DbConnection::reopen(QString *reason)
{
    QSqlDatabase db = database();
    db.close();
    m_inTransaction = false;
    if (!db.open()) {
        *reason = db.lastError().text();
        return false;
    }
    return m_dialect->prepareConnection(db, reason);
}

bool DbConnection::beginTransaction(QSqlError *error)
{
    QSqlQuery query(database());
    // The transaction begins on a connection known to be alive, or on one opened again.
    if (!exec(query, m_dialect->beginWriteTransaction(), {}, Access::Read, error))
        return false;
    m_inTransaction = true;
    return true;
}

bool DbConnection::commit(QSqlError *error)
{
    QSqlQuery query(database());
    const bool ok = run(query, QStringLiteral("COMMIT"), {});
    if (!ok) {
        if (error)
            *error = query.lastError();
        rollback();
        return false;
    }
    m_inTransaction = false;
    return true;
}

void DbConnection::rollback()
{
    if (!m_inTransaction)
        return;
    QSqlQuery query(database());
    query.exec(QStringLiteral("ROLLBACK"));
    m_inTransaction = false;
}
