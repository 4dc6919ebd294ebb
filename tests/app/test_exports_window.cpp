#include "app/book_page/book_model.h"
#include "app/book_page/received_invoice.h"
#include "helpers.h"
#include "invoice/invoice_io.h"
#include "invoice/lines.h"
#include "masters/settings.h"
#include "sample.h"
#include "window_fixture.h"

#include <QDir>
#include <QFile>
#include <QStandardItemModel>

// The journal CSV and the digital invoice, out of the list page and back into its import window.
class ExportsWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void journalAndDigitalInvoiceThroughTheListPage();
    void customerPeppolIdsAreCheckedOnRegistering();

  private:
    // The company with its registration number and Peppol ID; No.1 a two-rate qualified invoice to a
    // customer with a Peppol ID, No.2 to one without.
    static void fillBook(const TestData& data) {
        auto main = data.openMain();
        auto work = data.openWork();
        CompanySettings s;
        s.自社名 = txt("ヴォルニサ工房株式会社");
        s.登録番号 = txt("T8700110005901");
        s.税率方式 = Scheme10_8;
        s.PeppolID = txt("0188:8700110005901");
        s.郵便番号 = txt("100-0001");
        s.住所 = txt("東京都千代田区千代田1-1");
        Entry設定(*main, s);
        main->executeRaw(txt("INSERT INTO 顧客マスタ (顧客名, PeppolID, 郵便番号, 住所) VALUES "
                             "('株式会社サンプル商事', '0221:T4010001008830', '530-0001', '大阪府大阪市北区梅田1-1'),"
                             "('山田商店', NULL, NULL, NULL)"));
        for (const qint32 n : {1, 2}) {
            Clear明細ワーク(*work);
            setLine(*work, 1, txt("コピー用紙"), Value(10.0), txt("箱"), money("500"), money("5000"));
            setLine(*work, 2, txt("緑茶"), Value(4.0), txt("本"), money("648"), money("2592"));
            work->execute(txt("update w明細 set 税率 = 8 where 行番号 = 2"));
            InvoiceHeader h = SampleInvoice().header; // the boxes of these two lines
            h.number = n;
            h.顧客名 = n == 1 ? txt("株式会社サンプル商事") : txt("山田商店");
            Entry請求書(*main, *work, h);
        }
    }
    static QString readText(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
};

void ExportsWindowTest::journalAndDigitalInvoiceThroughTheListPage() {
    WindowFixture f;
    fillBook(f.data);
    f.start();
    BookPage& w = *f.w->book;
    QTemporaryDir out;
    f.w->books.fileDialogs.saveFile = [&](QWidget*, const QString&, const QString&) { return out.filePath("j.csv"); };
    f.w->books.fileDialogs.existingDirectory = [&](QWidget*, const QString&, const QString&) { return out.path(); };
    QCOMPARE(w.cmb仕訳形式->count(), 3);
    QCOMPARE(w.cmd仕訳CSV->text() + w.cmdデジタルインボイス->text(), txt("仕訳CSV…デジタルインボイス…"));

    // Only the search's invoices go out: No.1 alone, its two rates as two rows of freee's layout.
    w.txt検索顧客->setText(txt("サンプル"));
    w.cmd検索->click();
    w.cmb仕訳形式->setCurrentText(txt("freee"));
    w.cmd仕訳CSV->click();
    QCOMPARE(f.shown.last().title, txt("仕訳CSV"));
    const QStringList rows = readText(out.filePath("j.csv")).split(txt("\r\n"), Qt::SkipEmptyParts);
    QCOMPARE(rows.size(), 3); // heading and the two rates
    QVERIFY2(rows[1].contains(txt("5500")) && rows[2].contains(txt("2799")), qPrintable(rows.join(u'\n')));
    QCOMPARE(f.main().openRecordset(txt("select * from 仕訳出力記録"))->recordCount(), 1);

    // Corrected after that export (made to look an hour old): the next export names it, and still goes out.
    f.main().executeRaw(txt("UPDATE 仕訳出力記録 SET 出力日時 = '2000/01/01 00:00:00'"));
    Read請求書(f.main(), f.work(), 1);
    InvoiceHeader h = *Read請求書ヘッダ(f.main(), 1);
    Entry請求書(f.main(), f.work(), h);
    f.shown.clear();
    w.cmd仕訳CSV->click();
    QCOMPARE(f.shown.size(), 2);
    QVERIFY(f.shown[0].text.contains(txt("訂正または削除")) && f.shown[0].text.contains(txt("No.1")));
    QCOMPARE(f.shown[1].title, txt("仕訳CSV"));

    // Both invoices chosen: No.2's customer has no Peppol ID, so nothing at all is written.
    w.txt検索顧客->clear();
    w.cmd検索->click();
    QCOMPARE(w.dat伝票一覧->rowCount(), 2);
    w.Grid伝票一覧->selectAll();
    w.cmdデジタルインボイス->click();
    QVERIFY(f.shown.last().text.contains(txt("顧客「山田商店」の Peppol ID")));
    QCOMPARE(QDir(out.path()).entryList({txt("*.xml")}), QStringList{});

    // No.1 alone makes its file, which reads back in the import window with its sums agreeing.
    w.Grid伝票一覧->clearSelection();
    w.Grid伝票一覧->selectRow(0);
    w.cmdデジタルインボイス->click();
    const QString xml = out.filePath("1_株式会社サンプル商事.xml");
    QVERIFY2(QFile::exists(xml), qPrintable(f.shown.last().text));
    f.w->books.fileDialogs.openFile = [&](QWidget*, const QString&, const QString&, const QString&) { return xml; };
    w.cmdデジタルインボイス取込->click();
    auto* r = f.w->findChild<Frmデジタルインボイス*>();
    QVERIFY(r);
    QVERIFY(r->lbl売り手->text().startsWith(txt("ヴォルニサ工房株式会社")));
    QCOMPARE(r->lbl登録番号->text(), txt("T8700110005901（検査用数字は正しい）"));
    QCOMPARE(r->Grid明細->model()->rowCount(), 2);
    QCOMPARE(r->Grid税率別->model()->rowCount(), 2);
    QCOMPARE(r->Grid税率別->model()->index(1, 2).data().toString(), txt("207"));
    QCOMPARE(r->lbl検証->text(), txt("金額の計算は合っています。"));
    r->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    // The same file with its payable amount altered is shown with the disagreement marked.
    QString altered = readText(xml);
    altered.replace(txt(">8299</cbc:PayableAmount>"), txt(">8300</cbc:PayableAmount>"));
    QFile bad(out.filePath("bad.xml"));
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write(altered.toUtf8());
    bad.close();
    f.w->books.fileDialogs.openFile = [&](QWidget*, const QString&, const QString&, const QString&) { return bad.fileName(); };
    f.shown.clear();
    w.cmdデジタルインボイス取込->click();
    r = f.w->findChild<Frmデジタルインボイス*>();
    QVERIFY(r && r->lbl検証->text().startsWith(txt("✕")));
    QCOMPARE(f.shown.size(), 1);
    QCOMPARE(f.shown[0].title, txt("デジタルインボイス取込の注意"));
}

void ExportsWindowTest::customerPeppolIdsAreCheckedOnRegistering() {
    WindowFixture f;
    f.start();
    CustomerPage& c = *f.w->customers;
    f.w->tab->setCurrentWidget(&c);
    typeCell(c.Grid顧客マスタ, 0, 1, txt("株式会社サンプル商事"));
    typeCell(c.Grid顧客マスタ, 0, 4, txt("0221: T401-0001-0088-30"));
    typeCell(c.Grid顧客マスタ, 1, 1, txt("山田商店"));
    typeCell(c.Grid顧客マスタ, 1, 4, txt("0188:1234567890123")); // its check digit fails
    c.cmd顧客登録->click();
    QVERIFY(f.shown.last().text.endsWith(
        txt("Peppol ID を読み取れません（「0188:」と法人番号13桁、または「0221:」と登録番号）: 山田商店")));
    QCOMPARE(f.main().openRecordset(txt("select * from 顧客マスタ"))->recordCount(), 0);
    // A bare registration number, typed full-width, takes its scheme; both are stored in one form.
    typeCell(c.Grid顧客マスタ, 1, 4, txt("Ｔ８７００１１０００５９０１"));
    c.cmd顧客登録->click();
    QCOMPARE(f.main().textColumn(txt("select PeppolID from 顧客マスタ order by 顧客名 desc"), txt("PeppolID")),
             (QStringList{txt("0221:T4010001008830"), txt("0221:T8700110005901")}));
}

QTEST_MAIN(ExportsWindowTest)
#include "test_exports_window.moc"
