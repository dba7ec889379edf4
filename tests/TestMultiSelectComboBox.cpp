#include "MultiSelectComboBox.h"

#include <QAbstractItemView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

// The service-type drop-down: several items ticked, its text the ticked items joined by a blank.
class TestMultiSelectComboBox : public QObject
{
    Q_OBJECT

    static void clickItem(MultiSelectComboBox &combo, int row)
    {
        QAbstractItemView *view = combo.view();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(view->model()->index(row, 0)).center());
    }

private slots:
    void tickingBuildsTheText()
    {
        MultiSelectComboBox combo;
        combo.show();
        QSignalSpy unfolding(&combo, &DropDownComboBox::aboutToDropDown);
        combo.setItems({"安装", "维修", "移机"});
        combo.showPopup();
        QCOMPARE(unfolding.count(), 1);
        clickItem(combo, 2);
        clickItem(combo, 0);
        QCOMPARE(combo.text(), QStringLiteral("移机 安装"));
        // The list stays open for more ticks; unticking takes the item out.
        QVERIFY(combo.view()->isVisible());
        clickItem(combo, 2);
        combo.hidePopup();
        QCOMPARE(combo.text(), QStringLiteral("安装"));
        QCOMPARE(combo.lineEdit()->text(), QStringLiteral("安装"));
    }

    void textTicksItsItems()
    {
        MultiSelectComboBox combo;
        combo.setText(QStringLiteral(" 维修 保养 "));
        combo.setItems({"安装", "维修"});
        QCOMPARE(combo.checkedItems(), (QStringList{"维修", "保养"}));
        auto *model = combo.model();
        QCOMPARE(model->index(1, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
        QCOMPARE(model->index(0, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
        // An entry the list no longer offers stays in the text.
        QCOMPARE(combo.text(), QStringLiteral("维修 保养"));
        combo.setText(QString());
        QCOMPARE(model->index(1, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
    }
};

QTEST_MAIN(TestMultiSelectComboBox)
#include "TestMultiSelectComboBox.moc"
