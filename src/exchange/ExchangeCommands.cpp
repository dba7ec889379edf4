#include "ExchangeCommands.h"

#include "MainFrame.h"
#include "TFrm_Import.h"

void ExchangeCommands::connect(MainFrame &frame, TFrm_Data &data, QWidget *parent, CustomerImport::NameInitials initials)
{
    frame.provide("sss1", parent, [&data, parent, initials] { TFrm_Import::sss1Click(data, initials, parent); });
}
