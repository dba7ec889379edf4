#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

// Installation order numbers ("AZ-" + date + "-" + a daily sequence of at least four digits)
// and automatic customer codes (a prefix and a four-digit counter).
class CustomerNumbers
{
public:
    // "AZ-2026-12-11-": the numbers of one day begin with it.
    static QString orderDayPrefix(const QDate &day);
    // The next number of the day after the given numbers of that day. A stored number whose
    // sequence is not digits is left out and reported through badNumber.
    static QString nextOrderNumber(const QDate &day, const QStringList &numbersOfTheDay, QString *badNumber = nullptr);
    // The sequence padded to four digits; longer ones stay as they are.
    static QString PadSequence(qint64 sequence);

    // True when the last four characters (the whole code when shorter) are an integer.
    static bool endsInCounter(const QString &code);
    // The code with its four-character counter increased by one: ...0099 gives ...0100,
    // ...9999 gives ...10000.
    static QString NextCustCode(const QString &code);
};
