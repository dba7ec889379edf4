#pragma once

#include <QByteArray>
#include <QString>

// Limits that count bytes of the Chinese (GBK) code page.
class GbkText
{
public:
    static QByteArray encode(const QString &text);
    // The longest start of text that takes at most maxBytes bytes in GBK; a character is
    // never cut in half.
    static QString leftBytes(const QString &text, int maxBytes);
};
