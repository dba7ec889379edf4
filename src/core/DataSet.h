#pragma once

#include "GridModel.h"

#include <QHash>
#include <QList>
#include <QPointer>
#include <QSqlError>
#include <QSqlRecord>
#include <QVariant>
#include <QVector>
#include <functional>

// A named query shared by windows: a statement with bound values, a current row, an optional
// master link, a sort order and, for small editable sets, a pending-changes mode.
//
// Rows are read in windows of PageSize and only a bounded number of windows is kept, so a
// million-row customer list costs a count and the rows on screen. Counting, sorting and sums
// are done by the database over the same statement.
class DataSet : public GridModel
{
    Q_OBJECT
public:
    static constexpr int PageSize = 200;
    static constexpr int MaxCachedPages = 50;

    DataSet(const QString &name, const QString &connectionName, QObject *parent = nullptr);

    QString name() const { return objectName(); }

    void setStatement(const QString &sql);
    QString statement() const { return m_statement; }
    void bindValue(const QString &placeholder, const QVariant &value);
    void clearBindValues();

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
    // Makes the first row whose field equals value the current row.
    bool locate(const QString &field, const QVariant &value);

    // ORDER BY text applied over the statement ("money DESC, CustCode"); empty for none.
    void setSort(const QString &orderBy) override;
    QString sort() const { return m_sort; }

    void setDisplayLabel(const QString &field, const QString &label);
    QString displayLabel(const QString &field) const override;

    // Placeholders of the statement named like a column of the master take that column's
    // value in the master's current row; the set re-opens whenever that row changes.
    void setMasterSource(DataSet *master);
    DataSet *masterSource() const { return m_master; }

    // SUM of a column over the whole result, computed by the database. The sums of the
    // summary fields are computed together with the record count when the set opens.
    QVariant sum(const QString &field) override;
    void setSummaryFields(const QStringList &fields);

    // Pending-changes mode: the whole (small) result is held in memory, edits are kept until
    // applyUpdates() writes them in one transaction, or cancelUpdates() drops them. After
    // applyUpdates() the row that was current is current again (an appended row too).
    void setPendingChanges(const QString &table, const QString &keyField);
    bool pendingChangesMode() const { return !m_pendingTable.isEmpty(); }
    void setFieldValue(int row, const QString &field, const QVariant &value);
    int appendRecord(const QVariantMap &values);
    void deleteRecord(int row);
    bool hasPendingChanges() const;
    bool applyUpdates();
    void cancelUpdates();

    // Every row of the result in the present order, read once from start to end (exports):
    // one pass over the database instead of a window at a time. visit gets the values in the
    // order of fields() and returns false to stop. False when the set is closed or the read
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

signals:
    void opened();
    void closed();

private:
    using Row = QVector<QVariant>;
    enum class RowState { Unchanged, Modified, Inserted };

    bool execute(class QSqlQuery &query, const QString &sql, const QVariantMap &extraBinds = {}) const;
    QString wrapped(const QString &selectList, const QString &tail = QString()) const;
    // Count and summary sums in one pass over the statement (its final ORDER BY left out).
    bool computeAggregates(const QStringList &sumFields);
    QString aggregateSource() const;
    bool loadAll();
    const Row *rowAt(int row) const;
    bool fetchPage(int page) const;
    void bindFromMaster();
    void masterRowChanged();
    void setError(const QSqlError &error) const;

    QString m_connectionName;
    QString m_statement;
    QVariantMap m_binds;
    QString m_sort;
    bool m_open = false;
    int m_recordCount = 0;
    int m_currentRow = -1;
    QSqlRecord m_fields;
    QHash<QString, QString> m_labels;
    QStringList m_summaryFields;
    QHash<QString, QVariant> m_sums;
    QPointer<DataSet> m_master;
    mutable QSqlError m_lastError;

    // Windowed rows: page number -> rows; m_pageUse orders pages from least to most recent.
    mutable QHash<int, QVector<Row>> m_pages;
    mutable QList<int> m_pageUse;

    // Pending-changes mode.
    QString m_pendingTable;
    QString m_keyField;
    QVector<Row> m_rows;
    QVector<RowState> m_rowStates;
    QVariantList m_deletedKeys;
};
