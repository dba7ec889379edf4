#pragma once

#include "DropDownComboBox.h"
#include "ReferenceLists.h"

#include <QPointer>
#include <functional>

// An editable drop-down whose items are read afresh each time it unfolds, so entries added
// to a list meanwhile show at once; the operator may type text that stands in no list.
class ListComboBox : public DropDownComboBox
{
    Q_OBJECT
public:
    explicit ListComboBox(QWidget *parent = nullptr);

    // Fills from a reference list.
    void setList(TFrm_Data &data, const QString &table,
                 ReferenceLists::Entries which = ReferenceLists::Entries::All);
    QString listTable() const { return m_table; }
    // Fills from a column of a table that may hold a million rows: the values (trimmed,
    // repetitions kept) of the rows whose column contains the typed text, in the order of
    // keyField, at most limit of them.
    void setColumnList(TFrm_Data &data, const QString &table, const QString &column, const QString &keyField,
                       int limit = 500);
    // Any other filling, run before each unfolding.
    void setFill(std::function<void()> fill);

private:
    std::function<void()> m_fill;
    QString m_table;
};
