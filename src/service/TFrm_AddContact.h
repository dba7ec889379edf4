#pragma once

#include "RecordEditor.h"

#include <QPointer>
#include <memory>

namespace Ui { class TFrm_AddContact; }
class Session;

// A return visit of the current customer, added to or edited in the shared visits that the
// customer browser shows, so its grid follows every change.
class TFrm_AddContact : public RecordEditor
{
    Q_OBJECT
public:
    TFrm_AddContact(TFrm_Data &data, Session &session, Mode mode, QWidget *parent = nullptr);
    ~TFrm_AddContact() override;

    // The main window's commands.
    static void AddContact(TFrm_Data &data, Session &session, QWidget *parent);
    static void EditContact(TFrm_Data &data, Session &session, QWidget *parent);
    static void DelContact(TFrm_Data &data);

protected:
    void showEvent(QShowEvent *event) override;
    void recordMoved() override;

private:
    void FormShow();
    void ClearVisitFields();
    void LoadCurrentVisit();
    void Btn_OKClick();

    std::unique_ptr<Ui::TFrm_AddContact> m_ui;
    Session &m_session;
    bool m_shown = false;
};

extern QPointer<TFrm_AddContact> Frm_AddContact;
