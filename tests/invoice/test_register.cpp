#include "helpers.h"
#include "invoice/invoice_io.h"
#include "invoice/lines.h"
#include "invoice/numbering.h"
#include "store/statements.h"
#include "support/testdb.h"

#include <QtTest>

class RegisterTest : public QObject {
    Q_OBJECT
  private slots:
    void numberForms_data();
    void numberForms();
    void gapRule();
    void registerStoresLinesHeaderAndMasters();
    void reregisterReplaces();
    void emptyCustomerAddsNoCustomer();
    void failureLeavesEverythingAsBefore();
    void loadPutsLinesOnRowsFromOne();
    void loadStopsAtThirtyLines();
    void deleteKeepsCounter();
    void registerAgainstAnotherPc_data();
    void registerAgainstAnotherPc();
};

namespace {

const QString Counter = txt("最大請求書番号");

InvoiceHeader header(qint32 number, const QString& customer, const QString& details) {
    InvoiceHeader h;
    h.number = number;
    h.date = txt("2024/03/15");
    h.顧客名 = customer;
    h.顧客情報 = details;
    h.税抜計 = Currency::fromWhole(3800);
    h.消費税 = Currency::fromWhole(175);
    h.合計 = Currency::fromWhole(3975);
    return h;
}

// Three lines, the second one exempt, the third with neither price nor quantity.
void writeThreeLines(Database& work) {
    Clear明細ワーク(work);
    setLine(work, 1, Value(txt("  りんご ")), Value(10.0), Value(txt("個")), money("100"), money("1000"));
    setLine(work, 2, Value(txt("送料")), Value(), Value(), money("2500"), money("2500"), true);
    setLine(work, 3, Value(txt("お値引き")), Value(), Value(), Value(), money("300"));
}

QStringList storedLines(Database& main, qint32 number) {
    return dump(main, txt("請求書")).filter(txt("伝票番号=") + QString::number(number) + u'|');
}

QString offered(Database& main) {
    return Proc管理(main, Counter, txt("Get"), txt("0"));
}

} // namespace

void RegisterTest::numberForms_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("check");
    QTest::addColumn<int>("number");
    const int ok = int(NumberCheck::Ok), bad = int(NumberCheck::NotNumeric), range = int(NumberCheck::OutOfRange);
    QTest::newRow("plain") << txt("42") << ok << 42;
    QTest::newRow("leading zeros") << txt("007") << ok << 7;
    QTest::newRow("many leading zeros") << txt("000000000000042") << ok << 42;
    QTest::newRow("largest") << txt("2147483647") << ok << 2147483647;
    QTest::newRow("empty") << QString() << int(NumberCheck::Empty) << 0;
    QTest::newRow("zero") << txt("0") << range << 0;
    QTest::newRow("zeros") << txt("0000") << range << 0;
    QTest::newRow("one past largest") << txt("2147483648") << range << 0;
    QTest::newRow("too many digits") << txt("123456789012345678901") << range << 0;
    QTest::newRow("letter after digits") << txt("12a") << bad << 0;
    QTest::newRow("grouping") << txt("1,000") << bad << 0;
    QTest::newRow("decimal point") << txt("1.0") << bad << 0;
    QTest::newRow("plus sign") << txt("+5") << bad << 0;
    QTest::newRow("minus sign") << txt("-5") << bad << 0;
    QTest::newRow("exponent") << txt("1e3") << bad << 0;
    QTest::newRow("leading blank") << txt(" 5") << bad << 0;
    QTest::newRow("trailing blank") << txt("5 ") << bad << 0;
    QTest::newRow("only blank") << txt(" ") << bad << 0;
    QTest::newRow("full-width digits") << txt("１２") << ok << 12;
    QTest::newRow("full-width minus") << txt("－５") << bad << 0;
    QTest::newRow("hex") << txt("0x1F") << bad << 0;
}

void RegisterTest::numberForms() {
    QFETCH(QString, text);
    QFETCH(int, check);
    QFETCH(int, number);
    qint32 n = 0;
    QCOMPARE(int(CheckInvoiceNumber(text, &n)), check);
    if (check == int(NumberCheck::Ok))
        QCOMPARE(n, number);
}

void RegisterTest::gapRule() {
    TestData data;
    auto work = data.openWork();
    Clear明細ワーク(*work);
    QVERIFY(!LinesHaveGap(*work));
    writeThreeLines(*work);
    QVERIFY(!LinesHaveGap(*work));
    setLine(*work, 30, Value(txt("最後")), Value(), Value(), Value(), Value());
    QVERIFY(LinesHaveGap(*work));

    struct Case {
        const char* what;
        int row;
        Value name, qty, price, amount;
    };
    const Case cases[] = {
        {"amount on a nameless line", 4, Value(), Value(), Value(), money("10")},
        {"quantity on a nameless line", 30, Value(), Value(1.0), Value(), Value()},
        {"price on a nameless line", 4, Value(), Value(), money("5"), Value()},
        {"name below an empty line", 5, Value(txt("下")), Value(), Value(), Value()},
        {"name below a blank name", 5, Value(txt("下")), Value(), Value(), Value()},
    };
    for (const Case& c : cases) {
        writeThreeLines(*work);
        if (QByteArray(c.what) == "name below a blank name")
            setLine(*work, 4, Value(txt("  ")), Value(), Value(), Value(), Value());
        setLine(*work, c.row, c.name, c.qty, Value(), c.price, c.amount);
        QVERIFY2(LinesHaveGap(*work), c.what);
    }
    // A unit or an exempt tick alone on a nameless line holds nothing that would be lost from the totals.
    writeThreeLines(*work);
    setLine(*work, 4, Value(), Value(), Value(txt("個")), Value(), Value(), true);
    QVERIFY(!LinesHaveGap(*work));
    // A first line without a name and everything else blank is an empty invoice, not a gap.
    Clear明細ワーク(*work);
    setLine(*work, 1, Value(), Value(), Value(), Value(), Value());
    QVERIFY(!LinesHaveGap(*work));
}

void RegisterTest::registerStoresLinesHeaderAndMasters() {
    TestData data;
    auto main = data.openMain();
    auto work = data.openWork();
    writeThreeLines(*work);
    InvoiceHeader h = header(42, txt("佐藤商事"), txt("東京都千代田区1-1"));
    h.消費税.reset();
    Entry請求書(*main, *work, h);

    QCOMPARE(
        storedLines(*main, 42),
        QStringList({txt("伝票番号=42|顧客名=佐藤商事|日付=2024/03/15|行番号=0|伝票区分=1|品名=りんご|数量=10|"
                         "単位=個|単価=100|金額=1000|非課税=False|税率=<null>|種別=請求書"),
                     txt("伝票番号=42|顧客名=佐藤商事|日付=2024/03/15|行番号=1|伝票区分=1|品名=送料|数量=<null>|"
                         "単位=<null>|単価=2500|金額=2500|非課税=True|税率=<null>|種別=請求書"),
                     txt("伝票番号=42|顧客名=佐藤商事|日付=2024/03/15|行番号=2|伝票区分=1|品名=お値引き|数量=<null>|"
                         "単位=<null>|単価=<null>|金額=300|非課税=False|税率=<null>|種別=請求書")}));
    QCOMPARE(dump(*main, txt("請求書ヘッダ")),
             QStringList({txt("伝票番号=42|日付=2024/03/15|顧客名=佐藤商事|顧客情報=東京都千代田区1-1|消費税=<null>|"
                              "税抜計=3800|合計=3975|税率方式=5%|税区分=<null>|端数処理=<null>|対象10=<null>|"
                              "消費税10=<null>|対象8=<null>|消費税8=<null>|登録番号=<null>|件名=<null>|支払期限=<null>|"
                              "備考=<null>|振込先=<null>|敬称=様|種別=請求書|元種別=<null>|元番号=<null>|有効期限=<null>|但し書き=<null>|更新回数=0")}));
    QCOMPARE(dump(*main, txt("顧客マスタ")), QStringList({txt("顧客名=佐藤商事|顧客情報=東京都千代田区1-1|敬称=様|PeppolID=<null>|郵便番号=<null>|住所=<null>|締日=<null>|支払月=<null>|支払日=<null>|請求方法=都度|更新回数=1")}));
    // Trimmed; the line with neither price nor quantity stays out of the master.
    QCOMPARE(dump(*main, txt("商品マスタ")), QStringList({txt("品名=りんご|単位=個|単価=100|非課税=False|税率=<null>|更新回数=1"),
                                                          txt("品名=送料|単位=<null>|単価=2500|非課税=True|税率=<null>|更新回数=1")}));
    QCOMPARE(offered(*main), txt("43"));

    const auto read = Read請求書ヘッダ(*main, 42);
    QVERIFY(read.has_value());
    QCOMPARE(read->date, txt("2024/03/15"));
    QCOMPARE(read->顧客名, txt("佐藤商事"));
    QCOMPARE(read->顧客情報, txt("東京都千代田区1-1"));
    QVERIFY(!read->消費税.has_value());
    QCOMPARE(read->税抜計, Currency::fromWhole(3800));
    QCOMPARE(read->合計, Currency::fromWhole(3975));
    QVERIFY(!Read請求書ヘッダ(*main, 43).has_value());
}

void RegisterTest::reregisterReplaces() {
    TestData data;
    auto main = data.openMain();
    auto work = data.openWork();
    addProduct(*main, txt("送料"), Value(txt("回")), money("900"), false);
    writeThreeLines(*work);
    Entry請求書(*main, *work, header(100, txt("佐藤商事"), txt("旧住所")));
    Entry請求書(*main, *work, header(7, txt("鈴木"), txt("大阪")));
    QCOMPARE(offered(*main), txt("101"));

    // Invoice 7 again, with two lines and the details box emptied.
    Clear明細ワーク(*work);
    setLine(*work, 1, Value(txt("送料")), Value(1.0), Value(), Value(), money("700"));
    setLine(*work, 2, Value(txt("箱")), Value(2.0), Value(txt("箱")), money("50"), money("100"));
    InvoiceHeader h = header(7, txt("鈴木"), QString());
    h.合計.reset();
    Entry請求書(*main, *work, h);

    const QStringList lines = storedLines(*main, 7);
    QCOMPARE(lines.size(), 2);
    QVERIFY(lines[0].contains(txt("|行番号=0|")) && lines[0].contains(txt("品名=送料|数量=1|")));
    QVERIFY(lines[1].contains(txt("|行番号=1|")) && lines[1].contains(txt("品名=箱|")));
    QCOMPARE(storedLines(*main, 100).size(), 3); // the other invoice is untouched
    QCOMPARE(dump(*main, txt("請求書ヘッダ")).filter(txt("伝票番号=7|")),
             QStringList({txt("伝票番号=7|日付=2024/03/15|顧客名=鈴木|顧客情報=|消費税=175|税抜計=3800|合計=<null>"
                              "|税率方式=5%|税区分=<null>|端数処理=<null>|対象10=<null>|消費税10=<null>|"
                              "対象8=<null>|消費税8=<null>|登録番号=<null>|件名=<null>|支払期限=<null>|"
                              "備考=<null>|振込先=<null>|敬称=様|種別=請求書|元種別=<null>|元番号=<null>|有効期限=<null>|但し書き=<null>|更新回数=1")})); // replaced once
    QCOMPARE(dump(*main, txt("顧客マスタ")),
             QStringList({txt("顧客名=佐藤商事|顧客情報=旧住所|敬称=様|PeppolID=<null>|郵便番号=<null>|住所=<null>|締日=<null>|支払月=<null>|支払日=<null>|請求方法=都度|更新回数=1"),
                          txt("顧客名=鈴木|顧客情報=|敬称=様|PeppolID=<null>|郵便番号=<null>|住所=<null>|締日=<null>|支払月=<null>|支払日=<null>|請求方法=都度|更新回数=2")}));
    // The later line's values win, also a Null unit and price.
    QCOMPARE(dump(*main, txt("商品マスタ")).filter(txt("品名=送料|")),
             QStringList({txt("品名=送料|単位=<null>|単価=<null>|非課税=False|税率=<null>|更新回数=2")}));
    QCOMPARE(offered(*main), txt("101"));
}

void RegisterTest::emptyCustomerAddsNoCustomer() {
    TestData data;
    auto main = data.openMain();
    auto work = data.openWork();
    writeThreeLines(*work);
    Entry請求書(*main, *work, header(3, QString(), txt("メモ")));
    QCOMPARE(dump(*main, txt("顧客マスタ")), QStringList());
    QCOMPARE(dump(*main, txt("請求書ヘッダ")).size(), 1);
    QCOMPARE(storedLines(*main, 3).size(), 3);
    QCOMPARE(Read請求書ヘッダ(*main, 3)->顧客名, QString());

    // An empty work table stores the header alone and drops earlier lines of the number.
    Clear明細ワーク(*work);
    Entry請求書(*main, *work, header(3, QString(), QString()));
    QCOMPARE(storedLines(*main, 3), QStringList());
    QCOMPARE(dump(*main, txt("請求書ヘッダ")).size(), 1);
}

void RegisterTest::failureLeavesEverythingAsBefore() {
    TestData data;
    auto main = data.openMain();
    auto work = data.openWork();
    writeThreeLines(*work);
    Entry請求書(*main, *work, header(5, txt("佐藤商事"), txt("旧住所")));
    const QStringList before = dumpMain(*main);

    main->executeRaw(
        txt("CREATE TRIGGER refuse BEFORE INSERT ON 請求書ヘッダ BEGIN SELECT RAISE(ABORT, 'disk full'); END"));
    Clear明細ワーク(*work);
    setLine(*work, 1, Value(txt("新商品")), Value(1.0), Value(txt("台")), money("9000"), money("9000"));
    for (const InvoiceHeader& h : {header(5, txt("佐藤商事"), txt("新住所")), header(9, txt("新顧客"), txt("x"))}) {
        bool failed = false;
        try {
            Entry請求書(*main, *work, h);
        } catch (const DbError& e) {
            failed = true;
            QVERIFY(e.text.contains(txt("disk full")));
        }
        QVERIFY(failed);
        QCOMPARE(dumpMain(*main), before);
    }
    QVERIFY(!main->inTransaction());

    // Once the cause is gone the same register goes through.
    main->executeRaw(txt("DROP TRIGGER refuse"));
    Entry請求書(*main, *work, header(9, txt("新顧客"), txt("x")));
    QCOMPARE(storedLines(*main, 9).size(), 1);
    QCOMPARE(offered(*main), txt("10"));
}

void RegisterTest::loadPutsLinesOnRowsFromOne() {
    TestData data;
    auto main = data.openMain();
    auto work = data.openWork();
    writeThreeLines(*work);
    Entry請求書(*main, *work, header(8, txt("佐藤商事"), txt("住所")));

    Clear明細ワーク(*work);
    setLine(*work, 29, Value(txt("画面の残り")), Value(1.0), Value(), money("1"), money("1"));
    Read請求書(*main, *work, 8);
    const QStringList rows = dump(*work, txt("w明細"));
    QCOMPARE(rows.size(), 30);
    QCOMPARE(rows.mid(0, 3),
             QStringList({txt("行番号=1|品名=りんご|数量=10|単位=個|単価=100|金額=1000|非課税=False|税率=<null>"),
                          txt("行番号=2|品名=送料|数量=<null>|単位=<null>|単価=2500|金額=2500|非課税=True|税率=<null>"),
                          txt("行番号=3|品名=お値引き|数量=<null>|単位=<null>|単価=<null>|金額=300|"
                              "非課税=False|税率=<null>")}));
    for (int i = 3; i < 30; ++i)
        QCOMPARE(rows[i],
                 QString(txt("行番号=%1|品名=<null>|数量=<null>|単位=<null>|単価=<null>|金額=<null>|非課税=False|"
                             "税率=<null>"))
                     .arg(i + 1));

    // An unregistered number leaves 30 blank lines.
    Read請求書(*main, *work, 999);
    QCOMPARE(dump(*work, txt("w明細")).filter(txt("品名=<null>")).size(), 30);
}

void RegisterTest::loadStopsAtThirtyLines() {
    TestData data;
    auto main = data.openMain();
    auto work = data.openWork();
    // Stored out of order and with gaps in 行番号: the order of 行番号 decides the rows.
    auto rs = main->openRecordset(sql::I4(txt("11"), txt("請求書")));
    for (int n = 32; n >= 0; --n) {
        if (n == 5)
            continue;
        rs->addNew();
        rs->setField(txt("伝票番号"), 11);
        rs->setField(txt("行番号"), n);
        rs->setField(txt("伝票区分"), 1);
        rs->setField(txt("品名"), Value(QString::number(n)));
        rs->update();
    }
    Read請求書(*main, *work, 11);
    const QStringList rows = dump(*work, txt("w明細"));
    QCOMPARE(rows.size(), 30);
    QVERIFY(rows[0].startsWith(txt("行番号=1|品名=0|")));
    QVERIFY(rows[5].startsWith(txt("行番号=6|品名=6|")));
    QVERIFY(rows[29].startsWith(txt("行番号=30|品名=30|")));
}

void RegisterTest::deleteKeepsCounter() {
    TestData data;
    auto main = data.openMain();
    auto work = data.openWork();
    writeThreeLines(*work);
    Entry請求書(*main, *work, header(3, txt("佐藤商事"), txt("住所")));
    Entry請求書(*main, *work, header(4, txt("佐藤商事"), txt("住所")));
    const QStringList three = storedLines(*main, 3);

    Delete請求書(*main, 4);
    QCOMPARE(storedLines(*main, 4), QStringList());
    QVERIFY(!Read請求書ヘッダ(*main, 4).has_value());
    QCOMPARE(storedLines(*main, 3), three);
    QVERIFY(Read請求書ヘッダ(*main, 3).has_value());
    QCOMPARE(offered(*main), txt("5"));
    QCOMPARE(dump(*main, txt("商品マスタ")).size(), 2);

    // A delete that fails at the header keeps the lines too.
    main->executeRaw(txt("CREATE TRIGGER keep BEFORE DELETE ON 請求書ヘッダ BEGIN SELECT RAISE(ABORT, 'locked'); END"));
    const QStringList stored = dumpMain(*main);
    QVERIFY_THROWS_EXCEPTION(DbError, Delete請求書(*main, 3));
    QCOMPARE(dumpMain(*main), stored);
    main->executeRaw(txt("DROP TRIGGER keep"));

    // Deleting a number never registered changes nothing.
    const QStringList before = dumpMain(*main);
    Delete請求書(*main, 77);
    QCOMPARE(dumpMain(*main), before);
}

void RegisterTest::registerAgainstAnotherPc_data() {
    // Invoice 5 is stored (count 0) and read by this PC; then another PC does `meanwhile`.
    QTest::addColumn<QString>("meanwhile"); // "", "correct" or "delete"
    QTest::addColumn<int>("expect");        // InvoiceHeader::Expect
    QTest::addColumn<int>("number");        // the number this PC registers under
    QTest::addColumn<QString>("refusal");   // "" when the register goes through
    QTest::addColumn<int>("registered");    // the number it went under
    using E = InvoiceHeader::Expect;
    QTest::newRow("read copy unchanged") << QString() << int(E::Loaded) << 5 << QString() << 5;
    QTest::newRow("corrected since") << txt("correct") << int(E::Loaded) << 5 << txt("伝票 5 は他のPCで変更されました") << 0;
    QTest::newRow("deleted since") << txt("delete") << int(E::Loaded) << 5 << txt("伝票 5 は他のPCで削除されました") << 0;
    QTest::newRow("new over a stored one") << QString() << int(E::New) << 5 << txt("伝票 5 は他のPCで登録されました") << 0;
    QTest::newRow("offered number taken") << QString() << int(E::NextNumber) << 5 << QString() << 6;
}

void RegisterTest::registerAgainstAnotherPc() {
    QFETCH(QString, meanwhile);
    QFETCH(int, expect);
    QFETCH(int, number);
    QFETCH(QString, refusal);
    QFETCH(int, registered);
    TestData data;
    auto main = data.openMain();
    auto work = data.openWork();
    writeThreeLines(*work);
    Entry請求書(*main, *work, header(5, txt("佐藤商事"), txt("住所")));
    InvoiceHeader mine = *Read請求書ヘッダ(*main, 5);
    if (meanwhile == txt("correct"))
        Entry請求書(*main, *work, *Read請求書ヘッダ(*main, 5));
    else if (meanwhile == txt("delete"))
        Delete請求書(*main, 5);
    mine.number = number;
    mine.expect = InvoiceHeader::Expect(expect);
    mine.顧客名 = txt("このPC");
    const QStringList before = dumpMain(*main);
    if (!refusal.isEmpty()) {
        try {
            Entry請求書(*main, *work, mine);
            QFAIL("the register must be refused");
        } catch (const StaleInvoice& e) {
            QVERIFY2(e.text.contains(refusal), qPrintable(e.text));
        }
        QCOMPARE(dumpMain(*main), before); // nothing of either PC's work is overwritten
        return;
    }
    QCOMPARE(Entry請求書(*main, *work, mine), registered);
    QCOMPARE(Read請求書ヘッダ(*main, registered)->顧客名, txt("このPC"));
    QCOMPARE(Read請求書ヘッダ(*main, registered)->更新回数, registered == 5 ? 1 : 0);
    QCOMPARE(offered(*main), QString::number(registered + 1));
}

int runRegisterTests(int argc, char** argv) {
    RegisterTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_register.moc"
