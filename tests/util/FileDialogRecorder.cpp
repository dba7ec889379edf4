#include "FileDialogRecorder.h"

FileDialogRecorder::FileDialogRecorder()
{
    FileDialogs::setTestHook([this](const FileDialogs::Request &request) {
        m_requests << request;
        if (m_answers.isEmpty())
            return FileDialogs::Answer{};
        FileDialogs::Answer answer = m_answers.dequeue();
        if (answer.filter.isEmpty() && !request.filters.isEmpty())
            answer.filter = request.filters.constFirst();
        return answer;
    });
}

FileDialogRecorder::~FileDialogRecorder()
{
    FileDialogs::clearTestHook();
}
