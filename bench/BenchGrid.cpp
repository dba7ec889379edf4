// Grid over a long customer list: DataGrid over the data set against a plain QSqlQueryModel
// and QTableView that fetch every row. Each variant runs in a child process of its own so
// that its peak memory is its own.
//
//   bench_grid [--rows N] [--db postgresql://user@host:port/dbname]
//
// Prints, per step, the time of both variants, their ratio, and the peak resident memory.

#include "BenchSupport.h"
#include "BenchHome.h"
#include "DatabaseLocation.h"
#include "DataGrid.h"
#include "GridColumns.h"
#include "TFrm_Data.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QScrollBar>
#include <QSortFilterProxyModel>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QSqlRecord>
#include <QTableView>
#include <QTemporaryDir>
#include <cstdio>

namespace {

const char *const Steps[] = {"open", "last row", "sort", "footer sum"};

QJsonObject runDataGrid(const QString &home)
{
    QJsonObject times;
    QElapsedTimer timer;
    TFrm_Data data(home);
    DataGrid grid;
    grid.resize(1000, 700);

    timer.start();
    data.RunQuery(data.Qry_Cust, QStringLiteral("select * from custom"));
    GridColumns::BuildGridColumns(data, &grid, data.Qry_Cust, QStringLiteral("Custom"));
    grid.setFooterVisible(true);
    grid.setFooterText(0, QStringLiteral("总计"));
    grid.setFooterCount(1);
    grid.show();
    draw(&grid);
    times[QStringLiteral("open")] = milliseconds(timer);
    times[QStringLiteral("rows")] = grid.footerText(1);

    timer.restart();
    grid.setCurrentIndex(grid.model()->index(grid.model()->rowCount() - 1, 0));
    draw(&grid);
    times[QStringLiteral("last row")] = milliseconds(timer);

    timer.restart();
    QObject::connect(&grid, &DataGrid::sortMarkingChanged, [&] { GridColumns::SortByTitleMarkers(&grid, data.Qry_Cust); });
    for (int column = 0; column < grid.shownColumnCount(); ++column) {
        if (grid.columnField(column) == QLatin1String("Company"))
            grid.clickTitle(column, false);
    }
    draw(&grid);
    times[QStringLiteral("sort")] = milliseconds(timer);

    // The footer's sums come with the record count at opening; without the grid asking for
    // them, a reopened set shows what a sum costs on its own.
    grid.setGridModel(nullptr);
    data.Qry_Cust->setSummaryFields({});
    data.Qry_Cust->reopen();
    timer.restart();
    const QVariant sum = data.Qry_Cust->sum(QStringLiteral("money"));
    times[QStringLiteral("footer sum")] = milliseconds(timer);
    times[QStringLiteral("sum")] = sum.toDouble();
    times[QStringLiteral("cached rows")] = data.Qry_Cust->cachedRowCount();
    return times;
}

QJsonObject runPlainModel(const QString &home, const QString &dbConn)
{
    QJsonObject times;
    QElapsedTimer timer;
    QString error;
    DatabaseLocation::fromDbConn(dbConn, home).open(QStringLiteral("plain"), &error);
    QSqlDatabase db = QSqlDatabase::database(QStringLiteral("plain"));
    QSqlQueryModel model;
    QSortFilterProxyModel proxy;
    proxy.setSourceModel(&model);
    QTableView view;
    view.resize(1000, 700);
    view.setModel(&proxy);

    timer.start();
    model.setQuery(QStringLiteral("select * from custom"), db);
    while (model.canFetchMore())
        model.fetchMore();
    view.show();
    draw(&view);
    times[QStringLiteral("open")] = milliseconds(timer);
    times[QStringLiteral("rows")] = QString::number(model.rowCount());

    timer.restart();
    view.setCurrentIndex(proxy.index(proxy.rowCount() - 1, 0));
    view.scrollToBottom();
    draw(&view);
    times[QStringLiteral("last row")] = milliseconds(timer);

    timer.restart();
    view.sortByColumn(model.record().indexOf(QStringLiteral("Company")), Qt::AscendingOrder);
    draw(&view);
    times[QStringLiteral("sort")] = milliseconds(timer);

    timer.restart();
    const int money = model.record().indexOf(QStringLiteral("money"));
    double sum = 0;
    for (int row = 0; row < model.rowCount(); ++row)
        sum += model.index(row, money).data().toDouble();
    times[QStringLiteral("footer sum")] = milliseconds(timer);
    times[QStringLiteral("sum")] = sum;
    return times;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser parser;
    BenchHome::addOptions(parser);
    const QCommandLineOption home(QStringLiteral("home"), QStringLiteral("Internal: the program folder."), QStringLiteral("DIR"));
    const QCommandLineOption variant(QStringLiteral("variant"), QStringLiteral("Internal: run one variant."), QStringLiteral("NAME"));
    parser.addOptions({home, variant});
    parser.addHelpOption();
    parser.process(app);

    if (parser.isSet(variant)) {
        QJsonObject result = parser.value(variant) == QLatin1String("datagrid")
                                 ? runDataGrid(parser.value(home))
                                 : runPlainModel(parser.value(home), parser.value(QStringLiteral("db")));
        result[QStringLiteral("peak kB")] = double(peakResidentKb());
        std::printf("%s\n", QJsonDocument(result).toJson(QJsonDocument::Compact).constData());
        return 0;
    }

    BenchHome bench(parser);
    if (!bench.isReady())
        return 1;
    const QString folder = bench.path();
    std::printf("%d customers on %s\n", bench.rows(), bench.isPostgres() ? "PostgreSQL" : "SQLite");

    const auto run = [&](const QString &name) {
        QProcess child;
        QStringList arguments{QStringLiteral("--variant"), name, QStringLiteral("--home"), folder};
        if (bench.isPostgres())
            arguments << QStringLiteral("--db") << bench.dbConn();
        child.start(QCoreApplication::applicationFilePath(), arguments);
        child.waitForFinished(-1);
        return QJsonDocument::fromJson(child.readAllStandardOutput().trimmed().split('\n').last()).object();
    };
    const QJsonObject grid = run(QStringLiteral("datagrid"));
    const QJsonObject plain = run(QStringLiteral("plain"));

    std::printf("rows shown: DataGrid %s, plain %s; sum of money: %.0f / %.0f; rows held by the data set: %d\n",
                qPrintable(grid[QStringLiteral("rows")].toString()), qPrintable(plain[QStringLiteral("rows")].toString()),
                grid[QStringLiteral("sum")].toDouble(), plain[QStringLiteral("sum")].toDouble(),
                grid[QStringLiteral("cached rows")].toInt());
    std::printf("%-12s %12s %12s %8s\n", "step", "DataGrid ms", "plain ms", "ratio");
    for (const char *step : Steps) {
        const double a = grid[QLatin1String(step)].toDouble();
        const double b = plain[QLatin1String(step)].toDouble();
        std::printf("%-12s %12.1f %12.1f %8.1f\n", step, a, b, a > 0 ? b / a : 0.0);
    }
    const double memoryA = grid[QStringLiteral("peak kB")].toDouble() / 1024;
    const double memoryB = plain[QStringLiteral("peak kB")].toDouble() / 1024;
    std::printf("%-12s %12.1f %12.1f %8.1f   (peak resident MB)\n", "memory", memoryA, memoryB, memoryA > 0 ? memoryB / memoryA : 0.0);
    return 0;
}
