// Kills the program at random moments while it restores a backup or compacts the database, and
// checks after each kill that the database opens, passes the integrity check and holds the
// customers of before or of after, never a mix.
//
//   crash_drill [--rows N] [--runs R] [--seed S] [--db postgresql://user@host:port/dbname] [--keep DIR]
//
// The restores alternate between two backups of different size, so that every restore changes
// the data. A worker process of this same program does the work; it is killed (SIGKILL) at a
// moment drawn between its start and a little past the time an uninterrupted run takes.

#include "BenchHome.h"
#include "BenchSupport.h"
#include "BackupFile.h"
#include "DatabaseBackup.h"
#include "DatabaseCompaction.h"
#include "DatabaseRestore.h"
#include "MessageBoxes.h"
#include "TFrm_Data.h"

#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cstdio>

namespace {

const QString Restore = QStringLiteral("restore");
const QString Compact = QStringLiteral("compact");

// What a look at the database finds.
struct State
{
    bool opened = false;
    QString damage;
    int customers = -1;

    bool sound() const { return opened && damage.isEmpty(); }
};

State inspect(const QString &home)
{
    State state;
    TFrm_Data data(home);
    state.opened = data.DBReady();
    if (!state.opened)
        return state;
    state.damage = BackupFile::damage(data.connection());
    if (data.RunQuery(data.Qry_Temp, QStringLiteral("select count(*) from custom")))
        state.customers = data.Qry_Temp->value(0, 0).toInt();
    return state;
}

// The worker: one restore or compaction of the database in home; exit code 0 on success.
int work(const QString &task, const QString &home, const QString &file)
{
    TFrm_Data data(home);
    if (!data.DBReady())
        return 2;
    QString reason;
    const bool done = task == Restore ? DatabaseRestore(data).restoreFrom(file, &reason) : DatabaseCompaction::run(data, &reason);
    if (!done)
        std::fprintf(stderr, "%s failed: %s\n", qPrintable(task), qPrintable(reason));
    return done ? 0 : 1;
}

struct Tally
{
    int killed = 0;
    int before = 0;
    int after = 0;
    int broken = 0;
};

// One run of the work: the backup restored (none for a compaction) and the customers the
// database holds once the work took effect.
struct Job
{
    QString file;
    int customers;
};

class Drill
{
public:
    Drill(QString program, QString home, int runs, quint32 seed)
        : m_program(std::move(program)), m_home(std::move(home)), m_runs(runs), m_random(seed)
    {
    }

    // Times one whole run, then kills runs at random moments. job gives the work of a run
    // from the customers the database holds before it.
    Tally run(const QString &task, const std::function<Job(int customers)> &job)
    {
        State state = inspect(m_home);
        QElapsedTimer timer;
        timer.start();
        if (!runWorker(task, job(state.customers).file, -1)) {
            std::printf("%s: the uninterrupted run failed\n", qPrintable(task));
            return {0, 0, 0, 1};
        }
        const qint64 duration = timer.elapsed();
        std::printf("%s: an uninterrupted run takes %lld ms\n", qPrintable(task), static_cast<long long>(duration));
        Tally tally;
        state = inspect(m_home);
        for (int i = 1; i <= m_runs; ++i) {
            const int before = state.customers;
            const Job work = job(before);
            const int wait = m_random.bounded(static_cast<int>(duration * 6 / 5) + 1);
            tally.killed += !runWorker(task, work.file, wait);
            state = inspect(m_home);
            if (state.sound() && state.customers == before)
                ++tally.before;
            else if (state.sound() && state.customers == work.customers)
                ++tally.after;
            else {
                ++tally.broken;
                std::printf("  run %d (kill after %d ms): opened %d, damage \"%s\", %d customers (expected %d or %d)\n", i,
                            wait, state.opened, qPrintable(state.damage), state.customers, before, work.customers);
                if (!state.sound())
                    break;
            }
        }
        return tally;
    }

private:
    // False when the worker was killed (or failed) before it finished; wait -1: no kill.
    bool runWorker(const QString &task, const QString &file, int wait)
    {
        QProcess worker;
        worker.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        worker.start(m_program, {QStringLiteral("--worker"), task, m_home, file});
        if (worker.waitForFinished(wait))
            return worker.exitStatus() == QProcess::NormalExit && worker.exitCode() == 0;
        worker.kill();
        worker.waitForFinished(-1);
        return false;
    }

    QString m_program;
    QString m_home;
    int m_runs;
    QRandomGenerator m_random;
};

void print(const char *task, const Tally &tally, int runs)
{
    std::printf("%-8s %d kills at random moments: %d mid-way, %d after the work was done\n", task, runs, tally.killed,
                runs - tally.killed);
    std::printf("         database afterwards: %d as before, %d as after, %d damaged or mixed\n", tally.before,
                tally.after, tally.broken);
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // Nobody answers message boxes here: they go to the error stream.
    MessageBoxes::setTestHook([](const MessageBoxes::Record &record) {
        std::fprintf(stderr, "message: %s\n", qPrintable(record.text));
        return QMessageBox::Ok;
    });
    if (argc == 5 && QString::fromLocal8Bit(argv[1]) == QLatin1String("--worker"))
        return work(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]), QString::fromLocal8Bit(argv[4]));

    QCommandLineParser parser;
    BenchHome::addOptions(parser);
    parser.addOption({QStringLiteral("runs"), QStringLiteral("Kills of each kind of work."), QStringLiteral("R"), QStringLiteral("50")});
    parser.addOption({QStringLiteral("seed"), QStringLiteral("Seed of the moments drawn."), QStringLiteral("S"), QStringLiteral("18")});
    parser.addHelpOption();
    parser.process(app);
    const int runs = parser.value(QStringLiteral("runs")).toInt();

    BenchHome home(parser);
    if (!home.isReady())
        return 1;
    // Two backups that differ: the database as made, and with a third of the customers gone.
    QTemporaryDir backups;
    const QString full = backups.filePath(QStringLiteral("full.db"));
    const QString smaller = backups.filePath(QStringLiteral("smaller.db"));
    int fullCount = 0;
    int smallerCount = 0;
    {
        TFrm_Data data(home.path());
        QString reason;
        if (!DatabaseBackup(data.connection()).writeTo(full, &reason)) {
            std::fprintf(stderr, "backup failed: %s\n", qPrintable(reason));
            return 1;
        }
        data.RunQuery(data.Qry_Temp, QStringLiteral("select count(*) from custom"));
        fullCount = data.Qry_Temp->value(0, 0).toInt();
        data.RunStatement(data.Qry_Str, QStringLiteral("delete from custom where CustID % 3 = 0"));
        data.RunQuery(data.Qry_Temp, QStringLiteral("select count(*) from custom"));
        smallerCount = data.Qry_Temp->value(0, 0).toInt();
        if (!DatabaseBackup(data.connection()).writeTo(smaller, &reason)) {
            std::fprintf(stderr, "backup failed: %s\n", qPrintable(reason));
            return 1;
        }
    }
    std::printf("%s database, backups of %d and %d customers, seed %s\n", home.isPostgres() ? "PostgreSQL" : "SQLite",
                fullCount, smallerCount, qPrintable(parser.value(QStringLiteral("seed"))));

    Drill drill(QCoreApplication::applicationFilePath(), home.path(), runs, parser.value(QStringLiteral("seed")).toUInt());
    // Every restore brings the other backup, so that each one changes the data.
    const Tally restores = drill.run(Restore, [&](int customers) {
        return customers == fullCount ? Job{smaller, smallerCount} : Job{full, fullCount};
    });
    print("restore", restores, runs);

    // Compaction has free pages to give back: another third of the customers deleted.
    {
        TFrm_Data data(home.path());
        data.RunStatement(data.Qry_Str, QStringLiteral("delete from custom where CustID % 3 = 1"));
    }
    // A compaction keeps every customer: "as before" is every sound outcome.
    const Tally compactions = drill.run(Compact, [](int customers) { return Job{QString(), customers}; });
    print("compact", compactions, runs);
    return restores.broken + compactions.broken == 0 ? 0 : 1;
}
