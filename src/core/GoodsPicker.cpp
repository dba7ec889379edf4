#include "GoodsPicker.h"

namespace {
GoodsPicker::Opener &installedOpener()
{
    static GoodsPicker::Opener opener;
    return opener;
}
} // namespace

void GoodsPicker::setOpener(Opener opener)
{
    installedOpener() = std::move(opener);
}

bool GoodsPicker::isInstalled()
{
    return bool(installedOpener());
}

void GoodsPicker::open(QWidget *parent, const QString &batch)
{
    if (installedOpener())
        installedOpener()(parent, batch);
}
