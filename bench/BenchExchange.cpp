// Workbooks in and out on 100,000 customers, each step in a process of its own so that its
// peak memory is its own:
//  - the customer grid exported to .xlsx, beside a plain libxlsxwriter loop that writes the
//    same cells from the same query;
//  - a 100,000-row .xlsx imported into the customers, beside the sqlite3 shell's .import of
//    the same rows as CSV into a table of the same columns.
//
//   bench_exchange [--rows N]

#include "BenchSupport.h"
#include "CustomerImport.h"
#include "DataGrid.h"
#include "GridColumns.h"
#include "GridSheet.h"
#include "HzSpell.h"
#include "ImportMapping.h"
#include "SheetCells.h"
#include "TFrm_Data.h"
#include "WorkbookReader.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <cstdio>
#include <xlsxwriter.h>

namespace {

const QStringList ImportHeaders = {"用户编号", "用户名称", "机身编码", "服务类型", "品牌", "数量", "单价", "总金额", "通讯地址", "手机号码"};

// The peak resident memory of this process; unlike getrusage it does not count what the
// parent held when it started us.
long peakKilobytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return 0;
}

void report(double ms, long kilobytes)
{
    std::printf("%.1f %ld\n", ms, kilobytes);
}

// Customers with every column the grid shows filled.
void fillCustomers(TFrm_Data &data, int count)
{
    QSqlQuery query(data.database());
    query.prepare(QStringLiteral(
        "WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n WHERE x < :count) "
        "INSERT INTO custom (CustCode, Company, airframe, Type, model, taishu, retail, money, Mobile, Tel, Address, "
        "largess, number, largessb, numberB, gathering, isgathering, place, buydate, depart, installdate, batch, billcode, "
        "people, memo, f_user, pinyin) "
        "SELECT 'C' || x, '格力空调专卖店' || x, 'SN' || x, '安装', '格力', '1', 2980.5, x % 5000, '138' || (10000000 + x), "
        "'0731-' || x, '长沙市五一路' || x || '号', '遥控器', 1, '支架', 2, x % 3000, (x % 2 = 0), '本店', :day, "
        "'安装一部', :day, 'AZ-' || x, 'FP' || x, '刘师傅', '一楼客厅挂机', 'Admin', 'glkt' FROM n"));
    query.bindValue(QStringLiteral(":count"), count);
    query.bindValue(QStringLiteral(":day"), QDateTime(QDate(2025, 6, 1), QTime(0, 0)));
    if (!query.exec())
        qFatal("%s", qPrintable(query.lastError().text()));
}

// The rows to import: a workbook as office programs write it (shared strings) and the same
// rows as CSV.
void writeImportFiles(const QString &dir, int count)
{
    const QByteArray xlsx = QFile::encodeName(QDir(dir).filePath(QStringLiteral("import.xlsx")));
    lxw_workbook *workbook = workbook_new(xlsx.constData());
    lxw_worksheet *sheet = workbook_add_worksheet(workbook, nullptr);
    QFile csv(QDir(dir).filePath(QStringLiteral("import.csv")));
    csv.open(QIODevice::WriteOnly);
    for (int c = 0; c < ImportHeaders.size(); ++c)
        worksheet_write_string(sheet, 0, lxw_col_t(c), ImportHeaders[c].toUtf8().constData(), nullptr);
    csv.write(ImportHeaders.join(QLatin1Char(',')).toUtf8() + "\n");
    for (int i = 1; i <= count; ++i) {
        const QStringList texts = {QStringLiteral("N%1").arg(i), QStringLiteral("美的专卖店%1").arg(i), QStringLiteral("SN%1").arg(i),
                                   QStringLiteral("安装"), QStringLiteral("美的"), QStringLiteral("1")};
        for (int c = 0; c < texts.size(); ++c)
            worksheet_write_string(sheet, lxw_row_t(i), lxw_col_t(c), texts[c].toUtf8().constData(), nullptr);
        worksheet_write_number(sheet, lxw_row_t(i), 6, 2980.5, nullptr);
        worksheet_write_number(sheet, lxw_row_t(i), 7, i % 5000, nullptr);
        const QString address = QStringLiteral("长沙市五一路%1号").arg(i);
        worksheet_write_string(sheet, lxw_row_t(i), 8, address.toUtf8().constData(), nullptr);
        worksheet_write_number(sheet, lxw_row_t(i), 9, 13800000000.0 + i, nullptr);
        csv.write((texts.join(QLatin1Char(',')) + QStringLiteral(",2980.5,%1,%2,%3\n").arg(i % 5000).arg(address).arg(13800000000LL + i)).toUtf8());
    }
    workbook_close(workbook);
}

double exportThroughGrid(const QString &home, const QString &file)
{
    TFrm_Data data(home);
    QElapsedTimer timer;
    timer.start();
    data.RunQuery(data.Qry_Cust, QStringLiteral("Select * from Custom"));
    DataGrid grid;
    GridColumns::BuildGridColumns(data, &grid, data.Qry_Cust, QStringLiteral("Custom"));
    QString error;
    if (!GridSheet(&grid).write(SheetWriter::Format::Xlsx, file, &error))
        qFatal("%s", qPrintable(error));
    return milliseconds(timer);
}

// The least an export can do: one query, each cell straight into libxlsxwriter.
double exportPlain(const QString &home, const QString &file)
{
    TFrm_Data data(home);
    QElapsedTimer timer;
    timer.start();
    QStringList fields;
    data.RunQuery(data.Qry_Temp, QStringLiteral("select Field from T_FieldShow where TableName = 'Custom' and Show = 1 order by ShowID"));
    for (int row = 0; row < data.Qry_Temp->recordCount(); ++row)
        fields << data.Qry_Temp->value(row, 0).toString();
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    const QByteArray path = QFile::encodeName(file);
    lxw_workbook *workbook = workbook_new_opt(path.constData(), &options);
    lxw_worksheet *sheet = workbook_add_worksheet(workbook, nullptr);
    lxw_format *date = workbook_add_format(workbook);
    format_set_num_format(date, "yyyy-mm-dd");
    for (int c = 0; c < fields.size(); ++c)
        worksheet_write_string(sheet, 0, lxw_col_t(c), fields[c].toUtf8().constData(), nullptr);
    QSqlQuery query(data.database());
    query.setForwardOnly(true);
    query.exec(QStringLiteral("select %1 from custom").arg(fields.join(QStringLiteral(", "))));
    lxw_row_t row = 1;
    while (query.next()) {
        for (int c = 0; c < fields.size(); ++c) {
            const QVariant value = query.value(c);
            if (value.isNull())
                continue;
            switch (value.userType()) {
            case QMetaType::Int: case QMetaType::LongLong: case QMetaType::Double:
                worksheet_write_number(sheet, row, lxw_col_t(c), value.toDouble(), nullptr);
                break;
            default: {
                const QDateTime moment = QDateTime::fromString(value.toString(), Qt::ISODateWithMs);
                if (moment.isValid() && value.toString().contains(QLatin1Char('T'))) {
                    lxw_datetime when{moment.date().year(), moment.date().month(), moment.date().day(), 0, 0, 0};
                    worksheet_write_datetime(sheet, row, lxw_col_t(c), &when, date);
                } else {
                    worksheet_write_string(sheet, row, lxw_col_t(c), value.toString().toUtf8().constData(), nullptr);
                }
            }
            }
        }
        ++row;
    }
    workbook_close(workbook);
    return milliseconds(timer);
}

double importWorkbook(const QString &home, const QString &file, int *succeeded)
{
    TFrm_Data data(home);
    QElapsedTimer timer;
    timer.start();
    SheetCells sheet;
    QString error;
    if (!WorkbookReader::read(file, sheet, &error))
        qFatal("%s", qPrintable(error));
    std::fprintf(stderr, "read %.0f ms\n", milliseconds(timer));
    ImportMapping::prefill(data, QStringLiteral("custom"), sheet.row(0));
    CustomerImport import(data.database(), data.dialect(), sheet, ImportMapping::activePairs(data, QStringLiteral("custom")),
                          &THzSpell::PinyinInitials);
    while (!import.atEnd())
        import.importRows(CustomerImport::BatchRows);
    *succeeded = import.succeeded();
    return milliseconds(timer);
}

// The shell's time, and its peak memory as /usr/bin/time measures it (0 without it).
std::pair<double, long> shellImport(const QString &dir)
{
    const QString database = QDir(dir).filePath(QStringLiteral("shell.db"));
    QFile::remove(database);
    const QString sql = QStringLiteral(
        "CREATE TABLE staging (CustCode VARCHAR(50), Company VARCHAR(200), airframe VARCHAR(50), Type VARCHAR(20), "
        "model VARCHAR(50), taishu VARCHAR(50), retail DOUBLE, money DOUBLE, Address VARCHAR(160), Mobile VARCHAR(20));\n"
        "CREATE UNIQUE INDEX ix_staging_code ON staging (CustCode);\n"
        ".import --csv --skip 1 %1 staging\n").arg(QDir(dir).filePath(QStringLiteral("import.csv")));
    const bool measured = QFile::exists(QStringLiteral("/usr/bin/time"));
    QElapsedTimer timer;
    timer.start();
    QProcess shell;
    if (measured)
        shell.start(QStringLiteral("/usr/bin/time"), {QStringLiteral("-f"), QStringLiteral("%M"), QStringLiteral("sqlite3"), database});
    else
        shell.start(QStringLiteral("sqlite3"), {database});
    shell.write(sql.toUtf8());
    shell.closeWriteChannel();
    shell.waitForFinished(-1);
    const double ms = milliseconds(timer);
    const QStringList lines = QString::fromUtf8(shell.readAllStandardError()).trimmed().split(QLatin1Char('\n'));
    return {ms, measured ? lines.last().toLong() : 0};
}

// Runs one step in a child process: its time and peak memory.
std::pair<double, long> child(const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QCoreApplication::applicationFilePath(), arguments);
    process.waitForFinished(-1);
    const QStringList parts = QString::fromUtf8(process.readAllStandardOutput()).trimmed().split(QLatin1Char(' '));
    return {parts.value(0).toDouble(), parts.value(1).toLong()};
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser parser;
    const QCommandLineOption rowsOption(QStringLiteral("rows"), QStringLiteral("Customers."), QStringLiteral("N"), QStringLiteral("100000"));
    const QCommandLineOption stepOption(QStringLiteral("step"), QStringLiteral("One step (internal)."), QStringLiteral("name"));
    const QCommandLineOption dirOption(QStringLiteral("dir"), QStringLiteral("Working folder (internal)."), QStringLiteral("dir"));
    parser.addOptions({rowsOption, stepOption, dirOption});
    parser.addHelpOption();
    parser.process(app);

    const QString step = parser.value(stepOption);
    const QDir dir(parser.value(dirOption));
    if (step == QLatin1String("export-grid")) {
        report(exportThroughGrid(dir.filePath(QStringLiteral("home")), dir.filePath(QStringLiteral("grid.xlsx"))), peakKilobytes());
        return 0;
    }
    if (step == QLatin1String("export-plain")) {
        report(exportPlain(dir.filePath(QStringLiteral("home")), dir.filePath(QStringLiteral("plain.xlsx"))), peakKilobytes());
        return 0;
    }
    if (step == QLatin1String("import")) {
        int succeeded = 0;
        const double ms = importWorkbook(dir.filePath(QStringLiteral("empty")), dir.filePath(QStringLiteral("import.xlsx")), &succeeded);
        if (succeeded != parser.value(rowsOption).toInt())
            qFatal("imported %d rows", succeeded);
        report(ms, peakKilobytes());
        return 0;
    }
    if (step == QLatin1String("shell-import")) {
        const auto [ms, kilobytes] = shellImport(dir.path());
        report(ms, kilobytes);
        return 0;
    }

    const int rows = parser.value(rowsOption).toInt();
    QTemporaryDir work;
    work.setAutoRemove(qEnvironmentVariableIsEmpty("BENCH_KEEP"));
    std::fprintf(stderr, "%s\n", qPrintable(work.path()));
    const QDir w(work.path());
    w.mkpath(QStringLiteral("home"));
    w.mkpath(QStringLiteral("empty"));
    {
        TFrm_Data data(w.filePath(QStringLiteral("home")));
        fillCustomers(data, rows);
        TFrm_Data empty(w.filePath(QStringLiteral("empty")));
    }
    writeImportFiles(work.path(), rows);

    const QStringList common = {QStringLiteral("--dir"), work.path(), QStringLiteral("--rows"), QString::number(rows)};
    const auto grid = child(QStringList{QStringLiteral("--step"), QStringLiteral("export-grid")} + common);
    const auto plain = child(QStringList{QStringLiteral("--step"), QStringLiteral("export-plain")} + common);
    const auto imported = child(QStringList{QStringLiteral("--step"), QStringLiteral("import")} + common);
    const auto shell = child(QStringList{QStringLiteral("--step"), QStringLiteral("shell-import")} + common);

    std::printf("%d rows\n", rows);
    std::printf("%-40s %10s %12s\n", "step", "ms", "peak MiB");
    std::printf("%-40s %10.0f %12.1f\n", "export grid to .xlsx", grid.first, grid.second / 1024.0);
    std::printf("%-40s %10.0f %12.1f\n", "plain libxlsxwriter loop, same cells", plain.first, plain.second / 1024.0);
    std::printf("%-40s %10.2f\n", "ratio (target within 2)", grid.first / plain.first);
    std::printf("%-40s %10.0f %12.1f\n", "import .xlsx into customers", imported.first, imported.second / 1024.0);
    std::printf("%-40s %10.0f %12.1f\n", "sqlite3 .import of the same CSV", shell.first, shell.second / 1024.0);
    std::printf("%-40s %10.2f\n", "ratio (target within 3)", imported.first / shell.first);
    return 0;
}
