#include "TFrm_Goods.h"
#include "ui_TFrm_Goods.h"

#include "CodedHierarchy.h"
#include "DataGrid.h"
#include "GridExport.h"
#include "GridColumns.h"
#include "MainFrame.h"
#include "SqlDialect.h"
#include "TFrm_Data.h"
#include "TFrm_S_Goods.h"
#include "WaitCursor.h"

#include <QAction>
#include <QMenu>
#include <QShowEvent>

QPointer<TFrm_Goods> Frm_Goods;

namespace {
const QString Configuration = QStringLiteral("Goods");
const QString RootText = QStringLiteral("商品分类");
}

TFrm_Goods::TFrm_Goods(TFrm_Data &data, MainFrame &frame, QWidget *parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::TFrm_Goods>()), m_data(data), m_frame(frame)
{
    m_ui->setupUi(this);
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    m_ui->Splitter1->setStretchFactor(0, 1);
    m_ui->Splitter1->setStretchFactor(1, 4);
    m_ui->DBGridEh1->setMultiSort(true);
    m_ui->Btn_Add->setDefaultAction(frame.command(QStringLiteral("AddGoods")));
    m_ui->Btn_Edit->setDefaultAction(frame.command(QStringLiteral("EditGoods")));
    m_ui->Btn_Del->setDefaultAction(frame.command(QStringLiteral("DelGoods")));
    createMenus();

    DataGrid *grid = m_ui->DBGridEh1;
    connect(grid, &DataGrid::sortMarkingChanged, this,
            [this, grid] { GridColumns::SortByTitleMarkers(grid, m_data.Qry_Goods); });
    connect(grid, &DataGrid::rowDoubleClicked, this, [this] { runCommand("EditGoods"); });
    connect(grid, &DataGrid::deleteKeyPressed, this, [this] { runCommand("DelGoods"); });
    connect(m_ui->TreeView1, &QTreeWidget::itemClicked, this, &TFrm_Goods::TreeView1Click);
    connect(m_ui->Btn_Search, &QToolButton::clicked, this, &TFrm_Goods::Btn_SearchClick);
    connect(m_ui->Btn_Excel, &QToolButton::clicked, this, [this, grid] { ExportGridToExcel(m_data.Qry_Goods, grid); });
    connect(m_ui->Btn_Print, &QToolButton::clicked, this,
            [grid] { grid->printPreview(QStringLiteral("货品列表"), DataGrid::PrintFit::PageWidth); });
    // The count follows the list, also after an add or a delete.
    connect(m_data.Qry_Goods, &DataSet::opened, this, &TFrm_Goods::showCount);
    connect(m_data.Qry_Goods, &QAbstractItemModel::rowsInserted, this, &TFrm_Goods::showCount);
    connect(m_data.Qry_Goods, &QAbstractItemModel::rowsRemoved, this, &TFrm_Goods::showCount);
}

TFrm_Goods::~TFrm_Goods() = default;

void TFrm_Goods::M_Goods(TFrm_Data &data, MainFrame &frame, QWidget *parent)
{
    TFrm_Goods window(data, frame, parent);
    Frm_Goods = &window;
    window.exec();
}

DataGrid *TFrm_Goods::grid() const
{
    return m_ui->DBGridEh1;
}

void TFrm_Goods::createMenus()
{
    auto *goodsMenu = new QMenu(m_ui->DBGridEh1);
    goodsMenu->setObjectName(QStringLiteral("PopupMenu1"));
    for (const char *command : {"AddGoods", "EditGoods", "DelGoods"})
        goodsMenu->addAction(m_frame.command(QString::fromLatin1(command)));
    m_ui->DBGridEh1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_ui->DBGridEh1, &QWidget::customContextMenuRequested, goodsMenu, [this, goodsMenu](const QPoint &at) {
        goodsMenu->popup(m_ui->DBGridEh1->viewport()->mapToGlobal(at));
    });

    auto *treeMenu = new QMenu(m_ui->TreeView1);
    treeMenu->setObjectName(QStringLiteral("PopupMenu2"));
    QAction *refresh = treeMenu->addAction(QIcon::fromTheme(QStringLiteral("view-refresh")), QStringLiteral("刷新"));
    refresh->setObjectName(QStringLiteral("N4"));
    connect(refresh, &QAction::triggered, this, &TFrm_Goods::N4Click);
    treeMenu->addAction(m_frame.command(QStringLiteral("Goods_Category")));
    m_ui->TreeView1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_ui->TreeView1, &QWidget::customContextMenuRequested, treeMenu, [this, treeMenu](const QPoint &at) {
        treeMenu->popup(m_ui->TreeView1->viewport()->mapToGlobal(at));
    });
}

void TFrm_Goods::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TFrm_Goods::FormShow()
{
    setWindowTitle(QStringLiteral("商品管理"));
    listGoods(QString(), {});
    CodedHierarchy::BuildCategoryTree(m_ui->TreeView1, m_data, QStringLiteral("Goods_Category"), RootText);
}

bool TFrm_Goods::listGoods(const QString &condition, const QVariantMap &binds)
{
    const QString where = condition.isEmpty() ? QString() : QStringLiteral(" where ") + condition;
    const bool listed = m_data.RunQuery(m_data.Qry_Goods, QStringLiteral("select * from T_Goods%1 order by GoodsID").arg(where), binds);
    GridColumns::BuildGridColumns(m_data, m_ui->DBGridEh1, m_data.Qry_Goods, Configuration);
    showCount();
    return listed;
}

void TFrm_Goods::showCount()
{
    m_ui->StatusBar1->setText(QStringLiteral("当前共有 %1 条商品记录").arg(m_data.Qry_Goods->recordCount()));
}

void TFrm_Goods::TreeView1Click()
{
    QTreeWidgetItem *node = m_ui->TreeView1->currentItem();
    if (!node)
        return;
    WaitCursor wait;
    if (!node->parent()) {
        listGoods(QString(), {});
        return;
    }
    // The category and every category under it.
    CurrentGoodsCategory = node->text(0).section(QLatin1Char('-'), 0, 0);
    listGoods(QStringLiteral("Category like :category escape '\\'"),
              {{QStringLiteral(":category"), SqlDialect::escapeLike(CurrentGoodsCategory) + QLatin1Char('%')}});
}

void TFrm_Goods::N4Click()
{
    CodedHierarchy::BuildCategoryTree(m_ui->TreeView1, m_data, QStringLiteral("Goods_Category"), RootText);
    if (QTreeWidgetItem *root = m_ui->TreeView1->topLevelItem(0))
        m_ui->TreeView1->setCurrentItem(root);
}

void TFrm_Goods::Btn_SearchClick()
{
    TFrm_S_Goods search(m_data, *this, this);
    Frm_S_Goods = &search;
    search.exec();
}

void TFrm_Goods::runCommand(const char *name)
{
    QAction *command = m_frame.command(QString::fromLatin1(name));
    if (command && command->isEnabled())
        command->trigger();
}

void TFrm_Goods::done(int result)
{
    // The operator's column order and widths are kept without asking.
    if (isVisible())
        GridColumns::SaveGridColumns(m_data, m_ui->DBGridEh1, Configuration, 0);
    QDialog::done(result);
}
