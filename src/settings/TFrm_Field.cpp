#include "TFrm_Field.h"
#include "ui_TFrm_Field.h"

#include "ColumnChooser.h"
#include "MessageBoxes.h"
#include "TFrm_Data.h"
#include "TFrm_FieldShow.h"

#include <QShowEvent>

QPointer<TFrm_Field> Frm_Field;

QString TFrm_Field::storedText()
{
    return QStringLiteral("修改完成！");
}

QString TFrm_Field::refusedText()
{
    return QStringLiteral("列的显示没有保存，仍是原来的设置。");
}

TFrm_Field::TFrm_Field(TFrm_Data &data, const QString &configName, QWidget *parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::TFrm_Field>()), m_data(data), m_configName(configName)
{
    m_ui->setupUi(this);
    setWindowTitle(QStringLiteral("选择显示的字段"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setFixedSize(size());

    connect(m_ui->SP_right, &QPushButton::clicked, this, [this] { moveSelected(m_ui->SrcList, m_ui->DstList); });
    connect(m_ui->SP_left, &QPushButton::clicked, this, [this] { moveSelected(m_ui->DstList, m_ui->SrcList); });
    connect(m_ui->SrcList, &QListWidget::itemDoubleClicked, this, [this] { moveSelected(m_ui->SrcList, m_ui->DstList); });
    connect(m_ui->DstList, &QListWidget::itemDoubleClicked, this, [this] { moveSelected(m_ui->DstList, m_ui->SrcList); });
    connect(m_ui->SP_allright, &QPushButton::clicked, this, [this] { moveAll(m_ui->SrcList, m_ui->DstList); });
    connect(m_ui->SP_allleft, &QPushButton::clicked, this, [this] { moveAll(m_ui->DstList, m_ui->SrcList); });
    connect(m_ui->Btn_ok, &QPushButton::clicked, this, &TFrm_Field::Btn_okClick);
    connect(m_ui->Btn_exit, &QPushButton::clicked, this, &QDialog::reject);
}

TFrm_Field::~TFrm_Field() = default;

void TFrm_Field::ShowField(TFrm_Data &data, const QString &configName, QWidget *parent)
{
    if (Frm_Field)
        return;
    TFrm_Field window(data, configName, parent);
    Frm_Field = &window;
    window.exec();
}

void TFrm_Field::installColumnChooser(TFrm_Data &data)
{
    ColumnChooser::setOpener([&data](QWidget *parent, const QString &configName, ColumnChooser::Variant variant) {
        if (variant == ColumnChooser::Variant::StaysOpen)
            TFrm_FieldShow::ShowField(data, configName, parent);
        else
            TFrm_Field::ShowField(data, configName, parent);
    });
}

void TFrm_Field::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TFrm_Field::FormShow()
{
    if (fillList(m_ui->SrcList, 0))
        fillList(m_ui->DstList, 1);
    updateButtons();
}

bool TFrm_Field::fillList(QListWidget *list, int show)
{
    list->clear();
    // Configuration names in any letter case: "bill" and "Bill" are one configuration.
    if (!m_data.RunQuery(m_data.Qry_Temp,
                         QStringLiteral("select Name from T_FieldShow where Show = :show and lower(TableName) = lower(:config) "
                                        "order by ShowID, FieldShowID"),
                         {{QStringLiteral(":show"), show}, {QStringLiteral(":config"), m_configName}}))
        return false;
    for (int row = 0; row < m_data.Qry_Temp->recordCount(); ++row)
        list->addItem(m_data.Qry_Temp->value(row, 0).toString());
    return true;
}

void TFrm_Field::updateButtons()
{
    const bool hidden = m_ui->SrcList->count() > 0;
    const bool shown = m_ui->DstList->count() > 0;
    m_ui->SP_right->setEnabled(hidden);
    m_ui->SP_allright->setEnabled(hidden);
    m_ui->SP_left->setEnabled(shown);
    m_ui->SP_allleft->setEnabled(shown);
}

void TFrm_Field::moveSelected(QListWidget *from, QListWidget *to)
{
    const QList<QListWidgetItem *> selected = from->selectedItems();
    for (auto it = selected.crbegin(); it != selected.crend(); ++it)
        to->addItem(from->takeItem(from->row(*it)));
    if (from->count() > 0)
        from->setCurrentRow(0);
    updateButtons();
}

void TFrm_Field::moveAll(QListWidget *from, QListWidget *to)
{
    while (from->count() > 0)
        to->addItem(from->takeItem(0));
    updateButtons();
}

void TFrm_Field::Btn_okClick()
{
    // All or nothing: a failure leaves every column as it was.
    QSqlError error;
    bool ok = m_data.beginTransaction(&error);
    const auto store = [&](QListWidget *list, int show) {
        for (int row = 0; ok && row < list->count(); ++row) {
            // The caption is the key; one stored with blanks around it does not match.
            ok = m_data.execute(QStringLiteral("update T_FieldShow set Show = :show "
                                               "where Name = :name and lower(TableName) = lower(:config)"),
                                {{QStringLiteral(":show"), show},
                                 {QStringLiteral(":name"), list->item(row)->text().trimmed()},
                                 {QStringLiteral(":config"), m_configName}},
                                &error);
        }
    };
    store(m_ui->SrcList, 0);
    store(m_ui->DstList, 1);
    if (ok)
        ok = m_data.commit(&error);
    if (!ok) {
        m_data.rollback();
        m_data.reportError(refusedText(), error, windowTitle(), QMessageBox::Warning);
        return;
    }
    MessageBoxes::plain(storedText());
    stored();
}

void TFrm_Field::stored()
{
    accept();
}
