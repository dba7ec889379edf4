#pragma once

#include "RecordEditor.h"

#include <QPointer>
#include <QVariantMap>
#include <memory>

namespace Ui { class TFrm_AddCust; }
class QLineEdit;
class Session;

// The customer editor: adds customers (proposing the next code and making the installation
// order number) or edits the current customer of the browser, carrying a new code or name
// into the customer's visits, orders and complaints. Its second page keeps the goods lines
// of the installation order. Stays open after each save.
class TFrm_AddCust : public RecordEditor
{
    Q_OBJECT
public:
    TFrm_AddCust(TFrm_Data &data, Session &session, Mode mode, QWidget *parent = nullptr);
    ~TFrm_AddCust() override;

    // The commands that open the editor.
    static void AddCust(TFrm_Data &data, Session &session, QWidget *parent);
    static void EditCust(TFrm_Data &data, Session &session, QWidget *parent);

    void Btn_OKClick();
    QString orderNumber() const;

protected:
    void recordMoved() override;
    bool hasUnsavedChanges() const override;
    void done(int result) override;

private:
    void cb_AutoClick();
    void ClearCustFields();
    void MakeOrderNumber();
    void LoadCurrentCust();
    void computeMoney();
    void Page_Change(int index);
    void Btn_DelLineClick();
    void Btn_SaveLinesClick();
    bool readCustomer(QVariantMap *values);
    bool saveNew(const QVariantMap &values);
    // Inserts the customer; false with error when the database refused it.
    bool insertCustomer(const QVariantMap &values, QVariant *id, QSqlError *error);
    bool saveEdited(const QVariantMap &values);
    // Whether a customer other than the loaded one has this column value; a database error
    // is shown and counts as taken.
    bool taken(const QString &column, const QString &value);
    void remind(const QString &text, QWidget *focus);
    void setUpLists();

    std::unique_ptr<Ui::TFrm_AddCust> m_ui;
    Session &m_session;
    QString LoadedCustCode;
    QString LoadedCompany;
};

extern QPointer<TFrm_AddCust> Frm_AddCust;
