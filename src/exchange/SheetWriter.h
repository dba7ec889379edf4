#pragma once

#include <QDateTime>
#include <QString>
#include <QVector>
#include <memory>

// One cell of an exported row. text is what the grid displays; the number kinds also carry
// their value, a date its moment.
struct ExportCell
{
    enum class Kind { Blank, Text, Integer, Number, DateTime };
    Kind kind = Kind::Blank;
    QString text;
    double number = 0;
    qint64 integer = 0;
    QDateTime dateTime;

    static ExportCell blank() { return {}; }
    static ExportCell ofText(const QString &text) { return {Kind::Text, text}; }
    static ExportCell ofNumber(double value) { return {Kind::Number, QString(), value}; }
    static ExportCell ofInteger(qint64 value) { return {Kind::Integer, QString(), double(value), value}; }
};

// Writes the rows of one worksheet, in order, into a file. A writer that failed says why.
class SheetWriter
{
public:
    enum class Format { XlsStream, Xlsx, Csv };

    virtual ~SheetWriter() = default;

    static std::unique_ptr<SheetWriter> create(Format format);
    // Rows a file of the format can hold, the title row included.
    static int maxRows(Format format);

    // columnWidths: the grid's widths in pixels, a hint for formats that keep them.
    virtual bool begin(const QString &path, const QVector<int> &columnWidths) = 0;
    // The title row: bold where the format has fonts.
    virtual bool writeTitles(const QStringList &titles) = 0;
    virtual bool writeRow(const QVector<ExportCell> &cells) = 0;
    virtual bool finish() = 0;
    QString errorString() const { return m_error; }

protected:
    bool fail(const QString &error)
    {
        if (m_error.isEmpty())
            m_error = error;
        return false;
    }

private:
    QString m_error;
};
