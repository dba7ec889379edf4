#include "TFrm_Backup.h"
#include "ui_TFrm_Backup.h"

#include "BackupFile.h"
#include "DatabaseBackup.h"
#include "DatabaseRestore.h"
#include "MainFrame.h"
#include "MessageBoxes.h"
#include "ProgressWindow.h"
#include "TFrm_Data.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileSystemModel>
#include <QShowEvent>
#include <QStandardPaths>

QPointer<TFrm_Backup> Frm_Backup;

namespace {

const QString Title = QStringLiteral("数据库备份");
const QString Section = QStringLiteral("config");
const QString FolderKey = QStringLiteral("DirectoryList");

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// Position of the folder's drive among the machine's drives; -1 when none holds it.
int driveOf(const QString &folder)
{
    const QFileInfoList drives = QDir::drives();
    int found = -1;
    qsizetype longest = -1;
    for (int i = 0; i < drives.size(); ++i) {
        const QString root = drives.at(i).absoluteFilePath();
        if (folder.startsWith(root, Qt::CaseInsensitive) && root.size() > longest) {
            found = i;
            longest = root.size();
        }
    }
    return found;
}

} // namespace

TFrm_Backup::TFrm_Backup(TFrm_Data &data, MainFrame *frame, QWidget *parent)
    : QDialog(parent),
      m_ui(std::make_unique<Ui::TFrm_Backup>()),
      m_data(data),
      m_frame(frame),
      m_folders(new QFileSystemModel(this)),
      m_files(new QFileSystemModel(this))
{
    m_ui->setupUi(this);
    setWindowTitle(Title);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    m_folders->setObjectName(QStringLiteral("FolderModel"));
    m_folders->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    m_folders->setRootPath(QString());
    m_ui->DirectoryListBox1->setModel(m_folders);
    for (int column = 1; column < m_folders->columnCount(); ++column)
        m_ui->DirectoryListBox1->hideColumn(column);

    m_files->setObjectName(QStringLiteral("FileModel"));
    m_files->setFilter(QDir::Files);
    m_files->setNameFilters({BackupFile::namePattern()});
    m_files->setNameFilterDisables(false);
    m_ui->FileListBox1->setModel(m_files);

    m_ui->Label_Database->setText(QStringLiteral("正在使用的数据库：") + m_data.ConnString());
    connect(m_ui->DirectoryListBox1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) { folderChosen(current); });
    connect(m_ui->Btn_Back, &QPushButton::clicked, this, &TFrm_Backup::Btn_BackClick);
    connect(m_ui->Btn_Store, &QPushButton::clicked, this, &TFrm_Backup::Btn_StoreClick);
}

TFrm_Backup::~TFrm_Backup() = default;

void TFrm_Backup::M_Backup(TFrm_Data &data, MainFrame *frame, QWidget *parent)
{
    TFrm_Backup window(data, frame, parent);
    Frm_Backup = &window;
    window.exec();
}

void TFrm_Backup::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TFrm_Backup::done(int result)
{
    FormClose();
    QDialog::done(result);
}

QString TFrm_Backup::proposedFolder() const
{
    IniFile &config = m_data.ConfigIni();
    const QString chosen = config.ReadString(Section, FolderKey, QString());
    if (!chosen.isEmpty() && QDir(chosen).exists())
        return chosen;
    const int drive = config.ReadInteger(Section, QStringLiteral("drive"), -1);
    const QFileInfoList drives = QDir::drives();
    if (drive >= 0 && drive < drives.size())
        return drives.at(drive).absoluteFilePath();
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QDir(documents).exists() ? documents : QDir::homePath();
}

void TFrm_Backup::FormShow()
{
    setFolder(proposedFolder());
}

void TFrm_Backup::FormClose()
{
    IniFile &config = m_data.ConfigIni();
    config.WriteInteger(Section, QStringLiteral("Drive"), driveOf(folder()));
    config.WriteString(Section, FolderKey, folder());
}

QString TFrm_Backup::folder() const
{
    return m_ui->Edit_Folder->text().isEmpty() ? QString() : QDir::fromNativeSeparators(m_ui->Edit_Folder->text());
}

void TFrm_Backup::setFolder(const QString &path)
{
    const QModelIndex index = m_folders->index(QDir(path).absolutePath());
    if (!index.isValid())
        return;
    m_ui->DirectoryListBox1->setCurrentIndex(index);
    m_ui->DirectoryListBox1->scrollTo(index, QAbstractItemView::PositionAtCenter);
    folderChosen(index);
}

void TFrm_Backup::folderChosen(const QModelIndex &index)
{
    if (!index.isValid())
        return;
    const QString path = m_folders->filePath(index);
    m_ui->Edit_Folder->setText(native(path));
    m_ui->FileListBox1->setRootIndex(m_files->setRootPath(path));
}

QString TFrm_Backup::selectedFile() const
{
    const QModelIndexList selected = m_ui->FileListBox1->selectionModel()->selectedIndexes();
    if (selected.isEmpty() || m_files->isDir(selected.first()))
        return QString();
    return m_files->filePath(selected.first());
}

void TFrm_Backup::Btn_BackClick()
{
    DatabaseBackup backup(m_data.connection());
    QString target;
    QString reason;
    bool written;
    {
        ProgressWindow progress(this, Title);
        backup.setProgress(progress.callback());
        written = backup.backupInto(folder(), &target, &reason);
    }
    if (written)
        MessageBoxes::box(QStringLiteral("备份成功,文件备份在:") + native(target), QStringLiteral("成功"),
                          QMessageBox::Information);
    else
        MessageBoxes::box(QStringLiteral("备份失败!\n") + reason, QStringLiteral("警告"), QMessageBox::Information);
}

void TFrm_Backup::Btn_StoreClick()
{
    const QString file = selectedFile();
    if (file.isEmpty()) {
        MessageBoxes::plain(QStringLiteral("请选择一个恢复的数据库"));
        return;
    }
    DatabaseRestore restore(m_data);
    bool windowsClosed = false;
    restore.setBeforeReplace([this, &windowsClosed] {
        if (m_frame) {
            m_frame->closeChildWindows();
            windowsClosed = true;
        }
    });
    QString reason;
    bool restored;
    {
        ProgressWindow progress(this, Title);
        restore.setProgress(progress.callback());
        restored = restore.restoreFrom(file, &reason);
    }
    // The main window shows the database in use again, as after a login: its title and the
    // customer browser read anew.
    if (windowsClosed && m_data.database().isOpen()) {
        // The closed windows go first: on their way out they clear what the new ones show.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        m_frame->LoadTitle();
        m_frame->command(QStringLiteral("Cust_CustContact"))->trigger();
    }
    if (restored)
        MessageBoxes::box(QStringLiteral("数据恢复成功!"), QStringLiteral("警告"), QMessageBox::Information);
    else
        MessageBoxes::box(QStringLiteral("数据恢复失败!\n") + reason, QStringLiteral("警告"), QMessageBox::Information);
}
