#include "book/csv.h"
#include "exchange/csv.h"
#include "book/search.h"
#include "helpers.h"
#include "invoice/invoice_io.h"
#include "invoice/lines.h"
#include "support/testdb.h"

#include <QtTest>

class ListTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase();
    void search_data();
    void search();
    void statesAndAmounts();
    void orderAndPages();
    void linesOfTheFoundInvoices();
    void csv();

  private:
    std::unique_ptr<TestData> data;
    std::unique_ptr<Database> main;
};

namespace {

using Numbers = QList<qint32>;

Numbers numbers(const std::vector<BookRow>& rows) {
    Numbers out;
    for (const BookRow& r : rows)
        out << r.伝票番号;
    return out;
}

// Empty dates and negative totals stand for a field left unset.
std::optional<QDate> day(const char* s) {
    return *s ? std::optional(QDate::fromString(txt(s), txt("yyyy/MM/dd"))) : std::nullopt;
}
std::optional<Currency> yen(qint64 v) {
    return v < 0 ? std::nullopt : std::optional(Currency::fromWhole(v));
}

} // namespace

Q_DECLARE_METATYPE(BookQuery)

void ListTest::initTestCase() {
    data = std::make_unique<TestData>();
    main = data->openMain();
    auto work = data->openWork();
    struct Invoice {
        qint32 number;
        const char *date, *customer, *details;
        qint64 total;
        int lines;
    };
    const QList<Invoice> book = {
        {1, "2024/01/10", "山田商店", "東京都", 1000, 2},  {2, "2024/02/20", "田中_工業", "大阪府", 5000, 1},
        {3, "2024/03/05", "100%果汁店", "山田ビル", 12000, 3}, {4, "2024/03/31", "鈴木", "", 800, 1},
        {5, "2024/04/01", "山田商店", "東京都", 3000, 2},
    };
    for (const Invoice& i : book) {
        Clear明細ワーク(*work);
        for (int r = 1; r <= i.lines; ++r)
            setLine(*work, r, Value(QString::number(i.number) + u'-' + QString::number(r)), Value(1.0), Value(),
                    money("10"), money("10"));
        InvoiceHeader h;
        h.number = i.number;
        h.date = txt(i.date);
        h.顧客名 = txt(i.customer);
        h.顧客情報 = txt(i.details);
        h.税抜計 = h.合計 = Currency::fromWhole(i.total);
        h.消費税 = Currency::fromWhole(i.total / 20);
        Entry請求書(*main, *work, h);
    }
    // Invoice 4 is corrected twice (its total ends at 950); invoice 5 is deleted.
    for (qint64 total : {900, 950}) {
        InvoiceHeader h = *Read請求書ヘッダ(*main, 4);
        h.合計 = Currency::fromWhole(total);
        Entry請求書(*main, *work, h);
    }
    Delete請求書(*main, 5);
}

void ListTest::search_data() {
    QTest::addColumn<BookQuery>("query");
    QTest::addColumn<Numbers>("expected");
    auto q = [](const char* from, const char* to, const char* customer = "", qint64 min = -1, qint64 max = -1,
                bool withDeleted = false) {
        BookQuery q;
        q.from = day(from);
        q.to = day(to);
        q.customer = txt(customer);
        q.min = yen(min);
        q.max = yen(max);
        q.withDeleted = withDeleted;
        return q;
    };
    QTest::newRow("nothing set: every live invoice") << q("", "") << Numbers{1, 2, 3, 4};
    QTest::newRow("with deleted") << q("", "", "", -1, -1, true) << Numbers{1, 2, 3, 4, 5};
    QTest::newRow("from") << q("2024/02/01", "") << Numbers{2, 3, 4};
    QTest::newRow("to, inclusive") << q("", "2024/02/20") << Numbers{1, 2};
    QTest::newRow("date range") << q("2024/02/01", "2024/03/05") << Numbers{2, 3};
    QTest::newRow("date range reversed") << q("2024/03/05", "2024/02/01") << Numbers{2, 3};
    QTest::newRow("one day") << q("2024/03/31", "2024/03/31") << Numbers{4};
    QTest::newRow("customer part, also in the details") << q("", "", "山田") << Numbers{1, 3};
    QTest::newRow("underscore taken literally") << q("", "", "_") << Numbers{2};
    QTest::newRow("percent taken literally") << q("", "", "%") << Numbers{3};
    QTest::newRow("quote and backslash find nothing") << q("", "", "'\\") << Numbers{};
    QTest::newRow("lower bound of the total") << q("", "", "", 1000) << Numbers{1, 2, 3};
    QTest::newRow("upper bound of the total") << q("", "", "", -1, 1000) << Numbers{1, 4};
    QTest::newRow("range of the total") << q("", "", "", 1000, 5000) << Numbers{1, 2};
    QTest::newRow("range of the total reversed") << q("", "", "", 5000, 1000) << Numbers{1, 2};
    QTest::newRow("corrected total is what counts") << q("", "", "", 950, 950) << Numbers{4};
    QTest::newRow("customer, date and deleted") << q("2024/02/01", "", "山田", -1, -1, true) << Numbers{3, 5};
    QTest::newRow("customer, total and deleted") << q("", "", "山田", 2000, 3000, true) << Numbers{5};
    QTest::newRow("everything, nothing matches") << q("2024/01/01", "2024/12/31", "鈴木", 1000) << Numbers{};
}

void ListTest::search() {
    QFETCH(BookQuery, query);
    QFETCH(Numbers, expected);
    QCOMPARE(numbers(Search伝票(*main, query, {}, 0, -1)), expected);
}

void ListTest::statesAndAmounts() {
    BookQuery all;
    all.withDeleted = true;
    const auto rows = Search伝票(*main, all, {}, 0, -1);
    QCOMPARE(rows.size(), std::size_t(5));
    QCOMPARE((QStringList{rows[0].状態(), rows[3].状態(), rows[4].状態()}),
             (QStringList{QString(), txt("訂正 2回"), txt("削除済み")}));
    // The deleted invoice shows its last copy, amounts exact.
    QCOMPARE(rows[4].顧客名 + rows[4].日付, txt("山田商店2024/04/01"));
    QCOMPARE(rows[4].合計, yen(3000));
    QCOMPARE(rows[4].消費税, yen(150));
    QCOMPARE(rows[2].税抜計, yen(12000));
    QCOMPARE(rows[3].合計, yen(950));
}

void ListTest::orderAndPages() {
    BookQuery all;
    all.withDeleted = true;
    struct Case {
        BookColumn column;
        bool descending;
        Numbers expected;
    };
    const QList<Case> cases = {
        {BookColumn::伝票番号, true, {5, 4, 3, 2, 1}}, {BookColumn::日付, true, {5, 4, 3, 2, 1}},
        {BookColumn::合計, true, {3, 2, 5, 1, 4}},     {BookColumn::合計, false, {4, 1, 5, 2, 3}},
        {BookColumn::税抜計, false, {4, 1, 5, 2, 3}},  {BookColumn::消費税, true, {3, 2, 5, 1, 4}},
        {BookColumn::顧客名, false, {3, 1, 5, 2, 4}},  {BookColumn::状態, false, {1, 2, 3, 4, 5}},
        {BookColumn::状態, true, {5, 4, 1, 2, 3}},
    };
    for (const Case& c : cases) {
        const BookOrder order{c.column, c.descending};
        QCOMPARE(numbers(Search伝票(*main, all, order, 0, -1)), c.expected);
        // Pages put together give the whole list.
        Numbers paged;
        for (int offset = 0; offset < 5; offset += 2)
            paged << numbers(Search伝票(*main, all, order, offset, 2));
        QCOMPARE(paged, c.expected);
    }
}

void ListTest::linesOfTheFoundInvoices() {
    BookQuery q;
    q.customer = txt("山田");
    q.withDeleted = true;
    QStringList names;
    for (const BookLine& l : Search伝票明細(*main, q))
        names << QString::number(l.伝票番号) + u':' + l.品名.toText();
    QCOMPARE(names, (QStringList{txt("1:1-1"), txt("1:1-2"), txt("3:3-1"), txt("3:3-2"), txt("3:3-3"), txt("5:5-1"),
                                 txt("5:5-2")}));
    q.withDeleted = false;
    QCOMPARE(Search伝票明細(*main, q).size(), std::size_t(5));
}

void ListTest::csv() {
    // The bytes: a BOM, CRLF between records, commas, quotes and line breaks quoted.
    const QList<QStringList> records = {{txt("伝票番号"), txt("顧客名")},
                                        {txt("1"), txt("佐藤, 鈴木")},
                                        {txt("2"), txt("言う\"はい\"")},
                                        {txt("3"), txt("一行目\n二行目")},
                                        {txt(""), txt("CR\rだけ")}};
    const QByteArray doc = encodeCsvFile(writeCsv(records));
    QCOMPARE(doc, "\xEF\xBB\xBF" + txt("伝票番号,顧客名\r\n1,\"佐藤, 鈴木\"\r\n2,\"言う\"\"はい\"\"\"\r\n"
                                         "3,\"一行目\n二行目\"\r\n,\"CR\rだけ\"\r\n")
                                         .toUtf8());
    QCOMPARE(encodeCsvFile(writeCsv({})), QByteArray("\xEF\xBB\xBF"));

    // The rows: money as stored, to the last decimal; a blank box stays empty; the sums and
    // taxes by rate of a "10%・8%" invoice beside them.
    BookRow r;
    r.伝票番号 = 12;
    r.世代 = 1;
    r.日付 = txt("2024/03/31");
    r.顧客名 = txt("株式会社\"A,B\"");
    r.税抜計 = yen(1234567);
    r.合計 = Currency::fromRaw(12345); // 1.2345 yen
    r.対象10 = yen(1000);
    r.消費税10 = yen(100);
    r.対象8 = yen(500);
    r.消費税8 = yen(40);
    r.corrections = 2;
    r.支払期限 = txt("2024/04/30");
    r.種別 = txt("納品書");
    r.元種別 = txt("見積書");
    r.元番号 = 7;
    QStringList got;
    for (const QStringList& row : bookCsvRows({r}))
        got << row.join(u'|');
    QCOMPARE(got, (QStringList{txt("伝票番号|日付|顧客名|税抜計|消費税|合計|状態|件名|支払期限|10%対象|10%消費税|8%対象|8%消費税|世代|種別|元伝票|"
                                   "入金額|残高|入金状態"),
                               txt("12|2024/03/31|株式会社\"A,B\"|1234567||1.2345|訂正 2回||2024/04/30|1000|100|500|40|1|"
                                   "納品書|見積書 No. 7 より|||")}));
    // Lines numbered from 1, with their rate: their own under "10%・8%", 5 (0 when exempt) for a
    // "5%" invoice, whose lines are stored without one.
    const std::vector<BookLine> lines = {
        {12, 1, Value(0), Value(txt("品")), Value(2.5), Value(), Value(*yen(100)), Value(*yen(250)), Value(false), Value(8)},
        {13, 2, Value(0), Value(txt("旧")), Value(1.0), Value(), Value(*yen(5)), Value(*yen(5)), Value(false), Value()},
        {13, 2, Value(1), Value(txt("旧免")), Value(1.0), Value(), Value(*yen(5)), Value(*yen(5)), Value(true), Value()},
    };
    got.clear();
    for (const QStringList& row : bookLineCsvRows(lines))
        got << row.join(u',');
    QCOMPARE(got, (QStringList{txt("伝票番号,行番号,品名,数量,単位,単価,金額,非課税,税率,世代,種別"),
                               txt("12,1,品,2.5,,100,250,0,8,1,請求書"), txt("13,1,旧,1,,5,5,0,5,2,請求書"),
                               txt("13,2,旧免,1,,5,5,1,0,2,請求書")}));
    QCOMPARE(linesCsvPath(txt("/tmp/x/伝票一覧_20240101.csv")), txt("/tmp/x/伝票一覧_20240101_明細.csv"));
    QCOMPARE(linesCsvPath(txt("/tmp/x/一覧")), txt("/tmp/x/一覧_明細.csv"));
}

QTEST_GUILESS_MAIN(ListTest)
#include "test_list.moc"
