#include "EnterMovesFocus.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QCoreApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRadioButton>

void EnterMovesFocus::install(QWidget *form)
{
    auto *filter = new EnterMovesFocus(form);
    for (QWidget *child : form->findChildren<QWidget *>()) {
        if (qobject_cast<QLineEdit *>(child) || qobject_cast<QComboBox *>(child)
            || qobject_cast<QAbstractSpinBox *>(child) || qobject_cast<QCheckBox *>(child)
            || qobject_cast<QRadioButton *>(child))
            child->installEventFilter(filter);
    }
}

bool EnterMovesFocus::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && key->modifiers() == Qt::NoModifier) {
            auto *widget = static_cast<QWidget *>(watched);
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
    }
    return QObject::eventFilter(watched, event);
}
