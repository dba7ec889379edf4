#include "CategoryTable.h"

#include "SqlDialect.h"
#include "TFrm_Data.h"

#include <QRegularExpression>
#include <QSqlQuery>
#include <QVector>

namespace {

QString prefixPattern(const QString &prefix)
{
    return SqlDialect::escapeLike(prefix) + QLatin1Char('%');
}

QString twoDigits(int part)
{
    return QString::number(part).rightJustified(2, QLatin1Char('0'));
}

} // namespace

CategoryTable::CategoryTable(TFrm_Data &data, const QString &table) : m_data(data)
{
    // The name goes into the statements as text.
    static const QRegularExpression identifier(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    if (identifier.match(table).hasMatch())
        m_table = table;
}

bool CategoryTable::count(const QString &condition, const QVariantMap &binds, int *result)
{
    if (!isValid())
        return false;
    QSqlQuery query(m_data.database());
    const QString sql = QStringLiteral("select count(*) from %1").arg(m_table)
                      + (condition.isEmpty() ? QString() : QStringLiteral(" where ") + condition);
    if (!m_data.connection().exec(query, sql, binds, DbConnection::Access::Read, &m_error) || !query.next())
        return false;
    *result = query.value(0).toInt();
    return true;
}

bool CategoryTable::codes(int length, const QString &prefix, QStringList *result)
{
    if (!isValid())
        return false;
    QSqlQuery query(m_data.database());
    const QString sql = QStringLiteral("select code from %1 where %2 = :length and code like :prefix escape '\\'")
                            .arg(m_table, m_data.dialect().textLength(QStringLiteral("code")));
    if (!m_data.connection().exec(query, sql, {{QStringLiteral(":length"), length}, {QStringLiteral(":prefix"), prefixPattern(prefix)}},
                                  DbConnection::Access::Read, &m_error))
        return false;
    result->clear();
    while (query.next())
        *result << query.value(0).toString();
    return true;
}

int CategoryTable::nextFreePart(const QStringList &codes)
{
    QVector<bool> used(LevelSize + 1, false);
    int highest = 0;
    for (const QString &code : codes) {
        bool ok = false;
        const int part = code.right(2).toInt(&ok);
        if (ok && part >= 1 && part <= LevelSize) {
            used[part] = true;
            highest = qMax(highest, part);
        }
    }
    if (highest < LevelSize)
        return highest + 1;
    // The level is used up to its end: a code freed by a deletion is given out again.
    for (int part = 1; part < LevelSize; ++part) {
        if (!used[part])
            return part;
    }
    return 0;
}

CategoryTable::Proposal CategoryTable::proposeCode(const QString &baseCode, bool asChild, QString *code)
{
    int rows = 0;
    if (!count(QString(), {}, &rows))
        return Proposal::Failed;
    if (rows == 0) {
        *code = QStringLiteral("01");
        return Proposal::Proposed;
    }
    const QString base = baseCode.trimmed().isEmpty() ? QStringLiteral("0") : baseCode;
    QString prefix;
    int length = 2;
    if (base.size() == 1) {
        // No category (or the root) chosen: a top-level code.
    } else if (!asChild) {
        prefix = base.left(base.size() - 2);
        length = base.size();
    } else {
        int withBase = 0;
        if (!count(QStringLiteral("code like :prefix escape '\\'"), {{QStringLiteral(":prefix"), prefixPattern(base)}}, &withBase))
            return Proposal::Failed;
        // A code that no category has stays as it is.
        if (withBase == 0) {
            *code = base;
            return Proposal::Proposed;
        }
        prefix = base;
        length = base.size() + 2;
    }
    QStringList level;
    if (!codes(length, prefix, &level))
        return Proposal::Failed;
    const int part = nextFreePart(level);
    if (part == 0)
        return Proposal::LevelFull;
    *code = prefix + twoDigits(part);
    return Proposal::Proposed;
}

bool CategoryTable::exists(const QString &code, bool *found)
{
    int rows = 0;
    if (!count(QStringLiteral("code = :code"), {{QStringLiteral(":code"), code}}, &rows))
        return false;
    *found = rows > 0;
    return true;
}

CategoryTable::Insertion CategoryTable::insert(const QString &code, const QString &name)
{
    if (!isValid())
        return Insertion::Failed;
    const auto rollback = [this](Insertion result) {
        m_data.rollback();
        return result;
    };
    const QVariantMap binds{{QStringLiteral(":code"), code}, {QStringLiteral(":name"), name}};
    if (!m_data.beginTransaction(&m_error))
        return Insertion::Failed;
    if (!m_data.execute(QStringLiteral("insert into %1 (code, name) values (:code, :name)").arg(m_table), binds, &m_error))
        return rollback(Insertion::Failed);
    // Counted after the insert, in its transaction: of two workstations storing one code at
    // once, the second to count sees the first one's row.
    int rows = 0;
    if (!count(QStringLiteral("code = :code"), {{QStringLiteral(":code"), code}}, &rows))
        return rollback(Insertion::Failed);
    if (rows > 1)
        return rollback(Insertion::Duplicate);
    return m_data.commit(&m_error) ? Insertion::Inserted : rollback(Insertion::Failed);
}

bool CategoryTable::rename(const QString &code, const QString &name)
{
    return isValid()
        && m_data.execute(QStringLiteral("update %1 set name = :name where code = :code").arg(m_table),
                          {{QStringLiteral(":name"), name}, {QStringLiteral(":code"), code}}, &m_error);
}

CategoryTable::Removal CategoryTable::remove(const QString &code)
{
    if (!isValid())
        return Removal::Failed;
    // Another workstation may have added a category under it since the tree was built.
    int removed = 0;
    const QString sql = QStringLiteral("delete from %1 where code = :code and not exists "
                                       "(select 1 from %1 c where c.code like :children escape '\\' and %2 > :length)")
                            .arg(m_table, m_data.dialect().textLength(QStringLiteral("c.code")));
    if (!m_data.execute(sql,
                        {{QStringLiteral(":code"), code}, {QStringLiteral(":children"), prefixPattern(code)},
                         {QStringLiteral(":length"), code.size()}},
                        &m_error, &removed))
        return Removal::Failed;
    if (removed > 0)
        return Removal::Removed;
    bool stillThere = false;
    if (!exists(code, &stillThere))
        return Removal::Failed;
    return stillThere ? Removal::HasChildren : Removal::Removed;
}
