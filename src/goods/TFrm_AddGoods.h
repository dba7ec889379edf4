#pragma once

#include "GoodsCatalogue.h"
#include "RecordEditor.h"

#include <QPointer>
#include <memory>

namespace Ui { class TFrm_AddGoods; }
class QLineEdit;

// The goods editor: adds goods one after another in the goods window's current category, or
// edits the current goods of the data module's Qry_Goods, following the goods window's rows
// with its navigator. 规格 (size), prices, unit and remarks are not on view; they keep the
// values read (an added goods gets empty texts and prices of 0).
class TFrm_AddGoods : public RecordEditor
{
    Q_OBJECT
public:
    TFrm_AddGoods(TFrm_Data &data, Mode mode, QWidget *parent = nullptr);
    ~TFrm_AddGoods() override;

    // The main window's commands.
    static void AddGoods(TFrm_Data &data, QWidget *parent);
    static void EditGoods(TFrm_Data &data, QWidget *parent);
    static void DelGoods(TFrm_Data &data);

    void Btn_OKClick();

protected:
    void showEvent(QShowEvent *event) override;
    void recordMoved() override;

private:
    void FormShow();
    void ClearGoodsFields();
    void LoadCurrentGoods();
    void chooseCategory();
    void warn(const QString &text, QLineEdit *focus);
    bool saveNew();
    bool saveEdited();
    GoodsCatalogue::Record goodsRecord() const;

    std::unique_ptr<Ui::TFrm_AddGoods> m_ui;
    QString LoadedGoodsCode;
    QString GoodsCategoryCode;
    bool m_shown = false;
};

extern QPointer<TFrm_AddGoods> Frm_AddGoods;
