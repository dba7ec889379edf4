#include "SheetText.h"
#include "OpcPackage.h"
#include "WorkbookFormats.h"

#include <orcus/format_detection.hpp>
#include <orcus/config.hpp>
#include <orcus/orcus_ods.hpp>
#include <orcus/orcus_xlsx.hpp>
#include <orcus/spreadsheet/import_interface.hpp>
#include <orcus/spreadsheet/import_interface_view.hpp>

#include <QHash>
#include <memory>
#include <vector>

namespace ss = orcus::spreadsheet;

namespace {

// Shared strings kept in one buffer; rich-text segments are joined.
class SharedStrings : public ss::iface::import_shared_strings
{
public:
    size_t append(std::string_view s) override
    {
        m_starts.push_back(m_buffer.size());
        m_buffer.append(s);
        m_ends.push_back(m_buffer.size());
        return m_starts.size() - 1;
    }
    size_t add(std::string_view s) override { return append(s); }
    void set_segment_font(size_t) override {}
    void set_segment_bold(bool) override {}
    void set_segment_italic(bool) override {}
    void set_segment_font_name(std::string_view) override {}
    void set_segment_font_size(double) override {}
    void set_segment_font_color(ss::color_elem_t, ss::color_elem_t, ss::color_elem_t, ss::color_elem_t) override {}
    void append_segment(std::string_view s) override { m_segments.append(s); }
    size_t commit_segments() override
    {
        const size_t index = append(m_segments);
        m_segments.clear();
        return index;
    }

    QString text(size_t index) const
    {
        if (index >= m_starts.size())
            return QString();
        return QString::fromUtf8(m_buffer.data() + m_starts[index], qsizetype(m_ends[index] - m_starts[index]));
    }

private:
    std::string m_buffer;
    std::vector<size_t> m_starts;
    std::vector<size_t> m_ends;
    std::string m_segments;
};

// Of the styles only what the texts need: the number format of each cell format.
class NumberFormats : public ss::iface::import_styles
{
public:
    void set_font_count(size_t) override {}
    void set_font_bold(bool) override {}
    void set_font_italic(bool) override {}
    void set_font_name(std::string_view) override {}
    void set_font_size(double) override {}
    void set_font_underline(ss::underline_t) override {}
    void set_font_underline_width(ss::underline_width_t) override {}
    void set_font_underline_mode(ss::underline_mode_t) override {}
    void set_font_underline_type(ss::underline_type_t) override {}
    void set_font_underline_color(ss::color_elem_t, ss::color_elem_t, ss::color_elem_t, ss::color_elem_t) override {}
    void set_font_color(ss::color_elem_t, ss::color_elem_t, ss::color_elem_t, ss::color_elem_t) override {}
    void set_strikethrough_style(ss::strikethrough_style_t) override {}
    void set_strikethrough_type(ss::strikethrough_type_t) override {}
    void set_strikethrough_width(ss::strikethrough_width_t) override {}
    void set_strikethrough_text(ss::strikethrough_text_t) override {}
    size_t commit_font() override { return m_fonts++; }
    void set_fill_count(size_t) override {}
    void set_fill_pattern_type(ss::fill_pattern_t) override {}
    void set_fill_fg_color(ss::color_elem_t, ss::color_elem_t, ss::color_elem_t, ss::color_elem_t) override {}
    void set_fill_bg_color(ss::color_elem_t, ss::color_elem_t, ss::color_elem_t, ss::color_elem_t) override {}
    size_t commit_fill() override { return m_fills++; }
    void set_border_count(size_t) override {}
    void set_border_style(ss::border_direction_t, ss::border_style_t) override {}
    void set_border_color(ss::border_direction_t, ss::color_elem_t, ss::color_elem_t, ss::color_elem_t, ss::color_elem_t) override {}
    void set_border_width(ss::border_direction_t, double, orcus::length_unit_t) override {}
    size_t commit_border() override { return m_borders++; }
    void set_cell_hidden(bool) override {}
    void set_cell_locked(bool) override {}
    void set_cell_print_content(bool) override {}
    void set_cell_formula_hidden(bool) override {}
    size_t commit_cell_protection() override { return m_protections++; }

    void set_number_format_count(size_t) override {}
    void set_number_format_identifier(size_t id) override
    {
        m_pendingId = id;
        m_identifiersGiven = true;
    }
    void set_number_format_code(std::string_view s) override { m_pendingCode = QString::fromUtf8(s.data(), qsizetype(s.size())); }
    size_t commit_number_format() override
    {
        if (m_pendingId != NoId)
            m_codeById.insert(m_pendingId, m_pendingCode);
        m_codeByIndex.push_back(m_pendingCode);
        m_pendingId = NoId;
        m_pendingCode.clear();
        return m_codeByIndex.size() - 1;
    }

    void set_cell_xf_count(size_t) override {}
    void set_cell_style_xf_count(size_t) override {}
    void set_dxf_count(size_t) override {}
    void set_xf_font(size_t) override {}
    void set_xf_fill(size_t) override {}
    void set_xf_border(size_t) override {}
    void set_xf_protection(size_t) override {}
    void set_xf_number_format(size_t index) override { m_pendingXfFormat = index; }
    void set_xf_style_xf(size_t) override {}
    void set_xf_apply_alignment(bool) override {}
    void set_xf_horizontal_alignment(ss::hor_alignment_t) override {}
    void set_xf_vertical_alignment(ss::ver_alignment_t) override {}
    size_t commit_cell_xf() override
    {
        m_cellXfFormats.push_back(m_pendingXfFormat);
        m_pendingXfFormat = 0;
        return m_cellXfFormats.size() - 1;
    }
    size_t commit_cell_style_xf() override
    {
        m_pendingXfFormat = 0;
        return m_styleXfs++;
    }
    size_t commit_dxf() override
    {
        m_pendingXfFormat = 0;
        return m_dxfs++;
    }
    void set_cell_style_count(size_t) override {}
    void set_cell_style_name(std::string_view) override {}
    void set_cell_style_xf(size_t) override {}
    void set_cell_style_builtin(size_t) override {}
    void set_cell_style_parent_name(std::string_view) override {}
    size_t commit_cell_style() override { return m_cellStyles++; }

    // The format of a cell format (xf) index, parsed once.
    SheetText::NumberFormat format(size_t xf)
    {
        if (auto it = m_parsed.constFind(xf); it != m_parsed.cend())
            return *it;
        QString code;
        if (xf < m_cellXfFormats.size()) {
            const size_t number = m_cellXfFormats[xf];
            // .xlsx names formats by identifier (built-in ones have none of their own code);
            // other formats by the order in which they were committed.
            if (m_identifiersGiven)
                code = m_codeById.contains(number) ? m_codeById.value(number) : SheetText::builtInFormatCode(int(number));
            else if (number < m_codeByIndex.size())
                code = m_codeByIndex[number];
        }
        const SheetText::NumberFormat format = SheetText::parseFormatCode(code);
        m_parsed.insert(xf, format);
        return format;
    }

private:
    static constexpr size_t NoId = size_t(-1);
    size_t m_fonts = 0, m_fills = 0, m_borders = 0, m_protections = 0, m_styleXfs = 0, m_dxfs = 0, m_cellStyles = 0;
    size_t m_pendingId = NoId;
    QString m_pendingCode;
    bool m_identifiersGiven = false;
    QHash<size_t, QString> m_codeById;
    std::vector<QString> m_codeByIndex;
    size_t m_pendingXfFormat = 0;
    std::vector<size_t> m_cellXfFormats;
    QHash<size_t, SheetText::NumberFormat> m_parsed;
};

// One cell as the file gives it; turned into text once the styles are known.
struct RawCell
{
    enum Kind : quint8 { Number, String, Text, Bool };
    ss::row_t row;
    ss::col_t column;
    Kind kind;
    size_t xf = 0;
    double number = 0;   // Number, Bool; the string index for String; the text index for Text
};

class Sheet;

class SheetView : public ss::iface::import_sheet_view
{
public:
    explicit SheetView(bool &active) : m_active(active) {}
    void set_sheet_active() override { m_active = true; }
    void set_split_pane(double, double, const ss::address_t &, ss::sheet_pane_t) override {}
    void set_frozen_pane(ss::col_t, ss::row_t, const ss::address_t &, ss::sheet_pane_t) override {}
    void set_selected_range(ss::sheet_pane_t, ss::range_t) override {}

private:
    bool &m_active;
};

// The cached result of a formula stands for the cell.
class FormulaResult : public ss::iface::import_formula
{
public:
    explicit FormulaResult(Sheet &sheet) : m_sheet(sheet) {}
    void set_position(ss::row_t row, ss::col_t column) override
    {
        m_row = row;
        m_column = column;
    }
    void set_formula(ss::formula_grammar_t, std::string_view) override {}
    void set_shared_formula_index(size_t) override {}
    void set_result_string(std::string_view value) override;
    void set_result_value(double value) override;
    void set_result_bool(bool value) override;
    void set_result_empty() override {}
    void commit() override {}

private:
    Sheet &m_sheet;
    ss::row_t m_row = 0;
    ss::col_t m_column = 0;
};

class ArrayFormulaResult : public ss::iface::import_array_formula
{
public:
    explicit ArrayFormulaResult(Sheet &sheet) : m_sheet(sheet) {}
    void set_range(const ss::range_t &) override {}
    void set_formula(ss::formula_grammar_t, std::string_view) override {}
    void set_result_string(ss::row_t row, ss::col_t column, std::string_view value) override;
    void set_result_value(ss::row_t row, ss::col_t column, double value) override;
    void set_result_bool(ss::row_t row, ss::col_t column, bool value) override;
    void set_result_empty(ss::row_t, ss::col_t) override {}
    void commit() override {}

private:
    Sheet &m_sheet;
};

class Sheet : public ss::iface::import_sheet
{
public:
    Sheet() : m_view(m_active), m_formula(*this), m_arrayFormula(*this) {}

    ss::iface::import_sheet_view *get_sheet_view() override { return &m_view; }
    ss::iface::import_formula *get_formula() override { return &m_formula; }
    ss::iface::import_array_formula *get_array_formula() override { return &m_arrayFormula; }

    void set_auto(ss::row_t row, ss::col_t column, std::string_view s) override { addText(row, column, s); }
    void set_string(ss::row_t row, ss::col_t column, ss::string_id_t index) override
    {
        m_cells.push_back({row, column, RawCell::String, formatAt(row, column), double(index)});
    }
    void set_value(ss::row_t row, ss::col_t column, double value) override
    {
        m_cells.push_back({row, column, RawCell::Number, formatAt(row, column), value});
    }
    void set_bool(ss::row_t row, ss::col_t column, bool value) override
    {
        m_cells.push_back({row, column, RawCell::Bool, 0, value ? 1.0 : 0.0});
    }
    void set_date_time(ss::row_t row, ss::col_t column, int year, int month, int day, int hour, int minute,
                       double second) override
    {
        addText(row, column, SheetText::dateTime(year, month, day, hour, minute, second).toStdString());
    }
    // Formats may come before or after the value of their cell.
    void set_format(ss::row_t row, ss::col_t column, size_t xf) override
    {
        if (!m_cells.empty() && m_cells.back().row == row && m_cells.back().column == column)
            m_cells.back().xf = xf;
        else
            m_pendingFormat = {row, column, xf};
    }
    void set_format(ss::row_t rowStart, ss::col_t columnStart, ss::row_t rowEnd, ss::col_t columnEnd, size_t xf) override
    {
        m_ranges.push_back({rowStart, columnStart, rowEnd, columnEnd, xf});
    }
    void fill_down_cells(ss::row_t, ss::col_t, ss::row_t) override {}
    ss::range_size_t get_sheet_size() const override { return {1048576, 16384}; }

    void addText(ss::row_t row, ss::col_t column, std::string_view text)
    {
        m_texts.emplace_back(text);
        m_cells.push_back({row, column, RawCell::Text, 0, double(m_texts.size() - 1)});
    }

    bool isActive() const { return m_active; }

    bool hasText() const
    {
        return std::any_of(m_cells.cbegin(), m_cells.cend(),
                           [](const RawCell &cell) { return cell.kind == RawCell::String || cell.kind == RawCell::Text; });
    }

    void fill(SheetCells &cells, const SharedStrings &strings, NumberFormats &formats, QDate origin) const
    {
        cells.reserve(int(m_cells.size()), qsizetype(m_cells.size()) * 8);
        for (const RawCell &cell : m_cells) {
            QString text;
            switch (cell.kind) {
            case RawCell::Number: text = SheetText::number(cell.number, formats.format(rangeFormat(cell)), origin); break;
            case RawCell::String: text = strings.text(size_t(cell.number)); break;
            case RawCell::Text: text = QString::fromStdString(m_texts[size_t(cell.number)]); break;
            case RawCell::Bool: text = cell.number != 0 ? QStringLiteral("TRUE") : QStringLiteral("FALSE"); break;
            }
            cells.setText(int(cell.row), int(cell.column), text);
        }
        cells.finish();
    }

private:
    struct Pending { ss::row_t row = -1; ss::col_t column = -1; size_t xf = 0; };
    struct Range { ss::row_t rowStart; ss::col_t columnStart; ss::row_t rowEnd; ss::col_t columnEnd; size_t xf; };

    size_t formatAt(ss::row_t row, ss::col_t column)
    {
        if (m_pendingFormat.row == row && m_pendingFormat.column == column) {
            const size_t xf = m_pendingFormat.xf;
            m_pendingFormat = {};
            return xf;
        }
        return 0;
    }

    // A cell without a format of its own takes that of a formatted range around it.
    size_t rangeFormat(const RawCell &cell) const
    {
        if (cell.xf != 0)
            return cell.xf;
        for (auto it = m_ranges.crbegin(); it != m_ranges.crend(); ++it) {
            if (cell.row >= it->rowStart && cell.row <= it->rowEnd && cell.column >= it->columnStart && cell.column <= it->columnEnd)
                return it->xf;
        }
        return 0;
    }

    bool m_active = false;
    SheetView m_view;
    FormulaResult m_formula;
    ArrayFormulaResult m_arrayFormula;
    std::vector<RawCell> m_cells;
    std::vector<std::string> m_texts;
    std::vector<Range> m_ranges;
    Pending m_pendingFormat;
};

void FormulaResult::set_result_string(std::string_view value) { m_sheet.addText(m_row, m_column, value); }
void FormulaResult::set_result_value(double value) { m_sheet.set_value(m_row, m_column, value); }
void FormulaResult::set_result_bool(bool value) { m_sheet.set_bool(m_row, m_column, value); }
void ArrayFormulaResult::set_result_string(ss::row_t row, ss::col_t column, std::string_view value) { m_sheet.addText(row, column, value); }
void ArrayFormulaResult::set_result_value(ss::row_t row, ss::col_t column, double value) { m_sheet.set_value(row, column, value); }
void ArrayFormulaResult::set_result_bool(ss::row_t row, ss::col_t column, bool value) { m_sheet.set_bool(row, column, value); }

// Cell addresses in A1 notation, as the sheets of .xlsx name their ranges.
class ReferenceResolver : public ss::iface::import_reference_resolver
{
public:
    ss::src_address_t resolve_address(std::string_view address) override
    {
        std::string_view text = address.substr(address.find('!') == std::string_view::npos ? 0 : address.find('!') + 1);
        ss::src_address_t result{0, 0, 0};
        int column = 0;
        int row = 0;
        for (char c : text) {
            if (c >= 'A' && c <= 'Z')
                column = column * 26 + (c - 'A' + 1);
            else if (c >= 'a' && c <= 'z')
                column = column * 26 + (c - 'a' + 1);
            else if (c >= '0' && c <= '9')
                row = row * 10 + (c - '0');
        }
        result.row = row - 1;
        result.column = column - 1;
        return result;
    }
    ss::src_range_t resolve_range(std::string_view range) override
    {
        const size_t colon = range.find(':');
        const ss::src_address_t first = resolve_address(range.substr(0, colon));
        return {first, colon == std::string_view::npos ? first : resolve_address(range.substr(colon + 1))};
    }
};

class Settings : public ss::iface::import_global_settings
{
public:
    void set_origin_date(int year, int month, int day) override { origin = QDate(year, month, day); }
    void set_default_formula_grammar(ss::formula_grammar_t grammar) override { m_grammar = grammar; }
    ss::formula_grammar_t get_default_formula_grammar() const override { return m_grammar; }
    void set_character_set(orcus::character_set_t) override {}

    QDate origin = SheetText::excelOrigin();

private:
    ss::formula_grammar_t m_grammar = ss::formula_grammar_t::unknown;
};

class Factory : public ss::iface::import_factory
{
public:
    ss::iface::import_global_settings *get_global_settings() override { return &m_settings; }
    ss::iface::import_shared_strings *get_shared_strings() override { return &m_strings; }
    ss::iface::import_styles *get_styles() override { return &m_formats; }
    ss::iface::import_reference_resolver *get_reference_resolver(ss::formula_ref_context_t) override { return &m_resolver; }
    ss::iface::import_sheet *append_sheet(ss::sheet_t, std::string_view name) override
    {
        m_sheets.push_back(std::make_unique<Sheet>());
        m_names.emplace_back(name);
        return m_sheets.back().get();
    }
    ss::iface::import_sheet *get_sheet(std::string_view name) override
    {
        for (size_t i = 0; i < m_names.size(); ++i) {
            if (m_names[i] == name)
                return m_sheets[i].get();
        }
        return nullptr;
    }
    ss::iface::import_sheet *get_sheet(ss::sheet_t index) override
    {
        return index >= 0 && size_t(index) < m_sheets.size() ? m_sheets[size_t(index)].get() : nullptr;
    }
    void finalize() override {}

    size_t sheetCount() const { return m_sheets.size(); }
    Sheet &sheet(size_t index) { return *m_sheets[index]; }
    // The sheet the file marks as shown, or the first.
    size_t activeSheet() const
    {
        for (size_t i = 0; i < m_sheets.size(); ++i) {
            if (m_sheets[i]->isActive())
                return i;
        }
        return 0;
    }
    void fill(size_t index, SheetCells &cells) { m_sheets[index]->fill(cells, m_strings, m_formats, m_settings.origin); }

private:
    Settings m_settings;
    SharedStrings m_strings;
    NumberFormats m_formats;
    ReferenceResolver m_resolver;
    std::vector<std::unique_ptr<Sheet>> m_sheets;
    std::vector<std::string> m_names;
};

} // namespace

namespace WorkbookFormats
{

bool readOrcus(std::string_view bytes, SheetCells &cells, QString *error)
{
    Factory factory;
    const OpcPackage package(bytes);
    const QByteArray repaired = package.isValid() ? package.withRelativeTargets() : QByteArray();
    orcus::format_t format = orcus::format_t::unknown;
    try {
        const std::string_view content = repaired.isEmpty() ? bytes : std::string_view(repaired.constData(), size_t(repaired.size()));
        format = orcus::detect(reinterpret_cast<const unsigned char *>(content.data()), content.size());
        std::unique_ptr<orcus::iface::import_filter> filter;
        if (format == orcus::format_t::xlsx)
            filter = std::make_unique<orcus::orcus_xlsx>(&factory);
        else if (format == orcus::format_t::ods)
            filter = std::make_unique<orcus::orcus_ods>(&factory);
        // A zip archive that is no workbook, or a workbook cut short.
        if (!filter) {
            if (error)
                *error = damagedText(QString());
            return false;
        }
        orcus::config config(format);
        config.structure_check = false;
        filter->set_config(config);
        filter->read_stream(content);
    } catch (const std::exception &e) {
        if (error)
            *error = damagedText(QString::fromLocal8Bit(e.what()));
        return false;
    }
    if (factory.sheetCount() == 0) {
        if (error)
            *error = damagedText(QStringLiteral("没有工作表"));
        return false;
    }
    size_t chosen = factory.activeSheet();
    if (format == orcus::format_t::xlsx) {
        const int active = package.activeSheet();
        if (active > 0 && size_t(active) < factory.sheetCount())
            chosen = size_t(active);
        // Inline strings are read here; this liborcus passes them over. Writers put text either
        // in the shared strings or inline, so a sheet with shared strings has no inline ones.
        const QStringList parts = package.worksheetParts();
        if (!factory.sheet(chosen).hasText() && chosen < size_t(parts.size())) {
            for (const OpcPackage::InlineCell &cell : package.inlineStrings(parts[int(chosen)]))
                factory.sheet(chosen).addText(cell.row, cell.column, cell.text.toStdString());
        }
    }
    factory.fill(chosen, cells);
    return true;
}

} // namespace WorkbookFormats
