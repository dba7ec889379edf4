#include "ReportEngine.h"

#include "ReportFonts.h"

#include <QRegularExpression>
#include <QTextLayout>
#include <cmath>

namespace {

constexpr double k = PreparedReport::PixelsPerMm;

QString dateTimeText(const QDateTime &value)
{
    return value.time() == QTime(0, 0) ? value.date().toString(QStringLiteral("yyyy-MM-dd"))
                                       : value.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}

// The longest beginning of text that fits width.
QString fittingPrefix(const QString &text, const QFontMetricsF &metrics, double width)
{
    int low = 0;
    int high = text.size();
    while (low < high) {
        const int middle = (low + high + 1) / 2;
        if (metrics.horizontalAdvance(text.left(middle)) <= width)
            low = middle;
        else
            high = middle - 1;
    }
    return text.left(low);
}

} // namespace

ReportEngine::ReportEngine(const ReportTemplate &report, const QList<ReportDataSource *> &dataSets)
    : m_report(report), m_dataSets(dataSets), m_printTime(QDateTime::currentDateTime())
{
}

ReportEngine::~ReportEngine() = default;

QString ReportEngine::formatValue(const QVariant &value)
{
    if (value.isNull())
        return QString();
    switch (value.userType()) {
    case QMetaType::QDateTime:
        return dateTimeText(value.toDateTime());
    case QMetaType::QDate:
        return value.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    case QMetaType::QTime:
        return value.toTime().toString(QStringLiteral("hh:mm:ss"));
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("是") : QStringLiteral("否");
    case QMetaType::Double:
    case QMetaType::Float:
        return QString::number(value.toDouble(), 'f', 2).remove(QRegularExpression(QStringLiteral("\\.?0+$")));
    case QMetaType::QString: {
        // Dates that the database hands back as text.
        static const QRegularExpression stamp(QStringLiteral(R"(^\d{4}-\d\d-\d\d[T ]\d\d:\d\d(:\d\d(\.\d+)?)?$)"));
        const QString text = value.toString();
        if (stamp.match(text).hasMatch()) {
            const QDateTime time = QDateTime::fromString(QString(text).replace(QLatin1Char(' '), QLatin1Char('T')), Qt::ISODateWithMs);
            if (time.isValid())
                return dateTimeText(time);
        }
        return text;
    }
    default:
        return value.toString();
    }
}

bool ReportEngine::fail(const QString &text)
{
    m_error = text;
    return false;
}

ReportDataSource *ReportEngine::findSource(const QString &name) const
{
    for (ReportDataSource *source : m_dataSets) {
        if (source->name().compare(name, Qt::CaseInsensitive) == 0)
            return source;
    }
    return nullptr;
}

bool ReportEngine::check()
{
    return compile();
}

bool ReportEngine::compileItem(const ReportItem &item, CompiledItem *compiled)
{
    compiled->item = &item;
    if (item.kind != ReportItem::Kind::Text)
        return true;
    ParsedText parsed;
    QString expression;
    QString reason;
    if (!ParsedText::parse(item.text, &parsed, &expression, &reason))
        return fail(QStringLiteral("报表 %1 中的表达式 %2 有误: %3").arg(m_templateName, expression, reason));
    for (const TextPart &part : std::as_const(parsed.parts)) {
        CompiledPart compiledPart{part.kind, part.text};
        if (part.kind == TextPart::Kind::Field) {
            compiledPart.source = findSource(part.dataSet);
            if (!compiledPart.source)
                return fail(QStringLiteral("报表 %1 中的表达式 %2 有误: 没有数据集 \"%3\"")
                                .arg(m_templateName, part.text, part.dataSet));
            compiledPart.field = compiledPart.source->fieldIndex(part.field);
            if (compiledPart.field < 0)
                return fail(QStringLiteral("报表 %1 中的表达式 %2 有误: 数据集 \"%3\" 没有字段 \"%4\"")
                                .arg(m_templateName, part.text, compiledPart.source->name(), part.field));
        }
        compiled->parts.append(compiledPart);
    }
    compiled->isStatic = parsed.isStatic();
    return true;
}

bool ReportEngine::compile()
{
    m_error.clear();
    m_bands.clear();
    m_columnHeaders.clear();
    m_masters.clear();
    m_title = m_pageHeader = m_pageFooter = m_summary = -1;
    int lastMaster = -1;
    int previous = -1;
    for (const ReportBand &band : m_report.bands) {
        CompiledBand compiled;
        compiled.band = &band;
        if (band.isDataBand() && !band.dataSet.isEmpty()) {
            compiled.source = findSource(band.dataSet);
            if (!compiled.source)
                return fail(QStringLiteral("报表 %1 中的带区 %2 有误: 没有数据集 \"%3\"")
                                .arg(m_templateName, band.name, band.dataSet));
        }
        compiled.items.resize(band.items.size());
        for (size_t i = 0; i < band.items.size(); ++i) {
            if (!compileItem(band.items[i], &compiled.items[i]))
                return false;
        }
        const int index = int(m_bands.size());
        m_bands.push_back(std::move(compiled));
        using Type = ReportBand::Type;
        switch (band.type) {
        case Type::ReportTitle: if (m_title < 0) m_title = index; break;
        case Type::PageHeader: if (m_pageHeader < 0) m_pageHeader = index; break;
        case Type::PageFooter: if (m_pageFooter < 0) m_pageFooter = index; break;
        case Type::ReportSummary: if (m_summary < 0) m_summary = index; break;
        case Type::ColumnHeader: m_columnHeaders.push_back(index); break;
        case Type::MasterData:
            m_masters.push_back(index);
            lastMaster = index;
            break;
        case Type::DetailData:
            if (lastMaster >= 0)
                m_bands[size_t(lastMaster)].details.push_back(index);
            else
                m_masters.push_back(index);
            break;
        case Type::Child:
            if (previous >= 0)
                m_bands[size_t(previous)].children.push_back(index);
            break;
        }
        // A child band's own child follows it; others follow the band they belong to.
        previous = index;
    }
    return true;
}

const QFontMetricsF &ReportEngine::metrics(int font) const
{
    if (size_t(font) >= m_metrics.size())
        m_metrics.resize(size_t(font) + 1);
    auto &slot = m_metrics[size_t(font)];
    if (!slot)
        slot = std::make_unique<QFontMetricsF>(m_out->font(font));
    return *slot;
}

QString ReportEngine::evaluate(const CompiledItem &item) const
{
    QString text;
    for (const CompiledPart &part : item.parts) {
        switch (part.kind) {
        case TextPart::Kind::Literal: text += part.literal; break;
        case TextPart::Kind::Field: text += formatValue(part.source->value(part.field)); break;
        case TextPart::Kind::Date: text += m_printTime.date().toString(QStringLiteral("yyyy-MM-dd")); break;
        case TextPart::Kind::Time: text += m_printTime.time().toString(QStringLiteral("hh:mm:ss")); break;
        case TextPart::Kind::Page: text += QString::number(m_pageNumber); break;
        }
    }
    return text;
}

std::vector<ReportEngine::Line> ReportEngine::layoutText(const QString &text, const ReportItem &item, int font) const
{
    std::vector<Line> lines;
    if (text.isEmpty())
        return lines;
    const QFontMetricsF &fm = metrics(font);
    const QRectF inner = QRectF(0, 0, item.geometry.width() * k, item.geometry.height() * k).adjusted(GapX, GapY, -GapX, -GapY);
    const bool multiLine = text.contains(QLatin1Char('\n'));
    // A box one line high shows as much of the text as fits rather than wrapping it away.
    const bool oneLine = inner.height() < 2 * fm.height();
    double total = 0;
    if (!multiLine && (!item.wordWrap || oneLine || fm.horizontalAdvance(text) <= inner.width())) {
        // One line: the usual case, measured without a text layout.
        QString shown = text;
        double width = fm.horizontalAdvance(text);
        if (width > inner.width()) {
            shown = fittingPrefix(text, fm, inner.width());
            width = fm.horizontalAdvance(shown);
        }
        lines.push_back({0, float(fm.ascent()), float(width), float(fm.height()), shown});
        total = fm.height();
    } else {
        QString source = text;
        source.remove(QLatin1Char('\r'));
        source.replace(QLatin1Char('\n'), QChar::LineSeparator);
        QTextLayout layout(source, m_out->font(font));
        QTextOption option;
        option.setWrapMode(item.wordWrap ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::NoWrap);
        layout.setTextOption(option);
        layout.setCacheEnabled(false);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(inner.width());
            // Lines that would stand below the box are left out: text never runs into the next box.
            if (!lines.empty() && total + line.height() > inner.height() + 0.01)
                break;
            QString part = source.mid(line.textStart(), line.textLength());
            part.remove(QChar::LineSeparator);
            double width = line.naturalTextWidth();
            if (width > inner.width()) {
                part = fittingPrefix(part, fm, inner.width());
                width = fm.horizontalAdvance(part);
            }
            lines.push_back({0, float(total + line.ascent()), float(width), float(line.height()), part});
            total += line.height();
        }
        layout.endLayout();
    }
    double top = inner.top();
    if (total < inner.height()) {
        if (item.vAlign == ReportItem::VAlign::Center)
            top += (inner.height() - total) / 2;
        else if (item.vAlign == ReportItem::VAlign::Bottom)
            top += inner.height() - total;
    }
    for (Line &line : lines) {
        double left = inner.left();
        if (item.hAlign == ReportItem::HAlign::Center)
            left += (inner.width() - line.width) / 2;
        else if (item.hAlign == ReportItem::HAlign::Right)
            left += inner.width() - line.width;
        line.x = float(left);
        line.baseline += float(top);
    }
    return lines;
}

void ReportEngine::drawItem(CompiledItem &compiled, double left, double top)
{
    const ReportItem &item = *compiled.item;
    const double x = left + item.geometry.left() * k;
    const double y = top + item.geometry.top() * k;
    const double w = item.geometry.width() * k;
    const double h = item.geometry.height() * k;
    auto &commands = m_page->commands;
    const auto frame = [&](int sides) {
        if (sides == 0)
            return;
        DrawCommand command;
        command.type = DrawCommand::Type::Frame;
        command.sides = quint8(sides);
        command.style = quint16(m_out->lineWidthIndex(item.lineWidth));
        command.x = float(x);
        command.y = float(y);
        command.w = float(w);
        command.h = float(h);
        commands.push_back(command);
    };
    switch (item.kind) {
    case ReportItem::Kind::Unknown:
        return;
    case ReportItem::Kind::Line: {
        DrawCommand command;
        command.type = DrawCommand::Type::Line;
        command.style = quint16(m_out->lineWidthIndex(item.lineWidth));
        command.x = float(x);
        command.y = float(y);
        command.w = float(x + w);
        command.h = float(y + h);
        commands.push_back(command);
        return;
    }
    case ReportItem::Kind::Rect:
        frame(FrameAll);
        return;
    case ReportItem::Kind::Picture:
        if (compiled.image < 0) {
            const QImage image = QImage::fromData(compiled.item->picture);
            compiled.image = image.isNull() ? -2 : m_out->imageIndex(image, qint64(compiled.item));
        }
        if (compiled.image >= 0) {
            DrawCommand command;
            command.type = DrawCommand::Type::Picture;
            command.style = quint16(compiled.image);
            command.x = float(x);
            command.y = float(y);
            command.w = float(w);
            command.h = float(h);
            commands.push_back(command);
        }
        frame(item.frame);
        return;
    case ReportItem::Kind::Text:
        break;
    }
    frame(item.frame);
    if (compiled.font < 0)
        compiled.font = m_out->fontIndex(ReportFonts::font(item.fontFamily, item.fontSize, item.bold));
    std::vector<Line> dynamicLines;
    const std::vector<Line> *lines = &dynamicLines;
    if (compiled.isStatic) {
        if (!compiled.staticLaidOut) {
            compiled.staticLines = layoutText(evaluate(compiled), item, compiled.font);
            compiled.staticLaidOut = true;
        }
        lines = &compiled.staticLines;
    } else {
        dynamicLines = layoutText(evaluate(compiled), item, compiled.font);
    }
    for (const Line &line : *lines) {
        DrawCommand command;
        command.type = DrawCommand::Type::Text;
        command.style = quint16(compiled.font);
        command.x = float(x + line.x);
        command.y = float(y + line.baseline);
        command.w = line.width;
        command.h = line.height;
        command.text = line.text;
        commands.push_back(command);
    }
}

void ReportEngine::drawBand(CompiledBand &band, double top)
{
    const double left = m_report.page.leftMargin * k;
    for (CompiledItem &item : band.items)
        drawItem(item, left, top);
}

double ReportEngine::chainHeight(int band) const
{
    double height = m_bands[size_t(band)].band->height * k;
    for (int child : m_bands[size_t(band)].children)
        height += chainHeight(child);
    return height;
}

void ReportEngine::placeChain(int index)
{
    CompiledBand &band = m_bands[size_t(index)];
    const double height = band.band->height * k;
    const bool isData = band.band->isDataBand() || band.band->type == ReportBand::Type::Child
                     || band.band->type == ReportBand::Type::ReportSummary;
    // A band that does not fit goes to the next page with its child bands, unless it already
    // stands at the top of one.
    if (isData && m_y + chainHeight(index) > m_bottom + 0.01 && m_pageHasRows) {
        finishPage();
        startPage();
    }
    drawBand(band, m_y);
    m_y += height;
    if (isData)
        m_pageHasRows = true;
    for (int child : band.children)
        placeChain(child);
}

void ReportEngine::startPage()
{
    if (m_progress && !m_progress(m_rowsDone, m_rowsTotal))
        m_cancelled = true;
    const ReportPage &layout = m_report.page;
    m_page = &m_out->addPage(QSizeF(layout.width, layout.height));
    ++m_pageNumber;
    m_y = layout.topMargin * k;
    m_bottom = (layout.height - layout.bottomMargin) * k;
    if (m_pageFooter >= 0)
        m_bottom -= chainHeight(m_pageFooter);
    m_pageHasRows = false;
    if (m_pageNumber == 1 && m_title >= 0)
        placeChain(m_title);
    if (m_pageHeader >= 0)
        placeChain(m_pageHeader);
    for (int header : m_columnHeaders)
        placeChain(header);
}

void ReportEngine::finishPage()
{
    if (m_pageFooter < 0)
        return;
    m_y = m_bottom;
    const double bottom = m_bottom;
    m_bottom = 1e12;   // the footer itself always fits
    placeChain(m_pageFooter);
    m_bottom = bottom;
}

void ReportEngine::printRows(int index, bool master)
{
    const CompiledBand &band = m_bands[size_t(index)];
    const int rows = band.source ? band.source->rowCount() : 1;
    for (int row = 0; row < rows && !m_cancelled; ++row) {
        if (band.source)
            band.source->setRow(row);
        placeChain(index);
        for (int detail : band.details)
            printRows(detail, false);
        if (master)
            ++m_rowsDone;
    }
}

bool ReportEngine::prepare(PreparedReport *prepared)
{
    prepared->clear();
    if (!compile())
        return false;
    if (m_report.isEmpty())
        return true;
    m_out = prepared;
    m_metrics.clear();
    m_pageNumber = 0;
    m_cancelled = false;
    m_rowsDone = 0;
    m_rowsTotal = 0;
    for (int master : m_masters)
        m_rowsTotal += m_bands[size_t(master)].source ? m_bands[size_t(master)].source->rowCount() : 1;
    startPage();
    for (int master : m_masters)
        printRows(master, true);
    if (m_summary >= 0)
        placeChain(m_summary);
    finishPage();
    m_out = nullptr;
    m_page = nullptr;
    if (m_cancelled) {
        prepared->clear();
        return false;
    }
    return true;
}
