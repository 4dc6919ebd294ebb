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
    void csvBytes();
    void csvRowsAndNames();

  private:
    std::unique_ptr<TestData> data;
    std::unique_ptr<Database> main;
};

namespace {

using Numbers = QList<qint32>;

QList<qint32> numbers(const std::vector<BookRow>& rows) {
    QList<qint32> out;
    for (const BookRow& r : rows)
        out << r.伝票番号;
    return out;
}

std::optional<QDate> day(const char* s) {
    return QDate::fromString(txt(s), txt("yyyy/MM/dd"));
}
std::optional<Currency> yen(qint64 v) {
    return Currency::fromWhole(v);
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
    auto q = [](auto set) {
        BookQuery b;
        set(b);
        return b;
    };
    QTest::newRow("nothing set: every live invoice") << BookQuery{} << Numbers{1, 2, 3, 4};
    QTest::newRow("with deleted") << q([](BookQuery& b) { b.withDeleted = true; }) << Numbers{1, 2, 3, 4, 5};
    QTest::newRow("from") << q([](BookQuery& b) { b.from = day("2024/02/01"); }) << Numbers{2, 3, 4};
    QTest::newRow("to, inclusive") << q([](BookQuery& b) { b.to = day("2024/02/20"); }) << Numbers{1, 2};
    QTest::newRow("date range") << q([](BookQuery& b) {
        b.from = day("2024/02/01");
        b.to = day("2024/03/05");
    }) << Numbers{2, 3};
    QTest::newRow("date range reversed") << q([](BookQuery& b) {
        b.from = day("2024/03/05");
        b.to = day("2024/02/01");
    }) << Numbers{2, 3};
    QTest::newRow("one day") << q([](BookQuery& b) { b.from = b.to = day("2024/03/31"); }) << Numbers{4};
    QTest::newRow("customer part, also in the details")
        << q([](BookQuery& b) { b.customer = txt("山田"); }) << Numbers{1, 3};
    QTest::newRow("customer part with deleted") << q([](BookQuery& b) {
        b.customer = txt("山田");
        b.withDeleted = true;
    }) << Numbers{1, 3, 5};
    QTest::newRow("underscore taken literally") << q([](BookQuery& b) { b.customer = txt("_"); }) << Numbers{2};
    QTest::newRow("percent taken literally") << q([](BookQuery& b) { b.customer = txt("%"); }) << Numbers{3};
    QTest::newRow("quote and backslash find nothing") << q([](BookQuery& b) { b.customer = txt("'\\"); })
                                                      << Numbers{};
    QTest::newRow("no such customer") << q([](BookQuery& b) { b.customer = txt("佐藤"); }) << Numbers{};
    QTest::newRow("lower bound of the total") << q([](BookQuery& b) { b.min = yen(1000); }) << Numbers{1, 2, 3};
    QTest::newRow("upper bound of the total") << q([](BookQuery& b) { b.max = yen(1000); }) << Numbers{1, 4};
    QTest::newRow("range of the total") << q([](BookQuery& b) {
        b.min = yen(1000);
        b.max = yen(5000);
    }) << Numbers{1, 2};
    QTest::newRow("range of the total reversed") << q([](BookQuery& b) {
        b.min = yen(5000);
        b.max = yen(1000);
    }) << Numbers{1, 2};
    QTest::newRow("corrected total is what counts") << q([](BookQuery& b) { b.min = b.max = yen(950); })
                                                    << Numbers{4};
    QTest::newRow("customer, date and deleted") << q([](BookQuery& b) {
        b.customer = txt("山田");
        b.from = day("2024/02/01");
        b.withDeleted = true;
    }) << Numbers{3, 5};
    QTest::newRow("customer, total and deleted") << q([](BookQuery& b) {
        b.customer = txt("山田");
        b.min = yen(2000);
        b.max = yen(3000);
        b.withDeleted = true;
    }) << Numbers{5};
    QTest::newRow("everything, nothing matches") << q([](BookQuery& b) {
        b.customer = txt("鈴木");
        b.from = day("2024/01/01");
        b.to = day("2024/12/31");
        b.min = yen(1000);
    }) << Numbers{};
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
    QCOMPARE(rows[0].状態(), QString());
    QCOMPARE(rows[3].状態(), txt("訂正 2回"));
    QCOMPARE(rows[4].状態(), txt("削除済み"));
    // The deleted invoice shows its last copy, amounts exact.
    QCOMPARE(rows[4].顧客名, txt("山田商店"));
    QCOMPARE(rows[4].日付, txt("2024/04/01"));
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

void ListTest::csvBytes() {
    const QByteArray doc = encodeCsvFile(writeCsv({{txt("伝票番号"), txt("顧客名")},
                                        {txt("1"), txt("佐藤, 鈴木")},
                                        {txt("2"), txt("言う\"はい\"")},
                                        {txt("3"), txt("一行目\n二行目")},
                                        {txt(""), txt("CR\rだけ")}}));
    const QByteArray expected = QByteArray("\xEF\xBB\xBF") +
                                txt("伝票番号,顧客名\r\n"
                                    "1,\"佐藤, 鈴木\"\r\n"
                                    "2,\"言う\"\"はい\"\"\"\r\n"
                                    "3,\"一行目\n二行目\"\r\n"
                                    ",\"CR\rだけ\"\r\n")
                                    .toUtf8();
    QCOMPARE(doc, expected);
    QCOMPARE(encodeCsvFile(writeCsv({})), QByteArray("\xEF\xBB\xBF"));

    QTemporaryDir dir;
    const QString path = dir.filePath(txt("一覧.csv"));
    QString reason;
    QVERIFY(writeCsvFile(path, writeCsv({{txt("伝票番号"), txt("顧客名")}}), &reason));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), doc.left(doc.indexOf('\n') + 1));
    QVERIFY(!writeCsvFile(dir.filePath(txt("無い/一覧.csv")), QString(), &reason));
    QVERIFY(!reason.isEmpty());
}

void ListTest::csvRowsAndNames() {
    BookRow r;
    r.伝票番号 = 12;
    r.日付 = txt("2024/03/31");
    r.顧客名 = txt("株式会社\"A,B\"");
    r.税抜計 = Currency::fromWhole(1234567);
    r.合計 = Currency::fromRaw(12345); // 1.2345 yen is written as it is stored
    r.corrections = 2;
    const auto rows = bookCsvRows({r});
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows[0], (QStringList{txt("伝票番号"), txt("日付"), txt("顧客名"), txt("税抜計"), txt("消費税"),
                                   txt("合計"), txt("状態")}));
    QCOMPARE(rows[1], (QStringList{txt("12"), txt("2024/03/31"), txt("株式会社\"A,B\""), txt("1234567"), QString(),
                                   txt("1.2345"), txt("訂正 2回")}));
    BookLine l{12, Value(0), Value(txt("品")), Value(2.5), Value(), Value(Currency::fromWhole(100)),
               Value(Currency::fromWhole(250)), Value(true)};
    QCOMPARE(bookLineCsvRows({l})[1],
             (QStringList{txt("12"), txt("0"), txt("品"), txt("2.5"), QString(), txt("100"), txt("250"), txt("1")}));
    QCOMPARE(linesCsvPath(txt("/tmp/x/伝票一覧_20240101.csv")), txt("/tmp/x/伝票一覧_20240101_明細.csv"));
    QCOMPARE(linesCsvPath(txt("/tmp/x/一覧")), txt("/tmp/x/一覧_明細.csv"));
}

QTEST_GUILESS_MAIN(ListTest)
#include "test_list.moc"
