#include "helpers.h"
#include "invoice/invoice_io.h"
#include "invoice/lines.h"
#include "invoice/qualified.h"
#include "store/statements.h"
#include "support/testdb.h"

#include <QtTest>

// Lines are written as "8000@10,52000@8,300@0": an amount and its rate per row, 0 for exempt.
// Boxes are compared as "税抜計 消費税 合計 | 対象10 消費税10 | 対象8 消費税8", "-" for a blank box.
class QualifiedTest : public QObject {
    Q_OBJECT
  private slots:
    void totalsByRate();
    void divideRounded();
    void rates();
    void registrationNumbers();
    void registerStoresRatesAndBasis();
};

namespace {

void writeRatedLines(Database& work, const QString& lines) {
    Clear明細ワーク(work);
    int row = 1;
    for (const QString& part : lines.split(u',', Qt::SkipEmptyParts)) {
        const QStringList p = part.split(u'@');
        const int rate = p[1].toInt();
        setLine(work, row, Value(txt("品")), Value(), Value(), Value(), Value(*Currency::parse(p[0])), rate == 0);
        work.executeRaw(QStringLiteral("UPDATE w明細 SET 税率 = %1 WHERE 行番号 = %2").arg(rate).arg(row));
        ++row;
    }
}

QString boxes(const QualifiedTotals& t) {
    auto b = [](const std::optional<Currency>& v) { return v ? v->toString() : QStringLiteral("-"); };
    return t.税抜計.toString() + u' ' + b(t.消費税) + u' ' + b(t.合計) + QStringLiteral(" | ") + b(t.対象10) + u' ' +
           b(t.消費税10) + QStringLiteral(" | ") + b(t.対象8) + u' ' + b(t.消費税8);
}

} // namespace

void QualifiedTest::totalsByRate() {
    struct Case {
        const char* name;
        const char* category;
        const char* rounding;
        const char* lines;
        const char* expected;
    };
    const Case cases[] = {
        // The tax authority's worked examples.
        {"exclusive example", "外税", "四捨五入", "8000@10,52000@8", "60000 4960 64960 | 8000 800 | 52000 4160"},
        {"inclusive example", "内税", "四捨五入", "8800@10,56160@8", "60000 4960 64960 | 8800 800 | 56160 4160"},
        // Rounded once per invoice and rate: 330 × 8 % = 26.4 → 26; per line it would be 3 × 9 = 27.
        {"once per rate, not per line", "外税", "四捨五入", "110@8,110@8,110@8", "330 26 356 | - - | 330 26"},
        {"once per rate, rounding up", "外税", "切り上げ", "110@8,110@8,110@8", "330 27 357 | - - | 330 27"},
        // 1,005 × 10 % = 100.5 and 1,006 × 8 % = 80.48 under each mode.
        {"外税 切り捨て", "外税", "切り捨て", "1005@10,1006@8", "2011 180 2191 | 1005 100 | 1006 80"},
        {"外税 四捨五入", "外税", "四捨五入", "1005@10,1006@8", "2011 181 2192 | 1005 101 | 1006 80"},
        {"外税 切り上げ", "外税", "切り上げ", "1005@10,1006@8", "2011 182 2193 | 1005 101 | 1006 81"},
        // A credit: each mode keeps its direction toward or away from zero.
        {"credit 切り捨て", "外税", "切り捨て", "-1005@10,-1006@8", "-2011 -180 -2191 | -1005 -100 | -1006 -80"},
        {"credit 四捨五入", "外税", "四捨五入", "-1005@10,-1006@8", "-2011 -181 -2192 | -1005 -101 | -1006 -80"},
        {"credit 切り上げ", "外税", "切り上げ", "-1005@10,-1006@8", "-2011 -182 -2193 | -1005 -101 | -1006 -81"},
        // 1,105 × 10/110 = 100.45…, 1,085 × 8/108 = 80.37…
        {"内税 切り捨て", "内税", "切り捨て", "1105@10,1085@8", "2010 180 2190 | 1105 100 | 1085 80"},
        {"内税 四捨五入", "内税", "四捨五入", "1105@10,1085@8", "2010 180 2190 | 1105 100 | 1085 80"},
        {"内税 切り上げ", "内税", "切り上げ", "1105@10,1085@8", "2008 182 2190 | 1105 101 | 1085 81"},
        {"内税 credit 切り上げ", "内税", "切り上げ", "-1105@10", "-1004 -101 -1105 | -1105 -101 | - -"},
        {"非課税 切り捨て", "非課税", "切り捨て", "1005@10,1006@8", "2011 - 2011 | 1005 - | 1006 -"},
        {"非課税 四捨五入", "非課税", "四捨五入", "1005@10,1006@8", "2011 - 2011 | 1005 - | 1006 -"},
        {"非課税 切り上げ", "非課税", "切り上げ", "1005@10,1006@8", "2011 - 2011 | 1005 - | 1006 -"},
        // Exempt lines count in T and bear no tax.
        {"外税 with exempt", "外税", "四捨五入", "1000@10,500@8,300@0", "1800 140 1940 | 1000 100 | 500 40"},
        {"内税 with exempt", "内税", "四捨五入", "1100@10,540@8,300@0", "1800 140 1940 | 1100 100 | 540 40"},
        {"exempt only", "外税", "四捨五入", "300@0", "300 0 300 | - - | - -"},
        {"no lines", "外税", "四捨五入", "", "0 - - | - - | - -"},
        {"sum zero", "外税", "四捨五入", "500@10,-500@10", "0 - - | - - | - -"},
        {"sum zero across rates", "内税", "切り上げ", "500@10,-500@8", "0 - - | - - | - -"},
    };
    TestData data;
    auto work = data.openWork();
    for (const Case& c : cases) {
        writeRatedLines(*work, txt(c.lines));
        const QString got = boxes(CalcQualified(SumByRate(*work), txt(c.category), txt(c.rounding)));
        QVERIFY2(got == txt(c.expected), qPrintable(txt(c.name) + QStringLiteral(": ") + got));
    }
}

void QualifiedTest::divideRounded() {
    struct Case {
        std::int64_t num, den;
        const char* mode;
        std::int64_t expected;
    };
    const Case cases[] = {
        {25, 10, "切り捨て", 2},  {25, 10, "四捨五入", 3},  {25, 10, "切り上げ", 3},  {24, 10, "四捨五入", 2},
        {-25, 10, "切り捨て", -2}, {-25, 10, "四捨五入", -3}, {-25, 10, "切り上げ", -3}, {-21, 10, "切り上げ", -3},
        {30, 10, "切り上げ", 3},  {0, 10, "切り上げ", 0},    {-24, 10, "四捨五入", -2},
        // The largest sums a full invoice can reach stay exact.
        {30 * 9999999999LL * 10000 * 10, 100 * 10000, "切り上げ", 29999999997},
    };
    for (const Case& c : cases)
        QVERIFY2(DivideRounded(c.num, c.den, txt(c.mode)) == c.expected,
                 qPrintable(QStringLiteral("%1/%2 %3").arg(c.num).arg(c.den).arg(txt(c.mode))));
}

void QualifiedTest::rates() {
    // Typed or picked, and shown back.
    const std::pair<const char*, std::optional<int>> typed[] = {
        {"10", 10}, {"8", 8}, {"0", 0}, {" 8 ", 8}, {"10%", 10}, {"8%※", 8}, {"非課税", 0},
        {"5", std::nullopt}, {"", std::nullopt}, {"8.5", std::nullopt}, {"abc", std::nullopt}};
    for (const auto& [text, rate] : typed)
        QVERIFY2(ParseRate(txt(text)) == rate, text);
    QCOMPARE(RateText(Value(10)), txt("10%"));
    QCOMPARE(RateText(Value(8)), txt("8%※"));
    QCOMPARE(RateText(Value(0)), txt("非課税"));
    QCOMPARE(RateText(Value()), QString());
    // The exempt flag wins; a rate never set reads as 10.
    QCOMPARE(LineRate(Value(), false), 10);
    QCOMPARE(LineRate(Value(8), false), 8);
    QCOMPARE(LineRate(Value(8), true), 0);
    QCOMPARE(LineRate(Value(0), false), 10);
}

void QualifiedTest::registrationNumbers() {
    struct Case {
        const char* typed;
        RegNoCheck check;
        const char* normalised;
    };
    const Case cases[] = {
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
    for (const Case& c : cases) {
        QString n = QStringLiteral("untouched");
        QVERIFY2(NormaliseRegNo(txt(c.typed), &n) == c.check, c.typed);
        QVERIFY2(n == (c.normalised ? txt(c.normalised) : QStringLiteral("untouched")), c.typed);
    }
}

void QualifiedTest::registerStoresRatesAndBasis() {
    TestData data;
    auto main = data.openMain(), work = data.openWork();
    addProduct(*main, txt("牛乳"), Value(txt("本")), money("200"), false);
    writeRatedLines(*work, txt("8000@10,52000@8,300@0"));
    for (int row : {1, 2, 3})
        work->executeRaw(QStringLiteral("UPDATE w明細 SET 品名 = '%1', 単価 = 10000 WHERE 行番号 = %2")
                             .arg(QStringList{txt("工具"), txt("牛乳"), txt("切手")}[row - 1])
                             .arg(row));
    InvoiceHeader h;
    h.number = 5;
    h.date = txt("2024/03/15");
    h.顧客名 = txt("佐藤商事");
    h.税率方式 = Scheme10_8;
    h.税区分 = txt("外税");
    h.端数処理 = RoundDown;
    h.登録番号 = txt("T7000012050002");
    const QualifiedTotals t = CalcQualified(SumByRate(*work), h.税区分, h.端数処理);
    h.税抜計 = t.税抜計;
    h.消費税 = t.消費税;
    h.合計 = t.合計;
    h.対象10 = t.対象10;
    h.消費税10 = t.消費税10;
    h.対象8 = t.対象8;
    h.消費税8 = t.消費税8;
    Entry請求書(*main, *work, h);

    // Each line keeps its rate, the exempt one 0 with its flag.
    QStringList rates;
    auto lines = main->openRecordset(sql::I7(txt("5")));
    for (lines->moveFirst(); !lines->eof(); lines->moveNext())
        rates << lines->field(txt("品名")).toText() + u'=' + lines->field(txt("税率")).toText() + u'/' +
                     (lines->field(txt("非課税")).toBool() ? txt("非課税") : txt("課税"));
    QCOMPARE(rates, QStringList({txt("工具=10/課税"), txt("牛乳=8/課税"), txt("切手=0/非課税")}));
    // The products learn their rates; an exempt line teaches the flag, not a rate.
    QCOMPARE(Seek商品(*main, txt("牛乳")).税率, 8);
    QCOMPARE(Seek商品(*main, txt("工具")).税率, 10);
    QCOMPARE(Seek商品(*main, txt("切手")).税率, 0);
    QCOMPARE(Seek商品(*main, txt("未登録")).税率, 10);

    // Reloaded, the header carries the basis it was issued under, whatever the settings now.
    const auto back = Read請求書ヘッダ(*main, 5);
    QVERIFY(back);
    QCOMPARE(back->税率方式, Scheme10_8);
    QCOMPARE(back->税区分, txt("外税"));
    QCOMPARE(back->端数処理, RoundDown);
    QCOMPARE(back->登録番号, txt("T7000012050002"));
    QCOMPARE(back->対象10, Currency::fromWhole(8000));
    QCOMPARE(back->消費税10, Currency::fromWhole(800));
    QCOMPARE(back->対象8, Currency::fromWhole(52000));
    QCOMPARE(back->消費税8, Currency::fromWhole(4160));
    QCOMPARE(back->合計, Currency::fromWhole(65260));
    Read請求書(*main, *work, 5);
    const QualifiedTotals again = CalcQualified(SumByRate(*work), back->税区分, back->端数処理);
    QCOMPARE(boxes(again), boxes(t));
}

int runQualifiedTests(int argc, char** argv) {
    QualifiedTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_qualified.moc"
