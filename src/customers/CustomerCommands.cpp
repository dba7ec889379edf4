#include "CustomerCommands.h"

#include "CustomerDeletion.h"
#include "GridExport.h"
#include "MainFrame.h"
#include "TFrm_AddCust.h"
#include "TFrm_Custom.h"
#include "TFrm_Data.h"

void CustomerCommands::connect(MainFrame &frame, TFrm_Data &data, QWidget *parent)
{
    Session &session = frame.session();
    frame.provide("AddCust", parent, [&data, &session, parent] { TFrm_AddCust::AddCust(data, session, parent); });
    frame.provide("EditCust", parent, [&data, &session, parent] { TFrm_AddCust::EditCust(data, session, parent); });
    frame.provide("DelCust", parent,
                  [&data] { CustomerDeletion::DelCust(data, Frm_Custom ? Frm_Custom->Grid_Cust() : nullptr); });
    frame.provide("ExportCustCSV", parent, [&data] {
        if (!Frm_Custom)
            return;
        ExportFileName() = QStringLiteral("用户信息列表");
        ExportGridToExcel(data.Qry_Cust, Frm_Custom->Grid_Cust());
    });
}
