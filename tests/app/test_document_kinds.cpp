#include "app/book_page/book_model.h"
#include "invoice/invoice_io.h"
#include "report/invoice_report.h"
#include "window_fixture.h"

#include <QMenu>

// Quotes, delivery notes, invoices and receipts on the invoice page, as a user makes them.
class DocumentKindsTest : public QObject {
    Q_OBJECT
  private slots:
    void eachKindPrintsItsPage();
    void conversionCopiesAndKeepsTheSource();
    void numbersCountWithinTheKind();
    void revenueStamp();
};

namespace {
// Chooses a kind in the box as the user does.
void chooseKind(InvoicePage& w, const QString& kind) {
    w.cmb帳票種別->setCurrentText(kind);
    emit w.cmb帳票種別->activated(w.cmb帳票種別->currentIndex());
}
void convertTo(InvoicePage& w, const QString& kind) {
    for (QAction* a : w.cmd作成->menu()->actions())
        if (a->text() == kind)
            return a->trigger();
    QFAIL(qPrintable(QStringLiteral("作成 offers no ") + kind));
}
QString line(InvoicePage& w, int row) { return w.dat明細->value(row, 1).toText() + u' ' + w.dat明細->value(row, 5).toText(); }
void typeDocument(InvoicePage& w) {
    w.cmb顧客名->setFocus();
    typeText(w.cmb顧客名, QStringLiteral("鈴木工業"));
    typeCell(w.Grid明細, 0, 1, QStringLiteral("封筒"));
    typeCell(w.Grid明細, 0, 5, QStringLiteral("22915"));
}
} // namespace

void DocumentKindsTest::eachKindPrintsItsPage() {
    WindowFixture f;
    f.data.openMain()->executeRaw(QStringLiteral(
        "INSERT INTO 自社情報 (自社名, 税区分, 税率方式, 端数処理, 登録番号) "
        "VALUES ('ヴォルニサ商事', '外税', '10%・8%', '切り捨て', 'T1234567890123')"));
    f.start();
    InvoicePage& w = *f.w->invoice;
    typeDocument(w); // 22,915 + 10 % = 25,206.5, cut to 25,206 yen
    const struct {
        QString kind;
        QStringList printed, absent;
    } cases[] = {
        {Kind見積書, {"御見積書", "御見積金額", "有効期限", "封筒", "10%対象"}, {"登録番号", "受領印", "ご請求金額"}},
        {Kind納品書, {"納品書", "下記の通り納品いたしました。", "受領印", "封筒", "登録番号 T1234567890123"}, {"ご請求金額"}},
        {Kind請求書, {"請求書", "ご請求金額", "¥25,206", "封筒", "登録番号 T1234567890123"}, {"受領印", "御見積", "25,206-"}},
        {Kind領収書,
         {"領収書", "領収金額", "¥25,206-", "但し", "お品代として", "上記正に領収いたしました。", "10%対象",
          "登録番号 T1234567890123"},
         {"封筒", "収入印紙", "ご請求金額"}},
    };
    for (const auto& c : cases) {
        chooseKind(w, c.kind);
        QCOMPARE(f.w->tab->tabText(0), c.kind);
        w.cmd印刷->click();
        const QString pdf = savedPreview(*f.w)[0];
        for (const QString& t : c.printed)
            QVERIFY2(pdf.contains(t), qPrintable(c.kind + u':' + t + u'\n' + pdf));
        for (const QString& t : c.absent)
            QVERIFY2(!pdf.contains(t), qPrintable(c.kind + u':' + t + u'\n' + pdf));
    }
    QCOMPARE(line(w, 0), QStringLiteral("封筒 22915")); // the typing went along through every kind
}

void DocumentKindsTest::conversionCopiesAndKeepsTheSource() {
    WindowFixture f;
    f.start();
    InvoicePage& w = *f.w->invoice;
    chooseKind(w, Kind見積書);
    QCOMPARE(w.txtNo->text(), QStringLiteral("1"));
    typeDocument(w);
    w.txt件名->setText(QStringLiteral("封筒の件"));
    // Made from a quote being typed: what is on screen, nothing saved, no source to name.
    convertTo(w, Kind納品書);
    QCOMPARE(w.kind(), Kind納品書);
    QCOMPARE(line(w, 0), QStringLiteral("封筒 22915"));
    QVERIFY(w.lbl元伝票->text().isEmpty() && w.hasUnsavedChanges());
    QVERIFY(f.main().openRecordset(QStringLiteral("select * from 請求書ヘッダ"))->eof());
    chooseKind(w, Kind見積書);
    w.cmd登録->click();
    f.shown.clear();

    // A registered quote becomes an invoice: a new document with its own number, dated today.
    w.Load伝票(1, Kind見積書);
    w.dt日付->setDate(QDate(2026, 1, 5));
    w.txt件名->setText(QStringLiteral("画面だけの変更"));
    convertTo(w, Kind請求書); // the unsaved question is answered Yes: the registered copy is made from
    QCOMPARE(f.shown.size(), 1);
    QCOMPARE((QStringList{w.kind(), w.txtNo->text(), w.lbl元伝票->text(), w.txt件名->text(), line(w, 0)}),
             (QStringList{Kind請求書, "1", "見積書 No. 1 より", "封筒の件", "封筒 22915"}));
    QCOMPARE(w.dt日付->date(), QDate::currentDate());
    w.cmd登録->click();
    const auto quote = Read請求書ヘッダ(f.main(), 1, Kind見積書);
    QVERIFY(quote && quote->件名 == QStringLiteral("封筒の件"));
    QCOMPARE(Read履歴(f.main(), 1, 1, Kind見積書).size(), 1u); // never rewritten: no version kept

    // The invoice's receipt names it; the list shows where each came from.
    w.Load伝票(1);
    convertTo(w, Kind領収書);
    QCOMPARE(w.txt但し書き->text(), QStringLiteral("請求書 No. 1 の代金として"));
    w.cmd登録->click();
    f.w->book->cmb検索種別->setCurrentIndex(0); // すべて
    f.w->book->cmd検索->click();
    QStringList listed;
    for (int r = 0; r < f.w->book->dat伝票一覧->rowCount(); ++r)
        listed << f.w->book->dat伝票一覧->rowAt(r).種別 + u' ' + f.w->book->dat伝票一覧->rowAt(r).元伝票();
    listed.sort();
    QCOMPARE(listed, (QStringList{"見積書 ", "請求書 見積書 No. 1 より", "領収書 請求書 No. 1 より"}));

    // A source deleted meanwhile is refused, and the page stays as it was.
    w.Load伝票(1, Kind見積書);
    Delete請求書(f.main(), 1, Kind見積書);
    f.shown.clear();
    convertTo(w, Kind納品書);
    QCOMPARE(f.shown.size(), 1);
    QCOMPARE(f.shown[0].text, QStringLiteral("見積書 No. 1 は削除されているため、作成の元にできません。"));
    QCOMPARE(w.kind(), Kind見積書);
}

void DocumentKindsTest::numbersCountWithinTheKind() {
    WindowFixture f;
    f.start();
    InvoicePage& w = *f.w->invoice;
    const auto registerAs = [&](const QString& kind, const QString& customer) {
        chooseKind(w, kind);
        w.cmb顧客名->setFocus();
        typeText(w.cmb顧客名, customer);
        typeCell(w.Grid明細, 0, 1, QStringLiteral("品"));
        w.cmd登録->click();
    };
    registerAs(Kind請求書, QStringLiteral("請求先1"));
    registerAs(Kind請求書, QStringLiteral("請求先2"));
    registerAs(Kind請求書, QStringLiteral("請求先3"));
    registerAs(Kind納品書, QStringLiteral("納品先1"));
    // Invoice 3 exists; delivery note 3 does not: typing 3 under 納品書 loads nothing.
    QCOMPARE(w.txtNo->text(), QStringLiteral("2"));
    w.txtNo->setFocus();
    w.txtNo->setText(QStringLiteral("３"));
    w.cmb顧客名->setFocus();
    QCOMPARE(w.cmb顧客名->currentText(), QString());
    w.Load伝票(1, Kind納品書);
    QCOMPARE(w.cmb顧客名->currentText(), QStringLiteral("納品先1"));

    // Closed and opened again, each kind offers its own next number.
    f.w.reset();
    f.start();
    QStringList offered;
    for (const QString& kind : DocumentKinds) {
        chooseKind(*f.w->invoice, kind);
        offered << kind + f.w->invoice->txtNo->text();
    }
    QCOMPARE(offered, (QStringList{"見積書1", "納品書2", "請求書4", "領収書1"}));
}

void DocumentKindsTest::revenueStamp() {
    // On the amount before tax when the tax is shown apart, else on the whole amount.
    const struct {
        std::optional<double> tax, beforeTax, total;
        bool stamp;
    } cases[] = {{4999, 49999, 54998, false}, {5000, 50000, 55000, true}, {std::nullopt, 49999, 49999, false},
                 {0, 50000, 50000, true}};
    for (const auto& c : cases) {
        PrintValues v;
        v.prn税抜計 = c.beforeTax;
        v.prn消費税 = c.tax;
        v.prn合計 = c.total;
        v.prn種別 = Kind領収書;
        QCOMPARE(NeedsRevenueStamp(v), c.stamp);
        v.prn種別 = Kind請求書;
        QVERIFY(!NeedsRevenueStamp(v));
    }
}

QTEST_MAIN(DocumentKindsTest)
#include "test_document_kinds.moc"
