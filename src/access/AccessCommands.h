#pragma once

class MainFrame;
class QWidget;
class TFrm_Data;

// The main window's commands of operators and passwords.
namespace AccessCommands {
void connect(MainFrame &frame, TFrm_Data &data, QWidget *parent);
}
