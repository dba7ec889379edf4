#pragma once

#include "ReportTemplate.h"

#include <QString>

// A report object of the data module: a template, the file it came from, and why that file
// could not be read (a damaged file leaves the report empty until it is printed, when the
// reason is shown).
class Report
{
public:
    explicit Report(const QString &name) : m_name(name) {}

    QString name() const { return m_name; }

    void clear();
    // Empties the report, then loads the file if it exists; a missing file is no error.
    void loadFromFile(const QString &path);
    // Writes the template to path (atomically) and takes it as the report's file.
    bool saveToFile(const QString &path, QString *error);

    const ReportTemplate &layout() const { return m_layout; }
    void setLayout(const ReportTemplate &layout) { m_layout = layout; }
    QString fileName() const { return m_fileName; }
    // Where the report's template is looked for at start-up, whether it exists or not.
    QString templatePath() const { return m_templatePath; }
    // The file's name without its folder, as messages name the template.
    QString displayName() const;
    QString loadError() const { return m_loadError; }

private:
    QString m_name;
    ReportTemplate m_layout;
    QString m_fileName;
    QString m_templatePath;
    QString m_loadError;
};
