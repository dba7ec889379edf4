#include "NumberEdit.h"
#include "TypeKeys.h"

#include <QTest>

// The number box of the editors: what a clerk can type into it, how a stored number shows,
// and that an untouched value goes back as it came.
class TestNumberEdit : public QObject
{
    Q_OBJECT

private slots:
    void typing_data()
    {
        QTest::addColumn<bool>("integer");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QVariant>("value");   // invalid: not acceptable
        QTest::newRow("letters refused") << false << "50元" << "50" << QVariant(50.0);
        QTest::newRow("full-width digits") << false << "１２３．５" << "123.5" << QVariant(123.5);
        QTest::newRow("group separators") << false << "1,234,567.5" << "1,234,567.5" << QVariant(1234567.5);
        QTest::newRow("negative") << false << "-12.5" << "-12.5" << QVariant(-12.5);
        QTest::newRow("longer than six") << false << "123456789.25" << "123456789.25" << QVariant(123456789.25);
        QTest::newRow("point alone") << false << "." << "." << QVariant();
        QTest::newRow("sign alone") << false << "-" << "-" << QVariant();
        QTest::newRow("empty") << false << "" << "" << QVariant(QMetaType::fromType<double>());
        QTest::newRow("integer refuses a point") << true << "1.5" << "15" << QVariant(15);
        QTest::newRow("integer stops at its range") << true << "21474836470" << "2147483647" << QVariant(2147483647);
    }
    void typing()
    {
        QFETCH(bool, integer);
        QFETCH(QString, keys);
        QFETCH(QString, shown);
        QFETCH(QVariant, value);
        NumberEdit box;
        box.setInteger(integer);
        typeKeys(&box, keys);
        QCOMPARE(box.text(), shown);
        QCOMPARE(box.isAcceptable(), value.isValid());
        if (value.isValid() && !value.isNull())
            QCOMPARE(box.value(), value);
        if (value.isNull() && value.isValid())
            QVERIFY(box.value().isNull());
    }

    void storedValues_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QString>("shown");
        QTest::newRow("cents") << QVariant(12345.67) << "12345.67";
        QTest::newRow("million and a half") << QVariant(1234567.5) << "1234567.5";
        QTest::newRow("no exponent") << QVariant(1e20) << "100000000000000000000";
        QTest::newRow("small fraction") << QVariant(0.000125) << "0.000125";
        QTest::newRow("integer") << QVariant(qlonglong(7)) << "7";
        QTest::newRow("zero") << QVariant(0.0) << "0";
        QTest::newRow("number as text") << QVariant(QStringLiteral("12.50")) << "12.5";
        QTest::newRow("null") << QVariant(QMetaType::fromType<double>()) << "";
    }
    void storedValues()
    {
        QFETCH(QVariant, stored);
        QFETCH(QString, shown);
        NumberEdit box;
        box.setValue(stored);
        QCOMPARE(box.text(), shown);
        // Untouched, the value goes back exactly as it came, type and all.
        QVERIFY(box.isUnchanged());
        QCOMPARE(box.value(), stored);
        QCOMPARE(box.value().metaType(), stored.metaType());
    }

    void editedValueIsWhatWasTyped()
    {
        NumberEdit box;
        box.setValue(12345.67);
        box.selectAll();
        typeKeys(&box, QStringLiteral("12345.68"));
        QVERIFY(!box.isUnchanged());
        QCOMPARE(box.value(), QVariant(12345.68));
        // Typed back to what it showed, it is the stored value again.
        box.selectAll();
        typeKeys(&box, QStringLiteral("12345.67"));
        QVERIFY(box.isUnchanged());
    }
};

QTEST_MAIN(TestNumberEdit)
#include "TestNumberEdit.moc"
