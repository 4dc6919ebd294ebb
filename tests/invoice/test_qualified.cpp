#include "helpers.h"
#include "invoice/invoice_io.h"
#include "invoice/lines.h"
#include "invoice/qualified.h"
#include "store/statements.h"
#include "support/testdb.h"

#include <QtTest>

// Lines are written as "8000@10,52000@8,300@0": an amount and its rate per row, 0 for exempt, with an
// optional "name=" in front. Boxes read "税抜計 消費税 合計 | 対象10 消費税10 | 対象8 消費税8", "-" for a blank box.
class QualifiedTest : public QObject {
    Q_OBJECT
  private slots:
    void totalsByRate();
    void divideRounded();
    void ratesAndRegistrationNumbers();
    void registerStoresRatesAndBasis();
};

namespace {

void writeRatedLines(Database& work, const QString& lines) {
    Clear明細ワーク(work);
    int row = 1;
    for (const QString& part : lines.split(u',', Qt::SkipEmptyParts)) {
        const QStringList named = part.split(u'='), p = named.last().split(u'@');
        const Value amount(*Currency::parse(p[0]));
        setLine(work, row, Value(named.size() > 1 ? named[0] : txt("品")), Value(), Value(),
                named.size() > 1 ? amount : Value(), amount, p[1].toInt() == 0);
        work.executeRaw(QStringLiteral("UPDATE w明細 SET 税率 = %1 WHERE 行番号 = %2").arg(p[1]).arg(row++));
    }
}

QString boxes(const QualifiedTotals& t) {
    auto b = [](const std::optional<Currency>& v) { return v ? v->toString() : QStringLiteral("-"); };
    return QStringList({t.税抜計.toString(), b(t.消費税), b(t.合計), QStringLiteral("|"), b(t.対象10), b(t.消費税10),
                        QStringLiteral("|"), b(t.対象8), b(t.消費税8)})
        .join(u' ');
}

} // namespace

void QualifiedTest::totalsByRate() {
    const struct {
        const char *category, *rounding, *lines, *expected;
    } cases[] = {
        // The tax authority's worked examples.
        {"外税", "四捨五入", "8000@10,52000@8", "60000 4960 64960 | 8000 800 | 52000 4160"},
        {"内税", "四捨五入", "8800@10,56160@8", "60000 4960 64960 | 8800 800 | 56160 4160"},
        // Rounded once per invoice and rate: 330 × 8 % = 26.4 → 26; per line it would be 3 × 9 = 27.
        {"外税", "四捨五入", "110@8,110@8,110@8", "330 26 356 | - - | 330 26"},
        {"外税", "切り上げ", "110@8,110@8,110@8", "330 27 357 | - - | 330 27"},
        // 1,005 × 10 % = 100.5 and 1,006 × 8 % = 80.48 under each mode; a credit keeps each mode's direction.
        {"外税", "切り捨て", "1005@10,1006@8", "2011 180 2191 | 1005 100 | 1006 80"},
        {"外税", "四捨五入", "1005@10,1006@8", "2011 181 2192 | 1005 101 | 1006 80"},
        {"外税", "切り上げ", "1005@10,1006@8", "2011 182 2193 | 1005 101 | 1006 81"},
        {"外税", "切り捨て", "-1005@10,-1006@8", "-2011 -180 -2191 | -1005 -100 | -1006 -80"},
        {"外税", "四捨五入", "-1005@10,-1006@8", "-2011 -181 -2192 | -1005 -101 | -1006 -80"},
        {"外税", "切り上げ", "-1005@10,-1006@8", "-2011 -182 -2193 | -1005 -101 | -1006 -81"},
        // 1,105 × 10/110 = 100.45…, 1,085 × 8/108 = 80.37…
        {"内税", "切り捨て", "1105@10,1085@8", "2010 180 2190 | 1105 100 | 1085 80"},
        {"内税", "四捨五入", "1105@10,1085@8", "2010 180 2190 | 1105 100 | 1085 80"},
        {"内税", "切り上げ", "1105@10,1085@8", "2008 182 2190 | 1105 101 | 1085 81"},
        {"内税", "切り上げ", "-1105@10", "-1004 -101 -1105 | -1105 -101 | - -"},
        {"非課税", "切り捨て", "1005@10,1006@8", "2011 - 2011 | 1005 - | 1006 -"},
        {"非課税", "四捨五入", "1005@10,1006@8", "2011 - 2011 | 1005 - | 1006 -"},
        {"非課税", "切り上げ", "1005@10,1006@8", "2011 - 2011 | 1005 - | 1006 -"},
        // Exempt lines count in T and bear no tax.
        {"外税", "四捨五入", "1000@10,500@8,300@0", "1800 140 1940 | 1000 100 | 500 40"},
        {"内税", "四捨五入", "1100@10,540@8,300@0", "1800 140 1940 | 1100 100 | 540 40"},
        {"外税", "四捨五入", "300@0", "300 0 300 | - - | - -"},
        {"外税", "四捨五入", "", "0 - - | - - | - -"},
        {"外税", "四捨五入", "500@10,-500@10", "0 - - | - - | - -"},
        {"内税", "切り上げ", "500@10,-500@8", "0 - - | - - | - -"},
    };
    TestData data;
    auto work = data.openWork();
    for (const auto& c : cases) {
        writeRatedLines(*work, txt(c.lines));
        const QString got = boxes(CalcQualified(SumByRate(*work), txt(c.category), txt(c.rounding)));
        QVERIFY2(got == txt(c.expected),
                 qPrintable(txt(c.category) + txt(c.rounding) + txt(c.lines) + QStringLiteral(": ") + got));
    }
}

void QualifiedTest::divideRounded() {
    const struct {
        std::int64_t num, den;
        const char* mode;
        std::int64_t expected;
    } cases[] = {
        {25, 10, "切り捨て", 2},  {25, 10, "四捨五入", 3},  {25, 10, "切り上げ", 3},  {24, 10, "四捨五入", 2},
        {-25, 10, "切り捨て", -2}, {-25, 10, "四捨五入", -3}, {-25, 10, "切り上げ", -3}, {-21, 10, "切り上げ", -3},
        {30, 10, "切り上げ", 3},  {0, 10, "切り上げ", 0},    {-24, 10, "四捨五入", -2},
        // The largest sums a full invoice can reach stay exact.
        {30 * 9999999999LL * 10000 * 10, 100 * 10000, "切り上げ", 29999999997},
    };
    for (const auto& c : cases)
        QVERIFY2(DivideRounded(c.num, c.den, txt(c.mode)) == c.expected,
                 qPrintable(QStringLiteral("%1/%2 %3").arg(c.num).arg(c.den).arg(txt(c.mode))));
}

void QualifiedTest::ratesAndRegistrationNumbers() {
    // Typed or picked, and shown back.
    const std::pair<const char*, std::optional<int>> typed[] = {
        {"10", 10},  {"8", 8},          {"0", 0},           {" 8 ", 8},         {"10%", 10},         {"8%※", 8},
        {"非課税", 0}, {"5", std::nullopt}, {"", std::nullopt}, {"8.5", std::nullopt}, {"abc", std::nullopt}};
    for (const auto& [text, rate] : typed)
        QVERIFY2(ParseRate(txt(text)) == rate, text);
    QCOMPARE(QStringList({RateText(Value(10)), RateText(Value(8)), RateText(Value(0)), RateText(Value())}),
             QStringList({txt("10%"), txt("8%※"), txt("非課税"), QString()}));
    // The exempt flag wins; a rate never set reads as 10.
    QCOMPARE(QList<int>({LineRate(Value(), false), LineRate(Value(8), false), LineRate(Value(8), true),
                         LineRate(Value(0), false)}),
             QList<int>({10, 8, 0, 10}));

    const struct {
        const char* typed;
        RegNoCheck check;
        const char* normalised; // nullptr: left untouched
    } numbers[] = {
        {"T7000012050002", RegNoCheck::Ok, "T7000012050002"},
        {"t7000012050002", RegNoCheck::Ok, "T7000012050002"},
        {"Ｔ７００００１２０５０００２", RegNoCheck::Ok, "T7000012050002"},
        {" T7-0000-1205-0002 ", RegNoCheck::Ok, "T7000012050002"},
        {"T 7000　0120 50002", RegNoCheck::Ok, "T7000012050002"},
        {"T7－0000‐1205−0002", RegNoCheck::Ok, "T7000012050002"},
        {"T1234567890123", RegNoCheck::BadCheckDigit, "T1234567890123"},
        {"", RegNoCheck::Empty, ""},
        {" - ", RegNoCheck::Empty, ""},
        {"7000012050002", RegNoCheck::Invalid, nullptr},
        {"T700001205000", RegNoCheck::Invalid, nullptr},
        {"T70000120500021", RegNoCheck::Invalid, nullptr},
        {"T70000120500O2", RegNoCheck::Invalid, nullptr},
        {"X7000012050002", RegNoCheck::Invalid, nullptr},
        {"T7000012050002T", RegNoCheck::Invalid, nullptr},
    };
    for (const auto& c : numbers) {
        QString n = QStringLiteral("untouched");
        QVERIFY2(NormaliseRegNo(txt(c.typed), &n) == c.check, c.typed);
        QVERIFY2(n == (c.normalised ? txt(c.normalised) : QStringLiteral("untouched")), c.typed);
    }
}

void QualifiedTest::registerStoresRatesAndBasis() {
    TestData data;
    auto main = data.openMain(), work = data.openWork();
    addProduct(*main, txt("牛乳"), Value(txt("本")), money("200"), false);
    writeRatedLines(*work, txt("工具=8000@10,牛乳=52000@8,切手=300@0"));
    const QualifiedTotals t = CalcQualified(SumByRate(*work), txt("外税"), RoundDown);
    Entry請求書(*main, *work,
               {.number = 5, .date = txt("2024/03/15"), .顧客名 = txt("佐藤商事"), .顧客情報 = {}, .消費税 = t.消費税,
                .税抜計 = t.税抜計, .合計 = t.合計, .税率方式 = Scheme10_8, .税区分 = txt("外税"), .端数処理 = RoundDown,
                .登録番号 = txt("T7000012050002"), .対象10 = t.対象10, .消費税10 = t.消費税10, .対象8 = t.対象8,
                .消費税8 = t.消費税8});

    // Each line keeps its rate, the exempt one 0 with its flag.
    QStringList rates;
    auto lines = main->openRecordset(sql::I7(txt("5"), txt("請求書")));
    for (lines->moveFirst(); !lines->eof(); lines->moveNext())
        rates << lines->field(txt("品名")).toText() + u'=' + lines->field(txt("税率")).toText() + u'/' +
                     (lines->field(txt("非課税")).toBool() ? txt("非課税") : txt("課税"));
    QCOMPARE(rates, QStringList({txt("工具=10/課税"), txt("牛乳=8/課税"), txt("切手=0/非課税")}));
    // The products learn their rates; an exempt line teaches the flag, not a rate.
    QCOMPARE(QList<int>({Seek商品(*main, txt("牛乳")).税率, Seek商品(*main, txt("工具")).税率,
                         Seek商品(*main, txt("切手")).税率, Seek商品(*main, txt("未登録")).税率}),
             QList<int>({8, 10, 0, 10}));

    // Reloaded, the header carries the basis it was issued under, whatever the settings now.
    const auto back = Read請求書ヘッダ(*main, 5);
    QVERIFY(back);
    QCOMPARE(QStringList({back->税率方式, back->税区分, back->端数処理, back->登録番号}),
             QStringList({Scheme10_8, txt("外税"), RoundDown, txt("T7000012050002")}));
    QCOMPARE(boxes({back->税抜計.value(), back->消費税, back->合計, back->対象10, back->消費税10, back->対象8,
                    back->消費税8}),
             txt("60300 4960 65260 | 8000 800 | 52000 4160"));
    Read請求書(*main, *work, 5);
    QCOMPARE(boxes(CalcQualified(SumByRate(*work), back->税区分, back->端数処理)),
             txt("60300 4960 65260 | 8000 800 | 52000 4160"));
}

int runQualifiedTests(int argc, char** argv) {
    QualifiedTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_qualified.moc"
