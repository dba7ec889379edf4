#include "GridFindDialog.h"

#include "DataGrid.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

GridFindDialog::GridFindDialog(DataGrid *grid)
    : QDialog(grid), m_grid(grid), m_text(new QLineEdit(this)), m_column(new QComboBox(this)),
      m_matchCase(new QCheckBox(QStringLiteral("区分大小写"), this)),
      m_wholeField(new QCheckBox(QStringLiteral("整个字段匹配"), this)), m_status(new QLabel(this))
{
    setWindowTitle(QStringLiteral("查找"));
    m_text->setObjectName(QStringLiteral("Edit_Find"));
    m_column->setObjectName(QStringLiteral("Combo_Column"));
    m_status->setObjectName(QStringLiteral("Label_Status"));
    m_column->addItem(QStringLiteral("全部列"), -1);
    for (int column = 0; column < grid->shownColumnCount(); ++column) {
        if (!grid->isColumnHidden(column))
            m_column->addItem(grid->columnTitle(column), column);
    }
    if (grid->currentIndex().isValid())
        m_column->setCurrentIndex(qMax(0, m_column->findData(grid->currentIndex().column())));

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("查找内容:"), m_text);
    form->addRow(QStringLiteral("查找范围:"), m_column);
    form->addRow(m_matchCase);
    form->addRow(m_wholeField);

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *next = buttons->addButton(QStringLiteral("查找下一个(&N)"), QDialogButtonBox::ActionRole);
    next->setObjectName(QStringLiteral("Btn_Next"));
    next->setDefault(true);
    QPushButton *previous = buttons->addButton(QStringLiteral("查找上一个(&P)"), QDialogButtonBox::ActionRole);
    previous->setObjectName(QStringLiteral("Btn_Previous"));
    QPushButton *close = buttons->addButton(QStringLiteral("关闭"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("Btn_Close"));
    connect(next, &QPushButton::clicked, this, [this] { findNext(true); });
    connect(previous, &QPushButton::clicked, this, [this] { findNext(false); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_status);
    layout->addWidget(buttons);
}

void GridFindDialog::findNext(bool forward)
{
    const bool found = m_grid->find(m_text->text(), m_column->currentData().toInt(), forward,
                                    m_matchCase->isChecked(), m_wholeField->isChecked());
    m_status->setText(found ? QString() : QStringLiteral("未找到“%1”").arg(m_text->text()));
}
