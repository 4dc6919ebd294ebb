#include "app/book_page/book_model.h"
#include "app/cutoff_dialog.h"
#include "app/payment_dialog.h"
#include "app/receivables_page/receivables_page.h"
#include "book/search.h"
#include "invoice/invoice_io.h"
#include "invoice/lines.h"
#include "payments/cutoff.h"
#include "window_fixture.h"

// Payments as a user records them: from the list, in the dialog, back on the list and on the
// receivables page; and a customer's terms giving a new invoice its due date.
class PaymentsWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void paymentFromTheList();
    void termsGiveTheDueDate();
    void cutOffFromTheReceivablesPage();
    void summaryPrintsItsOwnPages();

  private:
    static void registerInvoice(Database& main, Database& work, qint32 n, const QDate& date, qint64 total) {
        Clear明細ワーク(work);
        auto rows = work.openRecordset(QStringLiteral("select * from w明細 where 行番号 = 1"));
        rows->edit();
        rows->setField(QStringLiteral("品名"), QStringLiteral("品"));
        rows->setField(QStringLiteral("金額"), Currency::fromWhole(total));
        rows->update();
        InvoiceHeader h;
        h.number = n;
        h.date = date.toString(QStringLiteral("yyyy/MM/dd"));
        h.顧客名 = QStringLiteral("山田商店");
        h.税抜計 = h.合計 = Currency::fromWhole(total);
        Entry請求書(main, work, h);
    }
    // Key events carrying the text, to the box itself: the answered message boxes leave the main
    // window active on the offscreen platform.
    static void keysTo(QWidget* box, const QString& text) {
        for (const QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(box, &press);
        }
    }
    static QStringList row(BookPage& w, int r) {
        QStringList out;
        for (BookColumn c : {BookColumn::伝票番号, BookColumn::入金額, BookColumn::残高, BookColumn::入金状態})
            out << w.dat伝票一覧->index(r, static_cast<int>(c)).data().toString();
        return out;
    }
};

void PaymentsWindowTest::paymentFromTheList() {
    WindowFixture f;
    const QDate today = QDate::currentDate();
    {
        auto main = f.data.openMain();
        auto work = f.data.openWork();
        registerInvoice(*main, *work, 1, today, 10000);
        registerInvoice(*main, *work, 2, today, 5000);
    }
    f.start();
    BookPage& w = *f.w->book;
    f.w->tab->setCurrentWidget(&w);
    w.cmd検索->click();
    w.Grid伝票一覧->setCurrentIndex(w.dat伝票一覧->index(0, 0));
    w.cmd入金->click();
    auto* dlg = dynamic_cast<Dlg入金*>(QApplication::activeModalWidget());
    QVERIFY(dlg);
    // Nothing typed is refused and nothing is stored.
    dlg->cmd入金追加->click();
    QCOMPARE(f.shown.size(), 1);
    QCOMPARE(dlg->Grid入金->rowCount(), 0);
    // Full-width figures typed as the input method gives them; the fee kept counts as paid.
    keysTo(dlg->num入金額, QStringLiteral("６，５６０"));
    keysTo(dlg->num振込手数料, QStringLiteral("４４０"));
    dlg->cmd入金追加->click();
    QCOMPARE(f.shown.size(), 1);
    QCOMPARE(dlg->Grid入金->rowCount(), 1);
    QCOMPARE(dlg->Grid入金->item(0, 1)->text(), QStringLiteral("6,560"));
    QVERIFY2(dlg->lbl入金請求書->text().contains(QStringLiteral("残高 3,000 円　一部入金")),
             qPrintable(dlg->lbl入金請求書->text()));
    // A payment dated before the invoice is kept, with a warning.
    dlg->dt入金日->setDate(today.addDays(-1));
    keysTo(dlg->num入金額, QStringLiteral("4000"));
    dlg->cmd入金追加->click();
    QCOMPARE(f.shown.size(), 2);
    QCOMPARE(f.shown.last().text, msg::lookup(QStringLiteral("入金"), QStringLiteral("請求日前"),
                                              today.addDays(-1).toString(QStringLiteral("yyyy年MM月dd日")))
                                      ->text);
    // Taken back (the earlier one, listed first), then closed: the list shows what stands.
    dlg->Grid入金->setCurrentCell(0, 0);
    dlg->cmd入金削除->click();
    QCOMPARE(dlg->Grid入金->rowCount(), 1);
    dlg->cmd入金閉じる->click();
    QCOMPARE(row(w, 0), (QStringList{QStringLiteral("1"), QStringLiteral("7,000"), QStringLiteral("3,000"),
                                     QStringLiteral("一部入金")}));
    QCOMPARE(row(w, 1), (QStringList{QStringLiteral("2"), QStringLiteral("0"), QStringLiteral("5,000"),
                                     QStringLiteral("未入金")}));

    // The receivables page: Enter on the customer lists the open invoices on the list page.
    ReceivablesPage& r = *f.w->receivables;
    f.w->tab->setCurrentWidget(&r); // shown, it reads the books
    QCOMPARE(r.dat売掛金->rowCount(), 1);
    QCOMPARE(r.dat売掛金->index(0, 4).data().toString(), QStringLiteral("8,000")); // 残高
    w.cmb検索入金状態->setCurrentIndex(3); // whatever was picked before
    r.Grid売掛金->setFocus();
    QTest::keyClick(r.Grid売掛金, Qt::Key_Return);
    QCOMPARE(f.w->tab->currentWidget(), &w);
    QCOMPARE(w.cmb検索入金状態->currentText(), QStringLiteral("未入金・一部"));
    QCOMPARE(w.dat伝票一覧->rowCount(), 2);
}

void PaymentsWindowTest::termsGiveTheDueDate() {
    WindowFixture f;
    {
        auto main = f.data.openMain();
        main->executeRaw(QStringLiteral("INSERT INTO 顧客マスタ (顧客名, 締日, 支払月, 支払日) VALUES ('月末商事', '20', "
                                        "'翌月', '10'), ('都度商店', NULL, NULL, NULL)"));
    }
    f.start();
    InvoicePage& p = *f.w->invoice;
    p.dt日付->setDate(QDate(2026, 1, 21));
    const QDate settingsDue = p.chk支払期限->isChecked() ? p.dt支払期限->date() : QDate();
    for (const auto& [customer, due] : {std::pair{QStringLiteral("月末商事"), QDate(2026, 3, 10)},
                                        std::pair{QStringLiteral("都度商店"), settingsDue}}) {
        p.cmb顧客名->setFocus();
        p.cmb顧客名->setEditText(customer);
        p.txt件名->setFocus(); // leaving the customer box reads the master
        QCOMPARE(p.chk支払期限->isChecked() ? p.dt支払期限->date() : QDate(), due);
    }
    // The date moved on: the due date follows the terms again.
    p.cmb顧客名->setFocus();
    p.cmb顧客名->setEditText(QStringLiteral("月末商事"));
    p.txt件名->setFocus();
    p.dt日付->setDate(QDate(2026, 2, 20));
    QCOMPARE(p.dt支払期限->date(), QDate(2026, 3, 10));
}

void PaymentsWindowTest::cutOffFromTheReceivablesPage() {
    WindowFixture f;
    {
        auto main = f.data.openMain();
        main->executeRaw(QStringLiteral("INSERT INTO 顧客マスタ (顧客名, 締日, 支払月, 支払日, 請求方法) VALUES"
                                        " ('月締商事', '20', '翌月', '10', '締め')"));
        InvoiceHeader note;
        note.number = 1;
        note.種別 = Kind納品書;
        note.date = QStringLiteral("2026/01/15");
        note.顧客名 = QStringLiteral("月締商事");
        note.税率方式 = Scheme10_8;
        Entry伝票(*main, note, {{Value(QStringLiteral("品")), Value(1.0), Value(), Value(Currency::fromWhole(1000)),
                                 Value(Currency::fromWhole(1000)), Value(false), Value(10)}});
    }
    f.start();
    f.w->tab->setCurrentWidget(f.w->receivables);
    f.w->receivables->cmd請求締め->click();
    auto* dlg = dynamic_cast<Dlg請求締め*>(QApplication::activeModalWidget());
    QVERIFY(dlg);
    dlg->dt締日->setDate(QDate(2026, 1, 20));
    QCOMPARE(dlg->Grid請求締め->rowCount(), 1);
    QCOMPARE(dlg->Grid請求締め->item(0, 9)->text(), QStringLiteral("1,100")); // 今回御請求額
    dlg->cmd締め実行->click();
    QCOMPARE(f.shown.size(), 2); // asked, then told which invoice was made
    QVERIFY(f.shown[1].text.contains(QStringLiteral("月締商事 請求書 No. ")));
    // Billed: the date finds the customer with nothing left, and says so when asked to run.
    QVERIFY(!dlg->Grid請求締め->item(0, 10)->text().isEmpty());
    dlg->cmd締め実行->click();
    QCOMPARE(f.shown.size(), 3);
    QCOMPARE(f.shown[2].text, msg::lookup(QStringLiteral("締め"), QStringLiteral("対象なし"),
                                          QStringLiteral("2026年01月20日"))->text);
    dlg->cmd締め閉じる->click();
    // The page reads again: the summary invoice is owed.
    QCOMPARE(f.w->receivables->dat売掛金->rowCount(), 1);
    QCOMPARE(f.w->receivables->dat売掛金->index(0, 4).data().toString(), QStringLiteral("1,100"));
}

void PaymentsWindowTest::summaryPrintsItsOwnPages() {
    // 40 notes, more than one page holds and more than an invoice's 30 lines: the last one also
    // has an 8 % line. Sums 40,000 at 10 % and 500 at 8 %; tax per rate over the period.
    WindowFixture f;
    qint32 number = 0;
    {
        auto main = f.data.openMain();
        main->executeRaw(QStringLiteral("INSERT INTO 顧客マスタ (顧客名, 締日, 支払月, 支払日, 請求方法) VALUES"
                                        " ('月締商事', '末日', '翌月', '末日', '締め')"));
        for (int n = 1; n <= 40; ++n) {
            InvoiceHeader note;
            note.number = n;
            note.種別 = Kind納品書;
            note.date = QDate(2026, 1, (n + 1) / 2).toString(QStringLiteral("yyyy/MM/dd"));
            note.顧客名 = QStringLiteral("月締商事");
            note.件名 = QStringLiteral("第%1便").arg(n);
            note.税率方式 = Scheme10_8;
            std::vector<VersionLine> lines{{Value(QStringLiteral("品")), Value(1.0), Value(),
                                            Value(Currency::fromWhole(1000)), Value(Currency::fromWhole(1000)),
                                            Value(false), Value(10)}};
            if (n == 40)
                lines.push_back({Value(QStringLiteral("食品")), Value(1.0), Value(), Value(Currency::fromWhole(500)),
                                 Value(Currency::fromWhole(500)), Value(false), Value(8)});
            Entry伝票(*main, note, lines);
        }
        number = RunCutOff(*main, QDate(2026, 1, 31), {QStringLiteral("月締商事")},
                           {Scheme10_8, QStringLiteral("外税"), QStringLiteral("切り捨て"), {}},
                           QDateTime(QDate(2026, 2, 1), QTime(9, 0)))
                     .value(0);
    }
    f.start();
    InvoicePage& w = *f.w->invoice;
    w.Load伝票(number);
    w.cmd印刷->click();
    const QString pdf = savedPreview(*f.w)[0];
    for (const QString& t : {QStringLiteral("前回御請求額"), QStringLiteral("今回御買上額"), QStringLiteral("40,500"),
                             QStringLiteral("4,040"), QStringLiteral("44,540"), QStringLiteral("2026/02/28"),
                             QStringLiteral("第1便"), QStringLiteral("第40便"), QStringLiteral("1,500")})
        QVERIFY2(pdf.contains(t), qPrintable(t + u'\n' + pdf));
    // The figures come from the cut-off's boxes, not from the notes text the invoice carries.
    QVERIFY2(!pdf.contains(QStringLiteral("円")), qPrintable(pdf));
    // Page one ends with its number and 「次頁へ」; page two carries the rest, then the tax by rate
    // and its number.
    const qsizetype next = pdf.indexOf(QStringLiteral("1/2 次頁へ"));
    QVERIFY2(next >= 0 && pdf.count(QStringLiteral("次頁へ")) == 1, qPrintable(pdf));
    QVERIFY2(pdf.indexOf(QStringLiteral("10%対象 ¥40,000 消費税 ¥4,000 8%対象 ¥500 消費税 ¥40 2/2")) > next,
             qPrintable(pdf));
    QVERIFY(pdf.indexOf(QStringLiteral("第40便")) > next);

    // Registered on the settings page, the item lines follow each note's line, onto more pages,
    // and the dates are in the era.
    QVERIFY(!pdf.contains(QStringLiteral("食品")));
    f.w->settings->chk締め明細印刷->setChecked(true);
    f.w->settings->cmb日付表記->setCurrentText(QStringLiteral("和暦"));
    f.w->settings->cmd設定登録->click();
    QVERIFY(::Read設定(f.main()).締め明細印刷);
    w.cmd印刷->click();
    const QString items = savedPreview(*f.w)[0];
    QVERIFY2(items.count(QStringLiteral("次頁へ")) == 3 && items.contains(QStringLiteral("1/4")) &&
                 items.contains(QStringLiteral("4/4")),
             qPrintable(items));
    QVERIFY2(items.contains(QStringLiteral("令和8年1月20日")) && !items.contains(QStringLiteral("2026/01/20")),
             qPrintable(items));
    // The 8 % line of the last note, on the last page, is the one line marked; every page explains the mark.
    QVERIFY(items.indexOf(QStringLiteral("食品")) > items.lastIndexOf(QStringLiteral("次頁へ")));
    QCOMPARE(items.count(QStringLiteral("※は軽減税率対象")), 4);
    QCOMPARE(items.count(u'※'), 5);
}

QTEST_MAIN(PaymentsWindowTest)
#include "test_payments_window.moc"
