#pragma once

#include "ReportTemplate.h"

#include <QDialog>
#include <QPointer>
#include <functional>
#include <memory>

namespace Ui { class ReportDesigner; }
class QUndoStack;
class Report;
class TFrm_Data;

// The designer of a report object's template, opened modally by the design commands. It
// works on a copy: saving writes the template to its file (atomically; a name is asked for
// when the report has none) and hands it to the report object, so it is the one printed
// next. Every change can be undone.
class ReportDesigner : public QDialog
{
    Q_OBJECT
public:
    ReportDesigner(TFrm_Data &data, Report &report, QWidget *parent = nullptr);
    ~ReportDesigner() override;

    const ReportTemplate &layout() const { return m_layout; }
    bool isModified() const;
    // Saves to the report's file, asking for one when it has none; false when not saved.
    bool save();

    // The design commands.
    static void DesignReport(TFrm_Data &data, Report &report, QWidget *parent);

    // Closing asks first whether changes are to be saved.
    void reject() override;

private:
    class Step;

    void Btn_SaveClick();
    void Btn_PreviewClick();
    void Btn_AddTextClick();
    void Btn_AddLineClick();
    void Btn_AddRectClick();
    void Btn_AddPictureClick();
    void Btn_DeleteClick();
    void Btn_DeleteBandClick();
    void addBand(ReportBand::Type type);
    void addItem(ReportItem item);
    void Tree_FieldsDoubleClick();

    void beginEdit();
    void finishEdit(const QString &what, int mergeId = -1);
    // Changes the template through change and records it as one step.
    void edit(const QString &what, int mergeId, const std::function<void()> &change);
    void setLayout(const ReportTemplate &layout);
    void refreshProperties();
    void connectProperties();
    void fillFieldList();
    void showTitle();
    int targetBand();
    QString askFileName();

    std::unique_ptr<Ui::ReportDesigner> m_ui;
    TFrm_Data &m_data;
    Report &m_report;
    ReportTemplate m_layout;
    ReportTemplate m_beforeEdit;
    QUndoStack *m_undo;
    bool m_refreshing = false;
};

extern QPointer<ReportDesigner> Frm_Designer;
