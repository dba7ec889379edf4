#include "ProgramFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString ProgramFiles::path(const QString &programDir, const QString &relative)
{
    const QString own = QDir(programDir).filePath(relative);
    if (QFileInfo::exists(own))
        return own;
    const QString delivered = QDir(QCoreApplication::applicationDirPath()).filePath(relative);
    return QFileInfo::exists(delivered) ? delivered : own;
}
