#pragma once

#include <QSqlDatabase>

// Fills custom with generated customers C1..Cn in one statement, on either engine:
// Company "用户n", money n % 1000, paid when n is even, entered by "Admin".
bool generateCustomers(QSqlDatabase db, int count);
