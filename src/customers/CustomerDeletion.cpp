#include "CustomerDeletion.h"

#include "DataGrid.h"
#include "MessageBoxes.h"
#include "TFrm_Data.h"

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
    const QVariantList codes = customerGrid->selectedValues(QStringLiteral("CustCode"));
    const int position = customers->currentRow();
    for (int i = 0; i < ids.size(); ++i) {
        const QVariantMap code{{QStringLiteral(":code"), codes[i]}};
        bool ok = data.beginTransaction();
        for (const char *table : {"contact", "T_Schedule", "T_Bill"})
            ok = ok && data.TryStatement(data.Qry_Temp, QStringLiteral("delete from %1 where CustCode = :code").arg(QLatin1String(table)), code);
        ok = ok && data.TryStatement(data.Qry_Temp, QStringLiteral("delete from custom where CustID = :id"),
                                     {{QStringLiteral(":id"), ids[i]}});
        if (!ok || !data.commit()) {
            data.rollback();
            MessageBoxes::dialog(MessageBoxes::DialogType::Confirmation, QStringLiteral("删除记录失败!"), QMessageBox::Ok);
        }
    }
    customers->reopen();
    customers->setCurrentRow(qMin(position, customers->recordCount() - 1));
}
