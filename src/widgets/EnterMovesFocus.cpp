#include "EnterMovesFocus.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>
#include <QToolButton>

namespace {

bool isButton(const QObject *object)
{
    return qobject_cast<const QPushButton *>(object) || qobject_cast<const QToolButton *>(object);
}

bool isField(const QObject *object)
{
    return qobject_cast<const QLineEdit *>(object) || qobject_cast<const QComboBox *>(object)
        || qobject_cast<const QAbstractSpinBox *>(object) || qobject_cast<const QCheckBox *>(object)
        || qobject_cast<const QRadioButton *>(object) || qobject_cast<const QPlainTextEdit *>(object)
        || qobject_cast<const QTextEdit *>(object);
}

} // namespace

void EnterMovesFocus::install(QWidget *form)
{
    auto *filter = new EnterMovesFocus(form);
    for (QWidget *child : form->findChildren<QWidget *>()) {
        if (isField(child) || isButton(child))
            child->installEventFilter(filter);
    }
}

void EnterMovesFocus::installOnButtons(QWidget *form)
{
    auto *filter = new EnterMovesFocus(form);
    for (QWidget *child : form->findChildren<QWidget *>()) {
        if (isButton(child))
            child->installEventFilter(filter);
    }
}

bool EnterMovesFocus::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
        return QObject::eventFilter(watched, event);
    // The keypad's Enter counts as Enter.
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    auto *widget = static_cast<QWidget *>(watched);

    if (isButton(widget)) {
        if (modifiers != Qt::NoModifier)
            return false;
        auto *button = static_cast<QAbstractButton *>(widget);
        if (button->isEnabled())
            button->click();
        return true;
    }
    if (auto *memo = qobject_cast<QPlainTextEdit *>(widget); memo && modifiers == Qt::ControlModifier) {
        memo->textCursor().insertBlock();
        memo->ensureCursorVisible();
        return true;
    }
    if (auto *memo = qobject_cast<QTextEdit *>(widget); memo && modifiers == Qt::ControlModifier) {
        memo->textCursor().insertBlock();
        memo->ensureCursorVisible();
        return true;
    }
    if (modifiers != Qt::NoModifier)
        return false;
    // The line edit inside an editable combo box reports for the combo box.
    if (auto *combo = qobject_cast<QComboBox *>(widget->parentWidget()))
        widget = combo;
    if (auto *combo = qobject_cast<QComboBox *>(widget); combo && combo->view()->isVisible())
        return false;
    // As if Tab had been pressed in the form (a date box would take it for its own
    // sections): the form's tab order decides what comes next.
    QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
    QCoreApplication::sendEvent(widget->window(), &tab);
    return true;
}
