#pragma once

#include <QDateTime>
#include <QString>
#include <QVariant>

// How a grid cell shows a value, whatever type the database returned it as: SQLite gives
// date-times as text and yes/no as integers, PostgreSQL as date-times and booleans.
class CellText
{
public:
    enum class Kind {
        Auto,       // by the value's own type
        Text,
        Number,     // as stored: every decimal, no exponent
        DateTime,   // yyyy-MM-dd, or yyyy-MM-dd HH:mm:ss when it has a time of day
        Boolean,    // 是 / 否
    };

    static QString text(const QVariant &value, Kind kind = Kind::Auto);
    // The kind a value's own type suggests.
    static Kind kindOf(const QVariant &value);
    // A date-time from a value or its text ("2026-12-11", "2026-12-11T08:10:38.562",
    // "2026-12-11 08:10:38"); invalid when it is none.
    static QDateTime dateTime(const QVariant &value);
};
