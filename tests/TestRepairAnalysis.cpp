#include "CheckedDateEdit.h"
#include "DataGrid.h"
#include "DataSet.h"
#include "FileDialogRecorder.h"
#include "MessageRecorder.h"
#include "Session.h"
#include "TFrm_A_relation.h"
#include "TFrm_Data.h"
#include "TFrm_Main.h"
#include "TestHome.h"
#include "TypeKeys.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

// The repair order analysis: which orders match, with the count and the fee sum below.
class TestRepairAnalysis : public QObject
{
    Q_OBJECT

    using Fill = std::function<void(TFrm_A_relation &)>;

    struct Fixture
    {
        explicit Fixture(const QString &engine) : home(engine), data(home.path()), main(data)
        {
            // number, brand, fee, state, finished, customer
            const QList<QStringList> orders = {
                {"W1", "格力", "5", "未完成", "2026-03-01 00:00:00", "张三"},
                {"W2", "美的", "15", "完成", "2026-03-31 00:00:00", "李四'店"},
                {"W3", "格力", "50", "未完成", "2026-04-01 09:00:00", "100%满意"},
                {"W4", "海尔", "7.5", "未完成", "2026-02-28 23:59:00", "王五"},
                {"W5", "美的", "120", "未完成", "", "a_b空调"},
            };
            for (const QStringList &o : orders)
                QVERIFY(data.RunStatement(data.Qry_Str,
                                          QStringLiteral("insert into T_Schedule (danhao, CustCode, Type, fee, zt, finishdate, Company) "
                                                         "values (:d, 'K1', :t, :f, :z, :fin, :c)"),
                                          {{":d", o[0]}, {":t", o[1]}, {":f", o[2].toDouble()}, {":z", o[3]},
                                           {":fin", o[4].isEmpty() ? QVariant(QMetaType(QMetaType::QDateTime))
                                                                   : QVariant(QDateTime::fromString(o[4], QStringLiteral("yyyy-MM-dd HH:mm:ss")))},
                                           {":c", o[5]}}));
        }

        TFrm_A_relation *open()
        {
            main.session().logIn(QStringLiteral("Admin"));
            main.show();
            main.command(QStringLiteral("weixiu"))->trigger();
            return Frm_A_relation;
        }

        QStringList numbers() const
        {
            QStringList list;
            DataSet *orders = Frm_A_relation->ADOQuery1();
            for (int row = 0; row < orders->recordCount(); ++row)
                list << orders->value(row, QStringLiteral("danhao")).toString();
            return list;
        }

        TestHome home;
        TFrm_Data data;
        TFrm_Main main;
    };

    static Fill type(const char *control, const QString &text)
    {
        return [control, text](TFrm_A_relation &window) {
            QWidget *box = window.findChild<QWidget *>(QString::fromLatin1(control));
            QVERIFY2(box, control);
            if (auto *combo = qobject_cast<QComboBox *>(box))
                box = combo->lineEdit();
            box->setFocus();
            typeKeys(box, text);
        };
    }
    static Fill tick(const char *picker, const QDate &date)
    {
        return [picker, date](TFrm_A_relation &window) {
            auto *edit = window.findChild<CheckedDateEdit *>(QString::fromLatin1(picker));
            QTest::mouseClick(edit->checkBox(), Qt::LeftButton);
            edit->dateEdit()->setDate(date);
        };
    }
    static Fill state(const QString &text)
    {
        return [text](TFrm_A_relation &window) {
            auto *box = window.findChild<QComboBox *>(QStringLiteral("ComboBox1"));
            box->setCurrentIndex(box->findText(text));
        };
    }
    static void press(TFrm_A_relation &window, const char *button)
    {
        QTest::mouseClick(window.findChild<QPushButton *>(QString::fromLatin1(button)), Qt::LeftButton);
    }

private slots:
    void opensWithEveryOrder_data() { TestHome::addEngineRows(); }
    void opensWithEveryOrder()
    {
        QFETCH(QString, engine);
        Fixture f(engine);
        TFrm_A_relation *window = f.open();
        QVERIFY(window);
        QCOMPARE(window->windowTitle(), QStringLiteral("维修信息统计列表"));
        QVERIFY(qobject_cast<QMdiSubWindow *>(window->parentWidget())->isMaximized());
        QCOMPARE(f.numbers(), (QStringList{"W1", "W2", "W3", "W4", "W5"}));
        DataGrid *grid = window->DBGridEh1();
        QCOMPARE(grid->columnTitle(0), QStringLiteral("维修单号"));
        QCOMPARE(grid->footerText(0), QStringLiteral("总计"));
        QCOMPARE(grid->footerText(1), QStringLiteral("5"));
        const int feeColumn = [grid] {
            for (int column = 0; column < grid->shownColumnCount(); ++column)
                if (grid->columnField(column).compare(QStringLiteral("fee"), Qt::CaseInsensitive) == 0)
                    return column;
            return -1;
        }();
        QVERIFY(feeColumn > 1);
        QCOMPARE(grid->footerText(feeColumn), QStringLiteral("197.5"));

        // "Excel" proposes the analysis's own name and writes the listed orders.
        {
            QTemporaryDir folder;
            FileDialogRecorder dialogs;
            MessageRecorder messages;
            messages.answerNext(QMessageBox::No);
            dialogs.answerNext(folder.filePath(QStringLiteral("orders")), QStringLiteral("CSV 文件 (*.csv)"));
            press(*window, "SpeedButton1");
            QCOMPARE(dialogs.requests().value(0).proposedName, QStringLiteral("维修信息统计列表"));
            QFile written(folder.filePath(QStringLiteral("orders.csv")));
            QVERIFY(written.open(QIODevice::ReadOnly));
            const QStringList lines = QString::fromUtf8(written.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
            QVERIFY(lines.value(0).contains(QStringLiteral("维修单号")));
            QVERIFY(lines.value(1).contains(QStringLiteral("W1")));
            QVERIFY(lines.value(5).contains(QStringLiteral("W5")));
        }

        // The command brings the same window forward.
        f.main.command(QStringLiteral("weixiu"))->trigger();
        QCOMPARE(Frm_A_relation.data(), window);

        // Searching untouched lists the open orders only, and the footer follows.
        press(*window, "BitBtn1");
        QCOMPARE(f.numbers(), (QStringList{"W1", "W3", "W4", "W5"}));
        QCOMPARE(grid->footerText(1), QStringLiteral("4"));
        QCOMPARE(grid->footerText(feeColumn), QStringLiteral("182.5"));
    }

    void criteriaFindTheirOrders_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QList<Fill>>("criteria");
        QTest::addColumn<QStringList>("expected");
        const QList<QList<Fill>> criteria = {
            {tick("DateTimePicker1", {2026, 3, 1})},
            {state("完成"), tick("DateTimePicker1", {2026, 3, 1}), tick("DateTimePicker2", {2026, 3, 31})},
            {tick("DateTimePicker1", {2026, 3, 31}), tick("DateTimePicker2", {2026, 3, 1})},
            {state("完成"), type("Edit_code", "5")},
            {type("Edit_code", "5")},
            {type("Edit_code", "abc")},
            {type("Combo_type", "格")},
            {state("完成"), type("Combo_company", "李四'")},
            {type("Combo_company", "100%")},
            {type("Combo_company", "a_b")},
            {type("Edit_address1", QString(300, QLatin1Char('x')))},
        };
        const QList<QStringList> expected = {
            {"W1", "W3"}, {"W2"}, {}, {"W2"}, {"W1", "W3", "W4"}, {}, {"W1", "W3"}, {"W2"}, {"W3"}, {"W5"}, {},
        };
        TestHome::addEngineRows({"from alone", "both days included", "to before from", "fee as text, done",
                                 "fee as text, open", "fee not a number", "brand in part", "quote is literal",
                                 "percent is literal", "underscore is literal", "very long text"},
                                [&](QTestData &row, int i) { row << criteria[i] << expected[i]; });
    }
    void criteriaFindTheirOrders()
    {
        QFETCH(QString, engine);
        QFETCH(QList<Fill>, criteria);
        QFETCH(QStringList, expected);
        Fixture f(engine);
        TFrm_A_relation *window = f.open();
        MessageRecorder messages;
        for (const Fill &fill : criteria)
            fill(*window);
        press(*window, "BitBtn1");
        QCOMPARE(messages.texts(), QStringList());
        QCOMPARE(f.numbers(), expected);
        QCOMPARE(window->DBGridEh1()->footerText(1), QString::number(expected.size()));
    }

    void clearingKeepsStateAndDates_data() { TestHome::addEngineRows(); }
    void clearingKeepsStateAndDates()
    {
        QFETCH(QString, engine);
        Fixture f(engine);
        TFrm_A_relation *window = f.open();
        for (const Fill &fill : {state("完成"), tick("DateTimePicker1", {2026, 3, 1}), type("Combo_type", "海尔"),
                                 type("Edit_code", "9"), type("Edit_tel1", "138")})
            fill(*window);
        press(*window, "BitBtn2");
        QCOMPARE(window->findChild<QComboBox *>(QStringLiteral("Combo_type"))->currentText(), QString());
        QCOMPARE(window->findChild<QLineEdit *>(QStringLiteral("Edit_code"))->text(), QString());
        QCOMPARE(window->findChild<QLineEdit *>(QStringLiteral("Edit_tel1"))->text(), QString());
        press(*window, "BitBtn1");
        QCOMPARE(f.numbers(), QStringList{"W2"});
    }

    void menuOpensTheStayingChooser_data() { TestHome::addEngineRows(); }
    void menuOpensTheStayingChooser()
    {
        QFETCH(QString, engine);
        Fixture f(engine);
        TFrm_A_relation *window = f.open();
        auto *menu = window->findChild<QMenu *>(QStringLiteral("PopupMenu1"));
        QVERIFY(menu);
        QStringList captions;
        for (const QAction *action : menu->actions())
            captions << action->text();
        QCOMPARE(captions, (QStringList{"设置列显示", "保存列属性"}));
        // Storing the operator's widths asks nothing and lands under the analysis's configuration.
        MessageRecorder messages;
        window->DBGridEh1()->setColumnWidth(0, 222);
        menu->actions().at(1)->trigger();
        QVERIFY(f.data.RunQuery(f.data.Qry_Temp,
                                QStringLiteral("select Width from T_FieldShow where TableName = 'Scheduletj' and Field = 'danhao'")));
        QCOMPARE(f.data.Qry_Temp->value(0, 0).toInt(), 222);
    }
};

QTEST_MAIN(TestRepairAnalysis)
#include "TestRepairAnalysis.moc"
