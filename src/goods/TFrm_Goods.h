#pragma once

#include <QDialog>
#include <QPointer>
#include <QVariantMap>
#include <memory>

namespace Ui { class TFrm_Goods; }
class DataGrid;
class MainFrame;
class TFrm_Data;

// "商品管理": the goods category tree beside the goods of the chosen category and its
// sub-categories, over the data module's Qry_Goods, which the goods editor adds to and edits.
class TFrm_Goods : public QDialog
{
    Q_OBJECT
public:
    TFrm_Goods(TFrm_Data &data, MainFrame &frame, QWidget *parent = nullptr);
    ~TFrm_Goods() override;

    // The main window's command: the window, modal.
    static void M_Goods(TFrm_Data &data, MainFrame &frame, QWidget *parent);

    // The last category clicked (not the root); new goods start in it.
    QString currentGoodsCategory() const { return CurrentGoodsCategory; }
    DataGrid *grid() const;
    // Lists the goods that meet condition (all when it is empty) with the columns "Goods".
    bool listGoods(const QString &condition, const QVariantMap &binds);

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();
    void TreeView1Click();
    void N4Click();
    void Btn_SearchClick();
    void createMenus();
    void showCount();
    void runCommand(const char *name);

    std::unique_ptr<Ui::TFrm_Goods> m_ui;
    TFrm_Data &m_data;
    MainFrame &m_frame;
    QString CurrentGoodsCategory;
    bool m_shown = false;
};

extern QPointer<TFrm_Goods> Frm_Goods;
