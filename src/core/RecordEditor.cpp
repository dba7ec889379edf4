#include "RecordEditor.h"

#include "DataSet.h"
#include "EnterMovesFocus.h"
#include "MessageBoxes.h"
#include "RecordNavigator.h"
#include "ReferenceLists.h"
#include "TFrm_Data.h"

#include <QAbstractButton>
#include <QSqlQuery>
#include <QStringList>

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
