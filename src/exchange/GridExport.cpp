#include "GridExport.h"

#include "DataGrid.h"
#include "DataSet.h"
#include "FileDialogs.h"
#include "GridSheet.h"
#include "MessageBoxes.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProgressDialog>
#include <QStandardPaths>
#include <QUrl>

namespace {

const QString XlsFilter = QStringLiteral("EXCEL文件(*.xls)");
const QString XlsxFilter = QStringLiteral("Excel 工作簿 (*.xlsx)");
const QString CsvFilter = QStringLiteral("CSV 文件 (*.csv)");

struct ExportTarget
{
    QString fileName;
    SheetWriter::Format format;
};

// The file name without blanks around it, with the extension of the chosen type. For .xls
// the extension is added when ".xls" occurs nowhere in the name (a case-sensitive search).
ExportTarget exportTarget(const QString &chosen, const QString &filter)
{
    const QString trimmed = chosen.trimmed();
    const int slash = trimmed.lastIndexOf(QLatin1Char('/'));
    QString name = trimmed.left(slash + 1) + trimmed.mid(slash + 1).trimmed();
    if (filter == XlsxFilter) {
        if (!name.endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive))
            name += QStringLiteral(".xlsx");
        return {name, SheetWriter::Format::Xlsx};
    }
    if (filter == CsvFilter) {
        if (!name.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive))
            name += QStringLiteral(".csv");
        return {name, SheetWriter::Format::Csv};
    }
    if (!name.contains(QLatin1String(".xls")))
        name += QStringLiteral(".xls");
    // A name that says .xlsx gets a workbook of that type, not the cell-record stream.
    return {name, name.endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive) ? SheetWriter::Format::Xlsx
                                                                            : SheetWriter::Format::XlsStream};
}

QString &lastDirectory()
{
    // The documents folder where the desktop has one; the dialog shows a missing folder as a
    // path in the file name.
    static QString directory = [] {
        const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        return QDir(documents).exists() ? documents : QDir::homePath();
    }();
    return directory;
}

// The .xls stream numbers its rows in 16 bits; a longer grid goes to .xlsx if the operator
// agrees, never into a wrong file.
bool fitsFormat(const GridSheet &sheet, ExportTarget &target)
{
    if (sheet.rowCount() <= SheetWriter::maxRows(target.format))
        return true;
    const int records = SheetWriter::maxRows(target.format) - (sheet.rowCount() - sheet.recordCount());
    const QString question = QStringLiteral("共有 %1 条记录，.xls 文件最多只能保存 %2 条。\n是否改存为 Excel 工作簿 (.xlsx)？")
                                 .arg(sheet.recordCount())
                                 .arg(records);
    if (MessageBoxes::dialog(MessageBoxes::DialogType::Confirmation, question, QMessageBox::Yes | QMessageBox::No)
        != QMessageBox::Yes)
        return false;
    target.fileName += target.fileName.endsWith(QLatin1String(".xls"), Qt::CaseInsensitive) ? QStringLiteral("x")
                                                                                           : QStringLiteral(".xlsx");
    target.format = SheetWriter::Format::Xlsx;
    return true;
}

} // namespace

QString &ExportFileName()
{
    static QString name;
    return name;
}

void ExportGridToExcel(DataSet *dataSet, DataGrid *grid)
{
    if (!dataSet || !dataSet->isOpen()) {
        MessageBoxes::plain(QStringLiteral("数据没有显示不能导出成Excel文件!"));
        return;
    }
    if (dataSet->isEmpty()) {
        MessageBoxes::plain(QStringLiteral("没有数据,不能导出成Excel文件!"));
        return;
    }
    QWidget *window = grid ? grid->window() : QApplication::activeWindow();
    const FileDialogs::Answer answer = FileDialogs::save(window, QStringLiteral("另存为"), lastDirectory(),
                                                         ExportFileName(), {XlsFilter, XlsxFilter, CsvFilter});
    if (answer.fileName.trimmed().isEmpty() || QFileInfo(answer.fileName.trimmed()).fileName().trimmed().isEmpty())
        return;
    ExportTarget target = exportTarget(answer.fileName, answer.filter);
    if (!grid)
        return;
    const GridSheet sheet(grid);
    if (!fitsFormat(sheet, target))
        return;
    lastDirectory() = QFileInfo(target.fileName).absolutePath();

    QProgressDialog progress(QStringLiteral("正在导出 %1 条记录…").arg(sheet.recordCount()), QStringLiteral("取消"), 0,
                             sheet.recordCount(), window);
    progress.setWindowTitle(QStringLiteral("导出"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    QString error;
    const bool written = sheet.write(target.format, target.fileName, &error, [&progress](int done) {
        if (done % 256 == 0)
            progress.setValue(done);
        return !progress.wasCanceled();
    });
    progress.reset();
    if (!written) {
        if (!error.isEmpty())
            MessageBoxes::error(QStringLiteral("不能写入文件 %1:\n%2").arg(QDir::toNativeSeparators(target.fileName), error));
        return;
    }
    const QString path = QDir::toNativeSeparators(QFileInfo(target.fileName).absoluteFilePath());
    if (MessageBoxes::dialog(MessageBoxes::DialogType::Information, QStringLiteral("文件") + path + QStringLiteral("已建立，是否打开文件？"),
                             QMessageBox::Ok | QMessageBox::Cancel)
        == QMessageBox::Ok)
        QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(target.fileName).absoluteFilePath()));
}
