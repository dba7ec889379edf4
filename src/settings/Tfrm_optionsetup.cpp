#include "Tfrm_optionsetup.h"
#include "ui_Tfrm_optionsetup.h"

#include "MessageBoxes.h"
#include "TFrm_Data.h"

#include <QShowEvent>

QPointer<Tfrm_optionsetup> frm_optionsetup;

namespace {
constexpr int ProgramNameLength = 50;
}

Tfrm_optionsetup::Tfrm_optionsetup(TFrm_Data &data, QWidget *parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::Tfrm_optionsetup>()), m_data(data)
{
    m_ui->setupUi(this);
    setWindowTitle(QStringLiteral("选项设置"));
    m_ui->edit_programname->setMaxLength(ProgramNameLength);
    connect(m_ui->Button1, &QPushButton::clicked, this, &Tfrm_optionsetup::Button1Click);
    connect(m_ui->Button2, &QPushButton::clicked, this, &QDialog::reject);
}

Tfrm_optionsetup::~Tfrm_optionsetup() = default;

void Tfrm_optionsetup::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    FormShow();
    m_ui->edit_programname->setFocus();
}

void Tfrm_optionsetup::FormShow()
{
    if (m_data.RunQuery(m_data.Qry_SoftInfo, QStringLiteral("select * from T_SoftInfo order by SoftInfoID"))
        && !m_data.Qry_SoftInfo->isEmpty())
        m_ui->edit_programname->setText(m_data.Qry_SoftInfo->value(0, QStringLiteral("SoftName")).toString());
}

void Tfrm_optionsetup::Button1Click()
{
    const QString name = m_ui->edit_programname->text().trimmed();
    DataSet *settings = m_data.Qry_SoftInfo;
    // The one settings row, or a new one where a database lacks it.
    const bool stored = settings->isEmpty()
                            ? m_data.RunStatement(m_data.Qry_Str,
                                                  QStringLiteral("insert into T_SoftInfo (SoftName, Version, autocoding) "
                                                                 "values (:name, '', 0)"),
                                                  {{QStringLiteral(":name"), name}})
                            : m_data.RunStatement(m_data.Qry_Str,
                                                  QStringLiteral("update T_SoftInfo set SoftName = :name where SoftInfoID = :id"),
                                                  {{QStringLiteral(":name"), name},
                                                   {QStringLiteral(":id"), settings->value(0, QStringLiteral("SoftInfoID"))}});
    if (!stored)
        return;
    FormShow();
    MessageBoxes::plain(QStringLiteral("修改成功"));
    emit programNameSaved();
}
