#pragma once

#include <QSqlDatabase>
#include <QString>

// A dealer's customer register as it really looks, made the same way on every run: Chinese
// names of people and shops, skewed brands, addresses, mobile numbers, three years of dates,
// most customers paid. The name keys below match a handful, hundreds and tens of thousands.
namespace RealisticCustomers {

// Fills custom with count customers (and a visit and an order for every tenth); false with a
// message on stderr when the database refused.
bool fill(QSqlDatabase db, int count);

inline QString rareKey() { return QStringLiteral("阚晟"); }      // 5 per million
inline QString commonKey() { return QStringLiteral("王建"); }     // hundreds
inline QString surnameKey() { return QStringLiteral("王"); }      // tens of thousands

// Opens (and creates when missing) the PostgreSQL database named by url; empty on success.
QString ensurePostgresDatabase(const QString &url);

} // namespace RealisticCustomers
