#pragma once

#include <QDialog>
#include <QPointer>
#include <memory>

namespace Ui { class TFrm_S_Goods; }
class TFrm_Data;
class TFrm_Goods;

// "查找货品": lists in the goods window the goods whose code, name and 规格 (size) contain
// what the boxes hold.
class TFrm_S_Goods : public QDialog
{
    Q_OBJECT
public:
    TFrm_S_Goods(TFrm_Data &data, TFrm_Goods &goodsWindow, QWidget *parent = nullptr);
    ~TFrm_S_Goods() override;

private:
    void Btn_OKClick();

    std::unique_ptr<Ui::TFrm_S_Goods> m_ui;
    TFrm_Data &m_data;
    TFrm_Goods &m_goodsWindow;
};

extern QPointer<TFrm_S_Goods> Frm_S_Goods;
