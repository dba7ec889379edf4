#include "ColumnChooser.h"

namespace {
ColumnChooser::Opener &installedOpener()
{
    static ColumnChooser::Opener opener;
    return opener;
}
} // namespace

void ColumnChooser::setOpener(Opener opener)
{
    installedOpener() = std::move(opener);
}

void ColumnChooser::open(QWidget *parent, const QString &configuration, Variant variant)
{
    if (installedOpener())
        installedOpener()(parent, configuration, variant);
}
