#include "RecordEditor.h"

#include "DataSet.h"
#include "EnterMovesFocus.h"
#include "RecordNavigator.h"
#include "ReferenceLists.h"

#include <QAbstractButton>

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
