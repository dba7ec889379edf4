#pragma once

#include <QString>
#include <QVector>

// The text of a text object: literal text with expressions in square brackets.
//   [S."Company"]  [w.danhao]  the field of a data set's current row (names without regard to case)
//   [Date] [Time]               the date and time of printing
//   [Page#]                     the number of the page
struct TextPart
{
    enum class Kind { Literal, Field, Date, Time, Page };
    Kind kind = Kind::Literal;
    QString text;       // the literal, or the expression as written with its brackets
    QString dataSet;
    QString field;
};

struct ParsedText
{
    QVector<TextPart> parts;

    bool isStatic() const;
    // Parses text; on a malformed expression returns false with it in *expression and why in *reason.
    static bool parse(const QString &text, ParsedText *parsed, QString *expression, QString *reason);
    // The expression that inserts a data set's field, as the designer's field list writes it.
    static QString fieldExpression(const QString &dataSet, const QString &field);
};
