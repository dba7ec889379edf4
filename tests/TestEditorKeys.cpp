#include "RecordEditor.h"
#include "ServiceFixture.h"
#include "TypeKeys.h"

#include <QLabel>
#include <QTabWidget>

// The keys a clerk uses in every record editor: Enter on a focused button, Enter and
// Ctrl+Enter in a memo, Esc or the close box after typing.
class TestEditorKeys : public QObject
{
    Q_OBJECT

    // One editor: the command that opens it on K1's record, its exit button, a memo, a box
    // to type into and the statement that reads that box's column back.
    struct Editor
    {
        const char *command;
        const char *exitButton;
        const char *memo;
        const char *box;
        const char *readBack;
    };

    static Editor editor(int index)
    {
        static const Editor editors[] = {
            {"EditContact", "Btn_Exit", "Memo2", "Combo_Cust", "select Name from contact"},
            {"EditSchedule", "Btn_Exit", "Memo1", "Edit_code", "select code from T_Schedule"},
            {"EditBill", "Btn_Exit", "Memo1", "Combo_level", "select level from T_Bill"},
            {"EditCust", "Btn_Cancel", "Memo1", "Edit_Mobile", "select Mobile from custom where CustCode = 'K1'"},
        };
        return editors[index];
    }

    // K1 with one visit, one order and one complaint, the browser on K1's complaints too.
    static void addRecords(ServiceFixture &f)
    {
        f.run(QStringLiteral("insert into contact (CustCode, Company, Name, f_user) values ('K1', '格力空调专卖', '老王', 'Admin')"));
        f.run(QStringLiteral("insert into T_Schedule (CustCode, Company, danhao, Type, depart, code, F_User) "
                             "values ('K1', '格力空调专卖', 'WX-1', '美的', '维修', 'SN-1', 'Admin')"));
        f.run(QStringLiteral("insert into T_Bill (CustCode, CustName, level, people, F_User) "
                             "values ('K1', '格力空调专卖', '一般', '老王', 'Admin')"));
        f.open();
        control<QTabWidget>(Frm_Custom, "Page_Contact")->setCurrentIndex(2);
    }

    static void typeIn(RecordEditor *dialog, const char *box, const QString &text)
    {
        QWidget *widget = control<QWidget>(dialog, box);
        typeInto(widget, text);
    }

    static void addEditorRows()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<int>("editor");
        TestHome::addEngineRows({"visit", "order", "complaint", "customer"}, [](QTestData &row, int i) { row << i; });
    }

    static int recordCount(ServiceFixture &f)
    {
        return f.scalar(QStringLiteral("select (select count(*) from contact) + (select count(*) from T_Schedule) "
                                       "+ (select count(*) from T_Bill) + (select count(*) from custom)")).toInt();
    }

private slots:
    void enterOnTheExitButtonWritesNothing_data() { addEditorRows(); }
    void enterOnTheExitButtonWritesNothing()
    {
        QFETCH(QString, engine);
        QFETCH(int, editor);
        const Editor e = TestEditorKeys::editor(editor);
        ServiceFixture f(engine);
        addRecords(f);
        const QString before = f.scalar(QString::fromLatin1(e.readBack)).toString();
        const int records = recordCount(f);
        MessageRecorder messages;
        bool closed = false;
        QVERIFY(withModal<RecordEditor>([&] { f.command(e.command)->trigger(); }, [&](RecordEditor *dialog) {
            typeIn(dialog, e.box, QStringLiteral("改过"));
            QWidget *exit = control<QPushButton>(dialog, e.exitButton);
            exit->setFocus();
            QTest::keyClick(dialog->focusWidget(), Qt::Key_Return);
            closed = !dialog->isVisible();
        }));
        QVERIFY(closed);
        // The typed change was given up after the question, never saved.
        QCOMPARE(messages.texts(), QStringList{RecordEditor::discardQuestion()});
        QCOMPARE(f.scalar(QString::fromLatin1(e.readBack)).toString(), before);
        QCOMPARE(recordCount(f), records);
    }

    void enterInAMemoMovesOn_data() { addEditorRows(); }
    void enterInAMemoMovesOn()
    {
        QFETCH(QString, engine);
        QFETCH(int, editor);
        const Editor e = TestEditorKeys::editor(editor);
        ServiceFixture f(engine);
        addRecords(f);
        const int records = recordCount(f);
        QString memoText;
        QWidget *after = nullptr;
        QVERIFY(withModal<RecordEditor>([&] { f.command(e.command)->trigger(); }, [&](RecordEditor *dialog) {
            auto *memo = control<QPlainTextEdit>(dialog, e.memo);
            memo->setFocus();
            memo->selectAll();
            typeKeys(memo, QStringLiteral("第一行"));
            QTest::keyClick(memo, Qt::Key_Return, Qt::ControlModifier);
            typeKeys(memo, QStringLiteral("第二行"));
            QTest::keyClick(memo, Qt::Key_Return);
            memoText = memo->toPlainText();
            after = dialog->focusWidget();
            QVERIFY(after != memo);
            QVERIFY(dialog->isVisible());
        }));
        QCOMPARE(memoText, QStringLiteral("第一行\n第二行"));
        QCOMPARE(recordCount(f), records);
    }

    void escapeAfterTypingAsks_data() { addEditorRows(); }
    void escapeAfterTypingAsks()
    {
        QFETCH(QString, engine);
        QFETCH(int, editor);
        const Editor e = TestEditorKeys::editor(editor);
        ServiceFixture f(engine);
        addRecords(f);
        const QString before = f.scalar(QString::fromLatin1(e.readBack)).toString();
        MessageRecorder messages;
        QVERIFY(withModal<RecordEditor>([&] { f.command(e.command)->trigger(); }, [&](RecordEditor *dialog) {
            // The record's customer is named (the customer editor shows it in its boxes).
            if (auto *label = dialog->findChild<QLabel *>(QStringLiteral("Label_Customer")))
                QCOMPARE(label->text(), QStringLiteral("用户: K1  格力空调专卖"));
            // Typed and not saved: Esc asks, and No keeps everything.
            typeIn(dialog, e.box, QStringLiteral("半截"));
            messages.answerNext(QMessageBox::No);
            QTest::keyClick(dialog, Qt::Key_Escape);
            QVERIFY(dialog->isVisible());
            QCOMPARE(messages.texts(), QStringList{RecordEditor::discardQuestion()});
            const MessageBoxes::Record asked = messages.messages().first();
            QCOMPARE(asked.buttons, QMessageBox::Yes | QMessageBox::No);
            QCOMPARE(asked.defaultButton, QMessageBox::No);
            // The close box asks the same; Yes lets the record go.
            messages.answerNext(QMessageBox::Yes);
            dialog->close();
            QVERIFY(!dialog->isVisible());
            QCOMPARE(messages.messages().size(), 2);
        }));
        QCOMPARE(f.scalar(QString::fromLatin1(e.readBack)).toString(), before);
    }

    void escapeWithoutTypingClosesAtOnce_data() { addEditorRows(); }
    void escapeWithoutTypingClosesAtOnce()
    {
        QFETCH(QString, engine);
        QFETCH(int, editor);
        const Editor e = TestEditorKeys::editor(editor);
        ServiceFixture f(engine);
        addRecords(f);
        MessageRecorder messages;
        bool closed = false;
        QVERIFY(withModal<RecordEditor>([&] { f.command(e.command)->trigger(); }, [&](RecordEditor *dialog) {
            QTest::keyClick(dialog, Qt::Key_Escape);
            closed = !dialog->isVisible();
        }));
        QVERIFY(closed);
        QVERIFY(messages.messages().isEmpty());
    }
};

QTEST_MAIN(TestEditorKeys)
#include "TestEditorKeys.moc"
