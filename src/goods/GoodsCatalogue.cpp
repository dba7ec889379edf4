#include "GoodsCatalogue.h"

#include "DatabaseErrors.h"
#include "MessageBoxes.h"
#include "TFrm_Data.h"

#include <QSqlQuery>
#include <QStringList>

namespace {

QString codeOf(const GoodsCatalogue::Record &record)
{
    for (const auto &field : record) {
        if (field.first.compare(QLatin1String("GoodsCode"), Qt::CaseInsensitive) == 0)
            return field.second.toString();
    }
    return QString();
}

// ":f0", ":f1", ... for the record's values, in its order.
QVariantMap bindsOf(const GoodsCatalogue::Record &record, QStringList *placeholders)
{
    QVariantMap binds;
    for (int i = 0; i < record.size(); ++i) {
        placeholders->append(QStringLiteral(":f%1").arg(i));
        binds.insert(placeholders->last(), record[i].second);
    }
    return binds;
}

} // namespace

bool GoodsCatalogue::codeTaken(const QString &code, const QVariant &exceptKey)
{
    QSqlQuery query(m_data.database());
    QSqlError error;
    if (!m_data.connection().exec(query, QStringLiteral("select GoodsID from T_Goods where GoodsCode = :code"),
                                  {{QStringLiteral(":code"), code}}, DbConnection::Access::Read, &error)) {
        MessageBoxes::error(DatabaseErrors::reason(error));
        return true;
    }
    while (query.next()) {
        if (exceptKey.isNull() || query.value(0).toLongLong() != exceptKey.toLongLong())
            return true;
    }
    return false;
}

QString GoodsCatalogue::categoryName(const QString &code)
{
    QSqlQuery query(m_data.database());
    QSqlError error;
    if (!m_data.connection().exec(query, QStringLiteral("select name from Goods_Category where code = :code order by CategoryID"),
                                  {{QStringLiteral(":code"), code}}, DbConnection::Access::Read, &error)) {
        MessageBoxes::error(DatabaseErrors::reason(error));
        return QString();
    }
    return query.next() ? query.value(0).toString() : QString();
}

bool GoodsCatalogue::execute(const QString &sql, const QVariantMap &binds)
{
    return m_data.execute(sql, binds, &m_error);
}

GoodsCatalogue::Outcome GoodsCatalogue::rollback(Outcome outcome)
{
    m_data.rollback();
    return outcome;
}

bool GoodsCatalogue::readStored(const QVariant &key, QString *code, QVariant *version, Outcome *failure)
{
    QSqlQuery stored(m_data.database());
    *failure = Outcome::Failed;
    if (!m_data.connection().exec(stored,
                                  QStringLiteral("select GoodsCode, RowVersion from T_Goods where GoodsID = :key")
                                      + m_data.dialect().lockRowsClause(),
                                  {{QStringLiteral(":key"), key}}, DbConnection::Access::Read, &m_error))
        return false;
    *failure = Outcome::Gone;
    if (!stored.next())
        return false;
    *code = stored.value(0).toString();
    *version = stored.value(1);
    return true;
}

GoodsCatalogue::Outcome GoodsCatalogue::commitUnlessTaken(const QString &code)
{
    // Counted after the write, in its transaction: of two workstations writing one code at
    // once, the second sees the first one's row.
    QSqlQuery count(m_data.database());
    if (!m_data.connection().exec(count, QStringLiteral("select count(*) from T_Goods where GoodsCode = :code"),
                                  {{QStringLiteral(":code"), code}}, DbConnection::Access::Read, &m_error)
        || !count.next())
        return rollback(Outcome::Failed);
    if (count.value(0).toInt() > 1)
        return rollback(Outcome::CodeTaken);
    return m_data.commit(&m_error) ? Outcome::Written : rollback(Outcome::Failed);
}

GoodsCatalogue::Outcome GoodsCatalogue::insert(const Record &record, QVariant *key)
{
    m_error = QSqlError();
    QStringList columns, placeholders;
    for (const auto &field : record)
        columns << field.first;
    const QVariantMap binds = bindsOf(record, &placeholders);
    if (!m_data.beginTransaction(&m_error))
        return Outcome::Failed;
    QSqlQuery insert(m_data.database());
    if (!m_data.connection().exec(insert,
                                  QStringLiteral("insert into T_Goods (%1) values (%2)")
                                      .arg(columns.join(QStringLiteral(", ")), placeholders.join(QStringLiteral(", "))),
                                  binds, DbConnection::Access::Write, &m_error))
        return rollback(Outcome::Failed);
    *key = insert.lastInsertId();
    return commitUnlessTaken(codeOf(record));
}

GoodsCatalogue::Outcome GoodsCatalogue::update(const QVariant &key, const QVariant &version, const Record &record)
{
    m_error = QSqlError();
    QStringList placeholders, assignments;
    QVariantMap binds = bindsOf(record, &placeholders);
    for (int i = 0; i < record.size(); ++i)
        assignments << record[i].first + QStringLiteral(" = ") + placeholders[i];
    binds.insert(QStringLiteral(":key"), key);
    const QString newCode = codeOf(record);
    if (!m_data.beginTransaction(&m_error))
        return Outcome::Failed;
    QString storedCode;
    QVariant storedVersion;
    Outcome failure;
    if (!readStored(key, &storedCode, &storedVersion, &failure))
        return rollback(failure);
    if (storedVersion.toLongLong() != version.toLongLong())
        return rollback(Outcome::ChangedElsewhere);
    if (!execute(QStringLiteral("update T_Goods set %1 where GoodsID = :key").arg(assignments.join(QStringLiteral(", "))), binds))
        return rollback(Outcome::Failed);
    // Exact comparison: a code differing only in letter case is another code.
    if (newCode == storedCode)
        return m_data.commit(&m_error) ? Outcome::Written : rollback(Outcome::Failed);
    if (!execute(QStringLiteral("update T_BillDetail set GoodsCode = :new where GoodsCode = :old"),
                 {{QStringLiteral(":new"), newCode}, {QStringLiteral(":old"), storedCode}}))
        return rollback(Outcome::Failed);
    return commitUnlessTaken(newCode);
}

GoodsCatalogue::Outcome GoodsCatalogue::remove(const QVariant &key)
{
    m_error = QSqlError();
    if (!m_data.beginTransaction(&m_error))
        return Outcome::Failed;
    QString code;
    QVariant version;
    Outcome failure;
    if (!readStored(key, &code, &version, &failure))
        return rollback(failure);
    if (!execute(QStringLiteral("delete from T_BillDetail where GoodsCode = :code"), {{QStringLiteral(":code"), code}})
        || !execute(QStringLiteral("delete from T_Goods where GoodsID = :key"), {{QStringLiteral(":key"), key}}))
        return rollback(Outcome::Failed);
    return m_data.commit(&m_error) ? Outcome::Written : rollback(Outcome::Failed);
}
