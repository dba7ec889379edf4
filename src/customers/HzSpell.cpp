#include "HzSpell.h"

#include <QStringEncoder>

namespace {

// The initial of a numeral of row 0xA2: the first digit of the number.
char NumeralInitial(uchar trail)
{
    struct Run { uchar first, last; };
    // Each run counts from 1: small Roman numerals, numbers with full stop,
    // parenthesised, circled, parenthesised ideographic, Roman numerals.
    static constexpr Run runs[] = {
        {0xA1, 0xAA}, {0xB1, 0xC4}, {0xC5, 0xD8}, {0xD9, 0xE2}, {0xE5, 0xEE}, {0xF1, 0xFC},
    };
    for (const Run &run : runs) {
        if (trail >= run.first && trail <= run.last) {
            const int number = trail - run.first + 1;
            return number >= 10 ? char('0' + number / 10) : char('0' + number);
        }
    }
    return 0;
}

// Greek letters of row 0xA6, capitals from 0xA1 and small letters from 0xC1.
char GreekInitial(uchar trail)
{
    static constexpr char readings[24][3] = {
        "a", "b", "g", "d", "e", "z", "e", "th", "i", "k", "l", "m",
        "n", "x", "o", "p", "r", "s", "t", "u", "ph", "kh", "ps", "o",
    };
    if (trail >= 0xA1 && trail <= 0xB8)
        return readings[trail - 0xA1][0];
    if (trail >= 0xC1 && trail <= 0xD8)
        return readings[trail - 0xC1][0];
    return 0;
}

bool IsLetterOrDigit(uchar c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Full-width forms of row 0xA3 read as their ASCII counterpart.
char FullWidthInitial(uchar trail)
{
    const uchar c = uchar(trail - 0x80);
    if (IsLetterOrDigit(c) || c == '(' || c == ')' || c == '[' || c == ']')
        return char(c);
    return 0;
}

char SingleByteInitial(uchar c)
{
    if (IsLetterOrDigit(c))
        return char(c);
    switch (c) {
    case '!': case '"': case '#': case '$': case '%': case '&': case '(': case ')':
    case '*': case '+': case '-': case '.': case ':': case '<': case '>': case '?':
    case '@': case '[': case ']': case '^':
        return char(c);
    default:
        return 0;
    }
}

// UTF-16 units encoded per round; GBK needs at most two bytes per unit.
constexpr qsizetype ChunkUnits = 128;

} // namespace

void THzSpell::AppendInitials(const uchar *bytes, qsizetype size, QChar *&out)
{
    qsizetype pos = 0;
    while (pos < size) {
        const uchar lead = bytes[pos];
        char initial = 0;
        if (lead >= 0x81 && pos + 1 < size) {
            const uchar trail = bytes[pos + 1];
            pos += 2;
            if (trail >= 0x40) {
                if (lead == 0xA2) {
                    if (trail > 0xA0)
                        initial = NumeralInitial(trail);
                } else if (lead == 0xA3) {
                    initial = FullWidthInitial(trail);
                } else if (lead == 0xA6) {
                    initial = GreekInitial(trail);
                } else if (lead <= 0xFE && trail <= 0xFE) {
                    // 0xFF is no lead byte of GBK and has no row in the table.
                    const quint16 syllable = CharTable[(lead - 0x81) * 191 + (trail - 0x40)];
                    if (syllable != 0)
                        initial = Syllables[syllable][0];
                }
            } else {
                initial = SingleByteInitial(lead);
            }
        } else {
            ++pos;
            initial = SingleByteInitial(lead);
        }
        if (initial)
            *out++ = QLatin1Char(initial);
    }
}

QString THzSpell::PinyinInitialsOfGbk(QByteArrayView gbk)
{
    QString result(gbk.size(), Qt::Uninitialized);
    QChar *out = result.data();
    AppendInitials(reinterpret_cast<const uchar *>(gbk.data()), gbk.size(), out);
    result.truncate(out - result.constData());
    return result;
}

QString THzSpell::PinyinInitials(const QString &text)
{
    if (text.isEmpty())
        return QString();

    // One encoder per thread, kept open: opening the converter costs more
    // than a whole name. Stateless, so nothing carries over between calls;
    // unencodable characters become NUL, which has no reading (the default
    // '?' would be a kept character).
    thread_local QStringEncoder encoder(
        "GBK", QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInvalidToNull);

    // Every UTF-16 unit yields at most one initial.
    QString result(text.size(), Qt::Uninitialized);
    QChar *out = result.data();

    char buffer[ChunkUnits * 4];
    Q_ASSERT(encoder.requiredSpace(ChunkUnits) <= qsizetype(sizeof buffer));
    QStringView rest(text);
    while (!rest.isEmpty()) {
        // GBK has no characters beyond the BMP, so a surrogate pair cut
        // between two rounds gives nothing either way; the encoder emits
        // whole characters, so no GBK unit spans two rounds.
        const qsizetype units = qMin(rest.size(), ChunkUnits);
        const char *end = encoder.appendToBuffer(buffer, rest.first(units));
        AppendInitials(reinterpret_cast<const uchar *>(buffer), end - buffer, out);
        rest = rest.sliced(units);
    }
    result.truncate(out - result.constData());
    return result;
}
