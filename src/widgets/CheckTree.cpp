#include "CheckTree.h"

#include <QTreeWidgetItemIterator>

CheckTree::CheckTree(QWidget *parent) : QTreeWidget(parent)
{
    setColumnCount(1);
    setHeaderHidden(true);
    // Nodes may come from the plain QTreeWidget API too; each one gets its check box as it
    // enters the tree.
    connect(model(), &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex &parentIndex, int first, int last) {
                QTreeWidgetItem *parentItem = parentIndex.isValid() ? itemFromIndex(parentIndex)
                                                                    : invisibleRootItem();
                for (int row = first; row <= last; ++row)
                    giveCheckBoxes(parentItem->child(row));
            });
}

void CheckTree::giveCheckBoxes(QTreeWidgetItem *item)
{
    // Children first: a parent's state is derived from theirs, and giving an unchecked state
    // to a parent would uncheck children that arrived checked.
    for (int i = 0; i < item->childCount(); ++i)
        giveCheckBoxes(item->child(i));
    const Qt::ItemFlags wanted = Qt::ItemIsUserCheckable | Qt::ItemIsAutoTristate;
    if ((item->flags() & wanted) != wanted)
        item->setFlags(item->flags() | wanted);
    if (!item->data(0, Qt::CheckStateRole).isValid())
        item->setCheckState(0, Qt::Unchecked);
}

QTreeWidgetItem *CheckTree::addNode(QTreeWidgetItem *parent, const QString &text)
{
    auto *item = new QTreeWidgetItem(QStringList{text});
    (parent ? parent : invisibleRootItem())->addChild(item);
    return item;
}

QList<QTreeWidgetItem *> CheckTree::nodesDepthFirst() const
{
    QList<QTreeWidgetItem *> nodes;
    for (QTreeWidgetItemIterator it(const_cast<CheckTree *>(this)); *it; ++it)
        nodes.append(*it);
    return nodes;
}

int CheckTree::pictureIndex(const QTreeWidgetItem *item)
{
    return item->data(0, PictureIndexRole).toInt();
}

void CheckTree::setPictureIndex(QTreeWidgetItem *item, int index)
{
    item->setData(0, PictureIndexRole, index);
}

int CheckTree::stateIndex(const QTreeWidgetItem *item)
{
    switch (item->checkState(0)) {
    case Qt::Checked:
        return Checked;
    case Qt::PartiallyChecked:
        return PartlyChecked;
    case Qt::Unchecked:
        break;
    }
    return Unchecked;
}

void CheckTree::setStateIndex(QTreeWidgetItem *item, int index)
{
    const Qt::CheckState state = index == Checked         ? Qt::Checked
                                 : index == PartlyChecked ? Qt::PartiallyChecked
                                                          : Qt::Unchecked;
    item->setCheckState(0, state);
}
