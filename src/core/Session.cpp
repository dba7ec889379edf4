#include "Session.h"

#include "GbkText.h"
#include "TFrm_Data.h"

Session::Session(QObject *parent) : QObject(parent) {}

bool Session::permission(int slot) const
{
    return slot >= 1 && slot <= SlotCount && m_slots[slot];
}

void Session::logIn(const QString &name)
{
    m_operatorName = GbkText::leftBytes(name.trimmed(), OperatorNameBytes);
    emit loggedIn();
}

bool Session::loadPermissions(TFrm_Data &data)
{
    m_slots.fill(false);
    if (!data.RunQuery(data.Qry_Temp,
                       QStringLiteral("select * from T_UserAuthority where UserName = :name order by UserAuthorityID"),
                       {{QStringLiteral(":name"), m_operatorName}}))
        return false;
    DataSet *rows = data.Qry_Temp;
    for (int row = 0; row < rows->recordCount() && row < SlotCount; ++row)
        m_slots[row + 1] = rows->value(row, QStringLiteral("Authority")).toBool();
    return true;
}
