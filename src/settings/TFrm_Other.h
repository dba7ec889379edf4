#pragma once

#include <QDialog>
#include <QPointer>
#include <QVector>
#include <memory>

namespace Ui { class TFrm_Other; }
class DataGrid;
class Session;
class TFrm_Data;

// "其它管理": the reference lists, one page per list, over the shared query Qry_Other.
// Entries are added and deleted with the tool buttons and edited in place in the grid; an
// edited row is stored when the cursor leaves it and when the window closes.
class TFrm_Other : public QDialog
{
    Q_OBJECT
public:
    TFrm_Other(TFrm_Data &data, Session &session, QWidget *parent = nullptr);
    ~TFrm_Other() override;

    // The main window's command: the window on its first page, modal.
    static void M_Other(TFrm_Data &data, Session &session, QWidget *parent);
    // The editors' list buttons: the window at the page of a list table (any letter case),
    // loaded, modal. A table that is not a list opens the first page.
    static void openAtList(TFrm_Data &data, Session &session, QWidget *parent, const QString &table);
    // Puts openAtList behind ReferenceLists::openEditor. data and session must outlive every
    // later call of openEditor.
    static void installEditorOpener(TFrm_Data &data, Session &session);

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void PageControl1Change(int index);
    void ToolButton1Click();
    void ToolButton3Click();
    void loadPage(int page);
    DataGrid *grid(int page) const;
    void commitEditor();
    bool storeRows();
    void rowChanged();

    std::unique_ptr<Ui::TFrm_Other> m_ui;
    TFrm_Data &m_data;
    Session &m_session;
    QVector<DataGrid *> m_grids;
    int m_page = -1;
    bool m_storeQueued = false;
    bool m_centred = false;
};

extern QPointer<TFrm_Other> Frm_Other;
