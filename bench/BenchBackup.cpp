// The backup of a large database as the backup window makes it: the consistent copy, its check,
// and the whole backup, beside the database's own tool (sqlite3 ".backup", or pg_dump on
// PostgreSQL). On PostgreSQL the restore of the backup file into the server is timed too.
//
//   bench_backup [--rows N] [--db postgresql://user@host:port/dbname] [--repeat R]

#include "BackupFile.h"
#include "BenchHome.h"
#include "BenchSupport.h"
#include "DatabaseBackup.h"
#include "DatabaseRestore.h"
#include "TFrm_Data.h"

#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

struct Timing
{
    QVector<double> samples;
    double min() const { return samples.isEmpty() ? 0 : *std::min_element(samples.cbegin(), samples.cend()); }
    double median() const
    {
        if (samples.isEmpty())
            return 0;
        QVector<double> sorted = samples;
        std::sort(sorted.begin(), sorted.end());
        return sorted[sorted.size() / 2];
    }
};

Timing repeat(int times, const std::function<void()> &step)
{
    Timing timing;
    for (int i = 0; i < times; ++i) {
        QElapsedTimer timer;
        timer.start();
        step();
        timing.samples << milliseconds(timer);
    }
    return timing;
}

void print(const char *step, const Timing &timing, const Timing &reference = {})
{
    std::printf("%-40s %9.0f %9.0f", step, timing.min(), timing.median());
    if (!reference.samples.isEmpty())
        std::printf("   ratio to the reference: %.2f", timing.median() / reference.median());
    std::printf("\n");
}

bool runTool(const QString &program, const QStringList &arguments)
{
    QProcess tool;
    tool.start(program, arguments);
    if (!tool.waitForFinished(-1) || tool.exitCode() != 0) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(program), tool.readAllStandardError().constData());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser parser;
    BenchHome::addOptions(parser);
    parser.addOption({QStringLiteral("repeat"), QStringLiteral("Runs of each step."), QStringLiteral("R"), QStringLiteral("3")});
    parser.addHelpOption();
    parser.process(app);
    const int times = parser.value(QStringLiteral("repeat")).toInt();

    BenchHome home(parser);
    if (!home.isReady())
        return 1;
    TFrm_Data data(home.path());
    QTemporaryDir output;
    const QString copy = output.filePath(QStringLiteral("copy.db"));
    const QString reference = output.filePath(QStringLiteral("reference.db"));
    bool failed = false;
    const auto backup = [&] {
        QString reason;
        if (!DatabaseBackup(data.connection()).writeTo(copy, &reason)) {
            std::fprintf(stderr, "backup failed: %s\n", qPrintable(reason));
            failed = true;
        }
    };

    std::printf("%d customers on %s, %d runs of each step (ms)\n", home.rows(), home.isPostgres() ? "PostgreSQL" : "SQLite", times);
    std::printf("%-40s %9s %9s\n", "step", "min", "median");
    Timing tool;
    if (home.isPostgres()) {
        tool = repeat(times, [&] {
            failed |= !runTool(QStringLiteral("pg_dump"), {QStringLiteral("-Fc"), QStringLiteral("-Z0"), QStringLiteral("-f"), reference, home.dbConn()});
        });
        print("pg_dump -Fc (reference)", tool);
    } else {
        std::printf("database file: %.1f MB\n", QFileInfo(home.sqliteFile()).size() / 1048576.0);
        tool = repeat(times, [&] {
            QFile::remove(reference);
            failed |= !runTool(QStringLiteral("sqlite3"), {home.sqliteFile(), QStringLiteral(".backup '%1'").arg(reference)});
        });
        print("sqlite3 .backup (reference)", tool);
    }
    const Timing whole = repeat(times, backup);
    print("backup window's backup (copy + check)", whole, tool);
    const Timing check = repeat(times, [&] {
        QString reason;
        failed |= !BackupFile::check(copy, &reason, SqlDialect::Scrutiny::Pages);
    });
    print("  of which the check of the copy", check);
    const Timing thorough = repeat(1, [&] {
        QString reason;
        failed |= !BackupFile::check(copy, &reason);
    });
    print("thorough check (a restore's of its file)", thorough);
    std::printf("backup file: %.1f MB\n", QFileInfo(copy).size() / 1048576.0);

    if (home.isPostgres()) {
        const Timing restore = repeat(1, [&] {
            QString reason;
            if (!DatabaseRestore(data).restoreFrom(copy, &reason)) {
                std::fprintf(stderr, "restore failed: %s\n", qPrintable(reason));
                failed = true;
            }
        });
        print("restore into the server (keeps a backup first)", restore);
    }
    return failed ? 1 : 0;
}
