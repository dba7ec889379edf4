#include "CellText.h"
#include "DatabaseLocation.h"
#include "ServiceFixture.h"
#include "TFrm_AddSchedule.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QLocale>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QToolButton>

// Installation and repair orders entered from the customer browser: order numbers, what is
// written, what is refused, and two workstations adding at once.
class TestOrders : public QObject
{
    Q_OBJECT

    static QString today() { return QStringLiteral("WX-") + QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")) + "-"; }

    static void addOrder(ServiceFixture &f, const QString &customer, const QString &number, const QString &state = QStringLiteral("完成"))
    {
        f.run(QStringLiteral("insert into T_Schedule (CustCode, Company, tel, address, danhao, Type, depart, zt, F_User) "
                             "values (:c, '旧名', '旧电话', '旧地址', :n, '美的', '维修', :zt, 'bob')"),
              {{":c", customer}, {":n", number}, {":zt", state}});
    }

    static void unfold(QComboBox *combo)
    {
        combo->showPopup();
        combo->hidePopup();
    }

    static QStringList items(QComboBox *combo)
    {
        QStringList list;
        for (int i = 0; i < combo->count(); ++i)
            list << combo->itemText(i);
        return list;
    }

    static void choose(QComboBox *combo, const QString &text)
    {
        unfold(combo);
        const int index = combo->findText(text);
        QVERIFY2(index >= 0, qPrintable(text));
        combo->setCurrentIndex(index);
    }

    static void save(QWidget *dialog) { control<QPushButton>(dialog, "Btn_OK")->click(); }

    // Fills the two required boxes of a new order.
    static void fillRequired(QWidget *dialog)
    {
        typeInto(control<QComboBox>(dialog, "combo_depart"), QStringLiteral("维修"));
    }

private slots:
    void initTestCase()
    {
        // The short date format of a Chinese workstation.
        QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    }

    void orderNumbers_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QStringList>("taken");
        QTest::addColumn<QString>("shown");
        const QString d = today();
        const QString yesterday = QStringLiteral("WX-") + QDate::currentDate().addDays(-1).toString(QStringLiteral("yyyy-MM-dd")) + "-";
        const QList<QPair<QStringList, QString>> cases = {
            {{}, d + "0001"},
            {{d + "0008", d + "0009"}, d + "0010"},
            {{yesterday + "0005"}, d + "0001"},
            {{d + "9999"}, d + "10000"},
            {{d + "10000", d + "9999"}, d + "10001"},
            {{d + "0003", d + "00AB"}, d + "0004"},
        };
        TestHome::addEngineRows({"first of the day", "tenth", "new day", "past 9999", "five digits", "sequence not digits"},
                                [&cases](QTestData &row, int i) { row << cases[i].first << cases[i].second; });
    }
    void orderNumbers()
    {
        QFETCH(QString, engine);
        QFETCH(QStringList, taken);
        QFETCH(QString, shown);
        ServiceFixture f(engine);
        for (const QString &number : std::as_const(taken))
            addOrder(f, QStringLiteral("K2"), number);
        f.open();
        QString number;
        QVERIFY(withModal<TFrm_AddSchedule>([&] { f.command("AddSchedule")->trigger(); }, [&](TFrm_AddSchedule *dialog) {
            number = control<QLineEdit>(dialog, "Edit_danhao")->text();
            QVERIFY(control<QLineEdit>(dialog, "Edit_danhao")->isReadOnly());
        }));
        QCOMPARE(number, shown);
    }

    void twoOrdersInOneOpening_data() { TestHome::addEngineRows(); }
    void twoOrdersInOneOpening()
    {
        QFETCH(QString, engine);
        ServiceFixture f(engine);
        f.run(QStringLiteral("insert into Dict_leibie (name) values ('安装')"));
        f.open();
        const QDate day = QDate::currentDate();
        const QDate reported = day.addDays(-1);
        MessageRecorder messages;
        withModal<TFrm_AddSchedule>([&] { control<QToolButton>(Frm_Custom, "Btn_AddSchedule")->click(); }, [&](TFrm_AddSchedule *dialog) {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("添加维修记录"));
            QCOMPARE(control<QPushButton>(dialog, "Btn_OK")->text(), QStringLiteral("新增(&A)"));
            QVERIFY(!control<QWidget>(dialog, "DBNavigator1")->isEnabled());
            // The brand starts as the customer's model.
            QCOMPARE(control<QComboBox>(dialog, "Combo_type")->currentText(), QStringLiteral("KFR-35GW"));
            QCOMPARE(control<QComboBox>(dialog, "ComboBox1")->currentText(), QStringLiteral("完成"));
            QCOMPARE(control<QDateEdit>(dialog, "DateTimePicker1")->date(), day);
            QCOMPARE(control<QDateEdit>(dialog, "DateTimePicker2")->date(), day);

            choose(control<QComboBox>(dialog, "edit_price"), QStringLiteral("柜机 KFR-72LW"));
            typeInto(control<QComboBox>(dialog, "Combo_yuanyin"), QStringLiteral("不制冷"));
            // A report date changed after opening keeps the number of the day it was made.
            control<QDateEdit>(dialog, "DateTimePicker1")->setDate(reported);
            control<QDateEdit>(dialog, "DateTimePicker2")->setDate(day.addDays(1));
            typeInto(control<QComboBox>(dialog, "Combo_engineer"), QStringLiteral("刘师傅"));
            choose(control<QComboBox>(dialog, "Combo_xz"), QStringLiteral("不在保修期内"));
            typeInto(control<QLineEdit>(dialog, "Edit_code"), QStringLiteral("SN-123"));
            choose(control<QComboBox>(dialog, "Combo_fw"), QStringLiteral("在点维修"));
            choose(control<QComboBox>(dialog, "ComboBox1"), QStringLiteral("未完成"));
            choose(control<QComboBox>(dialog, "combo_depart"), QStringLiteral("安装"));
            typeInto(control<QComboBox>(dialog, "edit_number"), QStringLiteral("加氟"));
            typeInto(control<QLineEdit>(dialog, "edit_money"), QStringLiteral("小王"));
            typeInto(control<QPlainTextEdit>(dialog, "Memo1"), QStringLiteral("上门检查"));
            save(dialog);

            // Still open for the next order, the completion state kept, the rest cleared.
            QVERIFY(dialog->isVisible());
            QCOMPARE(control<QLineEdit>(dialog, "Edit_danhao")->text(), today() + "0002");
            QCOMPARE(control<QComboBox>(dialog, "ComboBox1")->currentText(), QStringLiteral("未完成"));
            QCOMPARE(control<QComboBox>(dialog, "Combo_type")->currentText(), QStringLiteral("KFR-35GW"));
            for (const char *name : {"edit_price", "Combo_yuanyin", "Combo_engineer", "Combo_xz", "Combo_fw", "combo_depart", "edit_number"})
                QVERIFY2(control<QComboBox>(dialog, name)->currentText().isEmpty(), name);
            for (const char *name : {"Edit_code", "Edit_fee", "edit_money"})
                QVERIFY2(control<QLineEdit>(dialog, name)->text().isEmpty(), name);
            QVERIFY(control<QPlainTextEdit>(dialog, "Memo1")->toPlainText().isEmpty());
            QCOMPARE(control<QDateEdit>(dialog, "DateTimePicker1")->date(), day);

            fillRequired(dialog);
            save(dialog);
            QCOMPARE(control<QLineEdit>(dialog, "Edit_danhao")->text(), today() + "0003");
            control<QPushButton>(dialog, "Btn_Exit")->click();
        });
        QVERIFY(messages.messages().isEmpty());
        QCOMPARE(f.data.Qry_Schedule->recordCount(), 2);

        const QVariantMap first = f.row(QStringLiteral("select * from T_Schedule where danhao = :n"), {{":n", today() + "0001"}});
        const QVariantMap expected = {
            {"company", "格力空调专卖"}, {"custcode", "K1"}, {"code", "SN-123"}, {"type", "KFR-35GW"},
            {"reason", "不制冷"}, {"engineer", "刘师傅"}, {"number", "加氟"}, {"price", "柜机 KFR-72LW"},
            {"money", "小王"}, {"depart", "安装"}, {"memo", "上门检查"}, {"f_user", "Admin"},
            {"subject", "不在保修期内"}, {"contact", "在点维修"}, {"tel", "0731-8888"},
            {"address", "长沙市五一路1号"}, {"zt", "未完成"},
            // The report date as a Chinese workstation writes it.
            {"startdate", reported.toString(QStringLiteral("yyyy/M/d"))},
        };
        for (auto it = expected.cbegin(); it != expected.cend(); ++it)
            QCOMPARE(first.value(it.key()).toString(), it.value().toString());
        QCOMPARE(first.value("repairdate").toDate(), reported);
        QCOMPARE(first.value("finishdate").toDate(), day.addDays(1));
        QVERIFY(first.value("fee").isNull());
        QVERIFY(!first.value("awoke").toBool());
        QVERIFY(first.value("awokedate").isNull());

        const QVariantMap second = f.row(QStringLiteral("select * from T_Schedule where danhao = :n"), {{":n", today() + "0002"}});
        QCOMPARE(second.value("zt").toString(), QStringLiteral("未完成"));
        QCOMPARE(second.value("type").toString(), QStringLiteral("KFR-35GW"));
        QCOMPARE(second.value("price").toString(), QString());
    }

    void refusedSaves_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("brand");
        QTest::addColumn<QString>("serviceType");
        QTest::addColumn<QString>("fee");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("caption");
        // The fee box takes no letters; a sign or a point alone is no number.
        const QStringList cases = {"no brand", "no service type", "fee only a sign", "fee only a point"};
        TestHome::addEngineRows(cases, [](QTestData &row, int i) {
            switch (i) {
            case 0: row << "" << "维修" << "" << "型号不能为空" << "提醒"; break;
            case 1: row << "美的" << "" << "" << "请选择服务类型" << "警告"; break;
            case 2: row << "美的" << "维修" << "-" << "服务费用必须是数字！" << "提醒"; break;
            case 3: row << "美的" << "维修" << "." << "服务费用必须是数字！" << "提醒"; break;
            }
        });
    }
    void refusedSaves()
    {
        QFETCH(QString, engine);
        QFETCH(QString, brand);
        QFETCH(QString, serviceType);
        QFETCH(QString, fee);
        QFETCH(QString, message);
        QFETCH(QString, caption);
        ServiceFixture f(engine);
        f.open();
        MessageRecorder messages;
        withModal<TFrm_AddSchedule>([&] { f.command("AddSchedule")->trigger(); }, [&](TFrm_AddSchedule *dialog) {
            typeInto(control<QComboBox>(dialog, "Combo_type"), brand);
            typeInto(control<QComboBox>(dialog, "combo_depart"), serviceType);
            typeInto(control<QLineEdit>(dialog, "Edit_fee"), fee);
            save(dialog);
            QVERIFY(dialog->isVisible());
            QCOMPARE(control<QLineEdit>(dialog, "Edit_danhao")->text(), today() + "0001");
        });
        QCOMPARE(messages.texts(), QStringList{message});
        QCOMPARE(messages.messages().first().kind, MessageBoxes::Kind::Box);
        QCOMPARE(messages.messages().first().caption, caption);
        QCOMPARE(messages.messages().first().icon, QMessageBox::Information);
        QCOMPARE(messages.messages().first().buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(f.scalar(QStringLiteral("select count(*) from T_Schedule")).toInt(), 0);
    }

    void editKeepsStateAndRewritesCustomer_data() { TestHome::addEngineRows(); }
    void editKeepsStateAndRewritesCustomer()
    {
        QFETCH(QString, engine);
        ServiceFixture f(engine);
        addOrder(f, QStringLiteral("K1"), today() + "0007", QStringLiteral("未完成"));
        addOrder(f, QStringLiteral("K1"), today() + "0008");
        f.open();
        QVERIFY(f.data.Qry_Schedule->locate(QStringLiteral("danhao"), today() + "0007"));
        withModal<TFrm_AddSchedule>([&] { f.command("EditSchedule")->trigger(); }, [&](TFrm_AddSchedule *dialog) {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("编辑维修记录"));
            QCOMPARE(control<QPushButton>(dialog, "Btn_OK")->text(), QStringLiteral("保存(&S)"));
            QCOMPARE(control<QLineEdit>(dialog, "Edit_danhao")->text(), today() + "0007");
            QCOMPARE(control<QComboBox>(dialog, "ComboBox1")->currentText(), QStringLiteral("未完成"));
            QCOMPARE(control<QComboBox>(dialog, "Combo_type")->currentText(), QStringLiteral("美的"));
            QCOMPARE(control<QLineEdit>(dialog, "Edit_fee")->text(), QString());
            // No report date: today.
            QCOMPARE(control<QDateEdit>(dialog, "DateTimePicker1")->date(), QDate::currentDate());
            // The navigator shows the other order, and back.
            control<QPushButton>(dialog, "Nav_Next")->click();
            QCOMPARE(control<QLineEdit>(dialog, "Edit_danhao")->text(), today() + "0008");
            QCOMPARE(control<QComboBox>(dialog, "ComboBox1")->currentText(), QStringLiteral("完成"));
            control<QPushButton>(dialog, "Nav_Prior")->click();
            save(dialog);
            QVERIFY(!dialog->isVisible());
        });
        const QVariantMap order = f.row(QStringLiteral("select * from T_Schedule where danhao = :n"), {{":n", today() + "0007"}});
        QCOMPARE(order.value("zt").toString(), QStringLiteral("未完成"));
        QVERIFY(order.value("fee").isNull());
        QCOMPARE(order.value("company").toString(), QStringLiteral("格力空调专卖"));
        QCOMPARE(order.value("custcode").toString(), QStringLiteral("K1"));
        QCOMPARE(order.value("tel").toString(), QStringLiteral("0731-8888"));
        QCOMPARE(order.value("address").toString(), QStringLiteral("长沙市五一路1号"));
        QCOMPARE(order.value("f_user").toString(), QStringLiteral("Admin"));
        QCOMPARE(f.scalar(QStringLiteral("select count(*) from T_Schedule where F_User = 'bob'")).toInt(), 1);
    }

    void feeRoundTrip_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QString>("shown");
        const QStringList cases = {"empty", "blanks", "whole", "fraction", "large"};
        TestHome::addEngineRows(cases, [](QTestData &row, int i) {
            switch (i) {
            case 0: row << "" << QVariant() << ""; break;
            case 1: row << "  " << QVariant() << ""; break;
            case 2: row << "80" << QVariant(80.0) << "80"; break;
            case 3: row << " 12.5 " << QVariant(12.5) << "12.5"; break;
            case 4: row << "1234567.89" << QVariant(1234567.89) << "1234567.89"; break;
            }
        });
    }
    void feeRoundTrip()
    {
        QFETCH(QString, engine);
        QFETCH(QString, typed);
        QFETCH(QVariant, stored);
        QFETCH(QString, shown);
        ServiceFixture f(engine);
        f.open();
        withModal<TFrm_AddSchedule>([&] { f.command("AddSchedule")->trigger(); }, [&](TFrm_AddSchedule *dialog) {
            fillRequired(dialog);
            typeInto(control<QLineEdit>(dialog, "Edit_fee"), typed);
            save(dialog);
        });
        const QVariant fee = f.scalar(QStringLiteral("select fee from T_Schedule"));
        QCOMPARE(fee.isNull(), stored.isNull());
        if (!stored.isNull())
            QCOMPARE(fee.toDouble(), stored.toDouble());
        QString reloaded;
        withModal<TFrm_AddSchedule>([&] { f.command("EditSchedule")->trigger(); },
                                    [&](TFrm_AddSchedule *dialog) { reloaded = control<QLineEdit>(dialog, "Edit_fee")->text(); });
        QCOMPARE(reloaded, shown);
    }

    void unitModelsFromTheInstallationOrder_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("customer");
        QTest::addColumn<QStringList>("models");
        TestHome::addEngineRows({"with goods lines", "without"}, [](QTestData &row, int i) {
            if (i == 0)
                row << "K1" << QStringList{"挂机 KFR-35GW", "柜机 KFR-72LW"};
            else
                row << "K2" << QStringList{};
        });
    }
    void unitModelsFromTheInstallationOrder()
    {
        QFETCH(QString, engine);
        QFETCH(QString, customer);
        QFETCH(QStringList, models);
        ServiceFixture f(engine);
        f.open(QStringLiteral("Admin"), customer);
        QStringList listed;
        withModal<TFrm_AddSchedule>([&] { f.command("AddSchedule")->trigger(); }, [&](TFrm_AddSchedule *dialog) {
            auto *unitModel = control<QComboBox>(dialog, "edit_price");
            unfold(unitModel);
            listed = items(unitModel);
        });
        QCOMPARE(listed, models);
    }

    void listsAndListButtons_data() { TestHome::addEngineRows(); }
    void listsAndListButtons()
    {
        QFETCH(QString, engine);
        ServiceFixture f(engine);
        const QList<QPair<const char *, const char *>> lists = {
            {"Combo_type", "Dict_modle"}, {"Combo_yuanyin", "Dict_yuanyin"}, {"Combo_engineer", "Dict_CustLevel"},
            {"combo_depart", "Dict_leibie"}, {"edit_number", "Dict_lx"}};
        for (const auto &list : lists)
            f.run(QStringLiteral("insert into %1 (name) values (:n)").arg(QString::fromLatin1(list.second)),
                  {{":n", QStringLiteral(" 条目 ") + QString::fromLatin1(list.second)}});
        f.open();
        ListOpenings openings;
        withModal<TFrm_AddSchedule>([&] { f.command("AddSchedule")->trigger(); }, [&](TFrm_AddSchedule *dialog) {
            for (const auto &list : lists) {
                auto *combo = control<QComboBox>(dialog, list.first);
                unfold(combo);
                // Read afresh, trimmed, after the lists a new database starts with.
                QCOMPARE(items(combo).value(combo->count() - 1), QStringLiteral("条目 ") + QString::fromLatin1(list.second));
            }
            QCOMPARE(items(control<QComboBox>(dialog, "Combo_xz")), (QStringList{"在保修期内", "不在保修期内"}));
            QCOMPARE(items(control<QComboBox>(dialog, "Combo_fw")), (QStringList{"上门服务", "在点维修"}));
            QCOMPARE(items(control<QComboBox>(dialog, "ComboBox1")), (QStringList{"完成", "未完成"}));
            for (const char *button : {"SpeedButton1", "SpeedButton4", "SpeedButton3"})
                control<QToolButton>(dialog, button)->click();
        });
        QCOMPARE(openings.tables(), (QStringList{"Dict_modle", "Dict_yuanyin", "Dict_CustLevel"}));
    }

    void enterMovesToTheNextBox_data() { TestHome::addEngineRows(); }
    void enterMovesToTheNextBox()
    {
        QFETCH(QString, engine);
        ServiceFixture f(engine);
        f.open();
        QStringList visited;
        withModal<TFrm_AddSchedule>([&] { f.command("AddSchedule")->trigger(); }, [&visited](TFrm_AddSchedule *dialog) {
            control<QWidget>(dialog, "Combo_engineer")->setFocus();
            for (int i = 0; i < 4; ++i) {
                QTest::keyClick(dialog->focusWidget(), Qt::Key_Return);
                QWidget *focus = dialog->focusWidget();
                // The line edit of a drop-down stands for the drop-down.
                if (qobject_cast<QComboBox *>(focus->parentWidget()))
                    focus = focus->parentWidget();
                visited << focus->objectName();
            }
            // Enter saved nothing on the way.
            QCOMPARE(control<QLineEdit>(dialog, "Edit_danhao")->text(), today() + "0001");
        });
        QCOMPARE(visited, (QStringList{"Edit_fee", "Combo_xz", "Edit_code", "Combo_fw"}));
        QCOMPARE(f.scalar(QStringLiteral("select count(*) from T_Schedule")).toInt(), 0);
    }

    void reminderSavedWithTheOrder_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<bool>("remind");
        TestHome::addEngineRows({"reminder", "none"}, [](QTestData &row, int i) { row << (i == 0); });
    }
    void reminderSavedWithTheOrder()
    {
        QFETCH(QString, engine);
        QFETCH(bool, remind);
        ServiceFixture f(engine);
        f.open();
        const QDate due = QDate::currentDate().addDays(3);
        withModal<TFrm_AddSchedule>([&] { f.command("AddSchedule")->trigger(); }, [&](TFrm_AddSchedule *dialog) {
            QVERIFY(!control<QCheckBox>(dialog, "CheckBox_Awoke")->isChecked());
            QVERIFY(!control<QDateEdit>(dialog, "DateTimePicker_Awoke")->isEnabled());
            fillRequired(dialog);
            if (remind) {
                control<QCheckBox>(dialog, "CheckBox_Awoke")->click();
                QVERIFY(control<QDateEdit>(dialog, "DateTimePicker_Awoke")->isEnabled());
                control<QDateEdit>(dialog, "DateTimePicker_Awoke")->setDate(due);
            }
            save(dialog);
            QVERIFY(!control<QCheckBox>(dialog, "CheckBox_Awoke")->isChecked());
        });
        QCOMPARE(f.scalar(QStringLiteral("select Awoke from T_Schedule")).toBool(), remind);
        const QVariant stored = f.scalar(QStringLiteral("select AwokeDate from T_Schedule"));
        QCOMPARE(stored.isNull(), !remind);
        if (remind)
            QCOMPARE(stored.toDate(), due);
        withModal<TFrm_AddSchedule>([&] { f.command("EditSchedule")->trigger(); }, [&](TFrm_AddSchedule *dialog) {
            QCOMPARE(control<QCheckBox>(dialog, "CheckBox_Awoke")->isChecked(), remind);
            if (remind)
                QCOMPARE(control<QDateEdit>(dialog, "DateTimePicker_Awoke")->date(), due);
        });
    }

    void reminderKeptAsStored_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<bool>("flagged");
        QTest::addColumn<QVariant>("due");
        TestHome::addEngineRows({"flag without a date", "date without the flag", "flag with a time of day"},
                                [](QTestData &row, int i) {
            const QVariant atHalfPastEight(QStringLiteral("2026-12-20 08:30:00"));
            switch (i) {
            case 0: row << true << QVariant(QMetaType::fromType<QDate>()); break;
            case 1: row << false << atHalfPastEight; break;
            case 2: row << true << atHalfPastEight; break;
            }
        });
    }
    void reminderKeptAsStored()
    {
        QFETCH(QString, engine);
        QFETCH(bool, flagged);
        QFETCH(QVariant, due);
        ServiceFixture f(engine);
        addOrder(f, QStringLiteral("K1"), today() + "0001");
        f.run(QStringLiteral("update T_Schedule set Awoke = :a, AwokeDate = :d"), {{":a", flagged}, {":d", due}});
        const QVariantMap before = f.row(QStringLiteral("select Awoke, AwokeDate from T_Schedule"));
        f.open();
        // An unrelated change: the reminder stays exactly as stored, no today, no lost date or time.
        withModal<TFrm_AddSchedule>([&] { f.command("EditSchedule")->trigger(); }, [&](TFrm_AddSchedule *dialog) {
            QCOMPARE(control<QCheckBox>(dialog, "CheckBox_Awoke")->isChecked(), flagged);
            typeInto(control<QPlainTextEdit>(dialog, "Memo1"), QStringLiteral("换电容"));
            save(dialog);
        });
        QCOMPARE(f.scalar(QStringLiteral("select Memo from T_Schedule")).toString(), QStringLiteral("换电容"));
        QCOMPARE(f.row(QStringLiteral("select Awoke, AwokeDate from T_Schedule")), before);
        if (!flagged || due.isNull())
            return;
        // Another day keeps the time of day.
        withModal<TFrm_AddSchedule>([&] { f.command("EditSchedule")->trigger(); }, [&](TFrm_AddSchedule *dialog) {
            control<QDateEdit>(dialog, "DateTimePicker_Awoke")->setDate(QDate(2026, 12, 21));
            save(dialog);
        });
        QCOMPARE(CellText::dateTime(f.scalar(QStringLiteral("select AwokeDate from T_Schedule"))),
                 QDateTime(QDate(2026, 12, 21), QTime(8, 30)));
    }

    void tickedReminderNeedsADay_data() { TestHome::addEngineRows(); }
    void tickedReminderNeedsADay()
    {
        QFETCH(QString, engine);
        ServiceFixture f(engine);
        addOrder(f, QStringLiteral("K1"), today() + "0001");
        f.open();
        withModal<TFrm_AddSchedule>([&] { f.command("EditSchedule")->trigger(); }, [&](TFrm_AddSchedule *dialog) {
            auto *day = control<QDateEdit>(dialog, "DateTimePicker_Awoke");
            QVERIFY(!day->isEnabled());
            QCOMPARE(day->text(), QStringLiteral("未设置"));
            // Ticking offers today, shown to the operator before anything is saved.
            control<QCheckBox>(dialog, "CheckBox_Awoke")->click();
            QVERIFY(day->isEnabled());
            QCOMPARE(day->date(), QDate::currentDate());
            save(dialog);
        });
        QVERIFY(f.scalar(QStringLiteral("select Awoke from T_Schedule")).toBool());
        QCOMPARE(CellText::dateTime(f.scalar(QStringLiteral("select AwokeDate from T_Schedule"))).date(), QDate::currentDate());
    }

    void twoWorkstationsNeverShareANumber_data() { TestHome::addEngineRows(); }
    void twoWorkstationsNeverShareANumber()
    {
        QFETCH(QString, engine);
        ServiceFixture f(engine);
        f.open();
        const QString other = QStringLiteral("other-workstation");
        QString error;
        QVERIFY2(DatabaseLocation::fromDbConn(f.home.dbConn(), f.home.path()).open(other, &error), qPrintable(error));
        const auto closeOther = qScopeGuard([&other] { QSqlDatabase::removeDatabase(other); });
        const auto addElsewhere = [&other](const QString &number) {
            QSqlQuery query(QSqlDatabase::database(other, false));
            query.prepare(QStringLiteral("insert into T_Schedule (CustCode, danhao, Type, depart, F_User) values ('K2', ?, '美的', '维修', 'bob')"));
            query.addBindValue(number);
            return query.exec();
        };
        MessageRecorder messages;
        withModal<TFrm_AddSchedule>([&] { f.command("AddSchedule")->trigger(); }, [&](TFrm_AddSchedule *dialog) {
            // Both workstations made the day's first number; the other one saves first.
            QCOMPARE(control<QLineEdit>(dialog, "Edit_danhao")->text(), today() + "0001");
            QVERIFY(addElsewhere(today() + "0001"));
            fillRequired(dialog);
            save(dialog);
            QCOMPARE(control<QLineEdit>(dialog, "Edit_danhao")->text(), today() + "0003");
            // Whoever saves a number second is refused by the database.
            QVERIFY(addElsewhere(today() + "0003"));
            QVERIFY(!addElsewhere(today() + "0003"));
        });
        QCOMPARE(messages.texts(), QStringList{QStringLiteral("维修单号 %1 已被其他工作站使用，本单已保存为 %2。")
                                                   .arg(today() + "0001", today() + "0002")});
        QCOMPARE(f.scalar(QStringLiteral("select danhao from T_Schedule where CustCode = 'K1'")).toString(), today() + "0002");
        QCOMPARE(f.scalar(QStringLiteral("select count(*) from T_Schedule")).toInt(), 3);
        QCOMPARE(f.scalar(QStringLiteral("select count(distinct danhao) from T_Schedule")).toInt(), 3);
    }

    void deleteAsksFirst_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("left");
        TestHome::addEngineRows({"yes", "no"}, [](QTestData &row, int i) {
            row << int(i == 0 ? QMessageBox::Yes : QMessageBox::No) << (i == 0 ? 1 : 2);
        });
    }
    void deleteAsksFirst()
    {
        QFETCH(QString, engine);
        QFETCH(int, answer);
        QFETCH(int, left);
        ServiceFixture f(engine);
        addOrder(f, QStringLiteral("K1"), today() + "0001");
        addOrder(f, QStringLiteral("K1"), today() + "0002");
        f.open();
        QVERIFY(f.data.Qry_Schedule->locate(QStringLiteral("danhao"), today() + "0002"));
        MessageRecorder messages;
        messages.answerNext(QMessageBox::StandardButton(answer));
        f.command("DelSchedule")->trigger();
        QCOMPARE(messages.texts(), QStringList{"您确定要删除这条维修记录吗？"});
        QCOMPARE(messages.messages().first().kind, MessageBoxes::Kind::Box);
        QCOMPARE(messages.messages().first().caption, QStringLiteral("警告"));
        QCOMPARE(messages.messages().first().icon, QMessageBox::Information);
        QCOMPARE(messages.messages().first().buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(f.data.Qry_Schedule->recordCount(), left);
        QCOMPARE(f.scalar(QStringLiteral("select count(*) from T_Schedule where danhao = :n"), {{":n", today() + "0001"}}).toInt(), 1);
    }

    void browserGridReachesTheCommands_data() { TestHome::addEngineRows(); }
    void browserGridReachesTheCommands()
    {
        QFETCH(QString, engine);
        ServiceFixture f(engine);
        addOrder(f, QStringLiteral("K1"), today() + "0001");
        f.open();
        QCOMPARE(menuCommands("Menu_Sch").mid(0, 3), (QStringList{"AddSchedule", "EditSchedule", "DelSchedule"}));
        QCOMPARE(control<QToolButton>(Frm_Custom, "Btn_printwx")->defaultAction(), f.command("printwx"));
        QString number;
        QVERIFY(withModal<TFrm_AddSchedule>([] { doubleClickFirstRow(Frm_Custom->Grid_Sch()); }, [&number](TFrm_AddSchedule *dialog) {
            number = control<QLineEdit>(dialog, "Edit_danhao")->text();
        }));
        QCOMPARE(number, today() + "0001");
        MessageRecorder messages;
        messages.answerNext(QMessageBox::Yes);
        QTest::keyClick(Frm_Custom->Grid_Sch(), Qt::Key_Delete);
        QCOMPARE(messages.texts(), QStringList{"您确定要删除这条维修记录吗？"});
        QCOMPARE(f.scalar(QStringLiteral("select count(*) from T_Schedule")).toInt(), 0);
    }

    void commandsWithoutRecordsDoNothing_data() { TestHome::addEngineRows(); }
    void commandsWithoutRecordsDoNothing()
    {
        QFETCH(QString, engine);
        ServiceFixture f(engine);
        f.open();
        MessageRecorder messages;
        QVERIFY(!withModal<TFrm_AddSchedule>([&] { f.command("EditSchedule")->trigger(); }, [](TFrm_AddSchedule *) {}));
        f.command("DelSchedule")->trigger();
        QVERIFY(f.data.RunQuery(f.data.Qry_Cust, QStringLiteral("select * from custom where CustCode = 'none'")));
        QVERIFY(!withModal<TFrm_AddSchedule>([&] { f.command("AddSchedule")->trigger(); }, [](TFrm_AddSchedule *) {}));
        QVERIFY(messages.messages().isEmpty());
    }
};

QTEST_MAIN(TestOrders)
#include "TestOrders.moc"
