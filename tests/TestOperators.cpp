#include "CheckTree.h"
#include "DatabaseLocation.h"
#include "MessageRecorder.h"
#include "OperatorAccounts.h"
#include "PasswordHash.h"
#include "Session.h"
#include "TFrm_Data.h"
#include "TFrm_UserLimit.h"
#include "TFrm_UserList.h"
#include "TestHome.h"
#include "WindowDriver.h"

#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTest>
#include <QThread>
#include <atomic>

// The operator and role list and the permission editor, driven as the administrator does,
// with the rows they leave in admin, T_UserAuthority and T_PartAuthority.
class TestOperators : public QObject
{
    Q_OBJECT

    using Rows = QList<QVariantList>;

    struct Fixture
    {
        explicit Fixture(const QString &engine) : home(engine), data(home.path()) { session.logIn(QStringLiteral("Admin")); }

        TestHome home;
        TFrm_Data data;
        Session session;

        void run(const QString &sql, const QVariantMap &binds = {}) { QVERIFY(data.RunStatement(data.Qry_Str, sql, binds)); }

        // Every row of a statement, its columns in order.
        Rows rows(const QString &sql, const QVariantMap &binds = {})
        {
            Rows result;
            if (!data.RunQuery(data.Qry_Temp, sql, binds))
                return result;
            for (int row = 0; row < data.Qry_Temp->recordCount(); ++row) {
                QVariantList values;
                for (int column = 0; column < data.Qry_Temp->fields().count(); ++column)
                    values << data.Qry_Temp->value(row, column);
                result << values;
            }
            return result;
        }

        QVariant scalar(const QString &sql, const QVariantMap &binds = {})
        {
            const Rows all = rows(sql, binds);
            return all.isEmpty() ? QVariant() : all.first().first();
        }

        void addOperator(const QString &name, const QString &role, const QString &password = QString())
        {
            QSqlError error;
            QCOMPARE(OperatorAccounts::add(data, {name, password, role, QString()}, &error), OperatorAccounts::AddResult::Added);
        }

        int userId(const QString &name)
        {
            return scalar(QStringLiteral("select UserID from admin where UserName = :n"), {{":n", name}}).toInt();
        }

        // A role's template as copied: function, authority, tag and code in the stored order.
        Rows roleTemplate(const QString &role)
        {
            return normalised(rows(QStringLiteral("select FunctionName, Authority, Tag, Code from T_PartAuthority "
                                                  "where PartName = :r order by PartAuthorityID"),
                                   {{":r", role}}));
        }
        Rows operatorRows(const QString &name)
        {
            return normalised(rows(QStringLiteral("select FunctionName, Authority, Tag, Code from T_UserAuthority "
                                                  "where UserName = :n order by UserAuthorityID"),
                                   {{":n", name}}));
        }
        // Check state of each function of a template or an operator, in code order, as the tree shows them.
        QList<QPair<QString, int>> tags(const QString &table, const QString &column, const QString &owner)
        {
            QList<QPair<QString, int>> result;
            for (const auto &row : rows(QStringLiteral("select FunctionName, Tag from %1 where %2 = :o order by Code").arg(table, column),
                                        {{":o", owner}}))
                result.append({row[0].toString(), row[1].toInt()});
            return result;
        }
        // Authority and Tag of one function of an operator.
        QPair<bool, int> function(const QString &name, const QString &code)
        {
            const Rows found = rows(QStringLiteral("select Authority, Tag from T_UserAuthority where UserName = :n and Code = :c"),
                                    {{":n", name}, {":c", code}});
            return found.isEmpty() ? qMakePair(false, 0) : qMakePair(found.first()[0].toBool(), found.first()[1].toInt());
        }

        static Rows normalised(Rows rows)
        {
            for (auto &row : rows) {
                row[1] = row[1].toBool();
                row[2] = row[2].toInt();
            }
            return rows;
        }
    };

    static QTreeWidgetItem *listItem(const TFrm_UserList *list, const char *view, const QString &name)
    {
        const auto *tree = control<QTreeWidget>(list, view);
        for (int i = 0; i < tree->topLevelItemCount(); ++i) {
            if (tree->topLevelItem(i)->text(1) == name)
                return tree->topLevelItem(i);
        }
        return nullptr;
    }

    static QStringList listNames(const TFrm_UserList *list, const char *view = "ListView1")
    {
        QStringList names;
        const auto *tree = control<QTreeWidget>(list, view);
        for (int i = 0; i < tree->topLevelItemCount(); ++i)
            names << tree->topLevelItem(i)->text(1);
        return names;
    }

    static void doubleClick(QTreeWidget *tree, QTreeWidgetItem *item)
    {
        tree->scrollToItem(item);
        // A double click arrives as a click followed by the double click.
        const QPoint centre = tree->visualItemRect(item).center();
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, centre);
        QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, centre);
    }

    static QList<QPair<QString, int>> treeStates(const TFrm_UserLimit *editor)
    {
        QList<QPair<QString, int>> states;
        for (const QTreeWidgetItem *node : control<CheckTree>(editor, "RzCheckTree1")->nodesDepthFirst())
            states.append({node->text(0), CheckTree::stateIndex(node)});
        return states;
    }

    // Toggles a function's check box as the operator does, with the space bar.
    static void toggle(TFrm_UserLimit *editor, const QString &function)
    {
        auto *tree = control<CheckTree>(editor, "RzCheckTree1");
        for (QTreeWidgetItem *node : tree->nodesDepthFirst()) {
            if (node->text(0) != function)
                continue;
            tree->setCurrentItem(node);
            QTest::keyClick(tree, Qt::Key_Space);
            return;
        }
        QFAIL(qPrintable(QStringLiteral("no function ") + function));
    }

    // Opens the editor from the list: adding, or editing the named operator (users page) or role.
    static bool openEditor(TFrm_UserList &list, const QString &name, const std::function<void(TFrm_UserLimit *)> &steps)
    {
        return withModal<TFrm_UserLimit>(
            [&] {
                if (name.isEmpty()) {
                    control<QPushButton>(&list, "Btn_Add")->click();
                    return;
                }
                const bool users = control<QTabWidget>(&list, "PageControl1")->currentIndex() == 0;
                const char *view = users ? "ListView1" : "ListView2";
                QTreeWidgetItem *item = listItem(&list, view, name);
                QVERIFY(item);
                doubleClick(control<QTreeWidget>(&list, view), item);
            },
            steps);
    }

    static void save(TFrm_UserLimit *editor) { control<QPushButton>(editor, "btSave")->click(); }

private slots:
    void listShowsOperatorsAndRoles_data() { TestHome::addEngineRows(); }
    void listShowsOperatorsAndRoles()
    {
        QFETCH(QString, engine);
        Fixture f(engine);
        f.addOperator(QStringLiteral("张三"), QStringLiteral("普通用户"));
        f.run(QStringLiteral("update admin set IsUser = :no, Remark = '门店' where UserName = '张三'"), {{":no", false}});
        TFrm_UserList list(f.data, f.session);
        list.show();
        QCOMPARE(list.windowTitle(), QStringLiteral("用户权限管理"));
        auto *users = control<QTreeWidget>(&list, "ListView1");
        QCOMPARE(users->topLevelItemCount(), 2);
        const QTreeWidgetItem *admin = users->topLevelItem(0);
        QCOMPARE((QStringList{admin->text(0), admin->text(1), admin->text(2)}), (QStringList{"1", "Admin", "超级管理员"}));
        const QTreeWidgetItem *zhang = users->topLevelItem(1);
        QCOMPARE((QStringList{zhang->text(1), zhang->text(2), zhang->text(3)}), (QStringList{"张三", "普通用户", "门店"}));
        // Listed and unlisted operators carry different icons.
        QVERIFY(admin->icon(0).cacheKey() != zhang->icon(0).cacheKey());

        // Roles are edited, never added or deleted.
        auto *pages = control<QTabWidget>(&list, "PageControl1");
        pages->setCurrentIndex(1);
        QCOMPARE(listNames(&list, "ListView2"), (QStringList{"超级管理员", "普通用户"}));
        QVERIFY(control<QPushButton>(&list, "Btn_Add")->isHidden());
        QVERIFY(control<QPushButton>(&list, "Btn_Del")->isHidden());
        QVERIFY(!control<QPushButton>(&list, "Btn_Edit")->isHidden());
        pages->setCurrentIndex(0);
        QVERIFY(!control<QPushButton>(&list, "Btn_Add")->isHidden());
        QVERIFY(!control<QPushButton>(&list, "Btn_Del")->isHidden());

        // "刷新" shows what another workstation added.
        TFrm_Data other(f.home.path());
        QSqlError error;
        QCOMPARE(OperatorAccounts::add(other, {QStringLiteral("李四"), QString(), QStringLiteral("普通用户"), QString()}, &error),
                 OperatorAccounts::AddResult::Added);
        control<QAction>(&list, "N_Refresh")->trigger();
        QCOMPARE(listNames(&list), (QStringList{"Admin", "张三", "李四"}));
    }

    void deletingAnOperator_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("confirm");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<bool>("deleted");
        const QStringList cases = {"ordinary operator", "answered no", "system administrator", "the logged-in operator"};
        const QString question = QStringLiteral("您确认要删除该用户吗？");
        TestHome::addEngineRows(cases, [&](QTestData &row, int i) {
            switch (i) {
            case 0: row << "王'五\\" << true << QStringList{question, "删除用户成功!"} << true; break;
            case 1: row << "王'五\\" << false << QStringList{question} << false; break;
            case 2: row << "Admin" << true << QStringList{question, "这是系统管理员帐号，不能删除"} << false; break;
            case 3: row << "张三" << true << QStringList{question, "删除用户成功!"} << true; break;
            }
        });
    }

    void deletingAnOperator()
    {
        QFETCH(QString, engine);
        QFETCH(QString, name);
        QFETCH(bool, confirm);
        QFETCH(QStringList, messages);
        QFETCH(bool, deleted);
        Fixture f(engine);
        f.addOperator(QStringLiteral("张三"), QStringLiteral("超级管理员"));
        f.addOperator(QStringLiteral("王'五\\"), QStringLiteral("普通用户"));
        // A name that only begins like the deleted one keeps its rows.
        f.addOperator(QStringLiteral("王'五\\六"), QStringLiteral("普通用户"));
        f.session.logIn(QStringLiteral("张三"));
        const int rowsBefore = f.scalar(QStringLiteral("select count(*) from T_UserAuthority")).toInt();
        const int ownRows = f.operatorRows(name).size();

        TFrm_UserList list(f.data, f.session);
        list.show();
        control<QTreeWidget>(&list, "ListView1")->setCurrentItem(listItem(&list, "ListView1", name));
        MessageRecorder recorder;
        recorder.answerNext(confirm ? QMessageBox::Yes : QMessageBox::No);
        control<QPushButton>(&list, "Btn_Del")->click();

        QCOMPARE(recorder.texts(), messages);
        QCOMPARE(recorder.messages().first().caption, QStringLiteral("警告"));
        QCOMPARE(recorder.messages().first().icon, QMessageBox::Information);
        QCOMPARE(recorder.messages().first().buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(f.userId(name) == 0, deleted);
        QCOMPARE(f.operatorRows(name).isEmpty(), deleted);
        QCOMPARE(f.scalar(QStringLiteral("select count(*) from T_UserAuthority")).toInt(), rowsBefore - (deleted ? ownRows : 0));
        QCOMPARE(listNames(&list).contains(name), !deleted);
        // The operator deleted while logged in keeps working until he logs in again.
        QCOMPARE(f.session.OperatorName(), QStringLiteral("张三"));
    }

    void addingAnOperator_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("typedName");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("typedRole");
        QTest::addColumn<QString>("role");
        QTest::addColumn<int>("permit");
        QTest::addColumn<QString>("copiedTemplate");
        QTest::addColumn<QString>("typedRemark");
        QTest::addColumn<QString>("remark");
        const QStringList cases = {"ordinary user", "super administrator", "a role that is neither", "blanks, quotes, backslashes",
                                   "as long as the columns allow"};
        const QString remark = QStringLiteral("夜班'\\");
        TestHome::addEngineRows(cases, [&](QTestData &row, int i) {
            switch (i) {
            case 0: row << "张三" << "abc" << "普通用户" << "普通用户" << 1 << "普通用户" << remark << remark; break;
            case 1: row << "李四" << "" << "超级管理员" << "超级管理员" << 0 << "超级管理员" << remark << remark; break;
            case 2: row << "赵六" << "x" << "店长" << "店长" << 0 << "普通用户" << remark << remark; break;
            case 3: row << "  O'Brien\\ " << " p'w\"d\\一二三四五六七八九十十一 " << " 普通用户 " << "普通用户" << 1 << "普通用户"
                        << remark << remark; break;
            case 4: row << "一二三四五六七八九十" << QString(100, QChar(0x5BC6)) << "普通用户" << "普通用户" << 1 << "普通用户"
                        << QString(250, QChar(0x5907)) << QString(200, QChar(0x5907)); break;
            }
        });
    }

    void addingAnOperator()
    {
        QFETCH(QString, engine);
        QFETCH(QString, typedName);
        QFETCH(QString, password);
        QFETCH(QString, typedRole);
        QFETCH(QString, role);
        QFETCH(int, permit);
        QFETCH(QString, copiedTemplate);
        QFETCH(QString, typedRemark);
        QFETCH(QString, remark);
        Fixture f(engine);
        // The role template as the administrator left it, not as delivered.
        f.run(QStringLiteral("update T_PartAuthority set Authority = :yes, Tag = 2 where PartName = '普通用户' and Code = '0103'"),
              {{":yes", true}});
        const QString name = typedName.trimmed();
        TFrm_UserList list(f.data, f.session);
        list.show();
        MessageRecorder recorder;
        const bool shown = openEditor(list, QString(), [&](TFrm_UserLimit *editor) {
            QCOMPARE(editor->windowTitle(), QStringLiteral("新增操作员"));
            QVERIFY(control<CheckTree>(editor, "RzCheckTree1")->topLevelItemCount() == 0);
            QCOMPARE(control<QComboBox>(editor, "Combo_User")->currentText(), QString());
            typeInto(control<QLineEdit>(editor, "Edit_Name"), typedName);
            typeInto(control<QLineEdit>(editor, "Edit_Pass"), password);
            typeInto(control<QComboBox>(editor, "Combo_User"), typedRole);
            typeInto(control<QPlainTextEdit>(editor, "Memo_User"), typedRemark);
            // Any role but the super administrator shows the ordinary user's template.
            QCOMPARE(treeStates(editor), f.tags(QStringLiteral("T_PartAuthority"), QStringLiteral("PartName"),
                                                role == QStringLiteral("超级管理员") ? role : QStringLiteral("普通用户")));
            save(editor);
            QCOMPARE(recorder.texts(), QStringList{"添加操作员成功"});
            // The editor stays open with its fields; saving again finds the name taken.
            QVERIFY(editor->isVisible());
            QCOMPARE(listNames(&list).last(), name);
            save(editor);
            QCOMPARE(recorder.lastText(), QStringLiteral("用户名重复,请换一个用户名!"));
            QCOMPARE(recorder.messages().last().caption, QStringLiteral("警告"));
            QCOMPARE(editor->focusWidget(), control<QLineEdit>(editor, "Edit_Name"));
        });
        QVERIFY(shown);

        const Rows added = f.rows(QStringLiteral("select UserName, PartName, Remark, Permit, IsUser, Password from admin "
                                                 "where UserID = :id"),
                                  {{":id", f.userId(name)}});
        QCOMPARE(added.size(), 1);
        QCOMPARE(added[0][0].toString(), name);
        QCOMPARE(added[0][1].toString(), role);
        QCOMPARE(added[0][2].toString(), remark);
        QCOMPARE(added[0][3].toInt(), permit);
        QVERIFY(added[0][4].toBool());
        // The password as typed, blanks and all, kept only as its hash.
        QVERIFY(PasswordHash::isHash(added[0][5].toString()));
        QVERIFY(PasswordHash::matches(added[0][5].toString(), password));
        QCOMPARE(f.operatorRows(name), f.roleTemplate(copiedTemplate));
        QCOMPARE(f.scalar(QStringLiteral("select count(*) from admin")).toInt(), 2);
    }

    void refusedAdditions_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("role");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        const QStringList cases = {"no name", "blank name", "name longer than 20 bytes", "no role", "blank role",
                                   "name taken in another letter case"};
        TestHome::addEngineRows(cases, [](QTestData &row, int i) {
            switch (i) {
            case 0: row << "" << "普通用户" << "用户名不得为空!" << "Edit_Name"; break;
            case 1: row << "   " << "普通用户" << "用户名不得为空!" << "Edit_Name"; break;
            case 2: row << "一二三四五六七八九十a" << "普通用户" << "用户名不得超过20个字节（10个汉字）!" << "Edit_Name"; break;
            case 3: row << "张三" << "" << "请给用户指定权限!" << "Combo_User"; break;
            case 4: row << "张三" << "  " << "请给用户指定权限!" << "Combo_User"; break;
            case 5: row << "aDMIN" << "普通用户" << "用户名重复,请换一个用户名!" << "Edit_Name"; break;
            }
        });
    }

    void refusedAdditions()
    {
        QFETCH(QString, engine);
        QFETCH(QString, name);
        QFETCH(QString, role);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        Fixture f(engine);
        TFrm_UserList list(f.data, f.session);
        list.show();
        MessageRecorder recorder;
        QVERIFY(openEditor(list, QString(), [&](TFrm_UserLimit *editor) {
            typeInto(control<QLineEdit>(editor, "Edit_Name"), name);
            typeInto(control<QComboBox>(editor, "Combo_User"), role);
            save(editor);
            QCOMPARE(recorder.texts(), QStringList{message});
            QCOMPARE(recorder.messages().first().caption, QStringLiteral("警告"));
            QCOMPARE(recorder.messages().first().icon, QMessageBox::Information);
            QCOMPARE(editor->focusWidget()->objectName(), focus);
        }));
        QCOMPARE(f.scalar(QStringLiteral("select count(*) from admin")).toInt(), 1);
        QCOMPARE(f.scalar(QStringLiteral("select count(*) from T_UserAuthority where UserName <> 'Admin'")).toInt(), 0);
    }

    // Two workstations add the same name at the same moment: the other one's row is not yet
    // committed when this one checks the name; the database refuses the second row.
    void twoWorkstationsAddTheSameName_data() { TestHome::addEngineRows(); }
    void twoWorkstationsAddTheSameName()
    {
        QFETCH(QString, engine);
        Fixture f(engine);
        std::atomic<bool> inserted{false};
        QString otherError;
        QThread *other = QThread::create([&] {
            const QString connection = QStringLiteral("other-workstation");
            {
                QString error;
                if (!DatabaseLocation::fromDbConn(f.home.dbConn(), f.home.path()).open(connection, &error)) {
                    otherError = error;
                    inserted = true;
                    return;
                }
                QSqlDatabase db = QSqlDatabase::database(connection);
                db.transaction();
                QSqlQuery insert(db);
                insert.prepare(QStringLiteral("insert into admin (UserName, Password, PartName) values ('zhang', '', '普通用户')"));
                if (!insert.exec())
                    otherError = insert.lastError().text();
                inserted = true;
                QThread::msleep(800);
                db.commit();
            }
            QSqlDatabase::removeDatabase(connection);
        });
        TFrm_UserList list(f.data, f.session);
        list.show();
        MessageRecorder recorder;
        QVERIFY(openEditor(list, QString(), [&](TFrm_UserLimit *editor) {
            typeInto(control<QLineEdit>(editor, "Edit_Name"), QStringLiteral("Zhang"));
            typeInto(control<QComboBox>(editor, "Combo_User"), QStringLiteral("普通用户"));
            other->start();
            while (!inserted)
                QThread::msleep(5);
            save(editor);
            QCOMPARE(recorder.texts(), QStringList{"用户名重复,请换一个用户名!"});
        }));
        other->wait();
        delete other;
        QCOMPARE(otherError, QString());
        QCOMPARE(f.rows(QStringLiteral("select UserName from admin where UserName <> 'Admin'")), (Rows{{QStringLiteral("zhang")}}));
        QCOMPARE(f.scalar(QStringLiteral("select count(*) from T_UserAuthority where UserName <> 'Admin'")).toInt(), 0);
    }

    // Editing an operator: the tree's check states go into his rows; a group shown partly
    // checked keeps the Authority it had.
    void editingAnOperator_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("role");
        QTest::addColumn<bool>("groupAuthority");
        const QStringList cases = {"group granted", "group not granted"};
        TestHome::addEngineRows(cases, [](QTestData &row, int i) { row << (i == 0 ? "超级管理员" : "普通用户") << (i == 0); });
    }

    void editingAnOperator()
    {
        QFETCH(QString, engine);
        QFETCH(QString, role);
        QFETCH(bool, groupAuthority);
        Fixture f(engine);
        f.addOperator(QStringLiteral("张三"), role, QStringLiteral("old"));
        // Group 01 "用户资料": its Authority as the role gave it, partly checked after the edit.
        f.run(QStringLiteral("update T_UserAuthority set Authority = :a where UserName = '张三' and Code = '01'"),
              {{":a", groupAuthority}});
        const QString hashBefore = f.scalar(QStringLiteral("select Password from admin where UserName = '张三'")).toString();
        TFrm_UserList list(f.data, f.session);
        list.show();
        MessageRecorder recorder;
        QVERIFY(openEditor(list, QStringLiteral("张三"), [&](TFrm_UserLimit *editor) {
            QCOMPARE(editor->windowTitle(), QStringLiteral("编辑操作员"));
            QVERIFY(!control<QLineEdit>(editor, "Edit_Name")->isEnabled());
            QCOMPARE(control<QLineEdit>(editor, "Edit_Name")->text(), QStringLiteral("张三"));
            // The password is never shown; an empty box keeps it.
            QCOMPARE(control<QLineEdit>(editor, "Edit_Pass")->text(), QString());
            QVERIFY(control<QLabel>(editor, "Label_PassHint")->isVisible());
            QCOMPARE(control<QComboBox>(editor, "Combo_User")->currentText(), role);
            QCOMPARE(treeStates(editor), f.tags(QStringLiteral("T_UserAuthority"), QStringLiteral("UserName"), QStringLiteral("张三")));
            // "删除用户资料" off (super administrator) or on (ordinary user): group 01 is partly
            // checked either way.
            toggle(editor, QStringLiteral("删除用户资料"));
            toggle(editor, QStringLiteral("价格管理"));
            typeInto(control<QPlainTextEdit>(editor, "Memo_User"), QStringLiteral("调到售后"));
            save(editor);
            QCOMPARE(recorder.texts(), QStringList{"保存成功"});
            QVERIFY(!editor->isVisible());
        }));
        const bool deleteGranted = role != QStringLiteral("超级管理员");
        QCOMPARE(f.function(QStringLiteral("张三"), QStringLiteral("0103")),
                 qMakePair(deleteGranted, deleteGranted ? 2 : 1));
        QCOMPARE(f.function(QStringLiteral("张三"), QStringLiteral("01")), qMakePair(groupAuthority, 3));
        // A group checked or unchecked as a whole takes its state, functions and all.
        const bool priceBefore = role == QStringLiteral("超级管理员");
        QCOMPARE(f.function(QStringLiteral("张三"), QStringLiteral("08")), qMakePair(!priceBefore, priceBefore ? 1 : 2));
        QCOMPARE(f.function(QStringLiteral("张三"), QStringLiteral("0813")), qMakePair(!priceBefore, priceBefore ? 1 : 2));
        QCOMPARE(f.scalar(QStringLiteral("select Remark from admin where UserName = '张三'")).toString(), QStringLiteral("调到售后"));
        QCOMPARE(f.scalar(QStringLiteral("select Password from admin where UserName = '张三'")).toString(), hashBefore);
    }

    void passwordSetInTheEditor_data() { TestHome::addEngineRows(); }
    void passwordSetInTheEditor()
    {
        QFETCH(QString, engine);
        Fixture f(engine);
        f.addOperator(QStringLiteral("张三"), QStringLiteral("普通用户"), QStringLiteral("old"));
        TFrm_UserList list(f.data, f.session);
        list.show();
        MessageRecorder recorder;
        QVERIFY(openEditor(list, QStringLiteral("张三"), [&](TFrm_UserLimit *editor) {
            typeInto(control<QLineEdit>(editor, "Edit_Pass"), QStringLiteral(" n'e\\w "));
            save(editor);
        }));
        const QString stored = f.scalar(QStringLiteral("select Password from admin where UserName = '张三'")).toString();
        QVERIFY(PasswordHash::matches(stored, QStringLiteral(" n'e\\w ")));
        QVERIFY(!stored.contains(QStringLiteral("n'e")));
    }

    // Choosing another role while editing shows its template; saving gives it to the operator.
    void changingTheRoleAppliesItsTemplate_data() { TestHome::addEngineRows(); }
    void changingTheRoleAppliesItsTemplate()
    {
        QFETCH(QString, engine);
        Fixture f(engine);
        f.addOperator(QStringLiteral("张三"), QStringLiteral("普通用户"));
        TFrm_UserList list(f.data, f.session);
        list.show();
        MessageRecorder recorder;
        QVERIFY(openEditor(list, QStringLiteral("张三"), [&](TFrm_UserLimit *editor) {
            auto *roles = control<QComboBox>(editor, "Combo_User");
            QCOMPARE(roles->count(), 2);
            roles->setCurrentIndex(roles->findText(QStringLiteral("超级管理员")));
            QCOMPARE(treeStates(editor), f.tags(QStringLiteral("T_PartAuthority"), QStringLiteral("PartName"), QStringLiteral("超级管理员")));
            save(editor);
        }));
        QCOMPARE(f.operatorRows(QStringLiteral("张三")), f.roleTemplate(QStringLiteral("超级管理员")));
        QCOMPARE(f.rows(QStringLiteral("select PartName, Permit from admin where UserName = '张三'")).first(),
                 (QVariantList{QStringLiteral("超级管理员"), 0}));
    }

    void editingARole_data() { TestHome::addEngineRows(); }
    void editingARole()
    {
        QFETCH(QString, engine);
        Fixture f(engine);
        f.addOperator(QStringLiteral("张三"), QStringLiteral("普通用户"));
        const Rows operatorBefore = f.operatorRows(QStringLiteral("张三"));
        TFrm_UserList list(f.data, f.session);
        list.show();
        control<QTabWidget>(&list, "PageControl1")->setCurrentIndex(1);
        MessageRecorder recorder;
        QVERIFY(openEditor(list, QStringLiteral("普通用户"), [&](TFrm_UserLimit *editor) {
            QCOMPARE(editor->windowTitle(), QStringLiteral("编辑角色"));
            QCOMPARE(control<QLabel>(editor, "Label1")->text(), QStringLiteral("角色名称"));
            QCOMPARE(control<QLabel>(editor, "Label4")->text(), QStringLiteral("角色描述"));
            for (const char *hidden : {"Label2", "Edit_Pass", "Label3", "Combo_User"})
                QVERIFY2(control<QWidget>(editor, hidden)->isHidden(), hidden);
            QVERIFY(!control<QLineEdit>(editor, "Edit_Name")->isEnabled());
            QCOMPARE(control<QPlainTextEdit>(editor, "Memo_User")->toPlainText(), QStringLiteral("日常业务操作"));
            toggle(editor, QStringLiteral("删除用户资料"));
            save(editor);
            QCOMPARE(recorder.texts(), QStringList{"保存成功"});
        }));
        const Rows role = f.rows(QStringLiteral("select Authority, Tag from T_PartAuthority where PartName = '普通用户' and Code = '0103'"));
        QCOMPARE(role.first()[0].toBool(), true);
        QCOMPARE(role.first()[1].toInt(), 2);
        // The role's operators keep their own copies.
        QCOMPARE(f.operatorRows(QStringLiteral("张三")), operatorBefore);
        QCOMPARE(f.rows(QStringLiteral("select PartName, Remark from T_Part where PartID = 2")).first(),
                 (QVariantList{QStringLiteral("普通用户"), QStringLiteral("日常业务操作")}));
    }

    // Saving anyone's permissions shows or hides the price and amount columns of every grid
    // by the logged-in operator's function 0813.
    void priceColumnsFollowTheLoggedInOperator_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("loggedIn");
        QTest::addColumn<bool>("granted");
        QTest::addColumn<int>("shown");
        const QStringList cases = {"0813 off", "0813 on", "operator without rows"};
        TestHome::addEngineRows(cases, [](QTestData &row, int i) {
            switch (i) {
            case 0: row << "Admin" << false << 0; break;
            case 1: row << "Admin" << true << 1; break;
            case 2: row << "nobody" << true << 0; break;
            }
        });
    }

    void priceColumnsFollowTheLoggedInOperator()
    {
        QFETCH(QString, engine);
        QFETCH(QString, loggedIn);
        QFETCH(bool, granted);
        QFETCH(int, shown);
        Fixture f(engine);
        f.addOperator(QStringLiteral("张三"), QStringLiteral("普通用户"));
        f.run(QStringLiteral("update T_UserAuthority set Authority = :a where UserName = 'Admin' and Code = '0813'"), {{":a", granted}});
        f.run(QStringLiteral("update T_FieldShow set Show = :s where DotSize = 1 or DotSize = 3"), {{":s", 1 - shown}});
        const Rows others = f.rows(QStringLiteral("select TableName, Field, Show from T_FieldShow where DotSize not in (1, 3) "
                                                  "order by TableName, Field"));
        QVERIFY(f.scalar(QStringLiteral("select count(*) from T_FieldShow where DotSize = 1 or DotSize = 3")).toInt() >= 2);
        f.session.logIn(loggedIn);
        TFrm_UserList list(f.data, f.session);
        list.show();
        MessageRecorder recorder;
        // The operator edited is not the one logged in.
        QVERIFY(openEditor(list, QStringLiteral("张三"), [&](TFrm_UserLimit *editor) { save(editor); }));
        QCOMPARE(f.rows(QStringLiteral("select distinct Show from T_FieldShow where DotSize = 1 or DotSize = 3")),
                 (Rows{{shown}}));
        QCOMPARE(f.rows(QStringLiteral("select TableName, Field, Show from T_FieldShow where DotSize not in (1, 3) "
                                       "order by TableName, Field")),
                 others);
    }

    // Another workstation deleted the operator while he was being edited: nothing is written.
    void editingAnOperatorDeletedMeanwhile_data() { TestHome::addEngineRows(); }
    void editingAnOperatorDeletedMeanwhile()
    {
        QFETCH(QString, engine);
        Fixture f(engine);
        f.addOperator(QStringLiteral("张三"), QStringLiteral("普通用户"));
        TFrm_UserList list(f.data, f.session);
        list.show();
        MessageRecorder recorder;
        QVERIFY(openEditor(list, QStringLiteral("张三"), [&](TFrm_UserLimit *editor) {
            TFrm_Data other(f.home.path());
            QSqlError error;
            QVERIFY(OperatorAccounts::remove(other, f.userId(QStringLiteral("张三")), &error));
            toggle(editor, QStringLiteral("删除用户资料"));
            save(editor);
            QCOMPARE(recorder.texts(), QStringList{"该操作员已被删除，无法保存。"});
            QVERIFY(editor->isVisible());
        }));
        QCOMPARE(f.operatorRows(QStringLiteral("张三")), Rows());
    }
};

QTEST_MAIN(TestOperators)
#include "TestOperators.moc"
