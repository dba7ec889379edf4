// Printed forms over long, realistic customer lists: the installation dispatch forms of the
// first --forms customers and the basic information list of all --rows customers, each
// prepared from the customer list and written to PDF. Each runs in a child process of its
// own, so that its peak memory is its own; the drawing commands the prepared pages hold are
// counted against it.
//
//   bench_reports [--forms N] [--rows N] [--db postgresql://user@host:port/dbname] [--pdf DIR]
//
// --pdf writes the PDFs into DIR instead of the program folder.

#include "BenchHome.h"
#include "BenchSupport.h"
#include "PreparedReport.h"
#include "ReportDataSets.h"
#include "ReportEngine.h"
#include "ReportRenderer.h"
#include "TFrm_Data.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>

namespace {

double megabytes(qint64 bytes)
{
    return double(bytes) / (1024.0 * 1024.0);
}

// What the prepared pages hold: the commands and the text of their lines.
qint64 commandBytes(const PreparedReport &report, qint64 *commands)
{
    qint64 bytes = 0;
    *commands = 0;
    for (int page = 0; page < report.pageCount(); ++page) {
        const auto &list = report.page(page).commands;
        *commands += qint64(list.size());
        bytes += qint64(list.capacity() * sizeof(DrawCommand));
        for (const DrawCommand &command : list) {
            if (!command.text.isEmpty())
                bytes += qint64(sizeof(QArrayData)) + 2 * command.text.capacity();
        }
    }
    return bytes;
}

QJsonObject run(const QString &home, const QString &form, int customers, const QString &pdf)
{
    QJsonObject result;
    TFrm_Data data(home);
    Report &report = form == QLatin1String("forms") ? data.frx_AN : data.frx_user;
    // The list as a search in the browser leaves it: the first customers entered. A plain
    // condition, as the browser's searches are; a subquery with a limit would be evaluated
    // again for every page the data set reads.
    data.RunQuery(data.Qry_Temp, QStringLiteral("select max(CustID) as lastid from (select CustID from custom order by CustID limit :n) q"),
                  {{QStringLiteral(":n"), customers}});
    data.RunQuery(data.Qry_Cust, QStringLiteral("select * from custom where CustID <= :last"),
                  {{QStringLiteral(":last"), data.Qry_Temp->value(0, QStringLiteral("lastid"))}});
    data.Qry_Cust->setSort(QStringLiteral("CustID"));
    const qint64 before = peakResidentKb();

    // Reading the list through the data set on its own, for comparison.
    QElapsedTimer timer;
    timer.start();
    const int company = data.Qry_Cust->fieldIndex(QStringLiteral("Company"));
    for (int row = 0; row < data.Qry_Cust->recordCount(); ++row)
        data.Qry_Cust->value(row, company);
    result[QStringLiteral("read ms")] = milliseconds(timer);

    timer.restart();
    PreparedReport pages;
    {
        ReportDataSets dataSets(data);
        ReportEngine engine(report.layout(), dataSets.sources());
        engine.setTemplateName(report.displayName());
        if (!engine.prepare(&pages)) {
            result[QStringLiteral("error")] = engine.errorString();
            return result;
        }
    }
    result[QStringLiteral("prepare ms")] = milliseconds(timer);
    result[QStringLiteral("prepared peak kB")] = double(peakResidentKb());

    timer.restart();
    QString error;
    if (!ReportRenderer::writePdf(pages, pdf, &error)) {
        result[QStringLiteral("error")] = error;
        return result;
    }
    result[QStringLiteral("pdf ms")] = milliseconds(timer);
    qint64 commands = 0;
    result[QStringLiteral("command bytes")] = double(commandBytes(pages, &commands));
    result[QStringLiteral("commands")] = double(commands);
    result[QStringLiteral("pages")] = pages.pageCount();
    result[QStringLiteral("pdf bytes")] = double(QFileInfo(pdf).size());
    result[QStringLiteral("start peak kB")] = double(before);
    result[QStringLiteral("peak kB")] = double(peakResidentKb());
    return result;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser parser;
    BenchHome::addOptions(parser);
    const QCommandLineOption forms(QStringLiteral("forms"), QStringLiteral("Customers with a dispatch form."), QStringLiteral("N"), QStringLiteral("1000"));
    const QCommandLineOption pdf(QStringLiteral("pdf"), QStringLiteral("Folder for the PDFs."), QStringLiteral("DIR"));
    const QCommandLineOption home(QStringLiteral("home"), QStringLiteral("Internal: program folder."), QStringLiteral("DIR"));
    const QCommandLineOption form(QStringLiteral("form"), QStringLiteral("Internal: run one form."), QStringLiteral("NAME"));
    const QCommandLineOption count(QStringLiteral("count"), QStringLiteral("Internal: customers."), QStringLiteral("N"));
    const QCommandLineOption file(QStringLiteral("file"), QStringLiteral("Internal: PDF file."), QStringLiteral("FILE"));
    parser.addOptions({forms, pdf, home, form, count, file});
    parser.setApplicationDescription(QStringLiteral("--rows defaults to 100000 here."));
    parser.addHelpOption();
    QStringList arguments = QCoreApplication::arguments();
    if (!arguments.contains(QStringLiteral("--rows")))
        arguments << QStringLiteral("--rows") << QStringLiteral("100000");
    parser.process(arguments);

    if (parser.isSet(form)) {
        const QJsonObject result = run(parser.value(home), parser.value(form), parser.value(count).toInt(), parser.value(file));
        std::printf("%s\n", QJsonDocument(result).toJson(QJsonDocument::Compact).constData());
        return 0;
    }

    // A program folder with the customers and the delivered templates.
    BenchHome bench(parser);
    if (!bench.isReady())
        return 1;
    const QString folder = bench.path();
    QDir(folder).mkpath(QStringLiteral("Reports"));
    const QDir templates(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("Reports")));
    for (const QString &name : templates.entryList({QStringLiteral("*.xml")}, QDir::Files)) {
        QFile::remove(QDir(folder).filePath(QStringLiteral("Reports/") + name));
        QFile::copy(templates.filePath(name), QDir(folder).filePath(QStringLiteral("Reports/") + name));
    }

    const QString out = parser.isSet(pdf) ? parser.value(pdf) : folder;
    const auto measure = [&](const QString &name, int rows) {
        QProcess child;
        const QString path = QDir(out).filePath(name + QStringLiteral(".pdf"));
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--form"), name, QStringLiteral("--home"), folder, QStringLiteral("--count"),
                     QString::number(rows), QStringLiteral("--file"), path});
        child.waitForFinished(-1);
        const QJsonObject r = QJsonDocument::fromJson(child.readAllStandardOutput().trimmed().split('\n').last()).object();
        if (r.contains(QStringLiteral("error")) || r.isEmpty()) {
            std::printf("%s: %s\n", qPrintable(name), qPrintable(r.value(QStringLiteral("error")).toString()));
            return;
        }
        const double start = r[QStringLiteral("start peak kB")].toDouble() / 1024;
        const double prepared = r[QStringLiteral("prepared peak kB")].toDouble() / 1024;
        std::printf("%-6s %7d customers %6d pages %9.0f commands | prepare %7.0f ms (list read alone %.0f ms), PDF %7.0f ms | "
                    "peak %6.1f MB (%.1f at start, +%.1f preparing; commands hold %.1f MB) | PDF %.1f MB\n",
                    qPrintable(name), rows, r[QStringLiteral("pages")].toInt(), r[QStringLiteral("commands")].toDouble(),
                    r[QStringLiteral("prepare ms")].toDouble(), r[QStringLiteral("read ms")].toDouble(), r[QStringLiteral("pdf ms")].toDouble(),
                    r[QStringLiteral("peak kB")].toDouble() / 1024, start, prepared - start,
                    megabytes(qint64(r[QStringLiteral("command bytes")].toDouble())),
                    megabytes(qint64(r[QStringLiteral("pdf bytes")].toDouble())));
    };
    measure(QStringLiteral("forms"), qMin(parser.value(forms).toInt(), bench.rows()));
    measure(QStringLiteral("list"), bench.rows());
    return 0;
}
