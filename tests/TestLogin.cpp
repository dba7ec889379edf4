#include "MessageRecorder.h"
#include "ProgramFiles.h"
#include "Session.h"
#include "TFrm_Data.h"
#include "TFrm_Login.h"
#include "TestHome.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

// The login window as an operator uses it: choose a name, type a password, press OK.
class TestLogin : public QObject
{
    Q_OBJECT

    struct Fixture
    {
        explicit Fixture(const QString &engine) : home(engine), data(home.path()) {}
        TestHome home;
        TFrm_Data data;
        Session session;

        void addOperator(const QString &name, const QString &password, bool listed = true)
        {
            QVERIFY(data.RunStatement(data.Qry_Str,
                                      QStringLiteral("insert into admin (UserName, Password, PartName, IsUser) values (:n, :p, '普通用户', :l)"),
                                      {{":n", name}, {":p", password}, {":l", listed}}));
        }
    };

    static void logIn(TFrm_Login &login, int position, const QString &password)
    {
        auto *combo = login.findChild<QComboBox *>(QStringLiteral("Combo_User"));
        combo->setCurrentIndex(position);
        auto *pass = login.findChild<QLineEdit *>(QStringLiteral("Edit_Pass"));
        pass->clear();
        QTest::keyClicks(pass, password);
        QTest::mouseClick(login.findChild<QPushButton *>(QStringLiteral("Btn_ok")), Qt::LeftButton);
    }

private slots:
    void listsTheOperatorsAndPreselectsTheLastOne_data() { TestHome::addEngineRows(); }
    void listsTheOperatorsAndPreselectsTheLastOne()
    {
        QFETCH(QString, engine);
        Fixture f(engine);
        f.addOperator(QStringLiteral("张三"), QString());
        f.addOperator(QStringLiteral("hidden"), QString(), false);
        f.addOperator(QStringLiteral("李四"), QString());
        f.data.ConfigIni().WriteInteger(QStringLiteral("login"), QStringLiteral("username"), 2);

        TFrm_Login login(f.data, f.session);
        login.show();
        QCOMPARE(login.windowTitle(), QStringLiteral("登录"));
        auto *combo = login.findChild<QComboBox *>(QStringLiteral("Combo_User"));
        QCOMPARE(combo->count(), 3);
        QCOMPARE(combo->itemText(0), QStringLiteral("Admin"));
        QCOMPARE(combo->itemText(2), QStringLiteral("李四"));
        QCOMPARE(combo->currentIndex(), 2);
        QCOMPARE(login.focusWidget(), login.findChild<QLineEdit *>(QStringLiteral("Edit_Pass")));
    }

    void positionBeyondTheListSelectsNothing()
    {
        Fixture f(QStringLiteral("sqlite"));
        f.data.ConfigIni().WriteInteger(QStringLiteral("login"), QStringLiteral("username"), 5);
        TFrm_Login login(f.data, f.session);
        login.show();
        QCOMPARE(login.findChild<QComboBox *>(QStringLiteral("Combo_User"))->currentIndex(), -1);
    }

    void refusedLogins_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("storedPassword");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("passwordCleared");
        const QStringList cases = {"no name", "wrong password", "other letter case", "nothing typed",
                                   "typed for an empty password", "blank password, nothing typed",
                                   "blank password, text typed"};
        TestHome::addEngineRows(cases, [](QTestData &row, int i) {
            switch (i) {
            case 0: row << "x" << -1 << "x" << "请选择一个用户名！" << false; break;
            case 1: row << "s'e\\cret" << 1 << "secret" << "密码错误，请重新输入密码！" << true; break;
            case 2: row << "Secret" << 1 << "secret" << "密码错误，请重新输入密码！" << true; break;
            case 3: row << "secret" << 1 << "" << "请输入密码！" << false; break;
            case 4: row << "" << 1 << "abc" << "王'五密码为空，您可以直接点击确定按钮登录！" << true; break;
            case 5: row << "   " << 1 << "" << "请输入密码！" << false; break;
            case 6: row << "   " << 1 << "abc" << "王'五密码为空，您可以直接点击确定按钮登录！" << true; break;
            }
        });
    }

    void refusedLogins()
    {
        QFETCH(QString, engine);
        QFETCH(QString, storedPassword);
        QFETCH(int, position);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        QFETCH(bool, passwordCleared);
        Fixture f(engine);
        f.addOperator(QStringLiteral("王'五"), storedPassword);
        TFrm_Login login(f.data, f.session);
        login.show();
        MessageRecorder messages;
        logIn(login, position, typed);

        QCOMPARE(messages.texts(), QStringList{message});
        QCOMPARE(messages.messages().first().caption, QStringLiteral("警告"));
        QCOMPARE(messages.messages().first().icon, QMessageBox::Critical);
        QCOMPARE(messages.messages().first().buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(login.LoginDone(), 0);
        QVERIFY(login.isVisible());
        QCOMPARE(f.session.OperatorName(), QString());
        QCOMPARE(login.findChild<QLineEdit *>(QStringLiteral("Edit_Pass"))->text().isEmpty(), passwordCleared || typed.isEmpty());
        // The choice is remembered even when the login fails.
        QCOMPARE(f.data.ConfigIni().ReadInteger(QStringLiteral("login"), QStringLiteral("username"), -9), position);
    }

    void successfulLogin_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("operatorName");
        const QStringList cases = {"plain", "quotes and backslash", "longer than 20 bytes"};
        TestHome::addEngineRows(cases, [](QTestData &row, int i) {
            switch (i) {
            case 0: row << "张三" << "" << "张三"; break;
            case 1: row << "O'Brien\\" << "p'w\"d\\" << "O'Brien\\"; break;
            case 2: row << "一二三四五六七八九十十一" << "x" << "一二三四五六七八九十"; break;
            }
        });
    }

    void successfulLogin()
    {
        QFETCH(QString, engine);
        QFETCH(QString, name);
        QFETCH(QString, password);
        QFETCH(QString, operatorName);
        Fixture f(engine);
        f.addOperator(name, password);
        TFrm_Login login(f.data, f.session);
        login.show();
        QSignalSpy loggedIn(&f.session, &Session::loggedIn);
        MessageRecorder messages;
        logIn(login, 1, password);
        QVERIFY(messages.messages().isEmpty());
        QCOMPARE(login.LoginDone(), 1);
        QVERIFY(!login.isVisible());
        QCOMPARE(loggedIn.count(), 1);
        QCOMPARE(f.session.OperatorName(), operatorName);
        QCOMPARE(f.data.ConfigIni().ReadInteger(QStringLiteral("login"), QStringLiteral("username"), -9), 1);
    }

    void pictureFromTheProgramFolderOrBesideTheProgram_data()
    {
        QTest::addColumn<bool>("ownCopy");
        QTest::newRow("own copy") << true;
        QTest::newRow("delivered beside the program") << false;
    }
    void pictureFromTheProgramFolderOrBesideTheProgram()
    {
        QFETCH(bool, ownCopy);
        // A folder given with --home holds Config.ini and the database, maybe no pictures.
        Fixture f(QStringLiteral("sqlite"));
        const QString relative = QStringLiteral("IMG/Login.jpg");
        QString expected = QDir(QCoreApplication::applicationDirPath()).filePath(relative);
        if (ownCopy) {
            QVERIFY(QDir(f.home.path()).mkpath(QStringLiteral("IMG")));
            expected = f.home.filePath(relative);
            QImage picture(40, 10, QImage::Format_RGB32);
            picture.fill(Qt::darkBlue);
            QVERIFY(picture.save(expected));
        }
        QVERIFY2(QFile::exists(expected), qPrintable(expected));
        QCOMPARE(ProgramFiles::path(f.home.path(), relative), expected);
        TFrm_Login login(f.data, f.session);
        const QPixmap shown = login.findChild<QLabel *>(QStringLiteral("Image1"))->pixmap();
        QVERIFY(!shown.isNull());
        QCOMPARE(shown.size(), QImage(expected).size());
        // What neither place has is looked for in the program folder.
        QCOMPARE(ProgramFiles::path(f.home.path(), QStringLiteral("help/none.html")), f.home.filePath(QStringLiteral("help/none.html")));
    }

    void cancelLeavesNobodyLoggedIn()
    {
        Fixture f(QStringLiteral("sqlite"));
        TFrm_Login login(f.data, f.session);
        login.show();
        QTest::mouseClick(login.findChild<QPushButton *>(QStringLiteral("Btn_Exit")), Qt::LeftButton);
        QVERIFY(!login.isVisible());
        QCOMPARE(login.LoginDone(), 0);
        QCOMPARE(f.session.OperatorName(), QString());
    }
};

QTEST_MAIN(TestLogin)
#include "TestLogin.moc"
