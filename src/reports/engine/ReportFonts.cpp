#include "ReportFonts.h"

#include <QFontDatabase>

namespace {

// Text from AR PL UMing keeps its Unicode in a PDF; Noto CJK fonts stand in where it is missing.
const QStringList cjkSerif{QStringLiteral("AR PL UMing CN"), QStringLiteral("Noto Serif CJK SC")};
const QStringList cjkSans{QStringLiteral("AR PL UMing CN"), QStringLiteral("Noto Sans CJK SC")};

QStringList familiesFor(const QString &family)
{
    static const QStringList song{QStringLiteral("宋体"), QStringLiteral("新宋体"), QStringLiteral("SimSun"),
                                  QStringLiteral("NSimSun")};
    if (song.contains(family, Qt::CaseInsensitive))
        return cjkSerif;
    if (family.compare(QLatin1String("Arial"), Qt::CaseInsensitive) == 0)
        return QStringList{QStringLiteral("Liberation Sans")} + cjkSans;
    if (family.compare(QLatin1String("Times New Roman"), Qt::CaseInsensitive) == 0)
        return QStringList{QStringLiteral("Liberation Serif")} + cjkSerif;
    if (family.compare(QLatin1String("Courier New"), Qt::CaseInsensitive) == 0)
        return QStringList{QStringLiteral("Liberation Mono")} + cjkSerif;
    return QStringList{family} + cjkSerif;
}

} // namespace

namespace ReportFonts {

QFont font(const QString &family, int pixelSize, bool bold)
{
    QFont font;
    font.setFamilies(familiesFor(family));
    font.setPixelSize(qMax(1, pixelSize));
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setKerning(false);
    return font;
}

QStringList families()
{
    QStringList names{QStringLiteral("宋体"), QStringLiteral("Arial"), QStringLiteral("Times New Roman"),
                      QStringLiteral("Courier New")};
    for (const QString &family : QFontDatabase::families()) {
        if (!names.contains(family))
            names << family;
    }
    return names;
}

} // namespace ReportFonts
