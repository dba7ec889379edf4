#pragma once

#include <QComboBox>

// A combo box that tells its owner just before its list unfolds, so the items can be read
// afresh each time.
class DropDownComboBox : public QComboBox
{
    Q_OBJECT
public:
    using QComboBox::QComboBox;

    void showPopup() override
    {
        emit aboutToDropDown();
        QComboBox::showPopup();
    }

signals:
    void aboutToDropDown();
};
