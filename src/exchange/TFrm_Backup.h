#pragma once

#include <QDialog>
#include <QPointer>
#include <memory>

namespace Ui { class TFrm_Backup; }
class MainFrame;
class QFileSystemModel;
class TFrm_Data;

// "数据库备份": a backup of the database in use into a folder chosen in the folder tree, and
// a restore from a backup file chosen in the file list. The folder chosen is proposed again
// the next time, also after a restart.
class TFrm_Backup : public QDialog
{
    Q_OBJECT
public:
    // frame closes its document windows before a restore replaces their data.
    TFrm_Backup(TFrm_Data &data, MainFrame *frame, QWidget *parent = nullptr);
    ~TFrm_Backup() override;

    // The main window's command: shows the window modally and frees it when it closes.
    static void M_Backup(TFrm_Data &data, MainFrame *frame, QWidget *parent);

    // The folder a backup goes into.
    QString folder() const;
    void setFolder(const QString &path);

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();
    void FormClose();
    void Btn_BackClick();
    void Btn_StoreClick();
    void folderChosen(const QModelIndex &index);
    // The file selected in the file list; empty when none is.
    QString selectedFile() const;
    QString proposedFolder() const;

    std::unique_ptr<Ui::TFrm_Backup> m_ui;
    TFrm_Data &m_data;
    MainFrame *m_frame;
    QFileSystemModel *m_folders;
    QFileSystemModel *m_files;
    bool m_shown = false;
};

extern QPointer<TFrm_Backup> Frm_Backup;
