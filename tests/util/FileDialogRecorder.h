#pragma once

#include "FileDialogs.h"

#include <QList>
#include <QQueue>

// Answers every open and save dialog while it lives, in place of the operator, and keeps
// what was asked. Queued answers are given in turn; without one the dialog is cancelled.
class FileDialogRecorder
{
public:
    FileDialogRecorder();
    ~FileDialogRecorder();

    // An empty name cancels; filter is the type chosen (the first offered when empty).
    void answerNext(const QString &fileName, const QString &filter = QString()) { m_answers.enqueue({fileName, filter}); }
    const QList<FileDialogs::Request> &requests() const { return m_requests; }

private:
    QList<FileDialogs::Request> m_requests;
    QQueue<FileDialogs::Answer> m_answers;
};
