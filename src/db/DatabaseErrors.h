#pragma once

#include <QSqlError>
#include <QString>

// Turns what a database reports into a reason an operator can read: a short Chinese phrase
// for the failures a workstation meets (disk full, read-only file, lost server, ...) followed
// by the database's own words. Never empty.
class DatabaseErrors
{
public:
    static QString reason(const QSqlError &error);
    static QString reason(const QString &databaseText);
    // A window's message with the reason on the line below it.
    static QString withReason(const QString &message, const QSqlError &error);
    static QString withReason(const QString &message, const QString &databaseText);
};
