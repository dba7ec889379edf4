#include "ListComboBox.h"

#include "TFrm_Data.h"

ListComboBox::ListComboBox(QWidget *parent) : DropDownComboBox(parent)
{
    setEditable(true);
    // Typed text is the value; it is not added to the items.
    setInsertPolicy(QComboBox::NoInsert);
    connect(this, &DropDownComboBox::aboutToDropDown, this, [this] {
        if (m_fill)
            m_fill();
    });
}

void ListComboBox::setList(TFrm_Data &data, const QString &table, ReferenceLists::Entries which)
{
    m_table = table;
    QPointer<TFrm_Data> source(&data);
    m_fill = [this, source, table, which] {
        if (source)
            ReferenceLists::fillComboBox(*source, this, table, which);
    };
}

void ListComboBox::setFill(std::function<void()> fill)
{
    m_table.clear();
    m_fill = std::move(fill);
}
