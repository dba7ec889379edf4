#pragma once

#include <QByteArray>
#include <QString>
#include <string_view>

class QIODevice;
class SheetCells;

// The bare worksheet stream of BIFF cell records (no compound-document container) that the
// export writes as .xls: BOF, then LABEL (text in GBK), NUMBER, RK integer and BLANK cells
// in row order, then EOF. All words are little-endian; rows and columns are 16-bit.
class BiffStreamWriter
{
public:
    static constexpr int MaxRows = 65536;
    // RK keeps a 30-bit integer; larger ones are written as NUMBER.
    static constexpr qint64 MaxRkInteger = (1 << 29) - 1;
    static constexpr qint64 MinRkInteger = -(1 << 29);

    explicit BiffStreamWriter(QIODevice *device) : m_device(device) {}

    void begin();
    void text(int row, int column, const QString &text);
    void number(int row, int column, double value);
    void integer(int row, int column, qint64 value);
    void blank(int row, int column);
    void end();
    bool ok() const { return m_ok; }

private:
    void record(quint16 type, const QByteArray &data);

    QIODevice *m_device;
    bool m_ok = true;
};

// Reads such a stream: a file our own export wrote imports again.
class BiffStreamReader
{
public:
    // Whether the bytes start with a BIFF beginning-of-file record.
    static bool looksLikeStream(std::string_view bytes);
    static bool read(std::string_view bytes, SheetCells &cells, QString *error);
};
