#pragma once

#include "OtherWorkstation.h"
#include "ServiceFixture.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

// The program after a login with a small catalogue: the categories 01 家电 (0101 空调,
// 0102 冰箱) and 02 配件, and three goods. The air conditioner KF-35 sits on the
// installation orders of K1 (twice) and K2; the other goods on none.
struct GoodsFixture : ServiceFixture
{
    explicit GoodsFixture(const QString &engine) : ServiceFixture(engine)
    {
        for (const auto &[code, name] : {std::pair{"01", "家电"}, {"0101", "空调"}, {"0102", "冰箱"}, {"02", "配件"}})
            run(QStringLiteral("insert into Goods_Category (code, name) values (:c, :n)"), {{":c", code}, {":n", name}});
        addGoods(QStringLiteral("KF-35"), QStringLiteral("格力 KFR-35GW"), QStringLiteral("0101"));
        addGoods(QStringLiteral("BCD-215"), QStringLiteral("海尔 BCD-215"), QStringLiteral("0102"));
        addGoods(QStringLiteral("CU-6"), QStringLiteral("铜管 6mm"), QStringLiteral("02"));
        run(QStringLiteral("delete from T_BillDetail"));
        for (const char *batch : {"AZ-2026-01-05-0001", "AZ-2026-01-05-0001", "AZ-2026-01-05-0002"})
            addLine(QString::fromLatin1(batch), QStringLiteral("KF-35"));
    }

    void addGoods(const QString &code, const QString &name, const QString &category)
    {
        run(QStringLiteral("insert into T_Goods (GoodsCode, GoodsName, Category, GoodsUnit, Units, InPrice, CostPrice, "
                           "SalePrice, Memo) values (:c, :n, :g, '1.5匹', '台', 1234.56, 999.99, 1100.5, '备注')"),
            {{":c", code}, {":n", name}, {":g", category}});
    }
    void addLine(const QString &batch, const QString &goodsCode)
    {
        run(QStringLiteral("insert into T_BillDetail (batch, GoodsCode, GoodsName, Number) values (:b, :c, 'x', 1)"),
            {{":b", batch}, {":c", goodsCode}});
    }
    int count(const QString &sql, const QVariantMap &binds = {}) { return scalar(sql, binds).toInt(); }
    int linesOf(const QString &goodsCode)
    {
        return count(QStringLiteral("select count(*) from T_BillDetail where GoodsCode = :c"), {{":c", goodsCode}});
    }

    // Makes the database refuse every UPDATE or DELETE of a table's rows, as a full disk would.
    void refuse(const QString &operation, const QString &table)
    {
        QSqlQuery query(data.database());
        const bool sqlite = home.engine() == QLatin1String("sqlite");
        if (!sqlite)
            QVERIFY2(query.exec(QStringLiteral("create or replace function refuse_change() returns trigger as $$ "
                                               "begin raise exception 'refused by the test'; end $$ language plpgsql")),
                     qPrintable(query.lastError().text()));
        const QString trigger = sqlite ? QStringLiteral("create trigger refuse_%1 before %1 on %2 begin "
                                                        "select raise(abort, 'refused by the test'); end")
                                       : QStringLiteral("create trigger refuse_%1 before %1 on %2 for each row "
                                                        "execute function refuse_change()");
        QVERIFY2(query.exec(trigger.arg(operation, table)), qPrintable(query.lastError().text()));
    }
};

// The node of a tree whose text starts with start ("0101-" or the root's text).
inline QTreeWidgetItem *nodeStarting(QTreeWidget *tree, const QString &start)
{
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        if ((*it)->text(0).startsWith(start))
            return *it;
    }
    qFatal("no node %s", qPrintable(start));
    return nullptr;
}

inline void clickNode(QTreeWidget *tree, const QString &start)
{
    QTreeWidgetItem *node = nodeStarting(tree, start);
    tree->scrollToItem(node);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(node).center());
}

inline void doubleClickNode(QTreeWidget *tree, const QString &start)
{
    QTreeWidgetItem *node = nodeStarting(tree, start);
    tree->scrollToItem(node);
    const QPoint at = tree->visualItemRect(node).center();
    // A double-click comes after a click, as with a mouse.
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, at);
}

// The values of one column of what a grid lists, in order.
inline QStringList listed(const DataGrid *grid, const char *field)
{
    QStringList values;
    const GridModel *model = grid->gridModel();
    for (int row = 0; model && row < model->rowCount(); ++row)
        values << model->value(row, QString::fromLatin1(field)).toString();
    return values;
}
