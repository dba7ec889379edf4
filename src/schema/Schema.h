#pragma once

#include <QSqlDatabase>
#include <QString>

// Creates the program's tables and indexes where they are missing. A database without any
// of the program's tables also receives the rows the program expects.
class Schema
{
public:
    static bool ensure(QSqlDatabase &db, QString *error);
};
