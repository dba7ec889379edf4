#include "TFrm_Custom.h"
#include "ui_TFrm_Custom.h"

#include "DataGrid.h"
#include "GridColumns.h"
#include "GridExport.h"
#include "MainFrame.h"
#include "MessageBoxes.h"
#include "Session.h"
#include "TFrm_Data.h"

#include <QAction>
#include <QApplication>
#include <QMdiSubWindow>
#include <QMenu>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QShowEvent>

QPointer<TFrm_Custom> Frm_Custom;

namespace {

const QString CustomerConfiguration = QStringLiteral("Custom");
const QString NameTitle = QStringLiteral("用户名称");
constexpr int CustomerCountPanel = 1;
constexpr int SeeAllRecordsSlot = 34;
constexpr int SearchSlot = 5;
constexpr int ComplaintsPage = 2;

// A wait cursor for database work, restored however the work ends.
class WaitCursor
{
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

QString containsPattern(const QString &key)
{
    return QLatin1Char('%') + SqlDialect::escapeLike(key) + QLatin1Char('%');
}

} // namespace

TFrm_Custom::TFrm_Custom(QWidget *parent)
    : QWidget(parent), m_ui(std::make_unique<Ui::TFrm_Custom>()), m_data(*Frm_Data), m_frame(*MainFrame::instance())
{
    m_ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("用户信息"));
    m_ui->Edit_Key->clear();
    m_ui->Combo_Type->addItem(NameTitle);
    m_ui->Splitter1->setStretchFactor(0, 3);
    m_ui->Splitter1->setStretchFactor(1, 2);

    m_ui->Grid_Cust->setMultiSort(true);
    m_ui->Grid_Cust->setFooterVisible(true);
    DataSet *customers = m_data.Qry_Cust;
    // Paid customers stand out in red.
    m_ui->Grid_Cust->setRowTextColor([customers](int row) {
        return customers->value(row, QStringLiteral("isgathering")).toBool() ? QColor(Qt::red) : QColor();
    });

    bindCommandButtons();
    createMenus();
    connectGrid(m_ui->Grid_Cust, m_data.Qry_Cust, "EditCust", "DelCust");
    connectGrid(m_ui->Grid_Contact, m_data.Qry_Contact, "EditContact", nullptr);
    connectGrid(m_ui->Grid_Sch, m_data.Qry_Schedule, "EditSchedule", "DelSchedule");
    connectGrid(m_ui->Grid_Sale, m_data.Qry_Bill, "EditBill", "DelBill");

    connect(m_ui->Btn_S_Cust, &QPushButton::clicked, this, &TFrm_Custom::Btn_S_CustClick);
    // Enter searches even while the button is disabled.
    connect(m_ui->Edit_Key, &QLineEdit::returnPressed, this, &TFrm_Custom::Btn_S_CustClick);
    connect(m_ui->Combo_Type, &DropDownComboBox::aboutToDropDown, this, &TFrm_Custom::Combo_TypeDropDown);
    connect(m_ui->CheckBox1, &QCheckBox::clicked, this, &TFrm_Custom::CheckBox1Click);
    connect(m_ui->Page_Contact, &QTabWidget::currentChanged, this, &TFrm_Custom::Page_ContactChange);
    // Whoever changes the customer list (a search, an editor, a deletion, a refresh), the
    // status bar tells how many it holds.
    connect(customers, &QAbstractItemModel::modelReset, this, &TFrm_Custom::showCustomerCount);
    connect(customers, &QAbstractItemModel::rowsInserted, this, &TFrm_Custom::showCustomerCount);
    connect(customers, &QAbstractItemModel::rowsRemoved, this, &TFrm_Custom::showCustomerCount);
}

TFrm_Custom::~TFrm_Custom()
{
    m_frame.setStatusText(CustomerCountPanel, QString());
}

DataGrid *TFrm_Custom::Grid_Cust() const { return m_ui->Grid_Cust; }
DataGrid *TFrm_Custom::Grid_Contact() const { return m_ui->Grid_Contact; }
DataGrid *TFrm_Custom::Grid_Sch() const { return m_ui->Grid_Sch; }
DataGrid *TFrm_Custom::Grid_Sale() const { return m_ui->Grid_Sale; }

void TFrm_Custom::bindCommandButtons()
{
    const std::pair<QToolButton *, const char *> buttons[] = {
        {m_ui->BitBtn1, "PrintBill"},          {m_ui->BitBtn2, "AddCust"},
        {m_ui->BitBtn3, "EditCust"},           {m_ui->BitBtn4, "DelCust"},
        {m_ui->Btn_AddContact, "AddContact"},  {m_ui->Btn_EditContact, "EditContact"},
        {m_ui->Btn_DelContact, "DelContact"},  {m_ui->Btn_AddSchedule, "AddSchedule"},
        {m_ui->Btn_EditSchedule, "EditSchedule"}, {m_ui->Btn_DelSchedule, "DelSchedule"},
        {m_ui->Btn_printwx, "printwx"},        {m_ui->Btn_AddBill, "AddBill"},
        {m_ui->Btn_EditBill, "EditBill"},      {m_ui->Btn_DelBill, "DelBill"},
    };
    for (const auto &[button, command] : buttons)
        button->setDefaultAction(m_frame.command(QString::fromLatin1(command)));
}

QMenu *TFrm_Custom::gridMenu(DataGrid *grid, const char *name, std::initializer_list<const char *> commands)
{
    auto *menu = new QMenu(grid);
    menu->setObjectName(QString::fromLatin1(name));
    for (const char *command : commands)
        menu->addAction(m_frame.command(QString::fromLatin1(command)));
    menu->addSeparator();
    grid->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(grid, &QWidget::customContextMenuRequested, menu,
            [grid, menu](const QPoint &position) { menu->popup(grid->viewport()->mapToGlobal(position)); });
    return menu;
}

void TFrm_Custom::createMenus()
{
    // The column chooser arrives with its own window; until then its entries are shown
    // disabled.
    const auto pending = [](QMenu *menu, const QString &text, const char *name) {
        QAction *action = menu->addAction(text);
        action->setObjectName(QString::fromLatin1(name));
        action->setEnabled(false);
        return action;
    };
    const auto saveColumns = [this](QMenu *menu, const QString &text, DataGrid *grid, const QString &configuration) {
        connect(menu->addAction(text), &QAction::triggered, this,
                [this, grid, configuration] { GridColumns::SaveGridColumns(m_data, grid, configuration, 1); });
    };

    QMenu *customers = gridMenu(m_ui->Grid_Cust, "Menu_Cust", {"AddCust", "EditCust", "DelCust"});
    customers->addAction(m_frame.command(QStringLiteral("SearchCust")));
    customers->addSeparator();
    QAction *refresh = customers->addAction(QStringLiteral("刷新"));
    refresh->setObjectName(QStringLiteral("N_Refresh"));
    refresh->setShortcut(QKeySequence(Qt::Key_F5));
    refresh->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(refresh);
    connect(refresh, &QAction::triggered, this, &TFrm_Custom::Refresh);
    customers->addSeparator();
    customers->addAction(m_frame.command(QStringLiteral("ShowField_Cust")));
    saveColumns(customers, QStringLiteral("保存列属性"), m_ui->Grid_Cust, CustomerConfiguration);
    customers->addSeparator();
    QMenu *exportMenu = customers->addMenu(QStringLiteral("导出数据"));
    exportMenu->addAction(m_frame.command(QStringLiteral("ExportCustCSV")));

    QMenu *visits = gridMenu(m_ui->Grid_Contact, "Menu_Contact", {"AddContact", "EditContact", "DelContact"});
    pending(visits, QStringLiteral("设置列显示"), "ShowField_Contact");
    saveColumns(visits, QStringLiteral("保存列属性"), m_ui->Grid_Contact, QStringLiteral("Contact"));
    visits->addSeparator();

    QMenu *orders = gridMenu(m_ui->Grid_Sch, "Menu_Sch", {"AddSchedule", "EditSchedule", "DelSchedule"});
    pending(orders, QStringLiteral("设置列显示"), "ShowField_Sch");
    saveColumns(orders, QStringLiteral("保存列属性"), m_ui->Grid_Sch, QStringLiteral("Schedule"));
    orders->addSeparator();
    QAction *exportOrders = orders->addAction(QStringLiteral("导出excel"));
    exportOrders->setObjectName(QStringLiteral("excel2"));
    connect(exportOrders, &QAction::triggered, this, [this] {
        ExportFileName() = QStringLiteral("维修信息列表");
        ExportGridToExcel(m_data.Qry_Schedule, m_ui->Grid_Sch);
    });

    QMenu *complaints = gridMenu(m_ui->Grid_Sale, "Menu_Sale", {"AddBill", "EditBill", "DelBill"});
    pending(complaints, QStringLiteral("设置列显示"), "ShowField_Sale");
    saveColumns(complaints, QStringLiteral("保存列显示"), m_ui->Grid_Sale, QStringLiteral("Bill"));
}

void TFrm_Custom::runCommand(const char *name)
{
    // A disabled command does nothing, and says nothing.
    QAction *command = m_frame.command(QString::fromLatin1(name));
    if (command && command->isEnabled())
        command->trigger();
}

void TFrm_Custom::connectGrid(DataGrid *grid, DataSet *query, const char *doubleClickCommand, const char *deleteCommand)
{
    connect(grid, &DataGrid::sortMarkingChanged, this, [grid, query] { GridColumns::SortByTitleMarkers(grid, query); });
    connect(grid, &DataGrid::rowDoubleClicked, this, [this, doubleClickCommand] { runCommand(doubleClickCommand); });
    if (deleteCommand)
        connect(grid, &DataGrid::deleteKeyPressed, this, [this, deleteCommand] { runCommand(deleteCommand); });
}

bool TFrm_Custom::seesAllRecords() const
{
    return m_frame.session().permission(SeeAllRecordsSlot);
}

QString TFrm_Custom::ownerCondition() const
{
    return seesAllRecords() ? QString() : QStringLiteral(" and F_User = :user");
}

void TFrm_Custom::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (auto *sub = qobject_cast<QMdiSubWindow *>(parentWidget()); sub && !m_shown)
        sub->showMaximized();
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TFrm_Custom::loadCustomers()
{
    if (seesAllRecords())
        m_data.RunQuery(m_data.Qry_Cust, QStringLiteral("Select * from Custom"));
    else
        m_data.RunQuery(m_data.Qry_Cust, QStringLiteral("Select * from Custom where F_User = :user"),
                        {{QStringLiteral(":user"), m_frame.session().OperatorName()}});
}

void TFrm_Custom::showCustomerCount()
{
    m_frame.setStatusText(CustomerCountPanel,
                          QStringLiteral("当前共有 %1 条用户记录").arg(m_data.Qry_Cust->recordCount()));
}

void TFrm_Custom::layOutCustomers()
{
    GridColumns::BuildGridColumns(m_data, m_ui->Grid_Cust, m_data.Qry_Cust, CustomerConfiguration);
    // Laying the columns out again clears the footer: "总计" and the count come back with it.
    m_ui->Grid_Cust->setFooterText(0, QStringLiteral("总计"));
    m_ui->Grid_Cust->setFooterCount(1);
}

void TFrm_Custom::FormShow()
{
    m_ui->Btn_S_Cust->setEnabled(m_frame.session().permission(SearchSlot));
    const QVariantMap owner{{QStringLiteral(":user"), m_frame.session().OperatorName()}};
    loadCustomers();
    showCustomerCount();
    m_data.RunQuery(m_data.Qry_Contact, QStringLiteral("Select * From Contact where CustCode = :CustCode") + ownerCondition(), owner);
    m_data.RunQuery(m_data.Qry_Schedule, QStringLiteral("Select * From T_Schedule where CustCode = :CustCode") + ownerCondition(), owner);
    layOutCustomers();
    GridColumns::BuildGridColumns(m_data, m_ui->Grid_Contact, m_data.Qry_Contact, QStringLiteral("Contact"));
    GridColumns::BuildGridColumns(m_data, m_ui->Grid_Sch, m_data.Qry_Schedule, QStringLiteral("Schedule"));
    m_ui->Grid_Sale->setGridModel(m_data.Qry_Bill);
}

void TFrm_Custom::Cust_CustContact()
{
    m_data.Qry_Contact->setMasterSource(m_data.Qry_Cust);
    loadCustomers();
    m_data.Qry_Schedule->setMasterSource(m_data.Qry_Cust);
    layOutCustomers();
}

void TFrm_Custom::Page_ContactChange(int index)
{
    if (index != ComplaintsPage)
        return;
    m_data.RunQuery(m_data.Qry_Bill, QStringLiteral("select * from T_Bill where CustCode = :CustCode"));
    GridColumns::BuildGridColumns(m_data, m_ui->Grid_Sale, m_data.Qry_Bill, QStringLiteral("Bill"));
}

void TFrm_Custom::Combo_TypeDropDown()
{
    const QString current = m_ui->Combo_Type->currentText();
    m_ui->Combo_Type->clear();
    if (m_data.RunQuery(m_data.Qry_Temp, QStringLiteral("select * from T_FieldShow where lower(TableName) = 'custom' order by FieldShowID"))) {
        for (int row = 0; row < m_data.Qry_Temp->recordCount(); ++row)
            m_ui->Combo_Type->addItem(m_data.Qry_Temp->value(row, QStringLiteral("Name")).toString());
    }
    m_ui->Combo_Type->setCurrentIndex(m_ui->Combo_Type->findText(current));
}

void TFrm_Custom::Btn_S_CustClick()
{
    WaitCursor wait;
    m_ui->Btn_S_Cust->setEnabled(false);
    const auto finish = qScopeGuard([this] { m_ui->Btn_S_Cust->setEnabled(true); });
    const QString title = m_ui->Combo_Type->currentText();
    const QString key = containsPattern(m_ui->Edit_Key->text());
    const SqlDialect &sql = m_data.dialect();
    QString statement;
    QVariantMap binds{{QStringLiteral(":key"), key}};
    if (title == NameTitle) {
        statement = QStringLiteral("Select * from custom where %1 or  %2")
                        .arg(sql.likeIgnoringCase(QStringLiteral("pinyin"), QStringLiteral(":key")),
                             sql.likeIgnoringCase(QStringLiteral("company"), QStringLiteral(":key")));
    } else if (title.trimmed().isEmpty()) {
        MessageBoxes::box(QStringLiteral("请选择一种查询条件进行查询！"), QStringLiteral("提示"), QMessageBox::Information,
                          QMessageBox::Ok);
        return;
    } else {
        if (!m_data.RunQuery(m_data.Qry_Str,
                             QStringLiteral("select * from T_FieldShow where lower(TableName) = 'custom' and Name = :title"),
                             {{QStringLiteral(":title"), title}}))
            return;
        const QString field = m_data.Qry_Str->value(0, QStringLiteral("Field")).toString().trimmed();
        // The column name comes from the configuration; it must be a plain column name.
        static const QRegularExpression identifier(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
        if (!identifier.match(field).hasMatch()) {
            m_data.Qry_Cust->close();
            MessageBoxes::error(QStringLiteral("%1: 找不到字段 '%2'").arg(m_data.Qry_Cust->name(), field));
            return;
        }
        statement = QStringLiteral("Select * from custom where ") + sql.likeIgnoringCase(field, QStringLiteral(":key"));
        if (!seesAllRecords()) {
            statement += QStringLiteral(" and F_User = :user");
            binds.insert(QStringLiteral(":user"), m_frame.session().OperatorName());
        }
    }
    m_data.RunQuery(m_data.Qry_Cust, statement, binds);
    layOutCustomers();
}

void TFrm_Custom::CheckBox1Click()
{
    if (m_ui->CheckBox1->isChecked())
        m_data.RunQuery(m_data.Qry_Cust, QStringLiteral("select * from custom order by custID"));
    else
        m_data.RunQuery(m_data.Qry_Cust, QStringLiteral("select * from custom where isgathering = :no order by custID"),
                        {{QStringLiteral(":no"), false}});
}

void TFrm_Custom::Refresh()
{
    m_data.Qry_Cust->reopen();
    layOutCustomers();
}
