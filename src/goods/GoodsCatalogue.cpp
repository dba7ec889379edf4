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

bool GoodsCatalogue::run(const QString &sql, const QVariantList &values)
{
    QSqlQuery query(m_data.database());
    query.prepare(sql);
    for (const QVariant &value : values)
        query.addBindValue(value);
    if (!query.exec()) {
        m_error = query.lastError().text();
        return false;
    }
    return true;
}

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
    QSqlQuery query(m_data.database());
    query.prepare(QStringLiteral("insert into T_Goods (%1) values (%2)")
                      .arg(columns.join(QStringLiteral(", ")),
                           QStringList(columns.size(), QStringLiteral("?")).join(QStringLiteral(", "))));
    for (const QVariant &value : std::as_const(values))
        query.addBindValue(value);
    if (!query.exec()) {
        m_error = query.lastError().text();
        return rollback(Outcome::Failed);
    }
    *key = query.lastInsertId();
    query.finish();
    return finishWithCode(codeOf(record));
}

GoodsCatalogue::Outcome GoodsCatalogue::finishWithCode(const QString &code)
{
    // Tested after the write, in its transaction: of two workstations writing one code at
    // once, the second to get here sees the first one's row.
    QSqlQuery count(m_data.database());
    count.prepare(QStringLiteral("select count(*) from T_Goods where GoodsCode = ?"));
    count.addBindValue(code);
    if (!count.exec() || !count.next()) {
        m_error = count.lastError().text();
        return rollback(Outcome::Failed);
    }
    if (count.value(0).toInt() > 1)
        return rollback(Outcome::CodeTaken);
    count.finish();
    return commit() ? Outcome::Written : rollback(Outcome::Failed);
}

bool GoodsCatalogue::begin()
{
    m_error.clear();
    if (m_data.beginTransaction())
        return true;
    m_error = m_data.database().lastError().text();
    return false;
}

bool GoodsCatalogue::commit()
{
    if (m_data.commit())
        return true;
    m_error = m_data.database().lastError().text();
    return false;
}

template <typename Result>
Result GoodsCatalogue::rollback(Result result)
{
    m_data.rollback();
    return result;
}

bool GoodsCatalogue::lockCurrentCode(const QVariant &key, QString *code)
{
    QSqlQuery query(m_data.database());
    query.prepare(QStringLiteral("select GoodsCode from T_Goods where GoodsID = ?") + m_data.dialect().lockRowsRead());
    query.addBindValue(key);
    if (!query.exec()) {
        m_error = query.lastError().text();
        return false;
    }
    if (!query.next()) {
        m_error = GoneText;
        return false;
    }
    *code = query.value(0).toString();
    return true;
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
        return commit() ? Outcome::Written : rollback(Outcome::Failed);
    if (!run(QStringLiteral("update T_BillDetail set GoodsCode = ? where GoodsCode = ?"), {newCode, currentCode}))
        return rollback(Outcome::Failed);
    return finishWithCode(newCode);
}

bool GoodsCatalogue::remove(const QVariant &key)
{
    if (!begin())
        return false;
    QString code;
    if (!lockCurrentCode(key, &code)
        || !run(QStringLiteral("delete from T_BillDetail where GoodsCode = ?"), {code})
        || !run(QStringLiteral("delete from T_Goods where GoodsID = ?"), {key}) || !commit())
        return rollback(false);
    return true;
}
