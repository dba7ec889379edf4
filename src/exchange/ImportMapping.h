#pragma once

#include "CustomerImport.h"

#include <QList>
#include <QStringList>

class TFrm_Data;

// The stored pairing of a target table's columns with the sheet's headers (T_Import).
namespace ImportMapping
{
// Gives the n-th mapping row of the table (in ImportID order) the n-th header; rows beyond
// the headers keep what they held. An empty header maps nothing.
bool prefill(TFrm_Data &data, const QString &table, const QStringList &headers);
// The mapping rows that take part: those whose header is not blank, in ImportID order.
QList<CustomerImport::Pair> activePairs(TFrm_Data &data, const QString &table);
// What F_Field holds for a header: at most its column's 50 characters, a single blank for none.
QString storedHeader(const QString &header);
}
