#include "TFrm_S_Cust.h"
#include "ui_TFrm_S_Cust.h"

#include "MainFrame.h"
#include "MessageBoxes.h"
#include "SearchCriteria.h"
#include "Session.h"
#include "TFrm_Custom.h"
#include "TFrm_Data.h"
#include "WaitCursor.h"

#include <QShowEvent>

QPointer<TFrm_S_Cust> Frm_S_Cust;

namespace {
constexpr int CustomerCountPanel = 1;
// Operators without it search only among the customers they own.
constexpr int AnyOwnerSlot = 8;
constexpr int AllCustomersSlot = 35;
} // namespace

QString TFrm_S_Cust::noCriteriaText()
{
    return QStringLiteral("没有查询项目!");
}

QString TFrm_S_Cust::refusedText()
{
    return QStringLiteral("查询没有完成，用户列表保持原样。");
}

TFrm_S_Cust::TFrm_S_Cust(TFrm_Data &data, MainFrame &frame, QWidget *parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::TFrm_S_Cust>()), m_data(data), m_frame(frame)
{
    m_ui->setupUi(this);
    setWindowTitle(QStringLiteral("用户信息查询"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    const QDate today = QDate::currentDate();
    m_ui->DateTimePicker1->setDate(QDate(today.year(), today.month(), 1));
    m_ui->DateTimePicker2->setDate(today);
    m_ui->DateTimePicker1->setChecked(false);
    m_ui->DateTimePicker2->setChecked(false);

    m_ui->Combo_type->setList(data, QStringLiteral("Dict_leibie"));
    m_ui->Combo_model->setList(data, QStringLiteral("Dict_modle"));
    m_ui->Combo_place->setList(data, QStringLiteral("Dict_place"));
    m_ui->Combo_depart->setList(data, QStringLiteral("Dict_Custtype"));
    m_ui->Combo_people->setList(data, QStringLiteral("Dict_people"));
    m_ui->combo_batch->setColumnList(data, QStringLiteral("custom"), QStringLiteral("batch"), QStringLiteral("CustID"));
    m_ui->Combo_User->setFill([this] { fillUserCombo(); });

    connect(m_ui->btn_ok, &QPushButton::clicked, this, &TFrm_S_Cust::btn_okClick);
    connect(m_ui->btn_reset, &QPushButton::clicked, this, &TFrm_S_Cust::btn_resetClick);
    connect(m_ui->btn_exit, &QPushButton::clicked, this, &QDialog::reject);
}

TFrm_S_Cust::~TFrm_S_Cust() = default;

void TFrm_S_Cust::SearchCust(TFrm_Data &data, MainFrame &frame, QWidget *parent)
{
    frame.ShowOrCreateChild(Frm_Custom);
    TFrm_S_Cust dialog(data, frame, parent);
    Frm_S_Cust = &dialog;
    dialog.exec();
}

void TFrm_S_Cust::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TFrm_S_Cust::FormShow()
{
    btn_resetClick();
    m_ui->Combo_User->clear();
    m_ui->Combo_User->setEditText(QString());
    if (!m_frame.session().permission(AnyOwnerSlot)) {
        m_ui->Combo_User->setEditText(m_frame.session().OperatorName());
        m_ui->Combo_User->setEnabled(false);
    }
    m_ui->Edit_name->setFocus();
}

void TFrm_S_Cust::btn_resetClick()
{
    for (QLineEdit *edit : {m_ui->Edit_name, m_ui->Edit_airframe, m_ui->Edit_address, m_ui->Edit_mobile,
                            m_ui->Edit_taishu, m_ui->Edit_retail, m_ui->Edit_tel, m_ui->Edit_money,
                            m_ui->Edit_gathering, m_ui->Edit_billcode})
        edit->clear();
    for (ListComboBox *combo : {m_ui->Combo_type, m_ui->Combo_model, m_ui->Combo_place, m_ui->Combo_depart,
                                m_ui->combo_batch, m_ui->Combo_people}) {
        combo->clear();
        combo->setEditText(QString());
    }
}

void TFrm_S_Cust::fillUserCombo()
{
    const QString text = m_ui->Combo_User->currentText();
    {
        WaitCursor wait;
        if (!m_data.RunQuery(m_data.Qry_Temp, QStringLiteral("select * from admin where IsUser = :yes order by UserID"),
                             {{QStringLiteral(":yes"), true}}))
            return;
    }
    const QSignalBlocker blocker(m_ui->Combo_User);
    m_ui->Combo_User->clear();
    for (int row = 0; row < m_data.Qry_Temp->recordCount(); ++row)
        m_ui->Combo_User->addItem(m_data.Qry_Temp->value(row, QStringLiteral("UserName")).toString());
    m_ui->Combo_User->setCurrentIndex(m_ui->Combo_User->findText(text));
    m_ui->Combo_User->setEditText(text);
}

SearchCriteria TFrm_S_Cust::criteria() const
{
    SearchCriteria criteria(m_data.dialect());
    // A text counts when it is not empty: blanks count too.
    const auto text = [](const QWidget *box) {
        if (const auto *edit = qobject_cast<const QLineEdit *>(box))
            return edit->text();
        return static_cast<const QComboBox *>(box)->currentText();
    };
    const auto contains = [&](const QWidget *box, const char *column) {
        if (!text(box).isEmpty())
            criteria.contains(QString::fromLatin1(column), text(box));
    };
    const auto numberContains = [&](const QWidget *box, const char *column) {
        if (!text(box).isEmpty())
            criteria.numberContains(QString::fromLatin1(column), text(box));
    };
    const auto equals = [&](const QWidget *box, const char *column) {
        if (!text(box).isEmpty())
            criteria.equals(QString::fromLatin1(column), text(box));
    };
    if (!m_ui->Edit_name->text().isEmpty())
        criteria.startsWith(QStringLiteral("company"), m_ui->Edit_name->text());
    contains(m_ui->Edit_airframe, "airframe");
    contains(m_ui->Edit_address, "address");
    contains(m_ui->Edit_mobile, "mobile");
    contains(m_ui->Combo_type, "type");
    contains(m_ui->Combo_model, "model");
    contains(m_ui->Combo_place, "place");
    contains(m_ui->Combo_depart, "depart");
    contains(m_ui->Edit_taishu, "taishu");
    numberContains(m_ui->Edit_retail, "retail");
    contains(m_ui->Edit_tel, "tel");
    numberContains(m_ui->Edit_money, "money");
    numberContains(m_ui->Edit_gathering, "gathering");
    contains(m_ui->Edit_billcode, "billcode");
    if (m_ui->DateTimePicker1->isChecked())
        criteria.fromDay(QStringLiteral("installdate"), m_ui->DateTimePicker1->date());
    if (m_ui->DateTimePicker2->isChecked())
        criteria.toDay(QStringLiteral("installdate"), m_ui->DateTimePicker2->date());
    equals(m_ui->Combo_User, "F_User");
    equals(m_ui->combo_batch, "batch");
    equals(m_ui->Combo_people, "people");
    return criteria;
}

void TFrm_S_Cust::btn_okClick()
{
    const SearchCriteria found = criteria();
    if (found.isEmpty()) {
        MessageBoxes::plain(noCriteriaText());
        return;
    }
    QString statement = QStringLiteral("select * from custom where ");
    QVariantMap binds = found.binds();
    if (!m_frame.session().permission(AllCustomersSlot)) {
        statement += QStringLiteral("F_User = :owner and ");
        binds.insert(QStringLiteral(":owner"), m_frame.session().OperatorName());
    }
    statement += found.text() + QStringLiteral("  ORDER BY CustID");
    QSqlError refusal;
    bool listed;
    {
        WaitCursor wait;
        listed = m_data.TryQuery(m_data.Qry_Cust, statement, binds, &refusal);
    }
    if (!listed) {
        m_data.reportError(refusedText(), refusal, windowTitle(), QMessageBox::Warning);
        return;
    }
    m_frame.setStatusText(CustomerCountPanel,
                          QStringLiteral("当前共有 %1 条用户记录").arg(m_data.Qry_Cust->recordCount()));
    if (Frm_Custom)
        Frm_Custom->layOutCustomers();
}
