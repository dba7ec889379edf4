#pragma once

#include "RecordEditor.h"

#include <QDate>
#include <QPointer>
#include <memory>

namespace Ui { class TFrm_AddSchedule; }
class Session;

// An installation or repair order of the current customer, added to or edited in the shared
// orders that the customer browser shows. New orders get the day's next order number
// "WX-yyyy-MM-dd-0001"; the dialog stays open after an add for the next order.
class TFrm_AddSchedule : public RecordEditor
{
    Q_OBJECT
public:
    TFrm_AddSchedule(TFrm_Data &data, Session &session, Mode mode, QWidget *parent = nullptr);
    ~TFrm_AddSchedule() override;

    // The main window's commands.
    static void AddSchedule(TFrm_Data &data, Session &session, QWidget *parent);
    static void EditSchedule(TFrm_Data &data, Session &session, QWidget *parent);
    static void DelSchedule(TFrm_Data &data);

    // The day's next order number, one past the highest taken; empty (after a message) when
    // the numbers cannot be read.
    static QString OrderNumberFor(TFrm_Data &data, const QDate &day);

protected:
    void showEvent(QShowEvent *event) override;
    void recordMoved() override;

private:
    void FormShow();
    void ClearOrderFields();
    void NextOrderNumber();
    void LoadCurrentOrder();
    void Btn_OKClick();
    bool readFee(QVariant *fee) const;
    // Adds the reminder columns the operator changed; false when a ticked box lacks a date.
    bool readReminder(Fields *fields);
    bool saveOrder(Fields fields);
    bool orderNumberTaken(const QString &number);
    void fillUnitModels();

    std::unique_ptr<Ui::TFrm_AddSchedule> m_ui;
    Session &m_session;
    // The day of the number shown while adding.
    QDate m_numberDay;
    // The reminder as loaded, to write only what the operator changes.
    bool m_loadedAwoke = false;
    QVariant m_loadedAwokeDate;
    bool m_shown = false;
};

extern QPointer<TFrm_AddSchedule> Frm_AddSchedule;
