#pragma once

#include "DbConnection.h"

// A connection of its own for one piece of maintenance work (a backup's source or target, a
// file under check), opened as the program opens its databases and closed when it goes.
class MaintenanceConnection : public DbConnection
{
    Q_OBJECT
public:
    explicit MaintenanceConnection(const char *role);

    // Opens an SQLite file that exists.
    bool openFile(const QString &path, QString *reason);
};
