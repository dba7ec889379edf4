#include "BiffStream.h"

#include "SheetText.h"
#include "GbkText.h"
#include "SheetCells.h"
#include "WorkbookFormats.h"

#include <QIODevice>
#include <QStringDecoder>
#include <QtEndian>
#include <cstring>

namespace {

enum Record : quint16 {
    Bof = 0x0809,
    Label = 0x0204,
    Number = 0x0203,
    Rk = 0x027E,
    Blank = 0x0201,
    Eof = 0x000A,
};
// Cells are written with the default format; blanks with the one the export has used since
// the first version.
constexpr quint16 BlankFormat = 0x0017;

void putWord(QByteArray &data, quint16 word)
{
    char bytes[2];
    qToLittleEndian(word, bytes);
    data.append(bytes, 2);
}

QByteArray cellHeader(int row, int column, quint16 format = 0)
{
    QByteArray data;
    putWord(data, quint16(row));
    putWord(data, quint16(column));
    putWord(data, format);
    return data;
}

quint16 word(const char *p)
{
    return qFromLittleEndian<quint16>(p);
}

double rkValue(quint32 rk)
{
    double value;
    if (rk & 2) {
        value = double(qint32(rk) >> 2);
    } else {
        const quint64 bits = quint64(rk & 0xFFFFFFFCu) << 32;
        std::memcpy(&value, &bits, sizeof value);
    }
    return rk & 1 ? value / 100 : value;
}

} // namespace

void BiffStreamWriter::record(quint16 type, const QByteArray &data)
{
    QByteArray bytes;
    bytes.reserve(4 + data.size());
    putWord(bytes, type);
    putWord(bytes, quint16(data.size()));
    bytes.append(data);
    if (m_device->write(bytes) != bytes.size())
        m_ok = false;
}

void BiffStreamWriter::begin()
{
    QByteArray data;
    for (quint16 word : {quint16(0), quint16(0x0010), quint16(0), quint16(0)})
        putWord(data, word);
    record(Bof, data);
}

void BiffStreamWriter::text(int row, int column, const QString &text)
{
    // The record's length is a 16-bit word: a longer text is cut, never a character halved.
    constexpr int MaxBytes = 0xFFFF - 8;
    QByteArray gbk = GbkText::encode(text);
    if (gbk.size() > MaxBytes)
        gbk = GbkText::encode(GbkText::leftBytes(text, MaxBytes));
    QByteArray data = cellHeader(row, column);
    putWord(data, quint16(gbk.size()));
    data.append(gbk);
    record(Label, data);
}

void BiffStreamWriter::number(int row, int column, double value)
{
    QByteArray data = cellHeader(row, column);
    char bytes[8];
    qToLittleEndian(value, bytes);
    data.append(bytes, 8);
    record(Number, data);
}

void BiffStreamWriter::integer(int row, int column, qint64 value)
{
    if (value < MinRkInteger || value > MaxRkInteger) {
        number(row, column, double(value));
        return;
    }
    QByteArray data = cellHeader(row, column);
    char bytes[4];
    qToLittleEndian(quint32(qint32(value) * 4 + 2), bytes);
    data.append(bytes, 4);
    record(Rk, data);
}

void BiffStreamWriter::blank(int row, int column)
{
    record(Blank, cellHeader(row, column, BlankFormat));
}

void BiffStreamWriter::end()
{
    record(Eof, QByteArray());
}

bool BiffStreamReader::looksLikeStream(std::string_view bytes)
{
    if (bytes.size() < 4)
        return false;
    const quint16 type = word(bytes.data());
    // Beginning-of-file records of BIFF2 to BIFF8 (0x0009, 0x0209, 0x0409, 0x0809).
    return (type & 0x00FF) == 0x09 && (type >> 8) <= 0x08 && ((type >> 8) % 2 == 0) && word(bytes.data() + 2) <= 16;
}

bool BiffStreamReader::read(std::string_view bytes, SheetCells &cells, QString *error)
{
    QStringDecoder gbk("GBK");
    size_t position = 0;
    bool ended = false;
    while (position + 4 <= bytes.size()) {
        const char *p = bytes.data() + position;
        const quint16 type = word(p);
        const quint16 length = word(p + 2);
        if (position + 4 + length > bytes.size())
            break;
        const char *data = p + 4;
        position += 4 + length;
        if (type == Eof) {
            ended = true;
            break;
        }
        if (length < 6 || (type != Label && type != Number && type != Rk))
            continue;
        const int row = word(data);
        const int column = word(data + 2);
        if (type == Label && length >= 8) {
            const quint16 size = std::min<quint16>(word(data + 6), quint16(length - 8));
            cells.setText(row, column, QString(gbk.decode(QByteArrayView(data + 8, size))));
        } else if (type == Number && length >= 14) {
            cells.setText(row, column, SheetText::general(qFromLittleEndian<double>(data + 6)));
        } else if (type == Rk && length >= 10) {
            cells.setText(row, column, SheetText::general(rkValue(qFromLittleEndian<quint32>(data + 6))));
        }
    }
    if (!ended) {
        if (error)
            *error = WorkbookFormats::damagedText(QStringLiteral("文件不完整"));
        return false;
    }
    cells.finish();
    return true;
}
