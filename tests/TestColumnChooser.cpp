#include "ColumnChooser.h"
#include "MessageRecorder.h"
#include "Session.h"
#include "TFrm_Custom.h"
#include "TFrm_Data.h"
#include "TFrm_Field.h"
#include "TFrm_FieldShow.h"
#include "TFrm_Main.h"
#include "TestHome.h"

#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

// The column chooser: which columns a grid configuration shows, switched by caption.
class TestColumnChooser : public QObject
{
    Q_OBJECT

    struct Fixture
    {
        explicit Fixture(const QString &engine) : home(engine), data(home.path()), main(data)
        {
            main.session().logIn(QStringLiteral("Admin"));
            main.show();
        }

        // Runs the steps inside the chooser that opening shows; returns whether it was still
        // open after them (it is then closed by "取消(&C)").
        template <class Window>
        bool inChooser(QPointer<Window> &reference, const std::function<void()> &open,
                       const std::function<void(Window &)> &steps)
        {
            bool stillOpen = false;
            QTimer::singleShot(0, [&] {
                QVERIFY(reference);
                steps(*reference);
                stillOpen = reference && reference->isVisible();
                if (reference)
                    QTest::mouseClick(reference->template findChild<QPushButton *>(QStringLiteral("Btn_exit")), Qt::LeftButton);
            });
            open();
            return stillOpen;
        }

        // caption -> flag, of one configuration, in column order.
        QStringList flags(const QString &configuration)
        {
            QStringList list;
            data.RunQuery(data.Qry_Temp,
                          QStringLiteral("select Name, Show from T_FieldShow where TableName = :t order by ShowID, FieldShowID"),
                          {{":t", configuration}});
            for (int row = 0; row < data.Qry_Temp->recordCount(); ++row)
                list << data.Qry_Temp->value(row, 0).toString() + QLatin1Char('=') + data.Qry_Temp->value(row, 1).toString();
            return list;
        }

        void run(const QString &sql, const QVariantMap &binds = {})
        {
            QVERIFY(data.RunStatement(data.Qry_Str, sql, binds));
        }

        TestHome home;
        TFrm_Data data;
        TFrm_Main main;
    };

    static QStringList entries(const QListWidget *list)
    {
        QStringList texts;
        for (int row = 0; row < list->count(); ++row)
            texts << list->item(row)->text();
        return texts;
    }
    static void press(QWidget &window, const char *button)
    {
        QTest::mouseClick(window.findChild<QPushButton *>(QString::fromLatin1(button)), Qt::LeftButton);
    }

private slots:
    void everyBrowserGridHasItsChooser_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("configuration");
        const QStringList actions = {"ShowField_Cust", "ShowField_Contact", "ShowField_Sch", "ShowField_Sale"};
        const QStringList configurations = {"Custom", "Contact", "Schedule", "Bill"};
        TestHome::addEngineRows(actions, [&](QTestData &row, int i) { row << actions[i] << configurations[i]; });
    }
    void everyBrowserGridHasItsChooser()
    {
        QFETCH(QString, engine);
        QFETCH(QString, action);
        QFETCH(QString, configuration);
        Fixture f(engine);
        f.run(QStringLiteral("update T_FieldShow set Show = 0 where ShowID = 1 and TableName = :t"), {{":t", configuration}});
        const QStringList before = f.flags(configuration);
        QAction *command = f.main.command(action) ? f.main.command(action)
                                                 : Frm_Custom->findChild<QAction *>(action);
        QVERIFY(command && command->isEnabled());
        QCOMPARE(command->text(), QStringLiteral("设置列显示"));
        MessageRecorder messages;
        const bool stillOpen = f.inChooser<TFrm_Field>(Frm_Field, [&] { command->trigger(); }, [&](TFrm_Field &window) {
            QCOMPARE(window.windowTitle(), QStringLiteral("选择显示的字段"));
            QCOMPARE(window.ConfigName().toLower(), configuration.toLower());
            auto *hidden = window.findChild<QListWidget *>(QStringLiteral("SrcList"));
            auto *shown = window.findChild<QListWidget *>(QStringLiteral("DstList"));
            QCOMPARE(entries(hidden).size(), 1);
            QCOMPARE(entries(hidden).size() + entries(shown).size(), before.size());
            QVERIFY(window.findChild<QPushButton *>(QStringLiteral("SP_allright"))->isEnabled());
            // Opening again while it is open does nothing.
            command->trigger();
            QCOMPARE(QApplication::activeModalWidget(), &window);
            press(window, "SP_allleft");
            QVERIFY(!window.findChild<QPushButton *>(QStringLiteral("SP_left"))->isEnabled());
            QVERIFY(window.findChild<QPushButton *>(QStringLiteral("SP_right"))->isEnabled());
            press(window, "Btn_ok");
        });
        QVERIFY(!stillOpen);
        QCOMPARE(messages.texts(), QStringList{QStringLiteral("修改完成！")});
        QStringList hiddenAll = before;
        hiddenAll.replaceInStrings(QStringLiteral("=1"), QStringLiteral("=0"));
        QCOMPARE(f.flags(configuration), hiddenAll);
    }

    void storesByCaption_data() { TestHome::addEngineRows(); }
    void storesByCaption()
    {
        QFETCH(QString, engine);
        Fixture f(engine);
        // Two rows under one caption, one hidden, one shown; one caption with blanks around it.
        f.run(QStringLiteral("update T_FieldShow set Name = '品牌', Show = 0 where TableName = 'Custom' and Field = 'largess'"));
        f.run(QStringLiteral("update T_FieldShow set Name = ' 备注信息 ' where TableName = 'Custom' and Field = 'memo'"));
        MessageRecorder messages;
        f.inChooser<TFrm_Field>(Frm_Field, [&] { f.main.command(QStringLiteral("ShowField_Cust"))->trigger(); },
                                [&](TFrm_Field &window) {
                                    auto *hidden = window.findChild<QListWidget *>(QStringLiteral("SrcList"));
                                    QCOMPARE(entries(hidden), QStringList{QStringLiteral("品牌")});
                                    QVERIFY(entries(window.findChild<QListWidget *>(QStringLiteral("DstList")))
                                                .contains(QStringLiteral(" 备注信息 ")));
                                    // Confirming without a move rewrites every flag.
                                    press(window, "Btn_ok");
                                });
        QCOMPARE(messages.texts(), QStringList{QStringLiteral("修改完成！")});
        QStringList flags = f.flags(QStringLiteral("Custom"));
        QVERIFY2(flags.count(QStringLiteral("品牌=1")) == 2, qPrintable(flags.join(',')));

        // Now both to the left, and everything else: the blank-edged caption stays shown.
        f.inChooser<TFrm_Field>(Frm_Field, [&] { f.main.command(QStringLiteral("ShowField_Cust"))->trigger(); },
                                [&](TFrm_Field &window) {
                                    auto *shown = window.findChild<QListWidget *>(QStringLiteral("DstList"));
                                    QCOMPARE(entries(shown).count(QStringLiteral("品牌")), 2);
                                    shown->setCurrentRow(int(entries(shown).indexOf(QStringLiteral("品牌"))));
                                    press(window, "SP_left");
                                    auto *hidden = window.findChild<QListWidget *>(QStringLiteral("SrcList"));
                                    QCOMPARE(entries(hidden), QStringList{QStringLiteral("品牌")});
                                    press(window, "SP_allleft");
                                    press(window, "Btn_ok");
                                });
        flags = f.flags(QStringLiteral("Custom"));
        QCOMPARE(flags.filter(QStringLiteral("=1")), QStringList{QStringLiteral(" 备注信息 =1")});
    }

    void analysisChooserStaysOpen_data() { TestHome::addEngineRows(); }
    void analysisChooserStaysOpen()
    {
        QFETCH(QString, engine);
        Fixture f(engine);
        MessageRecorder messages;
        const bool stillOpen = f.inChooser<TFrm_FieldShow>(
            Frm_FieldShow,
            [&] { ColumnChooser::open(&f.main, QStringLiteral("scheduletj"), ColumnChooser::Variant::StaysOpen); },
            [&](TFrm_FieldShow &window) {
                auto *shown = window.findChild<QListWidget *>(QStringLiteral("DstList"));
                shown->setCurrentRow(0);
                press(window, "SP_left");
                press(window, "Btn_ok");
                QVERIFY(window.isVisible());
                press(window, "Btn_ok");
            });
        QVERIFY(stillOpen);
        QCOMPARE(messages.texts(), (QStringList{QStringLiteral("修改完成！"), QStringLiteral("修改完成！")}));
        const QStringList flags = f.flags(QStringLiteral("Scheduletj"));
        QCOMPARE(flags.first(), QStringLiteral("维修单号=0"));
        QCOMPARE(flags.filter(QStringLiteral("=0")).size(), 1);
    }
};

QTEST_MAIN(TestColumnChooser)
#include "TestColumnChooser.moc"
