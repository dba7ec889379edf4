#pragma once

#include "DataGrid.h"
#include "MessageRecorder.h"
#include "ReferenceLists.h"
#include "Session.h"
#include "TFrm_Custom.h"
#include "TFrm_Data.h"
#include "TFrm_Main.h"
#include "TestHome.h"
#include "WindowDriver.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>
#include <functional>

// The program after a login, the customer browser open on customer K1. K1 has an
// installation order with two goods lines, K2 one without any.
struct ServiceFixture
{
    explicit ServiceFixture(const QString &engine) : home(engine), data(home.path()), main(data)
    {
        run(QStringLiteral("insert into custom (CustCode, Company, Tel, Address, model, batch, f_user) values "
                           "('K1', '格力空调专卖', '0731-8888', '长沙市五一路1号', 'KFR-35GW', 'AZ-2026-01-05-0001', 'Admin')"));
        run(QStringLiteral("insert into custom (CustCode, Company, Tel, Address, model, batch, f_user) values "
                           "('K2', '张三', '0731-9999', '岳阳市二号路', 'KFR-50LW', 'AZ-2026-01-05-0002', 'Admin')"));
        run(QStringLiteral("insert into T_BillDetail (batch, GoodsName) values ('AZ-2026-01-05-0001', '挂机 KFR-35GW')"));
        run(QStringLiteral("insert into T_BillDetail (batch, GoodsName) values ('AZ-2026-01-05-0001', '柜机 KFR-72LW')"));
    }

    void run(const QString &sql, const QVariantMap &binds = {}) { QVERIFY(data.RunStatement(data.Qry_Str, sql, binds)); }
    QVariant scalar(const QString &sql, const QVariantMap &binds = {})
    {
        return data.RunQuery(data.Qry_Temp, sql, binds) && !data.Qry_Temp->isEmpty() ? data.Qry_Temp->value(0, 0) : QVariant();
    }
    // The columns of the one row a statement gives, by name.
    QVariantMap row(const QString &sql, const QVariantMap &binds = {})
    {
        QVariantMap values;
        if (data.RunQuery(data.Qry_Temp, sql, binds) && data.Qry_Temp->recordCount() == 1) {
            for (int c = 0; c < data.Qry_Temp->fields().count(); ++c)
                values.insert(data.Qry_Temp->fieldName(c).toLower(), data.Qry_Temp->value(0, c));
        }
        return values;
    }

    void open(const QString &operatorName = QStringLiteral("Admin"), const QString &customer = QStringLiteral("K1"))
    {
        main.session().logIn(operatorName);
        main.show();
        QVERIFY(Frm_Custom);
        QVERIFY(data.Qry_Cust->locate(QStringLiteral("CustCode"), customer));
    }

    QAction *command(const char *name) const { return main.command(QString::fromLatin1(name)); }

    TestHome home;
    TFrm_Data data;
    TFrm_Main main;
};

inline void doubleClickFirstRow(DataGrid *grid)
{
    const QRect cell = grid->visualRect(grid->model()->index(0, 0));
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
}

// The command names of a grid's pop-up menu in the browser.
inline QStringList menuCommands(const char *menu)
{
    QStringList names;
    for (const QAction *action : control<QMenu>(Frm_Custom, menu)->actions())
        names << action->objectName();
    return names;
}

// Records which list the editors' list buttons open, in place of the list window.
class ListOpenings
{
public:
    ListOpenings()
    {
        ReferenceLists::setEditorOpener([this](QWidget *, const QString &table) { m_tables << table; });
    }
    ~ListOpenings() { ReferenceLists::setEditorOpener({}); }
    QStringList tables() const { return m_tables; }

private:
    QStringList m_tables;
};
