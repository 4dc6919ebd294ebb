#include "app/book_page/book_model.h"
#include "app/startup.h"
#include "hints/hint_window.h"
#include "window_fixture.h"

#include <QDir>
#include <QHeaderView>
#include <QProgressDialog>
#include <QTimer>

// Backups, restore and CSV as a user works them in the window.
class BackupWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void dailyBackupAtTheFirstStartOfTheDay();
    void wipeMakesABackupFirst();
    void backupNowCopyAndRestore();
    void restoreStartsEveryPageAfresh();
    void startAfterARestoreCutOffSaysWhich();
    void csvOutAndIn();

  private:
    static qint64 invoices(Database& main) {
        return main.openRecordset(QStringLiteral("select * from 請求書ヘッダ"))->recordCount();
    }
    static void addInvoice(Database& main, int number) {
        main.executeRaw(QStringLiteral("insert into 請求書ヘッダ (伝票番号, 顧客名) values (%1, 'A')").arg(number));
    }
    static void setCustomer(CustomerPage& w, const QString& name) {
        w.dat顧客->insertRows(0, 1);
        w.dat顧客->setData(w.dat顧客->index(0, w.dat顧客->fieldIndex(QStringLiteral("顧客名"))), name, Qt::EditRole);
    }
};

void BackupWindowTest::dailyBackupAtTheFirstStartOfTheDay() {
    WindowFixture f;
    f.start();
    QList<BackupInfo> made = listBackups(f.data.folder());
    QCOMPARE(made.size(), 1);
    QCOMPARE(made[0].reason, reason::Daily);
    QCOMPARE(made[0].made.date(), QDate::currentDate());
    f.w->close();
    f.start(); // the same day: no second one
    QCOMPARE(listBackups(f.data.folder()).size(), 1);
    f.w->close();
    // Yesterday's backup does not count for today.
    QDir root(backupRoot(f.data.folder()));
    QVERIFY(root.rename(made[0].name, QDate::currentDate().addDays(-1).toString(QStringLiteral("yyyyMMdd-090000"))));
    f.start();
    QCOMPARE(listBackups(f.data.folder()).size(), 2);
    QVERIFY(f.shown.isEmpty());

    // A start refused for a missing file creates nothing.
    WindowFixture refused;
    QVERIFY(QFile::remove(refused.data.workPath()));
    FrmVornisa w;
    QVERIFY_THROWS_EXCEPTION(DbError, w.Form_Load(QStringLiteral("/nonexistent"),
                                                  DataFolderRule{refused.marker.fileName(), refused.data.folder()}));
    QVERIFY(!QFileInfo::exists(backupRoot(refused.data.folder())));
}

void BackupWindowTest::wipeMakesABackupFirst() {
    WindowFixture f;
    f.start();
    SettingsPage& w = *f.w->settings;
    addInvoice(f.main(), 41);
    // First with backups impossible: the wipe does not run and the user is told.
    QVERIFY(QDir(backupRoot(f.w->books.DataPath)).removeRecursively());
    QFile blocker(backupRoot(f.w->books.DataPath));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    w.cmd一括削除7->click();
    QCOMPARE(f.shown.last().title, QStringLiteral("バックアップの失敗"));
    QVERIFY(f.shown.last().text.startsWith(
        QStringLiteral("バックアップを作成できなかったため、データは初期化しませんでした。")));
    QCOMPARE(invoices(f.main()), 1);

    QVERIFY(blocker.remove());
    f.shown.clear();
    w.cmd一括削除7->click();
    QCOMPARE(f.shown.size(), 2); // the question and the notice, as before
    QCOMPARE(f.shown.last().text, QStringLiteral("すべてのデータを初期化しました"));
    QCOMPARE(invoices(f.main()), 0);
    const QList<BackupInfo> made = listBackups(f.w->books.DataPath);
    QCOMPARE(made.size(), 1);
    QCOMPARE(made[0].reason, reason::BeforeWipe);
    QCOMPARE(made[0].invoices, 1);
}

void BackupWindowTest::backupNowCopyAndRestore() {
    WindowFixture f;
    f.start(); // the daily backup
    InvoicePage& w = *f.w->invoice;
    addInvoice(f.main(), 1);
    QTemporaryDir stick;
    QString offered;
    f.w->books.fileDialogs.existingDirectory = [&](QWidget*, const QString&, const QString&) { return offered; };
    f.w->settings->cmdバックアップ->click(); // the folder dialog cancelled: the backup stays
    QCOMPARE(listBackups(f.w->books.DataPath).size(), 2);
    QCOMPARE(listBackups(f.w->books.DataPath).first().reason, reason::Manual);
    QCOMPARE(f.shown.last().title, QStringLiteral("バックアップ完了"));
    QCOMPARE(QDir(stick.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList());

    offered = stick.path();
    f.w->settings->cmdバックアップ->click();
    const QList<BackupInfo> made = listBackups(f.w->books.DataPath);
    QCOMPARE(made.size(), 3);
    const QString copy = stick.path() + QStringLiteral("/Vornisa-backup/") + made.first().name;
    QVERIFY(QFileInfo::exists(copy + QStringLiteral("/Vornisa.mdb")));
    QVERIFY(QFileInfo::exists(copy + QStringLiteral("/VornisaWork.mdb")));
    QCOMPARE(f.shown.last().text, QStringLiteral("バックアップを ") + QDir::toNativeSeparators(copy) +
                                      QStringLiteral(" にコピーしました。"));
    offered.clear();
    addInvoice(f.main(), 2);
    w.cmdHint->click();
    QVERIFY(f.w->hintWindow);

    // A damaged backup is refused: nothing changes, not even a backup is made.
    QFile damaged(made.last().folder + QStringLiteral("/VornisaWork.mdb"));
    QVERIFY(damaged.open(QIODevice::WriteOnly));
    damaged.write(QByteArray(8192, '\0'));
    damaged.close();
    restoreFromList(f, 2, true);
    QCOMPARE(f.shown.last().title, QStringLiteral("復元の拒否"));
    QCOMPARE(invoices(f.main()), 2);
    QCOMPARE(listBackups(f.w->books.DataPath).size(), 3);

    // Cancelling the list, or answering No, changes nothing.
    restoreFromList(f, 0, false);
    f.answer = QMessageBox::No;
    restoreFromList(f, 0, true);
    QCOMPARE(f.shown.last().title, QStringLiteral("復元の確認"));
    QCOMPARE(f.shown.last().defaultButton, QMessageBox::No);
    QCOMPARE(invoices(f.main()), 2);
    QCOMPARE(listBackups(f.w->books.DataPath).size(), 3);

    // With unregistered work on a page (here the customers) the clear question comes too; No there keeps all.
    setCustomer(*f.w->customers, QStringLiteral("入力中"));
    QMessageBox::StandardButton onClear = QMessageBox::No;
    msg::setAnswerer([&](const msg::Shown& s) {
        f.shown << s;
        return s.title == QStringLiteral("画面クリアの確認") ? onClear : QMessageBox::Yes;
    });
    restoreFromList(f, 0, true);
    QCOMPARE(f.shown.last().title, QStringLiteral("画面クリアの確認"));
    QCOMPARE(invoices(f.main()), 2);
    QCOMPARE(f.w->customers->dat顧客->recordCount(), 1);

    onClear = QMessageBox::Yes;
    restoreFromList(f, 0, true); // newest first: the copied one
    QCOMPARE(f.shown.last().title, QStringLiteral("復元完了"));
    QCOMPARE(f.w->customers->dat顧客->recordCount(), 0);
    QCOMPARE(invoices(f.main()), 1);
    const QList<BackupInfo> after = listBackups(f.w->books.DataPath);
    QCOMPARE(after.size(), 4);
    QCOMPARE(after.first().reason, reason::BeforeRestore); // the newer books are kept
    QCOMPARE(after.first().invoices, 2);
    // The window goes on with the new files: a new invoice, the grids and the hint write to them.
    QCOMPARE(w.dat明細->rowCount(), 30);
    setCustomer(*f.w->customers, QStringLiteral("新顧客"));
    QCOMPARE(f.work().openRecordset(QStringLiteral("select * from w顧客マスタ"))->recordCount(), 1);
    f.w->hintWindow->txtContents->setPlainText(QStringLiteral("復元後のメモ"));
    f.w->hintWindow->EntryHint();
    QCOMPARE(f.work().openRecordset(QStringLiteral("select * from ClHint"))->recordCount(), 1);
    QCOMPARE(QDir(f.w->books.DataPath).entryList({QStringLiteral("*.restore-*")}, QDir::Files), QStringList());
}

// After a restore each page shows what a start on the restored books shows: the grids' columns
// too, and nothing of the books before.
void BackupWindowTest::restoreStartsEveryPageAfresh() {
    WindowFixture f;
    f.start();                  // the daily backup: no settings, customers or invoices yet
    const auto columns = [&f] { // each grid's columns: -1 hidden, 0 stretched, else the width
        QList<int> all;
        for (DataGrid* g : {f.w->invoice->Grid明細, f.w->customers->Grid顧客マスタ, f.w->products->Grid商品マスタ})
            for (int c = 0; c < g->model()->columnCount(); ++c)
                all << (g->isColumnHidden(c)                                                  ? -1
                        : g->horizontalHeader()->sectionResizeMode(c) == QHeaderView::Stretch ? 0
                                                                                              : g->columnWidth(c));
        return all;
    };
    const QList<int> atStart = columns();
    f.w->settings->txt自社名->setText(QStringLiteral("自社"));
    f.w->settings->cmd設定登録->click();
    setCustomer(*f.w->customers, QStringLiteral("新顧客"));
    f.w->customers->cmd顧客登録->click();
    addInvoice(f.main(), 1);
    f.w->book->cmd検索->click();
    QCOMPARE(f.w->book->dat伝票一覧->rowCount(), 1);
    restoreFromList(f, 0, true);
    QCOMPARE(columns(), atStart);
    QCOMPARE(f.w->invoice->lbl自社名->text(), QString());
    QCOMPARE(f.w->settings->txt自社名->text(), QString());
    QCOMPARE(f.w->invoice->cmb顧客名->count(), 0);
    QCOMPARE(f.w->book->dat伝票一覧->rowCount(), 0);
}

// The start after a restore that was cut off before it was done says the books are as before.
void BackupWindowTest::startAfterARestoreCutOffSaysWhich() {
    WindowFixture f;
    QVERIFY(QFile::copy(f.data.mainPath(), f.data.mainPath() + QStringLiteral(".restore-old")));
    FrmVornisa w;
    QVERIFY(LoadMainWindow(w, QStringLiteral("/nonexistent"), DataFolderRule{f.marker.fileName(), f.data.folder()}));
    QCOMPARE(f.shown.size(), 1);
    QCOMPARE(f.shown[0].text, QStringLiteral("前回の復元は完了する前に中断されました。データは復元の前の状態に戻しました。"));
}

void BackupWindowTest::csvOutAndIn() {
    WindowFixture f;
    f.start();
    ProductPage& p = *f.w->products;
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("in.csv"));
    const QString out = dir.filePath(QStringLiteral("out.csv"));
    QFile file(in);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QStringLiteral("品名,単価\nネジ,\"¥1,000\"\nナット,高い\n").toUtf8());
    file.close();
    QString started; // where the last dialog started
    const auto answer = [&started](const QString& file) {
        return [&started, file](QWidget*, const QString&, const QString& start) { return started = start, file; };
    };
    const auto answerOpen = [&answer](const QString& file) {
        return [a = answer(file)](QWidget* p, const QString& c, const QString& s, const QString&) { return a(p, c, s); };
    };
    f.w->books.fileDialogs.openFile = answerOpen(in);
    f.w->books.fileDialogs.saveFile = answer(out);
    p.cmd商品CSV取込->click();
    QCOMPARE(started, QDir::homePath()); // no folder taken yet
    QCOMPARE(f.shown.last().text, QStringLiteral("次の行は読み取れないため取り込みませんでした。\n3行目"));
    QCOMPARE(p.dat商品->recordCount(), 1);
    QCOMPARE(p.dat商品->value(0, p.dat商品->fieldIndex(QStringLiteral("単価"))), Value(Currency::fromWhole(1000)));
    QCOMPARE(f.main().openRecordset(QStringLiteral("select * from 商品マスタ"))->recordCount(), 0);
    p.cmd商品CSV出力->click();
    QCOMPARE(started, dir.filePath(QStringLiteral("商品.csv"))); // the folder taken last
    QFile written(out);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(),
             QByteArray("\xEF\xBB\xBF") + QStringLiteral("品名,単位,単価,非課税,税率\r\nネジ,,1000,0,\r\n").toUtf8());

    // Customers, in the window started again (the rows read are asked for): exported, cleared, brought back.
    f.w->close();
    QCOMPARE(f.shown.last().text, QStringLiteral("登録されていない商品情報があります。終了します、よろしいですか"));
    f.start();
    f.w->books.fileDialogs.saveFile = answer(out);
    CustomerPage& w = *f.w->customers;
    setCustomer(w, QStringLiteral("山田, 太郎"));
    w.cmd顧客CSV出力->click();
    QCOMPARE(started, dir.filePath(QStringLiteral("顧客.csv")));
    w.cmd顧客クリア->click();
    QCOMPARE(w.dat顧客->recordCount(), 0);
    f.w->books.fileDialogs.openFile = answerOpen(out);
    w.cmd顧客CSV取込->click();
    QCOMPARE(w.dat顧客->recordCount(), 1);
    QCOMPARE(w.dat顧客->value(0, w.dat顧客->fieldIndex(QStringLiteral("顧客名"))), Value(QStringLiteral("山田, 太郎")));

    // A large file shows its progress with a button that stops it; stopped, the page is as it was.
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("顧客名,顧客情報\n");
    for (int i = 0; i < 40000; ++i)
        file.write(QStringLiteral("顧客%1,東京都千代田区\n").arg(i).toUtf8());
    file.close();
    f.w->books.fileDialogs.openFile = answerOpen(in);
    QString progress;
    QTimer::singleShot(0, &w, [&] { // runs once the import lets the window draw
        if (auto* shown = f.w->findChild<QProgressDialog*>(); shown && shown->isVisible()) {
            progress = shown->labelText();
            shown->cancel();
        }
    });
    w.cmd顧客CSV取込->click();
    QCOMPARE(progress, QStringLiteral("顧客のCSVを取り込んでいます…"));
    QCOMPARE(w.dat顧客->recordCount(), 1);
    w.cmd顧客CSV取込->click();
    QCOMPARE(w.dat顧客->recordCount(), 40000);
}

QTEST_MAIN(BackupWindowTest)
#include "test_backup_window.moc"
