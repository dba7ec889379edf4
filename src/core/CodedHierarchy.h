#pragma once

#include <QString>
#include <QVariant>

class CheckTree;
class QTreeWidget;
class TFrm_Data;

// Hierarchies stored as flat tables of codes: every level adds two characters to the code,
// and a row's parent is the row whose code is its own less the last two characters. The
// goods categories and the permission tables are kept this way.
class CodedHierarchy
{
public:
    // Nine levels of two characters each.
    static QString levelPattern() { return QStringLiteral("222222222"); }

    // The level of code (from 1) under pattern, the width of each level as one digit; -1 when
    // no level has the code's length, or pattern or code is empty.
    static int CodeLevel(const QString &pattern, const QString &code);

    // Rebuilds tree from the whole category table (columns code, name): one root node with
    // rootText, under it a node "code-name" per row, the root expanded one level. Runs on
    // Qry_HY and leaves it open on the table. False, with the tree untouched, when the query
    // fails or table is not a plain table name.
    static bool BuildCategoryTree(QTreeWidget *tree, TFrm_Data &data, const QString &table,
                                  const QString &rootText);

    // Rebuilds tree from the rows of a permission table (columns Code, FunctionName, Tag)
    // whose conditionColumn equals value: groups (two-digit codes) at the top level, their
    // functions (four digits) below, collapsed. Each node's picture index is its code as a
    // number and its state index the row's Tag. Runs on Qry_HY and leaves it open.
    static bool BuildFunctionTree(CheckTree *tree, TFrm_Data &data, const QString &table,
                                  const QString &conditionColumn, const QVariant &value);
};
