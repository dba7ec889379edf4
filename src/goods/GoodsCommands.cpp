#include "GoodsCommands.h"

#include "GoodsPicker.h"
#include "MainFrame.h"
#include "TFrm_AddGoods.h"
#include "TFrm_Goods.h"
#include "TFrm_SelectGoods.h"
#include "TFrm_Tree.h"

#include <QApplication>
#include <QWidget>

namespace {
// The goods windows open over one another (the editor over the goods window or the picker),
// so each belongs to the modal window it was opened from.
QWidget *ownerOf(QWidget *mainWindow)
{
    QWidget *modal = QApplication::activeModalWidget();
    return modal ? modal : mainWindow;
}
} // namespace

void GoodsCommands::connect(MainFrame &frame, TFrm_Data &data, QWidget *parent)
{
    frame.provide("M_Goods", parent, [&data, &frame, parent] { TFrm_Goods::M_Goods(data, frame, ownerOf(parent)); });
    frame.provide("Goods_Category", parent, [&data, parent] { TFrm_Tree::Goods_Category(data, ownerOf(parent)); });
    frame.provide("AddGoods", parent, [&data, parent] { TFrm_AddGoods::AddGoods(data, ownerOf(parent)); });
    frame.provide("EditGoods", parent, [&data, parent] { TFrm_AddGoods::EditGoods(data, ownerOf(parent)); });
    frame.provide("DelGoods", parent, [&data] { TFrm_AddGoods::DelGoods(data); });
    TFrm_SelectGoods::installPicker(data, frame);
    QObject::connect(parent, &QObject::destroyed, [] { GoodsPicker::setOpener({}); });
}
