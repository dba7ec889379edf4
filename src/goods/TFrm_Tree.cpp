#include "TFrm_Tree.h"
#include "ui_TFrm_Tree.h"

#include "CodedHierarchy.h"
#include "DatabaseErrors.h"
#include "MessageBoxes.h"
#include "TFrm_Data.h"

#include <QMenu>
#include <QShowEvent>
#include <QTreeWidgetItem>

QPointer<TFrm_Tree> Frm_Tree;

namespace {

const QString GoodsCategoryTable = QStringLiteral("Goods_Category");
const QString GoodsCategoryTitle = QStringLiteral("商品分类");

int levelOf(const QTreeWidgetItem *node)
{
    int level = 0;
    for (const QTreeWidgetItem *parent = node->parent(); parent; parent = parent->parent())
        ++level;
    return level;
}

// A node reads "code-name"; the code is taken by the node's level, two digits a level. The
// root's code is what stands before a "-" of its text, if any.
QString codeOf(const QTreeWidgetItem *node)
{
    const int level = levelOf(node);
    const QString text = node->text(0);
    if (level > 0)
        return text.left(2 * level);
    const int dash = text.indexOf(QLatin1Char('-'));
    return dash < 0 ? QString() : text.left(dash);
}

QString nameOf(const QTreeWidgetItem *node)
{
    const int level = levelOf(node);
    return level > 0 ? node->text(0).mid(2 * level + 1) : node->text(0);
}

bool isDigits(const QString &text)
{
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

template <class Window>
void runModal(QPointer<Window> &reference, Window &window)
{
    reference = &window;
    window.exec();
}

} // namespace

TFrm_Tree::TFrm_Tree(TFrm_Data &data, QWidget *parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::TFrm_Tree>()), m_data(data)
{
    m_ui->setupUi(this);
    m_ui->Edit_Code->clear();
    m_ui->Edit_Name->clear();

    auto *menu = new QMenu(m_ui->TB_Add);
    menu->setObjectName(QStringLiteral("PopupMenu1"));
    menu->addAction(m_ui->N1);
    menu->addAction(m_ui->N2);
    m_ui->TB_Add->setMenu(menu);
    // The shortcuts work without the menu open.
    addAction(m_ui->N1);
    addAction(m_ui->N2);

    connect(m_ui->TreeView1, &QTreeWidget::itemSelectionChanged, this, &TFrm_Tree::TreeView1Click);
    connect(m_ui->TreeView1, &QTreeWidget::itemClicked, this, &TFrm_Tree::TreeView1Click);
    connect(m_ui->TreeView1, &QTreeWidget::itemDoubleClicked, this, &TFrm_Tree::ReturnSelection);
    connect(m_ui->TB_Add, &QToolButton::clicked, this, &TFrm_Tree::StartAddChild);
    connect(m_ui->N1, &QAction::triggered, this, &TFrm_Tree::StartAddSibling);
    connect(m_ui->N2, &QAction::triggered, this, &TFrm_Tree::StartAddChild);
    connect(m_ui->TB_Edit, &QToolButton::clicked, this, &TFrm_Tree::TB_EditClick);
    connect(m_ui->TB_Del, &QToolButton::clicked, this, &TFrm_Tree::TB_DelClick);
    connect(m_ui->TB_Save, &QToolButton::clicked, this, &TFrm_Tree::TB_SaveClick);
    connect(m_ui->TB_Cancel, &QToolButton::clicked, this, &TFrm_Tree::TB_CancelClick);
    connect(m_ui->TB_Select, &QToolButton::clicked, this, &TFrm_Tree::ReturnSelection);
    connect(m_ui->TB_Refresh, &QToolButton::clicked, this, &TFrm_Tree::TB_RefreshClick);
    connect(m_ui->TB_Close, &QToolButton::clicked, this, &QDialog::reject);
    // Enter in the name box saves what is pending.
    connect(m_ui->Edit_Name, &QLineEdit::returnPressed, this, [this] {
        if (!m_browsing)
            TB_SaveClick();
    });
}

TFrm_Tree::~TFrm_Tree() = default;

void TFrm_Tree::Goods_Category(TFrm_Data &data, QWidget *parent)
{
    TFrm_Tree window(data, parent);
    window.setTreeTableName(GoodsCategoryTable);
    window.setTreeTitle(GoodsCategoryTitle);
    runModal(Frm_Tree, window);
}

bool TFrm_Tree::pickGoodsCategory(TFrm_Data &data, QWidget *parent, QString *code, QString *name)
{
    TFrm_Tree window(data, parent);
    window.setTreeTableName(GoodsCategoryTable);
    window.setTreeTitle(GoodsCategoryTitle);
    window.setCallerMode(CallerMode::GoodsEditorPicker);
    runModal(Frm_Tree, window);
    if (window.result() != QDialog::Accepted)
        return false;
    *code = window.selectedCode();
    *name = window.selectedName();
    return true;
}

void TFrm_Tree::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TFrm_Tree::FormShow()
{
    setWindowTitle(TreeTitle);
    m_table = std::make_unique<CategoryTable>(m_data, TreeTableName);
    // Choosing only means something to the goods editor.
    m_ui->TB_Select->setEnabled(m_callerMode == CallerMode::GoodsEditorPicker);
    CodedHierarchy::BuildCategoryTree(m_ui->TreeView1, m_data, TreeTableName, TreeTitle);
    setBrowsing(true);
}

QTreeWidgetItem *TFrm_Tree::selectedNode() const
{
    const QList<QTreeWidgetItem *> selected = m_ui->TreeView1->selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}

void TFrm_Tree::TreeView1Click()
{
    QTreeWidgetItem *node = selectedNode();
    if (!node)
        return;
    m_ui->Edit_Code->setText(codeOf(node));
    m_ui->Edit_Name->setText(nameOf(node));
    // The root has no siblings.
    m_rootClicked = levelOf(node) == 0;
    m_ui->N1->setEnabled(m_browsing && !m_rootClicked);
}

void TFrm_Tree::setBrowsing(bool browsing)
{
    m_browsing = browsing;
    for (QWidget *button : {m_ui->TB_Add, m_ui->TB_Edit, m_ui->TB_Del})
        button->setEnabled(browsing);
    m_ui->N1->setEnabled(browsing && !m_rootClicked);
    m_ui->N2->setEnabled(browsing);
    m_ui->TB_Save->setEnabled(!browsing);
    m_ui->TB_Cancel->setEnabled(!browsing);
}

void TFrm_Tree::informAndFocus(const QString &text, bool focusCode)
{
    MessageBoxes::dialog(MessageBoxes::DialogType::Information, text);
    if (focusCode)
        m_ui->Edit_Code->setFocus();
}

void TFrm_Tree::StartAddSibling()
{
    startAdd(false);
}

void TFrm_Tree::StartAddChild()
{
    startAdd(true);
}

void TFrm_Tree::startAdd(bool asChild)
{
    if (!m_browsing)
        return;
    BaseCode = m_ui->Edit_Code->text().trimmed().isEmpty() ? QStringLiteral("0") : m_ui->Edit_Code->text();
    // SuggestCode
    QString code;
    switch (m_table->proposeCode(BaseCode, asChild, &code)) {
    case CategoryTable::Proposal::Failed:
        MessageBoxes::error(DatabaseErrors::reason(m_table->lastError()));
        return;
    case CategoryTable::Proposal::LevelFull:
        MessageBoxes::dialog(MessageBoxes::DialogType::Information,
                             QStringLiteral("这一级的编码01至99已全部使用，不能再新增本级节点!"));
        return;
    case CategoryTable::Proposal::Proposed:
        break;
    }
    IsAdding = true;
    AddAsChild = asChild;
    m_ui->Edit_Code->setEnabled(true);
    m_ui->Edit_Name->setEnabled(true);
    m_ui->Edit_Code->setText(code);
    m_ui->Edit_Name->clear();
    m_ui->Edit_Name->setFocus();
    setBrowsing(false);
}

void TFrm_Tree::TB_EditClick()
{
    IsAdding = false;
    m_ui->Edit_Name->setEnabled(true);
    m_ui->Edit_Code->setEnabled(false);
    m_ui->Edit_Name->setFocus();
    setBrowsing(false);
}

void TFrm_Tree::TB_SaveClick()
{
    if (m_browsing)
        return;
    if (IsAdding ? saveAdd() : saveRename())
        setBrowsing(true);
}

bool TFrm_Tree::saveAdd()
{
    const QString text = m_ui->Edit_Code->text();
    if (!isDigits(text)) {
        informAndFocus(QStringLiteral("编码必须是数字!"), true);
        return false;
    }
    if (text.size() % 2 != 0) {
        informAndFocus(QStringLiteral("编码规则出错!"), true);
        return false;
    }
    const QString code = text.trimmed();
    const QString duplicateText = QStringLiteral("编码重复!,不能保存!");
    bool taken = false;
    if (!m_table->exists(code, &taken)) {
        MessageBoxes::error(DatabaseErrors::reason(m_table->lastError()));
        return false;
    }
    if (taken) {
        informAndFocus(duplicateText, false);
        return false;
    }
    bool parentExists = code.size() == 2;
    if (!parentExists && !code.isEmpty() && !m_table->exists(code.left(code.size() - 2), &parentExists)) {
        MessageBoxes::error(DatabaseErrors::reason(m_table->lastError()));
        return false;
    }
    if (!parentExists) {
        informAndFocus(QStringLiteral("编码错误,父节点不存在!"), true);
        return false;
    }
    const QString name = m_ui->Edit_Name->text().trimmed();
    switch (m_table->insert(code, name)) {
    case CategoryTable::Insertion::Failed:
        MessageBoxes::error(DatabaseErrors::reason(m_table->lastError()));
        return false;
    case CategoryTable::Insertion::Duplicate:
        informAndFocus(duplicateText, false);
        return false;
    case CategoryTable::Insertion::Inserted:
        break;
    }
    insertNode(code, name);
    return true;
}

QTreeWidgetItem *TFrm_Tree::nodeOfCode(const QString &code) const
{
    QTreeWidgetItem *root = m_ui->TreeView1->topLevelItem(0);
    if (!root || code.isEmpty())
        return root;
    QTreeWidgetItem *node = root;
    // Down the tree one level at a time, following the code's leading digits.
    for (int length = 2; node && length <= code.size(); length += 2) {
        QTreeWidgetItem *next = nullptr;
        for (int i = 0; i < node->childCount() && !next; ++i) {
            if (codeOf(node->child(i)) == code.left(length))
                next = node->child(i);
        }
        node = next;
    }
    return node;
}

void TFrm_Tree::insertNode(const QString &code, const QString &name)
{
    // Under its parent, in code order among its siblings.
    QTreeWidgetItem *parent = nodeOfCode(code.left(code.size() - 2));
    if (!parent) {
        // The parent came from another workstation after the tree was built.
        TB_RefreshClick();
        return;
    }
    int position = 0;
    while (position < parent->childCount() && codeOf(parent->child(position)) < code)
        ++position;
    parent->insertChild(position, new QTreeWidgetItem(QStringList{code + QLatin1Char('-') + name}));
    parent->setExpanded(true);
}

bool TFrm_Tree::saveRename()
{
    QTreeWidgetItem *node = selectedNode();
    const QString code = node ? codeOf(node).trimmed() : QString();
    if (code.isEmpty()) {
        MessageBoxes::dialog(MessageBoxes::DialogType::Confirmation,
                             QStringLiteral("请点击取消按钮再重新选择一个节点进行编辑!"), QMessageBox::Ok);
        return false;
    }
    bool found = false;
    if (!m_table->exists(code, &found)) {
        MessageBoxes::error(DatabaseErrors::reason(m_table->lastError()));
        return false;
    }
    if (!found) {
        MessageBoxes::dialog(MessageBoxes::DialogType::Confirmation,
                             QStringLiteral("您选择的节点不存在,请点击取消按钮再重新选择一个节点进行编辑!"), QMessageBox::Ok);
        return false;
    }
    const QString name = m_ui->Edit_Name->text().trimmed();
    if (!m_table->rename(code, name)) {
        MessageBoxes::error(DatabaseErrors::reason(m_table->lastError()));
        return false;
    }
    m_ui->Edit_Code->setEnabled(false);
    m_ui->Edit_Name->setEnabled(false);
    node->setText(0, code + QLatin1Char('-') + name);
    return true;
}

void TFrm_Tree::TB_DelClick()
{
    QTreeWidgetItem *node = selectedNode();
    if (!node || !m_browsing)
        return;
    if (node->childCount() > 0) {
        MessageBoxes::plain(QStringLiteral("不能删除有子目录的目录，请先删除子目录！"));
        return;
    }
    // The root is no category.
    if (levelOf(node) == 0)
        return;
    if (MessageBoxes::dialog(MessageBoxes::DialogType::Confirmation, QStringLiteral("你真的要删除所选择的目录吗？"),
                             QMessageBox::Ok | QMessageBox::Cancel)
        != QMessageBox::Ok)
        return;
    switch (m_table->remove(codeOf(node).trimmed())) {
    case CategoryTable::Removal::Failed:
        MessageBoxes::error(DatabaseErrors::reason(m_table->lastError()));
        return;
    case CategoryTable::Removal::HasChildren:
        // Added by another workstation: the tree shows them now.
        MessageBoxes::plain(QStringLiteral("不能删除有子目录的目录，请先删除子目录！"));
        TB_RefreshClick();
        return;
    case CategoryTable::Removal::Removed:
        delete node;
        return;
    }
}

void TFrm_Tree::TB_CancelClick()
{
    AddAsChild = false;
    setBrowsing(true);
}

void TFrm_Tree::TB_RefreshClick()
{
    CodedHierarchy::BuildCategoryTree(m_ui->TreeView1, m_data, TreeTableName, TreeTitle);
    if (QTreeWidgetItem *root = m_ui->TreeView1->topLevelItem(0))
        m_ui->TreeView1->setCurrentItem(root);
}

void TFrm_Tree::ReturnSelection()
{
    if (m_callerMode != CallerMode::GoodsEditorPicker)
        return;
    m_selectedName = m_ui->Edit_Name->text();
    m_selectedCode = m_ui->Edit_Code->text().trimmed();
    accept();
}
