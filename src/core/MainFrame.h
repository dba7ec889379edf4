#pragma once

#include <QPointer>
#include <QString>
#include <functional>

class QAction;
class QObject;
class QWidget;
class Session;

// What the windows inside the main window need from it, without depending on it: its
// commands (so their buttons share caption, enabling and shortcuts), the logged-in
// operator and the status bar.
class MainFrame
{
public:
    virtual ~MainFrame() = default;

    virtual QAction *command(const QString &name) const = 0;
    virtual Session &session() const = 0;
    virtual void setStatusText(int panel, const QString &text) = 0;
    // Closes every document window inside the main window, the last opened first.
    virtual void closeChildWindows() = 0;
    // Reads the title (program name and version) from the database again.
    virtual void LoadTitle() = 0;

    // Brings the open child window of exactly this class forward, or adds the one create makes.
    virtual QWidget *showOrCreateChild(const QMetaObject &windowClass, const std::function<QWidget *()> &create) = 0;
    template <class Window>
    Window *ShowOrCreateChild(QPointer<Window> &reference)
    {
        // A new window is the reference before it shows: its showing may already use it.
        bool created = false;
        QWidget *window = showOrCreateChild(Window::staticMetaObject, [&reference, &created] {
            created = true;
            auto *made = new Window();
            reference = made;
            return made;
        });
        if (!created)
            reference = static_cast<Window *>(window);
        return reference;
    }

    // Gives a command what it does. A command that nothing provides stays disabled, with the
    // hint "尚未提供", whatever the operator's permissions.
    void provide(const char *name, QObject *context, std::function<void()> handler);
    static bool isProvided(const QAction *command);
    static QString notProvidedHint();

    // The one main window of the run; null before it exists.
    static MainFrame *instance();
    static void setInstance(MainFrame *frame);
};
