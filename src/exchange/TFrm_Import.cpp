#include "TFrm_Import.h"
#include "ui_TFrm_Import.h"

#include "DataGrid.h"
#include "DataSet.h"
#include "FileDialogs.h"
#include "GridColumns.h"
#include "ImportMapping.h"
#include "MessageBoxes.h"
#include "SheetCells.h"
#include "SheetWriter.h"
#include "TFrm_Data.h"
#include "TemporaryTarget.h"
#include "WorkbookReader.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStyledItemDelegate>
#include <QUrl>

QPointer<TFrm_Import> Frm_Import;

namespace {

const QString CustomerTable = QStringLiteral("custom");

// The database side of the mapping is not the operator's to change.
class ReadOnlyDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget *createEditor(QWidget *, const QStyleOptionViewItem &, const QModelIndex &) const override { return nullptr; }
};

// The sheet side: the headers of the sheet to pick from, or a header typed by hand.
class HeaderPickList : public QStyledItemDelegate
{
public:
    HeaderPickList(const QStringList &headers, QObject *parent) : QStyledItemDelegate(parent), m_headers(headers) {}

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &) const override
    {
        auto *combo = new QComboBox(parent);
        combo->setObjectName(QStringLiteral("PickList"));
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->addItem(QString());
        combo->addItems(m_headers);
        // Every choice is stored at once, so starting the import never loses the last one.
        connect(combo, &QComboBox::currentTextChanged, this, [this, combo] {
            emit const_cast<HeaderPickList *>(this)->commitData(combo);
        });
        return combo;
    }

    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        auto *combo = static_cast<QComboBox *>(editor);
        const QSignalBlocker blocker(combo);
        const QString header = index.data(Qt::EditRole).toString();
        const int position = combo->findText(header);
        if (position >= 0)
            combo->setCurrentIndex(position);
        else
            combo->setEditText(header.trimmed());
    }

    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override
    {
        const QString header = ImportMapping::storedHeader(static_cast<QComboBox *>(editor)->currentText());
        if (header != index.data(Qt::EditRole).toString())
            model->setData(index, header);
    }

private:
    QStringList m_headers;
};

QStringList duplicates(const QStringList &headers)
{
    QStringList found;
    for (int i = 0; i < headers.size(); ++i) {
        if (headers[i].trimmed().isEmpty())
            continue;
        for (int j = 0; j < i; ++j) {
            if (headers[j].compare(headers[i], Qt::CaseInsensitive) == 0 && !found.contains(headers[i], Qt::CaseInsensitive)) {
                found << headers[i];
                break;
            }
        }
    }
    return found;
}

bool writeFailedRows(const QString &fileName, const QStringList &headers, const QList<QStringList> &rows, QString *error)
{
    TemporaryTarget target(fileName);
    if (!target.create(error))
        return false;
    std::unique_ptr<SheetWriter> writer = SheetWriter::create(SheetWriter::Format::Csv);
    bool ok = writer->begin(target.path(), {}) && writer->writeTitles(headers);
    for (const QStringList &row : rows) {
        QVector<ExportCell> cells;
        for (const QString &text : row)
            cells << ExportCell::ofText(text);
        ok = ok && writer->writeRow(cells);
    }
    ok = ok && writer->finish();
    if (!ok) {
        *error = writer->errorString();
        return false;
    }
    return target.replaceTarget(error);
}

} // namespace

TFrm_Import::TFrm_Import(TFrm_Data &data, const SheetCells &sheet, CustomerImport::NameInitials initials, QWidget *parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::TFrm_Import>()), m_data(data), m_sheet(sheet), m_initials(initials),
      Qry_Info(new DataSet(QStringLiteral("Qry_Info"), &data.connection(), this))
{
    m_ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(446, 369);
    Qry_Info->setPendingChanges(QStringLiteral("T_Import"), QStringLiteral("ImportID"));
    DataGrid *grid = m_ui->DBGridEh1;
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setEditTriggers(QAbstractItemView::CurrentChanged | QAbstractItemView::SelectedClicked
                          | QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                          | QAbstractItemView::AnyKeyPressed);
    m_batches.setInterval(0);
    connect(&m_batches, &QTimer::timeout, this, &TFrm_Import::importBatch);
    connect(m_ui->Btn_Start, &QPushButton::clicked, this, &TFrm_Import::Btn_StartClick);
    connect(m_ui->Btn_Exit, &QPushButton::clicked, this, &TFrm_Import::reject);
    connect(m_ui->Btn_Help, &QPushButton::clicked, this, &TFrm_Import::Btn_HelpClick);
    connect(m_ui->Btn_Failed, &QPushButton::clicked, this, &TFrm_Import::Btn_FailedClick);
}

TFrm_Import::~TFrm_Import() = default;

void TFrm_Import::sss1Click(TFrm_Data &data, CustomerImport::NameInitials initials, QWidget *parent)
{
    const FileDialogs::Answer answer = FileDialogs::open(
        parent, QStringLiteral("Excel文件导入到数据库"), data.programDir(),
        {QStringLiteral("Excel文件 (*.xls *.xlsx)"), QStringLiteral("所有支持的工作簿 (*.xls *.xlsx *.ods *.csv)"),
         QStringLiteral("Excel 97-2003 工作簿 (*.xls)"), QStringLiteral("Excel 工作簿 (*.xlsx)"),
         QStringLiteral("OpenDocument 电子表格 (*.ods)"), QStringLiteral("CSV 文件 (*.csv)"), QStringLiteral("所有文件 (*)")});
    if (answer.fileName.isEmpty())
        return;
    SheetCells sheet;
    QString error;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool read = WorkbookReader::read(answer.fileName, sheet, &error);
    QApplication::restoreOverrideCursor();
    if (!read) {
        MessageBoxes::box(error, QStringLiteral("提示"), QMessageBox::Warning);
        return;
    }
    if (sheet.rowCount() == 0) {
        MessageBoxes::box(QStringLiteral("工作表中没有数据，没有可以导入的内容。"), QStringLiteral("提示"), QMessageBox::Warning);
        return;
    }
    const QStringList headers = sheet.row(0);
    const QStringList repeated = duplicates(headers);
    if (!repeated.isEmpty())
        MessageBoxes::box(QStringLiteral("工作表第一行有重复的列标题：%1。\n导入时只用同名列中的第一列。").arg(repeated.join(QStringLiteral("、"))),
                          QStringLiteral("提示"), QMessageBox::Information);
    if (!ImportMapping::prefill(data, CustomerTable, headers))
        return;
    TFrm_Import window(data, sheet, initials, parent);
    window.setImportTable(CustomerTable);
    Frm_Import = &window;
    window.exec();
}

void TFrm_Import::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TFrm_Import::FormShow()
{
    setWindowTitle(QStringLiteral("字段映射"));
    m_ui->Label1->setText(QStringLiteral("Excel中共有 %1 条记录").arg(qMax(0, m_sheet.rowCount() - 1)));
    m_data.RunQuery(Qry_Info,
                    QStringLiteral("select ImportID, S_Field, FieldName, F_Field from T_Import where tablename = :table order by ImportID"),
                    {{QStringLiteral(":table"), ImportTable}});
    DataGrid *grid = m_ui->DBGridEh1;
    GridColumns::BuildGridColumns(m_data, grid, Qry_Info, QStringLiteral("import"));
    grid->setItemDelegateForColumn(0, new ReadOnlyDelegate(grid));
    grid->setItemDelegateForColumn(1, new HeaderPickList(m_sheet.row(0), grid));
    grid->horizontalHeader()->setStretchLastSection(true);
}

void TFrm_Import::Btn_StartClick()
{
    if (m_import)
        return;
    // The choice being edited is stored with the others.
    m_ui->DBGridEh1->setCurrentIndex(QModelIndex());
    if (!Qry_Info->applyUpdates()) {
        MessageBoxes::error(Qry_Info->lastError().text());
        return;
    }
    const QList<CustomerImport::Pair> pairs = ImportMapping::activePairs(m_data, ImportTable);
    if (ImportTable.compare(CustomerTable, Qt::CaseInsensitive) != 0)
        return;
    m_ui->Btn_Start->setEnabled(false);
    m_ui->Btn_Exit->setEnabled(false);
    QApplication::setOverrideCursor(Qt::BusyCursor);
    m_import = std::make_unique<CustomerImport>(m_data.database(), m_data.dialect(), m_sheet, pairs, m_initials);
    m_ui->ProgressBar1->setRange(0, qMax(1, m_import->rowCount()));
    m_ui->ProgressBar1->setValue(0);
    m_batches.start();
}

void TFrm_Import::importBatch()
{
    m_import->importRows(CustomerImport::BatchRows);
    m_ui->ProgressBar1->setValue(m_import->rowsDone());
    if (m_import->atEnd())
        finishImport();
}

void TFrm_Import::finishImport()
{
    m_batches.stop();
    m_finished = true;
    m_ui->ProgressBar1->setValue(m_ui->ProgressBar1->maximum());
    QApplication::restoreOverrideCursor();
    m_ui->Btn_Exit->setEnabled(true);
    m_ui->Btn_Failed->setEnabled(m_import->failed() > 0);
    // The customer list shows the new customers.
    if (m_data.Qry_Cust->isOpen())
        m_data.Qry_Cust->reopen();
    MessageBoxes::dialog(MessageBoxes::DialogType::Confirmation,
                         QStringLiteral("导入数据完成,导入成功 %1 条,导入失败 %2 条").arg(m_import->succeeded()).arg(m_import->failed()),
                         QMessageBox::Ok);
    emit importFinished();
}

void TFrm_Import::Btn_HelpClick()
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(QDir(m_data.programDir()).filePath(QStringLiteral("help/import.html"))));
}

void TFrm_Import::Btn_FailedClick()
{
    if (!m_import || m_import->failed() == 0)
        return;
    const FileDialogs::Answer answer = FileDialogs::save(
        this, QStringLiteral("保存失败记录"), QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation),
        QStringLiteral("导入失败记录.csv"), {QStringLiteral("CSV 文件 (*.csv)")});
    QString fileName = answer.fileName.trimmed();
    if (fileName.isEmpty())
        return;
    if (!fileName.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive))
        fileName += QStringLiteral(".csv");
    const QStringList headers = QStringList{QStringLiteral("行号"), QStringLiteral("原因")} + m_sheet.row(0);
    QList<QStringList> rows;
    for (const CustomerImport::Failure &failure : m_import->failures())
        rows << (QStringList{QString::number(failure.sheetRow), failure.reason} + m_sheet.row(failure.sheetRow - 1));
    QString error;
    if (!writeFailedRows(fileName, headers, rows, &error))
        MessageBoxes::error(QStringLiteral("不能写入文件 %1:\n%2").arg(QDir::toNativeSeparators(fileName), error));
}

void TFrm_Import::reject()
{
    // An import under way finishes its rows first.
    if (!running())
        QDialog::reject();
}

void TFrm_Import::closeEvent(QCloseEvent *event)
{
    if (running())
        event->ignore();
    else
        QDialog::closeEvent(event);
}
