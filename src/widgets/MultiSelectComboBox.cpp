#include "MultiSelectComboBox.h"

#include <QAbstractItemView>
#include <QLineEdit>
#include <QMouseEvent>

MultiSelectComboBox::MultiSelectComboBox(QWidget *parent) : DropDownComboBox(parent)
{
    setModel(&m_model);
    // A read-only line edit shows the joined text, which is no item of the list.
    setEditable(true);
    lineEdit()->setReadOnly(true);
    view()->viewport()->installEventFilter(this);
}

void MultiSelectComboBox::setItems(const QStringList &items)
{
    const QStringList checked = checkedItems();
    m_model.clear();
    for (const QString &text : items) {
        auto *item = new QStandardItem(text);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(checked.contains(text) ? Qt::Checked : Qt::Unchecked);
        m_model.appendRow(item);
    }
    // Ticked entries that the list no longer offers stay in the text.
    setText(m_text);
}

QStringList MultiSelectComboBox::checkedItems() const
{
    return m_text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

QString MultiSelectComboBox::text() const
{
    return m_text;
}

void MultiSelectComboBox::setText(const QString &text)
{
    m_text = text.trimmed();
    const QStringList names = checkedItems();
    for (int row = 0; row < m_model.rowCount(); ++row) {
        QStandardItem *item = m_model.item(row);
        item->setCheckState(names.contains(item->text()) ? Qt::Checked : Qt::Unchecked);
    }
    lineEdit()->setText(m_text);
}

void MultiSelectComboBox::hidePopup()
{
    DropDownComboBox::hidePopup();
    lineEdit()->setText(m_text);
}

bool MultiSelectComboBox::eventFilter(QObject *watched, QEvent *event)
{
    // A click ticks or unticks an item and keeps the list open for more.
    if (watched == view()->viewport() && event->type() == QEvent::MouseButtonRelease) {
        const QModelIndex index = view()->indexAt(static_cast<QMouseEvent *>(event)->position().toPoint());
        if (QStandardItem *item = m_model.itemFromIndex(index)) {
            item->setCheckState(item->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
            updateText();
        }
        return true;
    }
    return DropDownComboBox::eventFilter(watched, event);
}

void MultiSelectComboBox::updateText()
{
    QStringList names = checkedItems();
    for (int row = 0; row < m_model.rowCount(); ++row) {
        const QStandardItem *item = m_model.item(row);
        if (item->checkState() == Qt::Checked && !names.contains(item->text()))
            names << item->text();
        else if (item->checkState() != Qt::Checked)
            names.removeAll(item->text());
    }
    m_text = names.join(QLatin1Char(' '));
    lineEdit()->setText(m_text);
}
