#include "BenchHome.h"

#include "BenchSupport.h"
#include "RealisticCustomers.h"
#include "TFrm_Data.h"

#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <cstdio>

void BenchHome::addOptions(QCommandLineParser &parser)
{
    parser.addOption({QStringLiteral("rows"), QStringLiteral("Customers in the database."), QStringLiteral("N"), QStringLiteral("1000000")});
    parser.addOption({QStringLiteral("db"), QStringLiteral("postgresql://user@host:port/dbname to run on PostgreSQL (created when missing)."),
                      QStringLiteral("URL")});
    parser.addOption({QStringLiteral("keep"), QStringLiteral("Keep the SQLite program folder in DIR for later runs (made when missing)."),
                      QStringLiteral("DIR")});
}

BenchHome::BenchHome(const QCommandLineParser &parser)
    : m_path(parser.isSet(QStringLiteral("keep")) ? parser.value(QStringLiteral("keep")) : m_temporary.path()),
      m_dbConn(parser.value(QStringLiteral("db"))),
      m_rows(parser.value(QStringLiteral("rows")).toInt())
{
    QDir().mkpath(m_path);
    if (isPostgres()) {
        const QString error = RealisticCustomers::ensurePostgresDatabase(m_dbConn);
        if (!error.isEmpty()) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return;
        }
        QFile config(QDir(m_path).filePath(QStringLiteral("Config.ini")));
        config.open(QIODevice::WriteOnly);
        config.write(QStringLiteral("[Config]\nDBConn=%1\n").arg(m_dbConn).toUtf8());
    }
    TFrm_Data data(m_path);
    if (!data.DBReady())
        return;
    data.RunQuery(data.Qry_Temp, QStringLiteral("select count(*) from custom"));
    const int existing = data.Qry_Temp->value(0, 0).toInt();
    if (existing == 0) {
        QElapsedTimer timer;
        timer.start();
        if (!RealisticCustomers::fill(data.database(), m_rows))
            return;
        std::printf("made %d customers in %.1f s\n", m_rows, timer.elapsed() / 1000.0);
    } else if (existing != m_rows) {
        std::fprintf(stderr, "the database holds %d customers, not %d: give an empty database or --rows %d\n", existing, m_rows, existing);
        return;
    }
    m_ready = true;
}

QString BenchHome::sqliteFile() const
{
    return QDir(m_path).filePath(QStringLiteral("DataBase/server.db"));
}
