#include "SearchCriteria.h"

#include "SqlDialect.h"

SearchCriteria::SearchCriteria(const SqlDialect &dialect) : m_dialect(&dialect) {}

QString SearchCriteria::bind(const QVariant &value)
{
    const QString placeholder = QStringLiteral(":c%1").arg(m_binds.size() + 1);
    m_binds.insert(placeholder, value);
    return placeholder;
}

void SearchCriteria::add(const QString &condition)
{
    m_conditions << QLatin1Char('(') + condition + QLatin1Char(')');
}

void SearchCriteria::startsWith(const QString &column, const QString &text)
{
    if (text.isEmpty())
        return;
    add(m_dialect->likeIgnoringCase(column, bind(SqlDialect::escapeLike(text) + QLatin1Char('%'))));
}

void SearchCriteria::contains(const QString &column, const QString &text)
{
    if (text.isEmpty())
        return;
    const QString pattern = QLatin1Char('%') + SqlDialect::escapeLike(text) + QLatin1Char('%');
    add(m_dialect->likeIgnoringCase(column, bind(pattern)));
}

void SearchCriteria::numberContains(const QString &column, const QString &text)
{
    if (text.isEmpty())
        return;
    const QString pattern = QLatin1Char('%') + SqlDialect::escapeLike(text) + QLatin1Char('%');
    add(m_dialect->likeIgnoringCase(m_dialect->numberAsText(column), bind(pattern)));
}

void SearchCriteria::equals(const QString &column, const QVariant &value)
{
    add(column + QStringLiteral(" = ") + bind(value));
}

void SearchCriteria::fromDay(const QString &column, const QDate &day)
{
    add(column + QStringLiteral(" >= ") + bind(day));
}

void SearchCriteria::toDay(const QString &column, const QDate &day)
{
    add(column + QStringLiteral(" < ") + bind(day.addDays(1)));
}

QString SearchCriteria::whereClause() const
{
    return isEmpty() ? QString() : QStringLiteral(" where ") + text();
}
