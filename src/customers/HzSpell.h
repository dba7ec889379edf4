#ifndef HZSPELL_H
#define HZSPELL_H

#include <QByteArrayView>
#include <QString>
#include <QtGlobal>

// Pinyin initials of a text as read in the GBK code page: customers are
// found by the first letters of the syllables of their names.
class THzSpell
{
public:
    THzSpell() = delete;

    // One character per input character that has a reading, nothing for the
    // others; characters GBK cannot encode give nothing.
    static QString PinyinInitials(const QString &text);

    // The same on text that is already GBK bytes (imported files).
    static QString PinyinInitialsOfGbk(QByteArrayView gbk);

private:
    static void AppendInitials(const uchar *bytes, qsizetype size, QChar *&out);

    // Generated tables (HzSpellTable.cpp, see tools/pinyin).
    static const char Syllables[][7];
    static const quint16 CharTable[126 * 191];
};

#endif // HZSPELL_H
