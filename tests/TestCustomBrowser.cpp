#include "DataGrid.h"
#include "MessageRecorder.h"
#include "ModalDialogCloser.h"
#include "Session.h"
#include "TFrm_Custom.h"
#include "TFrm_Data.h"
#include "TFrm_Main.h"
#include "TestHome.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

// The customer browser as the service desk uses it all day.
class TestCustomBrowser : public QObject
{
    Q_OBJECT

    struct Fixture
    {
        explicit Fixture(const QString &engine) : home(engine), data(home.path()), main(data)
        {
            // code, name, pinyin, paid, owner, mobile
            const QList<QStringList> customers = {
                {"K1", "格力空调专卖", "glktzm", "0", "Admin", "13800000001"},
                {"K2", "张三", "zs", "1", "Admin", "13900000002"},
                {"K3", "李四'店", "ls'd", "0", "bob", "13700000003"},
                {"K4", "100%满意", "100%my", "1", "bob", "13600000004"},
                {"K5", "a_b空调", "a_bkt", "0", "bob", "13500000005"},
            };
            for (const QStringList &c : customers)
                data.RunStatement(data.Qry_Str,
                                  QStringLiteral("insert into custom (CustCode, Company, pinyin, isgathering, f_user, Mobile, money) "
                                                 "values (:c, :n, :p, :g, :u, :m, 100)"),
                                  {{":c", c[0]}, {":n", c[1]}, {":p", c[2]}, {":g", c[3] == "1"}, {":u", c[4]}, {":m", c[5]}});
            for (const char *owner : {"Admin", "bob", "bob"}) {
                data.RunStatement(data.Qry_Str, QStringLiteral("insert into contact (CustCode, Name, f_user) values ('K1', 'v', :u)"), {{":u", owner}});
                data.RunStatement(data.Qry_Str, QStringLiteral("insert into T_Schedule (CustCode, danhao, F_User) values ('K1', 'WX', :u)"), {{":u", owner}});
            }
            data.RunStatement(data.Qry_Str, QStringLiteral("insert into T_Bill (CustCode, memo, F_User) values ('K1', '太吵', 'Admin')"));
            data.RunStatement(data.Qry_Str, QStringLiteral("insert into T_Bill (CustCode, memo, F_User) values ('K2', '漏水', 'Admin')"));
        }

        // An operator with Admin's permissions less the given function codes.
        void addOperator(const QString &name, const QStringList &revoked)
        {
            QVERIFY(data.RunStatement(data.Qry_Str, QStringLiteral("insert into admin (UserName, Password) values (:n, '')"), {{":n", name}}));
            QVERIFY(data.RunStatement(data.Qry_Str,
                                      QStringLiteral("insert into T_UserAuthority (UserName, FunctionName, Authority, Tag, Code) "
                                                     "select :n, FunctionName, Authority, Tag, Code from T_UserAuthority "
                                                     "where UserName = 'Admin' order by UserAuthorityID"),
                                      {{":n", name}}));
            for (const QString &code : revoked)
                QVERIFY(data.RunStatement(data.Qry_Str, QStringLiteral("update T_UserAuthority set Authority = :no where UserName = :n and Code = :c"),
                                          {{":no", false}, {":n", name}, {":c", code}}));
        }

        TFrm_Custom *open(const QString &operatorName = QStringLiteral("Admin"))
        {
            main.session().logIn(operatorName);
            main.show();
            return Frm_Custom;
        }

        QStringList codes() const
        {
            QStringList list;
            for (int row = 0; row < data.Qry_Cust->recordCount(); ++row)
                list << data.Qry_Cust->value(row, QStringLiteral("CustCode")).toString();
            list.sort();
            return list;
        }

        void search(const QString &title, const QString &key)
        {
            auto *combo = Frm_Custom->findChild<QComboBox *>(QStringLiteral("Combo_Type"));
            combo->showPopup();
            combo->hidePopup();
            combo->setCurrentIndex(combo->findText(title));
            auto *edit = Frm_Custom->findChild<QLineEdit *>(QStringLiteral("Edit_Key"));
            edit->setText(key);
            QTest::keyClick(edit, Qt::Key_Return);
        }

        QVariant scalar(const QString &sql)
        {
            return data.RunQuery(data.Qry_Temp, sql) && !data.Qry_Temp->isEmpty() ? data.Qry_Temp->value(0, 0) : QVariant();
        }

        TestHome home;
        TFrm_Data data;
        TFrm_Main main;
    };

private slots:
    void opensWithColumnsFooterAndCount_data() { TestHome::addEngineRows(); }
    void opensWithColumnsFooterAndCount()
    {
        QFETCH(QString, engine);
        Fixture f(engine);
        TFrm_Custom *browser = f.open();
        QVERIFY(browser);
        QCOMPARE(browser->windowTitle(), QStringLiteral("用户信息"));
        QVERIFY(qobject_cast<QMdiSubWindow *>(browser->parentWidget())->isMaximized());
        DataGrid *grid = browser->Grid_Cust();
        QCOMPARE(grid->columnTitle(1), QStringLiteral("用户名称"));
        QCOMPARE(grid->footerText(0), QStringLiteral("总计"));
        QCOMPARE(grid->footerText(1), QStringLiteral("5"));
        QCOMPARE(f.main.statusPanel(1)->text(), QStringLiteral("当前共有 5 条用户记录"));
        QCOMPARE(grid->rowTextColor(1), QColor(Qt::red));
        QCOMPARE(grid->rowTextColor(0), QColor());

        // The tool bar's customer command brings the same browser forward.
        f.main.command(QStringLiteral("Cust_CustContact"))->trigger();
        QCOMPARE(Frm_Custom.data(), browser);
        QCOMPARE(f.main.mdiArea()->subWindowList().size(), 1);

        browser->close();
        QTRY_VERIFY(Frm_Custom.isNull());
        QCOMPARE(f.main.statusPanel(1)->text(), QString());
    }

    void countAndFooterFollowTheList_data() { TestHome::addEngineRows(); }
    void countAndFooterFollowTheList()
    {
        QFETCH(QString, engine);
        Fixture f(engine);
        f.open();
        DataGrid *grid = Frm_Custom->Grid_Cust();
        const auto shows = [&](int customers) {
            QCOMPARE(f.main.statusPanel(1)->text(), QStringLiteral("当前共有 %1 条用户记录").arg(customers));
            QCOMPARE(grid->footerText(0), QStringLiteral("总计"));
            QCOMPARE(grid->footerText(1), QString::number(customers));
        };
        // 用户管理 lays the columns out again: the footer stays.
        f.main.command(QStringLiteral("Cust_CustContact"))->trigger();
        shows(5);

        MessageRecorder messages;
        QTimer::singleShot(0, [] {
            auto *editor = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            QVERIFY(editor);
            editor->findChild<QLineEdit *>(QStringLiteral("Edit_Code"))->setText(QStringLiteral("K6"));
            editor->findChild<QLineEdit *>(QStringLiteral("Edit_CustName"))->setText(QStringLiteral("王五"));
            editor->findChild<QPushButton *>(QStringLiteral("Btn_OK"))->click();
            editor->findChild<QPushButton *>(QStringLiteral("Btn_Cancel"))->click();
        });
        f.main.command(QStringLiteral("AddCust"))->trigger();
        QCOMPARE(f.data.Qry_Cust->value(QStringLiteral("CustCode")).toString(), QStringLiteral("K6"));
        shows(6);

        // Deleting the new customer, confirmed.
        f.main.command(QStringLiteral("DelCust"))->trigger();
        QVERIFY(!messages.messages().isEmpty());
        QCOMPARE(f.scalar(QStringLiteral("select count(*) from custom where CustCode = 'K6'")).toInt(), 0);
        shows(5);
    }

    void ownRecordsOnlyWithoutSlot34_data() { TestHome::addEngineRows(); }
    void ownRecordsOnlyWithoutSlot34()
    {
        QFETCH(QString, engine);
        Fixture f(engine);
        f.addOperator(QStringLiteral("bob"), {QStringLiteral("0609")});
        f.open(QStringLiteral("bob"));
        QCOMPARE(f.codes(), (QStringList{"K3", "K4", "K5"}));
        QVERIFY(f.data.RunQuery(f.data.Qry_Cust, QStringLiteral("select * from custom where CustCode = 'K1'")));
        QCOMPARE(f.data.Qry_Contact->recordCount(), 2);
        QCOMPARE(f.data.Qry_Schedule->recordCount(), 2);

        // Neither the name search, the paid filter nor the complaints are restricted.
        f.search(QStringLiteral("用户名称"), QStringLiteral("张"));
        QCOMPARE(f.codes(), QStringList{"K2"});
        Frm_Custom->findChild<QCheckBox *>(QStringLiteral("CheckBox1"))->click();
        QCOMPARE(f.codes().size(), 5);
        QVERIFY(f.data.RunQuery(f.data.Qry_Cust, QStringLiteral("select * from custom where CustCode = 'K1'")));
        Frm_Custom->findChild<QTabWidget *>(QStringLiteral("Page_Contact"))->setCurrentIndex(2);
        QCOMPARE(f.data.Qry_Bill->recordCount(), 1);
        // A search by another column is restricted.
        f.search(QStringLiteral("手机号码"), QStringLiteral("13"));
        QCOMPARE(f.codes(), (QStringList{"K3", "K4", "K5"}));
    }

    void quickSearchByName_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QStringList>("found");
        const QStringList cases = {"pinyin initials", "initials in capitals", "part of the name", "quote",
                                   "percent sign", "underscore", "blanks only", "very long", "empty"};
        TestHome::addEngineRows(cases, [](QTestData &row, int i) {
            switch (i) {
            case 0: row << "kt" << QStringList{"K1", "K5"}; break;
            case 1: row << "KT" << QStringList{"K1", "K5"}; break;
            case 2: row << "空调" << QStringList{"K1", "K5"}; break;
            case 3: row << "'" << QStringList{"K3"}; break;
            case 4: row << "%" << QStringList{"K4"}; break;
            case 5: row << "_" << QStringList{"K5"}; break;
            case 6: row << "   " << QStringList{}; break;
            case 7: row << QString(2000, QLatin1Char('x')) << QStringList{}; break;
            case 8: row << "" << QStringList{"K1", "K2", "K3", "K4", "K5"}; break;
            }
        });
    }

    void quickSearchByName()
    {
        QFETCH(QString, engine);
        QFETCH(QString, key);
        QFETCH(QStringList, found);
        Fixture f(engine);
        f.open();
        MessageRecorder messages;
        f.search(QStringLiteral("用户名称"), key);
        QCOMPARE(f.codes(), found);
        QVERIFY(messages.messages().isEmpty());
        QCOMPARE(f.main.statusPanel(1)->text(), QStringLiteral("当前共有 %1 条用户记录").arg(found.size()));
        QCOMPARE(Frm_Custom->Grid_Cust()->footerText(1), QString::number(found.size()));
        QVERIFY(Frm_Custom->findChild<QPushButton *>(QStringLiteral("Btn_S_Cust"))->isEnabled());
    }

    void searchByOtherColumns_data() { TestHome::addEngineRows(); }
    void searchByOtherColumns()
    {
        QFETCH(QString, engine);
        Fixture f(engine);
        QVERIFY(f.data.RunStatement(f.data.Qry_Str,
                                    QStringLiteral("insert into T_FieldShow (TableName, Field, Name, Width, ShowID, Show, SumField, ShowButton, DotSize) "
                                                   "values ('Custom', 'nosuch', '坏列', 50, 99, 0, 0, 0, 0)")));
        f.open();
        MessageRecorder messages;
        f.search(QStringLiteral("手机号码"), QStringLiteral("139"));
        QCOMPARE(f.codes(), QStringList{"K2"});
        // A number column is searched by its text.
        f.search(QStringLiteral("总金额"), QStringLiteral("100"));
        QCOMPARE(f.codes().size(), 5);
        QVERIFY(messages.messages().isEmpty());

        f.search(QStringLiteral("坏列"), QStringLiteral("x"));
        QCOMPARE(messages.messages().size(), 1);
        QCOMPARE(messages.messages().first().kind, MessageBoxes::Kind::Plain);
        // Still usable.
        f.search(QStringLiteral("用户名称"), QStringLiteral("张"));
        QCOMPARE(f.codes(), QStringList{"K2"});

        messages.clear();
        auto *combo = Frm_Custom->findChild<QComboBox *>(QStringLiteral("Combo_Type"));
        combo->setCurrentIndex(-1);
        QTest::keyClick(Frm_Custom->findChild<QLineEdit *>(QStringLiteral("Edit_Key")), Qt::Key_Return);
        QCOMPARE(messages.texts(), QStringList{"请选择一种查询条件进行查询！"});
        QCOMPARE(messages.messages().first().caption, QStringLiteral("提示"));
        QCOMPARE(messages.messages().first().icon, QMessageBox::Information);
        QCOMPARE(f.codes(), QStringList{"K2"});
    }

    void searchButtonFollowsSlot5_data() { TestHome::addEngineRows(); }
    void searchButtonFollowsSlot5()
    {
        QFETCH(QString, engine);
        Fixture f(engine);
        f.addOperator(QStringLiteral("bob"), {QStringLiteral("0104")});
        f.open(QStringLiteral("bob"));
        QVERIFY(!Frm_Custom->findChild<QPushButton *>(QStringLiteral("Btn_S_Cust"))->isEnabled());
        // Enter still searches.
        f.search(QStringLiteral("用户名称"), QStringLiteral("张"));
        QCOMPARE(f.codes(), QStringList{"K2"});
    }

    void paidFilterListsByCustomerNumber_data() { TestHome::addEngineRows(); }
    void paidFilterListsByCustomerNumber()
    {
        QFETCH(QString, engine);
        Fixture f(engine);
        f.open();
        auto *paid = Frm_Custom->findChild<QCheckBox *>(QStringLiteral("CheckBox1"));
        paid->click();
        QCOMPARE(f.data.Qry_Cust->recordCount(), 5);
        QCOMPARE(f.data.Qry_Cust->value(0, QStringLiteral("CustCode")).toString(), QStringLiteral("K1"));
        QCOMPARE(f.data.Qry_Cust->value(4, QStringLiteral("CustCode")).toString(), QStringLiteral("K5"));
        paid->click();
        QCOMPARE(f.codes(), (QStringList{"K1", "K3", "K5"}));
    }

    void lowerGridsFollowTheCurrentCustomer_data() { TestHome::addEngineRows(); }
    void lowerGridsFollowTheCurrentCustomer()
    {
        QFETCH(QString, engine);
        Fixture f(engine);
        f.open();
        f.data.Qry_Cust->setSort(QStringLiteral("CustCode"));
        QVERIFY(f.data.Qry_Cust->locate(QStringLiteral("CustCode"), QStringLiteral("K1")));
        QCOMPARE(f.data.Qry_Contact->recordCount(), 3);
        QCOMPARE(Frm_Custom->Grid_Contact()->model()->rowCount(), 3);
        // Complaints load when their tab is first chosen.
        QVERIFY(!f.data.Qry_Bill->isOpen());
        Frm_Custom->findChild<QTabWidget *>(QStringLiteral("Page_Contact"))->setCurrentIndex(2);
        QCOMPARE(Frm_Custom->Grid_Sale()->model()->rowCount(), 1);
        QCOMPARE(Frm_Custom->Grid_Sale()->columnTitle(1), QStringLiteral("投诉原因"));

        Frm_Custom->Grid_Cust()->setFocus();
        QTest::keyClick(Frm_Custom->Grid_Cust(), Qt::Key_Down);
        QCOMPARE(f.data.Qry_Cust->value(QStringLiteral("CustCode")).toString(), QStringLiteral("K2"));
        QCOMPARE(Frm_Custom->Grid_Contact()->model()->rowCount(), 0);
        QCOMPARE(Frm_Custom->Grid_Sch()->model()->rowCount(), 0);
        QCOMPARE(Frm_Custom->Grid_Sale()->model()->rowCount(), 1);
        QCOMPARE(f.data.Qry_Bill->value(QStringLiteral("memo")).toString(), QStringLiteral("漏水"));
    }

    void doubleClickAndDeleteRunEnabledCommandsOnly_data() { TestHome::addEngineRows(); }
    void doubleClickAndDeleteRunEnabledCommandsOnly()
    {
        QFETCH(QString, engine);
        Fixture f(engine);
        f.addOperator(QStringLiteral("bob"), {QStringLiteral("0103"), QStringLiteral("0403")});
        f.open(QStringLiteral("bob"));
        QSignalSpy edit(f.main.command(QStringLiteral("EditCust")), &QAction::triggered);
        QSignalSpy remove(f.main.command(QStringLiteral("DelCust")), &QAction::triggered);
        QSignalSpy removeBill(f.main.command(QStringLiteral("DelBill")), &QAction::triggered);
        QSignalSpy editBill(f.main.command(QStringLiteral("EditBill")), &QAction::triggered);
        ModalDialogCloser closer;
        DataGrid *grid = Frm_Custom->Grid_Cust();
        const QRect cell = grid->visualRect(grid->model()->index(0, 1));
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(edit.count(), 1);
        QTest::keyClick(grid, Qt::Key_Delete);
        QCOMPARE(remove.count(), 0);

        Frm_Custom->findChild<QTabWidget *>(QStringLiteral("Page_Contact"))->setCurrentIndex(2);
        QTest::keyClick(Frm_Custom->Grid_Sale(), Qt::Key_Delete);
        QCOMPARE(removeBill.count(), 0);
        QVERIFY(f.data.Qry_Cust->locate(QStringLiteral("CustCode"), QStringLiteral("K3")));
        QVERIFY(f.data.RunQuery(f.data.Qry_Cust, QStringLiteral("select * from custom where CustCode = 'K1'")));
        const QRect bill = Frm_Custom->Grid_Sale()->visualRect(Frm_Custom->Grid_Sale()->model()->index(0, 0));
        QTest::mouseDClick(Frm_Custom->Grid_Sale()->viewport(), Qt::LeftButton, {}, bill.center());
        QCOMPARE(editBill.count(), 1);
    }

    void emptyCustomerList_data() { TestHome::addEngineRows(); }
    void emptyCustomerList()
    {
        QFETCH(QString, engine);
        Fixture f(engine);
        QVERIFY(f.data.RunStatement(f.data.Qry_Str, QStringLiteral("delete from custom")));
        f.open();
        QCOMPARE(Frm_Custom->Grid_Cust()->footerText(1), QStringLiteral("0"));
        QCOMPARE(f.main.statusPanel(1)->text(), QStringLiteral("当前共有 0 条用户记录"));
        QCOMPARE(f.data.Qry_Cust->currentRow(), -1);
        QCOMPARE(f.data.Qry_Contact->recordCount(), 0);
    }

    void refreshReloadsTheList_data() { TestHome::addEngineRows(); }
    void refreshReloadsTheList()
    {
        QFETCH(QString, engine);
        Fixture f(engine);
        f.open();
        QVERIFY(f.data.RunStatement(f.data.Qry_Str, QStringLiteral("insert into custom (CustCode, Company) values ('K9', '新')")));
        QVERIFY(QTest::qWaitForWindowActive(&f.main));
        Frm_Custom->Grid_Cust()->setFocus();
        QTest::keyClick(Frm_Custom->Grid_Cust(), Qt::Key_F5);
        QCOMPARE(f.data.Qry_Cust->recordCount(), 6);
    }
};

QTEST_MAIN(TestCustomBrowser)
#include "TestCustomBrowser.moc"
