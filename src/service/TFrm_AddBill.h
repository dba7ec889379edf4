#pragma once

#include "RecordEditor.h"

#include <QPointer>
#include <memory>

namespace Ui { class TFrm_AddBill; }
class Session;

// A complaint of the current customer, added to or edited in the shared complaints that the
// customer browser shows. The dialog stays open after an add for the next complaint.
class TFrm_AddBill : public RecordEditor
{
    Q_OBJECT
public:
    TFrm_AddBill(TFrm_Data &data, Session &session, Mode mode, QWidget *parent = nullptr);
    ~TFrm_AddBill() override;

    // The main window's commands.
    static void AddBill(TFrm_Data &data, Session &session, QWidget *parent);
    static void EditBill(TFrm_Data &data, Session &session, QWidget *parent);
    static void DelBill(TFrm_Data &data);

protected:
    void showEvent(QShowEvent *event) override;
    void recordMoved() override;

private:
    void FormShow();
    void ClearComplaintFields();
    void LoadCurrentComplaint();
    void Btn_OKClick();

    std::unique_ptr<Ui::TFrm_AddBill> m_ui;
    Session &m_session;
    bool m_shown = false;
};

extern QPointer<TFrm_AddBill> Frm_AddBill;
