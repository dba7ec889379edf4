#include "TFrm_SelectGoods.h"
#include "ui_TFrm_SelectGoods.h"

#include "CodedHierarchy.h"
#include "DataGrid.h"
#include "DataSet.h"
#include "GoodsFilter.h"
#include "GoodsPicker.h"
#include "GridColumns.h"
#include "MainFrame.h"
#include "MessageBoxes.h"
#include "SqlDialect.h"
#include "TFrm_Data.h"
#include "WaitCursor.h"

#include <QShowEvent>

QPointer<TFrm_SelectGoods> Frm_SelectGoods;

namespace {
const QString Configuration = QStringLiteral("SelectGoods");
const QString CustomerEditorMode = QStringLiteral("1");
// The count as the window first shows it, and as every later listing shows it.
const QString FirstCountText = QStringLiteral("当前共有 %1条设备记录");
const QString CountText = QStringLiteral("当前共有 %1 条设备记录");
} // namespace

TFrm_SelectGoods::TFrm_SelectGoods(TFrm_Data &data, MainFrame &frame, QWidget *parent)
    : QDialog(parent),
      m_ui(std::make_unique<Ui::TFrm_SelectGoods>()),
      m_data(data),
      Qry_Goods(data.makeDataSet(QStringLiteral("Qry_Goods"), QString(), this))
{
    Qry_Goods->setRecordSource(QStringLiteral("T_Goods"), QStringLiteral("GoodsID"));
    m_ui->setupUi(this);
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    m_ui->Splitter1->setStretchFactor(0, 1);
    m_ui->Splitter1->setStretchFactor(1, 4);
    m_ui->BitBtn1->setDefaultAction(frame.command(QStringLiteral("AddGoods")));

    DataGrid *grid = m_ui->DBGridEh1;
    grid->setMultiSort(true);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    connect(grid, &DataGrid::sortMarkingChanged, this,
            [this, grid] { GridColumns::SortByTitleMarkers(grid, Qry_Goods); });
    connect(grid, &DataGrid::rowDoubleClicked, this, &TFrm_SelectGoods::AddSelectedGoods);
    connect(m_ui->TreeView1, &QTreeWidget::itemDoubleClicked, this, &TFrm_SelectGoods::TreeView1DblClick);
    for (QLineEdit *box : {m_ui->Edit_Code, m_ui->Edit_Name, m_ui->Edit_Bar, m_ui->Edit_guige})
        connect(box, &QLineEdit::textEdited, this, &TFrm_SelectGoods::FilterGoods);
    connect(m_ui->Btn_Select, &QPushButton::clicked, this, &TFrm_SelectGoods::AddSelectedGoods);
    connect(m_ui->Btn_Close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_ui->BitBtn2, &QPushButton::clicked, this, &TFrm_SelectGoods::BitBtn2Click);
}

TFrm_SelectGoods::~TFrm_SelectGoods() = default;

void TFrm_SelectGoods::setPickerMode(const QString &mode, const QString &batch)
{
    PickerMode = mode;
    m_batch = batch;
}

void TFrm_SelectGoods::installPicker(TFrm_Data &data, MainFrame &frame)
{
    GoodsPicker::setOpener([&data, &frame](QWidget *parent, const QString &batch) {
        pickGoodsLines(data, frame, parent, batch);
    });
}

void TFrm_SelectGoods::pickGoodsLines(TFrm_Data &data, MainFrame &frame, QWidget *parent, const QString &batch)
{
    TFrm_SelectGoods picker(data, frame, parent);
    picker.setPickerMode(CustomerEditorMode, batch);
    Frm_SelectGoods = &picker;
    picker.exec();
}

void TFrm_SelectGoods::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TFrm_SelectGoods::FormShow()
{
    setWindowTitle(QStringLiteral("请选择设备"));
    listGoods(QStringLiteral("select * from T_Goods order by GoodsID"));
    for (QLineEdit *box : {m_ui->Edit_Code, m_ui->Edit_Name, m_ui->Edit_Bar, m_ui->Edit_guige})
        box->clear();
    showCount(FirstCountText);
    CodedHierarchy::BuildCategoryTree(m_ui->TreeView1, m_data, QStringLiteral("Goods_Category"), QStringLiteral("供应商分类"));
    m_ui->Edit_Name->setFocus();
}

bool TFrm_SelectGoods::listGoods(const QString &statement, const QVariantMap &binds)
{
    const bool listed = m_data.RunQuery(Qry_Goods, statement, binds);
    GridColumns::BuildGridColumns(m_data, m_ui->DBGridEh1, Qry_Goods, Configuration);
    return listed;
}

void TFrm_SelectGoods::showCount(const QString &format)
{
    m_ui->StatusBar1->setText(format.arg(Qry_Goods->recordCount()));
}

void TFrm_SelectGoods::FilterGoods()
{
    QVariantMap binds;
    const QString condition = GoodsFilter::condition(m_data.dialect(),
                                                     {{QStringLiteral("GoodsCode"), m_ui->Edit_Code->text()},
                                                      {QStringLiteral("GoodsName"), m_ui->Edit_Name->text()},
                                                      {QStringLiteral("Units"), m_ui->Edit_Bar->text()},
                                                      {QStringLiteral("GoodsUnit"), m_ui->Edit_guige->text()}},
                                                     &binds);
    // The typed filter replaces a category chosen in the tree.
    const QString where = condition.isEmpty() ? QString() : QStringLiteral(" where ") + condition;
    if (listGoods(QStringLiteral("select * from T_Goods%1 order by GoodsID").arg(where), binds))
        showCount(CountText);
}

void TFrm_SelectGoods::TreeView1DblClick()
{
    QTreeWidgetItem *node = m_ui->TreeView1->currentItem();
    if (!node)
        return;
    WaitCursor wait;
    bool listed;
    if (!node->parent()) {
        listed = listGoods(QStringLiteral("select * from T_Goods order by GoodsCode, GoodsID"));
    } else {
        // The category and every category under it.
        const QString code = node->text(0).section(QLatin1Char('-'), 0, 0);
        listed = listGoods(QStringLiteral("select * from T_Goods where Category like :category escape '\\' "
                                          "order by GoodsCode, GoodsID"),
                           {{QStringLiteral(":category"), SqlDialect::escapeLike(code) + QLatin1Char('%')}});
    }
    if (listed)
        showCount(CountText);
}

void TFrm_SelectGoods::BitBtn2Click()
{
    if (listGoods(QStringLiteral("select * from T_Goods order by GoodsID")))
        showCount(CountText);
}

void TFrm_SelectGoods::AddSelectedGoods()
{
    if (PickerMode != CustomerEditorMode)
        return;
    if (Qry_Goods->isEmpty()) {
        MessageBoxes::plain(QStringLiteral("没有货品！"));
        return;
    }
    // Only the current goods counts, however many rows are selected.
    const QVariantMap line{{QStringLiteral("batch"), m_batch},
                           {QStringLiteral("GoodsCode"), Qry_Goods->value(QStringLiteral("GoodsCode"))},
                           {QStringLiteral("GoodsName"), Qry_Goods->value(QStringLiteral("GoodsName"))},
                           {QStringLiteral("Number"), 0.0}};
    if (m_data.Qry_BillDetail->appendRecord(line) < 0)
        return;
    ++m_chosen;
    m_ui->Label_Chosen->setText(QStringLiteral("已添加 %1 条货品行").arg(m_chosen));
}

void TFrm_SelectGoods::done(int result)
{
    // The operator's column order and widths are kept without asking.
    if (isVisible())
        GridColumns::SaveGridColumns(m_data, m_ui->DBGridEh1, Configuration, 0);
    QDialog::done(result);
}
