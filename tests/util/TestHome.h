#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A fresh program folder for one test: its own Config.ini and its own database. On the
// "postgresql" engine a database of its own is created on the server named by
// AFTERSALES_TEST_PG and dropped again afterwards.
class TestHome
{
public:
    explicit TestHome(const QString &engine);
    ~TestHome();

    QString path() const { return m_dir.path(); }
    QString filePath(const QString &relative) const;
    QString engine() const { return m_engine; }
    // The DBConn entry that reaches this test's database (empty for the default SQLite file).
    QString dbConn() const { return m_dbConn; }

    void writeConfig(const QString &text) const;

    // Runs a statement on the PostgreSQL server's maintenance database (roles, databases).
    static void runOnServer(const QString &sql);
    // The server of AFTERSALES_TEST_PG with another user and password (and this test's database).
    QString dbConnAs(const QString &user, const QString &password) const;

    // The engines of this run: SQLite always, PostgreSQL when AFTERSALES_TEST_PG is set.
    static QStringList engines();
    // Adds the "engine" column and one row per engine to a Qt Test data table.
    static void addEngineRows();
    // Adds one row per engine and case; the case's name goes after the engine's.
    template <typename Fill>
    static void addEngineRows(const QStringList &cases, Fill fill);

private:
    QTemporaryDir m_dir;
    QString m_engine;
    QString m_dbConn;
    QString m_pgDatabase;
};

#include <QTest>

template <typename Fill>
void TestHome::addEngineRows(const QStringList &cases, Fill fill)
{
    for (const QString &engine : engines()) {
        for (int i = 0; i < cases.size(); ++i)
            fill(QTest::newRow(qPrintable(engine + QLatin1Char('/') + cases[i])) << engine, i);
    }
}
