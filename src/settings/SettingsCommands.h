#pragma once

class MainFrame;
class QWidget;
class TFrm_Data;

// The main window's commands of the options and the company information.
namespace SettingsCommands {
void connect(MainFrame &frame, TFrm_Data &data, QWidget *parent);
}
