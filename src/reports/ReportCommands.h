#pragma once

class MainFrame;
class QWidget;
class TFrm_Data;

// The main window's analysis commands: weixiu, the repair order analysis.
class ReportCommands
{
public:
    static void connect(MainFrame &frame, TFrm_Data &data, QWidget *parent);
};
