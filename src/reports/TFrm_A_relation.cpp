#include "TFrm_A_relation.h"
#include "ui_TFrm_A_relation.h"

#include "ColumnChooser.h"
#include "DataGrid.h"
#include "DataSet.h"
#include "GridColumns.h"
#include "GridExport.h"
#include "MainFrame.h"
#include "SearchCriteria.h"
#include "TFrm_Data.h"
#include "WaitCursor.h"

#include <QMdiSubWindow>
#include <QMenu>
#include <QShowEvent>

QPointer<TFrm_A_relation> Frm_A_relation;

namespace {
const QString OrdersConfiguration = QStringLiteral("Scheduletj");
} // namespace

QString TFrm_A_relation::stateDone()
{
    return QStringLiteral("完成");
}

QString TFrm_A_relation::stateOpen()
{
    return QStringLiteral("未完成");
}

QString TFrm_A_relation::refusedText()
{
    return QStringLiteral("查询没有完成，列表保持原样。");
}

TFrm_A_relation::TFrm_A_relation(QWidget *parent)
    : QWidget(parent), m_ui(std::make_unique<Ui::TFrm_A_relation>()), m_data(*Frm_Data),
      m_frame(*MainFrame::instance())
{
    m_ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("维修信息统计列表"));

    m_orders = m_data.makeDataSet(QStringLiteral("ADOQuery1"), QStringLiteral("select * from T_Schedule"), this);
    m_orders->setRecordSource(QStringLiteral("T_Schedule"), QStringLiteral("ScheduleID"));

    const QDate today = QDate::currentDate();
    m_ui->DateTimePicker1->setDate(QDate(today.year(), today.month(), 1));
    m_ui->DateTimePicker2->setDate(today);
    m_ui->ComboBox1->addItems({stateDone(), stateOpen()});
    m_ui->ComboBox1->setCurrentText(stateOpen());

    m_ui->Combo_type->setList(m_data, QStringLiteral("Dict_modle"));
    m_ui->Combo_people->setList(m_data, QStringLiteral("Dict_CustLevel"));
    m_ui->Combo_yuanyin->setList(m_data, QStringLiteral("Dict_yuanyin"));
    m_ui->Combo_company->setColumnList(m_data, QStringLiteral("custom"), QStringLiteral("Company"), QStringLiteral("CustID"));

    DataGrid *grid = m_ui->DBGridEh1;
    grid->setMultiSort(true);
    grid->setFooterVisible(true);
    connect(grid, &DataGrid::sortMarkingChanged, this, [this, grid] { GridColumns::SortByTitleMarkers(grid, m_orders); });
    createMenu();

    connect(m_ui->SpeedButton1, &QPushButton::clicked, this, [this, grid] {
        ExportFileName() = QStringLiteral("维修信息统计列表");
        ExportGridToExcel(m_orders, grid);
    });

    connect(m_ui->BitBtn1, &QPushButton::clicked, this, &TFrm_A_relation::BitBtn1Click);
    connect(m_ui->BitBtn2, &QPushButton::clicked, this, &TFrm_A_relation::BitBtn2Click);
    connect(m_ui->Btn_Print, &QPushButton::clicked, this, &TFrm_A_relation::Btn_PrintClick);
    connect(m_ui->BitBtn5, &QPushButton::clicked, this, [this] {
        if (auto *sub = qobject_cast<QMdiSubWindow *>(parentWidget()))
            sub->close();
        else
            close();
    });
}

TFrm_A_relation::~TFrm_A_relation() = default;

DataGrid *TFrm_A_relation::DBGridEh1() const
{
    return m_ui->DBGridEh1;
}

void TFrm_A_relation::createMenu()
{
    DataGrid *grid = m_ui->DBGridEh1;
    auto *menu = new QMenu(grid);
    menu->setObjectName(QStringLiteral("PopupMenu1"));
    QAction *choose = menu->addAction(QStringLiteral("设置列显示"));
    choose->setObjectName(QStringLiteral("N1"));
    connect(choose, &QAction::triggered, this,
            [this] { ColumnChooser::open(this, OrdersConfiguration, ColumnChooser::Variant::StaysOpen); });
    QAction *save = menu->addAction(QStringLiteral("保存列属性"));
    save->setObjectName(QStringLiteral("N2"));
    connect(save, &QAction::triggered, this,
            [this, grid] { GridColumns::SaveGridColumns(m_data, grid, OrdersConfiguration, 1); });
    grid->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(grid, &QWidget::customContextMenuRequested, menu,
            [grid, menu](const QPoint &position) { menu->popup(grid->viewport()->mapToGlobal(position)); });
}

void TFrm_A_relation::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (auto *sub = qobject_cast<QMdiSubWindow *>(parentWidget()); sub && !m_shown)
        sub->showMaximized();
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TFrm_A_relation::FormShow()
{
    {
        WaitCursor wait;
        m_data.RunQuery(m_orders, QStringLiteral("select * from T_Schedule"));
    }
    BitBtn2Click();
    layOutOrders();
}

void TFrm_A_relation::layOutOrders()
{
    GridColumns::BuildGridColumns(m_data, m_ui->DBGridEh1, m_orders, OrdersConfiguration);
    m_ui->DBGridEh1->setFooterText(0, QStringLiteral("总计"));
    m_ui->DBGridEh1->setFooterCount(1);
}

SearchCriteria TFrm_A_relation::criteria() const
{
    SearchCriteria criteria(m_data.dialect());
    criteria.contains(QStringLiteral("type"), m_ui->Combo_type->currentText());
    criteria.contains(QStringLiteral("code"), m_ui->Edit_tel->text());
    // The fee is matched as the text it reads as: 5 finds 5, 15 and 50.
    criteria.numberContains(QStringLiteral("fee"), m_ui->Edit_code->text());
    criteria.contains(QStringLiteral("Company"), m_ui->Combo_company->currentText());
    criteria.contains(QStringLiteral("engineer"), m_ui->Combo_people->currentText());
    criteria.contains(QStringLiteral("jieguo"), m_ui->Edit_address->text());
    criteria.contains(QStringLiteral("reason"), m_ui->Combo_yuanyin->currentText());
    criteria.contains(QStringLiteral("tel"), m_ui->Edit_tel1->text());
    criteria.contains(QStringLiteral("address"), m_ui->Edit_address1->text());
    if (m_ui->DateTimePicker1->isChecked())
        criteria.fromDay(QStringLiteral("finishdate"), m_ui->DateTimePicker1->date());
    if (m_ui->DateTimePicker2->isChecked())
        criteria.toDay(QStringLiteral("finishdate"), m_ui->DateTimePicker2->date());
    criteria.equals(QStringLiteral("zt"), m_ui->ComboBox1->currentText());
    return criteria;
}

void TFrm_A_relation::BitBtn1Click()
{
    const SearchCriteria found = criteria();
    QSqlError refusal;
    bool listed;
    {
        WaitCursor wait;
        listed = m_data.TryQuery(m_orders, QStringLiteral("select * from T_Schedule") + found.whereClause() +
                                               QStringLiteral("  ORDER BY ScheduleID"),
                                 found.binds(), &refusal);
    }
    if (!listed) {
        m_data.reportError(refusedText(), refusal, windowTitle(), QMessageBox::Warning);
        return;
    }
    layOutOrders();
}

void TFrm_A_relation::BitBtn2Click()
{
    for (QComboBox *combo : {static_cast<QComboBox *>(m_ui->Combo_type), static_cast<QComboBox *>(m_ui->Combo_company),
                             static_cast<QComboBox *>(m_ui->Combo_people), static_cast<QComboBox *>(m_ui->Combo_yuanyin)})
        combo->setEditText(QString());
    for (QLineEdit *edit : {m_ui->Edit_tel, m_ui->Edit_code, m_ui->Edit_address, m_ui->Edit_tel1, m_ui->Edit_address1})
        edit->clear();
}

void TFrm_A_relation::Btn_PrintClick()
{
    m_ui->DBGridEh1->printPreview(QStringLiteral("维修信息统计表"), DataGrid::PrintFit::FittedColumns);
}
