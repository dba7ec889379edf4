#pragma once

#include "MessageBoxes.h"

#include <QList>
#include <QQueue>

// Answers every message box while it lives, in place of the operator, and keeps what was
// shown. Queued answers are given in turn; without one the box gets its Ok (or Yes) button.
class MessageRecorder
{
public:
    MessageRecorder();
    ~MessageRecorder();

    void answerNext(QMessageBox::StandardButton answer) { m_answers.enqueue(answer); }

    const QList<MessageBoxes::Record> &messages() const { return m_messages; }
    QStringList texts() const;
    QString lastText() const { return m_messages.isEmpty() ? QString() : m_messages.last().text; }
    void clear() { m_messages.clear(); }

private:
    QList<MessageBoxes::Record> m_messages;
    QQueue<QMessageBox::StandardButton> m_answers;
};
