#pragma once

#include <QString>
#include <QTemporaryDir>

class QCommandLineParser;

// The program folder a benchmark runs in: a new SQLite database in a temporary folder, or the
// PostgreSQL database of --db (created when missing), filled with --rows realistic customers
// once and reused by later runs.
class BenchHome
{
public:
    // Adds --rows and --db to the parser.
    static void addOptions(QCommandLineParser &parser);

    explicit BenchHome(const QCommandLineParser &parser);

    bool isReady() const { return m_ready; }
    QString path() const { return m_path; }
    QString dbConn() const { return m_dbConn; }
    bool isPostgres() const { return !m_dbConn.isEmpty(); }
    int rows() const { return m_rows; }
    // The database file of the SQLite case.
    QString sqliteFile() const;

private:
    QTemporaryDir m_temporary;
    QString m_path;
    QString m_dbConn;
    int m_rows = 0;
    bool m_ready = false;
};
