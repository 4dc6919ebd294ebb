#include "app/layout.h"
#include "window_fixture.h"

#include <QFile>
#include <QHeaderView>

class WindowTest : public QObject {
    Q_OBJECT
  private slots:
    void dataFolderChoice();
    void captionsPagesAndControls();
    void gridColumns();
    void startupRefusesMissingWorkFile();
    void closingReleasesBothFiles();
    void taxComboTakesOnlyPicks();
};

void WindowTest::dataFolderChoice() {
    QTemporaryFile marker;
    QVERIFY(marker.open());
    QCOMPARE(chooseDataPath(QStringLiteral("/opt/v"), {marker.fileName(), QStringLiteral("/fixed/data")}),
             QStringLiteral("/fixed/data/"));
    QCOMPARE(chooseDataPath(QStringLiteral("/opt/v/"), {QStringLiteral("/no/such/marker"), QStringLiteral("/fixed/")}),
             QStringLiteral("/opt/v/data/"));
}

void WindowTest::captionsPagesAndControls() {
    WindowFixture f;
    f.start();
    FrmVornisa& w = *f.w;
    QCOMPARE(w.windowTitle(), QStringLiteral("Vornisa Ver 1.20"));
    QCOMPARE(w.lblInfo->text(), QStringLiteral("Vornisa Ver 1.20 LastUpdate2005/12/16"));
    QCOMPARE(w.tab->count(), 5); // the four pages, then the invoice list
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
    QCOMPARE(w.cmd閉じる->toolTip(), QStringLiteral("請求書を終了します。伝票の登録は忘れてませんか"));
    QCOMPARE(w.cmd商品削除->toolTip(),
             QStringLiteral("チェックマークを付けた商品情報を削除します。複数削除もできます。"));
    QCOMPARE(w.cmd一括削除7->text(), QStringLiteral("実行"));
    // FormInit runs after the settings are read, so the combo shows 外税 and its own order.
    QCOMPARE(w.cmb税区分->currentText(), QStringLiteral("外税"));
    QCOMPARE(w.cmb税区分->itemText(0), QStringLiteral("内税"));
    QCOMPARE(w.dt日付->displayFormat(), QStringLiteral("yyyy年MM月dd日"));
    QCOMPARE(w.dt日付->date(), QDate::currentDate());
    QCOMPARE(w.txtNo->text(), QStringLiteral("1"));
}

void WindowTest::gridColumns() {
    WindowFixture f;
    f.start();
    FrmVornisa& w = *f.w;
    auto heading = [](DataGrid* g, int c) { return g->model()->headerData(c, Qt::Horizontal).toString(); };
    QCOMPARE(heading(w.Grid明細, 1), QStringLiteral("品　　  名"));
    QCOMPARE(heading(w.Grid明細, 2), QStringLiteral("数量"));
    QCOMPARE(heading(w.Grid明細, 5), QStringLiteral("金　額"));
    QCOMPARE(heading(w.Grid商品マスタ, 1), QStringLiteral("品　　　名"));
    QCOMPARE(heading(w.Grid商品マスタ, 3), QStringLiteral("単　価"));
    QVERIFY(w.Grid明細->isColumnHidden(0));
    QCOMPARE(w.Grid明細->model()->rowCount(), 30);
    QCOMPARE(w.Grid明細->columnWidth(2), twipsToPixels(1000, w.Grid明細));
    QCOMPARE(w.Grid顧客マスタ->model()->rowCount(), 0);
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
    f.w->cmd閉じる->click();
    QVERIFY(!f.w->dbMain && !f.w->dbWork);
    QVERIFY(f.shown.isEmpty());
}

void WindowTest::taxComboTakesOnlyPicks() {
    WindowFixture f;
    f.start();
    f.w->tab->setCurrentIndex(3);
    f.w->cmb税区分->setFocus();
    QTest::keyClick(f.w->cmb税区分, Qt::Key_Delete);
    typeText(f.w->cmb税区分, QStringLiteral("非n"));
    QCOMPARE(f.w->cmb税区分->currentText(), QStringLiteral("外税"));
}

QTEST_MAIN(WindowTest)
#include "test_window.moc"
