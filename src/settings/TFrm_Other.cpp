#include "TFrm_Other.h"
#include "ui_TFrm_Other.h"

#include "DataGrid.h"
#include "GridColumns.h"
#include "MessageBoxes.h"
#include "ReferenceLists.h"
#include "Session.h"
#include "TFrm_Data.h"

#include <QScreen>
#include <QShowEvent>

QPointer<TFrm_Other> Frm_Other;

namespace {
constexpr int DeleteSlot = 33;
const QString KeyField = QStringLiteral("id");
const QString NameField = QStringLiteral("name");
const QString ColumnConfiguration = QStringLiteral("Other");
} // namespace

TFrm_Other::TFrm_Other(TFrm_Data &data, Session &session, QWidget *parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::TFrm_Other>()), m_data(data), m_session(session)
{
    m_ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                   | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(778, 281);
    setWindowTitle(QStringLiteral("其它管理"));
    Frm_Other = this;

    // In the order of the pages, which is the order of ReferenceLists::all().
    m_grids = {m_ui->DBGridEh1, m_ui->DBGridEh3, m_ui->DBGridEh4, m_ui->DBGridEh5, m_ui->DBGridEh7,
               m_ui->DBGridEh8, m_ui->DBGridEh9, m_ui->DBGridEh10, m_ui->DBGridEh2, m_ui->DBGridEh6};
    for (DataGrid *grid : std::as_const(m_grids))
        grid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                              | QAbstractItemView::AnyKeyPressed);

    m_ui->PageControl1->setCurrentIndex(0);
    loadPage(0);

    connect(m_ui->PageControl1, &QTabWidget::currentChanged, this, &TFrm_Other::PageControl1Change);
    connect(m_ui->ToolButton1, &QToolButton::clicked, this, &TFrm_Other::ToolButton1Click);
    connect(m_ui->ToolButton3, &QToolButton::clicked, this, &TFrm_Other::ToolButton3Click);
    connect(m_ui->ToolButton6, &QToolButton::clicked, this, &QWidget::close);
    connect(m_data.Qry_Other, &DataSet::currentRowChanged, this, &TFrm_Other::rowChanged);
}

TFrm_Other::~TFrm_Other() = default;

void TFrm_Other::M_Other(TFrm_Data &data, Session &session, QWidget *parent)
{
    QPointer<TFrm_Other> window = new TFrm_Other(data, session, parent);
    window->exec();
    delete window;
}

void TFrm_Other::openAtList(TFrm_Data &data, Session &session, QWidget *parent, const QString &table)
{
    QPointer<TFrm_Other> window = new TFrm_Other(data, session, parent);
    // The page change loads the list; the first page is loaded already.
    const int page = ReferenceLists::page(table);
    if (page > 0)
        window->m_ui->PageControl1->setCurrentIndex(page);
    window->exec();
    delete window;
}

void TFrm_Other::installEditorOpener(TFrm_Data &data, Session &session)
{
    ReferenceLists::setEditorOpener([&data, &session](QWidget *parent, const QString &table) {
        openAtList(data, session, parent, table);
    });
}

void TFrm_Other::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    m_ui->ToolButton3->setEnabled(m_session.permission(DeleteSlot));
    if (!m_centred && screen()) {
        m_centred = true;
        move(screen()->availableGeometry().center() - rect().center());
    }
}

void TFrm_Other::done(int result)
{
    // A row still being edited is stored rather than lost.
    commitEditor();
    storeRows();
    DataSet *query = m_data.Qry_Other;
    query->close();
    query->setPendingChanges(QString(), QString());
    m_page = -1;
    QDialog::done(result);
}

DataGrid *TFrm_Other::grid(int page) const
{
    return page >= 0 && page < m_grids.size() ? m_grids[page] : nullptr;
}

void TFrm_Other::loadPage(int page)
{
    if (page < 0 || page >= ReferenceLists::all().size())
        return;
    const QString table = ReferenceLists::all()[page].table;
    DataSet *query = m_data.Qry_Other;
    query->close();
    query->setPendingChanges(table, KeyField);
    m_page = page;
    // Ordered by key: on both engines the entries keep their place when edited.
    m_data.RunQuery(query, QStringLiteral("select * from %1 order by %2").arg(table, KeyField));
    GridColumns::BuildGridColumns(m_data, grid(page), query, ColumnConfiguration);
}

void TFrm_Other::PageControl1Change(int index)
{
    commitEditor();
    storeRows();
    loadPage(index);
}

void TFrm_Other::ToolButton1Click()
{
    DataSet *query = m_data.Qry_Other;
    if (m_page < 0 || !query->isOpen())
        return;
    commitEditor();
    // Stored at once with an empty text; the operator types the text in place.
    query->appendRecord({{NameField, QStringLiteral("")}});
    storeRows();
    grid(m_page)->setFocus();
}

void TFrm_Other::ToolButton3Click()
{
    DataSet *query = m_data.Qry_Other;
    if (m_page < 0 || query->currentRow() < 0)
        return;
    commitEditor();
    if (MessageBoxes::box(QStringLiteral("您确定要删除这条记录吗？"), QStringLiteral("删除记录"),
                          QMessageBox::Information, QMessageBox::Yes | QMessageBox::No)
        != QMessageBox::Yes)
        return;
    const int row = query->currentRow();
    query->deleteRecord(row);
    // The entry that moved into the deleted one's place is current, whatever the grid chose.
    query->setCurrentRow(qMin(row, query->recordCount() - 1));
    storeRows();
}

void TFrm_Other::commitEditor()
{
    DataGrid *view = grid(m_page);
    if (!view)
        return;
    const QModelIndex index = view->currentIndex();
    QWidget *editor = index.isValid() ? view->indexWidget(index) : nullptr;
    if (!editor)
        return;
    // What the grid does when its cell editor loses the focus.
    QAbstractItemDelegate *delegate = view->itemDelegateForIndex(index);
    emit delegate->commitData(editor);
    emit delegate->closeEditor(editor, QAbstractItemDelegate::NoHint);
}

bool TFrm_Other::storeRows()
{
    DataSet *query = m_data.Qry_Other;
    if (!query->hasPendingChanges())
        return true;
    if (query->applyUpdates())
        return true;
    MessageBoxes::error(query->lastError().text());
    return false;
}

void TFrm_Other::rowChanged()
{
    // The cursor left an edited row. Stored once the grid has finished moving its cursor,
    // since storing reloads the rows under it.
    if (m_storeQueued || !m_data.Qry_Other->hasPendingChanges())
        return;
    m_storeQueued = true;
    QMetaObject::invokeMethod(this, [this] {
        m_storeQueued = false;
        storeRows();
    }, Qt::QueuedConnection);
}
