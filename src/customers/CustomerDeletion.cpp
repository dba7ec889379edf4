#include "CustomerDeletion.h"

#include "DataGrid.h"
#include "DatabaseErrors.h"
#include "MessageBoxes.h"
#include "TFrm_Data.h"

#include <QSqlQuery>

namespace {

// One customer with its visits, orders and complaints, all or nothing. The code is read
// inside the transaction: another workstation may have changed it since the list was read.
bool deleteCustomer(TFrm_Data &data, const QVariant &id, QSqlError *error)
{
    if (!data.beginTransaction(error))
        return false;
    QSqlQuery customer(data.database());
    const bool read = data.connection().exec(customer,
                                             QStringLiteral("select CustCode from custom where CustID = :id")
                                                 + data.dialect().lockRowsClause(),
                                             {{QStringLiteral(":id"), id}}, DbConnection::Access::Read, error);
    if (!read) {
        data.rollback();
        return false;
    }
    if (!customer.next()) {
        data.rollback();   // deleted elsewhere already: nothing left to do
        return true;
    }
    const QVariantMap code{{QStringLiteral(":code"), customer.value(0)}};
    bool ok = true;
    for (const char *table : {"contact", "T_Schedule", "T_Bill"})
        ok = ok && data.execute(QStringLiteral("delete from %1 where CustCode = :code").arg(QLatin1String(table)), code, error);
    ok = ok && data.execute(QStringLiteral("delete from custom where CustID = :id"), {{QStringLiteral(":id"), id}}, error)
         && data.commit(error);
    if (!ok)
        data.rollback();
    return ok;
}

} // namespace

void CustomerDeletion::DelCust(TFrm_Data &data, DataGrid *customerGrid)
{
    DataSet *customers = data.Qry_Cust;
    if (!customerGrid || customers->isEmpty())
        return;
    if (MessageBoxes::box(QStringLiteral("确定要删除该用户记录吗！"), QStringLiteral("警告"), QMessageBox::Information,
                          QMessageBox::Yes | QMessageBox::No)
        != QMessageBox::Yes)
        return;
    const QVariantList ids = customerGrid->selectedValues(QStringLiteral("CustID"));
    const int position = customers->currentRow();
    for (const QVariant &id : ids) {
        QSqlError error;
        if (!deleteCustomer(data, id, &error))
            MessageBoxes::dialog(MessageBoxes::DialogType::Confirmation,
                                 DatabaseErrors::withReason(QStringLiteral("删除记录失败!"), error), QMessageBox::Ok);
    }
    customers->reopen();
    customers->setCurrentRow(qMin(position, customers->recordCount() - 1));
}
