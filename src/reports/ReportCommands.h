#pragma once

class MainFrame;
class QWidget;
class TFrm_Data;

// The main window's commands of the printed forms: printing the four forms (PrintBill,
// printwx, P_Label, P_CustBasic) and designing them (N55, N46, N53, N29).
namespace ReportCommands {
// Connects the commands to their handlers; windows open over parent.
void connect(MainFrame &frame, TFrm_Data &data, QWidget *parent);
}
