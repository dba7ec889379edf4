// The customer browser over a long, realistic customer list, as a clerk uses it: opening after
// login, reloading, moving the current customer (the lower grids follow), name searches that
// find a handful, hundreds and tens of thousands, the paid filter, sorting by the usual columns
// and moving through the sorted list, and saving a new and an edited customer. Every step is
// repeated; min and median are printed beside the same work done by the database's own shell
// (sqlite3, or psql on PostgreSQL): the count, the footer sums and the first screen of rows.
//
//   bench_browser [--rows N] [--db postgresql://user@host:port/dbname] [--repeat R]

#include "BenchHome.h"
#include "BenchSupport.h"
#include "DataGrid.h"
#include "RealisticCustomers.h"
#include "Session.h"
#include "TFrm_AddCust.h"
#include "TFrm_Custom.h"
#include "TFrm_Data.h"
#include "TFrm_Main.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCommandLineParser>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
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

Timing repeat(int times, const std::function<double()> &step)
{
    Timing timing;
    for (int i = 0; i < times; ++i)
        timing.samples << step();
    return timing;
}

// What the footer and the first screen cost in the database's own shell.
class Reference
{
public:
    explicit Reference(const BenchHome &home) : m_home(home) {}

    double time(const QString &where, const QString &order) const
    {
        const QString sql = QStringLiteral("select count(*), sum(money), sum(gathering) from custom where %1; "
                                           "select * from custom where %1 order by %2 limit 200;")
                                .arg(where, order);
        QProcess shell;
        QElapsedTimer timer;
        timer.start();
        if (m_home.isPostgres())
            shell.start(QStringLiteral("psql"), {QStringLiteral("-X"), QStringLiteral("-q"), QStringLiteral("-o"), QStringLiteral("/dev/null"),
                                                 QStringLiteral("-c"), sql, m_home.dbConn()});
        else
            shell.start(QStringLiteral("sqlite3"), {m_home.sqliteFile(), sql});
        shell.waitForFinished(-1);
        return milliseconds(timer);
    }

    Timing repeated(int times, const QString &where, const QString &order) const
    {
        return repeat(times, [&] { return time(where, order); });
    }

private:
    const BenchHome &m_home;
};

void print(const char *step, const Timing &browser, const Timing &reference = {}, const QString &note = QString())
{
    std::printf("%-34s %9.1f %9.1f", step, browser.min(), browser.median());
    if (!reference.samples.isEmpty())
        std::printf(" %9.1f %9.1f %7.2f", reference.min(), reference.median(), browser.median() / reference.median());
    else
        std::printf(" %9s %9s %7s", "", "", "");
    std::printf("  %s\n", qPrintable(note));
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser parser;
    BenchHome::addOptions(parser);
    parser.addOption({QStringLiteral("repeat"), QStringLiteral("Runs of each step."), QStringLiteral("R"), QStringLiteral("5")});
    parser.addHelpOption();
    parser.process(app);
    const int times = parser.value(QStringLiteral("repeat")).toInt();

    BenchHome home(parser);
    if (!home.isReady())
        return 1;
    const Reference reference(home);
    TFrm_Data data(home.path());
    data.execute(QStringLiteral("delete from custom where CustCode like 'BENCH-%'"));

    TFrm_Main main(data);
    QElapsedTimer timer;
    timer.start();
    main.session().logIn(QStringLiteral("Admin"));
    main.resize(1280, 800);
    main.show();
    TFrm_Custom *browser = Frm_Custom;
    draw(&main);
    const Timing opening{{milliseconds(timer)}};
    DataGrid *grid = browser->Grid_Cust();
    const auto timed = [&](const std::function<void()> &action) {
        QElapsedTimer t;
        t.start();
        action();
        draw(browser);
        return milliseconds(t);
    };

    std::printf("%d customers on %s, %d runs of each step (ms)\n", home.rows(), home.isPostgres() ? "PostgreSQL" : "SQLite", times);
    std::printf("%-34s %9s %9s %9s %9s %7s\n", "step", "min", "median", "ref min", "ref med", "ratio");
    print("open after login", opening);
    print("reload the list (用户管理)", repeat(times, [&] { return timed([&] { main.command(QStringLiteral("Cust_CustContact"))->trigger(); }); }),
          reference.repeated(times, QStringLiteral("1 = 1"), QStringLiteral("CustID")));
    print("move the current customer", repeat(times, [&] {
              double total = 0;
              for (int i = 0; i < 20; ++i)
                  total += timed([&] { grid->setCurrentIndex(grid->model()->index((i * 37) % 150, 0)); });
              return total / 20;
          }));

    auto *key = browser->findChild<QLineEdit *>(QStringLiteral("Edit_Key"));
    auto *search = browser->findChild<QPushButton *>(QStringLiteral("Btn_S_Cust"));
    for (const QString &text : {RealisticCustomers::rareKey(), RealisticCustomers::commonKey(), RealisticCustomers::surnameKey()}) {
        key->setText(text);
        const Timing found = repeat(times, [&] { return timed([&] { search->click(); }); });
        const QString pattern = QStringLiteral("'%%1%'").arg(text);
        print(qPrintable(QStringLiteral("name search “%1”").arg(text)), found,
              reference.repeated(times, QStringLiteral("pinyin like %1 or company like %1").arg(pattern), QStringLiteral("CustID")),
              QStringLiteral("%1 found").arg(data.Qry_Cust->recordCount()));
    }

    auto *paid = browser->findChild<QCheckBox *>(QStringLiteral("CheckBox1"));
    Timing paidOn, paidOff;
    for (int i = 0; i < times; ++i) {
        paidOn.samples << timed([&] { paid->click(); });
        paidOff.samples << timed([&] { paid->click(); });
    }
    print("paid filter on (everyone)", paidOn, reference.repeated(times, QStringLiteral("1 = 1"), QStringLiteral("CustID")));
    print("paid filter off (unpaid)", paidOff, reference.repeated(times, QStringLiteral("isgathering = false"), QStringLiteral("CustID")),
          QStringLiteral("%1 unpaid").arg(data.Qry_Cust->recordCount()));

    main.command(QStringLiteral("Cust_CustContact"))->trigger();
    for (const char *field : {"CustCode", "Company", "model", "buydate", "money"}) {
        int column = 0;
        while (column < grid->shownColumnCount() && grid->columnField(column) != QLatin1String(field))
            ++column;
        Timing sorting, paging, last;
        for (int i = 0; i < times; ++i) {
            grid->clearSortMarkers();
            grid->setCurrentIndex(grid->model()->index(0, 0));
            sorting.samples << timed([&] { grid->clickTitle(column, false); });
            double pages = 0;
            for (int page = 1; page <= 10; ++page)
                pages += timed([&] { grid->setCurrentIndex(grid->model()->index(page * DataSet::PageSize, column)); });
            paging.samples << pages / 10;
            last.samples << timed([&] { grid->setCurrentIndex(grid->model()->index(grid->model()->rowCount() - 1, column)); });
        }
        print(qPrintable(QStringLiteral("sort by %1").arg(QLatin1String(field))), sorting,
              reference.repeated(times, QStringLiteral("1 = 1"), QStringLiteral("%1, CustID").arg(QLatin1String(field))));
        print("  next page of the sorted list", paging);
        print("  jump to the last row", last);
    }
    grid->clearSortMarkers();

    Session &session = main.session();
    Timing added;
    {
        TFrm_AddCust editor(data, session, RecordEditor::Mode::Add, &main);
        editor.show();
        for (int i = 0; i < times; ++i) {
            editor.findChild<QLineEdit *>(QStringLiteral("Edit_Code"))->setText(QStringLiteral("BENCH-%1").arg(i));
            editor.findChild<QLineEdit *>(QStringLiteral("Edit_CustName"))->setText(QStringLiteral("测试客户%1").arg(i));
            QElapsedTimer t;
            t.start();
            editor.Btn_OKClick();
            added.samples << milliseconds(t);
        }
    }
    print("save a new customer", added);
    Timing edited;
    {
        grid->setCurrentIndex(grid->model()->index(500, 0));
        TFrm_AddCust editor(data, session, RecordEditor::Mode::Edit, &main);
        editor.show();
        for (int i = 0; i < times; ++i) {
            editor.findChild<QLineEdit *>(QStringLiteral("Edit_Mobile"))->setText(QStringLiteral("1390000%1").arg(i, 4, 10, QLatin1Char('0')));
            QElapsedTimer t;
            t.start();
            editor.Btn_OKClick();
            edited.samples << milliseconds(t);
        }
    }
    print("save an edited customer", edited);
    data.execute(QStringLiteral("delete from custom where CustCode like 'BENCH-%'"));
    return 0;
}
