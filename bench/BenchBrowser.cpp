// The customer browser over a long customer list: opening after login, moving the current
// customer (the lower grids re-query), quick searches and the paid filter; the same searches
// through the sqlite3 shell on the same file as the reference.
//
//   bench_browser [--rows N]

#include "BenchSupport.h"
#include "CustomerGenerator.h"
#include "DataGrid.h"
#include "Session.h"
#include "TFrm_Custom.h"
#include "TFrm_Data.h"
#include "TFrm_Main.h"

#include <QApplication>
#include <QCheckBox>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <cstdio>

namespace {

// What the browser's search costs in the shell: the count and the first screen of rows.
double shellTime(const QString &database, const QString &where)
{
    const QString sql = QStringLiteral("select count(*) from custom where %1; select * from custom where %1 limit 200;").arg(where);
    QElapsedTimer timer;
    timer.start();
    QProcess shell;
    shell.start(QStringLiteral("sqlite3"), {database, sql});
    shell.waitForFinished(-1);
    return milliseconds(timer);
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser parser;
    const QCommandLineOption rows(QStringLiteral("rows"), QStringLiteral("Generated customers."), QStringLiteral("N"), QStringLiteral("1000000"));
    parser.addOption(rows);
    parser.addHelpOption();
    parser.process(app);

    QTemporaryDir home;
    TFrm_Data data(home.path());
    const int count = parser.value(rows).toInt();
    generateCustomers(data.database(), count);
    QSqlQuery fill(data.database());
    // A visit and an order for every tenth customer, a complaint for every hundredth.
    fill.exec(QStringLiteral("insert into contact (CustCode, Name, f_user) select CustCode, 'v', 'Admin' from custom where CustID % 10 = 0"));
    fill.exec(QStringLiteral("insert into T_Schedule (CustCode, danhao, F_User) select CustCode, 'WX', 'Admin' from custom where CustID % 10 = 0"));
    fill.exec(QStringLiteral("insert into T_Bill (CustCode, memo, F_User) select CustCode, 'm', 'Admin' from custom where CustID % 100 = 0"));
    fill.exec(QStringLiteral("update custom set Company = '格力空调' || CustID where CustID % 1000 = 7"));

    TFrm_Main main(data);
    QElapsedTimer timer;
    timer.start();
    main.session().logIn(QStringLiteral("Admin"));
    main.resize(1200, 800);
    main.show();
    draw(&main);
    const double opening = milliseconds(timer);
    TFrm_Custom *browser = Frm_Custom;

    const int moves = 50;
    timer.restart();
    for (int i = 0; i < moves; ++i) {
        const int row = (i * 7919) % 200;
        browser->Grid_Cust()->setCurrentIndex(browser->Grid_Cust()->model()->index(row, 0));
        draw(browser);
    }
    const double move = milliseconds(timer) / moves;

    const auto search = [&](const QString &key) {
        browser->findChild<QLineEdit *>(QStringLiteral("Edit_Key"))->setText(key);
        QElapsedTimer t;
        t.start();
        browser->findChild<QPushButton *>(QStringLiteral("Btn_S_Cust"))->click();
        draw(browser);
        return std::make_pair(milliseconds(t), data.Qry_Cust->recordCount());
    };
    const auto [search2, found2] = search(QStringLiteral("空调"));
    const auto [search4, found4] = search(QStringLiteral("格力空调"));

    auto *paid = browser->findChild<QCheckBox *>(QStringLiteral("CheckBox1"));
    timer.restart();
    paid->click();
    draw(browser);
    const double paidOn = milliseconds(timer);
    timer.restart();
    paid->click();
    draw(browser);
    const double paidOff = milliseconds(timer);

    const QString file = QDir(home.path()).filePath(QStringLiteral("DataBase/server.db"));
    const double shell2 = shellTime(file, QStringLiteral("pinyin like '%空调%' or company like '%空调%'"));
    const double shell4 = shellTime(file, QStringLiteral("pinyin like '%格力空调%' or company like '%格力空调%'"));
    const double shellPaid = shellTime(file, QStringLiteral("1 = 1 order by CustID"));
    const double shellUnpaid = shellTime(file, QStringLiteral("isgathering = 0 order by CustID"));

    std::printf("%d customers\n", count);
    std::printf("%-28s %10s %10s %8s\n", "step", "browser ms", "sqlite3 ms", "ratio");
    std::printf("%-28s %10.1f\n", "open after login", opening);
    std::printf("%-28s %10.1f\n", "move current row (average)", move);
    std::printf("%-28s %10.1f %10.1f %8.2f   (%d found)\n", "name search, 2 characters", search2, shell2, search2 / shell2, found2);
    std::printf("%-28s %10.1f %10.1f %8.2f   (%d found)\n", "name search, 4 characters", search4, shell4, search4 / shell4, found4);
    std::printf("%-28s %10.1f %10.1f %8.2f\n", "paid filter on (all)", paidOn, shellPaid, paidOn / shellPaid);
    std::printf("%-28s %10.1f %10.1f %8.2f\n", "paid filter off (unpaid)", paidOff, shellUnpaid, paidOff / shellUnpaid);
    return 0;
}
