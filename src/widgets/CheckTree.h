#pragma once

#include <QList>
#include <QTreeWidget>

// A tree whose every node carries a three-state check box. Checking or unchecking a node
// checks or unchecks everything below it; a node with some but not all of its children
// checked shows the partly checked state, and follows its children as they change.
//
// Nodes also carry a "picture index", a number the owner stores with the node (the
// permission editor keeps the function code there), and a "state index": 1 unchecked,
// 2 checked, 3 partly checked, the form in which check states are stored in the database.
class CheckTree : public QTreeWidget
{
    Q_OBJECT
public:
    static constexpr int PictureIndexRole = Qt::UserRole + 1;

    enum StateIndex { Unchecked = 1, Checked = 2, PartlyChecked = 3 };

    explicit CheckTree(QWidget *parent = nullptr);

    // A new node with the given text as the last child of parent (at the top level when
    // parent is null), unchecked.
    QTreeWidgetItem *addNode(QTreeWidgetItem *parent, const QString &text);

    // Every node, each followed by its children, from the top.
    QList<QTreeWidgetItem *> nodesDepthFirst() const;

    // Usable on the nodes of any tree widget; a node without a picture index gives 0.
    static int pictureIndex(const QTreeWidgetItem *item);
    static void setPictureIndex(QTreeWidgetItem *item, int index);

    static int stateIndex(const QTreeWidgetItem *item);
    // Values other than 2 and 3 leave the node unchecked. A node with children shows the
    // state of its children, so setting it checked or unchecked sets them too.
    static void setStateIndex(QTreeWidgetItem *item, int index);

private:
    void giveCheckBoxes(QTreeWidgetItem *item);
};
