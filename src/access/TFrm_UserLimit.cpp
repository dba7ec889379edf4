#include "TFrm_UserLimit.h"
#include "ui_TFrm_UserLimit.h"

#include "CheckTree.h"
#include "CodedHierarchy.h"
#include "GbkText.h"
#include "MessageBoxes.h"
#include "OperatorAccounts.h"
#include "Session.h"
#include "TFrm_Data.h"

#include <QShowEvent>
#include <QSignalBlocker>

QPointer<TFrm_UserLimit> Frm_UserLimit;

namespace {
const QString WarningCaption = QStringLiteral("警告");
const QString UserRows = QStringLiteral("T_UserAuthority");
const QString RoleRows = QStringLiteral("T_PartAuthority");
constexpr int NameLength = 50;
constexpr int RemarkLength = 200;

// The code a node of the function tree stands for: its picture index with the leading zero
// that the number lost (1 is group 01, 103 function 0103).
QString nodeCode(const QTreeWidgetItem *node)
{
    QString code = QString::number(CheckTree::pictureIndex(node));
    if (code.size() == 1 || code.size() == 3)
        code.prepend(QLatin1Char('0'));
    return code;
}

// The tree's check states with the codes their nodes stand for.
OperatorAccounts::NodeStates nodeStates(const CheckTree *tree)
{
    OperatorAccounts::NodeStates states;
    for (const QTreeWidgetItem *node : tree->nodesDepthFirst())
        states.append({nodeCode(node), CheckTree::stateIndex(node)});
    return states;
}
} // namespace

TFrm_UserLimit::TFrm_UserLimit(TFrm_Data &data, Session &session, QWidget *parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::TFrm_UserLimit>()), m_data(data), m_session(session)
{
    m_ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                   | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(size());
    m_ui->Edit_Name->setMaxLength(NameLength);
    m_ui->Combo_User->lineEdit()->setMaxLength(NameLength);
    connect(m_ui->Memo_User, &QPlainTextEdit::textChanged, this, &TFrm_UserLimit::limitRemark);
    connect(m_ui->Combo_User, &QComboBox::currentTextChanged, this, &TFrm_UserLimit::Combo_UserChange);
    connect(m_ui->btSave, &QPushButton::clicked, this, &TFrm_UserLimit::btSaveClick);
    connect(m_ui->btClose, &QPushButton::clicked, this, &QDialog::reject);
}

TFrm_UserLimit::~TFrm_UserLimit() = default;

void TFrm_UserLimit::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TFrm_UserLimit::FormShow()
{
    // What the form itself puts into the role box is no choice of the operator's.
    const QSignalBlocker blocker(m_ui->Combo_User);
    if (editingRole()) {
        m_ui->Label1->setText(QStringLiteral("角色名称"));
        m_ui->Label4->setText(QStringLiteral("角色描述"));
        for (QWidget *widget : {static_cast<QWidget *>(m_ui->Label2), static_cast<QWidget *>(m_ui->Edit_Pass),
                                static_cast<QWidget *>(m_ui->Label_PassHint), static_cast<QWidget *>(m_ui->Label3),
                                static_cast<QWidget *>(m_ui->Combo_User)})
            widget->hide();
        // Saving a role writes only its permissions.
        m_ui->Memo_User->setReadOnly(true);
        LoadRole();
    }
    m_ui->Combo_User->clear();
    if (m_data.RunQuery(m_data.Qry_Temp, QStringLiteral("select PartName from T_Part order by PartID"))) {
        for (int row = 0; row < m_data.Qry_Temp->recordCount(); ++row)
            m_ui->Combo_User->addItem(m_data.Qry_Temp->value(row, 0).toString());
    }
    m_ui->Combo_User->setCurrentIndex(-1);
    m_ui->Combo_User->clearEditText();
    if (AddMode) {
        setWindowTitle(QStringLiteral("新增操作员"));
        m_ui->Edit_Name->clear();
        m_ui->Edit_Pass->clear();
        m_ui->Memo_User->clear();
        m_ui->Label_PassHint->hide();
        return;
    }
    if (editingRole()) {
        setWindowTitle(QStringLiteral("编辑角色"));
    } else {
        setWindowTitle(QStringLiteral("编辑操作员"));
        LoadUser();
    }
    m_ui->Edit_Name->setEnabled(false);
}

void TFrm_UserLimit::LoadRole()
{
    if (!m_data.RunQuery(m_data.Qry_Temp, QStringLiteral("select PartName, Remark from T_Part where PartID = :id"),
                         {{QStringLiteral(":id"), EditPartID}})
        || m_data.Qry_Temp->isEmpty())
        return;
    m_loadedName = m_data.Qry_Temp->value(0, 0).toString();
    m_ui->Edit_Name->setText(m_loadedName);
    m_ui->Memo_User->setPlainText(m_data.Qry_Temp->value(0, 1).toString());
    CodedHierarchy::BuildFunctionTree(m_ui->RzCheckTree1, m_data, RoleRows, QStringLiteral("PartName"), m_loadedName);
}

void TFrm_UserLimit::LoadUser()
{
    if (!m_data.RunQuery(m_data.Qry_Temp, QStringLiteral("select UserName, PartName, Remark from admin where UserID = :id"),
                         {{QStringLiteral(":id"), EditUserID}})
        || m_data.Qry_Temp->isEmpty())
        return;
    m_loadedName = m_data.Qry_Temp->value(0, 0).toString();
    m_ui->Edit_Name->setText(m_loadedName);
    // The password is kept as a hash: the box sets a new one only when something is typed.
    m_ui->Edit_Pass->clear();
    m_ui->Combo_User->setEditText(m_data.Qry_Temp->value(0, 1).toString());
    m_ui->Memo_User->setPlainText(m_data.Qry_Temp->value(0, 2).toString());
    CodedHierarchy::BuildFunctionTree(m_ui->RzCheckTree1, m_data, UserRows, QStringLiteral("UserName"), m_loadedName);
}

void TFrm_UserLimit::Combo_UserChange(const QString &text)
{
    CodedHierarchy::BuildFunctionTree(m_ui->RzCheckTree1, m_data, RoleRows, QStringLiteral("PartName"),
                                      OperatorAccounts::treeTemplateOf(text.trimmed()));
}

void TFrm_UserLimit::limitRemark()
{
    QPlainTextEdit *memo = m_ui->Memo_User;
    if (memo->toPlainText().size() <= RemarkLength)
        return;
    const QSignalBlocker blocker(memo);
    QTextCursor cursor = memo->textCursor();
    const int position = qMin(cursor.position(), RemarkLength);
    memo->setPlainText(memo->toPlainText().left(RemarkLength));
    cursor = memo->textCursor();
    cursor.setPosition(position);
    memo->setTextCursor(cursor);
}

void TFrm_UserLimit::warn(const QString &text, QWidget *focus)
{
    MessageBoxes::box(text, WarningCaption, QMessageBox::Information);
    focus->setFocus();
}

void TFrm_UserLimit::btSaveClick()
{
    if (editingRole())
        saveRole();
    else if (AddMode)
        addOperator();
    else
        saveOperator();
}

void TFrm_UserLimit::afterSave()
{
    MessageBoxes::plain(QStringLiteral("保存成功"));
    emit saved();
    accept();
    OperatorAccounts::SyncPriceColumns(m_data, m_session.OperatorName());
}

void TFrm_UserLimit::saveRole()
{
    QSqlError error;
    if (OperatorAccounts::saveRole(m_data, m_loadedName, nodeStates(m_ui->RzCheckTree1), &error))
        afterSave();
    else
        m_data.reportError(QStringLiteral("保存失败!"), error, WarningCaption);
}

void TFrm_UserLimit::saveOperator()
{
    const QString typed = m_ui->Edit_Pass->text();
    QSqlError error;
    switch (OperatorAccounts::saveOperator(m_data, EditUserID, m_ui->Combo_User->currentText().trimmed(),
                                           m_ui->Memo_User->toPlainText(),
                                           // An empty box keeps the password the operator has.
                                           typed.isEmpty() ? QString() : typed,
                                           nodeStates(m_ui->RzCheckTree1), &error)) {
    case OperatorAccounts::SaveResult::Saved:
        afterSave();
        break;
    case OperatorAccounts::SaveResult::Gone:
        MessageBoxes::box(QStringLiteral("该操作员已被删除，无法保存。"), WarningCaption, QMessageBox::Information);
        break;
    case OperatorAccounts::SaveResult::Failed:
        m_data.reportError(QStringLiteral("保存失败!"), error, WarningCaption);
        break;
    }
}

bool TFrm_UserLimit::checkNewOperator(const QString &name, const QString &role)
{
    if (name.isEmpty()) {
        warn(QStringLiteral("用户名不得为空!"), m_ui->Edit_Name);
        return false;
    }
    // Longer names would be cut at login, and the operator would find none of his rows.
    if (GbkText::leftBytes(name, Session::OperatorNameBytes) != name) {
        warn(QStringLiteral("用户名不得超过20个字节（10个汉字）!"), m_ui->Edit_Name);
        return false;
    }
    if (role.isEmpty()) {
        warn(QStringLiteral("请给用户指定权限!"), m_ui->Combo_User);
        return false;
    }
    bool ok = false;
    const bool taken = OperatorAccounts::nameTaken(m_data, name, &ok);
    if (!ok)
        return false;
    if (taken) {
        warn(QStringLiteral("用户名重复,请换一个用户名!"), m_ui->Edit_Name);
        return false;
    }
    return true;
}

void TFrm_UserLimit::addOperator()
{
    const OperatorAccounts::NewOperator op{m_ui->Edit_Name->text().trimmed(), m_ui->Edit_Pass->text(),
                                           m_ui->Combo_User->currentText().trimmed(),
                                           m_ui->Memo_User->toPlainText()};
    if (!checkNewOperator(op.name, op.role))
        return;
    QSqlError error;
    switch (OperatorAccounts::add(m_data, op, &error)) {
    case OperatorAccounts::AddResult::Added:
        MessageBoxes::plain(QStringLiteral("添加操作员成功"));
        emit saved();
        OperatorAccounts::SyncPriceColumns(m_data, m_session.OperatorName());
        break;
    case OperatorAccounts::AddResult::Duplicate:
        warn(QStringLiteral("用户名重复,请换一个用户名!"), m_ui->Edit_Name);
        break;
    case OperatorAccounts::AddResult::Failed:
        m_data.reportError(QStringLiteral("添加操作员失败!"), error, WarningCaption);
        break;
    }
}
