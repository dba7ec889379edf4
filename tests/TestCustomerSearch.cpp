#include "CheckedDateEdit.h"
#include "DataGrid.h"
#include "MessageRecorder.h"
#include "Session.h"
#include "TFrm_Custom.h"
#include "TFrm_Data.h"
#include "TFrm_Main.h"
#include "TFrm_S_Cust.h"
#include "TestHome.h"
#include "TypeKeys.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

// The combined customer search, driven through its command as the service desk uses it.
class TestCustomerSearch : public QObject
{
    Q_OBJECT

    using Fill = std::function<void(TFrm_S_Cust &)>;

    struct Fixture
    {
        explicit Fixture(const QString &engine) : home(engine), data(home.path()), main(data)
        {
            // code, name, owner, mobile, installed, money
            const QList<QStringList> customers = {
                {"K1", "格力空调", "Admin", "138 0000 0001", "2026-03-01 00:00:00", "5"},
                {"K2", "新格力", "Admin", "13900000002", "2026-03-31 00:00:00", "15"},
                {"K3", "李四'店", "bob", "13700000003", "2026-04-01 00:00:00", "50"},
                {"K4", "100%满意", "bob", "136 00000004", "2026-02-28 23:59:00", "7"},
                {"K5", "a_b空调", "bob", "13500000005", "2026-03-15 10:30:00", "12"},
                {"K6", "axb空调", "Admin", "13400000006", "2026-03-15 00:00:00", "8"},
                {"K7", "格力专卖", "bob", "13300000007", "2026-03-20 00:00:00", "9"},
            };
            for (const QStringList &c : customers)
                data.RunStatement(data.Qry_Str,
                                  QStringLiteral("insert into custom (CustCode, Company, f_user, Mobile, installdate, money) "
                                                 "values (:c, :n, :u, :m, :d, :money)"),
                                  {{":c", c[0]}, {":n", c[1]}, {":u", c[2]}, {":m", c[3]},
                                   {":d", QDateTime::fromString(c[4], QStringLiteral("yyyy-MM-dd HH:mm:ss"))},
                                   {":money", c[5].toDouble()}});
        }

        // An operator with Admin's permissions less the given function codes.
        void addOperator(const QString &name, const QStringList &revoked)
        {
            QVERIFY(data.RunStatement(data.Qry_Str, QStringLiteral("insert into admin (UserName, Password, IsUser) values (:n, '', :yes)"),
                                      {{":n", name}, {":yes", true}}));
            QVERIFY(data.RunStatement(data.Qry_Str,
                                      QStringLiteral("insert into T_UserAuthority (UserName, FunctionName, Authority, Tag, Code) "
                                                     "select :n, FunctionName, Authority, Tag, Code from T_UserAuthority "
                                                     "where UserName = 'Admin' order by UserAuthorityID"),
                                      {{":n", name}}));
            for (const QString &code : revoked)
                QVERIFY(data.RunStatement(data.Qry_Str, QStringLiteral("update T_UserAuthority set Authority = :no where UserName = :n and Code = :c"),
                                          {{":no", false}, {":n", name}, {":c", code}}));
        }

        void open(const QString &operatorName = QStringLiteral("Admin"))
        {
            main.session().logIn(operatorName);
            main.show();
        }

        // Opens the search by its command; each step runs inside the modal dialog, which then
        // closes by "退出(&Q)". Returns whether the dialog was still open before that.
        bool search(const QList<Fill> &steps)
        {
            bool stayedOpen = false;
            QTimer::singleShot(0, [&] {
                QVERIFY(Frm_S_Cust);
                for (const Fill &step : steps) {
                    step(*Frm_S_Cust);
                    if (!Frm_S_Cust)
                        return;
                }
                stayedOpen = Frm_S_Cust->isVisible();
                QTest::mouseClick(Frm_S_Cust->findChild<QPushButton *>(QStringLiteral("btn_exit")), Qt::LeftButton);
            });
            main.command(QStringLiteral("SearchCust"))->trigger();
            return stayedOpen;
        }

        QStringList codes() const
        {
            QStringList list;
            for (int row = 0; row < data.Qry_Cust->recordCount(); ++row)
                list << data.Qry_Cust->value(row, QStringLiteral("CustCode")).toString();
            return list;
        }

        TestHome home;
        TFrm_Data data;
        TFrm_Main main;
    };

    static Fill type(const char *control, const QString &text)
    {
        return [control, text](TFrm_S_Cust &dialog) {
            QWidget *box = dialog.findChild<QWidget *>(QString::fromLatin1(control));
            QVERIFY2(box, control);
            if (auto *combo = qobject_cast<QComboBox *>(box))
                box = combo->lineEdit();
            box->setFocus();
            typeKeys(box, text);
        };
    }
    static Fill tick(const char *picker, const QDate &date)
    {
        return [picker, date](TFrm_S_Cust &dialog) {
            auto *edit = dialog.findChild<CheckedDateEdit *>(QString::fromLatin1(picker));
            QTest::mouseClick(edit->checkBox(), Qt::LeftButton);
            edit->dateEdit()->setDate(date);
        };
    }
    static Fill click(const char *button)
    {
        return [button](TFrm_S_Cust &dialog) {
            QTest::mouseClick(dialog.findChild<QPushButton *>(QString::fromLatin1(button)), Qt::LeftButton);
        };
    }

private slots:
    void criteriaFindTheirCustomers_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QList<Fill>>("criteria");
        QTest::addColumn<QStringList>("expected");
        const QList<QList<Fill>> criteria = {
            {type("Edit_name", "格力")},
            {type("Edit_name", "李四'")},
            {type("Edit_name", "100%")},
            {type("Edit_name", "a_b")},
            {type("Edit_mobile", " ")},
            {tick("DateTimePicker1", {2026, 3, 1}), tick("DateTimePicker2", {2026, 3, 31})},
            {tick("DateTimePicker1", {2026, 3, 15})},
            {tick("DateTimePicker1", {2026, 3, 31}), tick("DateTimePicker2", {2026, 3, 1})},
            {type("Edit_money", "5")},
            {type("Edit_money", "abc")},
            {type("Edit_address", QString(400, QLatin1Char('x')))},
            {type("Combo_User", "bob"), type("Edit_name", "格力")},
            {type("Edit_name", "格力"), type("Edit_mobile", "0001")},
        };
        const QList<QStringList> expected = {
            {"K1", "K7"}, {"K3"}, {"K4"}, {"K5"}, {"K1", "K4"}, {"K1", "K2", "K5", "K6", "K7"},
            {"K2", "K3", "K5", "K6", "K7"}, {}, {"K1", "K2", "K3"}, {}, {}, {"K7"}, {"K1"},
        };
        TestHome::addEngineRows({"name is a prefix", "quote is literal", "percent is literal", "underscore is literal",
                                 "a blank in the mobile number", "both days included", "from alone",
                                 "to before from", "amount as text", "amount not a number", "very long text",
                                 "operator box", "criteria joined"},
                                [&](QTestData &row, int i) { row << criteria[i] << expected[i]; });
    }
    void criteriaFindTheirCustomers()
    {
        QFETCH(QString, engine);
        QFETCH(QList<Fill>, criteria);
        QFETCH(QStringList, expected);
        Fixture f(engine);
        f.open();
        MessageRecorder messages;
        QVERIFY(f.search(QList<Fill>(criteria) << click("btn_ok")));
        QCOMPARE(messages.texts(), QStringList());
        QCOMPARE(f.codes(), expected);
        QCOMPARE(f.main.statusPanel(1)->text(), QStringLiteral("当前共有 %1 条用户记录").arg(expected.size()));
        // The browser's columns are laid out again from the configuration, footer included.
        QCOMPARE(Frm_Custom->Grid_Cust()->columnTitle(1), QStringLiteral("用户名称"));
        QCOMPARE(Frm_Custom->Grid_Cust()->footerText(1), QString::number(expected.size()));
    }

    void ownerRules_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QStringList>("revoked");
        QTest::addColumn<bool>("operatorBoxFixed");
        // Slot 35 (0610) searches every owner; slot 8 (0201) may pick the owner in the box.
        const QList<QStringList> revoked = {{"0610", "0201"}, {"0610"}, {"0201"}};
        const QList<bool> fixed = {true, false, true};
        TestHome::addEngineRows({"without 35 and 8", "without 35", "without 8"}, [&](QTestData &row, int i) {
            row << revoked[i] << fixed[i];
        });
    }
    void ownerRules()
    {
        QFETCH(QString, engine);
        QFETCH(QStringList, revoked);
        QFETCH(bool, operatorBoxFixed);
        Fixture f(engine);
        f.addOperator(QStringLiteral("bob"), revoked);
        f.open(QStringLiteral("bob"));
        f.search({[&](TFrm_S_Cust &dialog) {
                      auto *box = dialog.findChild<QComboBox *>(QStringLiteral("Combo_User"));
                      QCOMPARE(!box->isEnabled(), operatorBoxFixed);
                      QCOMPARE(box->currentText(), operatorBoxFixed ? QStringLiteral("bob") : QString());
                  },
                  type("Edit_name", "格力"), click("btn_ok")});
        // 格力空调 belongs to Admin: never found by bob without slot 35.
        QCOMPARE(f.codes(), QStringList{"K7"});
    }

    void noCriterionLeavesTheList_data() { TestHome::addEngineRows(); }
    void noCriterionLeavesTheList()
    {
        QFETCH(QString, engine);
        Fixture f(engine);
        f.open();
        const QStringList before = f.codes();
        QCOMPARE(before.size(), 7);
        MessageRecorder messages;
        QVERIFY(f.search({click("btn_ok")}));
        QCOMPARE(messages.texts(), QStringList{QStringLiteral("没有查询项目!")});
        QCOMPARE(f.codes(), before);

        // "清空(&E)" empties the criteria, leaves the owner box and the dates; the dialog stays
        // open between searches, each one a fresh statement.
        messages.clear();
        f.search({type("Edit_name", "格力"), click("btn_ok"),
                  [&](TFrm_S_Cust &) { QCOMPARE(f.codes(), (QStringList{"K1", "K7"})); },
                  type("Combo_User", "Admin"), tick("DateTimePicker1", {2026, 1, 1}), click("btn_reset"),
                  [](TFrm_S_Cust &dialog) {
                      QCOMPARE(dialog.findChild<QLineEdit *>(QStringLiteral("Edit_name"))->text(), QString());
                      QCOMPARE(dialog.findChild<QComboBox *>(QStringLiteral("Combo_User"))->currentText(), QStringLiteral("Admin"));
                      QVERIFY(dialog.findChild<CheckedDateEdit *>(QStringLiteral("DateTimePicker1"))->isChecked());
                  },
                  type("Edit_mobile", "0002"), click("btn_ok")});
        QCOMPARE(messages.texts(), QStringList());
        // The owner box and the ticked date still count: Admin's 新格力, installed this year.
        QCOMPARE(f.codes(), QStringList{"K2"});
    }

    void opensTheBrowserFirst_data() { TestHome::addEngineRows(); }
    void opensTheBrowserFirst()
    {
        QFETCH(QString, engine);
        Fixture f(engine);
        f.open();
        f.main.findChild<QMdiArea *>()->closeAllSubWindows();
        QTRY_VERIFY(!Frm_Custom);
        f.search({[](TFrm_S_Cust &) { QVERIFY(Frm_Custom); }, type("Edit_name", "新"), click("btn_ok")});
        QVERIFY(Frm_Custom);
        QCOMPARE(f.codes(), QStringList{"K2"});
    }
};

QTEST_MAIN(TestCustomerSearch)
#include "TestCustomerSearch.moc"
