#include "SettingsCommands.h"

#include "MainFrame.h"
#include "TFrm_Softinfo.h"
#include "Tfrm_optionsetup.h"

#include <QAction>

void SettingsCommands::connect(MainFrame &frame, TFrm_Data &data, QWidget *parent)
{
    frame.provide("N5", parent, [&frame, &data, parent] {
        Tfrm_optionsetup window(data, parent);
        frm_optionsetup = &window;
        // The title shows the new name at once.
        QObject::connect(&window, &Tfrm_optionsetup::programNameSaved, &window, [&frame] { frame.LoadTitle(); });
        window.exec();
    });
    frame.provide("M_Company", parent, [&data, parent] {
        TFrm_Softinfo window(data, parent);
        Frm_Softinfo = &window;
        window.exec();
    });
    frame.provide("Sys_Company", parent, [&frame] { frame.command(QStringLiteral("M_Company"))->trigger(); });
}
