#include "CustomerNumbers.h"

namespace {
const QString OrderPrefix = QStringLiteral("AZ-");
constexpr int CounterLength = 4;

bool isInteger(const QString &text)
{
    bool ok = false;
    text.toLongLong(&ok);
    return ok;
}
} // namespace

QString CustomerNumbers::orderDayPrefix(const QDate &day)
{
    return OrderPrefix + day.toString(QStringLiteral("yyyy-MM-dd")) + QLatin1Char('-');
}

QString CustomerNumbers::PadSequence(qint64 sequence)
{
    return QStringLiteral("%1").arg(sequence, CounterLength, 10, QLatin1Char('0'));
}

QString CustomerNumbers::nextOrderNumber(const QDate &day, const QStringList &numbersOfTheDay, QString *badNumber)
{
    const QString prefix = orderDayPrefix(day);
    qint64 highest = 0;
    for (const QString &number : numbersOfTheDay) {
        if (!number.startsWith(prefix))
            continue;
        const QString sequence = number.mid(prefix.size()).trimmed();
        bool ok = false;
        const qint64 value = sequence.toLongLong(&ok);
        if (!ok || value < 0) {
            if (badNumber)
                *badNumber = number;
            continue;
        }
        highest = qMax(highest, value);
    }
    return prefix + PadSequence(highest + 1);
}

bool CustomerNumbers::endsInCounter(const QString &code)
{
    return isInteger(code.right(CounterLength));
}

QString CustomerNumbers::NextCustCode(const QString &code)
{
    const QString prefix = code.left(qMax(0, code.size() - CounterLength));
    return prefix + PadSequence(code.right(CounterLength).toLongLong() + 1);
}
