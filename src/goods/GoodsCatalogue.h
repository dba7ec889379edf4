#pragma once

#include <QPair>
#include <QString>
#include <QVariant>
#include <QVector>
#include <memory>

class QSqlQuery;
class TFrm_Data;

// The writes of the goods catalogue. A goods item and the goods lines that carry its code
// change together: a new code moves the lines, a deletion takes them along, each in one
// transaction that the goods row and its lines either both pass or both leave untouched.
class GoodsCatalogue
{
public:
    // The columns of T_Goods with their values, in the order they are written.
    using Record = QVector<QPair<QString, QVariant>>;

    enum class Outcome { Written, CodeTaken, Failed };

    explicit GoodsCatalogue(TFrm_Data &data);
    ~GoodsCatalogue();

    // Whether a goods item other than the one keyed exceptKey has the code. A failed query is
    // shown and counts as taken, so that nothing is written on it.
    bool codeTaken(const QString &code, const QVariant &exceptKey = QVariant());
    // The name of a category code; empty when there is no such category.
    QString categoryName(const QString &code);

    // The code is tested again inside the write's transaction, so a code that another
    // workstation took a moment ago is refused rather than doubled.
    Outcome insert(const Record &record, QVariant *key);
    // Writes the goods row keyed key. Its lines follow the code the row has inside the
    // transaction, whatever another workstation made of it since it was loaded. Fails, with
    // nothing written, when the row is gone or a statement fails.
    Outcome update(const QVariant &key, const Record &record);
    // Deletes the goods row keyed key with every goods line carrying its code.
    bool remove(const QVariant &key);

    // Why the last write failed: the database's reason, or that the row was gone.
    QString lastError() const { return m_error; }

private:
    // Runs a statement of the transaction; its rows stay readable until the next one.
    bool run(const QString &sql, const QVariantList &values);
    // The code the row has now, read so that it stays so; false when the row is gone.
    bool lockCurrentCode(const QVariant &key, QString *code);
    bool begin();
    // Commits unless another goods item has the code now.
    Outcome finishWithCode(const QString &code);
    Outcome commit();
    Outcome rollback(Outcome outcome);

    TFrm_Data &m_data;
    // One query for the whole transaction: it outlives a failure until the rollback.
    std::unique_ptr<QSqlQuery> m_query;
    QString m_error;
};
