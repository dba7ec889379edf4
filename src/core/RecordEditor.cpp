#include "RecordEditor.h"

#include "DataSet.h"
#include "EnterMovesFocus.h"
#include "MessageBoxes.h"
#include "MultiSelectComboBox.h"
#include "RecordNavigator.h"
#include "ReferenceLists.h"
#include "TFrm_Data.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSqlQuery>
#include <QStringList>
#include <QTextEdit>

RecordEditor::RecordEditor(TFrm_Data &data, Mode mode, QWidget *parent)
    : QDialog(parent), m_data(data), m_mode(mode)
{
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
}

void RecordEditor::setUpForm(RecordNavigator *navigator, DataSet *records)
{
    EnterMovesFocus::install(this);
    if (navigator) {
        navigator->setModel(records);
        connect(navigator, &RecordNavigator::moved, this, &RecordEditor::recordMoved);
    }
}

void RecordEditor::connectListButton(QAbstractButton *button, const QString &table)
{
    button->setFocusPolicy(Qt::NoFocus);
    connect(button, &QAbstractButton::clicked, this, [this, table] { ReferenceLists::openEditor(this, table); });
}

void RecordEditor::showCustomer(QLabel *label)
{
    const DataSet *customer = m_data.Qry_Cust;
    label->setText(QStringLiteral("用户: %1  %2").arg(customer->value(QStringLiteral("CustCode")).toString(),
                                                       customer->value(QStringLiteral("Company")).toString()));
}

void RecordEditor::setModeCaptions(QAbstractButton *okButton, const QString &addTitle, const QString &editTitle,
                                   const QString &addOk, const QString &editOk)
{
    setWindowTitle(isAdding() ? addTitle : editTitle);
    okButton->setText(isAdding() ? addOk : editOk);
}

bool RecordEditor::writeRecord(DataSet *records, const QString &table, const QString &keyField,
                               const Fields &fields, QSqlError *error)
{
    QStringList columns;
    for (const auto &field : fields)
        columns << field.first;
    QVariant key;
    QSqlQuery query(m_data.database());
    if (isAdding()) {
        query.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                          .arg(table, columns.join(QStringLiteral(", ")),
                               QStringList(columns.size(), QStringLiteral("?")).join(QStringLiteral(", "))));
    } else {
        key = records->value(keyField);
        query.prepare(QStringLiteral("UPDATE %1 SET %2 = ? WHERE %3 = ?")
                          .arg(table, columns.join(QStringLiteral(" = ?, ")), keyField));
    }
    for (const auto &field : fields)
        query.addBindValue(field.second);
    if (!isAdding())
        query.addBindValue(key);
    if (!query.exec()) {
        if (error)
            *error = query.lastError();
        else
            MessageBoxes::error(query.lastError().text());
        return false;
    }
    if (isAdding())
        key = query.lastInsertId();
    query.finish();
    if (records->isOpen() && records->reopen())
        records->locate(keyField, key);
    return true;
}

bool RecordEditor::deleteCurrentRecord(TFrm_Data &data, DataSet *records, const QString &table, const QString &keyField)
{
    const int row = records->currentRow();
    if (row < 0)
        return false;
    QSqlQuery query(data.database());
    query.prepare(QStringLiteral("DELETE FROM %1 WHERE %2 = ?").arg(table, keyField));
    query.addBindValue(records->value(keyField));
    if (!query.exec()) {
        MessageBoxes::error(query.lastError().text());
        return false;
    }
    query.finish();
    if (records->reopen())
        records->setCurrentRow(qMin(row, records->recordCount() - 1));
    return true;
}

QString RecordEditor::discardQuestion()
{
    return QStringLiteral("放弃未保存的修改吗?");
}

QStringList RecordEditor::fieldValues() const
{
    // Every control an operator types into or ticks, in the form's order.
    QStringList values;
    for (const QWidget *child : findChildren<QWidget *>()) {
        if (auto *edit = qobject_cast<const QLineEdit *>(child)) {
            // A combo box's or date box's own line edit is read through its owner.
            if (!edit->isReadOnly() && !qobject_cast<const QComboBox *>(edit->parentWidget())
                && !qobject_cast<const QAbstractSpinBox *>(edit->parentWidget()))
                values << edit->text();
        } else if (auto *multi = qobject_cast<const MultiSelectComboBox *>(child)) {
            values << multi->text();
        } else if (auto *combo = qobject_cast<const QComboBox *>(child)) {
            values << combo->currentText();
        } else if (auto *box = qobject_cast<const QAbstractSpinBox *>(child)) {
            values << box->text();
        } else if (auto *memo = qobject_cast<const QPlainTextEdit *>(child)) {
            values << memo->toPlainText();
        } else if (auto *text = qobject_cast<const QTextEdit *>(child)) {
            values << text->toPlainText();
        } else if (qobject_cast<const QCheckBox *>(child) || qobject_cast<const QRadioButton *>(child)) {
            values << QString::number(static_cast<const QAbstractButton *>(child)->isChecked());
        }
    }
    return values;
}

void RecordEditor::markClean()
{
    m_cleanValues = fieldValues();
}

bool RecordEditor::hasUnsavedChanges() const
{
    return fieldValues() != m_cleanValues;
}

void RecordEditor::reject()
{
    if (hasUnsavedChanges()
        && MessageBoxes::dialog(MessageBoxes::DialogType::Confirmation, discardQuestion(),
                                QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
               != QMessageBox::Yes)
        return;
    QDialog::reject();
}
