#pragma once

#include "DatabaseLocation.h"
#include "SqlDialect.h"

#include <QElapsedTimer>
#include <QObject>
#include <QSqlDatabase>
#include <QSqlError>
#include <QVariantMap>
#include <memory>

class QSqlQuery;

// The one database connection of the run. Every statement goes through exec(), which binds
// the named values and notices a connection the server dropped: the connection is opened
// again, a read is run again once, a write reports its failure. Transactions that write take
// their lock at the start (see SqlDialect::beginWriteTransaction).
class DbConnection : public QObject
{
    Q_OBJECT
public:
    enum class Access { Read, Write };

    explicit DbConnection(const QString &connectionName, QObject *parent = nullptr);
    ~DbConnection() override;

    // Opens the database the location names; on failure reason says why.
    bool open(const DatabaseLocation &location, QString *reason);
    void close();
    // Opens the database of the last open() again, after close().
    bool openAgain(QString *reason);

    QString connectionName() const { return m_connectionName; }
    QSqlDatabase database() const;
    const SqlDialect &dialect() const { return *m_dialect; }
    const DatabaseLocation &location() const { return m_location; }

    // Prepares sql on query (created on this connection when needed), binds the ":name"
    // values found in it and executes it. On failure error (when given) holds the reason; a
    // failure because the server went away is of type QSqlError::ConnectionError.
    bool exec(QSqlQuery &query, const QString &sql, const QVariantMap &binds = {},
              Access access = Access::Read, QSqlError *error = nullptr);
    // The same for a statement that returns nothing the caller reads.
    bool exec(const QString &sql, const QVariantMap &binds = {}, QSqlError *error = nullptr);

    bool beginTransaction(QSqlError *error = nullptr);
    bool commit(QSqlError *error = nullptr);
    void rollback();
    bool inTransaction() const { return m_inTransaction; }

    // Named placeholders (":name") of a statement, outside quoted text; "::" is not one.
    static QStringList placeholders(const QString &sql);

signals:
    // The server went away and could not be reached again; said once per outage.
    void connectionLost(const QString &reason);
    // The connection was opened again after it was lost.
    void reconnected();

private:
    bool run(QSqlQuery &query, const QString &sql, const QVariantMap &binds);
    // After a failed statement: true when the connection is gone (and was tried again).
    bool recoverLostConnection(bool *reopened);
    bool reopen(QString *reason);

    QString m_connectionName;
    DatabaseLocation m_location;
    std::unique_ptr<SqlDialect> m_dialect;
    bool m_inTransaction = false;
    bool m_lost = false;
    QElapsedTimer m_sinceReopenAttempt;
};
