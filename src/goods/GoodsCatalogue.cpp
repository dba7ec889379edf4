#include "GoodsCatalogue.h"

#include "MessageBoxes.h"
#include "TFrm_Data.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

namespace {

const QString GoneText = QStringLiteral("这条商品记录已被其他工作站删除。");

QString codeOf(const GoodsCatalogue::Record &record)
{
    for (const auto &field : record) {
        if (field.first.compare(QLatin1String("GoodsCode"), Qt::CaseInsensitive) == 0)
            return field.second.toString();
    }
    return QString();
}

} // namespace

GoodsCatalogue::GoodsCatalogue(TFrm_Data &data) : m_data(data) {}

GoodsCatalogue::~GoodsCatalogue() = default;

bool GoodsCatalogue::codeTaken(const QString &code, const QVariant &exceptKey)
{
    QSqlQuery query(m_data.database());
    query.prepare(QStringLiteral("select GoodsID from T_Goods where GoodsCode = ?"));
    query.addBindValue(code);
    if (!query.exec()) {
        MessageBoxes::error(query.lastError().text());
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
    query.prepare(QStringLiteral("select name from Goods_Category where code = ? order by CategoryID"));
    query.addBindValue(code);
    if (!query.exec()) {
        MessageBoxes::error(query.lastError().text());
        return QString();
    }
    return query.next() ? query.value(0).toString() : QString();
}

bool GoodsCatalogue::begin()
{
    m_error.clear();
    if (!m_data.beginTransaction()) {
        m_error = m_data.database().lastError().text();
        return false;
    }
    m_query = std::make_unique<QSqlQuery>(m_data.database());
    return true;
}

bool GoodsCatalogue::run(const QString &sql, const QVariantList &values)
{
    m_query->prepare(sql);
    for (const QVariant &value : values)
        m_query->addBindValue(value);
    if (m_query->exec())
        return true;
    m_error = m_query->lastError().text();
    return false;
}

GoodsCatalogue::Outcome GoodsCatalogue::commit()
{
    m_query.reset();
    if (m_data.commit())
        return Outcome::Written;
    m_error = m_data.database().lastError().text();
    return rollback(Outcome::Failed);
}

GoodsCatalogue::Outcome GoodsCatalogue::rollback(Outcome outcome)
{
    m_data.rollback();
    m_query.reset();
    return outcome;
}

bool GoodsCatalogue::lockCurrentCode(const QVariant &key, QString *code)
{
    if (!run(QStringLiteral("select GoodsCode from T_Goods where GoodsID = ?") + m_data.dialect().lockRowsRead(), {key}))
        return false;
    if (!m_query->next()) {
        m_error = GoneText;
        return false;
    }
    *code = m_query->value(0).toString();
    return true;
}

GoodsCatalogue::Outcome GoodsCatalogue::finishWithCode(const QString &code)
{
    // Counted after the write, in its transaction: of two workstations writing one code at
    // once, the second to count sees the first one's row.
    if (!run(QStringLiteral("select count(*) from T_Goods where GoodsCode = ?"), {code}) || !m_query->next())
        return rollback(Outcome::Failed);
    if (m_query->value(0).toInt() > 1)
        return rollback(Outcome::CodeTaken);
    return commit();
}

GoodsCatalogue::Outcome GoodsCatalogue::insert(const Record &record, QVariant *key)
{
    QStringList columns;
    QVariantList values;
    for (const auto &field : record) {
        columns << field.first;
        values << field.second;
    }
    if (!begin())
        return Outcome::Failed;
    if (!run(QStringLiteral("insert into T_Goods (%1) values (%2)")
                 .arg(columns.join(QStringLiteral(", ")),
                      QStringList(columns.size(), QStringLiteral("?")).join(QStringLiteral(", "))),
             values))
        return rollback(Outcome::Failed);
    *key = m_query->lastInsertId();
    return finishWithCode(codeOf(record));
}

GoodsCatalogue::Outcome GoodsCatalogue::update(const QVariant &key, const Record &record)
{
    QStringList assignments;
    QVariantList values;
    for (const auto &field : record) {
        assignments << field.first + QStringLiteral(" = ?");
        values << field.second;
    }
    values << key;
    const QString newCode = codeOf(record);
    if (!begin())
        return Outcome::Failed;
    QString currentCode;
    if (!lockCurrentCode(key, &currentCode)
        || !run(QStringLiteral("update T_Goods set %1 where GoodsID = ?").arg(assignments.join(QStringLiteral(", "))), values))
        return rollback(Outcome::Failed);
    // Exact comparison: a code differing only in letter case is another code.
    if (currentCode == newCode)
        return commit();
    if (!run(QStringLiteral("update T_BillDetail set GoodsCode = ? where GoodsCode = ?"), {newCode, currentCode}))
        return rollback(Outcome::Failed);
    return finishWithCode(newCode);
}

bool GoodsCatalogue::remove(const QVariant &key)
{
    if (!begin())
        return false;
    QString code;
    if (!lockCurrentCode(key, &code) || !run(QStringLiteral("delete from T_BillDetail where GoodsCode = ?"), {code})
        || !run(QStringLiteral("delete from T_Goods where GoodsID = ?"), {key})) {
        rollback(Outcome::Failed);
        return false;
    }
    return commit() == Outcome::Written;
}
