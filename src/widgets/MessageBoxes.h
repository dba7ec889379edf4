#pragma once

#include <QMessageBox>
#include <QString>
#include <functional>

// The three kinds of message the program shows, with their exact captions, icons and buttons.
// Tests install a hook that records every message and answers it instead of the operator.
class MessageBoxes
{
public:
    enum class Kind { Box, Dialog, Plain };
    enum class DialogType { Information, Confirmation, Warning, Error };

    struct Record
    {
        Kind kind;
        QString text;
        QString caption;
        QMessageBox::Icon icon;
        QMessageBox::StandardButtons buttons;
        // Enter's answer; NoButton leaves it to the message box.
        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    };
    using Hook = std::function<QMessageBox::StandardButton(const Record &)>;

    // A message box with an explicit caption.
    static QMessageBox::StandardButton box(const QString &text, const QString &caption,
                                           QMessageBox::Icon icon,
                                           QMessageBox::StandardButtons buttons = QMessageBox::Ok);
    // The typed message dialog: its caption and icon follow the type.
    static QMessageBox::StandardButton dialog(DialogType type, const QString &text,
                                              QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                              QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
    // A plain message under the application's title.
    static void plain(const QString &text);
    // An error the handler did not expect (a database error, say), under the application's title.
    static void error(const QString &text);

    static QString dialogCaption(DialogType type);

    static void setTestHook(Hook hook);
    static void clearTestHook();

private:
    static QMessageBox::StandardButton show(const Record &record);
};
