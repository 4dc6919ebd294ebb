// Two PCs on one book, each with its own customer page: what one registers is never overwritten
// by the other's older copy. Runs on the file and on the test server.
#include "invoice/invoice_io.h"
#include "masters/customers.h"
#include "store/statements.h"
#include "support/testdb.h"

#include <QtTest>
#include <functional>

namespace {
// One PC: the shared book and its own work file, the customer page read from the book.
struct Pc {
    std::unique_ptr<Database> main, work;
    void read() { Read顧客マスタ(*work, main->path()); }
    void type(const QString& name, const QString& field, const QString& value) {
        work->executeRaw(QStringLiteral("UPDATE w顧客マスタ SET %1 = '%2' WHERE 顧客名 = '%3'").arg(field, value, name));
    }
};
Pc pcOn(const DataFolder& book, const DataFolder& own) {
    Pc pc{book.openMain(), own.openWork()};
    if (pc.main->onServer())
        pc.work->linkServerBook(pc.main.get());
    return pc;
}
QString details(Database& main, const QString& name) {
    auto rs = main.openRecordset(sql::C1(name));
    return rs->eof() ? QStringLiteral("(なし)") : rs->field(QStringLiteral("顧客情報")).toText();
}
} // namespace

class MasterChangesTest : public QObject {
    Q_OBJECT
  private slots:
    void aPageNeverOverwritesAnotherPcsChange_data();
    void aPageNeverOverwritesAnotherPcsChange();
};

void MasterChangesTest::aPageNeverOverwritesAnotherPcsChange_data() {
    using Act = std::function<void(Pc&)>;
    QTest::addColumn<Act>("other");  // what the other PC does after both read the page
    QTest::addColumn<Act>("here");   // then this PC, on its page
    QTest::addColumn<bool>("remove"); // this PC deletes its ticked rows instead of registering
    QTest::addColumn<QString>("refused");
    QTest::addColumn<QString>("yamada");
    QTest::addColumn<QString>("suzuki");
    const Act changeYamada = [](Pc& pc) {
        pc.type(QStringLiteral("山田商店"), QStringLiteral("顧客情報"), QStringLiteral("横浜"));
        Entry顧客情報(*pc.main, *pc.work);
    };
    const Act deleteYamada = [](Pc& pc) {
        pc.type(QStringLiteral("山田商店"), QStringLiteral("チェック"), QStringLiteral("1"));
        QVERIFY(Delete顧客(*pc.main, *pc.work));
    };
    const Act invoiceTeachesYamada = [](Pc& pc) { AutoEntry顧客マスタ(*pc.main, QStringLiteral("山田商店"), QStringLiteral("横浜")); };
    const Act editYamada = [](Pc& pc) { pc.type(QStringLiteral("山田商店"), QStringLiteral("顧客情報"), QStringLiteral("川崎")); };
    const Act editSuzuki = [](Pc& pc) { pc.type(QStringLiteral("鈴木工業"), QStringLiteral("顧客情報"), QStringLiteral("堺")); };
    const Act tickYamada = [](Pc& pc) { pc.type(QStringLiteral("山田商店"), QStringLiteral("チェック"), QStringLiteral("1")); };
    const QString changed = QStringLiteral("顧客「山田商店」は他のPCで変更されました。");
    const QString deleted = QStringLiteral("顧客「山田商店」は他のPCで削除されました。");
    QTest::newRow("both edit one customer") << changeYamada << editYamada << false << changed << QStringLiteral("横浜") << QStringLiteral("大阪");
    QTest::newRow("an invoice taught it new details") << invoiceTeachesYamada << editYamada << false << changed << QStringLiteral("横浜") << QStringLiteral("大阪");
    QTest::newRow("edited here, deleted there") << deleteYamada << editYamada << false << deleted << QStringLiteral("(なし)") << QStringLiteral("大阪");
    QTest::newRow("another row edited here") << changeYamada << editSuzuki << false << QString() << QStringLiteral("横浜") << QStringLiteral("堺");
    QTest::newRow("deleted there, not resurrected") << deleteYamada << editSuzuki << false << QString() << QStringLiteral("(なし)") << QStringLiteral("堺");
    QTest::newRow("the same change on both") << changeYamada << Act([](Pc& pc) {
        pc.type(QStringLiteral("山田商店"), QStringLiteral("顧客情報"), QStringLiteral("横浜"));
    }) << false << QString() << QStringLiteral("横浜") << QStringLiteral("大阪");
    QTest::newRow("ticked here, changed there") << changeYamada << tickYamada << true << changed << QStringLiteral("横浜") << QStringLiteral("大阪");
    QTest::newRow("ticked here, unchanged there") << Act([](Pc&) {}) << tickYamada << true << QString() << QStringLiteral("(なし)") << QStringLiteral("大阪");
}

void MasterChangesTest::aPageNeverOverwritesAnotherPcsChange() {
    QFETCH(std::function<void(Pc&)>, other);
    QFETCH(std::function<void(Pc&)>, here);
    QFETCH(bool, remove);
    QFETCH(QString, refused);
    TestData book, ownWork;
    Pc a = pcOn(book, book), b = pcOn(book, ownWork);
    AutoEntry顧客マスタ(*a.main, QStringLiteral("山田商店"), QStringLiteral("東京"));
    AutoEntry顧客マスタ(*a.main, QStringLiteral("鈴木工業"), QStringLiteral("大阪"));
    a.read();
    b.read();
    other(b);
    here(a);
    QString told;
    try {
        if (remove)
            QVERIFY(Delete顧客(*a.main, *a.work));
        else
            Entry顧客情報(*a.main, *a.work);
    } catch (const StaleMaster& e) {
        told = e.text;
    }
    QCOMPARE(told, refused);
    QFETCH(QString, yamada);
    QFETCH(QString, suzuki);
    QCOMPARE(details(*a.main, QStringLiteral("山田商店")), yamada);
    QCOMPARE(details(*a.main, QStringLiteral("鈴木工業")), suzuki);
    // Read again, the page's next register goes through and writes what it shows.
    a.read();
    a.type(QStringLiteral("鈴木工業"), QStringLiteral("顧客情報"), QStringLiteral("神戸"));
    Entry顧客情報(*a.main, *a.work);
    QCOMPARE(details(*a.main, QStringLiteral("鈴木工業")), QStringLiteral("神戸"));
}

QTEST_GUILESS_MAIN(MasterChangesTest)
#include "test_master_changes.moc"
