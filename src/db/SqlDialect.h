#pragma once

#include <QSqlDatabase>
#include <QSqlError>
#include <QString>
#include <QStringList>
#include <memory>

// What differs between the database products the program runs on. Everything else is
// portable SQL with bound values.
class SqlDialect
{
public:
    enum class ColumnType { AutoNumber, Integer, Float, Money, Text, Memo, DateTime, Boolean };

    virtual ~SqlDialect() = default;

    // The dialect of an open connection, by its Qt driver name; null for an unknown driver.
    static std::unique_ptr<SqlDialect> forDatabase(const QSqlDatabase &db);

    virtual QString name() const = 0;
    // Column type in CREATE TABLE; size is the maximum length of a text column.
    virtual QString columnType(ColumnType type, int size) const = 0;
    // Session settings applied right after the connection opens; false with error on failure.
    virtual bool prepareConnection(QSqlDatabase &db, QString *error) const = 0;
    // A condition "expr contains/matches the pattern bound to placeholder", without regard to
    // letter case. The pattern uses % and _ wildcards and \ as escape (see escapeLike).
    virtual QString likeIgnoringCase(const QString &expr, const QString &placeholder) const = 0;
    // Whether a refused statement broke a unique index (a duplicate customer code, say).
    virtual bool isUniqueViolation(const QSqlError &error) const = 0;

    // The statement that opens a transaction which writes: it takes the write lock at once, so
    // what the transaction reads stays valid until it commits.
    virtual QString beginWriteTransaction() const = 0;
    // Appended to a SELECT inside a write transaction: the rows read stay as read until commit.
    virtual QString lockRowsClause() const = 0;
    // Statements run at the start of the schema transaction so that only one program at a time
    // creates or upgrades the schema.
    virtual QStringList schemaLockStatements() const = 0;
    // Statements making every UPDATE of table raise its integer column versionColumn by one.
    virtual QStringList rowVersionTrigger(const QString &table, const QString &keyColumn,
                                          const QString &versionColumn) const = 0;
    // Statement widening a text column to size characters; empty where lengths are not enforced.
    virtual QString widenTextColumn(const QString &table, const QString &column, int size) const = 0;
    // Settings kept in the database itself, made once it is known to be the program's own.
    virtual bool prepareStorage(QSqlDatabase &db, QString *error) const;
    // Run before the connection closes at the end of the run.
    virtual void beforeClose(QSqlDatabase &db) const;
    // Whether the connection still reaches the server after a statement failed.
    virtual bool connectionAlive(QSqlDatabase &db) const = 0;
    // Reading a table's keys in their own order reads its rows too (the rows are stored in
    // key order), so more columns of them cost little in the same pass.
    virtual bool keyOrderReadsRows() const { return false; }
    // Whether a refused statement leaves the transaction unusable until a rollback (to a
    // savepoint). Where it does not, the statement undoes only its own changes.
    virtual bool failedStatementAbortsTransaction() const { return true; }
    // Names of the tables of the database, lower-case.
    virtual QStringList tableNames(QSqlDatabase &db) const;

    // Escapes %, _ and \ so that text matches literally inside a LIKE pattern.
    static QString escapeLike(const QString &text);
};
