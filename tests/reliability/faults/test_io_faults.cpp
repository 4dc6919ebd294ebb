// Every save, failed at each of its writes and syncs in turn: the failure is reported, neither
// file changes (seen from the same connection, another one and after reopening), the file
// stays sound and the same save goes through once the disk behaves again.
#include "backup/backup.h"
#include "fault_vfs.h"
#include "file_dump.h"
#include "hints/hint_store.h"
#include "invoice/invoice_io.h"
#include "invoice/lines.h"
#include "masters/customers.h"
#include "masters/products.h"
#include "masters/settings.h"
#include "masters/wipe.h"
#include "ui/bound_table.h"
#include "used_folder.h"
#include "window_fixture.h"

#include <functional>
#include <sqlite3.h>

namespace {

// One copy of the used folder, opened as the program opens it.
struct Session {
    UsedFolder folder;
    std::unique_ptr<Database> main, work;
    std::unique_ptr<BoundTable> grid;
    QString gridFailure;

    void open() {
        main = folder.openMain();
        work = folder.openWork();
        if (grid) {
            grid->setDatabase(work.get());
            grid->refresh();
        }
    }
    void close() {
        if (grid)
            grid->setDatabase(nullptr);
        work.reset();
        main.reset();
    }
    struct Dump {
        QStringList main, work;
        bool operator==(const Dump&) const = default;
    };
    Dump dump() const { return {dumpAll(main->handle()), dumpAll(work->handle())}; }
    // What the grid shows, when the path has one.
    QStringList shown() const {
        QStringList out;
        if (grid)
            for (int r = 0; r < grid->rowCount(); ++r)
                for (int c = 0; c < grid->columnCount(); ++c)
                    out << grid->data(grid->index(r, c), Qt::DisplayRole).toString();
        return out;
    }
    void bindGrid(const QString& table, bool rowEditing) {
        grid = std::make_unique<BoundTable>();
        grid->setRowEditing(rowEditing);
        grid->setDatabase(work.get());
        grid->setRecordSource(table);
        grid->refresh();
        QObject::connect(grid.get(), &BoundTable::writeFailed, [this](const QString& why) { gridFailure = why; });
    }
    // A grid reports a failed write by its signal and a false return; the paths throw instead.
    void gridWrite(const std::function<bool(BoundTable&)>& write) {
        gridFailure.clear();
        if (!write(*grid))
            throw DbError(SQLITE_ERROR,
                          gridFailure.isEmpty() ? QStringLiteral("refused without a reason") : gridFailure);
        if (!gridFailure.isEmpty())
            throw std::runtime_error("a grid write reported a failure and success at once");
    }
};

void need(bool done, const char* what) {
    if (!done)
        throw std::runtime_error(what); // a save that quietly did nothing would prove nothing
}

void setLines(Database& work) {
    Clear明細ワーク(work);
    work.executeRaw(
        QStringLiteral("UPDATE w明細 SET 品名='コピー用紙', 数量=2, 単位='箱', 単価=25000000, 金額=50000000 "
                       "WHERE 行番号=1"));
    work.executeRaw(QStringLiteral("UPDATE w明細 SET 品名='特注品', 数量=1, 単位='式', 単価=990000000, "
                                   "金額=990000000, 非課税=1 WHERE 行番号=2"));
}

InvoiceHeader header(qint32 number, const QString& customer) {
    InvoiceHeader h;
    h.number = number;
    h.date = QStringLiteral("2024/05/20");
    h.顧客名 = customer;
    h.顧客情報 = QStringLiteral("新しい住所");
    h.税抜計 = Currency::fromWhole(104000);
    h.消費税 = Currency::fromWhole(500);
    h.合計 = Currency::fromWhole(104500);
    return h;
}

void readCustomers(Session& s) {
    Read顧客マスタ(*s.work, s.folder.mainPath());
}
void readProducts(Session& s) {
    Read商品マスタ(*s.work, s.folder.mainPath());
}

struct SavePath {
    const char* name;
    std::function<void(Session&)> prepare; // the screen's state before the save, unarmed
    std::function<void(Session&)> save;    // throws DbError when the routine reports a failure
    // Saves over both files cannot commit as one: when the work file fails after the master
    // committed, the report must say so with this text.
    const char* halfDone = nullptr;
};

const char* const MasterDoneWorkNot = "マスタからは削除しましたが";
const char* const MasterRegisteredWorkNot = "マスタには登録しましたが";

const std::vector<SavePath>& savePaths() {
    static const std::vector<SavePath> paths = {
        {"register new invoice", [](Session& s) { setLines(*s.work); },
         [](Session& s) { Entry請求書(*s.main, *s.work, header(8, QStringLiteral("新規顧客"))); }},
        {"register over a stored invoice", [](Session& s) { setLines(*s.work); },
         [](Session& s) { Entry請求書(*s.main, *s.work, header(StoredInvoice, StoredCustomer)); }},
        {"delete invoice", [](Session&) {}, [](Session& s) { Delete請求書(*s.main, StoredInvoice); }},
        {"company settings", [](Session&) {},
         [](Session& s) {
             Entry設定(*s.main, {QStringLiteral("新社名"), QStringLiteral("新住所"), QStringLiteral("内税"), 65280});
         }},
        {"unit learning", [](Session&) {},
         [](Session& s) {
             need(AddCodeValue(*s.main, QStringLiteral("単位"), QStringLiteral("式")), "unit not stored");
         }},
        {"customer register",
         [](Session& s) {
             readCustomers(s);
             s.work->executeRaw(QStringLiteral("UPDATE w顧客マスタ SET 顧客情報='横浜市' WHERE 顧客名='山田商店'"));
             s.work->executeRaw(QStringLiteral("INSERT INTO w顧客マスタ (顧客名, 顧客情報) VALUES ('佐藤屋', '札幌')"));
         },
         [](Session& s) { Entry顧客情報(*s.main, *s.work); }, MasterRegisteredWorkNot},
        {"customer delete ticked",
         [](Session& s) {
             readCustomers(s);
             s.work->executeRaw(QStringLiteral("UPDATE w顧客マスタ SET チェック=1 WHERE 顧客名='鈴木工業'"));
         },
         [](Session& s) { need(Delete顧客(*s.main, *s.work), "nothing ticked"); }, MasterDoneWorkNot},
        {"product register",
         [](Session& s) {
             readProducts(s);
             s.work->executeRaw(QStringLiteral("UPDATE w商品マスタ SET 単価=30000000 WHERE 品名='コピー用紙'"));
             s.work->executeRaw(
                 QStringLiteral("INSERT INTO w商品マスタ (品名, 単位, 単価) VALUES ('封筒', '束', 5000000)"));
         },
         [](Session& s) { Entry商品情報(*s.main, *s.work); }, MasterRegisteredWorkNot},
        {"product delete ticked",
         [](Session& s) {
             readProducts(s);
             s.work->executeRaw(QStringLiteral("UPDATE w商品マスタ SET チェック=1 WHERE 品名='ボールペン'"));
         },
         [](Session& s) { need(Delete商品(*s.main, *s.work), "nothing ticked"); }, MasterDoneWorkNot},
        {"full wipe", [](Session&) {}, [](Session& s) { Data初期化(*s.main); }},
        {"hint save", [](Session&) {},
         [](Session& s) {
             EntryHint(*s.work, QStringLiteral("FrmVornisa"), QStringLiteral("cmdHint"), QStringLiteral("Vornisa"),
                       QStringLiteral("書き換えた説明"));
         }},
        {"hint delete", [](Session&) {},
         [](Session& s) { Deleteヒント(*s.work, QStringLiteral("FrmVornisa"), QStringLiteral("cmdHint")); }},
        {"grid cell write",
         [](Session& s) {
             setLines(*s.work);
             s.bindGrid(QStringLiteral("w明細"), false);
         },
         [](Session& s) {
             s.gridWrite([](BoundTable& g) {
                 return g.setData(g.index(1, g.fieldIndex(QStringLiteral("品名"))), QStringLiteral("別注品"),
                                  Qt::EditRole);
             });
         }},
        {"grid row add",
         [](Session& s) {
             readProducts(s);
             s.bindGrid(QStringLiteral("w商品マスタ"), true);
         },
         [](Session& s) { s.gridWrite([](BoundTable& g) { return g.insertRows(g.rowCount(), 1); }); }},
        {"grid row remove",
         [](Session& s) {
             readCustomers(s);
             s.bindGrid(QStringLiteral("w顧客マスタ"), true);
         },
         [](Session& s) { s.gridWrite([](BoundTable& g) { return g.removeRows(0, 1); }); }},
    };
    return paths;
}

using Dump = Session::Dump;

// The outcome of an armed save; the fault is disarmed by then unless asked to stay.
struct Outcome {
    bool reported = false;
    QString why;
    bool fired = false;
    QString at;
};

Outcome saveArmed(const SavePath& p, Session& s, bool closeStillArmed) {
    Outcome o;
    try {
        p.save(s);
    } catch (const DbError& e) {
        o.reported = true;
        o.why = e.text;
    }
    o.fired = faultvfs::fired();
    o.at = faultvfs::firedAt();
    if (closeStillArmed)
        s.close(); // the closing checkpoint meets the fault too
    faultvfs::disarm();
    return o;
}

// Empty when the files after a failed save are as they must be: as before, or for a save over
// both files whose master committed, the master as a clean save leaves it, the work file as
// before, and a report saying so.
QString checkUnchanged(const SavePath& p, const Dump& now, const Dump& before, const Dump& clean, const Outcome& o) {
    if (now == before)
        return {};
    if (p.halfDone && now.main == clean.main && now.work == before.work) {
        if (o.why.contains(QString::fromUtf8(p.halfDone)))
            return {};
        return QStringLiteral("the master changed and the report does not say so: ") + o.why;
    }
    return now.main != before.main ? QStringLiteral("the main file changed") : QStringLiteral("the work file changed");
}

int totalInjected = 0;

} // namespace

class IoFaultsTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { faultvfs::install(); }
    void cleanupTestCase() { qInfo("fault points injected: %d", totalInjected); }
    void eachWriteOfEachSave_data();
    void eachWriteOfEachSave();
    void registerInWindowReportsAndKeepsInvoice_data();
    void registerInWindowReportsAndKeepsInvoice();
    void backupOnAFullDiskIsToldOnceAndWorkGoesOn_data();
    void backupOnAFullDiskIsToldOnceAndWorkGoesOn();

  private:
    static void runPath(const SavePath& p);
    static void failOnce(const SavePath& p, int n, const Dump& clean, const QStringList& cleanShown);
    static void diskFull(const SavePath& p, int n, const Dump& clean);
};

void IoFaultsTest::eachWriteOfEachSave_data() {
    QTest::addColumn<int>("path");
    for (int i = 0; i < static_cast<int>(savePaths().size()); ++i)
        QTest::newRow(savePaths()[i].name) << i;
}

void IoFaultsTest::eachWriteOfEachSave() {
    QFETCH(int, path);
    try {
        runPath(savePaths()[path]);
    } catch (const DbError& e) {
        QFAIL(qPrintable(QStringLiteral("unexpected failure: ") + e.text));
    } catch (const std::exception& e) {
        QFAIL(e.what());
    }
}

void IoFaultsTest::runPath(const SavePath& p) {
    // A clean run gives the expected result and how many calls there are to fail.
    Dump clean;
    QStringList cleanShown;
    auto count = [&](unsigned kinds) {
        Session s;
        s.open();
        p.prepare(s);
        const Dump before = s.dump();
        faultvfs::arm(kinds, 0);
        p.save(s);
        const int n = faultvfs::calls();
        faultvfs::disarm();
        clean = s.dump();
        cleanShown = s.shown();
        if (clean == before)
            throw std::runtime_error("the save changed nothing");
        return n;
    };
    const int writesAndSyncs = count(faultvfs::Mutating);
    const int writes = count(faultvfs::Write);
    QVERIFY(writes > 0 && writesAndSyncs >= writes);
    for (int n = 1; n <= writesAndSyncs && !QTest::currentTestFailed(); ++n)
        failOnce(p, n, clean, cleanShown);
    for (int n = 1; n <= writes && !QTest::currentTestFailed(); ++n)
        diskFull(p, n, clean);
    totalInjected += writesAndSyncs + writes;
    qInfo("%s: %d writes and syncs, %d writes", p.name, writesAndSyncs, writes);
}

// The nth write, sync or truncation fails once; the connection goes on.
void IoFaultsTest::failOnce(const SavePath& p, int n, const Dump& clean, const QStringList& cleanShown) {
    Session s;
    s.open();
    p.prepare(s);
    const Dump before = s.dump();
    const QStringList shownBefore = s.shown();
    faultvfs::arm(faultvfs::Mutating, n);
    const Outcome o = saveArmed(p, s, false);
    const QByteArray where = QStringLiteral("call %1 (%2)").arg(n).arg(o.at).toUtf8();
    QVERIFY2(o.fired, where);
    QVERIFY2(o.reported, "failure reported as success at " + where);
    const Dump after = s.dump();
    QString wrong = checkUnchanged(p, after, before, clean, o);
    QVERIFY2(wrong.isEmpty(), wrong.toUtf8() + " at " + where);
    if (after == before)
        QVERIFY2(s.shown() == shownBefore, "the grid shows what was not stored at " + where);
    QCOMPARE(integrity(s.main->handle()), QStringLiteral("ok"));
    QCOMPARE(integrity(s.work->handle()), QStringLiteral("ok"));
    {
        // What the files hold for anyone else.
        auto main = s.folder.openMain();
        auto work = s.folder.openWork();
        QVERIFY2((Dump{dumpAll(main->handle()), dumpAll(work->handle())} == after),
                 "another connection sees other data at " + where);
    }
    try {
        p.save(s);
    } catch (const DbError& e) {
        QFAIL(("the same save fails once the fault is gone: " + e.text + QStringLiteral(" after ") + where).toUtf8());
    }
    QVERIFY2(s.dump() == clean, "the repeated save differs from a clean one after " + where);
    QVERIFY2(s.shown() == cleanShown, "the grid differs from a clean save after " + where);
    s.close();
    s.open();
    QVERIFY2(s.dump() == clean, "reopened files differ from a clean save after " + where);
    QCOMPARE(integrity(s.main->handle()), QStringLiteral("ok"));
    QCOMPARE(integrity(s.work->handle()), QStringLiteral("ok"));
}

// From the nth write on the disk is full; the program is closed while it still is, and
// started again once there is room.
void IoFaultsTest::diskFull(const SavePath& p, int n, const Dump& clean) {
    Session s;
    s.open();
    p.prepare(s);
    const Dump before = s.dump();
    faultvfs::arm(faultvfs::Write, n, faultvfs::Fault::DiskFull);
    const Outcome o = saveArmed(p, s, true);
    const QByteArray where = QStringLiteral("disk full from write %1 (%2)").arg(n).arg(o.at).toUtf8();
    QVERIFY2(o.fired, where);
    QVERIFY2(o.reported, "failure reported as success at " + where);
    s.open();
    const QString wrong = checkUnchanged(p, s.dump(), before, clean, o);
    QVERIFY2(wrong.isEmpty(), wrong.toUtf8() + " after reopening, at " + where);
    QCOMPARE(integrity(s.main->handle()), QStringLiteral("ok"));
    QCOMPARE(integrity(s.work->handle()), QStringLiteral("ok"));
    try {
        p.save(s);
    } catch (const DbError& e) {
        QFAIL(("the same save fails once there is room: " + e.text + QStringLiteral(" after ") + where).toUtf8());
    }
    QVERIFY2(s.dump() == clean, "the repeated save differs from a clean one after " + where);
}

void IoFaultsTest::registerInWindowReportsAndKeepsInvoice_data() {
    QTest::addColumn<unsigned>("kinds");
    QTest::addColumn<int>("fault");
    QTest::addColumn<QString>("engineText");
    QTest::newRow("disk full") << unsigned(faultvfs::Write) << int(faultvfs::Fault::DiskFull)
                               << QStringLiteral("database or disk is full");
    QTest::newRow("sync fails") << unsigned(faultvfs::Sync) << int(faultvfs::Fault::IoError)
                                << QStringLiteral("disk I/O error");
}

void IoFaultsTest::registerInWindowReportsAndKeepsInvoice() {
    QFETCH(unsigned, kinds);
    QFETCH(int, fault);
    QFETCH(QString, engineText);
    WindowFixture f;
    f.start();
    InvoicePage& w = *f.w->invoice;
    w.cmb顧客名->setEditText(QStringLiteral("新規顧客"));
    w.dat明細->setValue(0, w.dat明細->fieldIndex(QStringLiteral("品名")), QStringLiteral("コピー用紙"));
    w.dat明細->setValue(0, w.dat明細->fieldIndex(QStringLiteral("金額")), Currency::fromWhole(5000));
    const QStringList before = dumpAll(f.main().handle());
    f.shown.clear();

    faultvfs::arm(kinds, 1, static_cast<faultvfs::Fault>(fault));
    w.cmd登録->click();
    const bool fired = faultvfs::fired();
    faultvfs::disarm();
    QVERIFY(fired);
    QCOMPARE(f.shown.size(), 2); // the question, then the failure
    QCOMPARE(f.shown[1].title, QStringLiteral("注意"));
    QCOMPARE(f.shown[1].icon, QMessageBox::Warning);
    QVERIFY2(f.shown[1].text.startsWith(QStringLiteral("伝票 1 は登録されませんでした。")),
             qPrintable(f.shown[1].text));
    QVERIFY2(f.shown[1].text.contains(engineText), qPrintable(f.shown[1].text));
    // Nothing stored, and the invoice is still on the screen to be registered again.
    QCOMPARE(dumpAll(f.main().handle()), before);
    QCOMPARE(w.txtNo->text(), QStringLiteral("1"));
    QCOMPARE(w.cmb顧客名->currentText(), QStringLiteral("新規顧客"));
    QCOMPARE(w.dat明細->value(0, w.dat明細->fieldIndex(QStringLiteral("品名"))).toText(), QStringLiteral("コピー用紙"));

    f.shown.clear();
    w.cmd登録->click();
    QCOMPARE(f.shown.size(), 1); // only the question
    const auto stored = Read請求書ヘッダ(f.main(), 1);
    QVERIFY(stored);
    QCOMPARE(stored->顧客名, QStringLiteral("新規顧客"));
    QCOMPARE(w.txtNo->text(), QStringLiteral("2")); // a new invoice is started
    QCOMPARE(integrity(f.main().handle()), QStringLiteral("ok"));
}

void IoFaultsTest::backupOnAFullDiskIsToldOnceAndWorkGoesOn_data() {
    QTest::addColumn<int>("nth");
    QTest::addColumn<unsigned>("kinds");
    QTest::addColumn<int>("fault");
    QTest::addColumn<QString>("words");
    const QString full = QStringLiteral("ディスクの空き容量が足りません");
    const QString write = QStringLiteral("ファイルを書き込めません");
    for (int nth : {1, 3, 8})
        QTest::addRow("disk full at write %d", nth)
            << nth << unsigned(faultvfs::Write) << int(faultvfs::Fault::DiskFull) << full;
    QTest::newRow("sync fails") << 1 << unsigned(faultvfs::Sync) << int(faultvfs::Fault::IoError) << write;
}

void IoFaultsTest::backupOnAFullDiskIsToldOnceAndWorkGoesOn() {
    QFETCH(int, nth);
    QFETCH(unsigned, kinds);
    QFETCH(int, fault);
    QFETCH(QString, words);
    WindowFixture f;
    f.start();
    InvoicePage& w = *f.w->invoice;
    const QStringList before =
        QDir(backupRoot(f.w->books.DataPath)).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    f.shown.clear();
    faultvfs::arm(kinds, nth, static_cast<faultvfs::Fault>(fault));
    f.w->settings->cmdバックアップ->click();
    const bool fired = faultvfs::fired();
    faultvfs::disarm();
    QVERIFY(fired);
    QCOMPARE(f.shown.size(), 1);
    QCOMPARE(f.shown[0].title, QStringLiteral("バックアップの失敗"));
    QVERIFY2(f.shown[0].text.contains(words), qPrintable(f.shown[0].text));
    // Nothing half-made is left, and the books go on being written.
    QCOMPARE(QDir(backupRoot(f.w->books.DataPath)).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             before);
    w.cmb顧客名->setEditText(QStringLiteral("顧客"));
    w.dat明細->setValue(0, w.dat明細->fieldIndex(QStringLiteral("品名")), QStringLiteral("用紙"));
    f.shown.clear();
    w.cmd登録->click();
    QCOMPARE(f.shown.size(), 1); // only the question
    QVERIFY(Read請求書ヘッダ(f.main(), 1));
}

QTEST_MAIN(IoFaultsTest)
#include "test_io_faults.moc"
