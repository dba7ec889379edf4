#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVariantMap>

class SqlDialect;

// The conditions a search window builds from what the operator filled in, joined into one
// condition text with its bound values: "(company LIKE :c1 ...)AND(zt = :c2)". Every typed
// value is bound, so quotes, % and _ match literally and no criterion changes the statement.
// Lists and their statistics share one such object, so both always cover the same records.
class SearchCriteria
{
public:
    explicit SearchCriteria(const SqlDialect &dialect);

    // Text conditions, without regard to letter case. An empty text adds nothing; blanks are
    // text and count.
    void startsWith(const QString &column, const QString &text);
    void contains(const QString &column, const QString &text);
    // A number column matched as the text it reads as: "5" finds 5, 15 and 50.
    void numberContains(const QString &column, const QString &text);
    void equals(const QString &column, const QVariant &value);
    // Whole days, whatever the time of day stored: from the start of the first day, up to the
    // end of the last.
    void fromDay(const QString &column, const QDate &day);
    void toDay(const QString &column, const QDate &day);

    bool isEmpty() const { return m_conditions.isEmpty(); }
    int count() const { return int(m_conditions.size()); }
    // The conditions joined by AND, in the order they were added.
    QString text() const { return m_conditions.join(QStringLiteral("AND")); }
    // " where " and the conditions; empty without any.
    QString whereClause() const;
    QVariantMap binds() const { return m_binds; }

private:
    QString bind(const QVariant &value);
    void add(const QString &condition);

    const SqlDialect *m_dialect;
    QStringList m_conditions;
    QVariantMap m_binds;
};
