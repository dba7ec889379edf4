#include "GridColumnModel.h"

#include "GridModel.h"

#include "GridModel.h"

GridColumnModel::GridColumnModel(QObject *parent) : QAbstractTableModel(parent) {}

void GridColumnModel::setSourceModel(GridModel *source)
{
    beginResetModel();
    if (m_source)
        disconnect(m_source, nullptr, this, nullptr);
    m_source = source;
    if (source) {
        connect(source, &QAbstractItemModel::modelAboutToBeReset, this, &GridColumnModel::beginResetModel);
        connect(source, &QAbstractItemModel::modelReset, this, &GridColumnModel::endResetModel);
        connect(source, &QAbstractItemModel::rowsAboutToBeInserted, this,
                [this](const QModelIndex &, int first, int last) { beginInsertRows({}, first, last); });
        connect(source, &QAbstractItemModel::rowsInserted, this, &GridColumnModel::endInsertRows);
        connect(source, &QAbstractItemModel::rowsAboutToBeRemoved, this,
                [this](const QModelIndex &, int first, int last) { beginRemoveRows({}, first, last); });
        connect(source, &QAbstractItemModel::rowsRemoved, this, &GridColumnModel::endRemoveRows);
        connect(source, &QAbstractItemModel::dataChanged, this,
                [this](const QModelIndex &topLeft, const QModelIndex &bottomRight) {
                    if (columnCount() > 0)
                        emit dataChanged(index(topLeft.row(), 0), index(bottomRight.row(), columnCount() - 1));
                });
        connect(source, &QAbstractItemModel::headerDataChanged, this, [this] {
            if (columnCount() > 0)
                emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
        });
    }
    endResetModel();
}

void GridColumnModel::setFields(const QStringList &fields)
{
    beginResetModel();
    m_fields = fields;
    endResetModel();
}

QString GridColumnModel::field(int column) const
{
    if (!m_fields.isEmpty())
        return m_fields.value(column);
    return m_source ? m_source->fieldName(column) : QString();
}

int GridColumnModel::sourceColumn(int column) const
{
    if (!m_source)
        return -1;
    if (m_fields.isEmpty())
        return column < m_source->columnCount() ? column : -1;
    return m_source->fieldIndex(m_fields.value(column));
}

QModelIndex GridColumnModel::sourceIndex(const QModelIndex &index) const
{
    const int column = index.isValid() ? sourceColumn(index.column()) : -1;
    return column < 0 ? QModelIndex() : m_source->index(index.row(), column);
}

int GridColumnModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() || !m_source ? 0 : m_source->rowCount();
}

int GridColumnModel::columnCount(const QModelIndex &parent) const
{
    if (parent.isValid() || !m_source)
        return 0;
    return m_fields.isEmpty() ? m_source->columnCount() : m_fields.size();
}

QVariant GridColumnModel::data(const QModelIndex &index, int role) const
{
    const QModelIndex source = sourceIndex(index);
    return source.isValid() ? m_source->data(source, role) : QVariant();
}

bool GridColumnModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    const QModelIndex source = sourceIndex(index);
    return source.isValid() && m_source->setData(source, value, role);
}

Qt::ItemFlags GridColumnModel::flags(const QModelIndex &index) const
{
    const QModelIndex source = sourceIndex(index);
    return source.isValid() ? m_source->flags(source) : Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

QVariant GridColumnModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || !m_source)
        return QVariant();
    return m_source->displayLabel(field(section));
}
