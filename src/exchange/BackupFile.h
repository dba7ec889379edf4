#pragma once

#include <QDate>
#include <QString>

#include "SqlDialect.h"

class DbConnection;

// A database file of this program that a backup writes and a restore reads: an SQLite file,
// whole, holding this program's tables at a schema version the program knows.
class BackupFile
{
public:
    // The backup of a day: "server_bak" + yyyy-MM-dd + ".db"; one name a day.
    static QString nameFor(const QDate &day);
    // The file list offers files of this pattern, letters in any case.
    static QString namePattern() { return QStringLiteral("*.db"); }

    // Whether the file can be restored; otherwise reason says why. The file is only read.
    // A file from elsewhere gets the thorough check; a copy just written page by page from a
    // checked database needs only proof that every page reached the disk whole.
    static bool check(const QString &path, QString *reason,
                      SqlDialect::Scrutiny scrutiny = SqlDialect::Scrutiny::Thorough);
    // Empty when the engine finds the stored database of the connection sound, else what it
    // found (the first few problems).
    static QString damage(DbConnection &connection, SqlDialect::Scrutiny scrutiny = SqlDialect::Scrutiny::Thorough);
};
