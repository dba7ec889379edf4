#include "Report.h"

#include "ReportXml.h"

#include <QFile>
#include <QFileInfo>

void Report::clear()
{
    m_layout = ReportTemplate();
    m_fileName.clear();
    m_loadError.clear();
}

void Report::loadFromFile(const QString &path)
{
    clear();
    m_templatePath = path;
    QFile file(path);
    if (!file.exists())
        return;
    m_fileName = path;
    QString error;
    if (!file.open(QIODevice::ReadOnly))
        error = file.errorString();
    else if (ReportXml::read(file, &m_layout, &error))
        return;
    m_layout = ReportTemplate();
    m_loadError = QStringLiteral("报表模板 %1 无法读取: %2").arg(QFileInfo(path).fileName(), error);
}

bool Report::saveToFile(const QString &path, QString *error)
{
    if (!ReportXml::writeFile(path, m_layout, error))
        return false;
    m_fileName = path;
    m_loadError.clear();
    return true;
}

QString Report::displayName() const
{
    return m_fileName.isEmpty() ? m_name : QFileInfo(m_fileName).fileName();
}
