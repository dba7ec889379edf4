#pragma once

#include <QDate>
#include <QString>

// The text a spreadsheet shows for a number under its number format, the way the import
// wants it: whole numbers without ".0" and never in exponent form (a mobile number stored as
// a number stays whole), the decimals the format asks for, no thousands separators (the text
// must convert back into a number column), dates and times as yyyy-MM-dd HH:mm:ss.
namespace SheetText
{
enum class FormatKind { General, Number, Percent, Date, Time, DateTime, Text };

struct NumberFormat
{
    FormatKind kind = FormatKind::General;
    int decimals = 0;
};

// What a format code ("0.00", "yyyy/m/d", "[$-804]hh:mm", "General", "@") asks for.
NumberFormat parseFormatCode(const QString &code);
// The code of one of the spreadsheet's built-in formats (ids 0 to 49); empty if unknown.
QString builtInFormatCode(int id);

// Day 0 of the spreadsheets' usual date system.
inline QDate excelOrigin() { return QDate(1899, 12, 30); }

// A number as shown under the format. origin is day 0 of the workbook's date system.
QString number(double value, const NumberFormat &format, QDate origin = excelOrigin());
// A number under the General format.
QString general(double value);
QString dateTime(int year, int month, int day, int hour, int minute, double second);
}
