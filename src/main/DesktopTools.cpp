#include "DesktopTools.h"

#include <QDesktopServices>
#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>
#include <QUrlQuery>

QString DesktopTools::webSite()
{
    return QStringLiteral("https://aftersales.example.com/");
}

QString DesktopTools::mailAddress()
{
    return QStringLiteral("support@aftersales.example.com");
}

void DesktopTools::startFirstAvailable(const QStringList &programs)
{
    for (const QString &program : programs) {
        const QString path = QStandardPaths::findExecutable(program);
        if (!path.isEmpty() && QProcess::startDetached(path, {}))
            return;
    }
}

void DesktopTools::startCalculator()
{
    startFirstAvailable({QStringLiteral("gnome-calculator"), QStringLiteral("kcalc"),
                         QStringLiteral("mate-calc"), QStringLiteral("galculator"),
                         QStringLiteral("qalculate-gtk"), QStringLiteral("xcalc")});
}

void DesktopTools::startTextEditor()
{
    startFirstAvailable({QStringLiteral("gnome-text-editor"), QStringLiteral("gedit"),
                         QStringLiteral("kwrite"), QStringLiteral("kate"), QStringLiteral("mousepad"),
                         QStringLiteral("pluma"), QStringLiteral("xed"), QStringLiteral("featherpad"),
                         QStringLiteral("leafpad")});
}

void DesktopTools::openWebSite()
{
    QDesktopServices::openUrl(QUrl(webSite()));
}

void DesktopTools::writeMailToMaker()
{
    QUrl url(QStringLiteral("mailto:") + mailAddress());
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("subject"), QStringLiteral("意见"));
    url.setQuery(query);
    QDesktopServices::openUrl(url);
}

void DesktopTools::openHelp(const QString &programDir)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(QDir(programDir).filePath(QStringLiteral("help/index.html"))));
}
