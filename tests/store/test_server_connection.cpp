// A server book whose connection is lost: between actions the next one connects again; inside a
// transaction everything of it is undone and nothing is committed on a new connection.
#include "support/testdb.h"

#include <QtTest>
#include <sqlite3.h>

class ServerConnectionTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() {
        if (!serverTestsPossible())
            QSKIP("no PostgreSQL test server");
    }
    void init() {
        server = std::make_unique<ServerDatabase>();
        db = Database::connect(server->connection, {});
        other = Database::connect(server->connection + QStringLiteral(" dbname=postgres"), {});
        db->executeRaw(QStringLiteral("CREATE TABLE t (x integer)"));
    }
    void cleanup() {
        db.reset();
        other.reset();
        server.reset();
    }
    void theNextActionConnectsAgain_data();
    void theNextActionConnectsAgain();
    void aCutInsideATransactionUndoesAllOfIt();
    void aCommitWhoseAnswerIsLostIsLookedUp();
    void aServerOutOfReachIsNamedAndTriedAgain();

  private:
    std::unique_ptr<ServerDatabase> server;
    std::unique_ptr<Database> db, other; // the book, and a session beside it on the same server
    QString backend() { return db->serverRows(QStringLiteral("SELECT pg_backend_pid()")).at(0).at(0).toText(); }
    qint64 rows() { return db->serverRows(QStringLiteral("SELECT count(*) FROM t")).at(0).at(0).toInt(); }
    void cut() { QVERIFY(endServerSession(*db, *other)); }
};

void ServerConnectionTest::theNextActionConnectsAgain_data() {
    QTest::addColumn<bool>("inTransaction");
    QTest::newRow("a read") << false;
    QTest::newRow("a transaction") << true;
}

void ServerConnectionTest::theNextActionConnectsAgain() {
    QFETCH(bool, inTransaction);
    const QString before = backend();
    cut();
    if (inTransaction) {
        Transaction t(*db);
        db->executeRaw(QStringLiteral("INSERT INTO t VALUES (1)"));
        t.commit();
    }
    QCOMPARE(rows(), inTransaction ? 1 : 0);
    QVERIFY(backend() != before);
    // The session is set up again as at connecting.
    QCOMPARE(db->serverRows(QStringLiteral("SHOW client_min_messages")).at(0).at(0).toText(), QStringLiteral("warning"));
}

void ServerConnectionTest::aCutInsideATransactionUndoesAllOfIt() {
    {
        Transaction t(*db);
        db->executeRaw(QStringLiteral("INSERT INTO t VALUES (1)"));
        cut();
        try {
            db->executeRaw(QStringLiteral("INSERT INTO t VALUES (2)"));
            QFAIL("a statement over a lost connection must fail");
        } catch (const DbError& e) {
            QCOMPARE(e.code, SQLITE_IOERR);
            QVERIFY2(e.text.startsWith(QStringLiteral("サーバーとの接続が切れました。途中までの変更はサーバーで取り消されています。")),
                     qPrintable(e.text));
        }
        // A caller that went on regardless: its commit must not go through on a new connection.
        QVERIFY_THROWS_EXCEPTION(DbError, t.commit());
        QVERIFY(!db->inTransaction());
    }
    QCOMPARE(rows(), 0);
    Transaction again(*db);
    db->executeRaw(QStringLiteral("INSERT INTO t VALUES (3)"));
    again.commit();
    QCOMPARE(rows(), 1);
}

void ServerConnectionTest::aCommitWhoseAnswerIsLostIsLookedUp() {
    // The session ends itself while committing, once: the commit did not go through.
    endSessionOnceAt(*db, QStringLiteral("CONSTRAINT TRIGGER at_commit AFTER INSERT ON t DEFERRABLE INITIALLY DEFERRED"));
    // Looked up on a new connection: undone, as the message says (not "unknown").
    for (const QString& expected : {QStringLiteral("サーバーとの接続が切れました。途中までの変更はサーバーで取り消されています"), QString()}) {
        try {
            Transaction t(*db);
            db->executeRaw(QStringLiteral("INSERT INTO t VALUES (1)"));
            t.commit();
            QVERIFY2(expected.isEmpty(), "the first commit must fail");
        } catch (const DbError& e) {
            QVERIFY2(!expected.isEmpty() && e.text.startsWith(expected), qPrintable(e.text));
        }
        QVERIFY(!db->inTransaction());
        QCOMPARE(rows(), expected.isEmpty() ? 1 : 0);
    }
}

void ServerConnectionTest::aServerOutOfReachIsNamedAndTriedAgain() {
    other->executeRaw(QStringLiteral("ALTER DATABASE %1 ALLOW_CONNECTIONS false").arg(server->name));
    cut();
    for (int attempt = 0; attempt < 2; ++attempt)
        try {
            Transaction t(*db);
            QFAIL("no connection can be made");
        } catch (const DbError& e) {
            QVERIFY2(e.text.contains(QStringLiteral("に接続できません。このPCがネットワークにつながっているか")),
                     qPrintable(e.text));
            QVERIFY2(e.text.contains(QStringLiteral("/vornisa-pg.")), qPrintable(e.text)); // the server named
            QVERIFY(!db->inTransaction());
        }
    other->executeRaw(QStringLiteral("ALTER DATABASE %1 ALLOW_CONNECTIONS true").arg(server->name));
    QCOMPARE(rows(), 0);
}

QTEST_GUILESS_MAIN(ServerConnectionTest)
#include "test_server_connection.moc"
