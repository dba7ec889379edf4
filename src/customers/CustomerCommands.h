#pragma once

class MainFrame;
class QWidget;
class TFrm_Data;

// The main window's customer commands: AddCust, EditCust and DelCust.
class CustomerCommands
{
public:
    static void connect(MainFrame &frame, TFrm_Data &data, QWidget *parent);
};
