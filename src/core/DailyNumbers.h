#pragma once

#include <QDate>
#include <QSqlError>
#include <QString>
#include <QStringList>

class TFrm_Data;

// Order numbers "<kind>-yyyy-MM-dd-0001": one sequence a day for each kind, continued from the
// numeric value of the day's stored numbers (text order differs from server to server and
// puts ...-10000 before ...-9999). Past 9999 the sequence goes on with more digits.
class DailyNumbers
{
public:
    // "AZ-2026-12-11-"
    static QString dayPrefix(const QString &kind, const QDate &day);
    static QString padSequence(qint64 sequence);
    // The number after the highest of the day's numbers; badNumber (when given) receives a
    // stored number of the day whose sequence is not a number, which is skipped.
    static QString nextFrom(const QString &prefix, const QStringList &numbersOfTheDay, QString *badNumber = nullptr);
    // The same, reading the day's numbers from column of table. Empty on a database error.
    static QString next(TFrm_Data &data, const QString &table, const QString &column, const QString &kind,
                        const QDate &day, QString *badNumber = nullptr, QSqlError *error = nullptr);
};
