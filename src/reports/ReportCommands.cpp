#include "ReportCommands.h"

#include "MainFrame.h"
#include "TFrm_A_relation.h"

void ReportCommands::connect(MainFrame &frame, TFrm_Data &, QWidget *parent)
{
    frame.provide("weixiu", parent, [&frame] { frame.ShowOrCreateChild(Frm_A_relation); });
}
