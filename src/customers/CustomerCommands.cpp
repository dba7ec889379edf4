#include "CustomerCommands.h"

#include "ColumnChooser.h"
#include "CustomerDeletion.h"
#include "MainFrame.h"
#include "TFrm_AddCust.h"
#include "TFrm_Custom.h"
#include "TFrm_S_Cust.h"

void CustomerCommands::connect(MainFrame &frame, TFrm_Data &data, QWidget *parent)
{
    Session &session = frame.session();
    frame.provide("AddCust", parent, [&data, &session, parent] { TFrm_AddCust::AddCust(data, session, parent); });
    frame.provide("EditCust", parent, [&data, &session, parent] { TFrm_AddCust::EditCust(data, session, parent); });
    frame.provide("DelCust", parent,
                  [&data] { CustomerDeletion::DelCust(data, Frm_Custom ? Frm_Custom->Grid_Cust() : nullptr); });
    frame.provide("SearchCust", parent, [&data, &frame, parent] { TFrm_S_Cust::SearchCust(data, frame, parent); });
    frame.provide("ShowField_Cust", parent, [parent] { ColumnChooser::open(parent, QStringLiteral("Custom")); });
}
