#include "TFrm_Softinfo.h"
#include "ui_TFrm_Softinfo.h"

#include "MessageBoxes.h"
#include "TFrm_Data.h"

#include <iterator>

QPointer<TFrm_Softinfo> Frm_Softinfo;

namespace {

struct InfoField
{
    const char *column;
    int length;
};

// The boxes in the order of the form, with the columns they show.
constexpr InfoField Fields[] = {{"Company", 50}, {"Regname", 20}, {"Address", 50},
                                {"Postcode", 50}, {"tel", 50},    {"fax", 50}};

} // namespace

TFrm_Softinfo::TFrm_Softinfo(TFrm_Data &data, QWidget *parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::TFrm_Softinfo>()), m_data(data)
{
    m_ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                   | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(size());
    setWindowTitle(QStringLiteral("公司信息"));
    // Another workstation may have changed the row since the start.
    m_data.RunQuery(m_data.Qry_Custom, QStringLiteral("select * from info order by id"));
    QLineEdit *const boxes[] = {m_ui->Edit_name, m_ui->Edit_user, m_ui->Edit_address,
                                m_ui->Edit_zip, m_ui->Edit_tel, m_ui->Edit_fax};
    static_assert(std::size(boxes) == std::size(Fields));
    for (size_t i = 0; i < std::size(boxes); ++i) {
        boxes[i]->setMaxLength(Fields[i].length);
        boxes[i]->setText(m_data.Qry_Custom->value(0, QString::fromLatin1(Fields[i].column)).toString());
    }
    connect(m_ui->btn_ok, &QPushButton::clicked, this, &TFrm_Softinfo::btn_okClick);
    connect(m_ui->btn_exit, &QPushButton::clicked, this, &QDialog::reject);
}

TFrm_Softinfo::~TFrm_Softinfo() = default;

void TFrm_Softinfo::btn_okClick()
{
    const QVariantMap values{{QStringLiteral(":company"), m_ui->Edit_name->text().trimmed()},
                             {QStringLiteral(":regname"), m_ui->Edit_user->text().trimmed()},
                             {QStringLiteral(":address"), m_ui->Edit_address->text().trimmed()},
                             {QStringLiteral(":fax"), m_ui->Edit_fax->text().trimmed()},
                             {QStringLiteral(":tel"), m_ui->Edit_tel->text().trimmed()},
                             {QStringLiteral(":postcode"), m_ui->Edit_zip->text().trimmed()}};
    DataSet *info = m_data.Qry_Custom;
    bool stored;
    if (info->isEmpty()) {
        // The first save creates the row.
        stored = m_data.RunStatement(m_data.Qry_Str,
                                     QStringLiteral("insert into info (Company, Regname, Address, fax, tel, Postcode) "
                                                    "values (:company, :regname, :address, :fax, :tel, :postcode)"),
                                     values);
    } else {
        QVariantMap binds = values;
        binds.insert(QStringLiteral(":id"), info->value(0, QStringLiteral("id")));
        stored = m_data.RunStatement(m_data.Qry_Str,
                                     QStringLiteral("update info set Company = :company, Regname = :regname, "
                                                    "Address = :address, fax = :fax, tel = :tel, "
                                                    "Postcode = :postcode where id = :id"),
                                     binds);
    }
    if (!stored)
        return;
    m_data.RunQuery(info, QStringLiteral("select * from info order by id"));
    MessageBoxes::plain(QStringLiteral("修改成功!"));
    accept();
}
