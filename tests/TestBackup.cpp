#include "BackupFile.h"
#include "DatabaseBackup.h"
#include "DatabaseRestore.h"
#include "MaintenanceConnection.h"
#include "OtherWorkstation.h"
#include "RowCopy.h"
#include "Schema.h"
#include "TableDefinitions.h"
#include "ServiceFixture.h"
#include "TFrm_Backup.h"

#include <QDir>
#include <QFile>
#include <QFileSystemModel>
#include <QListView>
#include <QMdiSubWindow>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTreeView>
#include <csignal>
#include <sys/resource.h>

// Backup, restore and compaction of the database in use, through the window and the main
// window's commands as a clerk uses them, and what the files and the database hold afterwards.
class TestBackup : public QObject
{
    Q_OBJECT

    static QString todaysName() { return BackupFile::nameFor(QDate::currentDate()); }

    static bool inBackupWindow(ServiceFixture &f, const std::function<void(TFrm_Backup *)> &steps)
    {
        return withModal<TFrm_Backup>([&f] { f.command("M_Backup")->trigger(); }, steps);
    }

    static void chooseFolder(TFrm_Backup *dialog, const QString &folder)
    {
        auto *tree = control<QTreeView>(dialog, "DirectoryListBox1");
        auto *folders = qobject_cast<QFileSystemModel *>(tree->model());
        tree->setCurrentIndex(folders->index(folder));
    }

    // The names the file list shows, once it shows count of them.
    static QStringList listedFiles(TFrm_Backup *dialog, int count)
    {
        auto *list = control<QListView>(dialog, "FileListBox1");
        auto *files = qobject_cast<QFileSystemModel *>(list->model());
        QStringList names;
        (void)QTest::qWaitFor([&] {
            names.clear();
            const QModelIndex root = list->rootIndex();
            for (int row = 0; row < files->rowCount(root); ++row)
                names << files->fileName(files->index(row, 0, root));
            return names.size() == count;
        });
        names.sort();
        return names;
    }

    // Clicks the file in the file list, as soon as the list shows it.
    static bool chooseFile(TFrm_Backup *dialog, const QString &path)
    {
        auto *list = control<QListView>(dialog, "FileListBox1");
        auto *files = qobject_cast<QFileSystemModel *>(list->model());
        QModelIndex index;
        if (!QTest::qWaitFor([&] {
                index = files->index(path);
                return index.isValid() && !list->visualRect(index).isEmpty();
            }))
            return false;
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(index).center());
        return list->selectionModel()->isSelected(index);
    }

    static void click(TFrm_Backup *dialog, const char *button) { control<QPushButton>(dialog, button)->click(); }

    // Rows of a statement on a database file, one text per row.
    static QStringList rowsIn(const QString &file, const QString &sql)
    {
        MaintenanceConnection connection("test-read");
        QString reason;
        if (!connection.openFile(file, &reason))
            return {QStringLiteral("cannot open: ") + reason};
        QSqlQuery query(connection.database());
        QStringList rows;
        if (!query.exec(sql))
            return {QStringLiteral("cannot read: ") + query.lastError().text()};
        while (query.next())
            rows << query.value(0).toString();
        return rows;
    }

    static QStringList customers(ServiceFixture &f)
    {
        QStringList codes;
        if (f.data.RunQuery(f.data.Qry_Temp, QStringLiteral("select CustCode from custom order by CustCode, CustID"))) {
            for (int row = 0; row < f.data.Qry_Temp->recordCount(); ++row)
                codes << f.data.Qry_Temp->value(row, 0).toString();
        }
        return codes;
    }

    static QStringList filesIn(const QString &folder)
    {
        return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }

    static bool writeBackup(ServiceFixture &f, const QString &file)
    {
        QString reason;
        DatabaseBackup backup(f.data.connection());
        const bool written = backup.writeTo(file, &reason);
        if (!written)
            qWarning("backup failed: %s", qPrintable(reason));
        return written;
    }

    // Runs statements on a database file of its own.
    static void changeFile(const QString &file, const QStringList &statements)
    {
        MaintenanceConnection connection("test-change");
        QString reason;
        QVERIFY2(connection.openFile(file, &reason), qPrintable(reason));
        for (const QString &sql : statements) {
            QSqlError error;
            QVERIFY2(connection.exec(sql, {}, &error), qPrintable(error.text()));
        }
    }

    // Every customer gets a return visit; the long addresses make the database span many pages.
    static void addCustomers(ServiceFixture &f, int count)
    {
        const QVariantMap binds{{":count", count}, {":address", QString(150, QChar(0x8def))}};
        const QString numbers = QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < :count) ");
        QVERIFY(f.data.beginTransaction());
        QVERIFY(f.data.execute(numbers + QStringLiteral("INSERT INTO custom (CustCode, Company, Address) "
                                                        "SELECT 'C' || i, '用户' || i, :address FROM n"), binds));
        QVERIFY(f.data.execute(numbers + QStringLiteral("INSERT INTO contact (CustCode, Name, memo1) "
                                                        "SELECT 'C' || i, '回访', :address FROM n"), binds));
        QVERIFY(f.data.commit());
    }


    // Values of every kind, as long and as large as the columns take them.
    static void fillEveryKind(TFrm_Data &data)
    {
        const QString longName = QString(200, QChar(0x4e1c));
        const QString memo = QStringLiteral("第一行\n第二行 'quoted' \"double\" \\ back\t tab ") + QString(3000, QChar(0x6c14));
        const auto run = [&data](const QString &sql, const QVariantMap &binds) {
            QSqlError error;
            QVERIFY2(data.execute(sql, binds, &error), qPrintable(sql + QLatin1Char(' ') + error.text()));
        };
        run(QStringLiteral("insert into custom (CustCode, Company, Address, retail, money, number, buydate, installdate, "
                           "isgathering, memo, batch, pinyin) values (:c, :n, :a, :r, :m, :num, :b, :i, :g, :memo, :batch, :p)"),
            {{":c", QString(50, QLatin1Char('9'))}, {":n", longName}, {":a", QString(160, QChar(0x8def))},
             {":r", 0.1}, {":m", 12345678.9}, {":num", 2147483647}, {":b", QDateTime(QDate(2026, 3, 1), QTime(9, 30, 15))},
             {":i", QDateTime(QDate(1999, 12, 31), QTime(23, 59, 59))}, {":g", true}, {":memo", memo},
             {":batch", QStringLiteral("AZ-2026-03-01-0001")}, {":p", QStringLiteral("DDD")}});
        // Columns left empty stay empty (NULL), not zero or blank.
        run(QStringLiteral("insert into custom (CustCode, Company, isgathering) values ('K空', '', :g)"), {{":g", false}});
        run(QStringLiteral("update custom set Tel = :t where CustCode = 'K空'"), {{":t", QStringLiteral("0731")}});
        run(QStringLiteral("insert into contact (CustCode, Name, Birthday, memo1) values ('K空', '回访', :d, :m)"),
            {{":d", QDateTime(QDate(2026, 1, 2), QTime(0, 0))}, {":m", memo}});
        run(QStringLiteral("insert into T_Schedule (CustCode, danhao, Awoke, AwokeDate, fee, StartDate) "
                           "values ('K空', 'WX-2026-01-02-0001', :a, :d, :f, '2026-1-2')"),
            {{":a", true}, {":d", QDateTime(QDate(2026, 1, 9), QTime(8, 0))}, {":f", 99.95}});
        run(QStringLiteral("insert into T_Bill (BillDate, CustCode, memo) values (:d, 'K空', :m)"),
            {{":d", QDateTime(QDate(2026, 2, 3), QTime(14, 5, 6))}, {":m", QString(200, QLatin1Char('x'))}});
        run(QStringLiteral("insert into T_BillDetail (batch, GoodsName, Number, SalePrice, Discount, SaleMoney) "
                           "values ('AZ-2026-03-01-0001', '挂机', 3, 1999.99, 0.95, :money)"),
            {{":money", 5699.9715}});
        run(QStringLiteral("insert into T_Goods (GoodsCode, GoodsName, Category, InPrice) values ('G1', '柜机', '0101', 1500.5)"), {});
        run(QStringLiteral("insert into Goods_Category (code, name) values ('0101', '空调')"), {});
        run(QStringLiteral("delete from Dict_place where name = '本店'"), {});
        // A key left free in the middle stays free.
        run(QStringLiteral("delete from custom where CustCode = :c"), {{":c", QStringLiteral("K1")}});
    }

    // Every row of every table, each value as its column's type, in key order.
    static QList<QVariantList> everyRow(TFrm_Data &data)
    {
        QList<QVariantList> rows;
        for (const auto &table : tableDefinitions()) {
            if (!RowCopy::tables().contains(QString::fromLatin1(table.name)))
                continue;
            // By the key where there is one: text sorts differently on the two engines.
            QStringList columns;
            QString order;
            for (const auto &column : table.columns) {
                columns << QString::fromLatin1(column.name);
                if (column.type == SqlDialect::ColumnType::AutoNumber)
                    order = columns.last();
            }
            QSqlQuery query(data.database());
            if (!query.exec(QStringLiteral("SELECT %1 FROM %2 ORDER BY %3")
                                .arg(columns.join(QLatin1Char(',')), QString::fromLatin1(table.name),
                                     order.isEmpty() ? columns.join(QLatin1Char(',')) : order))) {
                rows << QVariantList{query.lastError().text()};
                continue;
            }
            while (query.next()) {
                QVariantList row{QString::fromLatin1(table.name)};
                for (int c = 0; c < columns.size(); ++c) {
                    const QVariant value = query.value(c);
                    if (value.isNull()) {
                        row << QVariant();
                        continue;
                    }
                    switch (table.columns[c].type) {
                    case SqlDialect::ColumnType::AutoNumber:
                    case SqlDialect::ColumnType::Integer: row << value.toLongLong(); break;
                    case SqlDialect::ColumnType::Float:
                    case SqlDialect::ColumnType::Money: row << value.toDouble(); break;
                    case SqlDialect::ColumnType::Boolean: row << value.toBool(); break;
                    case SqlDialect::ColumnType::DateTime: row << value.toDateTime(); break;
                    default: row << value.toString(); break;
                    }
                }
                rows << row;
            }
        }
        return rows;
    }

private slots:
    void initTestCase()
    {
        // Nothing of a test's home must be mistaken for the clerk's documents folder.
        QStandardPaths::setTestModeEnabled(true);
    }

    void backupIntoTheChosenFolder_data() { TestHome::addEngineRows(); }
    void backupIntoTheChosenFolder()
    {
        QFETCH(QString, engine);
        ServiceFixture f(engine);
        f.open();
        QTemporaryDir folder;
        const QString target = QDir(folder.path()).filePath(todaysName());
        MessageRecorder messages;
        QVERIFY(inBackupWindow(f, [&](TFrm_Backup *dialog) {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("数据库备份"));
            chooseFolder(dialog, folder.path());
            QCOMPARE(control<QLineEdit>(dialog, "Edit_Folder")->text(), QDir::toNativeSeparators(folder.path()));
            click(dialog, "Btn_Back");
            QCOMPARE(listedFiles(dialog, 1), QStringList{todaysName()});
            // A later backup of the same day replaces the first one.
            f.run(QStringLiteral("insert into custom (CustCode, Company) values ('K3', '李四')"));
            click(dialog, "Btn_Back");
            dialog->reject();
        }));
        QCOMPARE(messages.messages().size(), 2);
        for (const auto &message : messages.messages()) {
            QCOMPARE(message.text, QStringLiteral("备份成功,文件备份在:") + QDir::toNativeSeparators(target));
            QCOMPARE(message.caption, QStringLiteral("成功"));
            QCOMPARE(message.icon, QMessageBox::Information);
        }
        QCOMPARE(filesIn(folder.path()), QStringList{todaysName()});
        QString reason;
        QVERIFY2(BackupFile::check(target, &reason), qPrintable(reason));
        QCOMPARE(rowsIn(target, QStringLiteral("select CustCode from custom order by CustCode")),
                 (QStringList{"K1", "K2", "K3"}));
        QCOMPARE(rowsIn(target, QStringLiteral("select GoodsName from T_BillDetail order by BillDetailID")),
                 (QStringList{"挂机 KFR-35GW", "柜机 KFR-72LW"}));
        // The backup leaves the clerk's windows as they were.
        QVERIFY(Frm_Custom);

        // The folder is kept in Config.ini and proposed again.
        QCOMPARE(f.data.ConfigIni().ReadString(QStringLiteral("config"), QStringLiteral("DirectoryList"), QString()),
                 folder.path());
        QCOMPARE(f.data.ConfigIni().ReadInteger(QStringLiteral("config"), QStringLiteral("drive"), -1), 0);
        QVERIFY(inBackupWindow(f, [&](TFrm_Backup *dialog) {
            QCOMPARE(dialog->folder(), folder.path());
            QCOMPARE(listedFiles(dialog, 1), QStringList{todaysName()});
        }));
    }

    void fileListOffersDatabaseFiles()
    {
        ServiceFixture f(QStringLiteral("sqlite"));
        f.main.session().logIn(QStringLiteral("Admin"));
        QTemporaryDir folder;
        for (const char *name : {"a.db", "B.DB", "c.Db", "notes.txt", "server.db.before-restore", ".server_bak.db-x.part"}) {
            QFile file(QDir(folder.path()).filePath(QString::fromLatin1(name)));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("sub.db")));
        QVERIFY(inBackupWindow(f, [&](TFrm_Backup *dialog) {
            chooseFolder(dialog, folder.path());
            QCOMPARE(listedFiles(dialog, 3), (QStringList{"B.DB", "a.db", "c.Db"}));
        }));
    }

    void backupWhileAnotherWorkstationWrites_data() { TestHome::addEngineRows(); }
    void backupWhileAnotherWorkstationWrites()
    {
        QFETCH(QString, engine);
        ServiceFixture f(engine);
        addCustomers(f, 6000);
        OtherWorkstation other(f.home);
        QTemporaryDir folder;
        const QString target = folder.filePath(QStringLiteral("copy.db"));
        DatabaseBackup backup(f.data.connection());
        int writes = 0;
        int copyingReports = 0;
        backup.setProgress([&](const QString &step, qint64 done, qint64 total) {
            if (step != DatabaseBackup::copyingStep())
                return;
            ++copyingReports;
            if (done == 0 || done == total || writes > 0)
                return;
            // Half-way through the copy another clerk saves a customer with a visit and renames one.
            ++writes;
            QVERIFY(other.run(QStringLiteral("BEGIN")));
            QVERIFY(other.run(QStringLiteral("insert into custom (CustCode, Company) values ('LATE', '迟到')")));
            QVERIFY(other.run(QStringLiteral("insert into contact (CustCode, Name) values ('LATE', '回访')")));
            QVERIFY(other.run(QStringLiteral("update custom set Company = '改过' where CustCode = 'C1'")));
            QVERIFY(other.run(QStringLiteral("COMMIT")));
        });
        QString reason;
        QVERIFY2(backup.writeTo(target, &reason), qPrintable(reason));
        QCOMPARE(writes, 1);
        QVERIFY(copyingReports > 2);
        QVERIFY2(BackupFile::check(target, &reason), qPrintable(reason));
        // Everything committed before the backup began, nothing of what came during it.
        QCOMPARE(rowsIn(target, QStringLiteral("select count(*) from custom")), QStringList{"6002"});
        QCOMPARE(rowsIn(target, QStringLiteral("select count(*) from contact")), QStringList{"6000"});
        QCOMPARE(rowsIn(target, QStringLiteral("select Company from custom where CustCode = 'C1'")), QStringList{"用户1"});
        QCOMPARE(rowsIn(target, QStringLiteral("select count(*) from custom where CustCode = 'LATE'")), QStringList{"0"});
        QCOMPARE(f.scalar(QStringLiteral("select count(*) from custom where CustCode = 'LATE'")).toInt(), 1);
    }

    void backupFailures_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<int>("failure");
        TestHome::addEngineRows({"folder takes no files", "folder gone", "disk full"},
                                [](QTestData &row, int i) { row << i; });
    }
    void backupFailures()
    {
        QFETCH(QString, engine);
        QFETCH(int, failure);
        ServiceFixture f(engine);
        f.main.session().logIn(QStringLiteral("Admin"));
        QTemporaryDir temporary;
        const QString folder = failure == 0 ? QStringLiteral("/proc") : temporary.path();
        const QString target = QDir(folder).filePath(todaysName());
        // An earlier backup of the day stays whole until a new one is.
        if (failure == 2)
            QVERIFY(writeBackup(f, target));
        f.run(QStringLiteral("insert into custom (CustCode, Company) values ('K3', '李四')"));
        MessageRecorder messages;
        QVERIFY(inBackupWindow(f, [&](TFrm_Backup *dialog) {
            chooseFolder(dialog, folder);
            QCOMPARE(dialog->folder(), folder);
            if (failure == 1) {
                QVERIFY(temporary.remove());
            }
            if (failure == 2) {
                std::signal(SIGXFSZ, SIG_IGN);
                const rlimit small{64 * 1024, RLIM_INFINITY};
                setrlimit(RLIMIT_FSIZE, &small);
            }
            click(dialog, "Btn_Back");
            if (failure == 2) {
                const rlimit unlimited{RLIM_INFINITY, RLIM_INFINITY};
                setrlimit(RLIMIT_FSIZE, &unlimited);
            }
        }));
        QCOMPARE(messages.messages().size(), 1);
        const QStringList lines = messages.lastText().split(QLatin1Char('\n'));
        QCOMPARE(lines.first(), QStringLiteral("备份失败!"));
        QVERIFY2(lines.size() > 1 && !lines.at(1).isEmpty(), qPrintable(messages.lastText()));
        QCOMPARE(messages.messages().first().caption, QStringLiteral("警告"));
        if (failure == 2) {
            QCOMPARE(filesIn(folder), QStringList{todaysName()});
            QCOMPARE(rowsIn(target, QStringLiteral("select CustCode from custom order by CustCode")), (QStringList{"K1", "K2"}));
        } else {
            QVERIFY(!QFileInfo::exists(target));
        }
        // The database in use goes on as before.
        QCOMPARE(customers(f), (QStringList{"K1", "K2", "K3"}));
    }

    void restoreReplacesTheDatabase_data() { TestHome::addEngineRows(); }
    void restoreReplacesTheDatabase()
    {
        QFETCH(QString, engine);
        ServiceFixture f(engine);
        f.open();
        // Row versions count the edits; a restore brings them back as they were.
        f.run(QStringLiteral("update custom set Tel = '1' where CustCode = 'K2'"));
        f.run(QStringLiteral("update custom set Tel = '2' where CustCode = 'K2'"));
        QTemporaryDir folder;
        const QString backupFile = folder.filePath(QStringLiteral("saved.db"));
        QVERIFY(writeBackup(f, backupFile));
        const QString title = f.main.windowTitle();
        const int highestKey = f.scalar(QStringLiteral("select max(CustID) from custom")).toInt();
        f.run(QStringLiteral("update T_SoftInfo set Version = ' V9.9'"));
        f.main.LoadTitle();
        f.run(QStringLiteral("delete from T_BillDetail"));
        f.run(QStringLiteral("delete from custom where CustCode = 'K1'"));
        f.run(QStringLiteral("insert into custom (CustCode, Company) values ('K3', '李四')"));
        QCOMPARE(f.main.mdiArea()->subWindowList().size(), 1);
        const QPointer<QMdiSubWindow> before = f.main.mdiArea()->subWindowList().first();

        MessageRecorder messages;
        QVERIFY(inBackupWindow(f, [&](TFrm_Backup *dialog) {
            chooseFolder(dialog, folder.path());
            QVERIFY(chooseFile(dialog, backupFile));
            click(dialog, "Btn_Store");
        }));
        QCOMPARE(messages.texts(), QStringList{"数据恢复成功!"});
        QCOMPARE(messages.messages().first().caption, QStringLiteral("警告"));
        QCOMPARE(messages.messages().first().icon, QMessageBox::Information);
        // No window shows the data of before: the browser is opened anew on the restored
        // customers, and the title is the restored database's.
        QCOMPARE(f.main.windowTitle(), title);
        const QList<QMdiSubWindow *> windows = f.main.mdiArea()->subWindowList();
        QCOMPARE(windows.size(), 1);
        QVERIFY(windows.first() != before.data());
        QCOMPARE(windows.first()->widget(), Frm_Custom.data());
        QCOMPARE(f.main.statusPanel(1)->text(), QStringLiteral("当前共有 2 条用户记录"));
        QCOMPARE(customers(f), (QStringList{"K1", "K2"}));
        QCOMPARE(f.scalar(QStringLiteral("select count(*) from T_BillDetail")).toInt(), 2);
        QCOMPARE(f.scalar(QStringLiteral("select RowVersion from custom where CustCode = 'K2'")).toInt(), 2);
        QCOMPARE(f.data.Qry_Cust->recordCount(), 2);
        // New rows get keys past the restored ones.
        f.run(QStringLiteral("insert into custom (CustCode, Company) values ('K4', '王五')"));
        QVERIFY(f.scalar(QStringLiteral("select CustID from custom where CustCode = 'K4'")).toInt() > highestKey);

        // What the restore replaced is kept.
        const QString kept = DatabaseRestore(f.data).keptFile();
        QCOMPARE(rowsIn(kept, QStringLiteral("select CustCode from custom order by CustCode")), (QStringList{"K2", "K3"}));
        if (engine == QLatin1String("sqlite")) {
            const QString live = f.home.filePath(QStringLiteral("DataBase/server.db"));
            QCOMPARE(kept, live + QStringLiteral(".before-restore"));
            QVERIFY(!QFileInfo::exists(live + QStringLiteral(".restoring")));
            QCOMPARE(f.scalar(QStringLiteral("PRAGMA journal_mode")).toString(), QStringLiteral("wal"));
        }
    }

    void restoreRefusesWhatIsNotABackup_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("reason");
        const QStringList cases = {"empty", "not a database", "truncated", "another program's", "newer schema", "table missing"};
        const QStringList reasons = {"是空的", "文件不是数据库", "损坏", "不是本程序的数据库", "较新版本", "缺少数据表：T_Goods"};
        TestHome::addEngineRows(cases, [&reasons](QTestData &row, int i) { row << i << reasons.at(i); });
    }
    void restoreRefusesWhatIsNotABackup()
    {
        QFETCH(QString, engine);
        QFETCH(int, kind);
        QFETCH(QString, reason);
        ServiceFixture f(engine);
        f.open();
        QTemporaryDir folder;
        const QString file = folder.filePath(QStringLiteral("candidate.db"));
        if (kind >= 2 && kind != 3)
            QVERIFY(writeBackup(f, file));
        QFile raw(file);
        switch (kind) {
        case 0:
            QVERIFY(raw.open(QIODevice::WriteOnly));
            break;
        case 1:
            QVERIFY(raw.open(QIODevice::WriteOnly));
            raw.write(QByteArray("客户名单\n").repeated(500));
            break;
        case 2:
            QVERIFY(raw.resize(raw.size() / 2));
            break;
        case 3:
            QVERIFY(raw.open(QIODevice::WriteOnly));
            raw.close();
            changeFile(file, {QStringLiteral("CREATE TABLE orders (id INTEGER, amount DOUBLE)")});
            break;
        case 4:
            changeFile(file, {QStringLiteral("UPDATE T_SchemaVersion SET Version = %1").arg(Schema::CurrentVersion + 1)});
            break;
        case 5:
            changeFile(file, {QStringLiteral("DROP TABLE T_Goods")});
            break;
        }
        raw.close();
        MessageRecorder messages;
        QVERIFY(inBackupWindow(f, [&](TFrm_Backup *dialog) {
            chooseFolder(dialog, folder.path());
            QVERIFY(chooseFile(dialog, file));
            click(dialog, "Btn_Store");
        }));
        QCOMPARE(messages.messages().size(), 1);
        QVERIFY2(messages.lastText().startsWith(QStringLiteral("数据恢复失败!\n")), qPrintable(messages.lastText()));
        QVERIFY2(messages.lastText().contains(reason), qPrintable(messages.lastText()));
        // Nothing changed: the data, the windows, the files beside the database.
        QCOMPARE(customers(f), (QStringList{"K1", "K2"}));
        QCOMPARE(f.main.mdiArea()->subWindowList().size(), 1);
        QVERIFY(!QFileInfo::exists(DatabaseRestore(f.data).keptFile()));
        QVERIFY(!QFileInfo::exists(f.home.filePath(QStringLiteral("DataBase/server.db.restoring"))));
    }

    void backupsRestoreOnEitherEngine()
    {
        if (!TestHome::engines().contains(QStringLiteral("postgresql")))
            QSKIP("no PostgreSQL server given");
        QTemporaryDir folder;
        const QString fromSqlite = folder.filePath(QStringLiteral("from-sqlite.db"));
        const QString fromPostgres = folder.filePath(QStringLiteral("from-postgresql.db"));
        QString reason;

        TestHome sqliteHome(QStringLiteral("sqlite"));
        TFrm_Data sqliteData(sqliteHome.path());
        fillEveryKind(sqliteData);
        const QList<QVariantList> original = everyRow(sqliteData);
        QVERIFY(original.size() > 100);
        QVERIFY2(DatabaseBackup(sqliteData.connection()).writeTo(fromSqlite, &reason), qPrintable(reason));

        // One workstation grows to several: the SQLite backup goes onto the server.
        TestHome postgresHome(QStringLiteral("postgresql"));
        TFrm_Data postgresData(postgresHome.path());
        QVERIFY2(DatabaseRestore(postgresData).restoreFrom(fromSqlite, &reason), qPrintable(reason));
        const QList<QVariantList> onServer = everyRow(postgresData);
        QCOMPARE(onServer.size(), original.size());
        for (int i = 0; i < original.size(); ++i)
            QCOMPARE(onServer.at(i), original.at(i));
        // The server's key counters go on after the restored keys.
        QSqlError error;
        QVERIFY2(postgresData.execute(QStringLiteral("insert into custom (CustCode) values ('新')"), {}, &error), qPrintable(error.text()));
        QVERIFY2(postgresData.execute(QStringLiteral("insert into T_Goods (GoodsCode) values ('G2')"), {}, &error), qPrintable(error.text()));
        QVERIFY2(postgresData.execute(QStringLiteral("delete from custom where CustCode = '新'"), {}, &error), qPrintable(error.text()));
        QVERIFY2(postgresData.execute(QStringLiteral("delete from T_Goods where GoodsCode = 'G2'"), {}, &error), qPrintable(error.text()));

        // And back: the server's backup restores on a single workstation.
        QVERIFY2(DatabaseBackup(postgresData.connection()).writeTo(fromPostgres, &reason), qPrintable(reason));
        TestHome secondHome(QStringLiteral("sqlite"));
        TFrm_Data secondData(secondHome.path());
        QVERIFY2(DatabaseRestore(secondData).restoreFrom(fromPostgres, &reason), qPrintable(reason));
        const QList<QVariantList> back = everyRow(secondData);
        QCOMPARE(back.size(), original.size());
        for (int i = 0; i < original.size(); ++i)
            QCOMPARE(back.at(i), original.at(i));
    }

    void restoreWithNothingSelected_data() { TestHome::addEngineRows(); }
    void restoreWithNothingSelected()
    {
        QFETCH(QString, engine);
        ServiceFixture f(engine);
        f.open();
        QTemporaryDir folder;
        QVERIFY(writeBackup(f, folder.filePath(QStringLiteral("saved.db"))));
        MessageRecorder messages;
        QVERIFY(inBackupWindow(f, [&](TFrm_Backup *dialog) {
            chooseFolder(dialog, folder.path());
            QCOMPARE(listedFiles(dialog, 1), QStringList{"saved.db"});
            click(dialog, "Btn_Store");
        }));
        QCOMPARE(messages.texts(), QStringList{"请选择一个恢复的数据库"});
        QCOMPARE(messages.messages().first().kind, MessageBoxes::Kind::Plain);
        // The connection is still there for the windows.
        f.run(QStringLiteral("insert into custom (CustCode, Company) values ('K3', '李四')"));
        QCOMPARE(customers(f), (QStringList{"K1", "K2", "K3"}));
        QCOMPARE(f.main.mdiArea()->subWindowList().size(), 1);
    }

    void restoreWaitsForTheOtherWorkstation()
    {
        // Two programs on one SQLite file: the file is not swapped under the other one.
        ServiceFixture f(QStringLiteral("sqlite"));
        QTemporaryDir folder;
        const QString file = folder.filePath(QStringLiteral("saved.db"));
        QVERIFY(writeBackup(f, file));
        f.run(QStringLiteral("insert into custom (CustCode, Company) values ('K3', '李四')"));
        OtherWorkstation other(f.home);
        QCOMPARE(other.scalar(QStringLiteral("select count(*) from custom")).toInt(), 3);
        DatabaseRestore restore(f.data);
        QString reason;
        QVERIFY(!restore.restoreFrom(file, &reason));
        QVERIFY2(reason.contains(QStringLiteral("其他工作站")), qPrintable(reason));
        QCOMPARE(customers(f), (QStringList{"K1", "K2", "K3"}));
        QVERIFY(!QFileInfo::exists(restore.keptFile()));
        other.run(QStringLiteral("insert into custom (CustCode, Company) values ('K4', '王五')"));
        QCOMPARE(customers(f), (QStringList{"K1", "K2", "K3", "K4"}));
    }

    void compactionClosesTheWindows_data() { TestHome::addEngineRows(); }
    void compactionClosesTheWindows()
    {
        QFETCH(QString, engine);
        ServiceFixture f(engine);
        f.open();
        addCustomers(f, 2000);
        f.run(QStringLiteral("delete from contact"));
        QCOMPARE(f.main.mdiArea()->subWindowList().size(), 1);
        QAction *compact = f.command("Sys_Compact");
        QVERIFY(compact->isEnabled());
        MessageRecorder messages;
        compact->trigger();
        QCOMPARE(messages.texts(), QStringList{"压缩数据库成功!"});
        QCOMPARE(messages.messages().first().kind, MessageBoxes::Kind::Plain);
        QVERIFY(f.main.mdiArea()->subWindowList().isEmpty());
        QCOMPARE(f.scalar(QStringLiteral("select count(*) from custom")).toInt(), 2002);
        QCOMPARE(f.scalar(QStringLiteral("select count(*) from T_BillDetail")).toInt(), 2);
    }

    void compactionFailsWhileAnotherWorkstationWrites()
    {
        ServiceFixture f(QStringLiteral("sqlite"));
        f.main.session().logIn(QStringLiteral("Admin"));
        OtherWorkstation other(f.home);
        QVERIFY(other.run(QStringLiteral("BEGIN IMMEDIATE")));
        QVERIFY(other.run(QStringLiteral("insert into custom (CustCode, Company) values ('K3', '李四')")));
        MessageRecorder messages;
        f.command("Sys_Compact")->trigger();
        QCOMPARE(messages.messages().size(), 1);
        QVERIFY2(messages.lastText().startsWith(QStringLiteral("压缩数据库失败!\n")), qPrintable(messages.lastText()));
        QVERIFY2(messages.lastText().contains(QStringLiteral("其他工作站")), qPrintable(messages.lastText()));
        QVERIFY(other.run(QStringLiteral("COMMIT")));
        QCOMPARE(customers(f), (QStringList{"K1", "K2", "K3"}));
    }
};

QTEST_MAIN(TestBackup)
#include "TestBackup.moc"
