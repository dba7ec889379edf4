#pragma once

#include <QDialog>
#include <QPointer>
#include <QVariantMap>
#include <memory>

namespace Ui { class TFrm_SelectGoods; }
class DataSet;
class MainFrame;
class TFrm_Data;

// "请选择设备": the goods catalogue narrowed by category or by the model typed, from which the
// customer editor takes the goods lines of an installation order. Every choice appends one
// pending line (quantity 0) to the data module's goods lines; the picker stays open for more.
class TFrm_SelectGoods : public QDialog
{
    Q_OBJECT
public:
    TFrm_SelectGoods(TFrm_Data &data, MainFrame &frame, QWidget *parent = nullptr);
    ~TFrm_SelectGoods() override;

    // "1": choices become goods lines of the installation order batch; any other mode only
    // shows the goods.
    void setPickerMode(const QString &mode, const QString &batch = QString());
    // Puts the picker behind GoodsPicker, for the customer editor's "增行&L". data and frame
    // must outlive every later opening.
    static void installPicker(TFrm_Data &data, MainFrame &frame);
    static void pickGoodsLines(TFrm_Data &data, MainFrame &frame, QWidget *parent, const QString &batch);

    DataSet *goods() const { return Qry_Goods; }
    void AddSelectedGoods();

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();
    void FilterGoods();
    void TreeView1DblClick();
    void BitBtn2Click();
    bool listGoods(const QString &statement, const QVariantMap &binds = {});
    void showCount(const QString &format);

    std::unique_ptr<Ui::TFrm_SelectGoods> m_ui;
    TFrm_Data &m_data;
    DataSet *Qry_Goods;
    QString PickerMode;
    QString m_batch;
    int m_chosen = 0;
    bool m_shown = false;
};

extern QPointer<TFrm_SelectGoods> Frm_SelectGoods;
