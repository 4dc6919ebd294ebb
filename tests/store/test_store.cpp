#include "store/database.h"
#include "store/dialect.h"
#include "store/quote.h"
#include "store/statements.h"
#include "store/tables.h"
#include "support/testdb.h"

#include <QFile>
#include <QtTest>

class StoreTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() {
        if (serverBackend() && !serverTestsPossible())
            QSKIP("no PostgreSQL test server");
    }
    void currencyConversions();
    void currencyParse();
    void dialectRewrites();
    void dialectRefusesUnknownForms();
    void dialectForTheServer();
    void everyStatementRunsOnRealFiles();
    void recordsetSemantics();
    void longListsReadInOnePass();
    void sumsOfMoneyAreExact();
    void apostrophesAreExact();
    void openRefusesBadFiles();
    void transactionRollsBackEverything();
};

void StoreTest::currencyConversions() {
    // Nearest ten-thousandth, ties to even.
    QCOMPARE(Currency::fromDouble(0.00025).raw(), 2); // exact ties go to even
    QCOMPARE(Currency::fromDouble(0.00035).raw(), 4);
    QCOMPARE(Currency::fromDouble(0.00045).raw(), 4);
    QCOMPARE(Currency::fromDouble(0.00005).raw(), 0);
    QCOMPARE(Currency::fromDouble(1.00005).raw(), 10001); // just above the tie in double
    QCOMPARE(Currency::fromDouble(-2.5).raw(), -25000);
    QCOMPARE(Currency::fromDouble(3333.333333).raw(), 33333333);
    // Limits the program allows: ±9,999,999,999.99 and the product of the largest inputs.
    QCOMPARE(Currency::fromDouble(9999999999.99).raw(), 99999999999900LL);
    QCOMPARE(Currency::fromDouble(-9999999999.99).raw(), -99999999999900LL);
    QCOMPARE(Currency::fromRaw(99999999999900LL).toString(), QStringLiteral("9999999999.99"));
    QCOMPARE(Currency::fromRaw(-12345).toString(), QStringLiteral("-1.2345"));
    QCOMPARE(Currency::fromRaw(-10000).toString(), QStringLiteral("-1"));
}

void StoreTest::currencyParse() {
    QCOMPARE(Currency::parse(QStringLiteral("1234.5"))->raw(), 12345000);
    QCOMPARE(Currency::parse(QStringLiteral("-0.0001"))->raw(), -1);
    QCOMPARE(Currency::parse(QStringLiteral(" 7 "))->raw(), 70000);
    QVERIFY(!Currency::parse(QStringLiteral("1,000")));
    QVERIFY(!Currency::parse(QStringLiteral("1e3")));
    QVERIFY(!Currency::parse(QStringLiteral("")));
    QVERIFY(!Currency::parse(QStringLiteral("-")));
    QVERIFY(!Currency::parse(QStringLiteral("0.00001")));         // finer than money holds
    QVERIFY(!Currency::parse(QStringLiteral("123456789012345"))); // beyond 64-bit money range we allow
}

void StoreTest::dialectRewrites() {
    auto rw = [](const QString& s) {
        return rewriteStatement(s, [](const QString&) { return QStringLiteral("ext1"); });
    };
    QCOMPARE(rw(QStringLiteral("delete * from w明細")).sql, QStringLiteral("delete from w明細"));
    QCOMPARE(rw(QStringLiteral("select * from w明細 where not (isnull(品名)) ")).sql,
             QStringLiteral("select * from w明細 where not ( ((品名) IS NULL) )"));
    QCOMPARE(rw(QStringLiteral("select sum([金額]) AS total FROM w明細")).sql,
             QStringLiteral("select sum ( \"金額\" ) AS total FROM w明細"));
    QCOMPARE(rw(sql::C7()).sql, QStringLiteral("delete from w顧客マスタ where チェック = 1"));
    QCOMPARE(rw(sql::I13()).sql, QStringLiteral("SELECT SUM ( \"金額\" ) AS htotal FROM w明細 where 非課税 = 0"));
    QCOMPARE(rw(sql::C4(QStringLiteral("/d/Vornisa.mdb"))).sql,
             QStringLiteral("insert into w顧客マスタ (\"顧客名\",\"顧客情報\",\"敬称\",\"PeppolID\",\"郵便番号\",\"住所\",\"締日\","
                            "\"支払月\",\"支払日\",\"請求方法\",\"更新回数\") select 顧客名 , 顧客情報 , 敬称 , PeppolID , 郵便番号 , 住所 , 締日 , "
                            "支払月 , 支払日 , 請求方法 , 更新回数 from ext1.\"顧客マスタ\" order by 顧客名"));
    // An isnull inside another's argument is rewritten too.
    QCOMPARE(rw(QStringLiteral("select * from x where isnull((select max(a) from y where isnull(b)))")).sql,
             QStringLiteral("select * from x where ((( select max ( a ) from y where ((b) IS NULL) )) IS NULL)"));
    // Quoted text passes untouched, doubled quotes and keywords inside it included.
    QCOMPARE(rw(sql::C1(QStringLiteral("O'Brien; delete * from x"))).sql,
             QStringLiteral("select * from 顧客マスタ where 顧客名 = 'O''Brien; delete * from x'"));
    // Which selects can write back.
    QCOMPARE(rw(sql::S1()).updatableTable, QStringLiteral("自社情報"));
    QCOMPARE(rw(sql::I7(QStringLiteral("7"), QStringLiteral("請求書"))).updatableTable, QStringLiteral("請求書"));
    QCOMPARE(rw(sql::I12()).updatableTable, QString());
    // A compound select has no single table, even when its first part looks like one.
    sql::BookFilter f;
    f.withDeleted = true;
    QCOMPARE(rw(sql::L2(f)).updatableTable, QString());
    // A condition in parentheses right after where is no function call.
    QCOMPARE(rw(QStringLiteral("select * from a where (b = 1 or c = 2)")).sql,
             QStringLiteral("select * from a where ( b = 1 or c = 2 )"));
}

void StoreTest::dialectForTheServer() {
    struct Case {
        QString statement, sql;
        QStringList params;
    };
    const QList<Case> cases = {
        // Text never enters the statement: each literal is a parameter, whatever it holds.
        {sql::C1(QStringLiteral("O'Brien'; drop table x; --")), QStringLiteral("select * from 顧客マスタ where 顧客名 = $1"),
         {QStringLiteral("O'Brien'; drop table x; --")}},
        // LIKE ignores ASCII case as the file's does; the escape character is a parameter too.
        {QStringLiteral("select * from a where b like '%ab%' escape '\\' and c = ''"),
         QStringLiteral("select * from a where b ILIKE $1 escape $2 and c = $3"),
         {QStringLiteral("%ab%"), QStringLiteral("\\"), QStringLiteral("")}},
        // Yes/no stays a word for the server's boolean; delete * and isnull() as for the file.
        {QStringLiteral("delete * from t where a = True and isnull(b)"),
         QStringLiteral("delete from t where a = True and ((b) IS NULL)"), {}},
    };
    for (const Case& c : cases) {
        const Rewritten r = rewriteStatement(c.statement, {}, Engine::Server);
        QCOMPARE(r.sql, c.sql);
        QCOMPARE(r.params, c.params);
        for (const QString& p : r.params)
            QVERIFY(!p.isNull()); // a Null parameter would store Null for 
    }
    // A file named in the statement is out of a server's reach.
    QVERIFY_THROWS_EXCEPTION(DialectError, rewriteStatement(sql::C4(QStringLiteral("/d/Vornisa.mdb")),
                                                            [](const QString&) { return QStringLiteral("ext1"); },
                                                            Engine::Server));
    // The work file's copy of a master, split for a book on a server.
    const auto copy = externalInsert(sql::P10(QStringLiteral("host=s dbname='o''k'")));
    QVERIFY(copy);
    QCOMPARE(copy->target, QStringLiteral("w商品参照"));
    QCOMPARE(copy->book, QStringLiteral("host=s dbname='o''k'")); // the text as given
    QCOMPARE(copy->source, QStringLiteral("select 品名 , 単位 , 単価 , 非課税 , 税率 from 商品マスタ order by 品名 ;"));
    QVERIFY(!externalInsert(sql::C8()));
    // Schema text: the file's types as the server's, a rowid for every table, PRAGMA left out.
    QCOMPARE(serverSchema(QStringLiteral("-- note; with a semicolon\nCREATE TABLE t (a CURRENCY, b BOOLEAN NOT NULL DEFAULT 0,"
                                         " c DATETIME, d DOUBLE, e BLOB, f INTEGER);PRAGMA user_version = 3;")),
             QStringList{QStringLiteral("CREATE TABLE t (rowid bigint GENERATED BY DEFAULT AS IDENTITY UNIQUE, a currency, "
                                        "b boolean NOT NULL DEFAULT false, c datetime, d double precision, e bytea, f bigint)")});
}

void StoreTest::dialectRefusesUnknownForms() {
    const QStringList bad = {QStringLiteral("drop table w明細"),
                             QStringLiteral("select * from a; delete from b"),
                             QStringLiteral("select * from a where x = 'open"),
                             QStringLiteral("select * from [a"),
                             QStringLiteral("select load_extension('x')"),
                             QStringLiteral("select * from a where b = \"c\""),
                             QStringLiteral("insert into a select * from b")};
    for (const QString& s : bad)
        QVERIFY_THROWS_EXCEPTION(DialectError, rewriteStatement(s, {}));
}

void StoreTest::everyStatementRunsOnRealFiles() {
    TestData data;
    auto main = data.openMain();
    auto work = data.openWork();
    const QString name = QStringLiteral("山田商店");
    const QString n = QStringLiteral("7");
    const QString k = QStringLiteral("見積書");
    for (const QString& s :
         {sql::C1(name), sql::C2(), sql::C9(name), sql::P1(name), sql::P8(name), sql::S1(),
          sql::I4(n, k), sql::I5(n, k), sql::I7(n, k), sql::I9(n, k), sql::K1(QStringLiteral("単位"))})
        QVERIFY2(main->openRecordset(s) != nullptr, qPrintable(s));
    for (const QString& s :
         {sql::C6(name), sql::P5(name), sql::I1(n, k), sql::I2(n, k), sql::W1(), sql::W2(), sql::W3(), sql::W4(), sql::W5()})
        main->execute(s);
    for (const QString& s : {sql::C3(), sql::C4(data.mainPath()), sql::C7(), sql::P2(), sql::P3(data.mainPath()),
                             sql::P6(), sql::P9(), sql::P10(data.mainPath()), sql::I10(), sql::H1(name, name)})
        work->execute(s);
    for (const QString& s : {sql::C5(), sql::C8(), sql::P4(), sql::P7(), sql::I3(), sql::I6(), sql::I8(), sql::I11(),
                             sql::I12(), sql::I13(), sql::H2(name, name)})
        QVERIFY2(work->openRecordset(s) != nullptr, qPrintable(s));
    // The book's statements, every part of the list's filter set.
    sql::BookFilter f;
    f.from = QStringLiteral("2024/01/01");
    f.to = QStringLiteral("2024/12/31");
    f.likePattern = QStringLiteral("%山%");
    f.minRaw = QStringLiteral("-10000");
    f.maxRaw = QStringLiteral("10000");
    f.withDeleted = true;
    sql::BookFilter open = f;
    open.paid = sql::BookFilter::Paid::Overdue;
    open.today = f.to;
    open.customer = QStringLiteral("山田");
    const QStringList cols = {QStringLiteral("伝票番号"), QStringLiteral("日付")};
    for (const QString& s : {sql::B1(n, k, 1), sql::B6(n, k, 1), sql::B7(n, k, 1, 1), sql::B8(), sql::B9(), sql::B10(),
                             sql::L1(f, QStringLiteral("日付 desc"), 10, 5), sql::L1({}, QStringLiteral("伝票番号"), -1, 0),
                             sql::L2(f), sql::L2({}), sql::L1(open, QStringLiteral("残高"), -1, 0), sql::N1(n, 1), sql::N2(1), sql::N4(f, f.from, f.to),
                             sql::U1(f.from, f.to, f.to, f.from, f.from), sql::T1(), sql::T2(name),
                             sql::T3(name, f.from, f.to), sql::T4(n), sql::T5(name, f.from, f.to), sql::T6(1), sql::T7(1),
                             sql::T9(n), sql::T11(n)})
        QVERIFY2(main->openRecordset(s) != nullptr, qPrintable(s));
    for (const QString& s : {sql::B2(cols, n, k), sql::B3(n, k, 1, QStringLiteral("訂正"), QStringLiteral("2024/01/01 10:00:00"), 1),
                             sql::B4(cols, n, k), sql::B5(n, k, 1, 1), sql::N3(1, QStringLiteral("2024/01/01 10:00:00")),
                             sql::T8(1, QStringLiteral("2024/01/01 10:00:00"))})
        main->execute(s);
}

void StoreTest::recordsetSemantics() {
    TestData data;
    auto main = data.openMain();
    auto rs = main->openRecordset(sql::S1());
    QVERIFY(rs->bof() && rs->eof());
    rs->addNew();
    rs->setField(QStringLiteral("自社名"), QStringLiteral("ヴォルニサ"));
    rs->setField(QStringLiteral("最大請求書番号"), 41);
    rs->update();
    rs = main->openRecordset(sql::S1());
    QVERIFY(!rs->eof());
    QCOMPARE(rs->field(QStringLiteral("自社名")).toText(), QStringLiteral("ヴォルニサ"));
    QVERIFY(rs->field(QStringLiteral("税区分")).isNull());
    QCOMPARE(rs->field(QStringLiteral("最大請求書番号")).toInt(), 41);
    rs->edit();
    rs->setField(QStringLiteral("税区分"), QStringLiteral("内税"));
    rs->update();
    rs->moveNext();
    QVERIFY(rs->eof());
    rs = main->openRecordset(sql::S1());
    QCOMPARE(rs->recordCount(), 1);
    QCOMPARE(rs->field(QStringLiteral("税区分")).toText(), QStringLiteral("内税"));
    // Dates go in as yyyy/mm/dd text and come back as that date; junk is refused.
    auto h = main->openRecordset(sql::I5(QStringLiteral("3"), QStringLiteral("請求書")));
    h->addNew();
    h->setField(QStringLiteral("伝票番号"), 3);
    h->setField(QStringLiteral("日付"), QStringLiteral("2026/12/07"));
    h->update();
    QCOMPARE(main->openRecordset(sql::I9(QStringLiteral("3"), QStringLiteral("請求書")))->field(QStringLiteral("日付")).toText(),
             QStringLiteral("2026/12/07"));
    h->addNew();
    h->setField(QStringLiteral("日付"), QStringLiteral("2026/13/07"));
    QVERIFY_THROWS_EXCEPTION(DbError, h->update());
    // An aggregate cannot be written back.
    auto sum = main->openRecordset(QStringLiteral("select sum([税抜計]) AS t FROM 請求書ヘッダ"));
    QVERIFY_THROWS_EXCEPTION(DbError, sum->addNew());
}

void StoreTest::longListsReadInOnePass() {
    TestData data;
    auto main = data.openMain();
    main->executeRaw(QStringLiteral("INSERT INTO 顧客マスタ (顧客名, 顧客情報) VALUES ('b''客', '住所'), (NULL, 'x'), ('a客', NULL)"));
    // Ordered as the statement says, Nulls left out, apostrophes intact.
    QCOMPARE(main->textColumn(sql::C2(), QStringLiteral("顧客名")),
             (QStringList{QStringLiteral("a客"), QStringLiteral("b'客")}));
    QVERIFY_THROWS_EXCEPTION(DbError, main->textColumn(sql::C2(), QStringLiteral("品名")));
    QVERIFY_THROWS_EXCEPTION(DbError, main->textColumn(QStringLiteral("select * from 無い表"), QStringLiteral("x")));

    // Handed-over rows keep their types and rowids, and the record set is left empty.
    auto rs = main->openRecordset(QStringLiteral("select * from 顧客マスタ order by rowid"));
    std::vector<std::vector<Value>> rows;
    std::vector<long long> rowids;
    rs->release(rows, rowids);
    QCOMPARE(rows.size(), size_t(3));
    QCOMPARE(rowids, (std::vector<long long>{1, 2, 3}));
    QCOMPARE(rows[0][0].toText(), QStringLiteral("b'客"));
    QVERIFY(rows[1][0].isNull());
    QVERIFY(rs->eof());
}

void StoreTest::sumsOfMoneyAreExact() {
    TestData data;
    auto work = data.openWork();
    auto rs = work->openRecordset(sql::I11());
    // 30 lines at the largest amounts allowed, plus fractions a double could not sum exactly.
    for (int i = 1; i <= 30; ++i) {
        rs->addNew();
        rs->setField(QStringLiteral("行番号"), i);
        rs->setField(QStringLiteral("金額"), i % 2 ? Currency::fromRaw(99999999999900LL) : Currency::fromRaw(1));
        rs->setField(QStringLiteral("非課税"), i % 3 == 0);
        rs->update();
    }
    auto t = work->openRecordset(sql::I12());
    QCOMPARE(t->field(QStringLiteral("total")).toInt(), 15 * 99999999999900LL + 15);
    auto h = work->openRecordset(sql::I13());
    QCOMPARE(h->field(QStringLiteral("htotal")).toInt(), 10 * 99999999999900LL + 10);
    work->execute(sql::I10());
    QVERIFY(work->openRecordset(sql::I12())->field(QStringLiteral("total")).isNull());
}

void StoreTest::apostrophesAreExact() {
    TestData data;
    auto main = data.openMain();
    for (const QString& n : {QStringLiteral("O'Brien"), QStringLiteral("O"), QStringLiteral("'' or ''=''")}) {
        auto rs = main->openRecordset(sql::C1(n));
        rs->addNew();
        rs->setField(QStringLiteral("顧客名"), n);
        rs->update();
    }
    QCOMPARE(main->openRecordset(sql::C1(QStringLiteral("O'Brien")))->recordCount(), 1);
    QCOMPARE(main->openRecordset(sql::C1(QStringLiteral("'' or ''=''")))->recordCount(), 1);
    main->execute(sql::C6(QStringLiteral("'' or ''=''")));
    QCOMPARE(main->openRecordset(sql::C2())->recordCount(), 2);
    QCOMPARE(sqlText(QStringLiteral("a'b''c")), QStringLiteral("a''b''''c"));
}

void StoreTest::openRefusesBadFiles() {
    TestData data;
    const QString missing = data.folder() + QStringLiteral("nothing.mdb");
    QVERIFY_THROWS_EXCEPTION(DbError, Database::open(missing, mainTables, Durability::Full));
    QVERIFY(!QFile::exists(missing));
    const QString foreign = data.folder() + QStringLiteral("foreign.mdb");
    {
        QFile f(foreign);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(4096, 'x'));
    }
    QVERIFY_THROWS_EXCEPTION(DbError, Database::open(foreign, mainTables, Durability::Full));
    // The work file lacks the main tables.
    QVERIFY_THROWS_EXCEPTION(DbError, Database::open(data.workPath(), mainTables, Durability::Full));
    // An external clause naming a missing file fails instead of creating it.
    auto work = data.openWork();
    QVERIFY_THROWS_EXCEPTION(DbError, work->execute(sql::C4(missing)));
    QVERIFY(!QFile::exists(missing));
}

void StoreTest::transactionRollsBackEverything() {
    TestData data;
    auto main = data.openMain();
    try {
        Transaction t(*main);
        main->execute(QStringLiteral("insert into 顧客マスタ (顧客名) values ('A')"));
        main->execute(QStringLiteral("insert into nosuch (x) values (1)"));
        t.commit();
        QFAIL("the bad insert must fail");
    } catch (const DbError&) {
    }
    QCOMPARE(main->openRecordset(sql::C2())->recordCount(), 0);
}

QTEST_GUILESS_MAIN(StoreTest)
#include "test_store.moc"
