#pragma once

#include "CustomerImport.h"

class MainFrame;
class QWidget;
class TFrm_Data;

// The main window's commands of the data exchange: the customer import.
class ExchangeCommands
{
public:
    // initials fills the pinyin of imported customers whose mapping leaves it out.
    static void connect(MainFrame &frame, TFrm_Data &data, QWidget *parent, CustomerImport::NameInitials initials);
};
