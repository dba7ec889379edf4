#pragma once

#include "CategoryTable.h"

#include <QDialog>
#include <QPointer>
#include <memory>

namespace Ui { class TFrm_Tree; }
class QTreeWidgetItem;
class TFrm_Data;

// The editor of a coded category table (code and name, two digits per level) shown as a
// tree: categories are added beside or under the chosen one with a proposed code, renamed,
// and deleted once they have no sub-categories. In the goods editor's picker mode it also
// hands the chosen category back.
class TFrm_Tree : public QDialog
{
    Q_OBJECT
public:
    enum class CallerMode { Management, GoodsEditorPicker };

    explicit TFrm_Tree(TFrm_Data &data, QWidget *parent = nullptr);
    ~TFrm_Tree() override;

    // Set by the opener before the window shows.
    void setTreeTableName(const QString &table) { TreeTableName = table; }
    void setTreeTitle(const QString &title) { TreeTitle = title; }
    void setCallerMode(CallerMode mode) { m_callerMode = mode; }

    // The command "商品分类管理".
    static void Goods_Category(TFrm_Data &data, QWidget *parent);
    // The goods editor's category button: true, with the chosen category's code and name,
    // when the operator chose one.
    static bool pickGoodsCategory(TFrm_Data &data, QWidget *parent, QString *code, QString *name);

    // What the picker mode hands back: the boxes' contents when the operator chose.
    QString selectedCode() const { return m_selectedCode; }
    QString selectedName() const { return m_selectedName; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();
    void TreeView1Click();
    void StartAddSibling();
    void StartAddChild();
    void startAdd(bool asChild);
    void TB_EditClick();
    void TB_SaveClick();
    bool saveAdd();
    bool saveRename();
    void TB_DelClick();
    void TB_CancelClick();
    void TB_RefreshClick();
    void ReturnSelection();
    void setBrowsing(bool browsing);
    void informAndFocus(const QString &text, bool focusCode);
    QTreeWidgetItem *selectedNode() const;
    QTreeWidgetItem *nodeOfCode(const QString &code) const;
    void insertNode(const QString &code, const QString &name);

    std::unique_ptr<Ui::TFrm_Tree> m_ui;
    TFrm_Data &m_data;
    std::unique_ptr<CategoryTable> m_table;
    QString TreeTableName;
    QString TreeTitle;
    CallerMode m_callerMode = CallerMode::Management;
    bool IsAdding = false;
    bool AddAsChild = false;
    QString BaseCode;
    bool m_browsing = true;
    bool m_rootClicked = false;
    QString m_selectedCode;
    QString m_selectedName;
    bool m_shown = false;
};

extern QPointer<TFrm_Tree> Frm_Tree;
