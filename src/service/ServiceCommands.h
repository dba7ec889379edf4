#pragma once

class MainFrame;
class QWidget;
class TFrm_Data;

// The main window's commands of the service records: return visits, orders, complaints and
// the reminder window.
namespace ServiceCommands {
// Connects the commands to their handlers; windows open over parent.
void connect(MainFrame &frame, TFrm_Data &data, QWidget *parent);
}
