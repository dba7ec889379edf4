#pragma once

#include "CustomerImport.h"

#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <memory>

namespace Ui { class TFrm_Import; }
class DataSet;
class SheetCells;
class TFrm_Data;

// The mapping window of the customer import: pairs each importable customer column with a
// column of the sheet, then appends one customer per sheet row, showing the progress and
// the counts of rows that went in and rows that failed. One import per opening.
class TFrm_Import : public QDialog
{
    Q_OBJECT
public:
    TFrm_Import(TFrm_Data &data, const SheetCells &sheet, CustomerImport::NameInitials initials, QWidget *parent = nullptr);
    ~TFrm_Import() override;

    // The main window's command: asks for a workbook, reads its active sheet, pre-fills the
    // mapping by position and shows the mapping window.
    static void sss1Click(TFrm_Data &data, CustomerImport::NameInitials initials, QWidget *parent);

    void setImportTable(const QString &table) { ImportTable = table; }

signals:
    // The import ran to its end and its closing message was shown.
    void importFinished();

public slots:
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void FormShow();
    void Btn_StartClick();
    void Btn_HelpClick();
    void Btn_FailedClick();
    void importBatch();
    void finishImport();
    bool running() const { return m_import && !m_finished; }

    std::unique_ptr<Ui::TFrm_Import> m_ui;
    TFrm_Data &m_data;
    const SheetCells &m_sheet;
    CustomerImport::NameInitials m_initials;
    QString ImportTable;
    DataSet *Qry_Info;
    std::unique_ptr<CustomerImport> m_import;
    QTimer m_batches;
    bool m_shown = false;
    bool m_finished = false;
};

extern QPointer<TFrm_Import> Frm_Import;
