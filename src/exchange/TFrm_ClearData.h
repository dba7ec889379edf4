#pragma once

#include <QDialog>
#include <QPointer>
#include <memory>

namespace Ui { class TFrm_ClearData; }
class QAction;
class TFrm_Data;

// "数据初始化": empties the database for a fresh start. The clearing actions are rows of
// Dict_ClearData (a caption and a statement); the offered ones are listed, all ticked, and the
// statements of the ticked ones run in list order in one transaction: all or none.
class TFrm_ClearData : public QDialog
{
    Q_OBJECT
public:
    // backupCommand, when given, is offered first as "先备份".
    TFrm_ClearData(TFrm_Data &data, QAction *backupCommand, QWidget *parent = nullptr);
    ~TFrm_ClearData() override;

    // The main window's command: shows the window modally and frees it when it closes.
    static void M_ClearData(TFrm_Data &data, QAction *backupCommand, QWidget *parent);

    static QString questionText();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();
    void Btn_OKClick();
    // Runs the statements of the ticked lines; false with the database's reason.
    bool clearTicked(QString *reason);

    std::unique_ptr<Ui::TFrm_ClearData> m_ui;
    TFrm_Data &m_data;
    bool m_shown = false;
};

extern QPointer<TFrm_ClearData> Frm_ClearData;
