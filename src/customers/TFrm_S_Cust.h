#pragma once

#include <QDialog>
#include <QPointer>
#include <memory>

namespace Ui { class TFrm_S_Cust; }
class MainFrame;
class SearchCriteria;
class TFrm_Data;

// "用户信息查询": the combined customer search. The filled criteria, joined, become the
// statement of the browser's customer list; the dialog stays open for the next search.
class TFrm_S_Cust : public QDialog
{
    Q_OBJECT
public:
    TFrm_S_Cust(TFrm_Data &data, MainFrame &frame, QWidget *parent = nullptr);
    ~TFrm_S_Cust() override;

    // The main window's command: the browser first (the result goes there), then the dialog,
    // modal, freed when it closes.
    static void SearchCust(TFrm_Data &data, MainFrame &frame, QWidget *parent);

    static QString noCriteriaText();
    static QString refusedText();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();
    void btn_okClick();
    void btn_resetClick();
    void fillUserCombo();
    // The criteria that count, in the order they enter the statement.
    SearchCriteria criteria() const;

    std::unique_ptr<Ui::TFrm_S_Cust> m_ui;
    TFrm_Data &m_data;
    MainFrame &m_frame;
    bool m_shown = false;
};

extern QPointer<TFrm_S_Cust> Frm_S_Cust;
