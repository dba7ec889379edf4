#include "AccessCommands.h"

#include "MainFrame.h"
#include "TFrm_ChangePass.h"
#include "TFrm_UserList.h"

void AccessCommands::connect(MainFrame &frame, TFrm_Data &data, QWidget *parent)
{
    Session &session = frame.session();
    frame.provide("M_UserList", parent, [&data, &session, parent] { TFrm_UserList::M_UserList(data, session, parent); });
    frame.provide("N31", parent, [&data, &session, parent] { TFrm_ChangePass::N31Click(data, session, parent); });
}
