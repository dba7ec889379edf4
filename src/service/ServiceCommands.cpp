#include "ServiceCommands.h"

#include "MainFrame.h"
#include "TFrm_AddBill.h"
#include "TFrm_AddContact.h"
#include "TFrm_AddSchedule.h"
#include "TFrm_Awoke.h"


void ServiceCommands::connect(MainFrame &frame, TFrm_Data &data, QWidget *parent)
{
    Session &session = frame.session();
    const auto on = [&frame, parent](const char *name, std::function<void()> handler) {
        frame.provide(name, parent, std::move(handler));
    };
    on("AddContact", [&data, &session, parent] { TFrm_AddContact::AddContact(data, session, parent); });
    on("EditContact", [&data, &session, parent] { TFrm_AddContact::EditContact(data, session, parent); });
    on("DelContact", [&data] { TFrm_AddContact::DelContact(data); });
    on("AddSchedule", [&data, &session, parent] { TFrm_AddSchedule::AddSchedule(data, session, parent); });
    on("EditSchedule", [&data, &session, parent] { TFrm_AddSchedule::EditSchedule(data, session, parent); });
    on("DelSchedule", [&data] { TFrm_AddSchedule::DelSchedule(data); });
    on("AddBill", [&data, &session, parent] { TFrm_AddBill::AddBill(data, session, parent); });
    on("EditBill", [&data, &session, parent] { TFrm_AddBill::EditBill(data, session, parent); });
    on("DelBill", [&data] { TFrm_AddBill::DelBill(data); });
    on("M_Awoke", [&data, &session, parent] { TFrm_Awoke::M_Awoke(data, session, parent); });
}
