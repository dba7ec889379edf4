#include "NumberEdit.h"

#include <QLocale>
#include <QRegularExpression>
#include <QValidator>
#include <cmath>
#include <limits>

namespace {

// Full-width forms from a Chinese input method become their ASCII counterparts.
QString halfWidth(QString text)
{
    for (QChar &c : text) {
        const char16_t u = c.unicode();
        if (u >= 0xFF01 && u <= 0xFF5E)
            c = QChar(u - 0xFEE0);
        else if (u == 0x3002)   // 。 typed for the decimal point
            c = QLatin1Char('.');
    }
    return text;
}

class NumberValidator : public QValidator
{
public:
    NumberValidator(bool integer, QObject *parent) : QValidator(parent), m_integer(integer) {}

    State validate(QString &input, int &) const override
    {
        input = halfWidth(input);
        static const QRegularExpression decimal(QStringLiteral("^\\s*[+-]?[0-9,]*(\\.[0-9]*)?\\s*$"));
        static const QRegularExpression integer(QStringLiteral("^\\s*[+-]?[0-9,]*\\s*$"));
        if (!(m_integer ? integer : decimal).match(input).hasMatch())
            return Invalid;
        QVariant number;
        if (NumberEdit::parse(input, m_integer, &number))
            return Acceptable;
        // Digits beyond what the column holds are refused as they are typed.
        const QString digits = QString(input).remove(QRegularExpression(QStringLiteral("[^0-9]")));
        if (m_integer && !digits.isEmpty())
            return Invalid;
        return Intermediate;
    }

private:
    bool m_integer;
};

} // namespace

NumberEdit::NumberEdit(QWidget *parent) : QLineEdit(parent)
{
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setValidator(new NumberValidator(m_integer, this));
}

void NumberEdit::setInteger(bool integer)
{
    m_integer = integer;
    delete validator();
    setValidator(new NumberValidator(m_integer, this));
}

QString NumberEdit::textOf(const QVariant &number)
{
    if (number.isNull())
        return QString();
    switch (number.userType()) {
    case QMetaType::Int: case QMetaType::LongLong: case QMetaType::UInt: case QMetaType::ULongLong:
    case QMetaType::Short: case QMetaType::Long:
        return QString::number(number.toLongLong());
    case QMetaType::Double: case QMetaType::Float: {
        const double value = number.toDouble();
        if (!std::isfinite(value))
            return QString::number(value);
        if (value == 0)
            return QStringLiteral("0");
        // The shortest text that reads back as the same number, written out in full.
        return QString::number(value, 'f', QLocale::FloatingPointShortest);
    }
    default: {
        // A number stored as text (SQLite keeps what it was given) shows as it is.
        QVariant parsed;
        return parse(number.toString(), false, &parsed) ? textOf(parsed) : number.toString();
    }
    }
}

bool NumberEdit::parse(const QString &text, bool integer, QVariant *number)
{
    QString plain = halfWidth(text).trimmed();
    plain.remove(QLatin1Char(','));
    if (plain.startsWith(QLatin1Char('+')))
        plain.remove(0, 1);
    if (plain.isEmpty() || plain == QLatin1String("-") || plain == QLatin1String(".") || plain == QLatin1String("-."))
        return false;
    bool ok = false;
    if (integer) {
        const int value = QLocale::c().toInt(plain, &ok);
        if (ok)
            *number = value;
        return ok;
    }
    static const QRegularExpression decimal(QStringLiteral("^-?[0-9]*(\\.[0-9]*)?$"));
    if (!decimal.match(plain).hasMatch())
        return false;
    const double value = QLocale::c().toDouble(plain, &ok);
    if (!ok || !std::isfinite(value))
        return false;
    *number = value;
    return true;
}

void NumberEdit::setValue(const QVariant &value)
{
    m_hasLoaded = true;
    m_loaded = value;
    m_loadedText = textOf(value);
    setText(m_loadedText);
}

QVariant NumberEdit::value() const
{
    if (isUnchanged())
        return m_loaded;
    if (isEmpty())
        return QVariant();
    QVariant number;
    parse(text(), m_integer, &number);
    return number;
}

bool NumberEdit::isAcceptable() const
{
    if (isEmpty() || isUnchanged())
        return true;
    QVariant number;
    return parse(text(), m_integer, &number);
}
