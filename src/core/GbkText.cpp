#include "GbkText.h"

#include <QStringEncoder>

QByteArray GbkText::encode(const QString &text)
{
    QStringEncoder encoder("GBK");
    return encoder.encode(text);
}

QString GbkText::leftBytes(const QString &text, int maxBytes)
{
    QStringEncoder encoder("GBK");
    int bytes = 0;
    int end = 0;
    while (end < text.size()) {
        const int length = text[end].isHighSurrogate() && end + 1 < text.size() ? 2 : 1;
        const int size = QByteArray(encoder.encode(QStringView(text).mid(end, length))).size();
        if (bytes + size > maxBytes)
            break;
        bytes += size;
        end += length;
    }
    return text.left(end);
}
