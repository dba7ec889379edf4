#include "CustomerGenerator.h"

#include <QSqlError>
#include <QSqlQuery>

bool generateCustomers(QSqlDatabase db, int count)
{
    QSqlQuery query(db);
    query.prepare(QStringLiteral(
        "WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n WHERE x < :count) "
        "INSERT INTO custom (CustCode, Company, pinyin, money, isgathering, f_user, batch) "
        "SELECT 'C' || x, '用户' || x, 'yh', x % 1000, (x % 2 = 0), 'Admin', 'AZ-' || x FROM n"));
    query.bindValue(QStringLiteral(":count"), count);
    if (!query.exec()) {
        qWarning("generateCustomers: %s", qPrintable(query.lastError().text()));
        return false;
    }
    return true;
}
