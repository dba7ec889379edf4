#pragma once

#include <QString>

class TFrm_Data;

// Rewrites the database in use in less space and checks it: VACUUM and the integrity check
// on SQLite (the rewrite is one transaction: killed half-way, the database is as before),
// VACUUM ANALYZE on PostgreSQL.
class DatabaseCompaction
{
public:
    static bool run(TFrm_Data &data, QString *reason);
};
