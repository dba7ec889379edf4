#include "ReportExpression.h"

#include <QRegularExpression>

bool ParsedText::isStatic() const
{
    for (const TextPart &part : parts) {
        if (part.kind != TextPart::Kind::Literal)
            return false;
    }
    return true;
}

QString ParsedText::fieldExpression(const QString &dataSet, const QString &field)
{
    return QStringLiteral("[%1.\"%2\"]").arg(dataSet, field);
}

bool ParsedText::parse(const QString &text, ParsedText *parsed, QString *expression, QString *reason)
{
    static const QRegularExpression fieldPattern(
        QStringLiteral(R"re(^\s*([A-Za-z_][A-Za-z0-9_]*)\s*\.\s*(?:"([^"]+)"|([A-Za-z_][A-Za-z0-9_]*))\s*$)re"));
    parsed->parts.clear();
    int position = 0;
    while (position < text.size()) {
        const int open = text.indexOf(QLatin1Char('['), position);
        if (open < 0) {
            parsed->parts.append({TextPart::Kind::Literal, text.mid(position), {}, {}});
            break;
        }
        if (open > position)
            parsed->parts.append({TextPart::Kind::Literal, text.mid(position, open - position), {}, {}});
        const int close = text.indexOf(QLatin1Char(']'), open);
        if (close < 0) {
            *expression = text.mid(open);
            *reason = QStringLiteral("缺少 \"]\"");
            return false;
        }
        TextPart part;
        part.text = text.mid(open, close - open + 1);
        const QString inner = text.mid(open + 1, close - open - 1).trimmed();
        if (inner.compare(QLatin1String("Date"), Qt::CaseInsensitive) == 0) {
            part.kind = TextPart::Kind::Date;
        } else if (inner.compare(QLatin1String("Time"), Qt::CaseInsensitive) == 0) {
            part.kind = TextPart::Kind::Time;
        } else if (inner.compare(QLatin1String("Page#"), Qt::CaseInsensitive) == 0) {
            part.kind = TextPart::Kind::Page;
        } else {
            const QRegularExpressionMatch match = fieldPattern.match(inner);
            if (!match.hasMatch()) {
                *expression = part.text;
                *reason = QStringLiteral("无法识别的表达式");
                return false;
            }
            part.kind = TextPart::Kind::Field;
            part.dataSet = match.captured(1);
            part.field = match.captured(2).isEmpty() ? match.captured(3) : match.captured(2);
        }
        parsed->parts.append(part);
        position = close + 1;
    }
    return true;
}
