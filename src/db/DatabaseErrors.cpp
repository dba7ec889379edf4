#include "DatabaseErrors.h"

namespace {

struct KnownFailure
{
    const char *pattern;    // lower-case part of the database's text
    const char *phrase;
};

const KnownFailure knownFailures[] = {
    {"disk is full", "磁盘空间不足"},
    {"no space left on device", "磁盘空间不足"},
    {"could not extend file", "磁盘空间不足"},
    {"disk i/o error", "读写磁盘出错（磁盘已满、文件太大或磁盘损坏）"},
    {"readonly database", "数据库是只读的，没有写入的权限"},
    {"read-only", "数据库是只读的，没有写入的权限"},
    {"unable to open database file", "无法打开数据库文件（文件夹不存在或没有权限）"},
    {"file is not a database", "文件不是数据库"},
    {"database disk image is malformed", "数据库文件已损坏"},
    {"database is locked", "数据库正被其他工作站使用，请稍后再试"},
    {"database table is locked", "数据库正被其他工作站使用，请稍后再试"},
    {"password authentication failed", "数据库用户名或密码错误"},
    {"permission denied", "没有操作数据库的权限"},
    {"does not exist", "数据库或表不存在"},
    {"connection refused", "无法连接数据库服务器"},
    {"could not connect", "无法连接数据库服务器"},
    {"could not translate host name", "无法连接数据库服务器"},
    {"timeout expired", "无法连接数据库服务器"},
    {"server closed the connection", "与数据库服务器的连接已断开"},
    {"terminating connection", "与数据库服务器的连接已断开"},
    {"no connection to the server", "与数据库服务器的连接已断开"},
    {"unique constraint failed", "与已有的记录重复"},
    {"duplicate key value", "与已有的记录重复"},
    {"value too long", "内容超出了字段的长度"},
};

} // namespace

QString DatabaseErrors::reason(const QString &databaseText)
{
    // One line: the reason stands below the window's message.
    const QString text = databaseText.simplified();
    if (text.isEmpty())
        return QStringLiteral("未知的数据库错误");
    const QString lower = text.toLower();
    for (const KnownFailure &known : knownFailures) {
        if (lower.contains(QLatin1String(known.pattern)))
            return QStringLiteral("%1（%2）").arg(QString::fromUtf8(known.phrase), text);
    }
    return text;
}

QString DatabaseErrors::reason(const QSqlError &error)
{
    QString text = error.databaseText().trimmed();
    const QString driver = error.driverText().trimmed();
    if (!driver.isEmpty() && !text.contains(driver))
        text = text.isEmpty() ? driver : text + QLatin1Char(' ') + driver;
    return reason(text);
}

QString DatabaseErrors::withReason(const QString &message, const QSqlError &error)
{
    return message + QLatin1Char('\n') + reason(error);
}

QString DatabaseErrors::withReason(const QString &message, const QString &databaseText)
{
    return message + QLatin1Char('\n') + reason(databaseText);
}
