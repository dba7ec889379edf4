#include "MessageRecorder.h"

MessageRecorder::MessageRecorder()
{
    MessageBoxes::setTestHook([this](const MessageBoxes::Record &record) {
        m_messages << record;
        if (!m_answers.isEmpty())
            return m_answers.dequeue();
        return record.buttons.testFlag(QMessageBox::Ok) ? QMessageBox::Ok : QMessageBox::Yes;
    });
}

MessageRecorder::~MessageRecorder()
{
    MessageBoxes::clearTestHook();
}

QStringList MessageRecorder::texts() const
{
    QStringList list;
    for (const auto &message : m_messages)
        list << message.text;
    return list;
}
