#include "ReportCommands.h"

#include "MainFrame.h"
#include "ReportDesigner.h"
#include "ReportPreview.h"
#include "TFrm_Data.h"

void ReportCommands::connect(MainFrame &frame, TFrm_Data &data, QWidget *parent)
{
    const std::pair<const char *, Report *> printed[] = {
        {"PrintBill", &data.frx_AN}, {"printwx", &data.frx_wx}, {"P_Label", &data.frx_label}, {"P_CustBasic", &data.frx_user}};
    for (const auto &[command, report] : printed)
        frame.provide(command, parent, [&data, report = report, parent] { ReportPreview::PrintReport(data, *report, parent); });
    const std::pair<const char *, Report *> designed[] = {
        {"N55", &data.frx_AN}, {"N46", &data.frx_wx}, {"N53", &data.frx_label}, {"N29", &data.frx_user}};
    for (const auto &[command, report] : designed)
        frame.provide(command, parent, [&data, report = report, parent] { ReportDesigner::DesignReport(data, *report, parent); });
}
