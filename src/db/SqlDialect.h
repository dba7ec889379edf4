#pragma once

#include <QSqlDatabase>
#include <QString>
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
    // The number of characters of a text expression.
    virtual QString textLength(const QString &expr) const = 0;
    // Put after a SELECT inside a transaction: the rows read stay as read until it ends (or
    // the transaction's writes fail because another connection changed them).
    virtual QString lockRowsRead() const = 0;

    // Escapes %, _ and \ so that text matches literally inside a LIKE pattern.
    static QString escapeLike(const QString &text);
};
