#pragma once

#include <QObject>

class QWidget;

// In the record editors Enter moves to the next control, as the clerks are used to. Multi-line
// boxes keep Enter for new lines, buttons for pressing.
class EnterMovesFocus : public QObject
{
    Q_OBJECT
public:
    // Installs itself on every one-line control of the form.
    static void install(QWidget *form);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    using QObject::QObject;
};
