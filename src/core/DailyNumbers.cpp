#include "DailyNumbers.h"

#include "TFrm_Data.h"

#include <QSqlQuery>

namespace {
constexpr int SequenceDigits = 4;
}

QString DailyNumbers::dayPrefix(const QString &kind, const QDate &day)
{
    return kind + QLatin1Char('-') + day.toString(QStringLiteral("yyyy-MM-dd")) + QLatin1Char('-');
}

QString DailyNumbers::padSequence(qint64 sequence)
{
    return QStringLiteral("%1").arg(sequence, SequenceDigits, 10, QLatin1Char('0'));
}

QString DailyNumbers::nextFrom(const QString &prefix, const QStringList &numbersOfTheDay, QString *badNumber)
{
    qint64 highest = 0;
    for (const QString &number : numbersOfTheDay) {
        if (!number.startsWith(prefix))
            continue;
        bool ok = false;
        const qint64 value = number.mid(prefix.size()).trimmed().toLongLong(&ok);
        if (!ok || value < 0) {
            if (badNumber)
                *badNumber = number;
            continue;
        }
        highest = qMax(highest, value);
    }
    return prefix + padSequence(highest + 1);
}

QString DailyNumbers::next(TFrm_Data &data, const QString &table, const QString &column, const QString &kind,
                           const QDate &day, QString *badNumber, QSqlError *error)
{
    const QString prefix = dayPrefix(kind, day);
    // The expression matches the index on the day's prefix of the numbers.
    QSqlQuery query(data.database());
    const QString sql = QStringLiteral("SELECT %1 FROM %2 WHERE substr(%1, 1, %3) = :prefix").arg(column, table).arg(prefix.size());
    if (!data.connection().exec(query, sql, {{QStringLiteral(":prefix"), prefix}}, DbConnection::Access::Read, error))
        return QString();
    QStringList numbers;
    while (query.next())
        numbers << query.value(0).toString();
    return nextFrom(prefix, numbers, badNumber);
}
