#pragma once

#include <QPointer>
#include <QWidget>

class GridModel;
class QPushButton;

// "第一条", "前一条", "后一条", "末一条": moves the current row of a data set and tells the
// editor, which then shows that row.
class RecordNavigator : public QWidget
{
    Q_OBJECT
public:
    explicit RecordNavigator(QWidget *parent = nullptr);

    void setModel(GridModel *model);

    void first();
    void prior();
    void next();
    void last();

signals:
    void moved();

private:
    void moveTo(int row);
    void updateButtons();

    QPointer<GridModel> m_model;
    QPushButton *m_first;
    QPushButton *m_prior;
    QPushButton *m_next;
    QPushButton *m_last;
};
