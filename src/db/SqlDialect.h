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
    // The number of characters of a text expression.
    virtual QString textLength(const QString &expr) const = 0;
    // A number column as the text it reads as ("5" for 5, "12.5" for 12.5): a typed "5" then
    // finds 5, 15 and 50 alike on every engine.
    virtual QString numberAsText(const QString &expr) const = 0;
    // The year and month of a date-time column as one integer, yyyyMM (202601); null for null.
    virtual QString yearMonth(const QString &expr) const = 0;

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

    // Opens a transaction that only reads and sees one consistent state of the whole database
    // until it ends, whatever other connections commit meanwhile.
    virtual QString beginSnapshot() const = 0;
    // Statements emptying the tables inside a transaction (refilled right after).
    virtual QStringList emptyTables(const QStringList &tables) const;
    // Statements run after rows were inserted with their own keys, so that the next row
    // added gets a key past the highest one; empty where the engine does that by itself.
    virtual QStringList followHighestKey(const QString &table, const QString &keyColumn) const;
    // Statements rewriting the database in less space, run outside a transaction.
    virtual QStringList compactStatements() const = 0;
    // How closely a stored database is examined: Pages reads every page and record, enough to
    // prove that a copy reached the disk whole; Thorough also matches every index against its
    // table, which takes ten times as long.
    enum class Scrutiny { Pages, Thorough };
    // A statement whose one row reads "ok" when the stored database is sound; empty where the
    // engine offers none.
    virtual QString integrityCheck(Scrutiny scrutiny) const
    {
        Q_UNUSED(scrutiny);
        return QString();
    }

    // Escapes %, _ and \ so that text matches literally inside a LIKE pattern.
    static QString escapeLike(const QString &text);
};
