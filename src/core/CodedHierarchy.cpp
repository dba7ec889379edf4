#include "CodedHierarchy.h"

#include "CheckTree.h"
#include "TFrm_Data.h"

#include <QRegularExpression>
#include <QTreeWidget>
#include <QVector>

namespace {

// Table and column names go into the statement as text, so they must be bare identifiers.
bool isIdentifier(const QString &name)
{
    static const QRegularExpression identifier(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    if (identifier.match(name).hasMatch())
        return true;
    qWarning("CodedHierarchy: not a table or column name: %s", qPrintable(name));
    return false;
}

QString trimmedText(const DataSet *query, int row, const QString &field)
{
    return query->value(row, field).toString().trimmed();
}

} // namespace

int CodedHierarchy::CodeLevel(const QString &pattern, const QString &code)
{
    if (pattern.isEmpty() || code.isEmpty())
        return -1;
    int sum = 0;
    for (int i = 0; i < pattern.size(); ++i) {
        const int width = pattern.at(i).digitValue();
        if (width < 0)
            return -1;
        sum += width;
        if (sum == code.size())
            return i + 1;
    }
    return -1;
}

bool CodedHierarchy::BuildCategoryTree(QTreeWidget *tree, TFrm_Data &data, const QString &table,
                                       const QString &rootText)
{
    if (!isIdentifier(table))
        return false;
    DataSet *query = data.Qry_HY;
    if (!data.RunQuery(query, QStringLiteral("select * from %1 order by code").arg(table)))
        return false;

    tree->clear();
    auto *root = new QTreeWidgetItem(tree, QStringList{rootText});
    // Index 0 is the root; index n the most recently added node of level n.
    QVector<QTreeWidgetItem *> lastOfLevel(levelPattern().size() + 1, nullptr);
    lastOfLevel[0] = root;
    for (int row = 0; row < query->recordCount(); ++row) {
        const QString code = trimmedText(query, row, QStringLiteral("code"));
        const int level = CodeLevel(levelPattern(), code);
        if (level < 1)
            continue;
        // Codes come in text order, so the node of the level above is normally the parent.
        // When no node of that level exists yet (the row's parent is missing), the row
        // still shows, directly under the root.
        QTreeWidgetItem *parent = lastOfLevel[level - 1] ? lastOfLevel[level - 1] : root;
        auto *item = new QTreeWidgetItem(
            parent, QStringList{code + QLatin1Char('-') + trimmedText(query, row, QStringLiteral("name"))});
        CheckTree::setPictureIndex(item, 0);
        lastOfLevel[level] = item;
    }
    root->setExpanded(true);
    return true;
}

bool CodedHierarchy::BuildFunctionTree(CheckTree *tree, TFrm_Data &data, const QString &table,
                                       const QString &conditionColumn, const QVariant &value)
{
    if (!isIdentifier(table) || !isIdentifier(conditionColumn))
        return false;
    DataSet *query = data.Qry_HY;
    if (!data.RunQuery(query,
                       QStringLiteral("select * from %1 where %2 = :value order by Code").arg(table, conditionColumn),
                       {{QStringLiteral(":value"), value}}))
        return false;

    tree->clear();
    QTreeWidgetItem *group = nullptr;
    for (int row = 0; row < query->recordCount(); ++row) {
        const QString code = trimmedText(query, row, QStringLiteral("Code"));
        const QString text = trimmedText(query, row, QStringLiteral("FunctionName"));
        QTreeWidgetItem *item = nullptr;
        switch (CodeLevel(levelPattern(), code)) {
        case 1:
            item = group = tree->addNode(nullptr, text);
            break;
        case 2:
            // A function without any group before it stays at the top level.
            item = tree->addNode(group, text);
            break;
        default:
            // Only groups and functions make nodes. Each row's Tag goes to its own node, so
            // a row without a node does not shift the states of the rows after it.
            continue;
        }
        CheckTree::setPictureIndex(item, code.toInt());
        CheckTree::setStateIndex(item, query->value(row, QStringLiteral("Tag")).toInt());
    }
    tree->collapseAll();
    return true;
}
