#include "TFrm_ClearData.h"
#include "ui_TFrm_ClearData.h"

#include "DatabaseErrors.h"
#include "MessageBoxes.h"
#include "TFrm_Data.h"

#include <QAction>
#include <QShowEvent>

QPointer<TFrm_ClearData> Frm_ClearData;

namespace {
const QString Title = QStringLiteral("数据初始化");
const QString OfferedActions = QStringLiteral("select Action, SQL from Dict_ClearData where F_Flag = :offered order by ClearDataID");
} // namespace

TFrm_ClearData::TFrm_ClearData(TFrm_Data &data, QAction *backupCommand, QWidget *parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::TFrm_ClearData>()), m_data(data)
{
    m_ui->setupUi(this);
    setWindowTitle(Title);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    connect(m_ui->Btn_OK, &QPushButton::clicked, this, &TFrm_ClearData::Btn_OKClick);
    connect(m_ui->Btn_Exit, &QPushButton::clicked, this, &QDialog::reject);
    if (backupCommand) {
        m_ui->Btn_Backup->setEnabled(backupCommand->isEnabled());
        m_ui->Btn_Backup->setToolTip(backupCommand->text());
        connect(m_ui->Btn_Backup, &QPushButton::clicked, backupCommand, &QAction::trigger);
    } else {
        m_ui->Btn_Backup->hide();
    }
}

TFrm_ClearData::~TFrm_ClearData() = default;

void TFrm_ClearData::M_ClearData(TFrm_Data &data, QAction *backupCommand, QWidget *parent)
{
    TFrm_ClearData window(data, backupCommand, parent);
    Frm_ClearData = &window;
    window.exec();
}

QString TFrm_ClearData::questionText()
{
    return QStringLiteral("提醒,执行本操作您将丢失所有的数据,您确定要数据初始化吗?");
}

void TFrm_ClearData::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TFrm_ClearData::FormShow()
{
    m_ui->CLB_Data->clear();
    if (!m_data.RunQuery(m_data.Qry_Temp, OfferedActions, {{QStringLiteral(":offered"), true}}))
        return;
    for (int row = 0; row < m_data.Qry_Temp->recordCount(); ++row) {
        auto *item = new QListWidgetItem(m_data.Qry_Temp->value(row, QStringLiteral("Action")).toString(), m_ui->CLB_Data);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
    }
}

void TFrm_ClearData::Btn_OKClick()
{
    if (MessageBoxes::dialog(MessageBoxes::DialogType::Confirmation, questionText(), QMessageBox::Yes | QMessageBox::No)
        != QMessageBox::Yes)
        return;
    QString reason;
    if (!clearTicked(&reason)) {
        MessageBoxes::dialog(MessageBoxes::DialogType::Confirmation, QStringLiteral("数据初始化失败!\n") + reason);
        return;
    }
    // The open lists show the emptied tables at once.
    m_data.reopenOpenDataSets();
    MessageBoxes::dialog(MessageBoxes::DialogType::Confirmation, QStringLiteral("数据初始化成功!"));
}

bool TFrm_ClearData::clearTicked(QString *reason)
{
    // A ticked caption runs the statement of the first offered row of that caption; rows that
    // are not offered never run, even under the caption of an offered one.
    DataSet *actions = m_data.Qry_Temp;
    actions->close();
    actions->setStatement(OfferedActions);
    actions->clearBindValues();
    actions->bindValue(QStringLiteral(":offered"), true);
    if (!actions->open()) {
        *reason = DatabaseErrors::reason(actions->lastError());
        return false;
    }
    QSqlError error;
    if (!m_data.beginTransaction(&error)) {
        *reason = DatabaseErrors::reason(error);
        return false;
    }
    for (int line = 0; line < m_ui->CLB_Data->count(); ++line) {
        const QListWidgetItem *item = m_ui->CLB_Data->item(line);
        if (item->checkState() != Qt::Checked)
            continue;
        const QString statement = [&] {
            for (int row = 0; row < actions->recordCount(); ++row) {
                if (actions->value(row, QStringLiteral("Action")).toString() == item->text())
                    return actions->value(row, QStringLiteral("SQL")).toString();
            }
            return QString();
        }();
        if (statement.isEmpty())
            continue;
        if (!m_data.TryStatement(m_data.Qry_Str, statement)) {
            *reason = QStringLiteral("%1：%2").arg(item->text(), DatabaseErrors::reason(m_data.Qry_Str->lastError()));
            m_data.rollback();
            return false;
        }
    }
    if (!m_data.commit(&error)) {
        *reason = DatabaseErrors::reason(error);
        return false;
    }
    return true;
}
