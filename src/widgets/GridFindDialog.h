#pragma once

#include <QDialog>

class DataGrid;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

// The grid's find dialog: a text, the column to look in, next and previous.
class GridFindDialog : public QDialog
{
    Q_OBJECT
public:
    explicit GridFindDialog(DataGrid *grid);

    void findNext(bool forward);

private:
    DataGrid *m_grid;
    QLineEdit *m_text;
    QComboBox *m_column;
    QCheckBox *m_matchCase;
    QCheckBox *m_wholeField;
    QLabel *m_status;
};
