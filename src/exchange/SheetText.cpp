#include "SheetText.h"

#include <QDateTime>
#include <QHash>
#include <cmath>

namespace SheetText
{
namespace {

// Removes what a format code shows literally: quoted text, escaped characters, colours and
// locale tags in brackets (elapsed-time brackets such as [h] stay, as time letters).
QString formatLetters(const QString &section)
{
    QString letters;
    for (int i = 0; i < section.size(); ++i) {
        const QChar c = section[i];
        if (c == QLatin1Char('"')) {
            const int end = section.indexOf(QLatin1Char('"'), i + 1);
            i = end < 0 ? section.size() : end;
        } else if (c == QLatin1Char('\\') || c == QLatin1Char('_') || c == QLatin1Char('*')) {
            ++i;
        } else if (c == QLatin1Char('[')) {
            const int end = section.indexOf(QLatin1Char(']'), i + 1);
            const QString inside = section.mid(i + 1, (end < 0 ? section.size() : end) - i - 1).toLower();
            if (!inside.isEmpty() && QStringLiteral("hms").contains(inside[0]))
                letters += inside;
            i = end < 0 ? section.size() : end;
        } else {
            letters += c;
        }
    }
    return letters;
}

} // namespace

NumberFormat parseFormatCode(const QString &code)
{
    NumberFormat format;
    const QString trimmed = code.trimmed();
    if (trimmed.isEmpty() || trimmed.compare(QLatin1String("General"), Qt::CaseInsensitive) == 0)
        return format;
    // The first section is the one for positive numbers.
    const QString letters = formatLetters(trimmed.section(QLatin1Char(';'), 0, 0));
    const QString lower = letters.toLower();
    if (lower == QLatin1String("@")) {
        format.kind = FormatKind::Text;
        return format;
    }
    // A lone "m" is a month; beside hours or seconds it is minutes.
    const bool hasDate = lower.contains(QLatin1Char('y')) || lower.contains(QLatin1Char('d'))
                      || (lower.contains(QLatin1Char('m')) && !lower.contains(QLatin1Char('h'))
                          && !lower.contains(QLatin1Char('s')) && !lower.contains(QLatin1Char('0')));
    const bool hasTime = lower.contains(QLatin1Char('h')) || lower.contains(QLatin1Char('s'));
    if (hasDate || hasTime) {
        format.kind = hasDate && hasTime ? FormatKind::DateTime : (hasDate ? FormatKind::Date : FormatKind::Time);
        return format;
    }
    if (lower.contains(QLatin1String("general"))) {
        format.kind = FormatKind::General;
        return format;
    }
    format.kind = letters.contains(QLatin1Char('%')) ? FormatKind::Percent : FormatKind::Number;
    const int point = letters.indexOf(QLatin1Char('.'));
    if (point >= 0) {
        for (int i = point + 1; i < letters.size(); ++i) {
            const QChar c = letters[i];
            if (c == QLatin1Char('0') || c == QLatin1Char('#') || c == QLatin1Char('?'))
                ++format.decimals;
            else
                break;
        }
    }
    return format;
}

QString builtInFormatCode(int id)
{
    static const QHash<int, QString> codes = {
        {0, QStringLiteral("General")}, {1, QStringLiteral("0")}, {2, QStringLiteral("0.00")},
        {3, QStringLiteral("#,##0")}, {4, QStringLiteral("#,##0.00")}, {9, QStringLiteral("0%")},
        {10, QStringLiteral("0.00%")}, {11, QStringLiteral("0.00E+00")}, {12, QStringLiteral("# ?/?")},
        {13, QStringLiteral("# ?\?/?\?")}, {14, QStringLiteral("yyyy-mm-dd")}, {15, QStringLiteral("d-mmm-yy")},
        {16, QStringLiteral("d-mmm")}, {17, QStringLiteral("mmm-yy")}, {18, QStringLiteral("h:mm AM/PM")},
        {19, QStringLiteral("h:mm:ss AM/PM")}, {20, QStringLiteral("h:mm")}, {21, QStringLiteral("h:mm:ss")},
        {22, QStringLiteral("yyyy-mm-dd h:mm")}, {27, QStringLiteral("yyyy\"年\"m\"月\"")},
        {28, QStringLiteral("m\"月\"d\"日\"")}, {29, QStringLiteral("m\"月\"d\"日\"")},
        {30, QStringLiteral("m-d-yy")}, {31, QStringLiteral("yyyy\"年\"m\"月\"d\"日\"")},
        {32, QStringLiteral("h\"时\"mm\"分\"")}, {33, QStringLiteral("h\"时\"mm\"分\"ss\"秒\"")},
        {34, QStringLiteral("上午/下午h\"时\"mm\"分\"")}, {35, QStringLiteral("上午/下午h\"时\"mm\"分\"ss\"秒\"")},
        {36, QStringLiteral("yyyy\"年\"m\"月\"")}, {37, QStringLiteral("#,##0 ;(#,##0)")},
        {38, QStringLiteral("#,##0 ;[Red](#,##0)")}, {39, QStringLiteral("#,##0.00;(#,##0.00)")},
        {40, QStringLiteral("#,##0.00;[Red](#,##0.00)")}, {45, QStringLiteral("mm:ss")},
        {46, QStringLiteral("[h]:mm:ss")}, {47, QStringLiteral("mm:ss.0")}, {48, QStringLiteral("##0.0E+0")},
        {49, QStringLiteral("@")},
        {50, QStringLiteral("yyyy\"年\"m\"月\"")}, {51, QStringLiteral("m\"月\"d\"日\"")},
        {52, QStringLiteral("yyyy\"年\"m\"月\"")}, {53, QStringLiteral("m\"月\"d\"日\"")},
        {54, QStringLiteral("m\"月\"d\"日\"")}, {55, QStringLiteral("上午/下午h\"时\"mm\"分\"")},
        {56, QStringLiteral("上午/下午h\"时\"mm\"分\"ss\"秒\"")}, {57, QStringLiteral("yyyy\"年\"m\"月\"")},
        {58, QStringLiteral("m\"月\"d\"日\"")},
    };
    return codes.value(id);
}

QString general(double value)
{
    if (!std::isfinite(value))
        return QString();
    if (value == std::floor(value) && std::fabs(value) < 1e15)
        return QString::number(qint64(value));
    // Fifteen significant digits, as a spreadsheet keeps them, written out in full.
    const int magnitude = value == 0 ? 0 : int(std::floor(std::log10(std::fabs(value)))) + 1;
    const int decimals = std::clamp(15 - magnitude, 0, 20);
    QString text = QString::number(value, 'f', decimals);
    if (text.contains(QLatin1Char('.'))) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(QLatin1Char('.')))
            text.chop(1);
    }
    return text == QLatin1String("-0") ? QStringLiteral("0") : text;
}

QString dateTime(int year, int month, int day, int hour, int minute, double second)
{
    const QDate date(year, month, day);
    const int seconds = int(std::lround(second));
    if (hour == 0 && minute == 0 && seconds == 0)
        return date.toString(QStringLiteral("yyyy-MM-dd"));
    const QDateTime moment(date, QTime(hour, minute).addSecs(seconds));
    return moment.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString number(double value, const NumberFormat &format, QDate origin)
{
    if (!std::isfinite(value))
        return QString();
    switch (format.kind) {
    case FormatKind::General:
    case FormatKind::Text:
        return general(value);
    case FormatKind::Number:
        return format.decimals == 0 ? general(std::round(value)) : QString::number(value, 'f', format.decimals);
    case FormatKind::Percent:
        return QString::number(value * 100, 'f', format.decimals) + QLatin1Char('%');
    case FormatKind::Date:
    case FormatKind::Time:
    case FormatKind::DateTime:
        break;
    }
    // Serial day numbers: whole days from the origin, the fraction is the time of day.
    const qint64 totalSeconds = std::llround(value * 86400.0);
    const qint64 days = totalSeconds >= 0 ? totalSeconds / 86400 : -((-totalSeconds + 86399) / 86400);
    const QTime time = QTime(0, 0).addSecs(int(totalSeconds - days * 86400));
    const QDate date = origin.addDays(days);
    switch (format.kind) {
    case FormatKind::Date:
        return date.toString(QStringLiteral("yyyy-MM-dd"));
    case FormatKind::Time:
        return time.toString(QStringLiteral("HH:mm:ss"));
    default:
        return QDateTime(date, time).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    }
}

} // namespace SheetText
