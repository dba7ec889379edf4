#pragma once

#include "DataGrid.h"
#include "MessageRecorder.h"
#include "ReferenceLists.h"
#include "Session.h"
#include "TFrm_Custom.h"
#include "TFrm_Data.h"
#include "TFrm_Main.h"
#include "TestHome.h"

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

template <class W>
W *control(const QObject *window, const char *name)
{
    W *widget = window->findChild<W *>(QString::fromLatin1(name));
    if (!widget)
        qFatal("no control %s", name);
    return widget;
}

// Types into a one-line box or an editable drop-down, replacing its text.
inline void typeInto(QWidget *box, const QString &text)
{
    QLineEdit *edit = qobject_cast<QLineEdit *>(box);
    if (auto *combo = qobject_cast<QComboBox *>(box))
        edit = combo->lineEdit();
    edit->selectAll();
    edit->del();
    edit->insert(text);
}

inline void typeInto(QPlainTextEdit *memo, const QString &text)
{
    memo->selectAll();
    memo->insertPlainText(text);
}

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

// Opens a modal window with open and runs steps on it once it shows; whatever the steps
// leave open is closed, so a failing step cannot leave the test waiting. False when open
// showed no such window.
template <class Dialog>
bool withModal(const std::function<void()> &open, const std::function<void(Dialog *)> &steps)
{
    bool shown = false;
    QTimer::singleShot(0, [&shown, steps] {
        QPointer<Dialog> dialog = qobject_cast<Dialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        shown = true;
        // Closed as it stands: an editor would ask before dropping what was typed.
        const auto close = qScopeGuard([dialog] {
            // Through QDialog: an editor may keep its done() to itself.
            if (QDialog *window = dialog.data(); window && window->isVisible())
                window->done(QDialog::Rejected);
        });
        steps(dialog);
    });
    open();
    // A window that never showed: the steps above run now, find none and do nothing.
    QCoreApplication::processEvents();
    return shown;
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
