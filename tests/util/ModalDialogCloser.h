#pragma once

#include <QApplication>
#include <QDialog>
#include <QTimer>

// Closes every modal dialog that opens while it lives, for tests that only check that a
// command ran, not what its window does.
class ModalDialogCloser
{
public:
    ModalDialogCloser()
    {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
                ++m_closed;
                // As it stands: an editor would ask before dropping what was typed.
                dialog->done(QDialog::Rejected);
            }
        });
        m_timer.start();
    }

    int closed() const { return m_closed; }

private:
    QTimer m_timer;
    int m_closed = 0;
};
