#pragma once

#include <QSqlDatabase>
#include <QString>

class DbConnection;
class SqlDialect;

// The program's tables in a database. The database records the version of its schema: a new
// database receives the tables and the rows the program expects, an older one is brought up
// to date, both once, under a lock, in one transaction. A database at the current version is
// used as it is, so an account that may not create tables can work on it.
class Schema
{
public:
    static constexpr int CurrentVersion = 3;

    // Makes the connected database ready for this program; false with the reason when it is
    // not this program's database, is newer than the program, or cannot be prepared. A
    // database without tables receives the schema only when mayCreate is true.
    static bool ensure(DbConnection &connection, bool mayCreate, QString *reason);

    // 0: none of the program's tables; 1: the program's tables from before versions were kept;
    // otherwise the recorded version.
    static int storedVersion(QSqlDatabase &db, const SqlDialect &dialect);
    // The database has tables, none of them the program's.
    static bool holdsOtherTables(QSqlDatabase &db, const SqlDialect &dialect);
};
