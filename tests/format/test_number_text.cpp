#include "format/number_text.h"

#include <QtTest>

class NumberTextTest : public QObject {
    Q_OBJECT
  private slots:
    void quantity_data();
    void quantity();
};

void NumberTextTest::quantity_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("shown");
    QTest::newRow("half stays") << 2.5 << QStringLiteral("2.5");
    QTest::newRow("whole grouped") << 1000.0 << QStringLiteral("1,000");
    QTest::newRow("grouped with decimals") << 1234.25 << QStringLiteral("1,234.25");
    QTest::newRow("largest") << 999999.99 << QStringLiteral("999,999.99");
    QTest::newRow("negative") << -2.5 << QStringLiteral("-2.5");
    QTest::newRow("below one") << 0.5 << QStringLiteral("0.5");
    QTest::newRow("binary noise dropped") << 0.1 + 0.2 << QStringLiteral("0.3");
    QTest::newRow("small fraction kept") << 1.000001 << QStringLiteral("1.000001");
    QTest::newRow("zero shows nothing") << 0.0 << QString();
    QTest::newRow("negative whole") << -1234.0 << QStringLiteral("-1,234");
}

void NumberTextTest::quantity() {
    QFETCH(double, value);
    QFETCH(QString, shown);
    QCOMPARE(formatQuantity(value), shown);
}

QTEST_APPLESS_MAIN(NumberTextTest)
#include "test_number_text.moc"
