#include "IniFile.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

namespace {

// The section named by a "[name]" line, or a null string for any other line.
QString sectionOf(const QString &line)
{
    const QString trimmed = line.trimmed();
    if (trimmed.startsWith(QLatin1Char('[')) && trimmed.endsWith(QLatin1Char(']')))
        return trimmed.mid(1, trimmed.size() - 2).trimmed();
    return QString();
}

bool isComment(const QString &line)
{
    const QString trimmed = line.trimmed();
    return trimmed.startsWith(QLatin1Char(';')) || trimmed.startsWith(QLatin1Char('#'));
}

// The key of a "key=value" line, or a null string.
QString keyOf(const QString &line)
{
    if (isComment(line))
        return QString();
    const int equals = line.indexOf(QLatin1Char('='));
    return equals < 0 ? QString() : line.left(equals).trimmed();
}

// Index of the line holding section/key, or -1; sectionEnd receives the index after the last
// line belonging to the section (-1 when the section is missing).
int findKey(const QStringList &lines, const QString &section, const QString &key, int *sectionEnd)
{
    bool inSection = false;
    int found = -1;
    *sectionEnd = -1;
    for (int i = 0; i < lines.size(); ++i) {
        const QString name = sectionOf(lines[i]);
        if (!name.isNull()) {
            if (inSection)
                break;
            inSection = name.compare(section, Qt::CaseInsensitive) == 0;
            if (inSection)
                *sectionEnd = i + 1;
            continue;
        }
        if (!inSection)
            continue;
        if (!lines[i].trimmed().isEmpty())
            *sectionEnd = i + 1;
        if (found < 0 && keyOf(lines[i]).compare(key, Qt::CaseInsensitive) == 0)
            found = i;
    }
    return found;
}

} // namespace

IniFile::IniFile(const QString &path) : m_path(path) {}

IniFile::Content IniFile::read() const
{
    Content content;
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return content;
    QByteArray bytes = file.readAll();
    content.crlf = bytes.contains("\r\n");
    static const QByteArray bom("\xEF\xBB\xBF");
    QString text;
    if (bytes.startsWith(bom)) {
        content.encoding = Encoding::Utf8WithBom;
        text = QString::fromUtf8(bytes.mid(bom.size()));
    } else {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        text = utf8.decode(bytes);
        // Windows editors save in the Chinese code page.
        if (utf8.hasError()) {
            content.encoding = Encoding::Gbk;
            QStringDecoder gbk("GBK");
            text = gbk.decode(bytes);
        }
    }
    text.remove(QLatin1Char('\r'));
    content.lines = text.split(QLatin1Char('\n'));
    if (!content.lines.isEmpty() && content.lines.last().isEmpty())
        content.lines.removeLast();
    return content;
}

void IniFile::write(const Content &content)
{
    const QString newline = content.crlf ? QStringLiteral("\r\n") : QStringLiteral("\n");
    QString text;
    for (const QString &line : content.lines)
        text += line + newline;
    QByteArray bytes;
    if (content.encoding == Encoding::Gbk) {
        QStringEncoder gbk("GBK");
        bytes = gbk.encode(text);
        // A value the code page cannot hold: the file becomes UTF-8 rather than lose it.
        if (gbk.hasError())
            bytes = QByteArray("\xEF\xBB\xBF") + text.toUtf8();
    } else {
        bytes = (content.encoding == Encoding::Utf8WithBom ? QByteArray("\xEF\xBB\xBF") : QByteArray()) + text.toUtf8();
    }
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly))
        return;
    file.write(bytes);
    file.commit();
}

QString IniFile::ReadString(const QString &section, const QString &key, const QString &defaultValue) const
{
    const QStringList lines = read().lines;
    int sectionEnd;
    const int index = findKey(lines, section, key, &sectionEnd);
    if (index < 0)
        return defaultValue;
    const QString &line = lines[index];
    return line.mid(line.indexOf(QLatin1Char('=')) + 1);
}

void IniFile::WriteString(const QString &section, const QString &key, const QString &value)
{
    Content content = read();
    QStringList &lines = content.lines;
    int sectionEnd;
    const int index = findKey(lines, section, key, &sectionEnd);
    if (index >= 0) {
        // Keep the key spelt as the file has it.
        const QString &line = lines[index];
        lines[index] = line.left(line.indexOf(QLatin1Char('=')) + 1) + value;
    } else if (sectionEnd >= 0) {
        lines.insert(sectionEnd, key + QLatin1Char('=') + value);
    } else {
        if (!lines.isEmpty() && !lines.last().trimmed().isEmpty())
            lines << QString();
        lines << QLatin1Char('[') + section + QLatin1Char(']') << key + QLatin1Char('=') + value;
    }
    write(content);
}

int IniFile::ReadInteger(const QString &section, const QString &key, int defaultValue) const
{
    bool ok = false;
    const int value = ReadString(section, key, QString()).trimmed().toInt(&ok);
    return ok ? value : defaultValue;
}

void IniFile::WriteInteger(const QString &section, const QString &key, int value)
{
    WriteString(section, key, QString::number(value));
}
