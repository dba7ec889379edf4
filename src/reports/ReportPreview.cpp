#include "ReportPreview.h"
#include "ui_ReportPreview.h"

#include "DataGrid.h"
#include "MessageBoxes.h"
#include "Report.h"
#include "ReportEngine.h"
#include "ReportRenderer.h"
#include "TFrm_Data.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QScreen>

QPointer<ReportPreview> Frm_Preview;

namespace {

QPageLayout pageLayoutOf(const ReportPage &page)
{
    const bool landscape = page.isLandscape();
    const QSizeF paper = landscape ? QSizeF(page.height, page.width) : QSizeF(page.width, page.height);
    return QPageLayout(QPageSize(paper, QPageSize::Millimeter, QString(), QPageSize::FuzzyMatch),
                       landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(page.leftMargin, page.topMargin, page.rightMargin, page.bottomMargin),
                       QPageLayout::Millimeter);
}

} // namespace

ReportPreview::ReportPreview(TFrm_Data &data, const ReportTemplate &layout, const QString &templateName, QWidget *parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::ReportPreview>()), m_data(data), m_layout(layout), m_templateName(templateName)
{
    m_ui->setupUi(this);
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    setWindowTitle(QStringLiteral("打印预览 - ") + templateName);
    // Within the screen, less its frame, on small screens.
    resize(size().boundedTo(screen()->availableGeometry().size() * 0.94));
    m_ui->Combo_Zoom->setCurrentIndex(m_ui->Combo_Zoom->findText(QStringLiteral("页宽")));

    connect(m_ui->Btn_Print, &QToolButton::clicked, this, &ReportPreview::Btn_PrintClick);
    connect(m_ui->Btn_PageSetup, &QToolButton::clicked, this, &ReportPreview::Btn_PageSetupClick);
    connect(m_ui->Btn_ExportPdf, &QToolButton::clicked, this, &ReportPreview::Btn_ExportPdfClick);
    connect(m_ui->Btn_Find, &QToolButton::clicked, this, &ReportPreview::Btn_FindClick);
    connect(m_ui->Edit_Find, &QLineEdit::returnPressed, this, &ReportPreview::Btn_FindClick);
    connect(m_ui->Edit_Find, &QLineEdit::textChanged, this, [this] { m_lastHit = -1; });
    connect(m_ui->Btn_Close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_ui->Btn_First, &QToolButton::clicked, this, [this] { m_ui->View_Pages->showPage(0); });
    connect(m_ui->Btn_Prior, &QToolButton::clicked, this,
            [this] { m_ui->View_Pages->showPage(m_ui->View_Pages->currentPage() - 1); });
    connect(m_ui->Btn_Next, &QToolButton::clicked, this,
            [this] { m_ui->View_Pages->showPage(m_ui->View_Pages->currentPage() + 1); });
    connect(m_ui->Btn_Last, &QToolButton::clicked, this,
            [this] { m_ui->View_Pages->showPage(m_prepared.pageCount() - 1); });
    connect(m_ui->Spin_Page, &QSpinBox::valueChanged, this, [this](int page) {
        if (page - 1 != m_ui->View_Pages->currentPage())
            m_ui->View_Pages->showPage(page - 1);
    });
    connect(m_ui->Combo_Zoom, &QComboBox::textActivated, this, &ReportPreview::Combo_ZoomChange);
    connect(m_ui->Combo_Zoom->lineEdit(), &QLineEdit::editingFinished, this, &ReportPreview::Combo_ZoomChange);
    connect(m_ui->Combo_Scope, &QComboBox::activated, this, &ReportPreview::Combo_ScopeChange);
    connect(m_ui->View_Pages, &ReportPageView::currentPageChanged, this, &ReportPreview::pageChanged);
    m_ui->View_Pages->setZoom(ReportPageView::Fit::PageWidth);
    Frm_Preview = this;
}

ReportPreview::~ReportPreview() = default;

void ReportPreview::PrintReport(TFrm_Data &data, const Report &report, QWidget *parent)
{
    if (!report.loadError().isEmpty()) {
        MessageBoxes::error(report.loadError());
        return;
    }
    ReportPreview preview(data, report.layout(), report.displayName(), parent);
    if (preview.prepare())
        preview.exec();
}

QList<int> ReportPreview::selectedCustomers() const
{
    // The rows the operator selected in a grid of the customer list (the browser's).
    QWidget *window = parentWidget() ? parentWidget()->window() : nullptr;
    if (!window)
        return {};
    for (const DataGrid *grid : window->findChildren<DataGrid *>()) {
        if (grid->gridModel() == m_data.Qry_Cust)
            return grid->selectedRowNumbers();
    }
    return {};
}

bool ReportPreview::prepare()
{
    ReportDataSets dataSets(m_data, m_scope, m_scope == ReportDataSets::Scope::SelectedCustomers ? selectedCustomers() : QList<int>());
    ReportEngine engine(m_layout, dataSets.sources());
    engine.setTemplateName(m_templateName);
    QProgressDialog progress(QStringLiteral("正在准备报表..."), QStringLiteral("取消"), 0, 1, this);
    progress.setWindowTitle(windowTitle());
    progress.setMinimumDuration(500);
    progress.setWindowModality(Qt::ApplicationModal);
    engine.setProgressHandler([&progress](int done, int total) {
        progress.setMaximum(total);
        progress.setValue(done);
        return !progress.wasCanceled();
    });
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto restore = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
    PreparedReport pages;
    if (!engine.prepare(&pages)) {
        if (!engine.errorString().isEmpty())
            MessageBoxes::error(engine.errorString());
        return false;
    }
    m_prepared = std::move(pages);
    m_lastHit = -1;
    m_ui->View_Pages->setReport(&m_prepared);
    showPageCount();
    return true;
}

void ReportPreview::showPageCount()
{
    const int pages = m_prepared.pageCount();
    m_ui->Spin_Page->setRange(pages > 0 ? 1 : 0, qMax(1, pages));
    m_ui->Label_PageCount->setText(QStringLiteral("/ %1").arg(pages));
    for (QWidget *control : {static_cast<QWidget *>(m_ui->Btn_Print), static_cast<QWidget *>(m_ui->Btn_ExportPdf),
                             static_cast<QWidget *>(m_ui->Btn_Find), static_cast<QWidget *>(m_ui->Spin_Page)})
        control->setEnabled(pages > 0);
    pageChanged(m_ui->View_Pages->currentPage());
}

void ReportPreview::pageChanged(int page)
{
    const int pages = m_prepared.pageCount();
    if (pages == 0) {
        m_ui->Label_Status->setText(QStringLiteral("没有可打印的页面"));
    } else {
        m_ui->Label_Status->setText(QStringLiteral("第 %1 页 / 共 %2 页").arg(page + 1).arg(pages));
        const QSignalBlocker block(m_ui->Spin_Page);
        m_ui->Spin_Page->setValue(page + 1);
    }
    m_ui->Btn_First->setEnabled(page > 0);
    m_ui->Btn_Prior->setEnabled(page > 0);
    m_ui->Btn_Next->setEnabled(page + 1 < pages);
    m_ui->Btn_Last->setEnabled(page + 1 < pages);
}

void ReportPreview::Combo_ZoomChange()
{
    const QString text = m_ui->Combo_Zoom->currentText().trimmed();
    if (text == QLatin1String("整页")) {
        m_ui->View_Pages->setZoom(ReportPageView::Fit::WholePage);
        return;
    }
    if (text == QLatin1String("页宽")) {
        m_ui->View_Pages->setZoom(ReportPageView::Fit::PageWidth);
        return;
    }
    static const QRegularExpression percent(QStringLiteral("^(\\d{1,3})\\s*%?$"));
    const QRegularExpressionMatch match = percent.match(text);
    if (match.hasMatch() && match.captured(1).toInt() > 0)
        m_ui->View_Pages->setZoom(ReportPageView::Fit::Percent, match.captured(1).toInt());
}

void ReportPreview::Combo_ScopeChange(int index)
{
    const auto scope = static_cast<ReportDataSets::Scope>(index);
    if (scope == m_scope)
        return;
    m_scope = scope;
    prepare();
}

bool ReportPreview::printTo(QPrinter &printer) const
{
    int first = 0;
    int last = m_prepared.pageCount() - 1;
    if (printer.printRange() == QPrinter::PageRange) {
        first = printer.fromPage() - 1;
        last = qMin(last, printer.toPage() - 1);
    } else if (printer.printRange() == QPrinter::CurrentPage) {
        first = last = m_ui->View_Pages->currentPage();
    }
    printer.setFullPage(true);
    return ReportRenderer::print(m_prepared, printer, first, last);
}

void ReportPreview::Btn_PrintClick()
{
    // The workstation's default printer unless the operator chooses another.
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(m_templateName);
    printer.setPageLayout(pageLayoutOf(m_layout.page));
    QPrintDialog dialog(&printer, this);
    dialog.setObjectName(QStringLiteral("Dialog_Print"));
    dialog.setMinMax(1, m_prepared.pageCount());
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (!printTo(printer))
        MessageBoxes::box(QStringLiteral("打印失败, 请检查打印机。"), QStringLiteral("打印"), QMessageBox::Warning);
}

void ReportPreview::Btn_PageSetupClick()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(pageLayoutOf(m_layout.page));
    QPageSetupDialog dialog(&printer, this);
    dialog.setObjectName(QStringLiteral("Dialog_PageSetup"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QPageLayout chosen = printer.pageLayout();
    const QSizeF paper = chosen.pageSize().size(QPageSize::Millimeter);
    ReportPage &page = m_layout.page;
    page.width = paper.width();
    page.height = paper.height();
    page.setLandscape(chosen.orientation() == QPageLayout::Landscape);
    const QMarginsF margins = chosen.margins(QPageLayout::Millimeter);
    page.leftMargin = margins.left();
    page.topMargin = margins.top();
    page.rightMargin = margins.right();
    page.bottomMargin = margins.bottom();
    prepare();
}

bool ReportPreview::exportPdf(const QString &path)
{
    QString error;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool written = ReportRenderer::writePdf(m_prepared, path, &error);
    QApplication::restoreOverrideCursor();
    if (!written) {
        MessageBoxes::box(QStringLiteral("无法导出 PDF 文件 %1: %2").arg(QDir::toNativeSeparators(path), error),
                          QStringLiteral("导出PDF"), QMessageBox::Warning);
        return false;
    }
    m_ui->Label_Status->setText(QStringLiteral("已导出到 %1").arg(QDir::toNativeSeparators(path)));
    return true;
}

void ReportPreview::Btn_ExportPdfClick()
{
    QFileDialog dialog(this, QStringLiteral("导出PDF"),
                       QDir::home().filePath(QFileInfo(m_templateName).completeBaseName() + QStringLiteral(".pdf")),
                       QStringLiteral("PDF 文件 (*.pdf)"));
    dialog.setObjectName(QStringLiteral("Dialog_ExportPdf"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    // Qt's own dialog: the same on every desktop.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    exportPdf(dialog.selectedFiles().constFirst());
}

void ReportPreview::Btn_FindClick()
{
    const QString text = m_ui->Edit_Find->text();
    if (text.isEmpty())
        return;
    const QVector<PreparedReport::Hit> hits = m_prepared.find(text);
    if (hits.isEmpty()) {
        m_ui->View_Pages->showHit({});
        MessageBoxes::box(QStringLiteral("没有找到 \"%1\"。").arg(text), QStringLiteral("查找"), QMessageBox::Information);
        return;
    }
    m_lastHit = (m_lastHit + 1) % hits.size();
    m_ui->View_Pages->showHit(hits[m_lastHit]);
    m_ui->Label_Status->setText(QStringLiteral("第 %1 处 / 共 %2 处, 在第 %3 页")
                                    .arg(m_lastHit + 1).arg(hits.size()).arg(hits[m_lastHit].page + 1));
}
