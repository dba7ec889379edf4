#include "ReportXml.h"

#include <QBuffer>
#include <QSaveFile>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace {

const QString ReportElement = QStringLiteral("report");

struct FrameName
{
    int side;
    const char *name;
};
constexpr FrameName frameNames[] = {
    {FrameLeft, "left"}, {FrameTop, "top"}, {FrameRight, "right"}, {FrameBottom, "bottom"}};

QString number(double value)
{
    // Millimetres to a tenth of a micron, without trailing zeros.
    return QString::number(qRound64(value * 10000) / 10000.0, 'g', 12);
}

// Reads the element the reader stands on, with everything inside it, as it is.
XmlNode readNode(QXmlStreamReader &xml)
{
    XmlNode node;
    node.name = xml.qualifiedName().toString();
    node.attributes = xml.attributes();
    while (xml.readNext() != QXmlStreamReader::Invalid) {
        if (xml.isEndElement())
            break;
        if (xml.isStartElement()) {
            node.children.push_back(readNode(xml));
        } else if (xml.isCharacters() && !xml.isWhitespace()) {
            XmlNode text;
            text.text = xml.text().toString();
            node.children.push_back(text);
        }
    }
    return node;
}

void writeNode(QXmlStreamWriter &xml, const XmlNode &node)
{
    if (node.name.isEmpty()) {
        xml.writeCharacters(node.text);
        return;
    }
    xml.writeStartElement(node.name);
    xml.writeAttributes(node.attributes);
    for (const XmlNode &child : node.children)
        writeNode(xml, child);
    xml.writeEndElement();
}

// Attributes of an element, taken one by one; what is left over is kept.
class Attributes
{
public:
    explicit Attributes(const QXmlStreamAttributes &attributes) : m_rest(attributes) {}

    QString text(const QString &name, const QString &fallback = QString())
    {
        for (int i = 0; i < m_rest.size(); ++i) {
            if (m_rest[i].qualifiedName() == name) {
                const QString value = m_rest[i].value().toString();
                m_rest.remove(i);
                return value;
            }
        }
        return fallback;
    }
    double number(const QString &name, double fallback, bool *bad)
    {
        const QString value = text(name);
        if (value.isNull())
            return fallback;
        bool ok = false;
        const double result = value.toDouble(&ok);
        if (!ok) {
            *bad = true;
            m_badName = name;
        }
        return ok ? result : fallback;
    }
    bool flag(const QString &name, bool fallback)
    {
        const QString value = text(name);
        return value.isNull() ? fallback : (value == QLatin1String("true") || value == QLatin1String("1"));
    }
    QXmlStreamAttributes rest() const { return m_rest; }
    QString badName() const { return m_badName; }

private:
    QXmlStreamAttributes m_rest;
    QString m_badName;
};

class Reader
{
public:
    explicit Reader(QIODevice &device) : m_xml(&device) {}

    bool read(ReportTemplate *report, QString *error)
    {
        if (!m_xml.readNextStartElement() || m_xml.name() != ReportElement) {
            if (!m_xml.hasError())
                m_xml.raiseError(QStringLiteral("不是报表模板"));
        } else {
            readReport(report);
        }
        if (m_xml.hasError()) {
            if (error)
                *error = QStringLiteral("第 %1 行第 %2 列: %3")
                             .arg(m_xml.lineNumber())
                             .arg(m_xml.columnNumber())
                             .arg(m_xml.errorString());
            return false;
        }
        return true;
    }

private:
    void fail(const QString &what) { m_xml.raiseError(what); }

    double measure(Attributes &attributes, const QString &name, double fallback)
    {
        bool bad = false;
        const double value = attributes.number(name, fallback, &bad);
        if (bad)
            fail(QStringLiteral("属性 %1 不是数字").arg(name));
        return value;
    }

    void readReport(ReportTemplate *report)
    {
        Attributes attributes(m_xml.attributes());
        report->version = int(measure(attributes, QStringLiteral("version"), ReportXml::FormatVersion));
        report->title = attributes.text(QStringLiteral("title"));
        report->extraAttributes = attributes.rest();
        while (!m_xml.hasError() && m_xml.readNextStartElement()) {
            if (m_xml.name() == QLatin1String("page"))
                readPage(&report->page);
            else if (m_xml.name() == QLatin1String("band"))
                report->bands.push_back(readBand());
            else
                report->extraChildren.push_back(readNode(m_xml));
        }
    }

    void readPage(ReportPage *page)
    {
        Attributes attributes(m_xml.attributes());
        page->width = measure(attributes, QStringLiteral("width"), page->width);
        page->height = measure(attributes, QStringLiteral("height"), page->height);
        page->leftMargin = measure(attributes, QStringLiteral("left"), page->leftMargin);
        page->topMargin = measure(attributes, QStringLiteral("top"), page->topMargin);
        page->rightMargin = measure(attributes, QStringLiteral("right"), page->rightMargin);
        page->bottomMargin = measure(attributes, QStringLiteral("bottom"), page->bottomMargin);
        const QString orientation = attributes.text(QStringLiteral("orientation"));
        if (!orientation.isEmpty())
            page->setLandscape(orientation == QLatin1String("landscape"));
        page->extraAttributes = attributes.rest();
        if (page->width <= 0 || page->height <= 0)
            fail(QStringLiteral("纸张大小无效"));
        m_xml.skipCurrentElement();
    }

    ReportBand readBand()
    {
        ReportBand band;
        Attributes attributes(m_xml.attributes());
        const QString type = attributes.text(QStringLiteral("type"));
        if (!ReportTemplate::bandTypeFromName(type, &band.type))
            fail(QStringLiteral("未知的带区类型 \"%1\"").arg(type));
        band.name = attributes.text(QStringLiteral("name"));
        band.height = measure(attributes, QStringLiteral("height"), band.height);
        band.dataSet = attributes.text(QStringLiteral("dataset"));
        band.extraAttributes = attributes.rest();
        while (!m_xml.hasError() && m_xml.readNextStartElement())
            band.items.push_back(readItem());
        return band;
    }

    ReportItem readItem()
    {
        ReportItem item;
        const auto name = m_xml.name();
        if (name == QLatin1String("text"))
            item.kind = ReportItem::Kind::Text;
        else if (name == QLatin1String("line"))
            item.kind = ReportItem::Kind::Line;
        else if (name == QLatin1String("rect"))
            item.kind = ReportItem::Kind::Rect;
        else if (name == QLatin1String("picture"))
            item.kind = ReportItem::Kind::Picture;
        else {
            item.kind = ReportItem::Kind::Unknown;
            item.unknown = readNode(m_xml);
            return item;
        }
        Attributes attributes(m_xml.attributes());
        item.name = attributes.text(QStringLiteral("name"));
        const double left = measure(attributes, QStringLiteral("left"), 0);
        const double top = measure(attributes, QStringLiteral("top"), 0);
        const double width = measure(attributes, QStringLiteral("width"), 0);
        const double height = measure(attributes, QStringLiteral("height"), 0);
        item.geometry = QRectF(left, top, width, height);
        item.fontFamily = attributes.text(QStringLiteral("font"), item.fontFamily);
        item.fontSize = int(measure(attributes, QStringLiteral("size"), item.fontSize));
        item.bold = attributes.flag(QStringLiteral("bold"), false);
        item.wordWrap = attributes.flag(QStringLiteral("wrap"), true);
        item.lineWidth = measure(attributes, QStringLiteral("lineWidth"), item.lineWidth);
        const QString align = attributes.text(QStringLiteral("align"));
        item.hAlign = align == QLatin1String("center") ? ReportItem::HAlign::Center
                    : align == QLatin1String("right")  ? ReportItem::HAlign::Right
                                                       : ReportItem::HAlign::Left;
        const QString valign = attributes.text(QStringLiteral("valign"));
        item.vAlign = valign == QLatin1String("center") ? ReportItem::VAlign::Center
                    : valign == QLatin1String("bottom") ? ReportItem::VAlign::Bottom
                                                        : ReportItem::VAlign::Top;
        const QString frame = attributes.text(QStringLiteral("frame"));
        for (const QString &side : frame.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            if (side == QLatin1String("all"))
                item.frame = FrameAll;
            for (const auto &entry : frameNames) {
                if (side == QLatin1String(entry.name))
                    item.frame |= entry.side;
            }
        }
        item.extraAttributes = attributes.rest();
        QStringList runs;
        while (m_xml.readNext() != QXmlStreamReader::Invalid && !m_xml.isEndElement()) {
            if (m_xml.isStartElement())
                item.extraChildren.push_back(readNode(m_xml));
            else if (m_xml.isCharacters())
                runs << m_xml.text().toString();
        }
        // Blanks are the text's own, unless they only lay out elements of a newer version.
        if (!item.extraChildren.empty())
            runs.removeIf([](const QString &run) { return run.trimmed().isEmpty(); });
        const QString content = runs.join(QString());
        if (item.kind == ReportItem::Kind::Text)
            item.text = content;
        else if (item.kind == ReportItem::Kind::Picture)
            item.picture = QByteArray::fromBase64(content.toLatin1());
        if (item.fontSize <= 0)
            fail(QStringLiteral("字号无效"));
        return item;
    }

    QXmlStreamReader m_xml;
};

class Writer
{
public:
    explicit Writer(QIODevice &device) : m_xml(&device)
    {
        m_xml.setAutoFormatting(true);
        m_xml.setAutoFormattingIndent(2);
    }

    void write(const ReportTemplate &report)
    {
        m_xml.writeStartDocument();
        m_xml.writeStartElement(ReportElement);
        // A newer template keeps its version: what it holds is still there.
        m_xml.writeAttribute(QStringLiteral("version"), QString::number(qMax(report.version, ReportXml::FormatVersion)));
        if (!report.title.isEmpty())
            m_xml.writeAttribute(QStringLiteral("title"), report.title);
        m_xml.writeAttributes(report.extraAttributes);
        writePage(report.page);
        for (const ReportBand &band : report.bands)
            writeBand(band);
        for (const XmlNode &node : report.extraChildren)
            writeNode(m_xml, node);
        m_xml.writeEndElement();
        m_xml.writeEndDocument();
    }

private:
    void writePage(const ReportPage &page)
    {
        m_xml.writeStartElement(QStringLiteral("page"));
        m_xml.writeAttribute(QStringLiteral("width"), number(page.width));
        m_xml.writeAttribute(QStringLiteral("height"), number(page.height));
        m_xml.writeAttribute(QStringLiteral("orientation"),
                             page.isLandscape() ? QStringLiteral("landscape") : QStringLiteral("portrait"));
        m_xml.writeAttribute(QStringLiteral("left"), number(page.leftMargin));
        m_xml.writeAttribute(QStringLiteral("top"), number(page.topMargin));
        m_xml.writeAttribute(QStringLiteral("right"), number(page.rightMargin));
        m_xml.writeAttribute(QStringLiteral("bottom"), number(page.bottomMargin));
        m_xml.writeAttributes(page.extraAttributes);
        m_xml.writeEndElement();
    }

    void writeBand(const ReportBand &band)
    {
        m_xml.writeStartElement(QStringLiteral("band"));
        m_xml.writeAttribute(QStringLiteral("type"), ReportTemplate::bandTypeName(band.type));
        if (!band.name.isEmpty())
            m_xml.writeAttribute(QStringLiteral("name"), band.name);
        m_xml.writeAttribute(QStringLiteral("height"), number(band.height));
        if (!band.dataSet.isEmpty())
            m_xml.writeAttribute(QStringLiteral("dataset"), band.dataSet);
        m_xml.writeAttributes(band.extraAttributes);
        for (const ReportItem &item : band.items)
            writeItem(item);
        for (const XmlNode &node : band.extraChildren)
            writeNode(m_xml, node);
        m_xml.writeEndElement();
    }

    void writeItem(const ReportItem &item)
    {
        switch (item.kind) {
        case ReportItem::Kind::Unknown:
            writeNode(m_xml, item.unknown);
            return;
        case ReportItem::Kind::Text: m_xml.writeStartElement(QStringLiteral("text")); break;
        case ReportItem::Kind::Line: m_xml.writeStartElement(QStringLiteral("line")); break;
        case ReportItem::Kind::Rect: m_xml.writeStartElement(QStringLiteral("rect")); break;
        case ReportItem::Kind::Picture: m_xml.writeStartElement(QStringLiteral("picture")); break;
        }
        if (!item.name.isEmpty())
            m_xml.writeAttribute(QStringLiteral("name"), item.name);
        m_xml.writeAttribute(QStringLiteral("left"), number(item.geometry.left()));
        m_xml.writeAttribute(QStringLiteral("top"), number(item.geometry.top()));
        m_xml.writeAttribute(QStringLiteral("width"), number(item.geometry.width()));
        m_xml.writeAttribute(QStringLiteral("height"), number(item.geometry.height()));
        if (item.kind == ReportItem::Kind::Text) {
            m_xml.writeAttribute(QStringLiteral("font"), item.fontFamily);
            m_xml.writeAttribute(QStringLiteral("size"), QString::number(item.fontSize));
            if (item.bold)
                m_xml.writeAttribute(QStringLiteral("bold"), QStringLiteral("true"));
            if (item.hAlign != ReportItem::HAlign::Left)
                m_xml.writeAttribute(QStringLiteral("align"),
                                     item.hAlign == ReportItem::HAlign::Center ? QStringLiteral("center") : QStringLiteral("right"));
            if (item.vAlign != ReportItem::VAlign::Top)
                m_xml.writeAttribute(QStringLiteral("valign"),
                                     item.vAlign == ReportItem::VAlign::Center ? QStringLiteral("center") : QStringLiteral("bottom"));
            if (!item.wordWrap)
                m_xml.writeAttribute(QStringLiteral("wrap"), QStringLiteral("false"));
        }
        if (item.frame != 0 && (item.kind == ReportItem::Kind::Text || item.kind == ReportItem::Kind::Picture)) {
            QStringList sides;
            for (const auto &entry : frameNames) {
                if (item.frame & entry.side)
                    sides << QString::fromLatin1(entry.name);
            }
            m_xml.writeAttribute(QStringLiteral("frame"), sides.join(QLatin1Char(' ')));
        }
        if (item.lineWidth != 1)
            m_xml.writeAttribute(QStringLiteral("lineWidth"), number(item.lineWidth));
        m_xml.writeAttributes(item.extraAttributes);
        if (item.kind == ReportItem::Kind::Text && !item.text.isEmpty())
            m_xml.writeCharacters(item.text);
        else if (item.kind == ReportItem::Kind::Picture && !item.picture.isEmpty())
            m_xml.writeCharacters(QString::fromLatin1(item.picture.toBase64()));
        for (const XmlNode &node : item.extraChildren)
            writeNode(m_xml, node);
        m_xml.writeEndElement();
    }

    QXmlStreamWriter m_xml;
};

} // namespace

namespace ReportXml {

bool read(QIODevice &device, ReportTemplate *report, QString *error)
{
    ReportTemplate result;
    if (!Reader(device).read(&result, error))
        return false;
    *report = std::move(result);
    return true;
}

bool read(const QByteArray &xml, ReportTemplate *report, QString *error)
{
    QBuffer buffer;
    buffer.setData(xml);
    buffer.open(QIODevice::ReadOnly);
    return read(buffer, report, error);
}

QByteArray write(const ReportTemplate &report)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    Writer(buffer).write(report);
    return buffer.data();
}

bool writeFile(const QString &path, const ReportTemplate &report, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    file.write(write(report));
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace ReportXml
