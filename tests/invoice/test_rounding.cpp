#include "helpers.h"
#include "invoice/lines.h"
#include "invoice/rounding.h"
#include "invoice/totals.h"

#include <QtTest>

class RoundingTest : public QObject {
    Q_OBJECT
  private slots:
    void modesOnProducts_data();
    void modesOnProducts();
    void boundsAndZero();
    void lineAmount_data();
    void lineAmount();
    void rangeLimits_data();
    void rangeLimits();
    void boxText_data();
    void boxText();
};

void RoundingTest::modesOnProducts_data() {
    QTest::addColumn<double>("a");
    QTest::addColumn<double>("b");
    QTest::addColumn<qint64>("down");
    QTest::addColumn<qint64>("half");
    QTest::addColumn<qint64>("away");
    QTest::newRow("3 x 333.33") << 3.0 << 333.33 << 999LL << 1000LL << 1000LL;
    QTest::newRow("2.5 x 101") << 2.5 << 101.0 << 252LL << 253LL << 253LL;
    QTest::newRow("-2.5 x 101") << -2.5 << 101.0 << -252LL << -253LL << -253LL;
    QTest::newRow("3 x 100.1") << 3.0 << 100.1 << 300LL << 300LL << 301LL;
    QTest::newRow("0.29 x 100") << 0.29 << 100.0 << 29LL << 29LL << 29LL;
    QTest::newRow("1.000001 x 1") << 1.000001 << 1.0 << 1LL << 1LL << 1LL;
}

void RoundingTest::modesOnProducts() {
    QFETCH(double, a);
    QFETCH(double, b);
    QFETCH(qint64, down);
    QFETCH(qint64, half);
    QFETCH(qint64, away);
    const double p = a * b;
    QCOMPARE(RoundAmount(p, txt("切り捨て")), Currency::fromWhole(down));
    QCOMPARE(RoundAmount(p, txt("四捨五入")), Currency::fromWhole(half));
    QCOMPARE(RoundAmount(p, QString()), Currency::fromWhole(away));
    // Any unknown mode text rounds like the empty mode.
    QCOMPARE(RoundAmount(p, txt("切り捨て ")), Currency::fromWhole(away));
}

void RoundingTest::boundsAndZero() {
    for (const QString& mode : {txt("切り捨て"), txt("四捨五入"), QString()}) {
        QCOMPARE(RoundAmount(0.0, mode), Currency());
        QCOMPARE(RoundAmount(10000000000.0, mode), Currency());
        QCOMPARE(RoundAmount(-10000000000.0, mode), Currency());
        QCOMPARE(RoundAmount(9999999999.995, mode), Currency());
        QCOMPARE(RoundAmount(std::nan(""), mode), Currency());
    }
    // The bound itself still rounds.
    QCOMPARE(RoundAmount(9999999999.99, txt("切り捨て")), Currency::fromWhole(9999999999LL));
    QCOMPARE(RoundAmount(-9999999999.99, txt("四捨五入")), Currency::fromWhole(-10000000000LL));
    // Truncation nudges positive values only.
    QCOMPARE(RoundAmount(-28.999999999999996, txt("切り捨て")), Currency::fromWhole(-28));
    QCOMPARE(RoundAmount(0.49, txt("四捨五入")), Currency());
    QCOMPARE(RoundAmount(-0.5, txt("四捨五入")), Currency::fromWhole(-1));
    QCOMPARE(RoundAmount(0.00001, QString()), Currency::fromWhole(1));
    QCOMPARE(RoundAmount(-0.000009, QString()), Currency());
}

void RoundingTest::lineAmount_data() {
    QTest::addColumn<QString>("qty");
    QTest::addColumn<QString>("price");
    QTest::addColumn<bool>("hasAmount");
    QTest::addColumn<qint64>("amount");
    QTest::newRow("3 x 333.33") << txt("3") << txt("333.33") << true << 1000LL;
    QTest::newRow("2.5 x 101") << txt("2.5") << txt("101") << true << 253LL;
    QTest::newRow("-2.5 x 101") << txt("-2.5") << txt("101") << true << -253LL;
    QTest::newRow("3 x 100.1") << txt("3") << txt("100.1") << true << 301LL;
    QTest::newRow("1.000001 x 1") << txt("1.000001") << txt("1") << true << 1LL;
    QTest::newRow("largest inputs") << txt("999999.99") << txt("99999999.99") << true << 0LL;
    QTest::newRow("blanks around") << txt(" 3 ") << txt(" 100 ") << true << 300LL;
    QTest::newRow("no price") << txt("3") << QString() << false << 0LL;
    QTest::newRow("no quantity") << QString() << txt("100") << false << 0LL;
    QTest::newRow("blank quantity") << txt("  ") << txt("100") << false << 0LL;
    QTest::newRow("letters") << txt("3") << txt("abc") << false << 0LL;
    QTest::newRow("trailing letter") << txt("3x") << txt("100") << false << 0LL;
}

void RoundingTest::lineAmount() {
    QFETCH(QString, qty);
    QFETCH(QString, price);
    QFETCH(bool, hasAmount);
    QFETCH(qint64, amount);
    const auto got = LineAmount(qty, price);
    QCOMPARE(got.has_value(), hasAmount);
    if (hasAmount)
        QCOMPARE(*got, Currency::fromWhole(amount));
}

void RoundingTest::rangeLimits_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");
    const int q = int(RangeColumn::Quantity), p = int(RangeColumn::Price), a = int(RangeColumn::Amount);
    QTest::newRow("qty at limit") << q << txt("999999.99") << true;
    QTest::newRow("qty at -limit") << q << txt("-999999.99") << true;
    QTest::newRow("qty just past") << q << txt("999999.991") << false;
    QTest::newRow("qty 1,000,000") << q << txt("1000000") << false;
    QTest::newRow("qty -1,000,000") << q << txt("-1000000") << false;
    QTest::newRow("price at limit") << p << txt("99999999.99") << true;
    QTest::newRow("price at -limit") << p << txt("-99999999.99") << true;
    QTest::newRow("price 100,000,000") << p << txt("100000000") << false;
    QTest::newRow("price -100,000,000") << p << txt("-100000000") << false;
    QTest::newRow("amount at limit") << a << txt("9999999999") << true;
    QTest::newRow("amount at -limit") << a << txt("-9999999999") << true;
    QTest::newRow("amount 10,000,000,000") << a << txt("10000000000") << false;
    QTest::newRow("amount just past") << a << txt("9999999999.5") << false;
    QTest::newRow("amount -10,000,000,000") << a << txt("-10000000000") << false;
    QTest::newRow("amount under qty limit is fine") << a << txt("5000000") << true;
    QTest::newRow("empty") << q << QString() << true;
    QTest::newRow("blanks") << p << txt("   ") << true;
    QTest::newRow("not a number") << q << txt("abc") << false;
    QTest::newRow("not a number price") << p << txt("1.2.3") << false;
}

void RoundingTest::rangeLimits() {
    QFETCH(int, column);
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    QCOMPARE(InRange(RangeColumn(column), text), accepted);
}

void RoundingTest::boxText_data() {
    QTest::addColumn<bool>("present");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("shown");
    QTest::newRow("blank") << false << QString() << QString();
    QTest::newRow("zero") << true << txt("0") << txt("0");
    QTest::newRow("hundreds") << true << txt("999") << txt("999");
    QTest::newRow("thousands") << true << txt("1234") << txt("1,234");
    QTest::newRow("millions") << true << txt("1234567") << txt("1,234,567");
    QTest::newRow("negative") << true << txt("-1234") << txt("-1,234");
    QTest::newRow("negative thousand") << true << txt("-100000") << txt("-100,000");
    QTest::newRow("half up") << true << txt("1000.5") << txt("1,001");
    QTest::newRow("below half") << true << txt("1000.4999") << txt("1,000");
    QTest::newRow("negative half") << true << txt("-1000.5") << txt("-1,001");
    QTest::newRow("small negative") << true << txt("-0.4") << txt("0");
    QTest::newRow("largest") << true << txt("9999999999") << txt("9,999,999,999");
}

void RoundingTest::boxText() {
    QFETCH(bool, present);
    QFETCH(QString, value);
    QFETCH(QString, shown);
    const std::optional<Currency> v = present ? Currency::parse(value) : std::nullopt;
    QCOMPARE(FormatAmount(v), shown);
}

int runRoundingTests(int argc, char** argv) {
    RoundingTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_rounding.moc"
