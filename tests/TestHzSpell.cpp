#include "HzSpell.h"

#include <QMap>
#include <QStringDecoder>
#include <QTest>

#include <string_view>

namespace {

struct Level1Range { char letter; quint16 first, last; };

// GB2312 level 1 is ordered by pronunciation; each range shares an initial.
constexpr Level1Range Level1Ranges[] = {
    {'a', 0xB0A1, 0xB0C4}, {'b', 0xB0C5, 0xB2C0}, {'c', 0xB2C1, 0xB4ED},
    {'d', 0xB4EE, 0xB6E9}, {'e', 0xB6EA, 0xB7A1}, {'f', 0xB7A2, 0xB8C0},
    {'g', 0xB8C1, 0xB9FD}, {'h', 0xB9FE, 0xBBF6}, {'j', 0xBBF7, 0xBFA5},
    {'k', 0xBFA6, 0xC0AB}, {'l', 0xC0AC, 0xC2E7}, {'m', 0xC2E8, 0xC4C2},
    {'n', 0xC4C3, 0xC5B5}, {'o', 0xC5B6, 0xC5BD}, {'p', 0xC5BE, 0xC6D9},
    {'q', 0xC6DA, 0xC8BA}, {'r', 0xC8BB, 0xC8F5}, {'s', 0xC8F6, 0xCBF9},
    {'t', 0xCBFA, 0xCDD9}, {'w', 0xCDDA, 0xCEF3}, {'x', 0xCEF4, 0xD1B8},
    {'y', 0xD1B9, 0xD4D0}, {'z', 0xD4D1, 0xD7F9},
};

struct Level1Exception { quint16 code; const char *character; const char *reading; };

// Level-1 polyphones read otherwise than their place implies.
constexpr Level1Exception Level1Exceptions[] = {
    {0xB0D2, "耙", "pa"}, {0xB1D9, "辟", "pi"}, {0xB3A4, "长", "zhang"},
    {0xB3D7, "匙", "shi"}, {0xB4B1, "幢", "zhuang"}, {0xB5D4, "翟", "zhai"},
    {0xB5F7, "调", "tiao"}, {0xB6DA, "囤", "tun"}, {0xB8AC, "脯", "pu"},
    {0xB8F2, "蛤", "ha"}, {0xBABB, "夯", "ben"}, {0xBAD1, "貉", "mo"},
    {0xBCF7, "槛", "kan"}, {0xBDC4, "侥", "yao"}, {0xBFA9, "咯", "ge"},
    {0xC6D9, "瀑", "bao"}, {0xC9B2, "刹", "cha"}, {0xCBDE, "宿", "xiu"},
    {0xCFC3, "厦", "sha"}, {0xD0AE, "挟", "jia"}, {0xD0D0, "行", "hang"},
    {0xD0F3, "畜", "chu"}, {0xD3F5, "吁", "xu"}, {0xD4F8, "曾", "ceng"},
    {0xD5A4, "栅", "shan"},
};

// Codes that received a reading, per area, as printed by
// tools/pinyin/gen_hzspell_table.py.
const QMap<QString, int> GeneratedCounts = {
    {QStringLiteral("GB2312 level 1"), 3755},
    {QStringLiteral("GB2312 level 2"), 3008},
    {QStringLiteral("GBK/3"), 6075},
    {QStringLiteral("GBK/4"), 8063},
    {QStringLiteral("other"), 0},
};

QString AreaOf(uchar lead, uchar trail)
{
    const int code = lead << 8 | trail;
    if (code >= 0xB0A1 && code <= 0xD7F9 && trail >= 0xA1)
        return QStringLiteral("GB2312 level 1");
    if (lead >= 0xD8 && lead <= 0xF7 && trail >= 0xA1)
        return QStringLiteral("GB2312 level 2");
    if (lead >= 0x81 && lead <= 0xA0)
        return QStringLiteral("GBK/3");
    if (lead >= 0xAA && trail <= 0xA0)
        return QStringLiteral("GBK/4");
    return QStringLiteral("other");
}

bool IsIdeograph(char32_t cp)
{
    return (cp >= 0x4E00 && cp <= 0x9FFF) || (cp >= 0x3400 && cp <= 0x4DBF)
        || (cp >= 0xF900 && cp <= 0xFAFF) || (cp >= 0x20000 && cp <= 0x3FFFF);
}

QByteArray Code(quint16 code)
{
    const char bytes[2] = {char(code >> 8), char(code & 0xFF)};
    return QByteArray(bytes, 2);
}

QString DecodeGbk(const QByteArray &bytes)
{
    QStringDecoder decoder("GBK", QStringConverter::Flag::Stateless);
    return decoder(bytes);
}

// UTF-16 units as written, lone surrogates included.
QString Units(std::u16string_view units)
{
    return QString(reinterpret_cast<const QChar *>(units.data()), qsizetype(units.size()));
}

QString CodeName(quint16 code)
{
    return QStringLiteral("%1").arg(code, 4, 16, QLatin1Char('0')).toUpper();
}

} // namespace

class TestHzSpell : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void text_data();
    void text();

    void gbkBytes_data();
    void gbkBytes();

    void level1Exceptions_data();
    void level1Exceptions();

    void level1RangeBoundaries_data();
    void level1RangeBoundaries();

    void readingListSamples_data();
    void readingListSamples();

    void everyTwoByteCode();
};

void TestHzSpell::initTestCase()
{
    QVERIFY2(QStringEncoder("GBK").isValid(), "Qt has no GBK converter (built without ICU?)");
}

void TestHzSpell::text_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("initials");

    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("air conditioner") << QStringLiteral("空调") << QStringLiteral("kt");
    QTest::newRow("zhang polyphone") << QStringLiteral("长城") << QStringLiteral("zc");
    QTest::newRow("hang polyphone") << QStringLiteral("行政") << QStringLiteral("hz");
    QTest::newRow("after-sales service") << QStringLiteral("售后服务") << QStringLiteral("shfw");
    QTest::newRow("mixed with ASCII") << QStringLiteral("A空调1号") << QStringLiteral("Akt1h");
    QTest::newRow("blank vanishes") << QStringLiteral("客户 资料") << QStringLiteral("khzl");
    QTest::newRow("ASCII punctuation vanishes") << QStringLiteral("a_b c,d") << QStringLiteral("abcd");
    QTest::newRow("circled one") << QStringLiteral("①号") << QStringLiteral("1h");
    QTest::newRow("small Roman ten") << QStringLiteral("ⅹ") << QStringLiteral("1");
    QTest::newRow("full-width forms") << QStringLiteral("（Ａ）") << QStringLiteral("(A)");
    QTest::newRow("Greek") << QStringLiteral("Ωα") << QStringLiteral("oa");
    QTest::newRow("kept ASCII")
        << QStringLiteral("!\"#$%&()*+-.0123456789:<>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[]^abcdefghijklmnopqrstuvwxyz")
        << QStringLiteral("!\"#$%&()*+-.0123456789:<>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[]^abcdefghijklmnopqrstuvwxyz");
    QTest::newRow("dropped ASCII") << QStringLiteral(" ',/;=\\_`{|}~\t\r\n") << QString();
    QTest::newRow("dropped full-width punctuation") << QStringLiteral("，。！～＿") << QString();
    QTest::newRow("euro is a single byte without reading") << QStringLiteral("空€调") << QStringLiteral("kt");
    // Unencodable characters must not turn into the kept '?'.
    QTest::newRow("emoji") << QStringLiteral("空😀调") << QStringLiteral("kt");
    QTest::newRow("hangul") << QStringLiteral("a한b") << QStringLiteral("ab");
    QTest::newRow("lone high surrogate inside") << Units(u"a\xD800" "b") << QStringLiteral("ab");
    QTest::newRow("lone high surrogate at end") << Units(u"a\xD800") << QStringLiteral("a");
    QTest::newRow("lone low surrogate") << Units(u"a\xDC00" "b") << QStringLiteral("ab");
    QTest::newRow("private use character") << Units(u"a\xE000" "b") << QStringLiteral("ab");
    QTest::newRow("pinyin letter with tone") << QStringLiteral("é") << QString();
    // Long text is encoded piecewise; a surrogate pair must not be split.
    QTest::newRow("surrogate pair across pieces")
        << QString(QStringLiteral("x").repeated(127) + QStringLiteral("😀调"))
        << QString(QStringLiteral("x").repeated(127) + QStringLiteral("t"));
    QTest::newRow("long text")
        << QStringLiteral("售后服务 ").repeated(100) << QStringLiteral("shfw").repeated(100);
}

void TestHzSpell::text()
{
    QFETCH(QString, text);
    QFETCH(QString, initials);
    const QString before = text;
    QCOMPARE(THzSpell::PinyinInitials(text), initials);
    QCOMPARE(text, before);
}

void TestHzSpell::gbkBytes_data()
{
    QTest::addColumn<QByteArray>("gbk");
    QTest::addColumn<QString>("initials");

    QTest::newRow("empty") << QByteArray() << QString();
    QTest::newRow("trailing lone lead byte") << QByteArray("a\xB0") << QStringLiteral("a");
    QTest::newRow("lone lead byte after hanzi") << QByteArray("\xBF\xD5\xB5") << QStringLiteral("k");
    QTest::newRow("trail below 0x40 swallows a digit") << QByteArray("\x81" "0a") << QStringLiteral("a");
    QTest::newRow("trail 0xFF") << QByteArray("\xB0\xFF" "a") << QStringLiteral("a");
    QTest::newRow("lead 0xFF") << QByteArray("\xFF\xA1" "a") << QStringLiteral("a");
    QTest::newRow("byte 0x80 alone") << QByteArray("\x80" "a") << QStringLiteral("a");
    QTest::newRow("symbol row") << QByteArray("\xA1\xA1\xA8\xA6") << QString();
    QTest::newRow("user-defined area") << QByteArray("\xAA\xA1\xF8\xA1\xA1\x40") << QString();

    // Numerals of row 0xA2: each run counts from one; the initial is the first digit.
    QTest::newRow("A2A0 below the numerals") << QByteArray("\xA2\xA0") << QString();
    QTest::newRow("small Roman one") << QByteArray("\xA2\xA1") << QStringLiteral("1");
    QTest::newRow("small Roman nine") << QByteArray("\xA2\xA9") << QStringLiteral("9");
    QTest::newRow("after small Roman") << QByteArray("\xA2\xAB\xA2\xB0") << QString();
    QTest::newRow("number with full stop 1") << QByteArray("\xA2\xB1") << QStringLiteral("1");
    QTest::newRow("number with full stop 9") << QByteArray("\xA2\xB9") << QStringLiteral("9");
    QTest::newRow("number with full stop 20") << QByteArray("\xA2\xC4") << QStringLiteral("2");
    QTest::newRow("parenthesised 1") << QByteArray("\xA2\xC5") << QStringLiteral("1");
    QTest::newRow("parenthesised 3") << QByteArray("\xA2\xC7") << QStringLiteral("3");
    QTest::newRow("parenthesised 20") << QByteArray("\xA2\xD8") << QStringLiteral("2");
    QTest::newRow("circled 1") << QByteArray("\xA2\xD9") << QStringLiteral("1");
    QTest::newRow("circled 5") << QByteArray("\xA2\xDD") << QStringLiteral("5");
    QTest::newRow("circled 10") << QByteArray("\xA2\xE2") << QStringLiteral("1");
    QTest::newRow("between circled and ideographic") << QByteArray("\xA2\xE3\xA2\xE4") << QString();
    QTest::newRow("parenthesised ideographic 1") << QByteArray("\xA2\xE5") << QStringLiteral("1");
    QTest::newRow("parenthesised ideographic 7") << QByteArray("\xA2\xEB") << QStringLiteral("7");
    QTest::newRow("parenthesised ideographic 10") << QByteArray("\xA2\xEE") << QStringLiteral("1");
    QTest::newRow("between ideographic and Roman") << QByteArray("\xA2\xEF\xA2\xF0") << QString();
    QTest::newRow("Roman 1") << QByteArray("\xA2\xF1") << QStringLiteral("1");
    QTest::newRow("Roman 8") << QByteArray("\xA2\xF8") << QStringLiteral("8");
    QTest::newRow("Roman 12") << QByteArray("\xA2\xFC") << QStringLiteral("1");
    QTest::newRow("after Roman") << QByteArray("\xA2\xFD\xA2\xFE") << QString();

    // Full-width forms of row 0xA3.
    QTest::newRow("full-width kept") << QByteArray("\xA3\xA8\xA3\xA9\xA3\xB0\xA3\xB9\xA3\xC1\xA3\xDA\xA3\xDB\xA3\xDD\xA3\xE1\xA3\xFA")
                                     << QStringLiteral("()09AZ[]az");
    QTest::newRow("full-width dropped") << QByteArray("\xA3\xA1\xA3\xA3\xA3\xAC\xA3\xBF\xA3\xC0\xA3\xDE\xA3\xDF\xA3\xFE\xA3\x40")
                                        << QString();

    // Greek letters of row 0xA6.
    QTest::newRow("Greek capitals") << QByteArray("\xA6\xA1\xA6\xA3\xA6\xA8\xA6\xB4\xA6\xB5\xA6\xB6\xA6\xB7\xA6\xB8")
                                    << QStringLiteral("agtupkpo");
    QTest::newRow("Greek small") << QByteArray("\xA6\xC1\xA6\xC7\xA6\xCE\xA6\xD8") << QStringLiteral("aexo");
    QTest::newRow("Greek row gaps") << QByteArray("\xA6\xA0\xA6\xB9\xA6\xC0\xA6\xD9\xA6\xF5") << QString();
}

void TestHzSpell::gbkBytes()
{
    QFETCH(QByteArray, gbk);
    QFETCH(QString, initials);
    QCOMPARE(THzSpell::PinyinInitialsOfGbk(gbk), initials);
}

void TestHzSpell::level1Exceptions_data()
{
    QTest::addColumn<QByteArray>("gbk");
    QTest::addColumn<QString>("character");
    QTest::addColumn<QString>("initial");

    for (const Level1Exception &e : Level1Exceptions) {
        QTest::addRow("%s %s", qPrintable(CodeName(e.code)), e.reading)
            << Code(e.code) << QString::fromUtf8(e.character) << QString(QLatin1Char(e.reading[0]));
    }
}

void TestHzSpell::level1Exceptions()
{
    QFETCH(QByteArray, gbk);
    QFETCH(QString, character);
    QFETCH(QString, initial);
    QCOMPARE(DecodeGbk(gbk), character);
    QCOMPARE(THzSpell::PinyinInitials(character), initial);
    QCOMPARE(THzSpell::PinyinInitialsOfGbk(gbk), initial);
}

void TestHzSpell::level1RangeBoundaries_data()
{
    QTest::addColumn<QByteArray>("gbk");
    QTest::addColumn<QString>("initial");

    for (const Level1Range &range : Level1Ranges) {
        for (quint16 code : {range.first, range.last}) {
            QString initial(QLatin1Char(range.letter));
            for (const Level1Exception &e : Level1Exceptions) {
                if (e.code == code)
                    initial = QLatin1Char(e.reading[0]);
            }
            QTest::addRow("%c %s", range.letter, qPrintable(CodeName(code))) << Code(code) << initial;
        }
    }
}

void TestHzSpell::level1RangeBoundaries()
{
    QFETCH(QByteArray, gbk);
    QFETCH(QString, initial);
    QCOMPARE(THzSpell::PinyinInitials(DecodeGbk(gbk)), initial);
}

void TestHzSpell::readingListSamples_data()
{
    QTest::addColumn<QByteArray>("gbk");
    QTest::addColumn<QString>("character");
    QTest::addColumn<QString>("initial");

    // Readings as listed, where the customary reading agrees.
    QTest::newRow("level 2 D8A1 chu") << Code(0xD8A1) << QStringLiteral("亍") << QStringLiteral("c");
    QTest::newRow("level 2 D9E7 kui") << Code(0xD9E7) << QStringLiteral("夔") << QStringLiteral("k");
    QTest::newRow("level 2 DBFE nian") << Code(0xDBFE) << QStringLiteral("埝") << QStringLiteral("n");
    QTest::newRow("level 2 E4AC tao") << Code(0xE4AC) << QStringLiteral("洮") << QStringLiteral("t");
    QTest::newRow("level 2 E5D0 xiao") << Code(0xE5D0) << QStringLiteral("逍") << QStringLiteral("x");
    QTest::newRow("level 2 EBA4 mu") << Code(0xEBA4) << QStringLiteral("毪") << QStringLiteral("m");
    QTest::newRow("level 2 F7FE zha") << Code(0xF7FE) << QStringLiteral("齄") << QStringLiteral("z");
    QTest::newRow("GBK/3 8140 kao") << Code(0x8140) << QStringLiteral("丂") << QStringLiteral("k");
    QTest::newRow("GBK/3 8A5A duo") << Code(0x8A5A) << QStringLiteral("奪") << QStringLiteral("d");
    QTest::newRow("GBK/3 8F70 er") << Code(0x8F70) << QStringLiteral("弍") << QStringLiteral("e");
    QTest::newRow("GBK/3 9B5C nv") << Code(0x9B5C) << QStringLiteral("沑") << QStringLiteral("n");
    QTest::newRow("GBK/3 A0FE bo") << Code(0xA0FE) << QStringLiteral("狛") << QStringLiteral("b");
    QTest::newRow("GBK/3 83BE not listed") << Code(0x83BE) << QStringLiteral("兙") << QString();
    QTest::newRow("GBK/4 AA40 ku") << Code(0xAA40) << QStringLiteral("狜") << QStringLiteral("k");
    QTest::newRow("GBK/4 C27D sheng") << Code(0xC27D) << QStringLiteral("聖") << QStringLiteral("s");
    QTest::newRow("GBK/4 FD9B yu") << Code(0xFD9B) << QStringLiteral("龥") << QStringLiteral("y");
    // The customary reading comes before the rest of the list (徵 zhi, 伽 jia, 黾 mian).
    QTest::newRow("level 2 E1E7 customary zhi") << Code(0xE1E7) << QStringLiteral("徵") << QStringLiteral("z");
    QTest::newRow("level 2 D9A4 customary jia") << Code(0xD9A4) << QStringLiteral("伽") << QStringLiteral("j");
    // Names and words are typed as they are read there: 晟 sheng, 覃 qin, 阚 kan,
    // 隗 wei, 蹒跚 pan, 彷徨 pang.
    QTest::newRow("level 2 EAC9 name sheng") << Code(0xEAC9) << QStringLiteral("晟") << QStringLiteral("s");
    QTest::newRow("level 2 F1FB name qin") << Code(0xF1FB) << QStringLiteral("覃") << QStringLiteral("q");
    QTest::newRow("level 2 E3DB name kan") << Code(0xE3DB) << QStringLiteral("阚") << QStringLiteral("k");
    QTest::newRow("level 2 DAF3 name wei") << Code(0xDAF3) << QStringLiteral("隗") << QStringLiteral("w");
    QTest::newRow("level 2 F5E7 word pan") << Code(0xF5E7) << QStringLiteral("蹒") << QStringLiteral("p");
    QTest::newRow("level 2 E1DD word pang") << Code(0xE1DD) << QStringLiteral("彷") << QStringLiteral("p");
    // A compatibility ideograph reads as the character it stands for (郎 lang).
    QTest::newRow("GBK/4 FD9C compatibility") << Code(0xFD9C) << QString(QChar(0xF92C)) << QStringLiteral("l");
    QTest::newRow("GBK/4 FE4A not listed") << Code(0xFE4A) << QString(QChar(0xFA21)) << QString();
}

void TestHzSpell::readingListSamples()
{
    QFETCH(QByteArray, gbk);
    QFETCH(QString, character);
    QFETCH(QString, initial);
    QCOMPARE(DecodeGbk(gbk), character);
    QCOMPARE(THzSpell::PinyinInitials(character), initial);
}

void TestHzSpell::everyTwoByteCode()
{
    QMap<QString, int> counts;
    for (const auto &area : GeneratedCounts.keys())
        counts[area] = 0;

    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail == 0x7F)
                continue;
            const quint16 code = quint16(lead << 8 | trail);
            const QString text = DecodeGbk(Code(code));
            const QList<uint> ucs4 = text.toUcs4();
            const QString initials = THzSpell::PinyinInitials(text);
            const QString area = AreaOf(uchar(lead), uchar(trail));

            if (ucs4.size() != 1 || !IsIdeograph(ucs4.first())) {
                // Only the numeral, full-width and Greek rows read other characters.
                if (lead != 0xA2 && lead != 0xA3 && lead != 0xA6)
                    QVERIFY2(initials.isEmpty(), qPrintable(CodeName(code) + " " + initials));
                continue;
            }
            if (!initials.isEmpty())
                ++counts[area];

            if (area.startsWith(QLatin1String("GB2312"))) {
                QVERIFY2(initials.size() == 1 && initials.at(0) >= QLatin1Char('a')
                             && initials.at(0) <= QLatin1Char('z'),
                         qPrintable(CodeName(code) + " " + text + " gives '" + initials + "'"));
            }
            if (area == QLatin1String("GB2312 level 1")) {
                char expected = 0;
                for (const Level1Range &range : Level1Ranges) {
                    if (code >= range.first && code <= range.last)
                        expected = range.letter;
                }
                for (const Level1Exception &e : Level1Exceptions) {
                    if (e.code == code)
                        expected = e.reading[0];
                }
                QVERIFY2(initials == QString(QLatin1Char(expected)),
                         qPrintable(CodeName(code) + " " + text + " gives '" + initials + "'"));
            }
        }
    }

    for (auto it = GeneratedCounts.cbegin(); it != GeneratedCounts.cend(); ++it)
        QCOMPARE(counts.value(it.key()), it.value());
}

QTEST_APPLESS_MAIN(TestHzSpell)
#include "TestHzSpell.moc"
