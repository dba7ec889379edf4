#include "ReportTemplate.h"

#include <utility>

namespace {

struct BandTypeNames
{
    ReportBand::Type type;
    const char *name;
    const char *caption;
};

constexpr BandTypeNames bandTypes[] = {
    {ReportBand::Type::ReportTitle, "ReportTitle", "报表标题"},
    {ReportBand::Type::PageHeader, "PageHeader", "页眉"},
    {ReportBand::Type::ColumnHeader, "ColumnHeader", "栏头"},
    {ReportBand::Type::MasterData, "MasterData", "主数据"},
    {ReportBand::Type::DetailData, "DetailData", "从数据"},
    {ReportBand::Type::Child, "Child", "子带区"},
    {ReportBand::Type::PageFooter, "PageFooter", "页脚"},
    {ReportBand::Type::ReportSummary, "ReportSummary", "报表合计"},
};

} // namespace

void ReportPage::setLandscape(bool landscape)
{
    if (landscape != isLandscape())
        std::swap(width, height);
}

bool ReportTemplate::isEmpty() const
{
    for (const ReportBand &band : bands) {
        if (!band.items.empty())
            return false;
    }
    return true;
}

QString ReportTemplate::bandTypeName(ReportBand::Type type)
{
    for (const auto &entry : bandTypes) {
        if (entry.type == type)
            return QString::fromLatin1(entry.name);
    }
    return {};
}

bool ReportTemplate::bandTypeFromName(const QString &name, ReportBand::Type *type)
{
    for (const auto &entry : bandTypes) {
        if (name.compare(QLatin1String(entry.name), Qt::CaseInsensitive) == 0) {
            *type = entry.type;
            return true;
        }
    }
    return false;
}

QString ReportTemplate::bandTypeCaption(ReportBand::Type type)
{
    for (const auto &entry : bandTypes) {
        if (entry.type == type)
            return QString::fromUtf8(entry.caption);
    }
    return {};
}

QString ReportTemplate::unusedName(const QString &prefix) const
{
    int highest = 0;
    const auto consider = [&](const QString &name) {
        if (!name.startsWith(prefix))
            return;
        bool ok = false;
        const int number = name.mid(prefix.size()).toInt(&ok);
        if (ok)
            highest = qMax(highest, number);
    };
    for (const ReportBand &band : bands) {
        consider(band.name);
        for (const ReportItem &item : band.items)
            consider(item.name);
    }
    return prefix + QString::number(highest + 1);
}
