#include "MaintenanceCommands.h"

#include "DatabaseCompaction.h"
#include "MainFrame.h"
#include "MessageBoxes.h"
#include "ProgressWindow.h"
#include "TFrm_Backup.h"
#include "TFrm_ClearData.h"

#include <QAction>

void MaintenanceCommands::M_CompactDB(MainFrame &frame, TFrm_Data &data, QWidget *parent)
{
    frame.closeChildWindows();
    QString reason;
    bool compacted;
    {
        ProgressWindow progress(parent, QStringLiteral("压缩和修复数据库"));
        progress.callback()(QStringLiteral("正在压缩数据库…"), 0, 0);
        compacted = DatabaseCompaction::run(data, &reason);
    }
    if (compacted)
        MessageBoxes::plain(QStringLiteral("压缩数据库成功!"));
    else
        MessageBoxes::plain(QStringLiteral("压缩数据库失败!\n") + reason);
}

void MaintenanceCommands::connect(MainFrame &frame, TFrm_Data &data, QWidget *parent)
{
    frame.provide("M_Backup", parent, [&frame, &data, parent] { TFrm_Backup::M_Backup(data, &frame, parent); });
    frame.provide("M_CompactDB", parent, [&frame, &data, parent] { M_CompactDB(frame, data, parent); });
    QAction *compact = frame.command(QStringLiteral("M_CompactDB"));
    frame.provide("Sys_Compact", parent, [compact] { compact->trigger(); });
    frame.provide("M_ClearData", parent, [&frame, &data, parent] {
        TFrm_ClearData::M_ClearData(data, frame.command(QStringLiteral("M_Backup")), parent);
    });
}
