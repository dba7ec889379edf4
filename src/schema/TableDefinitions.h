#pragma once

#include "SqlDialect.h"

#include <QString>
#include <vector>

struct ColumnDefinition
{
    const char *name;
    SqlDialect::ColumnType type;
    int size = 0;                  // text columns only
    const char *defaultValue = nullptr;
    const char *caption = nullptr; // what the operator calls it, for messages
};

struct TableDefinition
{
    const char *name;
    std::vector<ColumnDefinition> columns;
};

struct IndexDefinition
{
    const char *name;
    const char *table;
    const char *columns;           // column list or expression
    bool unique = false;
    const char *where = nullptr;   // a partial index covers only these rows
};

// Every table of the database, columns in their defined order.
const std::vector<TableDefinition> &tableDefinitions();
const std::vector<IndexDefinition> &indexDefinitions();

// The column that counts the updates of a row; an editor writes over a row only while it
// still has the count it was loaded with.
extern const char *const RowVersionColumn;

// Looks up a column (names without regard to case); null when there is none.
const ColumnDefinition *findColumn(const QString &table, const QString &column);
// The name an operator knows a column by: its caption, else its own name.
QString columnCaption(const QString &table, const QString &column);
