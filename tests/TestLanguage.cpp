#include "ProgramStart.h"

#include <QAbstractButton>
#include <QCalendarWidget>
#include <QDateEdit>
#include <QMessageBox>
#include <QTest>

// Qt's own texts in Chinese whatever the workstation's locale: the standard buttons of every
// message box and the calendars of the date boxes.
class TestLanguage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // The workstation speaks English.
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        QVERIFY2(ProgramStart::setUpLanguage(), "qt6-translations-l10n is not installed");
    }

    void standardButtons_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<QString>("text");
        QTest::newRow("OK") << int(QMessageBox::Ok) << "确定";
        QTest::newRow("Yes") << int(QMessageBox::Yes) << "是";
        QTest::newRow("No") << int(QMessageBox::No) << "否";
        QTest::newRow("Cancel") << int(QMessageBox::Cancel) << "取消";
    }
    void standardButtons()
    {
        QFETCH(int, button);
        QFETCH(QString, text);
        QMessageBox box(QMessageBox::Question, QStringLiteral("提示"), QStringLiteral("?"),
                        QMessageBox::Ok | QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        // The accelerator stays: "是(&Y)".
        QVERIFY2(box.button(QMessageBox::StandardButton(button))->text().startsWith(text),
                 qPrintable(box.button(QMessageBox::StandardButton(button))->text()));
    }

    void calendarsAreChinese()
    {
        QDateEdit date;
        date.setCalendarPopup(true);
        const QLocale locale = date.calendarWidget()->locale();
        QCOMPARE(locale.language(), QLocale::Chinese);
        QCOMPARE(locale.monthName(1), QStringLiteral("一月"));
    }
};

QTEST_MAIN(TestLanguage)
#include "TestLanguage.moc"
