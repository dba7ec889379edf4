#pragma once

#include <QString>
#include <QStringList>

// Config.ini: read and written on every access, so a change made by another program is seen
// at once. Section and key names match without regard to case; lines the program does not
// touch (comments, other sections) are kept as they are. The file may be UTF-8 (with or
// without a byte order mark) or in the Chinese code page, as Windows editors save it; it is
// written back the way it was read.
class IniFile
{
public:
    explicit IniFile(const QString &path);

    QString path() const { return m_path; }

    QString ReadString(const QString &section, const QString &key, const QString &defaultValue) const;
    void WriteString(const QString &section, const QString &key, const QString &value);
    int ReadInteger(const QString &section, const QString &key, int defaultValue) const;
    void WriteInteger(const QString &section, const QString &key, int value);

private:
    enum class Encoding { Utf8, Utf8WithBom, Gbk };
    struct Content
    {
        QStringList lines;
        Encoding encoding = Encoding::Utf8;
        bool crlf = false;
    };
    Content read() const;
    void write(const Content &content);

    QString m_path;
};
