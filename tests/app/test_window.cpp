#include "app/layout.h"
#include "window_fixture.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFontDatabase>
#include <QHeaderView>
#include <QScopeGuard>

class WindowTest : public QObject {
    Q_OBJECT
  private slots:
    void dataFolderChoice();
    void captionsPagesAndControls();
    void gridColumns();
    void startupRefusesMissingWorkFile();
    void closingReleasesBothFiles();
    void taxComboTakesOnlyPicks();
    void qtDialogsSpeakJapanese();
    void guideOpens_data();
    void guideOpens();
};

// Takes the place of the desktop's browser: records the pages asked for.
class UrlRecorder : public QObject {
    Q_OBJECT
  public:
    QList<QUrl> opened;
  public slots:
    void open(const QUrl& url) { opened << url; }
};

void WindowTest::dataFolderChoice() {
    QTemporaryFile marker;
    QVERIFY(marker.open());
    QCOMPARE(chooseDataPath(QStringLiteral("/opt/v"), {marker.fileName(), QStringLiteral("/fixed/data")}),
             QStringLiteral("/fixed/data/"));
    QTemporaryDir program;
    QVERIFY(QDir(program.path()).mkdir(QStringLiteral("data")));
    QCOMPARE(chooseDataPath(program.path() + u'/', {QStringLiteral("/no/such/marker"), QStringLiteral("/fixed/")}),
             program.path() + QStringLiteral("/data/"));
}

void WindowTest::captionsPagesAndControls() {
    WindowFixture f;
    f.start();
    FrmVornisa& w = *f.w;
    InvoicePage& inv = *w.invoice;
    SettingsPage& set = *w.settings;
    QCOMPARE(w.windowTitle(), QStringLiteral("Vornisa Ver 1.20"));
    QCOMPARE(set.lblInfo->text(), QStringLiteral("Vornisa Ver 1.20 LastUpdate2005/12/16"));
    QCOMPARE(w.tab->count(), 6); // the four pages, then the invoice list and the receivables
    QCOMPARE(w.tab->tabText(1), QStringLiteral("顧　客"));
    QCOMPARE(w.tab->tabText(2), QStringLiteral("商　品"));
    QCOMPARE(w.tab->tabText(3), QStringLiteral("設定・情報"));
    for (const char* name :
         {"txtNo",         "dt日付",        "cmb顧客名",      "txt顧客情報",    "Grid明細",     "DD商品参照",
          "num税抜計",     "num消費税",     "num合計",        "lbl自社名",      "lbl自社情報",  "cmd登録",
          "cmd削除",       "cmdクリア",     "cmd印刷",        "Grid顧客マスタ", "cmd顧客読込",  "cmd顧客登録",
          "cmd顧客削除",   "cmd顧客クリア", "Grid商品マスタ", "cmd商品読込",    "cmd商品登録",  "cmd商品削除",
          "cmd商品クリア", "txt自社名",     "txt自社情報",    "cmb税区分",      "Pic罫線色",    "num白紙罫線色",
          "cmd設定登録",   "cmd設定クリア", "cmd設定削除",    "cmd設定読込",    "cmd一括削除7", "Image2",
          "lblInfo",       "cmd閉じる",     "cmdHint"})
        QVERIFY2(w.findChild<QWidget*>(QString::fromUtf8(name)), name);
    QCOMPARE(inv.cmd閉じる->toolTip(), QStringLiteral("請求書を終了します。伝票の登録は忘れてませんか"));
    QCOMPARE(w.products->cmd商品削除->toolTip(),
             QStringLiteral("チェックマークを付けた商品情報を削除します。複数削除もできます。"));
    QCOMPARE(set.cmd一括削除7->text(), QStringLiteral("実行"));
    // FormInit runs after the settings are read, so the combo shows 外税 and its own order.
    QCOMPARE(set.cmb税区分->currentText(), QStringLiteral("外税"));
    QCOMPARE(set.cmb税区分->itemText(0), QStringLiteral("内税"));
    QCOMPARE(inv.dt日付->displayFormat(), QStringLiteral("yyyy年MM月dd日"));
    QCOMPARE(inv.dt日付->date(), QDate::currentDate());
    QCOMPARE(inv.txtNo->text(), QStringLiteral("1"));
}

void WindowTest::gridColumns() {
    WindowFixture f;
    f.start();
    DataGrid* detail = f.w->invoice->Grid明細;
    auto heading = [](DataGrid* g, int c) { return g->model()->headerData(c, Qt::Horizontal).toString(); };
    QCOMPARE(heading(detail, 1), QStringLiteral("品　　  名"));
    QCOMPARE(heading(detail, 2), QStringLiteral("数量"));
    QCOMPARE(heading(detail, 5), QStringLiteral("金　額"));
    QCOMPARE(heading(f.w->products->Grid商品マスタ, 1), QStringLiteral("品　　　名"));
    QCOMPARE(heading(f.w->products->Grid商品マスタ, 3), QStringLiteral("単　価"));
    QVERIFY(detail->isColumnHidden(0));
    QCOMPARE(detail->model()->rowCount(), 30);
    QCOMPARE(detail->columnWidth(2), twipsToPixels(1000, detail));
    QCOMPARE(f.w->customers->dat顧客->recordCount(), 0);
    QCOMPARE(f.w->customers->Grid顧客マスタ->model()->rowCount(), 1); // only the new row
}

void WindowTest::startupRefusesMissingWorkFile() {
    TestData data;
    QVERIFY(QFile::remove(data.workPath()));
    QTemporaryFile marker;
    QVERIFY(marker.open());
    FrmVornisa w;
    QVERIFY_THROWS_EXCEPTION(DbError, w.Form_Load(QStringLiteral("/x"), {marker.fileName(), data.folder()}));
    QVERIFY(!w.isVisible());
    QVERIFY(!QFile::exists(data.workPath()));
}

void WindowTest::closingReleasesBothFiles() {
    WindowFixture f;
    f.start();
    f.w->invoice->cmd閉じる->click();
    QVERIFY(!f.w->books.dbMain && !f.w->books.dbWork);
    QVERIFY(f.shown.isEmpty());
}

void WindowTest::taxComboTakesOnlyPicks() {
    WindowFixture f;
    f.start();
    f.w->tab->setCurrentIndex(3);
    QComboBox* category = f.w->settings->cmb税区分;
    category->setFocus();
    QTest::keyClick(category, Qt::Key_Delete);
    typeText(category, QStringLiteral("非n"));
    QCOMPARE(category->currentText(), QStringLiteral("外税"));
}

void WindowTest::guideOpens_data() {
    QTest::addColumn<QString>("guideAt"); // below the scratch folder; empty: no guide anywhere
    QTest::addColumn<bool>("browser");    // the desktop can open a page
    QTest::newRow("installed: share beside bin") << "share/doc/vornisa/guide/index.html" << true;
    QTest::newRow("build tree: share in the program's folder") << "bin/share/doc/vornisa/guide/index.html" << true;
    QTest::newRow("no browser") << "share/doc/vornisa/guide/index.html" << false;
    QTest::newRow("portable copy without share") << "" << true;
}

void WindowTest::guideOpens() {
    QFETCH(QString, guideAt);
    QFETCH(bool, browser);
    QTemporaryDir root;
    QVERIFY(QDir(root.path()).mkpath(QStringLiteral("bin")));
    if (!guideAt.isEmpty()) {
        QVERIFY(QDir(root.path()).mkpath(QFileInfo(guideAt).path()));
        QFile page(root.filePath(guideAt));
        QVERIFY(page.open(QIODevice::WriteOnly));
    }
    WindowFixture f;
    f.w = std::make_unique<FrmVornisa>();
    f.w->Form_Load(root.filePath(QStringLiteral("bin")), DataFolderRule{f.marker.fileName(), f.data.folder()});
    f.w->show();
    QVERIFY(QTest::qWaitForWindowActive(f.w.get()));
    UrlRecorder opened;
    // A handler without its method: the desktop cannot open the page.
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &opened, browser ? "open" : "none");
    const auto restore = qScopeGuard([] { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); });

    QTest::keyClick(f.w.get(), Qt::Key_F1);
    f.w->tab->setCurrentIndex(3);
    QVERIFY(QTest::qWaitForWindowExposed(f.w->settings->Image2));
    QTest::mouseClick(f.w->settings->Image2, Qt::LeftButton);
    QVERIFY(f.shown.isEmpty());
    if (guideAt.isEmpty() || !browser) {
        // The guide built into the program, in its own window: one window, the text and its pictures.
        QVERIFY(opened.opened.isEmpty());
        QVERIFY(f.w->guideWindow->isVisible() && f.w->findChildren<QTextBrowser*>().size() == 1);
        QVERIFY(f.w->guideWindow->toPlainText().contains(QStringLiteral("請求書")));
        const QImage picture =
            f.w->guideWindow->loadResource(QTextDocument::ImageResource, QUrl(QStringLiteral("images/invoice.png")))
                .value<QImage>();
        QVERIFY(!picture.isNull() && picture.width() < f.w->guideWindow->viewport()->width()); // it fits
        return;
    }
    const QUrl page = QUrl::fromLocalFile(QDir::cleanPath(root.filePath(guideAt)));
    QCOMPARE(opened.opened, (QList<QUrl>{page, page}));
}

void WindowTest::qtDialogsSpeakJapanese() {
    // Whatever the system says, as a user with an English desktop would start the program.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QVERIFY(SetupJapaneseUi());
    QVERIFY(SetupJapaneseUi()); // a second call (window tests, the program) changes nothing

    QMessageBox box(QMessageBox::Question, QStringLiteral("確認"), QStringLiteral("よろしいですか"),
                    QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(box.button(QMessageBox::Yes)->text(), QStringLiteral("はい"));
    QCOMPARE(box.button(QMessageBox::No)->text(), QStringLiteral("いいえ"));
    QCOMPARE(QLocale().language(), QLocale::Japanese);
    QFileDialog files; // Qt's own dialogs too
    files.setOption(QFileDialog::DontUseNativeDialog);
    QStringList labels;
    for (const QLabel* l : files.findChildren<QLabel*>())
        labels << l->text();
    QVERIFY2(labels.join(QLatin1Char('|')).contains(QStringLiteral("ファイル名")), qPrintable(labels.join('|')));

    // One face for the whole window, with kana and digits of its own.
    const QString family = QApplication::font().family();
    QVERIFY2(QFontDatabase::writingSystems(family).contains(QFontDatabase::Japanese), qPrintable(family));
    WindowFixture f;
    f.start();
    QCOMPARE(f.w->invoice->txtNo->font().family(), family);
    QCOMPARE(f.w->invoice->Grid明細->font().family(), family);
}

QTEST_MAIN(WindowTest)
#include "test_window.moc"
