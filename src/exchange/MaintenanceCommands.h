#pragma once

class MainFrame;
class QWidget;
class TFrm_Data;

// The main window's commands that look after the database as a whole: backup and restore,
// compaction, data initialisation.
namespace MaintenanceCommands {
// Connects the commands to their handlers; windows open over parent.
void connect(MainFrame &frame, TFrm_Data &data, QWidget *parent);
// Compaction: the document windows close, then the database is compacted and checked.
void M_CompactDB(MainFrame &frame, TFrm_Data &data, QWidget *parent);
} // namespace MaintenanceCommands
