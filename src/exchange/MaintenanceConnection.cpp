#include "MaintenanceConnection.h"

#include <QFileInfo>

namespace {
int connectionNumber = 0;
}

MaintenanceConnection::MaintenanceConnection(const char *role)
    : DbConnection(QStringLiteral("maintenance-%1-%2").arg(QLatin1String(role)).arg(++connectionNumber))
{
}

bool MaintenanceConnection::openFile(const QString &path, QString *reason)
{
    const QFileInfo file(path);
    return open(DatabaseLocation::fromDbConn(file.absoluteFilePath(), file.absolutePath()), reason);
}
