#pragma once

#include <QObject>

class QWidget;

// In the record editors Enter moves to the next control, as the clerks are used to, in
// multi-line boxes too (Ctrl+Enter starts a new line there); on a focused button Enter
// works that button, never the form's default one.
class EnterMovesFocus : public QObject
{
    Q_OBJECT
public:
    // Installs itself on every control of the form.
    static void install(QWidget *form);
    // Only the buttons: Enter works the focused one (forms whose boxes keep Enter).
    static void installOnButtons(QWidget *form);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    using QObject::QObject;
};
