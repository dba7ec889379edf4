#pragma once

#include <QPointer>
#include <QWidget>
#include <memory>

namespace Ui { class TFrm_A_relation; }
class DataGrid;
class DataSet;
class MainFrame;
class SearchCriteria;
class TFrm_Data;

// "维修信息统计列表": every installation and repair order matching the operator's criteria,
// with the count and the configured sums in the footer, sortable, printable.
class TFrm_A_relation : public QWidget
{
    Q_OBJECT
public:
    explicit TFrm_A_relation(QWidget *parent = nullptr);
    ~TFrm_A_relation() override;

    DataSet *ADOQuery1() const { return m_orders; }
    DataGrid *DBGridEh1() const;
    // The criteria as the window holds them, in the order they enter the statement.
    SearchCriteria criteria() const;

    static QString stateDone();
    static QString stateOpen();
    static QString refusedText();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();
    void BitBtn1Click();
    void BitBtn2Click();
    void Btn_PrintClick();
    void layOutOrders();
    void createMenu();

    std::unique_ptr<Ui::TFrm_A_relation> m_ui;
    TFrm_Data &m_data;
    MainFrame &m_frame;
    DataSet *m_orders;
    bool m_shown = false;
};

extern QPointer<TFrm_A_relation> Frm_A_relation;
