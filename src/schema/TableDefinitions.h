#pragma once

#include "SqlDialect.h"

#include <vector>

struct ColumnDefinition
{
    const char *name;
    SqlDialect::ColumnType type;
    int size = 0;                  // text columns only
    const char *defaultValue = nullptr;
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
    const char *columns;
    bool unique = false;
    const char *where = nullptr;   // a partial index covers only these rows
};

// Every table of the database, columns in their defined order.
const std::vector<TableDefinition> &tableDefinitions();
const std::vector<IndexDefinition> &indexDefinitions();
