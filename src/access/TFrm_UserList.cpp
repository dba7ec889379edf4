#include "TFrm_UserList.h"
#include "ui_TFrm_UserList.h"

#include "MessageBoxes.h"
#include "OperatorAccounts.h"
#include "Session.h"
#include "TFrm_Data.h"
#include "TFrm_UserLimit.h"

#include <QIcon>
#include <QMenu>
#include <QShowEvent>

QPointer<TFrm_UserList> Frm_UserList;

namespace {
constexpr int IdRole = Qt::UserRole;
const QString WarningCaption = QStringLiteral("警告");
} // namespace

TFrm_UserList::TFrm_UserList(TFrm_Data &data, Session &session, QWidget *parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::TFrm_UserList>()), m_data(data), m_session(session)
{
    m_ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                   | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(size());
    setWindowTitle(QStringLiteral("用户权限管理"));
    m_ui->PageControl1->setCurrentWidget(m_ui->TS_User);

    for (QTreeWidget *list : {m_ui->ListView1, m_ui->ListView2}) {
        connect(list, &QTreeWidget::itemDoubleClicked, this, &TFrm_UserList::Btn_EditClick);
        list->setIconSize(QSize(16, 16));
    }
    m_ui->ListView1->setColumnWidth(0, 50);
    m_ui->ListView1->setColumnWidth(1, 80);
    m_ui->ListView1->setColumnWidth(2, 80);
    m_ui->ListView1->setColumnWidth(3, 150);
    m_ui->ListView2->setColumnWidth(0, 50);
    m_ui->ListView2->setColumnWidth(1, 90);
    m_ui->ListView2->setColumnWidth(2, 200);

    auto *popup = new QMenu(m_ui->ListView1);
    popup->setObjectName(QStringLiteral("PopupMenu1"));
    QAction *refresh = popup->addAction(QIcon::fromTheme(QStringLiteral("view-refresh")), QStringLiteral("刷新"));
    refresh->setObjectName(QStringLiteral("N_Refresh"));
    connect(refresh, &QAction::triggered, this, &TFrm_UserList::FillUserList);
    m_ui->ListView1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_ui->ListView1, &QWidget::customContextMenuRequested, this,
            [this, popup](const QPoint &pos) { popup->popup(m_ui->ListView1->viewport()->mapToGlobal(pos)); });

    connect(m_ui->PageControl1, &QTabWidget::currentChanged, this, &TFrm_UserList::PageControl1Change);
    connect(m_ui->Btn_Add, &QPushButton::clicked, this, &TFrm_UserList::Btn_AddClick);
    connect(m_ui->Btn_Edit, &QPushButton::clicked, this, &TFrm_UserList::Btn_EditClick);
    connect(m_ui->Btn_Del, &QPushButton::clicked, this, &TFrm_UserList::Btn_DelClick);
    connect(m_ui->Btn_Exit, &QPushButton::clicked, this, &QDialog::reject);
}

TFrm_UserList::~TFrm_UserList() = default;

void TFrm_UserList::M_UserList(TFrm_Data &data, Session &session, QWidget *parent)
{
    TFrm_UserList window(data, session, parent);
    Frm_UserList = &window;
    window.exec();
}

void TFrm_UserList::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FillUserList();
}

void TFrm_UserList::FillUserList()
{
    QTreeWidget *list = m_ui->ListView1;
    list->clear();
    if (!m_data.RunQuery(m_data.Qry_Temp, QStringLiteral("select UserID, UserName, PartName, Remark, IsUser from admin order by UserID")))
        return;
    const DataSet *rows = m_data.Qry_Temp;
    const QIcon listed = QIcon::fromTheme(QStringLiteral("face-smile"));
    const QIcon unlisted = QIcon::fromTheme(QStringLiteral("face-plain"));
    for (int row = 0; row < rows->recordCount(); ++row) {
        auto *item = new QTreeWidgetItem(list, {rows->value(row, 0).toString(), rows->value(row, 1).toString(),
                                                rows->value(row, QStringLiteral("PartName")).toString(),
                                                rows->value(row, QStringLiteral("Remark")).toString()});
        item->setIcon(0, rows->value(row, QStringLiteral("IsUser")).toBool() ? listed : unlisted);
        item->setData(0, IdRole, rows->value(row, 0).toInt());
    }
}

void TFrm_UserList::FillRoleList()
{
    QTreeWidget *list = m_ui->ListView2;
    list->clear();
    if (!m_data.RunQuery(m_data.Qry_Temp, QStringLiteral("select PartID, PartName from T_Part order by PartID")))
        return;
    const DataSet *rows = m_data.Qry_Temp;
    const QIcon role = QIcon::fromTheme(QStringLiteral("system-users"));
    for (int row = 0; row < rows->recordCount(); ++row) {
        auto *item = new QTreeWidgetItem(list, {rows->value(row, 0).toString(), rows->value(row, 1).toString()});
        item->setIcon(0, role);
        item->setData(0, IdRole, rows->value(row, 0).toInt());
    }
}

bool TFrm_UserList::usersPageActive() const
{
    return m_ui->PageControl1->currentWidget() == m_ui->TS_User;
}

void TFrm_UserList::PageControl1Change(int)
{
    const bool users = usersPageActive();
    // Roles are neither added nor deleted.
    m_ui->Btn_Add->setVisible(users);
    m_ui->Btn_Del->setVisible(users);
    if (!users)
        FillRoleList();
}

int TFrm_UserList::selectedId(const QTreeWidget *list)
{
    const QList<QTreeWidgetItem *> selected = list->selectedItems();
    return selected.isEmpty() ? -1 : selected.first()->data(0, IdRole).toInt();
}

void TFrm_UserList::openEditor(bool addMode, const QString &editKind, int id)
{
    TFrm_UserLimit editor(m_data, m_session, this);
    editor.AddMode = addMode;
    editor.EditKind = editKind;
    if (editKind == TFrm_UserLimit::UserKind())
        editor.EditUserID = id;
    else
        editor.EditPartID = id;
    connect(&editor, &TFrm_UserLimit::saved, this, &TFrm_UserList::FillUserList);
    Frm_UserLimit = &editor;
    editor.exec();
}

void TFrm_UserList::Btn_AddClick()
{
    openEditor(true, TFrm_UserLimit::UserKind(), -1);
}

void TFrm_UserList::Btn_EditClick()
{
    if (usersPageActive())
        EditSelectedUser();
    else
        EditSelectedRole();
}

void TFrm_UserList::EditSelectedUser()
{
    const int id = selectedId(m_ui->ListView1);
    if (id >= 0)
        openEditor(false, TFrm_UserLimit::UserKind(), id);
}

void TFrm_UserList::EditSelectedRole()
{
    const int id = selectedId(m_ui->ListView2);
    if (id >= 0)
        openEditor(false, TFrm_UserLimit::PartKind(), id);
}

void TFrm_UserList::Btn_DelClick()
{
    QTreeWidgetItem *item = m_ui->ListView1->selectedItems().value(0);
    if (!usersPageActive() || !item)
        return;
    if (MessageBoxes::box(QStringLiteral("您确认要删除该用户吗？"), WarningCaption, QMessageBox::Information,
                          QMessageBox::Yes | QMessageBox::No)
        != QMessageBox::Yes)
        return;
    const int id = item->data(0, IdRole).toInt();
    if (id == OperatorAccounts::SystemAdministratorID) {
        MessageBoxes::box(QStringLiteral("这是系统管理员帐号，不能删除"), WarningCaption, QMessageBox::Information);
        return;
    }
    delete item;
    QSqlError error;
    if (OperatorAccounts::remove(m_data, id, &error)) {
        MessageBoxes::plain(QStringLiteral("删除用户成功!"));
        return;
    }
    m_data.reportError(QStringLiteral("删除用户失败!"), error, WarningCaption);
    FillUserList();
}
