#include "CellText.h"
#include "CustomerNumbers.h"
#include "DailyNumbers.h"
#include "DataGrid.h"
#include "MessageRecorder.h"
#include "Session.h"
#include "TFrm_AddCust.h"
#include "TFrm_Data.h"
#include "TestHome.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

// The customer editor driven as a clerk types a customer in, and what it leaves in the database.
class TestCustomerEditor : public QObject
{
    Q_OBJECT

    struct Fixture
    {
        explicit Fixture(const QString &engine) : home(engine), data(home.path()) { session.logIn(QStringLiteral("Admin")); }
        TestHome home;
        TFrm_Data data;
        Session session;

        void run(const QString &sql, const QVariantMap &binds = {}) { QVERIFY(data.RunStatement(data.Qry_Str, sql, binds)); }
        QVariant scalar(const QString &sql, const QVariantMap &binds = {})
        {
            return data.RunQuery(data.Qry_Temp, sql, binds) && !data.Qry_Temp->isEmpty() ? data.Qry_Temp->value(0, 0) : QVariant();
        }
        void addCustomer(const QString &code, const QString &name, const QString &batch = QString())
        {
            run(QStringLiteral("insert into custom (CustCode, Company, batch, f_user) values (:c, :n, :b, 'Admin')"),
                {{":c", code}, {":n", name}, {":b", batch}});
        }
    };

    static QLineEdit *edit(QWidget *dialog, const char *name) { return dialog->findChild<QLineEdit *>(QString::fromLatin1(name)); }
    static void type(QWidget *dialog, const char *name, const QString &text)
    {
        QLineEdit *box = edit(dialog, name);
        box->selectAll();
        box->insert(text);
    }
    static void save(QWidget *dialog) { dialog->findChild<QPushButton *>(QStringLiteral("Btn_OK"))->click(); }
    static QString today() { return QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")); }

private slots:
    void orderNumbersAndCodes_data()
    {
        QTest::addColumn<QStringList>("numbers");
        QTest::addColumn<QString>("next");
        QTest::addColumn<QString>("bad");
        const QString d = QStringLiteral("AZ-2026-12-11-");
        QTest::newRow("first of the day") << QStringList{} << d + "0001" << "";
        QTest::newRow("tenth") << QStringList{d + "0008", d + "0009"} << d + "0010" << "";
        QTest::newRow("after 0999") << QStringList{d + "0999"} << d + "1000" << "";
        QTest::newRow("past 9999") << QStringList{d + "9999"} << d + "10000" << "";
        QTest::newRow("five digits sort first") << QStringList{d + "10000", d + "9999"} << d + "10001" << "";
        QTest::newRow("sequence not digits") << QStringList{d + "0003", d + "00AB"} << d + "0004" << d + "00AB";
    }
    void orderNumbersAndCodes()
    {
        QFETCH(QStringList, numbers);
        QFETCH(QString, next);
        QFETCH(QString, bad);
        QString reported;
        QCOMPARE(DailyNumbers::nextFrom(DailyNumbers::dayPrefix(QStringLiteral("AZ"), QDate(2026, 12, 11)), numbers, &reported), next);
        QCOMPARE(reported, bad);
    }

    void customerCodes_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<bool>("counter");
        QTest::addColumn<QString>("next");
        QTest::newRow("0099") << "GZ0099" << true << "GZ0100";
        QTest::newRow("9999") << "GZ9999" << true << "GZ10000";
        QTest::newRow("0009") << "A-0009" << true << "A-0010";
        QTest::newRow("letters") << "GZ12AB" << false << "";
    }
    void customerCodes()
    {
        QFETCH(QString, code);
        QFETCH(bool, counter);
        QFETCH(QString, next);
        QCOMPARE(CustomerNumbers::endsInCounter(code), counter);
        if (counter)
            QCOMPARE(CustomerNumbers::NextCustCode(code), next);
    }

    void addStoresTheCustomerAndStaysOpen_data() { TestHome::addEngineRows(); }
    void addStoresTheCustomerAndStaysOpen()
    {
        QFETCH(QString, engine);
        Fixture f(engine);
        f.addCustomer(QStringLiteral("OLD"), QStringLiteral("老客户"), QStringLiteral("AZ-%1-0009").arg(today()));
        QVERIFY(f.data.RunQuery(f.data.Qry_Cust, QStringLiteral("select * from custom order by CustID")));
        TFrm_AddCust dialog(f.data, f.session, RecordEditor::Mode::Add);
        dialog.show();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("添加用户信息"));
        QCOMPARE(dialog.focusWidget(), edit(&dialog, "Edit_Code"));
        QCOMPARE(dialog.orderNumber(), QStringLiteral("AZ-%1-0010").arg(today()));
        type(&dialog, "Edit_Code", QStringLiteral("K'1\\% "));
        type(&dialog, "Edit_CustName", QStringLiteral("  上海长城空调 "));
        type(&dialog, "Edit_taishu", QStringLiteral("2"));
        QTest::keyClicks(edit(&dialog, "Edit_retail"), QStringLiteral("3"));
        QCOMPARE(edit(&dialog, "Edit_money")->text(), QStringLiteral("6"));
        MessageRecorder messages;
        save(&dialog);
        QVERIFY(messages.messages().isEmpty());
        QVERIFY(dialog.isVisible());

        QVERIFY(f.data.RunQuery(f.data.Qry_Temp, QStringLiteral("select * from custom where Company = '上海长城空调'")));
        DataSet *row = f.data.Qry_Temp;
        QCOMPARE(row->recordCount(), 1);
        // The code is stored as typed, the name trimmed, the initials from the name.
        QCOMPARE(row->value(QStringLiteral("CustCode")).toString(), QStringLiteral("K'1\\% "));
        QCOMPARE(row->value(QStringLiteral("pinyin")).toString(), QStringLiteral("shzckt"));
        QCOMPARE(row->value(QStringLiteral("batch")).toString(), QStringLiteral("AZ-%1-0010").arg(today()));
        QCOMPARE(row->value(QStringLiteral("f_user")).toString(), QStringLiteral("Admin"));
        QCOMPARE(row->value(QStringLiteral("money")).toDouble(), 6.0);
        QCOMPARE(row->value(QStringLiteral("taishu")).toString(), QStringLiteral("2"));
        // Ready for the next one, and the browser's list shows the new customer as current.
        QCOMPARE(edit(&dialog, "Edit_CustName")->text(), QString());
        QCOMPARE(dialog.orderNumber(), QStringLiteral("AZ-%1-0011").arg(today()));
        QCOMPARE(f.data.Qry_Cust->value(QStringLiteral("Company")).toString(), QStringLiteral("上海长城空调"));
    }

    void numbersSurviveAnUnrelatedEdit_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("column");
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QString>("shown");
        const QStringList cases = {"price with cents", "amount over a million", "received with decimals",
                                   "large received amount", "gift count of seven digits"};
        TestHome::addEngineRows(cases, [](QTestData &row, int i) {
            switch (i) {
            case 0: row << "Edit_retail" << "retail" << QVariant(12345.67) << "12345.67"; break;
            case 1: row << "Edit_money" << "money" << QVariant(1234567.5) << "1234567.5"; break;
            case 2: row << "Edit_gathering" << "gathering" << QVariant(2999.95) << "2999.95"; break;
            case 3: row << "Edit_gathering" << "gathering" << QVariant(98765432.01) << "98765432.01"; break;
            case 4: row << "Edit_number" << "number" << QVariant(1234567) << "1234567"; break;
            }
        });
    }
    void numbersSurviveAnUnrelatedEdit()
    {
        QFETCH(QString, engine);
        QFETCH(QString, box);
        QFETCH(QString, column);
        QFETCH(QVariant, stored);
        QFETCH(QString, shown);
        Fixture f(engine);
        f.addCustomer(QStringLiteral("A"), QStringLiteral("张三"));
        f.run(QStringLiteral("update custom set %1 = :v").arg(column), {{":v", stored}});
        QVERIFY(f.data.RunQuery(f.data.Qry_Cust, QStringLiteral("select * from custom")));
        TFrm_AddCust dialog(f.data, f.session, RecordEditor::Mode::Edit);
        dialog.show();
        QCOMPARE(edit(&dialog, qPrintable(box))->text(), shown);
        // Only the phone number changes.
        type(&dialog, "Edit_Mobile", QStringLiteral("13900001111"));
        MessageRecorder messages;
        save(&dialog);
        QVERIFY2(messages.messages().isEmpty(), qPrintable(messages.lastText()));
        QCOMPARE(f.scalar(QStringLiteral("select Mobile from custom")).toString(), QStringLiteral("13900001111"));
        QCOMPARE(f.scalar(QStringLiteral("select %1 from custom").arg(column)).toDouble(), stored.toDouble());
    }

    void amountsTypedWhole_data() { TestHome::addEngineRows(); }
    void amountsTypedWhole()
    {
        QFETCH(QString, engine);
        Fixture f(engine);
        TFrm_AddCust dialog(f.data, f.session, RecordEditor::Mode::Add);
        dialog.show();
        type(&dialog, "Edit_Code", QStringLiteral("K1"));
        type(&dialog, "Edit_CustName", QStringLiteral("甲"));
        type(&dialog, "Edit_taishu", QStringLiteral("100"));
        type(&dialog, "Edit_retail", QString());
        QTest::keyClicks(edit(&dialog, "Edit_retail"), QStringLiteral("12999"));
        QCOMPARE(edit(&dialog, "Edit_money")->text(), QStringLiteral("1299900"));
        type(&dialog, "Edit_gathering", QStringLiteral("1,299,900.5"));
        MessageRecorder messages;
        save(&dialog);
        QVERIFY2(messages.messages().isEmpty(), qPrintable(messages.lastText()));
        QCOMPARE(f.scalar(QStringLiteral("select money from custom")).toDouble(), 1299900.0);
        QCOMPARE(f.scalar(QStringLiteral("select retail from custom")).toDouble(), 12999.0);
        QCOMPARE(f.scalar(QStringLiteral("select gathering from custom")).toDouble(), 1299900.5);
        // The two dates are days, as the other editors store theirs.
        for (const char *date : {"buydate", "installdate"}) {
            const QDateTime when = CellText::dateTime(f.scalar(QStringLiteral("select %1 from custom").arg(QLatin1String(date))));
            QCOMPARE(when.date(), QDate::currentDate());
            QCOMPARE(when.time(), QTime(0, 0));
        }
    }

    void refusedSaves_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("price");
        QTest::addColumn<QString>("message");
        const QStringList cases = {"no code", "blank code", "no name", "code exists (trailing blank)", "name exists", "price not a number"};
        TestHome::addEngineRows(cases, [](QTestData &row, int i) {
            switch (i) {
            case 0: row << "" << "甲" << "0" << "用户编号不能为空!"; break;
            case 1: row << "   " << "甲" << "0" << "用户编号不能为空!"; break;
            case 2: row << "K9" << "  " << "0" << "用户名称不能为空!"; break;
            case 3: row << "K1 " << "甲" << "0" << "用户编号有重复!"; break;
            case 4: row << "K9" << "张三" << "0" << "用户名称有重复!"; break;
            // The price box takes no letters; a sign alone is no number.
            case 5: row << "K9" << "甲" << "-" << "“单价”必须是数字!"; break;
            }
        });
    }
    void refusedSaves()
    {
        QFETCH(QString, engine);
        QFETCH(QString, code);
        QFETCH(QString, name);
        QFETCH(QString, price);
        QFETCH(QString, message);
        Fixture f(engine);
        f.addCustomer(QStringLiteral("K1"), QStringLiteral("张三"));
        TFrm_AddCust dialog(f.data, f.session, RecordEditor::Mode::Add);
        dialog.show();
        type(&dialog, "Edit_Code", code);
        type(&dialog, "Edit_CustName", name);
        type(&dialog, "Edit_retail", price);
        MessageRecorder messages;
        save(&dialog);
        QCOMPARE(messages.texts(), QStringList{message});
        QCOMPARE(messages.messages().first().caption, QStringLiteral("提醒"));
        QCOMPARE(messages.messages().first().icon, QMessageBox::Information);
        QCOMPARE(f.scalar(QStringLiteral("select count(*) from custom")).toInt(), 1);
    }

    void automaticCodes_data() { TestHome::addEngineRows(); }
    void automaticCodes()
    {
        QFETCH(QString, engine);
        Fixture f(engine);
        f.run(QStringLiteral("update T_SoftInfo set autocoding = 1"));
        f.data.ConfigIni().WriteString(QStringLiteral("Other"), QStringLiteral("custcode"), QStringLiteral("GZ0099"));
        {
            TFrm_AddCust dialog(f.data, f.session, RecordEditor::Mode::Add);
            dialog.show();
            QVERIFY(dialog.findChild<QCheckBox *>(QStringLiteral("cb_Auto"))->isChecked());
            QVERIFY(f.session.AutoCustCode());
            QCOMPARE(edit(&dialog, "Edit_Code")->text(), QStringLiteral("GZ0099"));
            type(&dialog, "Edit_CustName", QStringLiteral("甲"));
            save(&dialog);
            QCOMPARE(f.scalar(QStringLiteral("select Company from custom where CustCode = 'GZ0099'")).toString(), QStringLiteral("甲"));
            QCOMPARE(edit(&dialog, "Edit_Code")->text(), QStringLiteral("GZ0100"));

            MessageRecorder messages;
            type(&dialog, "Edit_Code", QStringLiteral("GZ12AB"));
            type(&dialog, "Edit_CustName", QStringLiteral("乙"));
            save(&dialog);
            QCOMPARE(messages.texts(), QStringList{"请保持用户编号最后四位为数字"});
            QCOMPARE(messages.messages().first().kind, MessageBoxes::Kind::Dialog);
            type(&dialog, "Edit_Code", QStringLiteral("GZ0100"));
            dialog.reject();
        }
        QCOMPARE(f.data.ConfigIni().ReadString(QStringLiteral("Other"), QStringLiteral("custcode"), QString()), QStringLiteral("GZ0100"));

        // Switching it off is remembered in the settings.
        TFrm_AddCust dialog(f.data, f.session, RecordEditor::Mode::Add);
        dialog.findChild<QCheckBox *>(QStringLiteral("cb_Auto"))->click();
        QCOMPARE(f.scalar(QStringLiteral("select autocoding from T_SoftInfo")).toInt(), 0);
        QCOMPARE(edit(&dialog, "Edit_Code")->text(), QString());
        QVERIFY(!f.session.AutoCustCode());
    }

    void twoWorkstationsNeverShareAnOrderNumber_data() { TestHome::addEngineRows(); }
    void twoWorkstationsNeverShareAnOrderNumber()
    {
        QFETCH(QString, engine);
        Fixture f(engine);
        TFrm_AddCust dialog(f.data, f.session, RecordEditor::Mode::Add);
        dialog.show();
        const QString proposed = dialog.orderNumber();
        {
            // The other workstation, on a connection of its own, saves first with the same number.
            TFrm_Data other(f.home.path());
            QVERIFY(other.RunStatement(other.Qry_Str, QStringLiteral("insert into custom (CustCode, Company, batch) values ('W2', '乙', :b)"),
                                       {{":b", proposed}}));
        }
        type(&dialog, "Edit_Code", QStringLiteral("W1"));
        type(&dialog, "Edit_CustName", QStringLiteral("甲"));
        MessageRecorder messages;
        save(&dialog);
        QVERIFY(messages.messages().isEmpty());
        QCOMPARE(f.scalar(QStringLiteral("select count(distinct batch) from custom")).toInt(), 2);
        QCOMPARE(f.scalar(QStringLiteral("select batch from custom where CustCode = 'W1'")).toString(),
                 QStringLiteral("AZ-%1-0002").arg(today()));
    }

    void editCarriesCodeAndNameIntoTheRecords_data() { TestHome::addEngineRows(); }
    void editCarriesCodeAndNameIntoTheRecords()
    {
        QFETCH(QString, engine);
        Fixture f(engine);
        f.addCustomer(QStringLiteral("A"), QStringLiteral("张三"));
        f.addCustomer(QStringLiteral("B"), QStringLiteral("李四"));
        for (const char *code : {"A", "B"}) {
            f.run(QStringLiteral("insert into contact (CustCode, Company) values (:c, '张三')"), {{":c", code}});
            f.run(QStringLiteral("insert into T_Schedule (CustCode, Company) values (:c, '张三')"), {{":c", code}});
            f.run(QStringLiteral("insert into T_Bill (CustCode, CustName) values (:c, '张三')"), {{":c", code}});
        }
        QVERIFY(f.data.RunQuery(f.data.Qry_Cust, QStringLiteral("select * from custom order by CustID")));
        TFrm_AddCust dialog(f.data, f.session, RecordEditor::Mode::Edit);
        dialog.show();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("编辑用户信息"));
        QCOMPARE(edit(&dialog, "Edit_Code")->text(), QStringLiteral("A"));
        type(&dialog, "Edit_Code", QStringLiteral("A2"));
        type(&dialog, "Edit_CustName", QStringLiteral("张三丰"));
        MessageRecorder messages;
        save(&dialog);
        QVERIFY(messages.messages().isEmpty());
        for (const char *table : {"contact", "T_Schedule", "T_Bill"}) {
            QCOMPARE(f.scalar(QStringLiteral("select count(*) from %1 where CustCode = 'A2'").arg(QLatin1String(table))).toInt(), 1);
            QCOMPARE(f.scalar(QStringLiteral("select count(*) from %1 where CustCode = 'A'").arg(QLatin1String(table))).toInt(), 0);
        }
        QCOMPARE(f.scalar(QStringLiteral("select Company from contact where CustCode = 'A2'")).toString(), QStringLiteral("张三丰"));
        QCOMPARE(f.scalar(QStringLiteral("select CustName from T_Bill where CustCode = 'A2'")).toString(), QStringLiteral("张三丰"));
        // The other customer's records that carried the same name are untouched.
        QCOMPARE(f.scalar(QStringLiteral("select Company from T_Schedule where CustCode = 'B'")).toString(), QStringLiteral("张三"));
        // Saving again compares with what was saved.
        save(&dialog);
        QVERIFY(messages.messages().isEmpty());

        // Another customer's code is refused; another customer's name is accepted.
        type(&dialog, "Edit_Code", QStringLiteral("B"));
        save(&dialog);
        QCOMPARE(messages.texts(), QStringList{"用户编号重复，请你换一个用户编号"});
        QCOMPARE(messages.messages().first().kind, MessageBoxes::Kind::Plain);
        type(&dialog, "Edit_Code", QStringLiteral("A2"));
        type(&dialog, "Edit_CustName", QStringLiteral("李四"));
        save(&dialog);
        QCOMPARE(f.scalar(QStringLiteral("select count(*) from custom where Company = '李四'")).toInt(), 2);
    }

    void navigatorLoadsRows_data() { TestHome::addEngineRows(); }
    void navigatorLoadsRows()
    {
        QFETCH(QString, engine);
        Fixture f(engine);
        for (const char *code : {"A", "B", "C"})
            f.addCustomer(QString::fromLatin1(code), QStringLiteral("用户") + QString::fromLatin1(code));
        QVERIFY(f.data.RunQuery(f.data.Qry_Cust, QStringLiteral("select * from custom order by CustCode")));
        TFrm_AddCust dialog(f.data, f.session, RecordEditor::Mode::Edit);
        dialog.show();
        type(&dialog, "Edit_CustName", QStringLiteral("未保存"));
        dialog.findChild<QPushButton *>(QStringLiteral("Nav_Next"))->click();
        QCOMPARE(edit(&dialog, "Edit_Code")->text(), QStringLiteral("B"));
        dialog.findChild<QPushButton *>(QStringLiteral("Nav_Last"))->click();
        QCOMPARE(edit(&dialog, "Edit_CustName")->text(), QStringLiteral("用户C"));
        dialog.findChild<QPushButton *>(QStringLiteral("Nav_First"))->click();
        QCOMPARE(edit(&dialog, "Edit_CustName")->text(), QStringLiteral("用户A"));
        QCOMPARE(f.scalar(QStringLiteral("select count(*) from custom where Company = '未保存'")).toInt(), 0);
    }

    void goodsLinesAreWrittenOnSaveOnly_data() { TestHome::addEngineRows(); }
    void goodsLinesAreWrittenOnSaveOnly()
    {
        QFETCH(QString, engine);
        Fixture f(engine);
        f.addCustomer(QStringLiteral("A"), QStringLiteral("甲"), QStringLiteral("AZ-1"));
        for (const char *goods : {"KFR-35", "KFR-50"})
            f.run(QStringLiteral("insert into T_BillDetail (batch, GoodsName, Number) values ('AZ-1', :g, 1)"), {{":g", goods}});
        QVERIFY(f.data.RunQuery(f.data.Qry_Cust, QStringLiteral("select * from custom")));
        {
            TFrm_AddCust dialog(f.data, f.session, RecordEditor::Mode::Edit);
            dialog.show();
            dialog.findChild<QTabWidget *>(QStringLiteral("PageControl1"))->setCurrentIndex(1);
            auto *grid = dialog.findChild<DataGrid *>(QStringLiteral("Grid_Goods"));
            QCOMPARE(grid->model()->rowCount(), 2);
            QVERIFY(!dialog.findChild<QToolButton *>(QStringLiteral("Btn_AddLine"))->isEnabled());
            // An edit in the grid waits for "保存".
            grid->model()->setData(grid->model()->index(0, 0), QStringLiteral("X"));
            f.data.Qry_BillDetail->setFieldValue(0, QStringLiteral("Number"), 3);
            QCOMPARE(f.scalar(QStringLiteral("select max(Number) from T_BillDetail")).toDouble(), 1.0);
            dialog.findChild<QToolButton *>(QStringLiteral("Btn_SaveLines"))->click();
            QCOMPARE(f.scalar(QStringLiteral("select max(Number) from T_BillDetail")).toDouble(), 3.0);

            MessageRecorder messages;
            f.data.Qry_BillDetail->setFieldValue(f.data.Qry_BillDetail->currentRow(), QStringLiteral("GoodsName"), QString());
            dialog.findChild<QToolButton *>(QStringLiteral("Btn_SaveLines"))->click();
            QCOMPARE(messages.texts(), QStringList{"输入型号"});

            f.data.Qry_BillDetail->cancelUpdates();
            dialog.findChild<QToolButton *>(QStringLiteral("Btn_DelLine"))->click();
            QCOMPARE(f.scalar(QStringLiteral("select count(*) from T_BillDetail")).toInt(), 1);
            f.data.Qry_BillDetail->setFieldValue(0, QStringLiteral("Number"), 9);
            dialog.findChild<QPushButton *>(QStringLiteral("Btn_Cancel"))->click();
        }
        // Closed without saving: the change is dropped.
        QCOMPARE(f.scalar(QStringLiteral("select max(Number) from T_BillDetail")).toDouble() < 9, true);
        QCOMPARE(f.data.Qry_BillDetail->hasPendingChanges(), false);
    }
};

QTEST_MAIN(TestCustomerEditor)
#include "TestCustomerEditor.moc"
