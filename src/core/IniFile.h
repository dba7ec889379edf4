#pragma once

#include <QString>
#include <QStringList>

// Config.ini: read and written on every access, so a change made by another program is seen
// at once. Section and key names match without regard to case; lines the program does not
// touch (comments, other sections) are kept as they are.
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
    QStringList readLines() const;
    void writeLines(const QStringList &lines);

    QString m_path;
};
