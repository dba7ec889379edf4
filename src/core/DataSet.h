#pragma once

#include "GridModel.h"

#include <QBitArray>
#include <QHash>
#include <QList>
#include <QPointer>
#include <QSqlError>
#include <QSqlRecord>
#include <QVariant>
#include <QVector>
#include <functional>

class DbConnection;
class QSqlQuery;

// A named query shared by windows: a statement with bound values, a current row, an optional
// master link, a sort order and, for small editable sets, a pending-changes mode.
//
// A data set whose rows are records of one table (setRecordSource) is a snapshot: opening it
// reads the keys of the rows the statement matches, in one fixed order that always ends with
// the key, and the rows themselves are read by key in pages as they are needed. Whatever
// other workstations do meanwhile, scrolling shows each row of the snapshot exactly once in
// its place; a row deleted elsewhere keeps its place, marked as gone; reopen() brings the
// changes in. A million-row customer list costs its keys (8 bytes a row) and the rows on
// screen. Counting is free, sums are computed by the database over the same statement.
//
// A data set without a record source (the scratch look-ups) holds its whole result.
class DataSet : public GridModel
{
    Q_OBJECT
public:
    static constexpr int PageSize = 200;
    static constexpr int MaxCachedPages = 50;

    DataSet(const QString &name, DbConnection *connection, QObject *parent = nullptr);

    QString name() const { return objectName(); }

    void setStatement(const QString &sql);
    QString statement() const { return m_statement; }
    void bindValue(const QString &placeholder, const QVariant &value);
    void clearBindValues();
    // The values bound to the statement's placeholders (":name" -> value).
    QVariantMap boundValues() const { return m_binds; }

    // The rows are records of table, told apart by its integer key column.
    void setRecordSource(const QString &table, const QString &keyField);
    QString table() const { return m_table; }
    QString keyField() const { return m_keyField; }

    bool open();
    bool exec();
    void close();
    bool reopen();
    bool isOpen() const { return m_open; }
    QSqlError lastError() const { return m_lastError; }

    int recordCount() const { return m_open ? m_recordCount : 0; }
    bool isEmpty() const { return recordCount() == 0; }
    QSqlRecord fields() const { return m_fields; }
    int fieldIndex(const QString &field) const override { return m_fields.indexOf(field); }
    QString fieldName(int column) const override { return m_fields.fieldName(column); }

    int currentRow() const override { return m_currentRow; }
    void setCurrentRow(int row) override;
    QVariant value(const QString &field) const;
    QVariant value(int row, const QString &field) const override;
    QVariant value(int row, int column) const;
    // The key of a row of the snapshot (also of a row that is gone); null without one.
    QVariant key(int row) const;
    // The record of this row was deleted since the set opened.
    bool isRowGone(int row) const override;

    // Makes the first row of the snapshot whose field equals value current; false (and the
    // current row unchanged) when no row of the snapshot has it.
    bool locate(const QString &field, const QVariant &value);
    bool locateKey(const QVariant &key);
    // After this workstation wrote a record: its row shows what is stored now. A record that
    // is not in the snapshot yet joins it at the end when the statement matches it. False when
    // the record is not in the data set (it does not exist, or was never part of it).
    bool refreshRecord(const QVariant &key);

    // ORDER BY text applied over the statement ("money DESC, CustCode"); empty for none. The
    // rows are read again in the new order; the current record stays current.
    void setSort(const QString &orderBy) override;
    QString sort() const { return m_sort; }

    void setDisplayLabel(const QString &field, const QString &label);
    QString displayLabel(const QString &field) const override;

    // Placeholders of the statement named like a column of the master take that column's
    // value in the master's current row; the set re-opens whenever that row changes.
    void setMasterSource(DataSet *master);
    DataSet *masterSource() const { return m_master; }

    // SUM of a column over the whole result, computed by the database. The sums of the
    // summary fields are computed together when first asked for after an opening or a write.
    QVariant sum(const QString &field) override;
    void setSummaryFields(const QStringList &fields);

    // Pending-changes mode: the whole (small) result is held in memory, edits are kept until
    // applyUpdates() writes them in one transaction, or cancelUpdates() drops them. After
    // applyUpdates() the row that was current is current again (an appended row too). A row
    // changed or deleted by another workstation since it was read is not written over: the
    // whole apply fails.
    void setPendingChanges(const QString &table, const QString &keyField);
    bool pendingChangesMode() const { return m_pendingChanges; }
    void setFieldValue(int row, const QString &field, const QVariant &value);
    int appendRecord(const QVariantMap &values);
    void deleteRecord(int row);
    bool hasPendingChanges() const;
    bool applyUpdates();
    void cancelUpdates();

    // Every row of the result in the present order, read once from start to end (exports):
    // large reads instead of a page at a time, and no rows kept. visit gets the values in the
    // order of fields() and returns false to stop. False when the set is closed or a read
    // failed (lastError() tells).
    bool forEachRow(const std::function<bool(const QVector<QVariant> &values)> &visit) const;

    // Rows held in memory now (for tests and benchmarks).
    int cachedRowCount() const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

    // The text of a changed-or-deleted-elsewhere refusal.
    static QString changedElsewhereText();

signals:
    void opened();
    void closed();

private:
    using Row = QVector<QVariant>;
    enum class RowState { Unchanged, Modified, Inserted };
    struct Page
    {
        QVector<Row> rows;
        QBitArray gone;
    };

    bool execute(QSqlQuery &query, const QString &sql, const QVariantMap &extraBinds = {}) const;
    QString source() const;
    // The order of the snapshot: the sort, or the statement's own final ORDER BY, then the key.
    QString snapshotOrder() const;
    bool readFields();
    bool readKeys();
    bool loadAll();
    bool computeSums(const QStringList &fields);
    void adjustSums(const Row *before, const Row *after);
    const Row *rowAt(int row) const;
    bool fetchPage(int page) const;
    // Rows of the given keys: through the statement, else (no longer matched) from the table.
    QHash<qint64, Row> fetchByKeys(const QVector<qint64> &keys) const;
    bool tableHasSameColumns() const;
    void clearPages();
    void bindFromMaster();
    void masterRowChanged();
    void setError(const QSqlError &error) const;

    DbConnection *m_connection;
    QString m_statement;
    QVariantMap m_binds;
    QString m_sort;
    QString m_table;
    QString m_keyField;
    bool m_open = false;
    bool m_keyed = false;                 // the open result is a snapshot of keys
    int m_recordCount = 0;
    int m_currentRow = -1;
    QSqlRecord m_fields;
    QHash<QString, QString> m_labels;
    QStringList m_summaryFields;
    QHash<QString, QVariant> m_sums;
    bool m_sumsValid = false;
    QPointer<DataSet> m_master;
    mutable QSqlError m_lastError;
    mutable int m_sameColumnsAsTable = -1;  // unknown, no, yes

    QVector<qint64> m_keys;
    mutable QHash<int, Page> m_pages;
    mutable QList<int> m_pageUse;         // least to most recently used

    // Whole results: the scratch sets and the pending-changes mode.
    bool m_pendingChanges = false;
    QVector<Row> m_rows;
    QVector<RowState> m_rowStates;
    QVector<Row> m_deletedRows;
};
