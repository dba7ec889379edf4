#pragma once

#include <QString>
#include <functional>

class QWidget;

// The customer editor takes its goods lines from the goods catalogue without knowing the
// catalogue's windows: the main window installs the picker, the editor opens it.
class GoodsPicker
{
public:
    // Shows the picker modally; every goods chosen there becomes a pending line of the
    // installation order batch in the data module's goods lines.
    using Opener = std::function<void(QWidget *parent, const QString &batch)>;

    static void setOpener(Opener opener);
    static bool isInstalled();
    static void open(QWidget *parent, const QString &batch);
};
