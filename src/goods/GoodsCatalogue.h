#pragma once

#include <QPair>
#include <QSqlError>
#include <QString>
#include <QVariant>
#include <QVector>

class TFrm_Data;

// The writes of the goods catalogue. A goods item and the goods lines that carry its code
// change together: a new code moves the lines, a deletion takes them along, each in one
// transaction that the goods row and its lines either both pass or both leave untouched.
class GoodsCatalogue
{
public:
    // The columns of T_Goods with their values, in the order they are written.
    using Record = QVector<QPair<QString, QVariant>>;

    enum class Outcome {
        Written,
        CodeTaken,          // another goods item has the code
        ChangedElsewhere,   // the row is no longer as it was loaded
        Gone,               // the row was deleted elsewhere
        Failed,             // the database refused; see lastError()
    };

    explicit GoodsCatalogue(TFrm_Data &data) : m_data(data) {}

    // Whether a goods item other than the one keyed exceptKey has the code. A failed query is
    // shown and counts as taken, so that nothing is written on it.
    bool codeTaken(const QString &code, const QVariant &exceptKey = QVariant());
    // The name of a category code; empty when there is no such category.
    QString categoryName(const QString &code);

    // The code is tested again inside the write's transaction, so a code that another
    // workstation took a moment ago is refused rather than doubled.
    Outcome insert(const Record &record, QVariant *key);
    // Writes over the goods row keyed key while it is still at version (its update count as
    // loaded). The goods lines move from the code the row has to the new one.
    Outcome update(const QVariant &key, const QVariant &version, const Record &record);
    // Deletes the goods row keyed key with every goods line carrying its code as stored.
    Outcome remove(const QVariant &key);

    QSqlError lastError() const { return m_error; }

private:
    bool execute(const QString &sql, const QVariantMap &binds);
    // Inside the transaction: the row's code and version, locked until the end; false, with
    // why (Gone or Failed), when they cannot be read.
    bool readStored(const QVariant &key, QString *code, QVariant *version, Outcome *failure);
    // Commits unless another goods item has the code now.
    Outcome commitUnlessTaken(const QString &code);
    Outcome rollback(Outcome outcome);

    TFrm_Data &m_data;
    QSqlError m_error;
};
