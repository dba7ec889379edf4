#include "MessageRecorder.h"
#include "Session.h"
#include "TFrm_Data.h"
#include "TFrm_Main.h"
#include "TFrm_Softinfo.h"
#include "Tfrm_optionsetup.h"
#include "TestHome.h"
#include "WindowDriver.h"

#include <QAction>
#include <QPushButton>
#include <QTest>

// The options (program name) and the company information, reached through the main window's
// commands, with what they leave in T_SoftInfo and info.
class TestSettings : public QObject
{
    Q_OBJECT

    struct Fixture
    {
        explicit Fixture(const QString &engine) : home(engine), data(home.path()), main(data)
        {
            main.session().logIn(QStringLiteral("Admin"));
        }

        TestHome home;
        TFrm_Data data;
        TFrm_Main main;

        void run(const QString &sql, const QVariantMap &binds = {}) { QVERIFY(data.RunStatement(data.Qry_Str, sql, binds)); }
        QVariantList row(const QString &sql)
        {
            QVariantList values;
            if (data.RunQuery(data.Qry_Temp, sql) && !data.Qry_Temp->isEmpty()) {
                for (int c = 0; c < data.Qry_Temp->fields().count(); ++c)
                    values << data.Qry_Temp->value(0, c);
            }
            return values;
        }
        int count(const QString &table) { return row(QStringLiteral("select count(*) from ") + table).value(0).toInt(); }
        QAction *command(const char *name) const { return main.command(QString::fromLatin1(name)); }
    };

    static constexpr const char *InfoBoxes[] = {"Edit_name", "Edit_user", "Edit_address", "Edit_zip", "Edit_tel", "Edit_fax"};
    static QString infoColumns() { return QStringLiteral("Company, Regname, Address, Postcode, tel, fax"); }

    static QStringList boxTexts(const TFrm_Softinfo *dialog)
    {
        QStringList texts;
        for (const char *box : InfoBoxes)
            texts << control<QLineEdit>(dialog, box)->text();
        return texts;
    }

    static QStringList texts(const QVariantList &values)
    {
        QStringList list;
        for (const QVariant &value : values)
            list << value.toString();
        return list;
    }

private slots:
    void programName_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("typed");
        const QStringList cases = {"blanks around", "as long as the column"};
        TestHome::addEngineRows(cases, [](QTestData &row, int i) {
            row << (i == 0 ? QStringLiteral("  家电'售后\\管理  ") : QString(50, QChar(0x6D4B)));
        });
    }

    void programName()
    {
        QFETCH(QString, engine);
        QFETCH(QString, typed);
        Fixture f(engine);
        f.main.show();
        const QVariantList before = f.row(QStringLiteral("select SoftName, Version from T_SoftInfo"));
        MessageRecorder recorder;
        QVERIFY(withModal<Tfrm_optionsetup>([&] { f.command("N5")->trigger(); }, [&](Tfrm_optionsetup *dialog) {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("选项设置"));
            auto *name = control<QLineEdit>(dialog, "edit_programname");
            QCOMPARE(name->text(), before[0].toString());
            QCOMPARE(dialog->focusWidget(), name);
            typeInto(name, typed);
            control<QPushButton>(dialog, "Button1")->click();
            QCOMPARE(recorder.texts(), QStringList{"修改成功"});
            QCOMPARE(recorder.messages().first().kind, MessageBoxes::Kind::Plain);
            // The dialog stays open on the name as stored.
            QVERIFY(dialog->isVisible());
            QCOMPARE(name->text(), typed.trimmed());
            control<QPushButton>(dialog, "Button2")->click();
            QVERIFY(!dialog->isVisible());
        }));
        QCOMPARE(f.row(QStringLiteral("select SoftName, Version from T_SoftInfo")), (QVariantList{typed.trimmed(), before[1]}));
        QCOMPARE(f.count(QStringLiteral("T_SoftInfo")), 1);
        // The title follows at once, the version directly after the name.
        QVERIFY(f.main.windowTitle().startsWith(typed.trimmed() + before[1].toString()));
    }

    void companyInformation_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<bool>("rowExists");
        QTest::addColumn<bool>("confirm");
        const QStringList cases = {"row changed", "first save creates the row", "exit leaves the row"};
        TestHome::addEngineRows(cases, [](QTestData &row, int i) { row << (i != 1) << (i != 2); });
    }

    void companyInformation()
    {
        QFETCH(QString, engine);
        QFETCH(bool, rowExists);
        QFETCH(bool, confirm);
        Fixture f(engine);
        f.run(QStringLiteral("delete from info"));
        if (rowExists) {
            // Written by another workstation after this one started.
            TFrm_Data other(f.home.path());
            QVERIFY(other.RunStatement(other.Qry_Str,
                                       QStringLiteral("insert into info (Company, Regname, Address, Postcode, tel, fax, Version, name) "
                                                      "values ('旧公司', '老王', '旧地址', '410000', '0731-1', '0731-2', 'v1', '联系人')")));
        }
        // The program's own data module is the one the windows reach.
        Frm_Data = &f.data;
        const QStringList before = texts(f.row(QStringLiteral("select ") + infoColumns() + QStringLiteral(" from info")));
        const QStringList typed = {QStringLiteral(" 长沙'格力\\空调 "), QString(20, QChar(0x738B)), QString(50, QChar(0x8DEF)),
                                   QStringLiteral(" 410001 "), QStringLiteral("0731-88888888"), QString()};
        f.main.show();
        MessageRecorder recorder;
        // The menu item runs the company information command.
        QVERIFY(withModal<TFrm_Softinfo>([&] { f.command("Sys_Company")->trigger(); }, [&](TFrm_Softinfo *dialog) {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("公司信息"));
            QCOMPARE(boxTexts(dialog), rowExists ? before : QStringList(6));
            for (int i = 0; i < 6; ++i)
                typeInto(control<QLineEdit>(dialog, InfoBoxes[i]), typed[i]);
            control<QPushButton>(dialog, confirm ? "btn_ok" : "btn_exit")->click();
            QVERIFY(!dialog->isVisible());
        }));
        QCOMPARE(recorder.texts(), confirm ? QStringList{"修改成功!"} : QStringList());
        QStringList expected = before;
        if (confirm) {
            expected.clear();
            for (const QString &text : typed)
                expected << text.trimmed();
        }
        QCOMPARE(f.count(QStringLiteral("info")), rowExists || confirm ? 1 : 0);
        QCOMPARE(texts(f.row(QStringLiteral("select ") + infoColumns() + QStringLiteral(" from info"))), expected);
        if (rowExists)
            QCOMPARE(f.row(QStringLiteral("select Version, name from info")), (QVariantList{"v1", "联系人"}));

        // Opened again, the dialog shows what was stored.
        QVERIFY(withModal<TFrm_Softinfo>([&] { f.command("M_Company")->trigger(); }, [&](TFrm_Softinfo *dialog) {
            QCOMPARE(boxTexts(dialog), rowExists || confirm ? expected : QStringList(6));
        }));
    }
};

QTEST_MAIN(TestSettings)
#include "TestSettings.moc"
