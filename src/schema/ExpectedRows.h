#pragma once

#include <QSqlDatabase>
#include <QString>

// The rows a new database starts with: the administrator, roles and permission templates,
// grid column configurations, settings, import mapping, clearing actions and starter lists.
class ExpectedRows
{
public:
    static bool insert(QSqlDatabase &db, QString *error);
};
