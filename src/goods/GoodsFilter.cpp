#include "GoodsFilter.h"

#include "SqlDialect.h"

#include <QStringList>

QString GoodsFilter::condition(const SqlDialect &dialect, const QVector<Box> &boxes, QVariantMap *binds)
{
    QStringList conditions;
    for (const Box &box : boxes) {
        if (box.second.isEmpty())
            continue;
        const QString placeholder = QStringLiteral(":filter%1").arg(conditions.size());
        conditions << QLatin1Char('(') + dialect.likeIgnoringCase(box.first, placeholder) + QLatin1Char(')');
        binds->insert(placeholder, QLatin1Char('%') + SqlDialect::escapeLike(box.second) + QLatin1Char('%'));
    }
    return conditions.join(QStringLiteral(" AND "));
}
