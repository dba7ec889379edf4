#pragma once

#include <QString>
#include <QStringList>

class IniFile;

// The desktop's own programs and the maker's addresses, opened from the menus. A command
// whose program is not installed, or whose address Config.ini does not give, is disabled.
class DesktopTools
{
public:
    // The first of the usual programs that is installed; empty when none is.
    static QString calculator();
    static QString textEditor();
    static void start(const QString &program);

    // [otherInfo] WebSite= and Mail=, empty by default.
    static QString webSite(IniFile &config);
    static QString mailAddress(IniFile &config);
    static void openWebSite(const QString &address);
    static void writeMailTo(const QString &address);

    static void openHelp(const QString &programDir);

private:
    static QString firstInstalled(const QStringList &programs);
};
