#include "TemporaryTarget.h"

#include <QDir>
#include <QFileInfo>
#include <filesystem>

TemporaryTarget::TemporaryTarget(const QString &target)
    : m_target(target),
      m_file(QFileInfo(target).absoluteDir().filePath(QLatin1Char('.') + QFileInfo(target).fileName() + QStringLiteral(".XXXXXX")))
{
}

bool TemporaryTarget::create(QString *error)
{
    if (!m_file.open()) {
        *error = m_file.errorString();
        return false;
    }
    m_file.close();
    // A temporary file is private to its owner; the result is an ordinary file.
    const QFileInfo existing(m_target);
    m_file.setPermissions(existing.exists() ? existing.permissions()
                                            : QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser
                                                  | QFile::ReadGroup | QFile::ReadOther);
    return true;
}

bool TemporaryTarget::replaceTarget(QString *error)
{
    // std::filesystem::rename replaces an existing target, on Windows too.
    std::error_code code;
    std::filesystem::rename(std::filesystem::path(path().toStdU16String()), std::filesystem::path(m_target.toStdU16String()), code);
    if (code) {
        *error = QString::fromLocal8Bit(code.message().c_str());
        return false;
    }
    m_file.setAutoRemove(false);
    return true;
}
