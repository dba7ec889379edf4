#pragma once

#include <QAbstractTableModel>
#include <QPointer>
#include <QStringList>

#include "GridModel.h"

// The columns a DataGrid shows, in its order, over the columns of its GridModel. A field may
// appear more than once; a field the model lacks shows empty cells. Without a field list
// every column of the model is shown in the model's order.
class GridColumnModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit GridColumnModel(QObject *parent = nullptr);

    void setSourceModel(GridModel *source);
    GridModel *sourceModel() const { return m_source; }

    // An empty list shows every column of the source.
    void setFields(const QStringList &fields);
    bool hasFieldList() const { return !m_fields.isEmpty(); }
    QString field(int column) const;
    int sourceColumn(int column) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QModelIndex sourceIndex(const QModelIndex &index) const;

    QPointer<GridModel> m_source;
    QStringList m_fields;
};
