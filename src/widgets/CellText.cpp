#include "CellText.h"

#include "NumberEdit.h"

CellText::Kind CellText::kindOf(const QVariant &value)
{
    switch (value.userType()) {
    case QMetaType::QDateTime: case QMetaType::QDate:
        return Kind::DateTime;
    case QMetaType::Bool:
        return Kind::Boolean;
    case QMetaType::Int: case QMetaType::LongLong: case QMetaType::UInt: case QMetaType::ULongLong:
    case QMetaType::Double: case QMetaType::Float:
        return Kind::Number;
    default:
        return Kind::Text;
    }
}

QDateTime CellText::dateTime(const QVariant &value)
{
    if (value.userType() == QMetaType::QDateTime)
        return value.toDateTime();
    if (value.userType() == QMetaType::QDate)
        return value.toDate().startOfDay();
    QString text = value.toString().trimmed();
    if (text.size() == 10)
        return QDate::fromString(text, Qt::ISODate).startOfDay();
    if (text.size() > 10 && text.at(10) == QLatin1Char(' '))
        text[10] = QLatin1Char('T');
    return QDateTime::fromString(text, Qt::ISODateWithMs);
}

QString CellText::text(const QVariant &value, Kind kind)
{
    if (value.isNull())
        return QString();
    if (kind == Kind::Auto)
        kind = kindOf(value);
    switch (kind) {
    case Kind::DateTime: {
        const QDateTime when = dateTime(value);
        if (!when.isValid())
            break;
        return when.time() == QTime(0, 0) ? when.toString(QStringLiteral("yyyy-MM-dd"))
                                          : when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    }
    case Kind::Boolean: {
        // true, 1 or "1" on one engine, the same on the other.
        const QString text = value.toString().trimmed().toLower();
        if (text == QLatin1String("1") || text == QLatin1String("true"))
            return QStringLiteral("是");
        if (text == QLatin1String("0") || text == QLatin1String("false"))
            return QStringLiteral("否");
        break;
    }
    case Kind::Number:
        return NumberEdit::textOf(value);
    case Kind::Text: case Kind::Auto:
        break;
    }
    // Memo text shows on one line.
    QString text = value.toString();
    text.replace(QLatin1Char('\n'), QLatin1Char(' ')).remove(QLatin1Char('\r'));
    return text;
}
