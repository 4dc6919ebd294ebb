#include "book/history.h"
#include "invoice/invoice_io.h"
#include "invoice/lines.h"
#include "invoice/qualified.h"
#include "store/database.h"
#include "store/schema.h"
#include "store/tables.h"
#include "support/testdb.h"

#include <QFile>
#include <QtTest>
#include <sqlite3.h>

namespace {

// Table name -> its columns with declared types, as the file holds them.
QMap<QString, QStringList> shape(Database& db) {
    QMap<QString, QStringList> out;
    auto names = db.openRecordset(QStringLiteral("select name from sqlite_master where type = 'table'"));
    for (names->moveFirst(); !names->eof(); names->moveNext()) {
        const QString t = names->field(QStringLiteral("name")).toText();
        for (const auto& [col, type] : db.columns(t))
            out[t] << col + u' ' + type;
    }
    // Indexes by name, with their table and columns: an upgrade must leave the searches as fast.
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db.handle(),
                       "SELECT m.name, m.tbl_name, i.name FROM sqlite_master m, pragma_index_info(m.name) i "
                       "WHERE m.type = 'index' ORDER BY m.name, i.seqno",
                       -1, &st, nullptr);
    while (sqlite3_step(st) == SQLITE_ROW) {
        auto text = [st](int i) { return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, i))); };
        out[QStringLiteral("index ") + text(0)] << text(1) + u'.' + text(2);
    }
    sqlite3_finalize(st);
    // Triggers by name, their text without its layout: an upgraded work file marks edits as a new one does.
    auto triggers = db.openRecordset(QStringLiteral("select name, sql from sqlite_master where type = 'trigger'"));
    for (triggers->moveFirst(); !triggers->eof(); triggers->moveNext())
        out[QStringLiteral("trigger ") + triggers->field(QStringLiteral("name")).toText()]
            << triggers->field(QStringLiteral("sql")).toText().simplified().remove(u' ');
    return out;
}

// A data folder built from the first delivered schema, as files made before any upgrade are.
struct OldData : DataFolder {
    OldData() {
        for (const auto& [sql, target] : {std::pair{QStringLiteral(VORNISA_V0_MAIN), mainPath()},
                                          std::pair{QStringLiteral(VORNISA_V0_WORK), workPath()}}) {
            QFile f(sql);
            if (!f.open(QIODevice::ReadOnly))
                throw std::runtime_error("no v0 schema");
            sqlite3* db = nullptr;
            sqlite3_open(target.toUtf8().constData(), &db);
            const int rc = sqlite3_exec(db, f.readAll().constData(), nullptr, nullptr, nullptr);
            sqlite3_close(db);
            if (rc != SQLITE_OK)
                throw std::runtime_error("v0 schema failed");
        }
    }
};

} // namespace

class SchemaTest : public QObject {
    Q_OBJECT
  private slots:
    void upgradedFilesMatchDeliveredOnes();
    void upgradeKeepsRowsAndPutsAsideFirst();
    void refusedUpgradesChangeNothing();
    void oldBooksReadAsBeforeAfterTheUpgrade();
    void upgradeKeepsEveryInvoiceAndItsHistory();
};

void SchemaTest::upgradedFilesMatchDeliveredOnes() {
    TestData fresh;
    OldData old;
    auto freshMain = fresh.openMain(), freshWork = fresh.openWork();
    QCOMPARE(storedSchemaVersion(*freshMain), schemaVersion(SchemaFile::Main));
    QCOMPARE(storedSchemaVersion(*freshWork), schemaVersion(SchemaFile::Work));
    auto oldMain = old.openMain(), oldWork = old.openWork();
    upgradeSchema(*oldMain, SchemaFile::Main, {});
    upgradeSchema(*oldWork, SchemaFile::Work, {});
    QCOMPARE(storedSchemaVersion(*oldMain), schemaVersion(SchemaFile::Main));
    QCOMPARE(shape(*oldMain), shape(*freshMain));
    QCOMPARE(shape(*oldWork), shape(*freshWork));
    // A second start finds nothing to do and puts nothing aside.
    bool asked = false;
    upgradeSchema(*oldMain, SchemaFile::Main, [&](int) { asked = true; });
    QVERIFY(!asked);
}

void SchemaTest::upgradeKeepsRowsAndPutsAsideFirst() {
    OldData old;
    auto db = old.openMain();
    db->executeRaw(QStringLiteral("INSERT INTO 顧客マスタ VALUES ('山田商店', '東京都')"));
    const QStringList steps = {QStringLiteral("ALTER TABLE 顧客マスタ ADD COLUMN かな TEXT"),
                               QStringLiteral("CREATE TABLE 追加 (a INTEGER)")};
    int seenFrom = -1, columnsWhenAside = 0;
    QCOMPARE(upgradeSchema(*db, steps,
                           [&](int from) {
                               seenFrom = from;
                               columnsWhenAside = static_cast<int>(db->columns(QStringLiteral("顧客マスタ")).size());
                           }),
             0);
    QCOMPARE(seenFrom, 0);
    QCOMPARE(columnsWhenAside, 2); // the copy is taken before anything changed
    QCOMPARE(storedSchemaVersion(*db), 2);
    QCOMPARE(db->columns(QStringLiteral("顧客マスタ")).size(), std::size_t(3));
    auto rs = db->openRecordset(QStringLiteral("select * from 顧客マスタ"));
    QCOMPARE(rs->recordCount(), 1);
    QCOMPARE(rs->field(QStringLiteral("顧客名")).toText(), QStringLiteral("山田商店"));
}

void SchemaTest::refusedUpgradesChangeNothing() {
    const QStringList steps = {QStringLiteral("ALTER TABLE 顧客マスタ ADD COLUMN かな TEXT"),
                               QStringLiteral("ALTER TABLE 無い表 ADD COLUMN x TEXT")};
    struct Case {
        const char* name;
        QStringList steps;
        std::function<void(int)> putAside;
        int storedVersion;
    };
    const QList<Case> cases = {
        {"a step fails half-way", steps, {}, 0},
        {"the copy aside fails", steps.mid(0, 1), [](int) { throw DbError(SQLITE_FULL, QStringLiteral("full")); }, 0},
        {"the file is newer than the program", steps.mid(0, 1), {}, 5},
    };
    for (const Case& c : cases) {
        OldData old;
        auto db = old.openMain();
        db->executeRaw(QStringLiteral("PRAGMA user_version = %1").arg(c.storedVersion));
        QVERIFY_THROWS_EXCEPTION(DbError, upgradeSchema(*db, c.steps, c.putAside));
        QVERIFY2(storedSchemaVersion(*db) == c.storedVersion, c.name);
        db->forgetColumns();
        QVERIFY2(db->columns(QStringLiteral("顧客マスタ")).size() == 2, c.name);
    }
}

void SchemaTest::oldBooksReadAsBeforeAfterTheUpgrade() {
    OldData old;
    auto main = old.openMain();
    auto work = old.openWork();
    const QStringList rows = {
        QStringLiteral("INSERT INTO 自社情報 VALUES ('山田商店', '東京都', '内税', 255, 41)"),
        QStringLiteral("INSERT INTO 商品マスタ VALUES ('りんご', '個', 1000000, 0)"),
        QStringLiteral("INSERT INTO 商品マスタ VALUES ('送料', NULL, 25000000, 1)"),
        QStringLiteral("INSERT INTO 請求書 VALUES (41, '佐藤商事', '2005/12/01', 0, 1, 'りんご', 10, '個', 1000000, "
                       "10000000, 0)"),
        QStringLiteral("INSERT INTO 請求書ヘッダ VALUES (41, '2005/12/01', '佐藤商事', '東京', 500000, 10000000, "
                       "10500000)"),
        QStringLiteral("INSERT INTO w明細 VALUES (1, 'りんご', 10, '個', 1000000, 10000000, 0)"),
    };
    for (int i = 0; i < rows.size(); ++i)
        (i + 1 < rows.size() ? *main : *work).executeRaw(rows[i]);
    upgradeSchema(*main, SchemaFile::Main, {});
    upgradeSchema(*work, SchemaFile::Work, {});

    // Every row is still there, each old field as it was, the new ones empty.
    auto company = main->openRecordset(QStringLiteral("select * from 自社情報"));
    QCOMPARE(company->recordCount(), 1);
    QCOMPARE(company->field(QStringLiteral("最大請求書番号")).toInt(), 41);
    QCOMPARE(company->field(QStringLiteral("税区分")).toText(), QStringLiteral("内税"));
    QVERIFY(company->field(QStringLiteral("税率方式")).isNull());
    QCOMPARE(Seek商品(*main, QStringLiteral("りんご")).税率, 10); // a rate never set reads as 10
    QCOMPARE(Seek商品(*main, QStringLiteral("りんご")).単価, Currency::fromWhole(100));
    QCOMPARE(Seek商品(*main, QStringLiteral("送料")).税率, 0);
    const auto header = Read請求書ヘッダ(*main, 41);
    QVERIFY(header);
    QCOMPARE(header->税率方式, Scheme5); // an invoice made before the schemes is a "5%" one
    QCOMPARE(header->合計, Currency::fromWhole(1050));
    Read請求書(*main, *work, 41);
    auto line = work->openRecordset(QStringLiteral("select * from w明細 where 行番号 = 1"));
    QCOMPARE(line->field(QStringLiteral("品名")).toText(), QStringLiteral("りんご"));
    QCOMPARE(line->field(QStringLiteral("金額")).toCurrency(), Currency::fromWhole(1000));
    QCOMPARE(LineRate(line->field(QStringLiteral("税率")), line->field(QStringLiteral("非課税")).toBool()), 10);
}

void SchemaTest::upgradeKeepsEveryInvoiceAndItsHistory() {
    // A file as the invoice book's version left it: three invoices, one corrected twice, a customer.
    OldData old;
    auto main = old.openMain();
    upgradeSchema(*main, schemaSteps(SchemaFile::Main).mid(0, 2), {});
    main->executeRaw(QStringLiteral(
        "INSERT INTO 請求書ヘッダ (伝票番号, 顧客名, 合計) VALUES (1, 'A', 10000), (2, 'B', 20000), (3, 'C', 30000);"
        "INSERT INTO 請求書ヘッダ履歴 (伝票番号, 顧客名, 版) VALUES (2, '旧B', 1), (2, '旧旧B', 2);"
        "INSERT INTO 顧客マスタ VALUES ('A', '大阪府')"));
    upgradeSchema(*main, SchemaFile::Main, {});
    // Every invoice and every kept copy reads as before, addressed 「様」 as it printed.
    QStringList read;
    for (qint32 n = 1; n <= 3; ++n)
        for (const InvoiceVersion& v : Read履歴(*main, n, 1)) // old copies belong to the first generation
            read << v.顧客名 + u' ' + v.合計.toCurrency().toString() + u' ' + v.敬称 + v.件名 + v.振込先;
    QCOMPARE(read, (QStringList{"A 1 様", "旧B 0 様", "旧旧B 0 様", "B 2 様", "C 3 様"}));
    QCOMPARE(main->openRecordset(QStringLiteral("select * from 顧客マスタ"))->field(QStringLiteral("敬称")).toText(),
             QStringLiteral("様"));
    // They are invoices, every one: no other kind of document shares their numbers.
    QCOMPARE(main->openRecordset(QStringLiteral("select count(*) as n from 請求書ヘッダ where 種別 = '請求書'"))
                 ->field(QStringLiteral("n"))
                 .toInt(),
             3);
    QVERIFY(!Read請求書ヘッダ(*main, 1, Kind見積書));
    QCOMPARE(Read履歴(*main, 2, 1, Kind見積書).size(), 0u);
}

QTEST_GUILESS_MAIN(SchemaTest)
#include "test_schema.moc"
