#include "invoice/invoice_io.h"
#include "report/preview.h"
#include "store/statements.h"

#include "window_fixture.h"
#include <QPrintPreviewDialog>

// Drives the invoice page as a user would: typing into cells and pressing the buttons.
class InvoiceWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void typingLinesUpdatesTotals();
    void outOfRangeIsClearedAndCursorReturns();
    void enterInAmountColumn();
    void registerLoadAndDelete();
    void registerRefusals();
    void printOpensPreviewAndChangesNothing();
    void aSaveCutOffByTheServerIsToldAndKept();

  private:
    static void type(InvoicePage& w, int row, int col, const QString& text) { typeCell(w.Grid明細, row, col, text); }
    static Value work(InvoicePage& w, int row, const QString& field) {
        return w.dat明細->value(row, w.dat明細->fieldIndex(field));
    }
};

namespace {
// A book from before the two rates: its settings record names no scheme, so it works at 5%.
const QString OlderBook = QStringLiteral("INSERT INTO 自社情報 (税区分) VALUES ('外税')");

void addProduct(Database& main, const QString& name, const QString& unit, qint64 price, bool exempt) {
    auto rs = main.openRecordset(sql::P1(name));
    rs->addNew();
    rs->setField(QStringLiteral("品名"), name);
    rs->setField(QStringLiteral("単位"), unit);
    rs->setField(QStringLiteral("単価"), Currency::fromWhole(price));
    rs->setField(QStringLiteral("非課税"), exempt);
    rs->update();
}
} // namespace

void InvoiceWindowTest::typingLinesUpdatesTotals() {
    WindowFixture f;
    {
        auto main = f.data.openMain();
        addProduct(*main, QStringLiteral("コピー用紙"), QStringLiteral("箱"), 2500, false);
        main->executeRaw(OlderBook); // the exempt flag's column is a 5% invoice's
    }
    f.start();
    InvoicePage& w = *f.w->invoice;
    type(w, 0, 1, QStringLiteral("  コピー用紙  "));
    QCOMPARE(work(w, 0, QStringLiteral("品名")).toText(), QStringLiteral("コピー用紙"));
    QCOMPARE(work(w, 0, QStringLiteral("単位")).toText(), QStringLiteral("箱"));
    QCOMPARE(work(w, 0, QStringLiteral("単価")).toCurrency(), Currency::fromWhole(2500));
    QVERIFY(work(w, 0, QStringLiteral("金額")).isNull()); // the amount follows quantity and price only
    type(w, 0, 2, QStringLiteral("3"));
    QCOMPARE(work(w, 0, QStringLiteral("金額")).toCurrency(), Currency::fromWhole(7500));
    QCOMPARE(w.num税抜計->text(), QStringLiteral("7,500"));
    QCOMPARE(w.num消費税->text(), QStringLiteral("375"));
    QCOMPARE(w.num合計->text(), QStringLiteral("7,875"));
    // An unknown product keeps its name and brings nothing else.
    type(w, 1, 1, QStringLiteral("特注品"));
    QCOMPARE(work(w, 1, QStringLiteral("品名")).toText(), QStringLiteral("特注品"));
    QVERIFY(work(w, 1, QStringLiteral("単価")).isNull());
    type(w, 1, 4, QStringLiteral("100.1"));
    type(w, 1, 2, QStringLiteral("3"));
    QCOMPARE(work(w, 1, QStringLiteral("金額")).toCurrency(), Currency::fromWhole(301));
    // The exempt flag toggles with the space bar and the totals follow at once.
    w.Grid明細->setCurrentIndex(w.Grid明細->model()->index(1, 6));
    QTest::keyClick(w.Grid明細, Qt::Key_Space);
    QVERIFY(work(w, 1, QStringLiteral("非課税")).toBool());
    QCOMPARE(w.num税抜計->text(), QStringLiteral("7,801"));
    QCOMPARE(w.num消費税->text(), QStringLiteral("375"));
    QCOMPARE(w.num合計->text(), QStringLiteral("8,176"));
    QVERIFY(f.shown.isEmpty()); // editing shows no messages
}

void InvoiceWindowTest::outOfRangeIsClearedAndCursorReturns() {
    WindowFixture f;
    f.start();
    InvoicePage& w = *f.w->invoice;
    type(w, 2, 4, QStringLiteral("10"));
    type(w, 2, 2, QStringLiteral("999999.99"));
    QCOMPARE(work(w, 2, QStringLiteral("数量")).toDouble(), 999999.99);
    type(w, 2, 2, QStringLiteral("1000000"));
    QVERIFY(work(w, 2, QStringLiteral("数量")).isNull());
    QVERIFY(work(w, 2, QStringLiteral("金額")).isNull());
    QCOMPARE(w.Grid明細->col(), 2);
    type(w, 2, 5, QStringLiteral("10000000000"));
    QVERIFY(work(w, 2, QStringLiteral("金額")).isNull());
    QCOMPARE(w.Grid明細->col(), 5);
}

void InvoiceWindowTest::enterInAmountColumn() {
    WindowFixture f;
    f.start();
    DataGrid* g = f.w->invoice->Grid明細;
    g->setFocus();
    g->setCurrentIndex(g->model()->index(4, 5));
    QTest::keyClick(g, Qt::Key_Return);
    QCOMPARE(g->row(), 5);
    QCOMPARE(g->col(), 1);
    g->setCurrentIndex(g->model()->index(29, 5));
    QTest::keyClick(g, Qt::Key_Return);
    QCOMPARE(g->row(), 29);
    QCOMPARE(g->col(), 1);
    // Elsewhere Enter moves one cell right.
    g->setCurrentIndex(g->model()->index(3, 2));
    QTest::keyClick(g, Qt::Key_Return);
    QCOMPARE(g->col(), 3);
}

void InvoiceWindowTest::registerLoadAndDelete() {
    WindowFixture f;
    f.data.openMain()->executeRaw(OlderBook);
    f.start();
    InvoicePage& w = *f.w->invoice;
    w.cmb顧客名->setEditText(QStringLiteral("山田商店"));
    w.txt顧客情報->setPlainText(QStringLiteral("東京都"));
    type(w, 0, 1, QStringLiteral("鉛筆"));
    type(w, 0, 4, QStringLiteral("100"));
    type(w, 0, 2, QStringLiteral("12"));
    type(w, 1, 1, QStringLiteral("消しゴム"));
    type(w, 1, 5, QStringLiteral("80"));
    w.txtNo->setText(QStringLiteral("5"));
    w.cmd登録->click();
    QCOMPARE(f.shown.size(), 1);
    QCOMPARE(f.shown[0].text, QStringLiteral("伝票 5（山田商店 様） を登録します。よろしいですか"));
    // A new invoice follows, offering one above the registered number.
    QCOMPARE(w.txtNo->text(), QStringLiteral("6"));
    QVERIFY(w.cmb顧客名->currentText().isEmpty());
    QVERIFY(work(w, 0, QStringLiteral("品名")).isNull());
    QVERIFY(w.cmb顧客名->findText(QStringLiteral("山田商店")) >= 0);
    // Loading it back, leading zeros kept in the box.
    w.txtNo->setFocus();
    w.txtNo->setText(QStringLiteral("005"));
    w.Grid明細->setFocus();
    QCOMPARE(w.txtNo->text(), QStringLiteral("005"));
    QCOMPARE(w.cmb顧客名->currentText(), QStringLiteral("山田商店"));
    QCOMPARE(w.txt顧客情報->toPlainText(), QStringLiteral("東京都"));
    QCOMPARE(work(w, 1, QStringLiteral("品名")).toText(), QStringLiteral("消しゴム"));
    QCOMPARE(w.num税抜計->text(), QStringLiteral("1,280"));
    QCOMPARE(w.num合計->text(), QStringLiteral("1,344"));
    // Deleting asks with the number as typed, and the counter stays.
    f.shown.clear();
    w.cmd削除->click();
    QCOMPARE(f.shown.size(), 1);
    QCOMPARE(f.shown[0].text, QStringLiteral("伝票 005 を削除します。よろしいですか"));
    QCOMPARE(w.txtNo->text(), QStringLiteral("6"));
    QVERIFY(f.main().openRecordset(sql::I9(QStringLiteral("5"), QStringLiteral("請求書")))->eof());
    QVERIFY(f.main().openRecordset(sql::I7(QStringLiteral("5"), QStringLiteral("請求書")))->eof());
}

void InvoiceWindowTest::registerRefusals() {
    WindowFixture f;
    f.start();
    InvoicePage& w = *f.w->invoice;
    w.cmb顧客名->setEditText(QStringLiteral("新規客"));
    type(w, 0, 1, QStringLiteral("A"));
    type(w, 2, 1, QStringLiteral("C")); // a gap above
    w.cmd登録->click();
    QCOMPARE(f.shown.size(), 2);
    QCOMPARE(f.shown[1].text, QStringLiteral("上の行が空白です。データは連続して指定してください。"));
    QCOMPARE(w.cmb顧客名->currentText(), QStringLiteral("新規客")); // screen kept
    QVERIFY(f.main().openRecordset(sql::C1(QStringLiteral("新規客")))->eof());
    f.shown.clear();
    w.txtNo->clear();
    w.cmd登録->click();
    QCOMPARE(f.shown.size(), 2);
    QCOMPARE(f.shown[1].text, QStringLiteral("伝票番号が指定されていません。確認してください"));
    // A number that is not a plain number is refused on leaving the box.
    f.shown.clear();
    w.txtNo->setFocus();
    w.txtNo->setText(QStringLiteral("12a"));
    w.Grid明細->setFocus();
    QCOMPARE(f.shown.size(), 2); // then the lines on screen are only cleared when the user agrees
    QCOMPARE(f.shown[0].text, QStringLiteral("伝票番号には数字以外使用できません"));
    QCOMPARE(f.shown[1].text, QStringLiteral("画面をクリアします。よろしいですか"));
    QVERIFY(w.txtNo->text().isEmpty());
}

void InvoiceWindowTest::printOpensPreviewAndChangesNothing() {
    WindowFixture f;
    f.start();
    InvoicePage& w = *f.w->invoice;
    type(w, 0, 1, QStringLiteral("鉛筆"));
    type(w, 0, 2, QStringLiteral("2.5"));
    type(w, 0, 4, QStringLiteral("120"));
    w.cmb顧客名->setEditText(QStringLiteral("山田商店"));
    const QString number = w.txtNo->text();
    w.cmd印刷->click();
    QTRY_VERIFY(f.w->findChild<QPrintPreviewDialog*>());
    QPrintPreviewDialog* preview = f.w->findChild<QPrintPreviewDialog*>();
    QVERIFY(!preview->isModal()); // the main window stays usable
    QCOMPARE(w.txtNo->text(), number);
    QCOMPARE(work(w, 0, QStringLiteral("品名")).toText(), QStringLiteral("鉛筆"));
    QVERIFY(f.main().openRecordset(sql::S1())->eof());
    QVERIFY(f.shown.isEmpty());

    // The PDF button offers a name made of the invoice on screen: date, customer, total and number.
    QString offered;
    report::setSaveAsker([&](QWidget*, const QString& suggested) {
        offered = suggested;
        return QString(); // cancelled
    });
    auto* save = preview->findChild<QAction*>(QStringLiteral("cmdPDF保存"));
    QVERIFY(save);
    save->trigger();
    report::setSaveAsker({});
    QCOMPARE(QFileInfo(offered).fileName(), QStringLiteral("%1_山田商店_%2円_No%3.pdf")
                                                .arg(QDate::currentDate().toString(QStringLiteral("yyyyMMdd")),
                                                     w.num合計->text().remove(QLatin1Char(',')), number));
    preview->close();
}

void InvoiceWindowTest::aSaveCutOffByTheServerIsToldAndKept() {
    WindowFixture f;
    if (!f.data.server)
        QSKIP("a server book only");
    f.start();
    InvoicePage& w = *f.w->invoice;
    // The first two saves' sessions end as they commit (a sequence counts whatever is undone).
    auto other = f.data.openMain(),
         admin = Database::connect(f.data.server->connection + QStringLiteral(" dbname=postgres"), {});
    const auto allow = [&](const char* yes) {
        admin->executeRaw(
            QStringLiteral("ALTER DATABASE %1 ALLOW_CONNECTIONS %2").arg(f.data.server->name, QLatin1String(yes)));
    };
    other->executeRaw(QStringLiteral(
        "CREATE SEQUENCE once; CREATE FUNCTION cut() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN "
        "IF nextval('once') <= 2 THEN PERFORM pg_terminate_backend(pg_backend_pid()); END IF; RETURN NULL; END $$; "
        "CREATE CONSTRAINT TRIGGER cut AFTER INSERT ON 請求書ヘッダ DEFERRABLE INITIALLY DEFERRED FOR EACH ROW "
        "EXECUTE FUNCTION cut()"));
    const QString number = w.txtNo->text();
    w.cmb顧客名->setEditText(QStringLiteral("山田商店"));
    type(w, 0, 1, QStringLiteral("鉛筆"));
    type(w, 0, 2, QStringLiteral("１２"));
    const auto toldAndKept = [&](const QString& told) {
        f.shown.clear();
        w.Entry請求書();
        QCOMPARE(f.shown.size(), 1);
        QVERIFY2(f.shown[0].text.startsWith(told), qPrintable(f.shown[0].text));
        // Nothing stored; the page keeps all that was typed.
        QCOMPARE(other->serverRows(QStringLiteral("SELECT count(*) FROM 請求書"))[0][0].toInt(), 0);
        QCOMPARE(w.txtNo->text(), number);
        QCOMPARE(w.cmb顧客名->currentText(), QStringLiteral("山田商店"));
        QCOMPARE(work(w, 0, QStringLiteral("数量")).toDouble(), 12.0);
    };
    const QString notSaved = QStringLiteral("伝票 %1 は登録されませんでした。\n").arg(number);
    // Looked up on a new session: undone.
    toldAndKept(notSaved +
                QStringLiteral("サーバーとの接続が切れました。途中までの変更はサーバーで取り消されています。"));
    allow("false"); // no new session: whether it was saved cannot be told, then nothing can be saved
    toldAndKept(QStringLiteral("サーバーとの接続が切れ、保存が済んだかどうか確かめられませんでした。"));
    toldAndKept(notSaved + QStringLiteral("サーバー /tmp/vornisa-pg."));
    allow("true");
    f.shown.clear();
    w.Entry請求書(); // connects anew; stored once, under the number offered
    QVERIFY(f.shown.isEmpty());
    QCOMPARE(Read請求書ヘッダ(*other, number.toInt())->顧客名, QStringLiteral("山田商店"));
    QCOMPARE(other->serverRows(QStringLiteral("SELECT count(*) FROM 請求書"))[0][0].toInt(), 1);
    QCOMPARE(w.txtNo->text(), QString::number(number.toInt() + 1));
}

QTEST_MAIN(InvoiceWindowTest)
#include "test_invoice_window.moc"
