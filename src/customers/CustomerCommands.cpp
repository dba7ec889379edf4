#include "CustomerCommands.h"

#include "CustomerDeletion.h"
#include "MainFrame.h"
#include "TFrm_AddCust.h"
#include "TFrm_Custom.h"

#include <QAction>

void CustomerCommands::connect(MainFrame &frame, TFrm_Data &data, QWidget *parent)
{
    Session &session = frame.session();
    QObject::connect(frame.command(QStringLiteral("AddCust")), &QAction::triggered, parent,
                     [&data, &session, parent] { TFrm_AddCust::AddCust(data, session, parent); });
    QObject::connect(frame.command(QStringLiteral("EditCust")), &QAction::triggered, parent,
                     [&data, &session, parent] { TFrm_AddCust::EditCust(data, session, parent); });
    QObject::connect(frame.command(QStringLiteral("DelCust")), &QAction::triggered, parent,
                     [&data] { CustomerDeletion::DelCust(data, Frm_Custom ? Frm_Custom->Grid_Cust() : nullptr); });
}
