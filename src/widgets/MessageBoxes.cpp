#include "MessageBoxes.h"

#include <QApplication>

namespace {
MessageBoxes::Hook &testHook()
{
    static MessageBoxes::Hook hook;
    return hook;
}

QMessageBox::Icon dialogIcon(MessageBoxes::DialogType type)
{
    switch (type) {
    case MessageBoxes::DialogType::Information: return QMessageBox::Information;
    case MessageBoxes::DialogType::Confirmation: return QMessageBox::Question;
    case MessageBoxes::DialogType::Warning: return QMessageBox::Warning;
    case MessageBoxes::DialogType::Error: return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}
} // namespace

QString MessageBoxes::dialogCaption(DialogType type)
{
    switch (type) {
    case DialogType::Information: return QStringLiteral("信息");
    case DialogType::Confirmation: return QStringLiteral("确认");
    case DialogType::Warning: return QStringLiteral("警告");
    case DialogType::Error: return QStringLiteral("错误");
    }
    return {};
}

QMessageBox::StandardButton MessageBoxes::box(const QString &text, const QString &caption,
                                              QMessageBox::Icon icon,
                                              QMessageBox::StandardButtons buttons)
{
    return show({Kind::Box, text, caption, icon, buttons});
}

QMessageBox::StandardButton MessageBoxes::dialog(DialogType type, const QString &text,
                                                 QMessageBox::StandardButtons buttons,
                                                 QMessageBox::StandardButton defaultButton)
{
    return show({Kind::Dialog, text, dialogCaption(type), dialogIcon(type), buttons, defaultButton});
}

void MessageBoxes::plain(const QString &text)
{
    show({Kind::Plain, text, QApplication::applicationName(), QMessageBox::NoIcon,
          QMessageBox::Ok});
}

void MessageBoxes::error(const QString &text)
{
    show({Kind::Plain, text, QApplication::applicationName(), QMessageBox::Critical,
          QMessageBox::Ok});
}

void MessageBoxes::setTestHook(Hook hook)
{
    testHook() = std::move(hook);
}

void MessageBoxes::clearTestHook()
{
    testHook() = nullptr;
}

QMessageBox::StandardButton MessageBoxes::show(const Record &record)
{
    if (testHook())
        return testHook()(record);
    QMessageBox box(record.icon, record.caption, record.text, record.buttons,
                    QApplication::activeWindow());
    if (record.defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(record.defaultButton);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}
