#pragma once

#include <QSqlError>
#include <QString>
#include <QStringList>
#include <QVariantMap>

class TFrm_Data;

// A coded category table (columns code and name, two digits per level): what the category
// tree editor reads and writes, and the code it proposes for a new category.
class CategoryTable
{
public:
    // The largest two-digit part of a level.
    static constexpr int LevelSize = 99;

    enum class Proposal { Proposed, LevelFull, Failed };
    enum class Insertion { Inserted, Duplicate, Failed };
    enum class Removal { Removed, HasChildren, Failed };

    // table must be a plain table name; any other name reads and writes nothing.
    CategoryTable(TFrm_Data &data, const QString &table);

    QString name() const { return m_table; }
    bool isValid() const { return !m_table.isEmpty(); }

    // The code for a new category beside (asChild false) or under (asChild true) baseCode;
    // a blank base proposes a top-level code. The part after the base is one past the
    // highest in use, or the lowest free one once 99 is in use.
    Proposal proposeCode(const QString &baseCode, bool asChild, QString *code);
    // The next two-digit part after those in use; 0 when all 99 are in use.
    static int nextFreePart(const QStringList &codes);

    bool exists(const QString &code, bool *found);
    // A code that another workstation stored a moment ago is refused, not doubled.
    Insertion insert(const QString &code, const QString &name);
    bool rename(const QString &code, const QString &name);
    // Deletes the category unless the table holds categories under it.
    Removal remove(const QString &code);

    // Why the last statement failed.
    QSqlError lastError() const { return m_error; }

private:
    // Codes of one length that start with prefix.
    bool codes(int length, const QString &prefix, QStringList *result);
    bool count(const QString &condition, const QVariantMap &binds, int *result);

    TFrm_Data &m_data;
    QString m_table;
    QSqlError m_error;
};
