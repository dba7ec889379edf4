#pragma once

#include <QString>
#include <QStringList>

// The desktop's own programs and the maker's addresses, opened from the menus. Failures to
// start are ignored: the operator simply sees nothing open.
class DesktopTools
{
public:
    static void startCalculator();
    static void startTextEditor();
    static void openWebSite();
    static void writeMailToMaker();
    static void openHelp(const QString &programDir);

    static QString webSite();
    static QString mailAddress();

private:
    static void startFirstAvailable(const QStringList &programs);
};
