#pragma once

#include <QString>
#include <QTemporaryFile>

// A file written beside its target that takes the target's place only once complete: a
// cancelled or failed write never leaves half a file, and an existing file stays as it was.
class TemporaryTarget
{
public:
    explicit TemporaryTarget(const QString &target);

    // Creates the temporary file; false with the file system's reason.
    bool create(QString *error);
    QString path() const { return m_file.fileName(); }
    // Renames the temporary file over the target (replacing it); false with the reason.
    bool replaceTarget(QString *error);

private:
    QString m_target;
    QTemporaryFile m_file;
};
