#include "DesktopTools.h"

#include "IniFile.h"
#include "ProgramFiles.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>
#include <QUrlQuery>

namespace {
const QString LinksSection = QStringLiteral("otherInfo");
} // namespace

QString DesktopTools::firstInstalled(const QStringList &programs)
{
    for (const QString &program : programs) {
        const QString path = QStandardPaths::findExecutable(program);
        if (!path.isEmpty())
            return path;
    }
    return QString();
}

QString DesktopTools::calculator()
{
    return firstInstalled({QStringLiteral("gnome-calculator"), QStringLiteral("kcalc"), QStringLiteral("mate-calc"),
                           QStringLiteral("galculator"), QStringLiteral("qalculate-gtk"), QStringLiteral("xcalc")});
}

QString DesktopTools::textEditor()
{
    return firstInstalled({QStringLiteral("gnome-text-editor"), QStringLiteral("gedit"), QStringLiteral("kwrite"),
                           QStringLiteral("kate"), QStringLiteral("mousepad"), QStringLiteral("pluma"),
                           QStringLiteral("xed"), QStringLiteral("featherpad"), QStringLiteral("leafpad")});
}

void DesktopTools::start(const QString &program)
{
    // A failure to start shows nothing, as the menu item promises no more.
    if (!program.isEmpty())
        QProcess::startDetached(program, {});
}

QString DesktopTools::webSite(IniFile &config)
{
    return config.ReadString(LinksSection, QStringLiteral("WebSite"), QString()).trimmed();
}

QString DesktopTools::mailAddress(IniFile &config)
{
    return config.ReadString(LinksSection, QStringLiteral("Mail"), QString()).trimmed();
}

void DesktopTools::openWebSite(const QString &address)
{
    QDesktopServices::openUrl(QUrl::fromUserInput(address));
}

void DesktopTools::writeMailTo(const QString &address)
{
    QUrl url(QStringLiteral("mailto:") + address);
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("subject"), QStringLiteral("意见"));
    url.setQuery(query);
    QDesktopServices::openUrl(url);
}

void DesktopTools::openHelp(const QString &programDir)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(ProgramFiles::path(programDir, QStringLiteral("help/index.html"))));
}
