#include "MessageRecorder.h"
#include "PasswordHash.h"
#include "Session.h"
#include "TFrm_ChangePass.h"
#include "TFrm_Data.h"
#include "TestHome.h"
#include "WindowDriver.h"

#include <QPushButton>
#include <QTest>

// How passwords are kept, and the operator changing his own.
class TestPasswords : public QObject
{
    Q_OBJECT

    struct Fixture
    {
        explicit Fixture(const QString &engine) : home(engine), data(home.path()) {}

        TestHome home;
        TFrm_Data data;
        Session session;

        void addOperator(const QString &name, const QString &stored)
        {
            QVERIFY(data.RunStatement(data.Qry_Str,
                                      QStringLiteral("insert into admin (UserName, Password, PartName) values (:n, :p, '普通用户')"),
                                      {{":n", name}, {":p", stored}}));
        }

        QString storedPassword(const QString &name)
        {
            return data.RunQuery(data.Qry_Temp, QStringLiteral("select Password from admin where UserName = :n"), {{":n", name}})
                           && !data.Qry_Temp->isEmpty()
                       ? data.Qry_Temp->value(0, 0).toString()
                       : QString();
        }
    };

private slots:
    void hashesMatchOnlyTheirPassword_data()
    {
        QTest::addColumn<QString>("password");
        QTest::newRow("empty") << "";
        QTest::newRow("blanks") << "   ";
        QTest::newRow("quotes and backslash") << "p'w\"d\\";
        QTest::newRow("longer than 20 GBK bytes") << "一二三四五六七八九十十一";
    }

    void hashesMatchOnlyTheirPassword()
    {
        QFETCH(QString, password);
        const QString first = PasswordHash::hash(password);
        const QString second = PasswordHash::hash(password);
        QVERIFY(PasswordHash::isHash(first));
        // Salted: the same password never gives the same text twice.
        QVERIFY(first != second);
        QVERIFY(first.size() <= 128);
        QVERIFY(PasswordHash::matches(first, password));
        QVERIFY(PasswordHash::matches(second, password));
        QVERIFY(!PasswordHash::matches(first, password + QLatin1Char(' ')));
        QVERIFY(!PasswordHash::matches(first, QStringLiteral("x") + password));
        QCOMPARE(PasswordHash::isEmptyPassword(first), password.isEmpty());
    }

    // Older databases keep the password itself: it compares exactly.
    void clearTextComparesExactly()
    {
        QVERIFY(!PasswordHash::isHash(QStringLiteral("secret")));
        QVERIFY(PasswordHash::matches(QStringLiteral("secret"), QStringLiteral("secret")));
        QVERIFY(!PasswordHash::matches(QStringLiteral("secret"), QStringLiteral("Secret")));
        QVERIFY(!PasswordHash::matches(QStringLiteral("secret"), QStringLiteral("secret ")));
        QVERIFY(PasswordHash::isEmptyPassword(QStringLiteral("  ")));
        QVERIFY(!PasswordHash::matches(QStringLiteral("$argon2id$broken"), QString()));
    }

    void windowOpensOnTheOperator()
    {
        Fixture f(QStringLiteral("sqlite"));
        f.session.logIn(QStringLiteral("Admin"));
        TFrm_ChangePass window(f.data, f.session);
        window.show();
        QApplication::setActiveWindow(&window);
        QCOMPARE(window.windowTitle(), QStringLiteral("修改我的登录密码"));
        QCOMPARE(control<QLineEdit>(&window, "Edit_User")->text(), QStringLiteral("Admin"));
        QVERIFY(!control<QLineEdit>(&window, "Edit_User")->isEnabled());
        for (const char *box : {"Edit_oldpass", "Edit_newpass", "Edit_ConfirmPass"}) {
            QCOMPARE(control<QLineEdit>(&window, box)->echoMode(), QLineEdit::Password);
            QVERIFY(control<QLineEdit>(&window, box)->text().isEmpty());
        }
        // The buttons come first in the tab order.
        QStringList order;
        for (int i = 0; i < 5; ++i) {
            order << window.focusWidget()->objectName();
            QTest::keyClick(window.focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(order, (QStringList{"Btn_OK", "Btn_Exit", "Edit_oldpass", "Edit_newpass", "Edit_ConfirmPass"}));
        // Neither Enter nor Escape does anything by itself.
        MessageRecorder recorder;
        QTest::keyClick(window.focusWidget(), Qt::Key_Return);
        QTest::keyClick(&window, Qt::Key_Escape);
        QVERIFY(window.isVisible());
        QVERIFY(recorder.messages().isEmpty());
    }

    void changingThePassword_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("current");
        QTest::addColumn<bool>("hashed");
        QTest::addColumn<QString>("typedCurrent");
        QTest::addColumn<QString>("newPassword");
        QTest::addColumn<QString>("confirmation");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("caption");
        const QStringList cases = {"changed", "wrong current password", "wrong current before a wrong confirmation",
                                   "confirmation differs", "empty new password", "the same password again",
                                   "clear text of an older database", "current password with blanks"};
        const QString wrong = QStringLiteral("当前密码错误!");
        const QString verify = QStringLiteral("在\"验证\"框中重新输入新密码并单击\"确定\"按钮,以验证新密码.");
        const QString done = QStringLiteral("修改密码成功!");
        TestHome::addEngineRows(cases, [&](QTestData &row, int i) {
            switch (i) {
            case 0: row << "old" << true << "old" << "n'e\\w一二三四五六七八九十十一" << "n'e\\w一二三四五六七八九十十一" << done << "成功"; break;
            case 1: row << "old" << true << "Old" << "new" << "new" << wrong << "密码错误"; break;
            case 2: row << "old" << true << "old " << "new" << "other" << wrong << "密码错误"; break;
            case 3: row << "old" << true << "old" << "new" << "New" << verify << "验证密码"; break;
            case 4: row << "old" << true << "old" << "" << "" << done << "成功"; break;
            case 5: row << "old" << true << "old" << "old" << "old" << done << "成功"; break;
            case 6: row << "old" << false << "old" << "new" << "new" << done << "成功"; break;
            case 7: row << " o ld " << true << " o ld " << "new" << "new" << done << "成功"; break;
            }
        });
    }

    void changingThePassword()
    {
        QFETCH(QString, engine);
        QFETCH(QString, current);
        QFETCH(bool, hashed);
        QFETCH(QString, typedCurrent);
        QFETCH(QString, newPassword);
        QFETCH(QString, confirmation);
        QFETCH(QString, message);
        QFETCH(QString, caption);
        Fixture f(engine);
        f.addOperator(QStringLiteral("王'五"), hashed ? PasswordHash::hash(current) : current);
        // Another operator's password stays as it is.
        f.addOperator(QStringLiteral("王'五六"), PasswordHash::hash(current));
        const QString before = f.storedPassword(QStringLiteral("王'五"));
        const QString otherBefore = f.storedPassword(QStringLiteral("王'五六"));
        f.session.logIn(QStringLiteral("王'五"));
        TFrm_ChangePass window(f.data, f.session);
        window.show();
        typeInto(control<QLineEdit>(&window, "Edit_oldpass"), typedCurrent);
        typeInto(control<QLineEdit>(&window, "Edit_newpass"), newPassword);
        typeInto(control<QLineEdit>(&window, "Edit_ConfirmPass"), confirmation);
        MessageRecorder recorder;
        control<QPushButton>(&window, "Btn_OK")->click();

        QCOMPARE(recorder.texts(), QStringList{message});
        QCOMPARE(recorder.messages().first().caption, caption);
        QCOMPARE(recorder.messages().first().icon, QMessageBox::Information);
        const QString after = f.storedPassword(QStringLiteral("王'五"));
        QCOMPARE(f.storedPassword(QStringLiteral("王'五六")), otherBefore);
        if (caption != QStringLiteral("成功")) {
            QVERIFY(window.isVisible());
            QCOMPARE(after, before);
            // The typed texts stay, the focus goes to the box to correct.
            QCOMPARE(control<QLineEdit>(&window, "Edit_oldpass")->text(), typedCurrent);
            QCOMPARE(window.focusWidget()->objectName(),
                     QString::fromLatin1(caption == QStringLiteral("密码错误") ? "Edit_oldpass" : "Edit_ConfirmPass"));
            return;
        }
        QVERIFY(!window.isVisible());
        // Only the hash is kept, never the password.
        QVERIFY(PasswordHash::isHash(after));
        QVERIFY(PasswordHash::matches(after, newPassword));
        // A short text can turn up inside a hash by chance; a long one must not.
        QVERIFY(newPassword.size() < 8 || !after.contains(newPassword));
        QCOMPARE(PasswordHash::matches(after, current), newPassword == current);
    }

    // Deleted by another workstation since this login: there is nothing to change.
    void changingTheDeletedOperatorsPassword_data() { TestHome::addEngineRows(); }
    void changingTheDeletedOperatorsPassword()
    {
        QFETCH(QString, engine);
        Fixture f(engine);
        f.addOperator(QStringLiteral("王五"), PasswordHash::hash(QString()));
        f.session.logIn(QStringLiteral("王五"));
        TFrm_ChangePass window(f.data, f.session);
        window.show();
        QVERIFY(f.data.RunStatement(f.data.Qry_Str, QStringLiteral("delete from admin where UserName = '王五'")));
        MessageRecorder recorder;
        control<QPushButton>(&window, "Btn_OK")->click();
        QCOMPARE(recorder.texts(), QStringList{"该操作员已被删除，无法修改密码。"});
        QVERIFY(window.isVisible());
    }
};

QTEST_MAIN(TestPasswords)
#include "TestPasswords.moc"
