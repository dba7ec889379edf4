#pragma once

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScopeGuard>
#include <QTimer>
#include <functional>

// Driving windows as an operator does: finding controls, typing, answering modal windows.

template <class W>
W *control(const QObject *window, const char *name)
{
    W *widget = window->findChild<W *>(QString::fromLatin1(name));
    if (!widget)
        qFatal("no control %s", name);
    return widget;
}

// Types into a one-line box or an editable drop-down, replacing its text.
inline void typeInto(QWidget *box, const QString &text)
{
    QLineEdit *edit = qobject_cast<QLineEdit *>(box);
    if (auto *combo = qobject_cast<QComboBox *>(box))
        edit = combo->lineEdit();
    edit->selectAll();
    edit->del();
    edit->insert(text);
}

inline void typeInto(QPlainTextEdit *memo, const QString &text)
{
    memo->selectAll();
    memo->insertPlainText(text);
}

// Opens a modal window with open and runs steps on it once it shows; whatever the steps
// leave open is closed, so a failing step cannot leave the test waiting. False when open
// showed no such window.
template <class Dialog>
bool withModal(const std::function<void()> &open, const std::function<void(Dialog *)> &steps)
{
    bool shown = false;
    QTimer::singleShot(0, [&shown, steps] {
        QPointer<Dialog> dialog = qobject_cast<Dialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        shown = true;
        // Closed as it stands: an editor would ask before dropping what was typed.
        const auto close = qScopeGuard([dialog] {
            if (dialog && dialog->isVisible())
                dialog->done(QDialog::Rejected);
        });
        steps(dialog);
    });
    open();
    // A window that never showed: the steps above run now, find none and do nothing.
    QCoreApplication::processEvents();
    return shown;
}
