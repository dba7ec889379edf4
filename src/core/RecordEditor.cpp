#include "RecordEditor.h"

#include "DataSet.h"
#include "EnterMovesFocus.h"
#include "MessageBoxes.h"
#include "MultiSelectComboBox.h"
#include "RecordNavigator.h"
#include "ReferenceLists.h"
#include "TFrm_Data.h"
#include "TableDefinitions.h"

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

namespace {
const QString RefusalCaption = QStringLiteral("提醒");
const QString CustomerKey = QStringLiteral("CustID");
} // namespace

RecordEditor::RecordEditor(TFrm_Data &data, Mode mode, QWidget *parent)
    : QDialog(parent), m_data(data), m_mode(mode)
{
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
}

QString RecordEditor::changedElsewhereText()
{
    return QStringLiteral("这条记录在打开之后已被其他工作站修改，本次修改没有保存。\n请关闭窗口，重新打开这条记录后再修改。");
}

QString RecordEditor::deletedElsewhereText()
{
    return QStringLiteral("这条记录已被其他工作站删除，本次修改没有保存。");
}

QString RecordEditor::customerGoneText()
{
    return QStringLiteral("该用户已被其他工作站删除，记录没有保存。");
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

void RecordEditor::recordLoaded(const DataSet *records)
{
    m_loadedKey = records->key(records->currentRow());
    m_loadedVersion = records->value(QString::fromLatin1(RowVersionColumn));
}

void RecordEditor::recordLoaded(const QVariant &key, const QVariant &version)
{
    m_loadedKey = key;
    m_loadedVersion = version;
}

bool RecordEditor::fitsColumns(const QString &table, const QVariantMap &values)
{
    Fields fields;
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        fields.append({it.key(), it.value()});
    return fitsColumns(table, fields);
}

bool RecordEditor::currentRecordExists(const DataSet *records)
{
    if (!records->isRowGone(records->currentRow()))
        return true;
    MessageBoxes::box(QStringLiteral("这条记录已被其他工作站删除。"), RefusalCaption, QMessageBox::Information);
    return false;
}

void RecordEditor::showRefusal(const QString &text)
{
    MessageBoxes::box(text, RefusalCaption, QMessageBox::Information, QMessageBox::Ok);
}

bool RecordEditor::fitsColumns(const QString &table, const Fields &fields)
{
    for (const auto &field : fields) {
        const ColumnDefinition *column = findColumn(table, field.first);
        if (!column || column->type != SqlDialect::ColumnType::Text || field.second.userType() != QMetaType::QString)
            continue;
        const int length = int(field.second.toString().size());
        if (length > column->size) {
            MessageBoxes::box(QStringLiteral("“%1”最多只能有 %2 个字符，现在有 %3 个。")
                                  .arg(columnCaption(table, field.first))
                                  .arg(column->size)
                                  .arg(length),
                              RefusalCaption, QMessageBox::Information, QMessageBox::Ok);
            return false;
        }
    }
    return true;
}

bool RecordEditor::copyFromCustomer(const CustomerCopies &copies, Fields *fields, QSqlError *error)
{
    QStringList columns;
    for (const auto &copy : copies)
        columns << copy.second;
    QSqlQuery customer(m_data.database());
    const QString sql = QStringLiteral("SELECT %1 FROM custom WHERE %2 = :id").arg(columns.join(QStringLiteral(", ")), CustomerKey)
                      + m_data.dialect().lockRowsClause();
    const QVariant id = m_data.Qry_Cust->key(m_data.Qry_Cust->currentRow());
    if (!m_data.connection().exec(customer, sql, {{QStringLiteral(":id"), id}}, DbConnection::Access::Read, error))
        return false;
    if (!customer.next())
        return false;
    for (int i = 0; i < copies.size(); ++i)
        fields->append({copies[i].first, customer.value(i)});
    return true;
}

bool RecordEditor::writeRecord(DataSet *records, const QString &table, const QString &keyField, Fields fields,
                               const CustomerCopies &copies, QSqlError *error)
{
    if (!fitsColumns(table, fields))
        return false;
    QSqlError failure;
    const auto fail = [&](const QString &refusal) {
        m_data.rollback();
        if (!refusal.isEmpty())
            showRefusal(refusal);
        else if (error)
            *error = failure;
        else
            m_data.reportError(QStringLiteral("保存数据失败!"), failure, RefusalCaption);
        return false;
    };
    if (!m_data.beginTransaction(&failure))
        return fail(QString());
    if (!copies.isEmpty() && !copyFromCustomer(copies, &fields, &failure))
        return fail(failure.isValid() ? QString() : customerGoneText());

    QStringList columns;
    QVariantMap binds;
    for (int i = 0; i < fields.size(); ++i) {
        columns << fields[i].first;
        binds.insert(QStringLiteral(":f%1").arg(i), fields[i].second);
    }
    QVariant key;
    int rowsAffected = 0;
    if (isAdding()) {
        QStringList placeholders;
        for (int i = 0; i < fields.size(); ++i)
            placeholders << QStringLiteral(":f%1").arg(i);
        QSqlQuery insert(m_data.database());
        if (!m_data.connection().exec(insert,
                                      QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                          .arg(table, columns.join(QStringLiteral(", ")), placeholders.join(QStringLiteral(", "))),
                                      binds, DbConnection::Access::Write, &failure))
            return fail(QString());
        key = insert.lastInsertId();
    } else {
        key = m_loadedKey.isValid() ? m_loadedKey : records->key(records->currentRow());
        QStringList assignments;
        for (int i = 0; i < columns.size(); ++i)
            assignments << QStringLiteral("%1 = :f%2").arg(columns[i]).arg(i);
        QString sql = QStringLiteral("UPDATE %1 SET %2 WHERE %3 = :as_key").arg(table, assignments.join(QStringLiteral(", ")), keyField);
        binds.insert(QStringLiteral(":as_key"), key);
        if (records->fieldIndex(QString::fromLatin1(RowVersionColumn)) >= 0) {
            const QVariant version = m_loadedKey.isValid() ? m_loadedVersion : records->value(QString::fromLatin1(RowVersionColumn));
            sql += QStringLiteral(" AND COALESCE(%1, 0) = :as_version").arg(QString::fromLatin1(RowVersionColumn));
            binds.insert(QStringLiteral(":as_version"), version.toLongLong());
        }
        if (!m_data.execute(sql, binds, &failure, &rowsAffected))
            return fail(QString());
        if (rowsAffected == 0) {
            QSqlQuery probe(m_data.database());
            const bool exists = m_data.connection().exec(probe, QStringLiteral("SELECT 1 FROM %1 WHERE %2 = :k").arg(table, keyField),
                                                         {{QStringLiteral(":k"), key}})
                             && probe.next();
            return fail(exists ? changedElsewhereText() : deletedElsewhereText());
        }
    }
    if (!m_data.commit(&failure))
        return fail(QString());
    if (records->isOpen() && records->refreshRecord(key))
        records->locateKey(key);
    // The record as written is what the next save of this dialog writes over.
    if (!isAdding() && records->key(records->currentRow()) == key)
        recordLoaded(records);
    return true;
}

bool RecordEditor::deleteCurrentRecord(TFrm_Data &data, DataSet *records, const QString &table, const QString &keyField)
{
    const int row = records->currentRow();
    if (row < 0)
        return false;
    QSqlError error;
    if (!data.execute(QStringLiteral("DELETE FROM %1 WHERE %2 = :key").arg(table, keyField),
                      {{QStringLiteral(":key"), records->key(row)}}, &error)) {
        data.reportError(QStringLiteral("删除记录失败!"), error, RefusalCaption);
        return false;
    }
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
