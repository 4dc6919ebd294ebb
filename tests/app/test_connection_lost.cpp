// The invoice page over a server book whose connection is lost: a save cut off halfway is undone
// and the user is told, the page keeps what was typed, and the next register goes through.
#include "invoice/invoice_io.h"
#include "window_fixture.h"

class ConnectionLostTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() {
        if (!serverBackend() || !serverTestsPossible())
            QSKIP("no PostgreSQL test server");
    }
    void aSaveCutOffIsToldAndTheNextRegisters();
};

namespace {
qint64 count(Database& db, const QString& sql) {
    return db.serverRows(sql).at(0).at(0).toInt();
}
} // namespace

void ConnectionLostTest::aSaveCutOffIsToldAndTheNextRegisters() {
    WindowFixture f;
    f.start();
    InvoicePage& w = *f.w->invoice;
    auto other = f.data.openMain(); // another PC on the same server
    // The book's session ends itself halfway through the first save, after the invoice's first
    // row is written, as a server stopped mid-save would end it.
    endSessionOnceAt(*other, QStringLiteral("TRIGGER cut AFTER INSERT ON 請求書ヘッダ"));
    const QString number = w.txtNo->text();
    w.cmb顧客名->setEditText(QStringLiteral("山田商店"));
    w.txt件名->setText(QStringLiteral("５月分"));
    typeCell(w.Grid明細, 0, 1, QStringLiteral("鉛筆"));
    typeCell(w.Grid明細, 0, 2, QStringLiteral("１２"));
    typeCell(w.Grid明細, 0, 4, QStringLiteral("100"));
    f.shown.clear();
    w.Entry請求書();
    QCOMPARE(f.shown.size(), 1);
    QVERIFY2(f.shown[0].text.startsWith(QStringLiteral("伝票 %1 は登録されませんでした。\nサーバーとの接続が切れました。"
                                                       "途中までの変更はサーバーで取り消されています。")
                                            .arg(number)),
             qPrintable(f.shown[0].text));
    // Nothing of it is in the books, and the page holds all that was typed, unregistered.
    QCOMPARE(count(*other, QStringLiteral("SELECT count(*) FROM 請求書ヘッダ")), 0);
    QCOMPARE(count(*other, QStringLiteral("SELECT count(*) FROM 請求書")), 0);
    QCOMPARE(w.txtNo->text(), number);
    QCOMPARE(w.cmb顧客名->currentText(), QStringLiteral("山田商店"));
    QCOMPARE(w.txt件名->text(), QStringLiteral("５月分"));
    QCOMPARE(w.dat明細->value(0, w.dat明細->fieldIndex(QStringLiteral("品名"))).toText(), QStringLiteral("鉛筆"));
    QCOMPARE(w.dat明細->value(0, w.dat明細->fieldIndex(QStringLiteral("金額"))).toCurrency(), Currency::fromWhole(1200));

    // Registering again connects anew and stores it once, under the number offered.
    f.shown.clear();
    w.Entry請求書();
    QVERIFY(f.shown.isEmpty());
    const auto stored = Read請求書ヘッダ(*other, number.toInt());
    QVERIFY(stored);
    QCOMPARE(stored->顧客名, QStringLiteral("山田商店"));
    QCOMPARE(stored->件名, QStringLiteral("５月分"));
    QCOMPARE(count(*other, QStringLiteral("SELECT count(*) FROM 請求書ヘッダ")), 1);
    QCOMPARE(count(*other, QStringLiteral("SELECT count(*) FROM 請求書")), 1);
    QCOMPARE(w.txtNo->text(), QString::number(number.toInt() + 1)); // no number skipped

    // A session ended while the page sat idle (the server restarted): the next register just
    // connects again.
    QVERIFY(endServerSession(f.main(), *other));
    w.cmb顧客名->setEditText(QStringLiteral("鈴木商会"));
    typeCell(w.Grid明細, 0, 1, QStringLiteral("消しゴム"));
    w.Entry請求書();
    QVERIFY(f.shown.isEmpty());
    QCOMPARE(Read請求書ヘッダ(*other, number.toInt() + 1)->顧客名, QStringLiteral("鈴木商会"));

    // A server that cannot be reached again: every page says so and stays usable, the typed
    // invoice waits on its page, and registers once the server is back.
    auto admin = Database::connect(f.data.server->connection + QStringLiteral(" dbname=postgres"), {});
    const auto allow = [&](bool yes) {
        admin->executeRaw(QStringLiteral("ALTER DATABASE %1 ALLOW_CONNECTIONS %2")
                              .arg(f.data.server->name, yes ? QStringLiteral("true") : QStringLiteral("false")));
    };
    w.cmb顧客名->setEditText(QStringLiteral("佐藤工務店"));
    typeCell(w.Grid明細, 0, 1, QStringLiteral("定規"));
    allow(false);
    QVERIFY(endServerSession(f.main(), *admin));
    w.Entry請求書();
    QCOMPARE(f.shown.size(), 1);
    QVERIFY2(f.shown[0].text.contains(QStringLiteral("に接続できません。このPCがネットワークにつながっているか")),
             qPrintable(f.shown[0].text));
    for (int page = 1; page < f.w->tab->count(); ++page)
        f.w->tab->setCurrentIndex(page);
    f.w->tab->setCurrentIndex(0);
    QCOMPARE(w.cmb顧客名->currentText(), QStringLiteral("佐藤工務店"));
    allow(true);
    f.shown.clear();
    w.Entry請求書();
    QVERIFY(f.shown.isEmpty());
    QCOMPARE(Read請求書ヘッダ(*other, number.toInt() + 2)->顧客名, QStringLiteral("佐藤工務店"));
}

QTEST_MAIN(ConnectionLostTest)
#include "test_connection_lost.moc"
