#pragma once

#include "ReportDataSource.h"

#include <QList>
#include <QStringList>
#include <memory>
#include <vector>

class DataSet;
class TFrm_Data;

// The data sets the printed forms read, over the data module's shared queries:
//   S   the customers of the list the browser shows (Qry_Cust), all of them or a choice;
//   w   the orders of the customer being printed, standing on the first (as Qry_Schedule);
//   MX  the goods lines of that customer's installation order (as Qry_BillDetail).
// The shared queries keep their current rows: w and MX are read on queries of their own
// with the same statements, and only when a template prints from them.
class ReportDataSets
{
public:
    enum class Scope { AllCustomers, CurrentCustomer, SelectedCustomers };

    // selectedRows: rows of Qry_Cust for SelectedCustomers.
    explicit ReportDataSets(TFrm_Data &data, Scope scope = Scope::AllCustomers, const QList<int> &selectedRows = {});
    ~ReportDataSets();

    QList<ReportDataSource *> sources() const;

    // The names and fields offered to templates, for the designer's field list.
    static QStringList dataSetNames();
    static QStringList fieldNames(const QString &dataSet);

private:
    class Customers;
    class Details;

    std::unique_ptr<Customers> m_customers;
    std::vector<std::unique_ptr<Details>> m_details;
};
