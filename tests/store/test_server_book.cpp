// A book moved onto a server and copied back into the file format, and the schema on a server.
#include "helpers.h"
#include "invoice/invoice_io.h"
#include "invoice/lines.h"
#include "masters/images.h"
#include "store/schema.h"
#include "store/server_book.h"
#include "store/tables.h"
#include "support/testdb.h"

#include <QImage>
#include <QtTest>
#include <thread>

class ServerBookTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() {
        if (!serverTestsPossible())
            QSKIP("no PostgreSQL test server");
    }
    void moveAndCopyBackKeepEveryValue();
    void moveNeverWritesIntoADatabaseInUse();
    void upgradeRunsOnceAndAnOlderProgramIsRefused();
    void restoreReplacesTheBookWhollyOrNotAtAll();
    void aLostConnectionIsMadeAgainOnlyBetweenTransactions();
};

namespace {
std::unique_ptr<Database> openFile(const QString& path) {
    return Database::open(path, mainTables, Durability::Full);
}
// The server folds ASCII names to lower case (PeppolID comes back peppolid); values stay exact.
QStringList foldedNames(const QStringList& dump) {
    QStringList out;
    for (const QString& row : dump) {
        QStringList fields = row.split(u'|');
        for (QString& f : fields)
            f = f.section(u'=', 0, 0).toLower() + u'=' + f.section(u'=', 1);
        out << fields.join(u'|');
    }
    return out;
}
} // namespace

void ServerBookTest::moveAndCopyBackKeepEveryValue() {
    TestData data;
    auto file = openFile(data.mainPath());
    auto work = data.openWork();
    // What a book holds that an engine could bend: money to the ten-thousandth, yes/no, text with
    // quotes and kana, Null, a date, image bytes.
    Clear明細ワーク(*work);
    setLine(*work, 1, Value(txt("りんご 'ふじ'")), Value(2.5), Value(txt("個")), money("100.1234"), money("250.3085"));
    setLine(*work, 2, Value(txt("送料")), Value(), Value(), money("500"), money("500"), true);
    InvoiceHeader h;
    h.number = 12;
    h.date = txt("2024/03/15");
    h.顧客名 = txt("O'Brien 商店");
    h.合計 = Currency::fromRaw(7503085);
    Entry請求書(*file, *work, h);
    QImage seal(40, 40, QImage::Format_ARGB32);
    seal.fill(Qt::red);
    const QString png = data.folder() + QStringLiteral("seal.png");
    QVERIFY(seal.save(png));
    QCOMPARE(Import画像(*file, CompanyImage::印影, png), QString());
    const QStringList before = dumpMain(*file);

    ServerDatabase db;
    auto server = Database::connect(db.connection, {});
    QCOMPARE(inspectServerBook(*server).kind, ServerBookState::Empty);
    const QList<TableCheck> checks = copyBookToServer(*file, *server);
    const auto lines = std::find_if(checks.begin(), checks.end(), [](const TableCheck& c) { return c.table == txt("請求書"); });
    QVERIFY(lines != checks.end());
    QCOMPARE(lines->rows, 2);
    QVERIFY(lines->sums.contains(txt("sum(金額)=7503085")));
    const ServerBookState state = inspectServerBook(*server);
    QCOMPARE(state.kind, ServerBookState::Ours);
    QCOMPARE(state.version, schemaVersion(SchemaFile::Main));

    // The server book reads as the file did, through the same routines.
    auto book = Database::connect(db.connection, mainTables);
    QCOMPARE(Read請求書ヘッダ(*book, 12)->顧客名, txt("O'Brien 商店"));
    QCOMPARE(Read請求書ヘッダ(*book, 12)->合計, Currency::fromRaw(7503085));
    QCOMPARE(Read画像(*book, CompanyImage::印影), Read画像(*file, CompanyImage::印影));

    // And back into the file format, as a backup takes it: every table, row and value the same.
    const QString copy = data.folder() + QStringLiteral("copy.mdb");
    copyServerBookToFile(*book, copy);
    auto back = openFile(copy);
    QCOMPARE(foldedNames(dumpMain(*back)), foldedNames(before));
    QCOMPARE(Read画像(*back, CompanyImage::印影).size(), QSize(40, 40));
    QCOMPARE(storedSchemaVersion(*back), schemaVersion(SchemaFile::Main));
    QVERIFY_THROWS_EXCEPTION(DbError, copyServerBookToFile(*book, copy)); // never over a file
}

void ServerBookTest::moveNeverWritesIntoADatabaseInUse() {
    TestData data;
    ServerDatabase db;
    auto server = Database::connect(db.connection, {});
    server->executeRaw(QStringLiteral("CREATE TABLE their_table (x integer); INSERT INTO their_table VALUES (1)"));
    QCOMPARE(inspectServerBook(*server).kind, ServerBookState::Foreign);
    QVERIFY_THROWS_EXCEPTION(DbError, copyBookToServer(*openFile(data.mainPath()), *server));
    QCOMPARE(server->tables(), QStringList{QStringLiteral("their_table")});
    // Ours already: a second move is refused as well, the book left as it was.
    ServerDatabase ours;
    auto book = Database::connect(ours.connection, {});
    copyBookToServer(*openFile(data.mainPath()), *book);
    const QStringList tables = book->tables();
    QVERIFY_THROWS_EXCEPTION(DbError, copyBookToServer(*openFile(data.mainPath()), *book));
    QCOMPARE(book->tables(), tables);
}

void ServerBookTest::upgradeRunsOnceAndAnOlderProgramIsRefused() {
    TestData data;
    ServerDatabase db;
    copyBookToServer(*openFile(data.mainPath()), *Database::connect(db.connection, {}));
    // One more step than the book has: two PCs start at once, each with its own connection.
    QStringList steps = schemaSteps(SchemaFile::Main);
    steps << QStringLiteral("ALTER TABLE 顧客マスタ ADD COLUMN 試験 INTEGER;");
    const int now = schemaVersion(SchemaFile::Main);
    auto a = Database::connect(db.connection, mainTables), b = Database::connect(db.connection, mainTables);
    QString failures;
    const auto start = [&](Database& pc) {
        try {
            upgradeSchema(pc, steps, {});
        } catch (const DbError& e) {
            failures += e.text; // a step run twice would fail: its column is there already
        }
    };
    std::thread first([&] { start(*a); }), second([&] { start(*b); });
    first.join();
    second.join();
    QCOMPARE(failures, QString());
    QCOMPARE(storedSchemaVersion(*a), now + 1);
    a->forgetColumns();
    QCOMPARE(a->columns(txt("顧客マスタ")).back().first, txt("試験"));
    // This program is now the older one: it refuses the book and says to update.
    try {
        upgradeSchema(*b, SchemaFile::Main, {});
        QFAIL("an older program must not take up a newer book");
    } catch (const DbError& e) {
        QVERIFY2(e.text.contains(txt("更新してください")), qPrintable(e.text));
    }
}

void ServerBookTest::restoreReplacesTheBookWhollyOrNotAtAll() {
    TestData data;
    ServerDatabase db;
    auto server = Database::connect(db.connection, {});
    copyBookToServer(*openFile(data.mainPath()), *server);
    const QStringList backup = dumpMain(*server);
    // Registered after the backup: an invoice and its counter. And another's table on our money domain.
    server->executeRaw(txt("INSERT INTO 請求書ヘッダ (伝票番号, 顧客名) VALUES (2, 'A'); UPDATE 自社情報 SET "
                           "最大請求書番号 = 2; CREATE SCHEMA theirs; CREATE TABLE theirs.fees (x currency)"));
    const QStringList tables = server->tables(), registered = dumpMain(*server);
    // Another program does not count; another PC's Vornisa does, and is named.
    auto tool = Database::connect(db.connection, {}), other = Database::connect(db.connection, {});
    tool->executeRaw(QStringLiteral("SET application_name = psql"));
    other->executeRaw(
        QStringLiteral("SET application_name = '%1'").arg(QString::fromLatin1(sessionName(txt("経理PC")))));
    const QStringList others = otherVornisaSessions(*server);
    QCOMPARE(others.size(), 1);
    QVERIFY2(others[0].startsWith(txt("経理PC（")), qPrintable(others[0]));

    // Refused while it is in; then backups the server cannot take, the first two failing while the
    // book's tables are being filled. Each time the server is as it was, and still in use.
    const QString path = data.folder() + QStringLiteral("backup.mdb");
    for (const char* sql :
         {"", "INSERT INTO 商品マスタ (品名, 単価) VALUES ('x', 'abc')",
          "INSERT INTO 顧客マスタ (顧客名) VALUES (CAST(X'41004200' AS TEXT))", "PRAGMA user_version = 999"}) {
        QVERIFY(!QFile::exists(path) || QFile::remove(path));
        QVERIFY(QFile::copy(data.mainPath(), path));
        auto broken = openFile(path);
        if (*sql)
            broken->executeRaw(QString::fromUtf8(sql));
        QVERIFY_THROWS_EXCEPTION(DbError, replaceServerBook(*broken, *server));
        QCOMPARE(server->tables(), tables);
        QCOMPARE(dumpMain(*server), registered);
        other->executeRaw(QStringLiteral("SET application_name = psql")); // that PC's Vornisa has ended
    }
    replaceServerBook(*openFile(data.mainPath()), *server);
    QCOMPARE(dumpMain(*server), backup);
    QCOMPARE(server->serverRows(QStringLiteral("SELECT count(*) FROM theirs.fees")).size(), size_t(1));
}

void ServerBookTest::aLostConnectionIsMadeAgainOnlyBetweenTransactions() {
    ServerDatabase s;
    auto db = Database::connect(s.connection, {}), other = Database::connect(s.connection, {});
    db->executeRaw(QStringLiteral("CREATE TABLE t (x integer)"));
    const auto cut = [&] { // as a server restart does, returning once the session's process is gone
        const QString pid = db->serverRows(QStringLiteral("SELECT pg_backend_pid()")).at(0).at(0).toText();
        QVERIFY(other->serverRows(QStringLiteral("SELECT pg_terminate_backend($1::integer, 60000)"), {pid})[0][0].toBool());
    };
    cut(); // between transactions: the next one connects anew, set up as at first
    Transaction first(*db);
    db->executeRaw(QStringLiteral("INSERT INTO t VALUES (1)"));
    first.commit();
    QCOMPARE(db->serverRows(QStringLiteral("SHOW client_min_messages"))[0][0].toText(), QStringLiteral("warning"));
    {
        Transaction t(*db);
        db->executeRaw(QStringLiteral("INSERT INTO t VALUES (2)"));
        cut(); // inside one: nothing more runs, and a commit regardless must not go through on a new connection
        QVERIFY_THROWS_EXCEPTION(DbError, db->executeRaw(QStringLiteral("INSERT INTO t VALUES (3)")));
        QVERIFY_THROWS_EXCEPTION(DbError, t.commit());
    }
    QVERIFY(!db->inTransaction());
    QCOMPARE(db->serverRows(QStringLiteral("SELECT count(*) FROM t"))[0][0].toInt(), 1);
}

QTEST_GUILESS_MAIN(ServerBookTest)
#include "test_server_book.moc"
