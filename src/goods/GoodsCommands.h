#pragma once

class MainFrame;
class QWidget;
class TFrm_Data;

// The goods catalogue's commands (M_Goods, Goods_Category, AddGoods, EditGoods, DelGoods)
// and the goods picker behind the customer editor's "增行&L".
namespace GoodsCommands {
void connect(MainFrame &frame, TFrm_Data &data, QWidget *parent);
}
