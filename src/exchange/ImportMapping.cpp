#include "ImportMapping.h"

#include "TFrm_Data.h"

namespace {
constexpr int HeaderLength = 50;
}

QString ImportMapping::storedHeader(const QString &header)
{
    return header.trimmed().isEmpty() ? QStringLiteral(" ") : header.left(HeaderLength);
}

bool ImportMapping::prefill(TFrm_Data &data, const QString &table, const QStringList &headers)
{
    if (!data.RunQuery(data.Qry_Import, QStringLiteral("select * from T_Import where tablename = :table order by ImportID"),
                       {{QStringLiteral(":table"), table}}))
        return false;
    QVariantList ids;
    for (int row = 0; row < data.Qry_Import->recordCount() && row < headers.size(); ++row)
        ids << data.Qry_Import->value(row, QStringLiteral("ImportID"));
    data.beginTransaction();
    for (int i = 0; i < ids.size(); ++i) {
        if (!data.RunStatement(data.Qry_Temp, QStringLiteral("update T_Import set F_Field = :header where ImportID = :id"),
                               {{QStringLiteral(":header"), storedHeader(headers[i])}, {QStringLiteral(":id"), ids[i]}})) {
            data.rollback();
            return false;
        }
    }
    return data.commit();
}

QList<CustomerImport::Pair> ImportMapping::activePairs(TFrm_Data &data, const QString &table)
{
    QList<CustomerImport::Pair> pairs;
    if (!data.RunQuery(data.Qry_Import,
                       QStringLiteral("select F_Field, S_Field from T_Import where tablename = :table order by ImportID"),
                       {{QStringLiteral(":table"), table}}))
        return pairs;
    for (int row = 0; row < data.Qry_Import->recordCount(); ++row) {
        const QString header = data.Qry_Import->value(row, QStringLiteral("F_Field")).toString();
        if (!header.trimmed().isEmpty())
            pairs.append({header, data.Qry_Import->value(row, QStringLiteral("S_Field")).toString()});
    }
    return pairs;
}
