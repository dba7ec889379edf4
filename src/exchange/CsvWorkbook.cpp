#include "WorkbookFormats.h"

#include <orcus/csv_parser.hpp>

#include <QStringDecoder>

namespace {

class CsvCells
{
public:
    explicit CsvCells(SheetCells &cells) : m_cells(cells) {}

    void begin_parse() {}
    void end_parse() {}
    void begin_row() { m_column = 0; }
    void end_row() { ++m_row; }
    void cell(const char *p, size_t n, bool)
    {
        m_cells.setText(m_row, m_column++, QString::fromUtf8(p, qsizetype(n)));
    }

private:
    SheetCells &m_cells;
    int m_row = 0;
    int m_column = 0;
};

// UTF-8 when the bytes are valid UTF-8 (a BOM is dropped), otherwise the Chinese code page
// that older spreadsheets write.
QByteArray asUtf8(std::string_view bytes)
{
    QByteArrayView view(bytes.data(), qsizetype(bytes.size()));
    if (view.startsWith("\xEF\xBB\xBF"))
        return view.sliced(3).toByteArray();
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(view);
    if (!utf8.hasError())
        return view.toByteArray();
    QStringDecoder gbk("GBK");
    return QString(gbk.decode(view)).toUtf8();
}

} // namespace

namespace WorkbookFormats
{

bool readCsv(std::string_view bytes, SheetCells &cells, QString *error)
{
    if (std::string_view(bytes.data(), std::min<size_t>(bytes.size(), 4096)).find('\0') != std::string_view::npos) {
        if (error)
            *error = notAWorkbookText();
        return false;
    }
    // The parser ends lines at LF only.
    QByteArray text = asUtf8(bytes);
    text.replace("\r\n", "\n");
    orcus::csv::parser_config config;
    config.delimiters = ",";
    config.text_qualifier = '"';
    config.trim_cell_value = false;
    CsvCells handler(cells);
    try {
        orcus::csv_parser<CsvCells> parser(text.constData(), size_t(text.size()), handler, config);
        parser.parse();
    } catch (const std::exception &e) {
        if (error)
            *error = damagedText(QString::fromLocal8Bit(e.what()));
        return false;
    }
    cells.finish();
    return true;
}

} // namespace WorkbookFormats
