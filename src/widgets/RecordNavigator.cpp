#include "RecordNavigator.h"

#include "GridModel.h"

#include <QHBoxLayout>
#include <QPushButton>

RecordNavigator::RecordNavigator(QWidget *parent)
    : QWidget(parent),
      m_first(new QPushButton(QStringLiteral("第一条"), this)),
      m_prior(new QPushButton(QStringLiteral("前一条"), this)),
      m_next(new QPushButton(QStringLiteral("后一条"), this)),
      m_last(new QPushButton(QStringLiteral("末一条"), this))
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    const std::pair<QPushButton *, const char *> buttons[] = {
        {m_first, "Nav_First"}, {m_prior, "Nav_Prior"}, {m_next, "Nav_Next"}, {m_last, "Nav_Last"}};
    for (const auto &[button, name] : buttons) {
        button->setObjectName(QString::fromLatin1(name));
        button->setAutoDefault(false);
        button->setFocusPolicy(Qt::NoFocus);
        layout->addWidget(button);
    }
    connect(m_first, &QPushButton::clicked, this, &RecordNavigator::first);
    connect(m_prior, &QPushButton::clicked, this, &RecordNavigator::prior);
    connect(m_next, &QPushButton::clicked, this, &RecordNavigator::next);
    connect(m_last, &QPushButton::clicked, this, &RecordNavigator::last);
    updateButtons();
}

void RecordNavigator::setModel(GridModel *model)
{
    if (m_model)
        disconnect(m_model, nullptr, this, nullptr);
    m_model = model;
    if (model)
        connect(model, &GridModel::currentRowChanged, this, &RecordNavigator::updateButtons);
    updateButtons();
}

void RecordNavigator::first() { moveTo(0); }
void RecordNavigator::prior() { if (m_model) moveTo(m_model->currentRow() - 1); }
void RecordNavigator::next() { if (m_model) moveTo(m_model->currentRow() + 1); }
void RecordNavigator::last() { if (m_model) moveTo(m_model->rowCount() - 1); }

void RecordNavigator::moveTo(int row)
{
    if (!m_model || row < 0 || row >= m_model->rowCount() || row == m_model->currentRow())
        return;
    m_model->setCurrentRow(row);
    emit moved();
}

void RecordNavigator::updateButtons()
{
    const int row = m_model ? m_model->currentRow() : -1;
    const int rows = m_model ? m_model->rowCount() : 0;
    m_first->setEnabled(row > 0);
    m_prior->setEnabled(row > 0);
    m_next->setEnabled(row >= 0 && row < rows - 1);
    m_last->setEnabled(row >= 0 && row < rows - 1);
}
