#pragma once

#include "DropDownComboBox.h"

#include <QStandardItemModel>

// A drop-down list in which several items can be ticked; its text is the ticked items joined
// by a blank. Setting the text ticks the items it names.
class MultiSelectComboBox : public DropDownComboBox
{
    Q_OBJECT
public:
    explicit MultiSelectComboBox(QWidget *parent = nullptr);

    void setItems(const QStringList &items);
    QStringList checkedItems() const;
    QString text() const;
    void setText(const QString &text);

    void hidePopup() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void updateText();

    QStandardItemModel m_model;
    QString m_text;
};
