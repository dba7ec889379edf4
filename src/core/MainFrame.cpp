#include "MainFrame.h"

#include <QAction>
#include <QVariant>

namespace {
MainFrame *theFrame = nullptr;
const char *const ProvidedProperty = "aftersalesProvided";
} // namespace

void MainFrame::provide(const char *name, QObject *context, std::function<void()> handler)
{
    QAction *action = command(QString::fromLatin1(name));
    Q_ASSERT_X(action, "MainFrame::provide", name);
    action->setProperty(ProvidedProperty, true);
    QObject::connect(action, &QAction::triggered, context, [handler = std::move(handler)] { handler(); });
}

bool MainFrame::isProvided(const QAction *command)
{
    return command && command->property(ProvidedProperty).toBool();
}

QString MainFrame::notProvidedHint()
{
    return QStringLiteral("尚未提供");
}

MainFrame *MainFrame::instance()
{
    return theFrame;
}

void MainFrame::setInstance(MainFrame *frame)
{
    theFrame = frame;
}
