#pragma once

#include <QString>

// Automatic customer codes: a prefix and a four-digit counter. (Installation order numbers
// are daily numbers of the kind "AZ", see DailyNumbers.)
class CustomerNumbers
{
public:
    static QString orderKind() { return QStringLiteral("AZ"); }

    // True when the last four characters (the whole code when shorter) are an integer.
    static bool endsInCounter(const QString &code);
    // The code with its four-character counter increased by one: ...0099 gives ...0100,
    // ...9999 gives ...10000.
    static QString NextCustCode(const QString &code);
};
