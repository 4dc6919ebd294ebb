#include "app/book_page/book_model.h"
#include "app/book_page/history_window.h"
#include "invoice/invoice_io.h"
#include "invoice/lines.h"
#include "window_fixture.h"

#include <QClipboard>
#include <QHeaderView>
#include <QPrintPreviewDialog>

// The invoice list page driven as a user would: typing search fields, Enter, clicks.
class BookWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void searchFromTheFields();
    void openingFromTheList();
    void historyWindowAndCsv();
    void searchTextIsLimitedAndSaysSo();

  private:
    // Invoices 1 to 3 for three customers; 2 is corrected once, 3 is deleted.
    static void fillBook(const TestData& data) {
        auto main = data.openMain();
        auto work = data.openWork();
        const QList<std::tuple<int, const char*, const char*, qint64>> book = {
            {1, "2024/01/10", "山田商店", 1200},
            {2, "2024/02/20", "田中, \"工業\"", 5000},
            {3, "2024/03/05", "山田物産", 800}};
        for (const auto& [n, date, customer, total] : book) {
            Clear明細ワーク(*work);
            auto rows = work->openRecordset(QStringLiteral("select * from w明細 where 行番号 = 1"));
            rows->edit();
            rows->setField(QStringLiteral("品名"), QStringLiteral("品%1").arg(n));
            rows->setField(QStringLiteral("金額"), Currency::fromWhole(total));
            rows->setField(QStringLiteral("税率"), 8);
            rows->update();
            InvoiceHeader h;
            if (n == 2) { // issued as a qualified invoice, its one line at 8 %
                h.税率方式 = Scheme10_8;
                h.登録番号 = QStringLiteral("T7000012050002");
            }
            h.number = n;
            h.date = QString::fromUtf8(date);
            h.顧客名 = QString::fromUtf8(customer);
            h.顧客情報 = QStringLiteral("住所%1").arg(n);
            h.税抜計 = h.合計 = Currency::fromWhole(total);
            Entry請求書(*main, *work, h);
        }
        Read請求書(*main, *work, 2);
        InvoiceHeader h = *Read請求書ヘッダ(*main, 2);
        h.合計 = Currency::fromWhole(5500);
        Entry請求書(*main, *work, h);
        Delete請求書(*main, 3);
    }
    static QStringList column(BookPage& w, int c) {
        QStringList out;
        for (int r = 0; r < w.dat伝票一覧->rowCount(); ++r)
            out << w.dat伝票一覧->index(r, c).data().toString();
        return out;
    }
    static void typeInto(QWidget* box, const QString& text) {
        box->setFocus();
        typeText(box, text);
    }
    static void enterOn(BookPage& w, int row) {
        w.Grid伝票一覧->setFocus();
        w.Grid伝票一覧->setCurrentIndex(w.dat伝票一覧->index(row, 0));
        QTest::keyClick(w.Grid伝票一覧, Qt::Key_Return);
    }
};

void BookWindowTest::searchFromTheFields() {
    WindowFixture f;
    fillBook(f.data);
    f.start();
    BookPage& w = *f.w->book;
    // A fifth page after the four (the receivables follow it), with its fields named as the form names them.
    QStringList captions;
    for (int i = 0; i < f.w->tab->count(); ++i)
        captions << f.w->tab->tabText(i);
    QCOMPARE(captions, (QStringList{QStringLiteral("請求書"), QStringLiteral("顧　客"), QStringLiteral("商　品"),
                                    QStringLiteral("設定・情報"), QStringLiteral("伝票一覧"), QStringLiteral("売掛金")}));
    for (const char* name : {"dt検索開始", "chk検索開始", "dt検索終了", "chk検索終了", "txt検索顧客", "num検索下限",
                             "num検索上限", "chk削除済み", "cmd検索", "Grid伝票一覧", "cmd履歴", "cmd一覧CSV"})
        QVERIFY2(f.w->findChild<QWidget*>(QString::fromUtf8(name)), name);
    QCOMPARE(w.cmd検索->text() + w.cmd履歴->text() + w.cmd一覧CSV->text(), QStringLiteral("検索履歴CSV出力"));
    f.w->tab->setCurrentIndex(4);
    // Enter in the customer box runs the search; the details match too.
    typeInto(w.txt検索顧客, QStringLiteral("山田"));
    QTest::keyClick(w.txt検索顧客, Qt::Key_Return);
    QCOMPARE(column(w, 0), (QStringList{QStringLiteral("1")}));
    w.chk削除済み->setChecked(true);
    QTest::keyClick(w.chk削除済み, Qt::Key_Enter);
    QCOMPARE(column(w, 0), (QStringList{QStringLiteral("1"), QStringLiteral("3")}));
    QCOMPARE(column(w, int(BookColumn::状態)), (QStringList{QString(), QStringLiteral("削除済み")}));
    // A reversed range of the total is taken the right way round.
    w.txt検索顧客->clear();
    typeInto(w.num検索下限, QStringLiteral("6000"));
    typeInto(w.num検索上限, QStringLiteral("1000"));
    QTest::keyClick(w.num検索上限, Qt::Key_Return);
    QCOMPARE(column(w, 0), (QStringList{QStringLiteral("1"), QStringLiteral("2")}));
    QCOMPARE(column(w, int(BookColumn::合計)), (QStringList{QStringLiteral("1,200"), QStringLiteral("5,500")}));
    QCOMPARE(column(w, int(BookColumn::状態)), (QStringList{QString(), QStringLiteral("訂正 1回")}));
    QVERIFY(w.dat伝票一覧->index(0, 5).data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignRight);
    // Dates count only when their box is switched on.
    w.num検索下限->clear();
    w.num検索上限->clear();
    w.dt検索開始->setDate(QDate(2024, 2, 1));
    QTest::keyClick(w.dt検索開始, Qt::Key_Return);
    QCOMPARE(column(w, 0).size(), 3);
    w.chk検索開始->setChecked(true);
    QVERIFY(w.dt検索開始->isEnabled());
    QTest::keyClick(w.dt検索開始, Qt::Key_Return);
    QCOMPARE(column(w, 0), (QStringList{QStringLiteral("2"), QStringLiteral("3")}));
    // Sorting by a column reads the rows again in that order.
    w.chk検索開始->setChecked(false);
    w.cmd検索->click();
    w.Grid伝票一覧->sortByColumn(int(BookColumn::合計), Qt::DescendingOrder);
    QCOMPARE(column(w, 0), (QStringList{QStringLiteral("2"), QStringLiteral("1"), QStringLiteral("3")}));
    QVERIFY(f.shown.isEmpty());
}

void BookWindowTest::openingFromTheList() {
    WindowFixture f;
    fillBook(f.data);
    f.start();
    InvoicePage& w = *f.w->invoice;
    BookPage& list = *f.w->book;
    f.w->tab->setCurrentIndex(4);
    list.chk削除済み->setChecked(true);
    list.cmd検索->click();
    QCOMPARE(list.dat伝票一覧->rowCount(), 3);
    // Enter on a listed invoice loads it on the invoice page as typing its number does.
    enterOn(list, 1);
    QCOMPARE(f.w->tab->currentIndex(), 0);
    QCOMPARE(w.txtNo->text(), QStringLiteral("2"));
    QCOMPARE(w.cmb顧客名->currentText(), QStringLiteral("田中, \"工業\""));
    QCOMPARE(w.txt顧客情報->toPlainText(), QStringLiteral("住所2"));
    QCOMPARE(w.dat明細->value(0, w.dat明細->fieldIndex(QStringLiteral("品名"))).toText(), QStringLiteral("品2"));
    QCOMPARE(w.num税抜計->text(), QStringLiteral("5,000"));
    // A double-click does the same.
    f.w->tab->setCurrentIndex(4);
    const QPoint at = list.Grid伝票一覧->visualRect(list.dat伝票一覧->index(0, 0)).center();
    QTest::mousePress(list.Grid伝票一覧->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(list.Grid伝票一覧->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list.Grid伝票一覧->viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(f.w->tab->currentIndex(), 0);
    QCOMPARE(w.txtNo->text(), QStringLiteral("1"));
    // Unregistered changes on the invoice page: the question comes first, and No keeps them.
    w.txt顧客情報->setPlainText(QStringLiteral("書きかけ"));
    QVERIFY(w.hasUnsavedChanges());
    f.answer = QMessageBox::No;
    f.w->tab->setCurrentIndex(4);
    enterOn(list, 1);
    QCOMPARE(f.shown.size(), 1);
    QCOMPARE(f.shown[0].title, QStringLiteral("画面クリアの確認"));
    QCOMPARE(f.w->tab->currentIndex(), 4);
    QCOMPARE(w.txtNo->text(), QStringLiteral("1"));
    QCOMPARE(w.txt顧客情報->toPlainText(), QStringLiteral("書きかけ"));
    f.answer = QMessageBox::Yes;
    QTest::keyClick(list.Grid伝票一覧, Qt::Key_Return);
    QCOMPARE(f.shown.size(), 2);
    QCOMPARE(w.txtNo->text(), QStringLiteral("2"));
    QCOMPARE(w.txt顧客情報->toPlainText(), QStringLiteral("住所2"));
    QVERIFY(!w.hasUnsavedChanges());
    // A deleted invoice lives in the history only: Enter leaves the list as it is.
    f.w->tab->setCurrentIndex(4);
    enterOn(list, 2);
    QCOMPARE(f.w->tab->currentIndex(), 4);
    QCOMPARE(w.txtNo->text(), QStringLiteral("2"));
}

void BookWindowTest::historyWindowAndCsv() {
    WindowFixture f;
    fillBook(f.data);
    f.start();
    BookPage& w = *f.w->book;
    f.w->tab->setCurrentIndex(4);
    w.cmd検索->click();
    w.Grid伝票一覧->setCurrentIndex(w.dat伝票一覧->index(1, 0)); // invoice 2, corrected once
    w.cmd履歴->click();
    Frm履歴* h = f.w->findChild<Frm履歴*>();
    QVERIFY(h);
    QAbstractItemModel* versions = h->Grid履歴->model();
    QStringList kinds;
    for (int r = 0; r < versions->rowCount(); ++r)
        kinds << versions->index(r, 2).data().toString() + u' ' + versions->index(r, 7).data().toString();
    QCOMPARE(kinds, (QStringList{QStringLiteral("訂正 5,000"), QStringLiteral("現在 5,500")}));
    QCOMPARE(h->currentVersion(), 0);
    h->Grid履歴->setCurrentIndex(versions->index(0, 0));
    QCOMPARE(h->currentVersion(), 1);
    QCOMPARE(h->Grid履歴明細->model()->rowCount(), 1);
    QCOMPARE(h->Grid履歴明細->model()->index(0, 0).data().toString(), QStringLiteral("品2"));
    // A qualified version shows its lines' rates, and keeps the basis it was issued under.
    QCOMPARE(h->Grid履歴明細->model()->headerData(5, Qt::Horizontal).toString(), QStringLiteral("税率"));
    QCOMPARE(h->Grid履歴明細->model()->index(0, 5).data().toString(), QStringLiteral("8%※"));
    const std::vector<InvoiceVersion> kept = Read履歴(f.main(), 2, 1);
    QCOMPARE(kept.front().税率方式, Scheme10_8);
    QCOMPARE(kept.front().登録番号, QStringLiteral("T7000012050002"));
    h->cmd履歴印刷->click();
    QTRY_VERIFY(f.w->findChild<QPrintPreviewDialog*>());
    f.w->findChild<QPrintPreviewDialog*>()->close();
    h->close();
    QVERIFY(f.shown.isEmpty());

    // CSV of the rows shown, deleted ones included, through the one save dialog.
    QTemporaryDir dir;
    QString proposed;
    QString answer = dir.filePath(QStringLiteral("一覧.csv"));
    f.w->books.fileDialogs.saveFile = [&](QWidget*, const QString&, const QString& p) {
        proposed = p;
        return answer;
    };
    w.chk削除済み->setChecked(true);
    w.cmd検索->click();
    w.cmd一覧CSV->click();
    QCOMPARE(QFileInfo(proposed).fileName(), QStringLiteral("伝票一覧_") +
                                                 QDate::currentDate().toString(QStringLiteral("yyyyMMdd")) +
                                                 QStringLiteral(".csv"));
    QFile list(answer), lines(dir.filePath(QStringLiteral("一覧_明細.csv")));
    QVERIFY(list.open(QIODevice::ReadOnly));
    QVERIFY(lines.open(QIODevice::ReadOnly));
    const QByteArray text = list.readAll();
    QVERIFY(text.startsWith("\xEF\xBB\xBF"));
    const QStringList rows = QString::fromUtf8(text.mid(3)).split(QStringLiteral("\r\n"));
    QCOMPARE(rows.value(0),
             QStringLiteral("伝票番号,日付,顧客名,税抜計,消費税,合計,状態,件名,支払期限,10%対象,10%消費税,8%対象,8%消費税,世代,種別,元伝票,"
                            "入金額,残高,入金状態"));
    QCOMPARE(rows.value(2),
             QStringLiteral("2,2024/02/20,\"田中, \"\"工業\"\"\",5000,,5500,訂正 1回,,,,,,,1,請求書,,0,5500,未入金"));
    QCOMPARE(rows.size(), 5); // header, three invoices, and the end of the last line
    QCOMPARE(QString::fromUtf8(lines.readAll().mid(3)).count(QStringLiteral("\r\n")), 4);
    list.close();
    lines.close();
    // Cancelling the dialog writes nothing; a folder that cannot be written says so.
    answer.clear();
    w.cmd一覧CSV->click();
    QVERIFY(f.shown.isEmpty());
    answer = dir.filePath(QStringLiteral("無い/一覧.csv"));
    w.cmd一覧CSV->click();
    QCOMPARE(f.shown.size(), 1);
    QCOMPARE(f.shown[0].title, QStringLiteral("CSVの注意"));
    // The two files go as a pair: when the lines cannot be put in place, the list keeps its
    // old contents too, and the reason is in Japanese.
    answer = dir.filePath(QStringLiteral("一覧.csv"));
    QVERIFY(QFile::remove(lines.fileName()) && QDir().mkdir(lines.fileName())); // in the way of the new lines
    w.chk削除済み->setChecked(false); // a list that differs from the one written before
    w.cmd検索->click();
    w.cmd一覧CSV->click();
    QCOMPARE(f.shown.size(), 2);
    QVERIFY2(f.shown[1].text.startsWith(QStringLiteral("CSVファイルを書き出せませんでした。前のファイルはそのままです。\n")) &&
                 !f.shown[1].text.contains(QStringLiteral("Unknown")),
             qPrintable(f.shown[1].text));
    QVERIFY(list.open(QIODevice::ReadOnly));
    QCOMPARE(list.readAll(), text);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("一覧.csv")});
}

// A pasted text longer than a search takes is cut at the limit, with a word in Japanese, and
// the search runs without the engine's own (English) error.
void BookWindowTest::searchTextIsLimitedAndSaysSo() {
    WindowFixture f;
    fillBook(f.data);
    f.start();
    BookPage& w = *f.w->book;
    f.w->tab->setCurrentIndex(4);
    QGuiApplication::clipboard()->setText(QStringLiteral("山田") + QString(40000, u'あ'));
    w.txt検索顧客->setFocus();
    QTest::keyClick(w.txt検索顧客, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(w.txt検索顧客->text().size(), BookCustomerMaxLength);
    QCOMPARE(f.shown.size(), 1);
    QCOMPARE(f.shown[0].text, QStringLiteral("検索する顧客は100文字までです。それより後の文字は入りませんでした。"));
    QTest::keyClick(w.txt検索顧客, Qt::Key_Return);
    QCOMPARE(f.shown.size(), 1);
    QCOMPARE(w.dat伝票一覧->rowCount(), 0);
}

QTEST_MAIN(BookWindowTest)
#include "test_book_window.moc"
