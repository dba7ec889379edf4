#pragma once

#include "SheetCells.h"

#include <QList>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <QVector>

class SqlDialect;
struct ColumnDefinition;

// Appends one customer per sheet row below the header row. Each row goes in whole or not at
// all: one INSERT per row inside transactions of a batch of rows, with a savepoint around it
// where a refused statement would spoil the transaction, so a refused row leaves no trace
// and the rows after it go on. A failed row is counted with its reason.
class CustomerImport
{
public:
    // A mapping row that takes part: the sheet's header text and the customer column it feeds.
    struct Pair
    {
        QString header;
        QString field;
    };
    struct Failure
    {
        int sheetRow;      // as the sheet numbers it, the header being row 1
        QString reason;
    };
    // Rows per transaction: large enough to be fast, small enough to show progress.
    static constexpr int BatchRows = 2000;

    // The pinyin initials of a name; fills pinyin when the mapping leaves it out.
    using NameInitials = QString (*)(const QString &);

    CustomerImport(const QSqlDatabase &db, const SqlDialect &dialect, const SheetCells &sheet,
                   const QList<Pair> &pairs, NameInitials initials);

    // Sheet rows after the header.
    int rowCount() const { return qMax(0, m_sheet.rowCount() - 1); }
    int rowsDone() const { return m_next - 1; }
    bool atEnd() const { return m_next >= m_sheet.rowCount(); }
    // Imports up to count of the next rows in one transaction.
    void importRows(int count);

    int succeeded() const { return m_succeeded; }
    int failed() const { return m_failures.size(); }
    const QList<Failure> &failures() const { return m_failures; }

private:
    struct Target
    {
        QString field;
        QString header;
        int sheetColumn;
        const ColumnDefinition *column;
    };

    bool rowValues(int row, QVariantList *values, QString *reason) const;
    QString refusal(const QSqlError &error, const QVariantList &values) const;
    bool run(const QString &sql);

    QSqlDatabase m_db;
    const SqlDialect &m_dialect;
    const SheetCells &m_sheet;
    NameInitials m_initials;
    QVector<Target> m_targets;
    int m_nameTarget = -1;        // pinyin comes from this target
    QString m_mappingError;       // every row fails with it
    bool m_rowSavepoints;         // a refused INSERT spoils the transaction without one
    QSqlQuery m_insert;
    QSqlQuery m_control;          // the savepoints around each row
    int m_next = 1;
    int m_succeeded = 0;
    QList<Failure> m_failures;
};
