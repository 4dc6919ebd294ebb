#include "helpers.h"
#include "invoice/lines.h"
#include "invoice/totals.h"
#include "support/testdb.h"

#include <QtTest>

// Lines are written as "1000,2500,300x": amounts of consecutive rows, "x" marks an exempt line.
class TotalsTest : public QObject {
    Q_OBJECT
  private slots:
    void categories_data();
    void categories();
    void nullAmountsAreLeftOut();
    void editsShowAtOnce();
};

namespace {

QString boxValue(const std::optional<Currency>& v) {
    return v ? v->toString() : txt("blank");
}

void writeLines(Database& work, const QString& lines) {
    int row = 1;
    for (const QString& part : lines.split(u',', Qt::SkipEmptyParts)) {
        const bool exempt = part.endsWith(u'x');
        const QString amount = exempt ? part.chopped(1) : part;
        setLine(work, row++, Value(txt("品")), Value(), Value(), Value(), Value(*Currency::parse(amount)), exempt);
    }
}

} // namespace

void TotalsTest::categories_data() {
    QTest::addColumn<QString>("category");
    QTest::addColumn<QString>("lines");
    QTest::addColumn<QString>("subtotal");
    QTest::addColumn<QString>("tax");
    QTest::addColumn<QString>("total");

    const QString mixed = txt("1000,2500,300x");
    QTest::newRow("外税 mixed") << txt("外税") << mixed << txt("3800") << txt("175") << txt("3975");
    QTest::newRow("内税 mixed") << txt("内税") << mixed << txt("3333") << txt("167") << txt("3800");
    QTest::newRow("非課税 mixed") << txt("非課税") << mixed << txt("3800") << txt("blank") << txt("3800");

    QTest::newRow("外税 1,010 half up") << txt("外税") << txt("1010") << txt("1010") << txt("51") << txt("1061");
    QTest::newRow("外税 1,009") << txt("外税") << txt("1009") << txt("1009") << txt("50") << txt("1059");
    QTest::newRow("外税 credit") << txt("外税") << txt("-1010") << txt("-1010") << txt("-51") << txt("-1061");
    QTest::newRow("外税 exempt only") << txt("外税") << txt("300x") << txt("300") << txt("0") << txt("300");
    QTest::newRow("内税 1,050") << txt("内税") << txt("1050") << txt("1000") << txt("50") << txt("1050");
    QTest::newRow("内税 3,333") << txt("内税") << txt("3333") << txt("3174") << txt("159") << txt("3333");
    // 10.498 / 1.05 = 9.99809…: the net rounds to 9.9981, leaving a tax of 0.4999, which rounds to 0.
    QTest::newRow("内税 net to four decimals")
        << txt("内税") << txt("10.498") << txt("10.498") << txt("0") << txt("10.498");
    QTest::newRow("内税 split lines") << txt("内税") << txt("1000,2333") << txt("3174") << txt("159") << txt("3333");

    for (const char* c : {"外税", "内税", "非課税"}) {
        QTest::newRow((std::string(c) + " no amounts").c_str())
            << txt(c) << QString() << txt("0") << txt("blank") << txt("blank");
        QTest::newRow((std::string(c) + " sum zero").c_str())
            << txt(c) << txt("500,-500") << txt("0") << txt("blank") << txt("blank");
    }

    QTest::newRow("trailing blank is no category")
        << txt("外税 ") << txt("1000") << txt("1000") << txt("blank") << txt("1000");
    QTest::newRow("empty category") << QString() << txt("1000") << txt("1000") << txt("blank") << txt("1000");
    // The total adds the tax to the subtotal as its box shows it, a whole amount.
    QTest::newRow("外税 fractional subtotal") << txt("外税") << txt("100.6") << txt("100.6") << txt("5") << txt("106");
    QTest::newRow("非課税 fractional subtotal")
        << txt("非課税") << txt("100.6") << txt("100.6") << txt("blank") << txt("101");
}

void TotalsTest::categories() {
    QFETCH(QString, category);
    QFETCH(QString, lines);
    QFETCH(QString, subtotal);
    QFETCH(QString, tax);
    QFETCH(QString, total);
    TestData data;
    auto work = data.openWork();
    Clear明細ワーク(*work);
    writeLines(*work, lines);
    const Totals t = Calc明細(*work, category);
    QCOMPARE(t.税抜計.toString(), subtotal);
    QCOMPARE(boxValue(t.消費税), tax);
    QCOMPARE(boxValue(t.合計), total);
}

void TotalsTest::nullAmountsAreLeftOut() {
    TestData data;
    auto work = data.openWork();
    Clear明細ワーク(*work);
    setLine(*work, 1, Value(txt("a")), Value(2.0), Value(), money("500"), money("1000"));
    setLine(*work, 2, Value(txt("b")), Value(2.0), Value(), Value(), Value());
    setLine(*work, 5, Value(txt("c")), Value(), Value(), Value(), money("2500"));
    setLine(*work, 30, Value(txt("d")), Value(), Value(), Value(), money("300"), true);
    const Totals t = Calc明細(*work, txt("外税"));
    QCOMPARE(t.税抜計, Currency::fromWhole(3800));
    QCOMPARE(t.消費税, Currency::fromWhole(175));
    QCOMPARE(t.合計, Currency::fromWhole(3975));
    QCOMPARE(FormatAmount(t.合計), txt("3,975"));
}

void TotalsTest::editsShowAtOnce() {
    // Each run starts from the committed rows: ticking the exempt flag changes the tax at once.
    TestData data;
    auto work = data.openWork();
    Clear明細ワーク(*work);
    setLine(*work, 1, Value(txt("a")), Value(), Value(), Value(), money("1000"));
    QCOMPARE(Calc明細(*work, txt("外税")).消費税, Currency::fromWhole(50));
    setLine(*work, 1, Value(txt("a")), Value(), Value(), Value(), money("1000"), true);
    const Totals t = Calc明細(*work, txt("外税"));
    QCOMPARE(t.消費税, Currency());
    QCOMPARE(t.合計, Currency::fromWhole(1000));
}

int runTotalsTests(int argc, char** argv) {
    TotalsTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_totals.moc"
