#pragma once

class MainFrame;
class QWidget;
class TFrm_Data;

// The main window's customer commands: AddCust, EditCust, DelCust, the combined search
// SearchCust and the customer grid's column chooser ShowField_Cust.
class CustomerCommands
{
public:
    static void connect(MainFrame &frame, TFrm_Data &data, QWidget *parent);
};
