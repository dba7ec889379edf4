#include "MessageRecorder.h"
#include "OtherWorkstation.h"
#include "Schema.h"
#include "TFrm_Data.h"
#include "TestHome.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringEncoder>
#include <QTest>
#include <cstdio>

namespace {

const char *const CreateHomeVariable = "AFTERSALES_TEST_CREATE_HOME";

// The child of twoFirstStartsAtOnce: one program start on the folder it is given. Exits 0
// when the database opened without a single message.
int startOnce(const QString &home)
{
    MessageRecorder messages;
    TFrm_Data data(home);
    for (const QString &text : messages.texts())
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
    return data.DBReady() == 1 && messages.messages().isEmpty() ? 0 : 1;
}

QByteArray fileHash(const QString &path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

// Runs statements on an SQLite file of its own making, outside the program.
void makeSqliteFile(const QString &path, const QStringList &statements)
{
    const QString name = QStringLiteral("make-file");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        QVERIFY(db.open());
        QSqlQuery query(db);
        for (const QString &sql : statements)
            QVERIFY2(query.exec(sql), qPrintable(query.lastError().text()));
    }
    QSqlDatabase::removeDatabase(name);
}

// A login role of the test server that is dropped again after the test's database.
struct ServerRole
{
    explicit ServerRole(const QString &role) : name(role)
    {
        TestHome::runOnServer(QStringLiteral("DROP ROLE IF EXISTS %1").arg(name));
        TestHome::runOnServer(QStringLiteral("CREATE ROLE %1 LOGIN PASSWORD 'clerk'").arg(name));
    }
    ~ServerRole() { TestHome::runOnServer(QStringLiteral("DROP ROLE IF EXISTS %1").arg(name)); }
    QString name;
};

} // namespace

// Start-up on the databases a dealer really has: a new one opened by two programs at once, a
// server account that may not create tables, files that are not the program's database, a
// server that drops the connection, a Config.ini saved by a Windows editor.
class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void failuresSayWhyAndTouchNothing_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("a folder") << "folder" << "是一个文件夹";
        QTest::newRow("an empty file, not wanted") << "empty" << "是空的";
        QTest::newRow("another program's database") << "other tables" << "不是本程序的数据库";
        QTest::newRow("a copy that holds no tables") << "header only" << "不是本程序的数据库";
        QTest::newRow("a newer program's database") << "newer" << "较新版本";
    }
    void failuresSayWhyAndTouchNothing()
    {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        TestHome home(QStringLiteral("sqlite"));
        const QString path = home.filePath(QStringLiteral("dealer.db"));
        if (kind == QLatin1String("folder")) {
            QVERIFY(QDir().mkpath(path));
        } else if (kind == QLatin1String("empty")) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
        } else if (kind == QLatin1String("other tables")) {
            makeSqliteFile(path, {QStringLiteral("create table invoices (id integer, amount double)"),
                                  QStringLiteral("insert into invoices values (1, 99.5)")});
        } else if (kind == QLatin1String("header only")) {
            makeSqliteFile(path, {QStringLiteral("PRAGMA user_version = 3")});
        } else {
            TestHome maker(QStringLiteral("sqlite"));
            { TFrm_Data data(maker.path()); }
            QVERIFY(QFile::copy(maker.filePath(QStringLiteral("DataBase/server.db")), path));
            makeSqliteFile(path, {QStringLiteral("update T_SchemaVersion set Version = 99")});
        }
        const QByteArray before = fileHash(path);
        home.writeConfig(QStringLiteral("[Config]\nDBConn=dealer.db\n"));
        MessageRecorder messages;
        messages.answerNext(QMessageBox::No);
        messages.answerNext(QMessageBox::No);
        TFrm_Data data(home.path());
        QCOMPARE(data.DBReady(), 0);
        const QString question = messages.lastText();
        QVERIFY2(question.startsWith(TFrm_Data::connectionFailedText() + QLatin1Char('\n')), qPrintable(question));
        QVERIFY2(question.contains(reason), qPrintable(question));
        QCOMPARE(fileHash(path), before);
        QVERIFY(!QFile::exists(home.filePath(QStringLiteral("DataBase/server.db"))));
    }

    void emptyFileBecomesADatabaseWhenWanted()
    {
        TestHome home(QStringLiteral("sqlite"));
        QFile file(home.filePath(QStringLiteral("new.db")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        home.writeConfig(QStringLiteral("[Config]\nDBConn=new.db\n"));
        MessageRecorder messages;
        messages.answerNext(QMessageBox::Yes);
        TFrm_Data data(home.path());
        QCOMPARE(data.DBReady(), 1);
        QCOMPARE(messages.messages().size(), 1);
        QCOMPARE(messages.messages().first().buttons, QMessageBox::Yes | QMessageBox::No);
        QVERIFY(data.RunQuery(data.Qry_Temp, QStringLiteral("select UserName from admin")));
        QCOMPARE(data.Qry_Temp->value(0, 0).toString(), QStringLiteral("Admin"));
    }

    void newerDatabaseOnTheServerIsRefused()
    {
        if (!TestHome::engines().contains(QStringLiteral("postgresql")))
            QSKIP("needs AFTERSALES_TEST_PG");
        TestHome home(QStringLiteral("postgresql"));
        {
            TFrm_Data data(home.path());
            QVERIFY(data.RunStatement(data.Qry_Temp, QStringLiteral("update T_SchemaVersion set Version = 99")));
        }
        MessageRecorder messages;
        messages.answerNext(QMessageBox::No);
        TFrm_Data data(home.path());
        QCOMPARE(data.DBReady(), 0);
        QVERIFY2(messages.lastText().contains(QStringLiteral("较新版本")), qPrintable(messages.lastText()));
        OtherWorkstation other(home);
        QCOMPARE(other.scalar(QStringLiteral("select Version from T_SchemaVersion")).toInt(), 99);
    }

    // The database the program made before it kept versions is brought up to date once.
    void olderDatabaseIsUpgraded_data() { TestHome::addEngineRows(); }
    void olderDatabaseIsUpgraded()
    {
        QFETCH(QString, engine);
        TestHome home(engine);
        {
            TFrm_Data data(home.path());
            const bool sqlite = engine == QLatin1String("sqlite");
            QStringList downgrade{QStringLiteral("drop table T_SchemaVersion")};
            for (const char *table : {"custom", "contact", "T_Schedule", "T_Bill", "T_BillDetail", "T_Goods"}) {
                downgrade << (sqlite ? QStringLiteral("drop trigger tr_%1_version").arg(QLatin1String(table))
                                     : QStringLiteral("drop trigger tr_%1_version on %1").arg(QLatin1String(table)));
                downgrade << QStringLiteral("alter table %1 drop column RowVersion").arg(QLatin1String(table));
            }
            if (!sqlite)
                downgrade << QStringLiteral("alter table custom alter column largess type varchar(6)");
            downgrade << QStringLiteral("insert into custom (CustCode, Company, largess) values ('OLD', '老客户', '空调被')");
            // Starter rows as that program delivered them, one of them changed by the dealer.
            downgrade << QStringLiteral("update T_FieldShow set Width = 130 where Field = 'danhao'");
            downgrade << QStringLiteral("update T_FieldShow set Width = 170 where Field = 'batch'");
            for (const QString &sql : std::as_const(downgrade))
                QVERIFY2(data.RunStatement(data.Qry_Temp, sql), qPrintable(sql));
        }
        MessageRecorder messages;
        TFrm_Data data(home.path());
        QVERIFY2(messages.messages().isEmpty(), qPrintable(messages.lastText().replace(QLatin1Char('\n'), QLatin1Char(' '))));
        QCOMPARE(data.DBReady(), 1);
        OtherWorkstation other(home);
        QCOMPARE(other.scalar(QStringLiteral("select Version from T_SchemaVersion")).toInt(), Schema::CurrentVersion);
        QCOMPARE(other.scalar(QStringLiteral("select Company from custom where CustCode = 'OLD'")).toString(), QStringLiteral("老客户"));
        QCOMPARE(other.scalar(QStringLiteral("select min(Width) from T_FieldShow where Field = 'danhao'")).toInt(), 150);
        QCOMPARE(other.scalar(QStringLiteral("select Width from T_FieldShow where Field = 'batch'")).toInt(), 170);
        // Updates are counted again, and a gift name as long as its list's entries fits.
        QVERIFY(other.run(QStringLiteral("update custom set largess = :gift where CustCode = 'OLD'"), {{":gift", QString(50, QChar(0x88ab))}}));
        QCOMPARE(other.scalar(QStringLiteral("select RowVersion from custom where CustCode = 'OLD'")).toInt(), 1);
    }

    void twoFirstStartsAtOnce_data() { TestHome::addEngineRows(); }
    void twoFirstStartsAtOnce()
    {
        QFETCH(QString, engine);
        int expectedColumns = 0;
        {
            TestHome single(engine);
            TFrm_Data data(single.path());
            QVERIFY(data.RunQuery(data.Qry_Temp, QStringLiteral("select count(*) from T_FieldShow")));
            expectedColumns = data.Qry_Temp->value(0, 0).toInt();
        }
        for (int attempt = 0; attempt < 4; ++attempt) {
            TestHome home(engine);
            QList<QProcess *> starts;
            for (int i = 0; i < 2; ++i) {
                auto *start = new QProcess(this);
                QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
                environment.insert(QString::fromLatin1(CreateHomeVariable), home.path());
                start->setProcessEnvironment(environment);
                start->setProcessChannelMode(QProcess::ForwardedErrorChannel);
                starts << start;
            }
            for (QProcess *start : std::as_const(starts))
                start->start(QCoreApplication::applicationFilePath(), {});
            for (QProcess *start : std::as_const(starts)) {
                QVERIFY(start->waitForFinished(60000));
                QCOMPARE(start->exitCode(), 0);
                delete start;
            }
            OtherWorkstation other(home);
            QCOMPARE(other.scalar(QStringLiteral("select count(*) from admin")).toInt(), 1);
            QCOMPARE(other.scalar(QStringLiteral("select count(*) from T_FieldShow")).toInt(), expectedColumns);
            QCOMPARE(other.scalar(QStringLiteral("select count(*) from T_SchemaVersion")).toInt(), 1);
        }
    }

    // An account that may read and write the program's tables but create nothing.
    void accountWithoutCreateRightsWorks()
    {
        if (!TestHome::engines().contains(QStringLiteral("postgresql")))
            QSKIP("needs AFTERSALES_TEST_PG");
        ServerRole clerk(QStringLiteral("as_clerk_%1").arg(QCoreApplication::applicationPid()));
        TestHome home(QStringLiteral("postgresql"));
        { TFrm_Data prepared(home.path()); QCOMPARE(prepared.DBReady(), 1); }
        {
            OtherWorkstation owner(home);
            owner.run(QStringLiteral("REVOKE CREATE ON SCHEMA public FROM PUBLIC"));
            owner.run(QStringLiteral("GRANT SELECT, INSERT, UPDATE, DELETE ON ALL TABLES IN SCHEMA public TO %1").arg(clerk.name));
            owner.run(QStringLiteral("GRANT USAGE, SELECT ON ALL SEQUENCES IN SCHEMA public TO %1").arg(clerk.name));
        }
        home.writeConfig(QStringLiteral("[Config]\nDBConn=%1\n").arg(home.dbConnAs(clerk.name, QStringLiteral("clerk"))));
        MessageRecorder messages;
        TFrm_Data data(home.path());
        QCOMPARE(data.DBReady(), 1);
        QVERIFY2(messages.messages().isEmpty(), qPrintable(messages.lastText()));
        QVERIFY(data.execute(QStringLiteral("insert into custom (CustCode, Company) values ('K1', '甲')")));
        QVERIFY(data.execute(QStringLiteral("update custom set Company = '乙' where CustCode = 'K1'")));
    }

    // The server ends the connection (a restart, an administrator): the next read opens it
    // again and works; a write that was cut off says so and stores nothing; the lists reload.
    void droppedConnectionIsOpenedAgain()
    {
        if (!TestHome::engines().contains(QStringLiteral("postgresql")))
            QSKIP("needs AFTERSALES_TEST_PG");
        TestHome home(QStringLiteral("postgresql"));
        TFrm_Data data(home.path());
        OtherWorkstation admin(home);
        QVERIFY(data.execute(QStringLiteral("insert into custom (CustCode, Company) values ('K1', '甲')")));
        QVERIFY(data.RunQuery(data.Qry_Cust, QStringLiteral("select * from custom")));
        const auto dropConnection = [&] {
            QVERIFY(data.RunQuery(data.Qry_Temp, QStringLiteral("select pg_backend_pid()")));
            const int pid = data.Qry_Temp->value(0, 0).toInt();
            admin.run(QStringLiteral("select pg_terminate_backend(:pid)"), {{":pid", pid}});
            QTRY_COMPARE(admin.scalar(QStringLiteral("select count(*) from pg_stat_activity where pid = :pid"), {{":pid", pid}}).toInt(), 0);
        };
        MessageRecorder messages;
        QSignalSpy reloaded(data.Qry_Cust, &DataSet::opened);

        dropConnection();
        QVERIFY(data.RunQuery(data.Qry_Temp, QStringLiteral("select count(*) from custom")));
        QCOMPARE(data.Qry_Temp->value(0, 0).toInt(), 1);
        QTRY_VERIFY(reloaded.count() > 0);
        QVERIFY(data.execute(QStringLiteral("insert into custom (CustCode, Company) values ('K2', '乙')")));

        dropConnection();
        QSqlError error;
        QVERIFY(!data.execute(QStringLiteral("insert into custom (CustCode, Company) values ('K3', '丙')"), {}, &error));
        QCOMPARE(error.type(), QSqlError::ConnectionError);
        QVERIFY(data.execute(QStringLiteral("insert into custom (CustCode, Company) values ('K4', '丁')")));
        QCOMPARE(admin.scalar(QStringLiteral("select count(*) from custom")).toInt(), 3);
        QVERIFY(messages.messages().isEmpty());
    }

    // While the server cannot be reached the clerk sees one message, not one per list; once
    // it is back the next action works.
    void serverAwayGivesOneMessage()
    {
        if (!TestHome::engines().contains(QStringLiteral("postgresql")))
            QSKIP("needs AFTERSALES_TEST_PG");
        ServerRole clerk(QStringLiteral("as_away_%1").arg(QCoreApplication::applicationPid()));
        TestHome home(QStringLiteral("postgresql"));
        { TFrm_Data prepared(home.path()); }
        OtherWorkstation admin(home);
        const QString database = admin.scalar(QStringLiteral("select current_database()")).toString();
        admin.run(QStringLiteral("GRANT SELECT, INSERT, UPDATE, DELETE ON ALL TABLES IN SCHEMA public TO %1").arg(clerk.name));
        admin.run(QStringLiteral("GRANT USAGE, SELECT ON ALL SEQUENCES IN SCHEMA public TO %1").arg(clerk.name));
        home.writeConfig(QStringLiteral("[Config]\nDBConn=%1\n").arg(home.dbConnAs(clerk.name, QStringLiteral("clerk"))));
        TFrm_Data data(home.path());
        QCOMPARE(data.DBReady(), 1);
        QVERIFY(data.RunQuery(data.Qry_Cust, QStringLiteral("select * from custom")));
        QVERIFY(data.RunQuery(data.Qry_Temp, QStringLiteral("select pg_backend_pid()")));
        const int pid = data.Qry_Temp->value(0, 0).toInt();

        MessageRecorder messages;
        admin.run(QStringLiteral("REVOKE CONNECT ON DATABASE %1 FROM PUBLIC").arg(database));
        admin.run(QStringLiteral("select pg_terminate_backend(:pid)"), {{":pid", pid}});
        QTRY_COMPARE(admin.scalar(QStringLiteral("select count(*) from pg_stat_activity where pid = :pid"), {{":pid", pid}}).toInt(), 0);
        QVERIFY(!data.RunQuery(data.Qry_Temp, QStringLiteral("select count(*) from custom")));
        QVERIFY(!data.RunQuery(data.Qry_Str, QStringLiteral("select * from admin")));
        QVERIFY(!data.execute(QStringLiteral("insert into custom (CustCode) values ('K1')")));
        QCOMPARE(messages.messages().size(), 1);
        QVERIFY(messages.lastText().startsWith(TFrm_Data::connectionLostText()));

        admin.run(QStringLiteral("GRANT CONNECT ON DATABASE %1 TO PUBLIC").arg(database));
        QTRY_VERIFY_WITH_TIMEOUT(data.RunQuery(data.Qry_Temp, QStringLiteral("select count(*) from custom")), 10000);
        QVERIFY(data.execute(QStringLiteral("insert into custom (CustCode) values ('K1')")));
        QCOMPARE(messages.messages().size(), 1);
    }

    // After the program ends, server.db alone holds everything: a copy of it is complete.
    void cleanExitLeavesOneCompleteFile()
    {
        TestHome home(QStringLiteral("sqlite"));
        {
            TFrm_Data data(home.path());
            for (int i = 0; i < 30; ++i)
                QVERIFY(data.execute(QStringLiteral("insert into custom (CustCode, Company) values (:c, :c)"),
                                     {{":c", QStringLiteral("K%1").arg(i)}}));
        }
        TestHome copy(QStringLiteral("sqlite"));
        const QString copied = copy.filePath(QStringLiteral("copy.db"));
        QVERIFY(QFile::copy(home.filePath(QStringLiteral("DataBase/server.db")), copied));
        const QString name = QStringLiteral("copy");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            db.setDatabaseName(copied);
            QVERIFY(db.open());
            QSqlQuery query(db);
            QVERIFY(query.exec(QStringLiteral("select count(*) from custom")) && query.next());
            QCOMPARE(query.value(0).toInt(), 30);
        }
        QSqlDatabase::removeDatabase(name);
    }

    void configSavedInTheChineseCodePage()
    {
        TestHome maker(QStringLiteral("sqlite"));
        {
            TFrm_Data data(maker.path());
            QVERIFY(data.execute(QStringLiteral("insert into custom (CustCode, Company) values ('K1', '甲')")));
        }
        TestHome home(QStringLiteral("sqlite"));
        const QString folder = home.filePath(QStringLiteral("售后数据"));
        QVERIFY(QDir().mkpath(folder));
        const QString path = QDir(folder).filePath(QStringLiteral("客户.db"));
        QVERIFY(QFile::copy(maker.filePath(QStringLiteral("DataBase/server.db")), path));
        QFile config(home.filePath(QStringLiteral("Config.ini")));
        QVERIFY(config.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QStringEncoder gbk("GBK");
        config.write(gbk.encode(QStringLiteral("[Config]\r\nDBConn=%1\r\n").arg(path)));
        config.close();
        MessageRecorder messages;
        TFrm_Data data(home.path());
        QCOMPARE(data.DBReady(), 1);
        QVERIFY(messages.messages().isEmpty());
        QVERIFY(data.RunQuery(data.Qry_Temp, QStringLiteral("select Company from custom")));
        QCOMPARE(data.Qry_Temp->value(0, 0).toString(), QStringLiteral("甲"));
    }
};

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsSet(CreateHomeVariable)) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        QApplication app(argc, argv);
        return startOnce(qEnvironmentVariable(CreateHomeVariable));
    }
    QApplication app(argc, argv);
    TestStartup test;
    return QTest::qExec(&test, argc, argv);
}

#include "TestStartup.moc"
