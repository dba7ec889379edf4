#include "ListComboBox.h"

#include "TFrm_Data.h"
#include "WaitCursor.h"

#include <QSignalBlocker>

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

void ListComboBox::setColumnList(TFrm_Data &data, const QString &table, const QString &column, const QString &keyField,
                                 int limit)
{
    m_table.clear();
    QPointer<TFrm_Data> source(&data);
    m_fill = [this, source, table, column, keyField, limit] {
        if (!source)
            return;
        const QString text = currentText();
        const QString sql = QStringLiteral("select %1 from %2 where %3 order by %4 limit %5")
                                .arg(column, table, source->dialect().likeIgnoringCase(column, QStringLiteral(":typed")),
                                     keyField)
                                .arg(limit);
        {
            WaitCursor wait;
            if (!source->RunQuery(source->Qry_Str, sql,
                                  {{QStringLiteral(":typed"), QLatin1Char('%') + SqlDialect::escapeLike(text) + QLatin1Char('%')}}))
                return;
        }
        const QSignalBlocker blocker(this);
        clear();
        for (int row = 0; row < source->Qry_Str->recordCount(); ++row)
            addItem(source->Qry_Str->value(row, 0).toString().trimmed());
        setCurrentIndex(-1);
        setEditText(text);
    };
}
