#pragma once

#include <QString>
#include <functional>

class QWidget;

// The column chooser of a grid configuration, for lists in any folder. The settings install
// the window at start-up; until then opening does nothing.
class ColumnChooser
{
public:
    enum class Variant {
        ClosesWhenStored,   // the browser's lists
        StaysOpen,          // the repair order analysis
    };
    using Opener = std::function<void(QWidget *parent, const QString &configuration, Variant variant)>;

    static void setOpener(Opener opener);
    static void open(QWidget *parent, const QString &configuration, Variant variant = Variant::ClosesWhenStored);
};
