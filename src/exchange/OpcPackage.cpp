#include "OpcPackage.h"

#include <QXmlStreamReader>

#include <QRegularExpression>
#include <QString>
#include <QtEndian>
#include <zlib.h>

namespace {

constexpr quint32 LocalHeader = 0x04034b50;
constexpr quint32 CentralHeader = 0x02014b50;
constexpr quint32 EndOfCentralDirectory = 0x06054b50;
constexpr int LocalHeaderSize = 30;
constexpr int CentralHeaderSize = 46;
constexpr int EndSize = 22;
constexpr quint16 Stored = 0;
constexpr quint16 Deflated = 8;
constexpr quint16 DataDescriptorFlag = 0x0008;

quint16 u16(std::string_view bytes, size_t at) { return qFromLittleEndian<quint16>(bytes.data() + at); }
quint32 u32(std::string_view bytes, size_t at) { return qFromLittleEndian<quint32>(bytes.data() + at); }

void put16(QByteArray &out, quint16 value)
{
    char b[2];
    qToLittleEndian(value, b);
    out.append(b, 2);
}

void put32(QByteArray &out, quint32 value)
{
    char b[4];
    qToLittleEndian(value, b);
    out.append(b, 4);
}

bool inflateRaw(std::string_view data, quint32 size, QByteArray *out)
{
    out->resize(qsizetype(size));
    z_stream stream{};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK)
        return false;
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.data()));
    stream.avail_in = uInt(data.size());
    stream.next_out = reinterpret_cast<Bytef *>(out->data());
    stream.avail_out = uInt(size);
    const int result = inflate(&stream, Z_FINISH);
    inflateEnd(&stream);
    return result == Z_STREAM_END && stream.total_out == size;
}

// "xl/_rels/workbook.xml.rels" speaks for "xl/workbook.xml": its targets are relative to "xl/".
QByteArray relativeTargets(const QString &relsName, const QByteArray &xml)
{
    const int rels = relsName.lastIndexOf(QLatin1String("_rels/"));
    const QString sourceDir = rels < 0 ? QString() : relsName.left(rels);
    static const QRegularExpression target(QStringLiteral("Target=\"/([^\"]*)\""));
    QString text = QString::fromUtf8(xml);
    bool changed = false;
    QString result;
    int last = 0;
    auto it = target.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        QString path = m.captured(1);
        if (!sourceDir.isEmpty() && path.startsWith(sourceDir)) {
            path = path.mid(sourceDir.size());
        } else {
            for (int depth = sourceDir.count(QLatin1Char('/')); depth > 0; --depth)
                path.prepend(QLatin1String("../"));
        }
        result += QStringView(text).mid(last, m.capturedStart() - last);
        result += QStringLiteral("Target=\"%1\"").arg(path);
        last = m.capturedEnd();
        changed = true;
    }
    if (!changed)
        return QByteArray();
    result += QStringView(text).mid(last);
    return result.toUtf8();
}

} // namespace

OpcPackage::OpcPackage(std::string_view zip) : m_zip(zip)
{
    if (zip.size() < EndSize)
        return;
    size_t end = zip.size() - EndSize;
    const size_t lowest = zip.size() > 0xFFFF + EndSize ? zip.size() - 0xFFFF - EndSize : 0;
    while (u32(zip, end) != EndOfCentralDirectory) {
        if (end == lowest)
            return;
        --end;
    }
    const quint16 count = u16(zip, end + 10);
    size_t at = u32(zip, end + 16);
    for (int i = 0; i < count; ++i) {
        if (at + CentralHeaderSize > zip.size() || u32(zip, at) != CentralHeader)
            return;
        const quint16 nameLength = u16(zip, at + 28);
        if (at + CentralHeaderSize + nameLength > zip.size())
            return;
        m_entries.append({at, QString::fromUtf8(zip.data() + at + CentralHeaderSize, nameLength)});
        at += CentralHeaderSize + nameLength + u16(zip, at + 30) + u16(zip, at + 32);
    }
    m_valid = true;
}

QByteArray OpcPackage::part(const QString &name) const
{
    const QString wanted = name.startsWith(QLatin1Char('/')) ? name.mid(1) : name;
    for (const Entry &entry : m_entries) {
        if (entry.name.compare(wanted, Qt::CaseInsensitive) != 0)
            continue;
        const size_t c = entry.central;
        const quint16 method = u16(m_zip, c + 10);
        const quint32 packed = u32(m_zip, c + 20);
        const quint32 size = u32(m_zip, c + 24);
        const size_t local = u32(m_zip, c + 42);
        if (local + LocalHeaderSize > m_zip.size())
            return QByteArray();
        const size_t data = local + LocalHeaderSize + u16(m_zip, local + 26) + u16(m_zip, local + 28);
        if (data + packed > m_zip.size())
            return QByteArray();
        if (method == Stored)
            return QByteArray(m_zip.data() + data, qsizetype(packed));
        QByteArray content;
        if (method == Deflated && inflateRaw(m_zip.substr(data, packed), size, &content))
            return content;
        return QByteArray();
    }
    return QByteArray();
}

QByteArray OpcPackage::withRelativeTargets() const
{
    QList<QByteArray> replacements;
    bool anyChanged = false;
    for (const Entry &entry : m_entries) {
        QByteArray replacement;
        if (entry.name.endsWith(QLatin1String(".rels")))
            replacement = relativeTargets(entry.name, part(entry.name));
        anyChanged = anyChanged || !replacement.isEmpty();
        replacements << replacement;
    }
    if (!anyChanged)
        return QByteArray();

    // The archive again, the changed parts stored uncompressed.
    QByteArray out;
    QList<quint32> offsets;
    for (int i = 0; i < m_entries.size(); ++i) {
        const size_t c = m_entries[i].central;
        const QByteArray name = m_entries[i].name.toUtf8();
        const QByteArray &replacement = replacements[i];
        const bool replaced = !replacement.isEmpty();
        const size_t local = u32(m_zip, c + 42);
        const size_t data = local + LocalHeaderSize + u16(m_zip, local + 26) + u16(m_zip, local + 28);
        const quint32 packed = replaced ? quint32(replacement.size()) : u32(m_zip, c + 20);
        offsets << quint32(out.size());
        put32(out, LocalHeader);
        put16(out, u16(m_zip, c + 6));
        put16(out, u16(m_zip, c + 8) & ~DataDescriptorFlag);
        put16(out, replaced ? Stored : u16(m_zip, c + 10));
        put16(out, u16(m_zip, c + 12));
        put16(out, u16(m_zip, c + 14));
        put32(out, replaced ? quint32(crc32(0, reinterpret_cast<const Bytef *>(replacement.constData()), uInt(replacement.size())))
                            : u32(m_zip, c + 16));
        put32(out, packed);
        put32(out, replaced ? quint32(replacement.size()) : u32(m_zip, c + 24));
        put16(out, quint16(name.size()));
        put16(out, 0);
        out.append(name);
        out.append(replaced ? replacement : QByteArray(m_zip.data() + data, qsizetype(packed)));
    }
    const quint32 directoryStart = quint32(out.size());
    for (int i = 0; i < m_entries.size(); ++i) {
        const size_t c = m_entries[i].central;
        const QByteArray &replacement = replacements[i];
        const size_t length = CentralHeaderSize + u16(m_zip, c + 28) + u16(m_zip, c + 30) + u16(m_zip, c + 32);
        QByteArray record(m_zip.data() + c, qsizetype(length));
        qToLittleEndian<quint16>(u16(m_zip, c + 8) & ~DataDescriptorFlag, record.data() + 8);
        if (!replacement.isEmpty()) {
            qToLittleEndian<quint16>(Stored, record.data() + 10);
            qToLittleEndian<quint32>(quint32(crc32(0, reinterpret_cast<const Bytef *>(replacement.constData()), uInt(replacement.size()))),
                                     record.data() + 16);
            qToLittleEndian<quint32>(quint32(replacement.size()), record.data() + 20);
            qToLittleEndian<quint32>(quint32(replacement.size()), record.data() + 24);
        }
        qToLittleEndian<quint32>(offsets[i], record.data() + 42);
        out.append(record);
    }
    const quint32 directorySize = quint32(out.size()) - directoryStart;
    put32(out, EndOfCentralDirectory);
    put16(out, 0);
    put16(out, 0);
    put16(out, quint16(m_entries.size()));
    put16(out, quint16(m_entries.size()));
    put32(out, directorySize);
    put32(out, directoryStart);
    put16(out, 0);
    return out;
}

QStringList OpcPackage::worksheetParts() const
{
    // Relationship ids of the workbook to their parts, resolved against "xl/".
    QHash<QString, QString> targets;
    QXmlStreamReader rels(part(QStringLiteral("xl/_rels/workbook.xml.rels")));
    while (!rels.atEnd() && !rels.hasError()) {
        if (rels.readNext() == QXmlStreamReader::StartElement && rels.name() == QLatin1String("Relationship")) {
            const QString target = rels.attributes().value(QLatin1String("Target")).toString();
            targets.insert(rels.attributes().value(QLatin1String("Id")).toString(),
                           target.startsWith(QLatin1Char('/')) ? target.mid(1) : QStringLiteral("xl/") + target);
        }
    }
    QStringList parts;
    QXmlStreamReader workbook(part(QStringLiteral("xl/workbook.xml")));
    while (!workbook.atEnd() && !workbook.hasError()) {
        if (workbook.readNext() == QXmlStreamReader::StartElement && workbook.name() == QLatin1String("sheet")) {
            for (const QXmlStreamAttribute &attribute : workbook.attributes()) {
                if (attribute.name() == QLatin1String("id"))
                    parts << targets.value(attribute.value().toString());
            }
        }
    }
    return parts;
}

int OpcPackage::activeSheet() const
{
    QXmlStreamReader workbook(part(QStringLiteral("xl/workbook.xml")));
    while (!workbook.atEnd() && !workbook.hasError()) {
        if (workbook.readNext() == QXmlStreamReader::StartElement && workbook.name() == QLatin1String("workbookView")) {
            const QStringView tab = workbook.attributes().value(QLatin1String("activeTab"));
            return tab.isEmpty() ? 0 : tab.toInt();
        }
    }
    return -1;
}

QList<OpcPackage::InlineCell> OpcPackage::inlineStrings(const QString &worksheetPart) const
{
    QList<InlineCell> cells;
    const QByteArray xml = part(worksheetPart);
    if (!xml.contains("inlineStr"))
        return cells;
    QXmlStreamReader reader(xml);
    int row = -1;
    int column = -1;
    bool inlineCell = false;
    bool inString = false;
    QString text;
    while (!reader.atEnd() && !reader.hasError()) {
        const auto token = reader.readNext();
        const QStringView name = reader.name();
        if (token == QXmlStreamReader::StartElement) {
            if (name == QLatin1String("row")) {
                const QStringView r = reader.attributes().value(QLatin1String("r"));
                row = r.isEmpty() ? row + 1 : r.toInt() - 1;
                column = -1;
            } else if (name == QLatin1String("c")) {
                const QStringView reference = reader.attributes().value(QLatin1String("r"));
                if (reference.isEmpty()) {
                    ++column;
                } else {
                    column = 0;
                    for (QChar c : reference) {
                        if (!c.isLetter())
                            break;
                        column = column * 26 + (c.toUpper().unicode() - 'A' + 1);
                    }
                    --column;
                }
                inlineCell = reader.attributes().value(QLatin1String("t")) == QLatin1String("inlineStr");
                text.clear();
            } else if (name == QLatin1String("t") && inlineCell) {
                inString = true;
            }
        } else if (token == QXmlStreamReader::Characters && inString) {
            text += reader.text();
        } else if (token == QXmlStreamReader::EndElement) {
            if (name == QLatin1String("t"))
                inString = false;
            else if (name == QLatin1String("c") && inlineCell) {
                cells.append({row, column, text});
                inlineCell = false;
            }
        }
    }
    return cells;
}
