#include "MessageRecorder.h"
#include "PasswordHash.h"
#include "ProgramFiles.h"
#include "Session.h"
#include "TFrm_Data.h"
#include "TFrm_Login.h"
#include "TestHome.h"
#include "TypeKeys.h"

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

        // An operator whose password is kept as its hash, or as clear text as older databases
        // keep it.
        void addOperator(const QString &name, const QString &password, bool listed = true, bool hashed = true)
        {
            QVERIFY(data.RunStatement(data.Qry_Str,
                                      QStringLiteral("insert into admin (UserName, Password, PartName, IsUser) values (:n, :p, '普通用户', :l)"),
                                      {{":n", name}, {":p", hashed ? PasswordHash::hash(password) : password}, {":l", listed}}));
        }

        QString storedPassword(const QString &name)
        {
            return data.RunQuery(data.Qry_Temp, QStringLiteral("select Password from admin where UserName = :n"), {{":n", name}})
                           && !data.Qry_Temp->isEmpty()
                       ? data.Qry_Temp->value(0, 0).toString()
                       : QStringLiteral("<none>");
        }
    };

    static void logIn(TFrm_Login &login, int position, const QString &password)
    {
        auto *combo = login.findChild<QComboBox *>(QStringLiteral("Combo_User"));
        combo->setCurrentIndex(position);
        auto *pass = login.findChild<QLineEdit *>(QStringLiteral("Edit_Pass"));
        pass->clear();
        typeKeys(pass, password);
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
        QTest::addColumn<bool>("hashed");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("passwordCleared");
        const QStringList cases = {"no name", "wrong password", "other letter case", "nothing typed",
                                   "typed for an empty password", "blank password, nothing typed",
                                   "blank password, text typed", "clear text: wrong password",
                                   "clear text: typed for an empty password", "clear text: blank password, text typed"};
        const QString wrong = QStringLiteral("密码错误，请重新输入密码！");
        const QString empty = QStringLiteral("王'五密码为空，您可以直接点击确定按钮登录！");
        TestHome::addEngineRows(cases, [&](QTestData &row, int i) {
            switch (i) {
            case 0: row << "x" << true << -1 << "x" << "请选择一个用户名！" << false; break;
            case 1: row << "s'e\\cret" << true << 1 << "secret" << wrong << true; break;
            case 2: row << "Secret" << true << 1 << "secret" << wrong << true; break;
            case 3: row << "secret" << true << 1 << "" << "请输入密码！" << false; break;
            case 4: row << "" << true << 1 << "abc" << empty << true; break;
            case 5: row << "   " << true << 1 << "" << "请输入密码！" << false; break;
            // A hash cannot tell blanks from a password: blanks are a password like any other.
            case 6: row << "   " << true << 1 << "abc" << wrong << true; break;
            case 7: row << "secret" << false << 1 << "Secret" << wrong << true; break;
            case 8: row << "" << false << 1 << "abc" << empty << true; break;
            case 9: row << "   " << false << 1 << "abc" << empty << true; break;
            }
        });
    }

    void refusedLogins()
    {
        QFETCH(QString, engine);
        QFETCH(QString, storedPassword);
        QFETCH(bool, hashed);
        QFETCH(int, position);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        QFETCH(bool, passwordCleared);
        Fixture f(engine);
        f.addOperator(QStringLiteral("王'五"), storedPassword, true, hashed);
        const QString stored = f.storedPassword(QStringLiteral("王'五"));
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
        // A refused login changes nothing stored.
        QCOMPARE(f.storedPassword(QStringLiteral("王'五")), stored);
    }

    // When the password cannot be read, nobody logs in, whatever is typed.
    void failedLookUpLogsNobodyIn_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("breakage");
        QTest::addColumn<QString>("message");
        const QStringList cases = {"table gone", "password column gone", "operator deleted meanwhile"};
        TestHome::addEngineRows(cases, [](QTestData &row, int i) {
            switch (i) {
            case 0: row << "alter table admin rename to admin_gone" << QString(); break;
            case 1: row << "alter table admin rename column Password to pw" << QString(); break;
            case 2: row << "delete from admin where UserName = '李四'" << "请选择一个用户名！"; break;
            }
        });
    }

    void failedLookUpLogsNobodyIn()
    {
        QFETCH(QString, engine);
        QFETCH(QString, breakage);
        QFETCH(QString, message);
        Fixture f(engine);
        f.addOperator(QStringLiteral("李四"), QString());
        TFrm_Login login(f.data, f.session);
        login.show();
        QVERIFY(f.data.RunStatement(f.data.Qry_Str, breakage));
        QSignalSpy loggedIn(&f.session, &Session::loggedIn);
        MessageRecorder messages;
        logIn(login, 1, QString());

        QCOMPARE(messages.messages().size(), 1);
        if (message.isEmpty()) {
            // The database's own reason.
            QVERIFY(!messages.lastText().isEmpty());
            QCOMPARE(messages.messages().first().icon, QMessageBox::Critical);
        } else {
            QCOMPARE(messages.lastText(), message);
        }
        QCOMPARE(loggedIn.count(), 0);
        QCOMPARE(login.LoginDone(), 0);
        QVERIFY(login.isVisible());
        QCOMPARE(f.session.OperatorName(), QString());
    }

    void successfulLogin_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("hashed");
        QTest::addColumn<QString>("operatorName");
        const QStringList cases = {"plain", "quotes and backslash", "longer than 20 bytes", "blanks around the password",
                                   "clear text of an older database", "clear empty password"};
        TestHome::addEngineRows(cases, [](QTestData &row, int i) {
            switch (i) {
            case 0: row << "张三" << "" << true << "张三"; break;
            case 1: row << "O'Brien\\" << "p'w\"d\\" << true << "O'Brien\\"; break;
            case 2: row << "一二三四五六七八九十十一" << "x" << true << "一二三四五六七八九十"; break;
            case 3: row << "赵六" << " 密码 " << true << "赵六"; break;
            case 4: row << "钱七" << "p'w\"d\\一二三四五六七八九十十一" << false << "钱七"; break;
            case 5: row << "孙八" << "" << false << "孙八"; break;
            }
        });
    }

    void successfulLogin()
    {
        QFETCH(QString, engine);
        QFETCH(QString, name);
        QFETCH(QString, password);
        QFETCH(bool, hashed);
        QFETCH(QString, operatorName);
        Fixture f(engine);
        f.addOperator(name, password, true, hashed);
        const QString before = f.storedPassword(name);
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

        // After a login the password is kept only as its hash; a clear one is replaced.
        const QString after = f.storedPassword(name);
        QVERIFY(PasswordHash::isHash(after));
        QVERIFY(PasswordHash::matches(after, password));
        if (hashed)
            QCOMPARE(after, before);
    }

    // The administrator of a new database starts with an empty password.
    void newDatabaseAdministratorLogsInWithoutPassword_data() { TestHome::addEngineRows(); }
    void newDatabaseAdministratorLogsInWithoutPassword()
    {
        QFETCH(QString, engine);
        Fixture f(engine);
        TFrm_Login login(f.data, f.session);
        login.show();
        MessageRecorder messages;
        logIn(login, 0, QString());
        QVERIFY(messages.messages().isEmpty());
        QCOMPARE(f.session.OperatorName(), QStringLiteral("Admin"));
        QVERIFY(PasswordHash::isHash(f.storedPassword(QStringLiteral("Admin"))));
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
