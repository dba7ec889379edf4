#pragma once

#include "PreparedReport.h"
#include "ReportDataSets.h"
#include "ReportTemplate.h"

#include <QDialog>
#include <QPointer>
#include <memory>

namespace Ui { class ReportPreview; }
class QPrinter;
class Report;
class TFrm_Data;

// The preview of a printed form: its pages prepared from the customer list (all of it, the
// current customer or the selected ones), page by page or as a whole, and from here printed,
// exported to PDF or searched. Page setup changes this printing only, not the template.
class ReportPreview : public QDialog
{
    Q_OBJECT
public:
    ReportPreview(TFrm_Data &data, const ReportTemplate &layout, const QString &templateName, QWidget *parent = nullptr);
    ~ReportPreview() override;

    // Prepares the pages anew; a fault in the template is shown and nothing is prepared.
    bool prepare();
    const PreparedReport &prepared() const { return m_prepared; }
    const ReportTemplate &layout() const { return m_layout; }

    // Prints the pages the printer's range names (all of them by default).
    bool printTo(QPrinter &printer) const;
    // Writes every page to a PDF file; a failure is shown.
    bool exportPdf(const QString &path);

    // The print commands: prepares the report from the current data and shows its preview;
    // a template that cannot be read or prepared gives its message and no preview.
    static void PrintReport(TFrm_Data &data, const Report &report, QWidget *parent);

private:
    void Btn_PrintClick();
    void Btn_PageSetupClick();
    void Btn_ExportPdfClick();
    void Btn_FindClick();
    void Combo_ZoomChange();
    void Combo_ScopeChange(int index);
    void pageChanged(int page);
    void showPageCount();
    QList<int> selectedCustomers() const;

    std::unique_ptr<Ui::ReportPreview> m_ui;
    TFrm_Data &m_data;
    ReportTemplate m_layout;
    QString m_templateName;
    PreparedReport m_prepared;
    ReportDataSets::Scope m_scope = ReportDataSets::Scope::AllCustomers;
    int m_lastHit = -1;
};

extern QPointer<ReportPreview> Frm_Preview;
