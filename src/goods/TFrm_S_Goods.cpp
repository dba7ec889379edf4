#include "TFrm_S_Goods.h"
#include "ui_TFrm_S_Goods.h"

#include "GoodsFilter.h"
#include "TFrm_Data.h"
#include "TFrm_Goods.h"
#include "WaitCursor.h"

QPointer<TFrm_S_Goods> Frm_S_Goods;

TFrm_S_Goods::TFrm_S_Goods(TFrm_Data &data, TFrm_Goods &goodsWindow, QWidget *parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::TFrm_S_Goods>()), m_data(data), m_goodsWindow(goodsWindow)
{
    m_ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("查找货品"));
    connect(m_ui->Btn_OK, &QPushButton::clicked, this, &TFrm_S_Goods::Btn_OKClick);
    connect(m_ui->Btn_Exit, &QPushButton::clicked, this, &QDialog::reject);
}

TFrm_S_Goods::~TFrm_S_Goods() = default;

void TFrm_S_Goods::Btn_OKClick()
{
    QVariantMap binds;
    const QString condition = GoodsFilter::condition(m_data.dialect(),
                                                     {{QStringLiteral("GoodsCode"), m_ui->Edit_Code->text()},
                                                      {QStringLiteral("GoodsName"), m_ui->Edit_Name->text()},
                                                      {QStringLiteral("GoodsUnit"), m_ui->Edit_Unit->text()}},
                                                     &binds);
    {
        WaitCursor wait;
        // A refused search keeps the dialog open with what was typed.
        if (!m_goodsWindow.listGoods(condition, binds))
            return;
    }
    accept();
}
