#include "SheetWriter.h"

#include "BiffStream.h"
#include "SheetText.h"

#include <QFile>
#include <xlsxwriter.h>

namespace {

// The .xls cell-record stream.
class XlsStreamWriter : public SheetWriter
{
public:
    XlsStreamWriter() : m_stream(&m_file) {}

    bool begin(const QString &path, const QVector<int> &) override
    {
        m_file.setFileName(path);
        if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return fail(m_file.errorString());
        m_stream.begin();
        return checked();
    }

    bool writeTitles(const QStringList &titles) override
    {
        for (int column = 0; column < titles.size(); ++column)
            m_stream.text(m_row, column, titles[column]);
        ++m_row;
        return checked();
    }

    bool writeRow(const QVector<ExportCell> &cells) override
    {
        for (int column = 0; column < cells.size(); ++column) {
            const ExportCell &cell = cells[column];
            switch (cell.kind) {
            case ExportCell::Kind::Blank: m_stream.blank(m_row, column); break;
            case ExportCell::Kind::Integer: m_stream.integer(m_row, column, cell.integer); break;
            case ExportCell::Kind::Number: m_stream.number(m_row, column, cell.number); break;
            case ExportCell::Kind::Text:
            case ExportCell::Kind::DateTime: m_stream.text(m_row, column, cell.text); break;
            }
        }
        ++m_row;
        return checked();
    }

    bool finish() override
    {
        m_stream.end();
        if (!checked() || !m_file.flush())
            return fail(m_file.errorString());
        m_file.close();
        return true;
    }

private:
    bool checked() { return m_stream.ok() || fail(m_file.errorString()); }

    QFile m_file;
    BiffStreamWriter m_stream;
    int m_row = 0;
};

// An Office Open XML workbook through libxlsxwriter, row by row in constant memory.
class XlsxWriter : public SheetWriter
{
public:
    ~XlsxWriter() override
    {
        // A workbook abandoned half-way is still closed; its file is thrown away.
        if (m_workbook)
            workbook_close(m_workbook);
    }

    bool begin(const QString &path, const QVector<int> &columnWidths) override
    {
        m_path = QFile::encodeName(path);
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;
        options.use_zip64 = LXW_TRUE;
        m_workbook = workbook_new_opt(m_path.constData(), &options);
        if (!m_workbook)
            return fail(QStringLiteral("不能建立工作簿"));
        m_sheet = workbook_add_worksheet(m_workbook, nullptr);
        m_bold = workbook_add_format(m_workbook);
        format_set_bold(m_bold);
        m_date = workbook_add_format(m_workbook);
        format_set_num_format(m_date, "yyyy-mm-dd");
        m_dateTime = workbook_add_format(m_workbook);
        format_set_num_format(m_dateTime, "yyyy-mm-dd hh:mm:ss");
        for (int column = 0; column < columnWidths.size(); ++column) {
            // Pixels to the width of characters of the default font.
            const double width = columnWidths[column] > 0 ? columnWidths[column] / 7.0 : 10;
            worksheet_set_column(m_sheet, lxw_col_t(column), lxw_col_t(column), width, nullptr);
        }
        return true;
    }

    bool writeTitles(const QStringList &titles) override
    {
        for (int column = 0; column < titles.size(); ++column) {
            if (!checked(worksheet_write_string(m_sheet, m_row, lxw_col_t(column), utf8(titles[column]).constData(), m_bold)))
                return false;
        }
        ++m_row;
        return true;
    }

    bool writeRow(const QVector<ExportCell> &cells) override
    {
        for (int column = 0; column < cells.size(); ++column) {
            const ExportCell &cell = cells[column];
            const auto c = lxw_col_t(column);
            lxw_error result = LXW_NO_ERROR;
            switch (cell.kind) {
            case ExportCell::Kind::Blank:
                break;
            case ExportCell::Kind::Integer:
            case ExportCell::Kind::Number:
                result = worksheet_write_number(m_sheet, m_row, c, cell.number, nullptr);
                break;
            case ExportCell::Kind::DateTime: {
                const QDate d = cell.dateTime.date();
                const QTime t = cell.dateTime.time();
                lxw_datetime moment{d.year(), d.month(), d.day(), t.hour(), t.minute(), double(t.second())};
                result = worksheet_write_datetime(m_sheet, m_row, c, &moment, t == QTime(0, 0) ? m_date : m_dateTime);
                break;
            }
            case ExportCell::Kind::Text:
                if (!cell.text.isEmpty())
                    result = worksheet_write_string(m_sheet, m_row, c, utf8(cell.text).constData(), nullptr);
                break;
            }
            if (!checked(result))
                return false;
        }
        ++m_row;
        return true;
    }

    bool finish() override
    {
        const lxw_error result = workbook_close(m_workbook);
        m_workbook = nullptr;
        return checked(result);
    }

private:
    // A cell holds at most 32,767 characters.
    static QByteArray utf8(const QString &text)
    {
        constexpr int MaxCharacters = 32767;
        return (text.size() > MaxCharacters ? text.left(MaxCharacters) : text).toUtf8();
    }

    bool checked(lxw_error result)
    {
        return result == LXW_NO_ERROR || fail(QString::fromUtf8(lxw_strerror(result)));
    }

    QByteArray m_path;
    lxw_workbook *m_workbook = nullptr;
    lxw_worksheet *m_sheet = nullptr;
    lxw_format *m_bold = nullptr;
    lxw_format *m_date = nullptr;
    lxw_format *m_dateTime = nullptr;
    lxw_row_t m_row = 0;
};

// Comma-separated text in UTF-8 with a byte-order mark, so that spreadsheets read Chinese.
class CsvWriter : public SheetWriter
{
public:
    bool begin(const QString &path, const QVector<int> &) override
    {
        m_file.setFileName(path);
        if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return fail(m_file.errorString());
        return write("\xEF\xBB\xBF");
    }

    bool writeTitles(const QStringList &titles) override
    {
        QVector<ExportCell> cells;
        for (const QString &title : titles)
            cells << ExportCell::ofText(title);
        return writeRow(cells);
    }

    bool writeRow(const QVector<ExportCell> &cells) override
    {
        QByteArray line;
        for (int column = 0; column < cells.size(); ++column) {
            if (column > 0)
                line += ',';
            const ExportCell &cell = cells[column];
            switch (cell.kind) {
            case ExportCell::Kind::Blank: break;
            case ExportCell::Kind::Integer: line += QByteArray::number(cell.integer); break;
            case ExportCell::Kind::Number: line += SheetText::general(cell.number).toUtf8(); break;
            case ExportCell::Kind::Text:
            case ExportCell::Kind::DateTime: line += quoted(cell.text); break;
            }
        }
        line += "\r\n";
        return write(line);
    }

    bool finish() override
    {
        if (!m_file.flush())
            return fail(m_file.errorString());
        m_file.close();
        return true;
    }

    static QByteArray quoted(const QString &text)
    {
        QByteArray bytes = text.toUtf8();
        if (bytes.contains(',') || bytes.contains('"') || bytes.contains('\n') || bytes.contains('\r')
            || (!bytes.isEmpty() && (bytes.front() == ' ' || bytes.back() == ' '))) {
            bytes.replace("\"", "\"\"");
            bytes = '"' + bytes + '"';
        }
        return bytes;
    }

private:
    bool write(const QByteArray &bytes)
    {
        return m_file.write(bytes) == bytes.size() || fail(m_file.errorString());
    }

    QFile m_file;
};

} // namespace

std::unique_ptr<SheetWriter> SheetWriter::create(Format format)
{
    switch (format) {
    case Format::XlsStream: return std::make_unique<XlsStreamWriter>();
    case Format::Xlsx: return std::make_unique<XlsxWriter>();
    case Format::Csv: return std::make_unique<CsvWriter>();
    }
    return nullptr;
}

int SheetWriter::maxRows(Format format)
{
    switch (format) {
    case Format::XlsStream: return BiffStreamWriter::MaxRows;
    case Format::Xlsx: return 1048576;
    case Format::Csv: return std::numeric_limits<int>::max();
    }
    return 0;
}
