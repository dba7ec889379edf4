#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class DbConnection;
struct TableDefinition;

// Copies the rows of the program's tables from one database into another, keys and row
// versions as they are: the target's tables are emptied and refilled, and its key counters
// set past the highest keys. The caller holds a snapshot on the source and a transaction on
// the target, so that the copy is one state of the source, all or nothing.
class RowCopy
{
public:
    using Progress = std::function<void(qint64 done, qint64 total)>;

    RowCopy(DbConnection &source, DbConnection &target);

    void setProgress(Progress progress) { m_progress = std::move(progress); }
    // False with the database's reason (and the table) on the first failure.
    bool run(QString *error);

    // The tables copied: every table of the program but the record of its schema version,
    // which the target keeps.
    static QStringList tables();

private:
    bool countRows(const QStringList &present, QString *error);
    bool copyTable(const TableDefinition &table, QString *error);

    DbConnection &m_source;
    DbConnection &m_target;
    Progress m_progress;
    qint64 m_total = 0;
    qint64 m_done = 0;
};
