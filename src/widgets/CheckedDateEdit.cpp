#include "CheckedDateEdit.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QHBoxLayout>

CheckedDateEdit::CheckedDateEdit(QWidget *parent)
    : QWidget(parent), m_check(new QCheckBox(this)), m_date(new QDateEdit(this))
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(m_check);
    layout->addWidget(m_date, 1);
    m_date->setCalendarPopup(true);
    m_date->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    m_date->setEnabled(false);
    setFocusProxy(m_check);
    connect(m_check, &QCheckBox::toggled, m_date, &QWidget::setEnabled);
}

bool CheckedDateEdit::isChecked() const
{
    return m_check->isChecked();
}

void CheckedDateEdit::setChecked(bool checked)
{
    m_check->setChecked(checked);
}

QDate CheckedDateEdit::date() const
{
    return m_date->date();
}

void CheckedDateEdit::setDate(const QDate &date)
{
    m_date->setDate(date);
}
