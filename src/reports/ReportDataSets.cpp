#include "ReportDataSets.h"

#include "DataSet.h"
#include "TFrm_Data.h"

#include <QSqlDatabase>
#include <functional>

namespace {

const QStringList customerFields{
    "CustID", "CustCode", "Company", "airframe", "Type", "model", "taishu", "retail", "money", "Address",
    "largess", "Mobile", "Tel", "number", "largessb", "numberB", "gathering", "place", "buydate", "depart",
    "installdate", "batch", "billcode", "people", "memo", "isgathering", "isuseing", "f_user", "pinyin"};
const QStringList orderFields{
    "ScheduleID", "CustCode", "Subject", "Type", "Company", "Contact", "StartDate", "Memo", "F_User",
    "Awoke", "AwokeDate", "code", "reason", "repairdate", "finishdate", "engineer", "number", "price",
    "money", "fee", "depart", "danhao", "jieguo", "tel", "address", "zt"};
const QStringList goodsLineFields{
    "BillDetailID", "batch", "GoodsCode", "GoodsName", "Units", "Number", "SalePrice", "Discount",
    "SaleMoney", "GoodsUnit", "Memo"};

// Columns of a query for the offered fields, in their order (-1: the query has no such column).
QVector<int> columnsOf(const DataSet &query, const QStringList &fields)
{
    QVector<int> columns;
    for (const QString &field : fields)
        columns << query.fieldIndex(field);
    return columns;
}

} // namespace

// The customers, read through Qry_Cust by row, a window of rows at a time.
class ReportDataSets::Customers : public ReportDataSource
{
public:
    // all: every row of the query; else the given rows.
    Customers(DataSet &query, bool all, QList<int> rows) : m_query(query), m_rows(std::move(rows)), m_all(all) {}

    QString name() const override { return QStringLiteral("S"); }
    QStringList fieldNames() const override { return customerFields; }
    int rowCount() override { return m_all ? m_query.recordCount() : m_rows.size(); }
    void setRow(int row) override
    {
        m_row = row;
        for (const auto &listener : m_listeners)
            listener();
    }
    QVariant value(int field) override
    {
        if (m_columns.isEmpty())
            m_columns = columnsOf(m_query, customerFields);
        const int row = m_all ? m_row : m_rows.value(m_row, -1);
        return m_query.value(row, m_columns.value(field, -1));
    }

    // The current customer's value of a column, for the queries that follow it.
    QVariant valueOf(const QString &field) { return value(fieldIndex(field)); }
    void onRowChange(std::function<void()> listener) { m_listeners.push_back(std::move(listener)); }

private:
    DataSet &m_query;
    QList<int> m_rows;
    bool m_all;
    int m_row = -1;
    QVector<int> m_columns;
    std::vector<std::function<void()>> m_listeners;
};

// Rows that follow the customer being printed: a query of its own with the statement, bound
// values and order of the shared query it stands for, re-opened when first read after the
// customer changed.
class ReportDataSets::Details : public ReportDataSource
{
public:
    struct Link
    {
        const DataSet &shared;
        QString table;
        QString key;
        QString field;      // the customer's column the rows follow
    };

    Details(const QString &name, const QStringList &fields, const Link &link, Customers &customers, TFrm_Data &data)
        : m_name(name), m_fields(fields), m_link(link.field), m_customers(customers),
          m_query(data.makeDataSet(name, QString(), nullptr))
    {
        // The shared query's statement when it follows the customer; else all rows of the customer.
        const QString placeholder = QLatin1Char(':') + link.field;
        const bool follows = link.shared.statement().contains(placeholder, Qt::CaseInsensitive);
        QString sort = link.key;
        if (follows) {
            m_query->setStatement(link.shared.statement());
            const QVariantMap binds = link.shared.boundValues();
            for (auto it = binds.cbegin(); it != binds.cend(); ++it)
                m_query->bindValue(it.key(), it.value());
            if (!link.shared.sort().isEmpty())
                sort = link.shared.sort() + QStringLiteral(", ") + link.key;
        } else {
            m_query->setStatement(QStringLiteral("select * from %1 where %2 = %3").arg(link.table, link.field, placeholder));
        }
        // "The first order" is the first one the browser lists, the same on every engine.
        m_query->setSort(sort);
        customers.onRowChange([this] { m_stale = true; });
    }

    QString name() const override { return m_name; }
    QStringList fieldNames() const override { return m_fields; }
    int rowCount() override
    {
        refresh();
        return m_query->recordCount();
    }
    void setRow(int row) override
    {
        refresh();
        m_query->setCurrentRow(row);
    }
    QVariant value(int field) override
    {
        refresh();
        return m_query->value(m_query->currentRow(), m_columns.value(field, -1));
    }

private:
    void refresh()
    {
        if (!m_stale)
            return;
        m_stale = false;
        m_query->bindValue(QLatin1Char(':') + m_link, m_customers.valueOf(m_link));
        m_query->open();
        if (m_columns.isEmpty())
            m_columns = columnsOf(*m_query, m_fields);
    }

    QString m_name;
    QStringList m_fields;
    QString m_link;
    Customers &m_customers;
    std::unique_ptr<DataSet> m_query;
    QVector<int> m_columns;
    bool m_stale = true;
};

ReportDataSets::ReportDataSets(TFrm_Data &data, Scope scope, const QList<int> &selectedRows)
{
    DataSet &customers = *data.Qry_Cust;
    // A list that is closed is opened; an open one is printed as it stands.
    if (!customers.isOpen())
        customers.open();
    QList<int> rows = scope == Scope::SelectedCustomers ? selectedRows : QList<int>();
    // Without a selection the customer the list stands on is the one chosen.
    if (rows.isEmpty())
        rows << customers.currentRow();
    rows.removeAll(-1);
    m_customers = std::make_unique<Customers>(customers, scope == Scope::AllCustomers, rows);
    m_details.push_back(std::make_unique<Details>(
        QStringLiteral("w"), orderFields,
        Details::Link{*data.Qry_Schedule, QStringLiteral("T_Schedule"), QStringLiteral("ScheduleID"), QStringLiteral("CustCode")},
        *m_customers, data));
    m_details.push_back(std::make_unique<Details>(
        QStringLiteral("MX"), goodsLineFields,
        Details::Link{*data.Qry_BillDetail, QStringLiteral("T_BillDetail"), QStringLiteral("BillDetailID"), QStringLiteral("batch")},
        *m_customers, data));
}

ReportDataSets::~ReportDataSets() = default;

QList<ReportDataSource *> ReportDataSets::sources() const
{
    QList<ReportDataSource *> list{m_customers.get()};
    for (const auto &details : m_details)
        list << details.get();
    return list;
}

QStringList ReportDataSets::dataSetNames()
{
    return {QStringLiteral("S"), QStringLiteral("w"), QStringLiteral("MX")};
}

QStringList ReportDataSets::fieldNames(const QString &dataSet)
{
    if (dataSet.compare(QLatin1String("S"), Qt::CaseInsensitive) == 0)
        return customerFields;
    if (dataSet.compare(QLatin1String("w"), Qt::CaseInsensitive) == 0)
        return orderFields;
    if (dataSet.compare(QLatin1String("MX"), Qt::CaseInsensitive) == 0)
        return goodsLineFields;
    return {};
}
