#include "DurableFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

std::filesystem::path fsPath(const QString &path)
{
    return std::filesystem::path(QDir::toNativeSeparators(path).toStdWString());
}

bool fail(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

QString systemText(const std::error_code &code)
{
    return QString::fromLocal8Bit(code.message().c_str());
}

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

namespace DurableFiles {

bool flush(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        return fail(error, QStringLiteral("无法打开文件“%1”：%2").arg(native(path), file.errorString()));
#ifdef Q_OS_WIN
    const bool synced = _commit(file.handle()) == 0;
#else
    const bool synced = ::fsync(file.handle()) == 0;
#endif
    if (!synced)
        return fail(error, QStringLiteral("无法把文件“%1”写入磁盘：%2")
                               .arg(native(path), QString::fromLocal8Bit(std::strerror(errno))));
    return true;
}

bool flushFolder(const QString &folder, QString *error)
{
#ifdef Q_OS_WIN
    // Renames are written by the file system itself.
    Q_UNUSED(folder);
    Q_UNUSED(error);
    return true;
#else
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd < 0)
        return fail(error, QStringLiteral("无法打开文件夹“%1”：%2")
                               .arg(native(folder), QString::fromLocal8Bit(std::strerror(errno))));
    const bool synced = ::fsync(fd) == 0;
    const int savedErrno = errno;
    ::close(fd);
    if (!synced)
        return fail(error, QStringLiteral("无法把文件夹“%1”写入磁盘：%2")
                               .arg(native(folder), QString::fromLocal8Bit(std::strerror(savedErrno))));
    return true;
#endif
}

bool replace(const QString &from, const QString &to, QString *error)
{
    std::error_code code;
    std::filesystem::rename(fsPath(from), fsPath(to), code);
    if (code)
        return fail(error, QStringLiteral("无法把“%1”改名为“%2”：%3").arg(native(from), native(to), systemText(code)));
    return true;
}

bool keepAs(const QString &path, const QString &keep, QString *error)
{
    removeIfPresent(keep);
    std::error_code code;
    std::filesystem::create_hard_link(fsPath(path), fsPath(keep), code);
    if (!code)
        return true;
    // File systems without hard links get a copy.
    if (!QFile::copy(path, keep))
        return fail(error, QStringLiteral("无法把“%1”复制为“%2”").arg(native(path), native(keep)));
    return flush(keep, error);
}

void removeIfPresent(const QString &path)
{
    if (QFileInfo::exists(path))
        QFile::remove(path);
}

} // namespace DurableFiles
