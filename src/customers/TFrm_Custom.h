#pragma once

#include <QPointer>
#include <QWidget>
#include <memory>

namespace Ui { class TFrm_Custom; }
class DataGrid;
class DataSet;
class MainFrame;
class QAction;
class QMenu;
class TFrm_Data;

// The customer browser: the customer list above, the current customer's return visits,
// orders and complaints below, a quick search across the top. A child window of the main
// window; every editor works on the customer chosen here.
class TFrm_Custom : public QWidget
{
    Q_OBJECT
public:
    explicit TFrm_Custom(QWidget *parent = nullptr);
    ~TFrm_Custom() override;

    DataGrid *Grid_Cust() const;
    DataGrid *Grid_Contact() const;
    DataGrid *Grid_Sch() const;
    DataGrid *Grid_Sale() const;

    // The tool bar's customer command: reloads the customer list and its columns.
    void Cust_CustContact();
    void Btn_S_CustClick();
    void Refresh();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();
    void bindCommandButtons();
    void createMenus();
    QMenu *gridMenu(DataGrid *grid, const char *name, std::initializer_list<const char *> commands);
    void connectGrid(DataGrid *grid, DataSet *query, const char *doubleClickCommand, const char *deleteCommand);
    void loadCustomers();
    void showCustomerCount();
    void layOutCustomers();
    void Combo_TypeDropDown();
    void CheckBox1Click();
    void Page_ContactChange(int index);
    void runCommand(const char *name);
    QString ownerCondition() const;
    bool seesAllRecords() const;

    std::unique_ptr<Ui::TFrm_Custom> m_ui;
    TFrm_Data &m_data;
    MainFrame &m_frame;
    bool m_shown = false;
};

extern QPointer<TFrm_Custom> Frm_Custom;
