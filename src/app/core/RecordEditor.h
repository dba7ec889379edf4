#pragma once

#include <QDialog>

class DataSet;
class QAbstractButton;
class RecordNavigator;
class TFrm_Data;

// The shape all record editors share: a modal dialog opened to add or to edit, a record
// navigator over the data set being edited, Enter moving to the next control, and list
// buttons that open the reference list behind a drop-down at its page.
class RecordEditor : public QDialog
{
    Q_OBJECT
public:
    enum class Mode { Add, Edit };

    RecordEditor(TFrm_Data &data, Mode mode, QWidget *parent = nullptr);

    Mode mode() const { return m_mode; }
    bool isAdding() const { return m_mode == Mode::Add; }

protected:
    // Call once the form's controls exist: Enter handling and the navigator.
    void setUpForm(RecordNavigator *navigator, DataSet *records);
    void connectListButton(QAbstractButton *button, const QString &table);
    // The navigator moved to another row of the data set.
    virtual void recordMoved() = 0;

    TFrm_Data &m_data;

private:
    Mode m_mode;
};
