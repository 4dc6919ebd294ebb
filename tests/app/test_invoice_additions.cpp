#include "book/history.h"
#include "window_fixture.h"

#include <QClipboard>

// What an invoice carries besides its lines, as a user fills, registers, reloads and prints it.
class InvoiceAdditionsTest : public QObject {
    Q_OBJECT
  private slots:
    void fillRegisterReloadPrint();
    void refusals();
};

namespace {
// Types into a box as a user would: '\n' is the Enter key.
void typeLines(QWidget* box, const QString& text) {
    for (const QChar c : text)
        c == u'\n' ? QTest::keyClick(box, Qt::Key_Return) : typeText(box, QString(c));
}
} // namespace

void InvoiceAdditionsTest::fillRegisterReloadPrint() {
    WindowFixture f;
    f.data.openMain()->executeRaw(QStringLiteral(
        "INSERT INTO 自社情報 (自社名, 税区分, 振込先, 支払期限既定, 日付表記) VALUES ('ヴォルニサ商事', '外税', "
        "'○○銀行 本店 普通 1234567' || char(10) || 'カ）ヴォルニサ', '月末締め翌月末', '和暦');"
        "INSERT INTO 顧客マスタ (顧客名, 顧客情報, 敬称) VALUES ('鈴木工業', '大阪市', '御中')"));
    f.start();
    SettingsPage& s = *f.w->settings;
    // The seal is stored as soon as it is chosen; a file that is no image then changes nothing and says why.
    QTemporaryDir dir;
    QImage seal(120, 100, QImage::Format_ARGB32);
    seal.fill(Qt::red);
    QVERIFY(seal.save(dir.filePath(QStringLiteral("seal.png"))));
    for (const QString& file : {dir.filePath(QStringLiteral("seal.png")), QStringLiteral(__FILE__)}) {
        f.w->books.fileDialogs.openFile = [&](QWidget*, const QString&, const QString&, const QString&) { return file; };
        s.cmd印影->click();
    }
    QCOMPARE(f.shown.size(), 1);
    QVERIFY(f.shown[0].text.startsWith(QStringLiteral("PNG または JPEG の画像として読み込めないため")));

    // The due date follows the invoice date by the rule until the user sets it.
    InvoicePage& w = *f.w->invoice;
    w.dt日付->setDate(QDate(2026, 1, 15));
    const QDate ruled = w.dt支払期限->date(); // 月末締め翌月末
    w.dt支払期限->setDate(QDate(2026, 2, 20));
    w.dt日付->setDate(QDate(2026, 1, 16));
    QCOMPARE(QList<QDate>({ruled, w.dt支払期限->date()}), QList<QDate>({QDate(2026, 2, 28), QDate(2026, 2, 20)}));
    // The customer's honorific follows the name once it is left.
    w.cmb顧客名->setFocus();
    typeText(w.cmb顧客名, QStringLiteral("鈴木工業"));
    w.txt件名->setFocus();
    typeText(w.txt件名, QStringLiteral("1月分 文具納品"));
    typeCell(w.Grid明細, 0, 1, QStringLiteral("封筒"));
    typeCell(w.Grid明細, 0, 5, QStringLiteral("500"));
    w.txt備考->setFocus();
    typeLines(w.txt備考, QStringLiteral("納品書No.12\n検収後にお支払いください"));
    w.txtNo->setText(QStringLiteral("12"));
    w.cmd登録->click();

    // Another account registered now: the invoice reloads, is corrected and prints with the one it was
    // issued with; its first version prints from the history.
    s.txt振込先->setPlainText(QStringLiteral("新銀行 支店 普通 7654321"));
    s.cmd設定登録->click();
    w.Load伝票(12);
    QVERIFY(!w.hasUnsavedChanges());
    w.txt件名->setText(QStringLiteral("訂正後"));
    w.cmd登録->click();
    const std::vector<InvoiceVersion> versions = Read履歴(f.main(), 12, 1);
    const struct {
        std::function<void()> print;
        const char* subject;
    } prints[] = {{[&] { w.Load伝票(12), w.cmd印刷->click(); }, "訂正後"},
                  {[&] { f.w->book->PrintVersion(12, versions[0], Read履歴明細(f.main(), 12, 1, 1)); }, "1月分 文具納品"}};
    for (const auto& p : prints) {
        p.print();
        const QStringList pdf = savedPreview(*f.w);
        for (const char* expected :
             {"No. 00012", "鈴木工業 御中", "令和8年1月16日", "令和8年2月20日", "お振込先", "○○銀行 本店 普通 1234567",
              "カ）ヴォルニサ", "納品書No.12 検収後にお支払いください", "500", p.subject})
            QVERIFY2(pdf[0].contains(QString::fromUtf8(expected)), qPrintable(pdf[0]));
        QVERIFY2(pdf[1].contains(QStringLiteral(" 120 100 rgb")), qPrintable(pdf[1])); // the seal as chosen
    }
}

void InvoiceAdditionsTest::refusals() {
    WindowFixture f;
    f.start();
    const struct {
        QWidget* box;
        QString text, kept;
        bool pasted;
    } cases[] = {
        {f.w->invoice->txt件名, QString(61, u'件'), QString(60, u'件'), false},
        {f.w->invoice->txt備考, QStringLiteral("1\n2\n3\n4\n5"), QStringLiteral("1\n2\n3\n45"), false},
        {f.w->settings->txt振込先, QStringLiteral("a\nb\nc\nd\ne\nf"), QStringLiteral("a\nb\nc\nd"), true},
    };
    for (const auto& c : cases) {
        c.box->setFocus();
        QTest::keyClick(c.box, Qt::Key_A, Qt::ControlModifier); // what the paste or typing replaces
        if (c.pasted) {
            QApplication::clipboard()->setText(c.text);
            QTest::keyClick(c.box, Qt::Key_V, Qt::ControlModifier);
        } else {
            typeLines(c.box, c.text);
        }
        const auto* line = qobject_cast<QLineEdit*>(c.box);
        QCOMPARE(line ? line->text() : static_cast<QPlainTextEdit*>(c.box)->toPlainText(), c.kept);
    }

    // An honorific is one of the list; other text leaves the cell as it was, 「なし」 stores none.
    CustomerPage& c = *f.w->customers;
    typeCell(c.Grid顧客マスタ, 0, 1, QStringLiteral("鈴木工業"));
    const QModelIndex cell = c.dat顧客->index(0, 3);
    c.Grid顧客マスタ->setCurrentIndex(cell);
    for (const auto& [typed, stored] : {std::pair{"様方", "様"}, std::pair{"御中", "御中"}, std::pair{"さま", "御中"},
                                        std::pair{"なし", ""}, std::pair{"殿", "殿"}}) {
        c.dat顧客->setData(cell, QString::fromUtf8(typed), Qt::EditRole); // as the cell's editor commits
        QCOMPARE(c.dat顧客->value(0, 3).toText(), QString::fromUtf8(stored));
    }
}

QTEST_MAIN(InvoiceAdditionsTest)
#include "test_invoice_additions.moc"
