#include "FileDialogs.h"

#include <QDir>
#include <QFileDialog>

namespace {
FileDialogs::Hook &testHook()
{
    static FileDialogs::Hook hook;
    return hook;
}

FileDialogs::Answer run(QWidget *parent, const FileDialogs::Request &request)
{
    if (testHook())
        return testHook()(request);
    QFileDialog dialog(parent, request.caption, request.directory);
    dialog.setNameFilters(request.filters);
    if (request.kind == FileDialogs::Kind::Save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        if (!request.proposedName.isEmpty())
            dialog.selectFile(QDir(request.directory).filePath(request.proposedName));
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return {dialog.selectedFiles().constFirst(), dialog.selectedNameFilter()};
}
} // namespace

FileDialogs::Answer FileDialogs::open(QWidget *parent, const QString &caption, const QString &directory,
                                      const QStringList &filters)
{
    return run(parent, {Kind::Open, caption, directory, QString(), filters});
}

FileDialogs::Answer FileDialogs::save(QWidget *parent, const QString &caption, const QString &directory,
                                      const QString &proposedName, const QStringList &filters)
{
    return run(parent, {Kind::Save, caption, directory, proposedName, filters});
}

void FileDialogs::setTestHook(Hook hook)
{
    testHook() = std::move(hook);
}

void FileDialogs::clearTestHook()
{
    testHook() = nullptr;
}
