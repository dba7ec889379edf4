#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

// The open and save dialogs of the program. Tests install a hook that answers in place of
// the operator and records what was asked.
class FileDialogs
{
public:
    enum class Kind { Open, Save };

    struct Request
    {
        Kind kind;
        QString caption;
        QString directory;
        QString proposedName;   // save dialogs: the file name offered
        QStringList filters;    // "Excel文件 (*.xls *.xlsx)", ...
    };

    struct Answer
    {
        QString fileName;       // empty when the operator cancelled
        QString filter;         // the filter that was chosen
    };
    using Hook = std::function<Answer(const Request &)>;

    static Answer open(QWidget *parent, const QString &caption, const QString &directory, const QStringList &filters);
    // Asks no question when the file exists: the caller decides.
    static Answer save(QWidget *parent, const QString &caption, const QString &directory,
                       const QString &proposedName, const QStringList &filters);

    static void setTestHook(Hook hook);
    static void clearTestHook();
};
