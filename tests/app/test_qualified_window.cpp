#include "report/preview.h"
#include "store/statements.h"
#include "window_fixture.h"

#include <QLabel>
#include <QPrintPreviewDialog>
#include <QProcess>

// The "10%・8%" scheme as a user meets it: the settings page, the invoice page, reloading, printing.
class QualifiedWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void settingsPage();
    void invoiceUnderTheScheme();
};

namespace {
const QString Qualified = QStringLiteral("10%・8%");

QStringList items(const QComboBox* c) {
    QStringList out;
    for (int i = 0; i < c->count(); ++i)
        out << c->itemText(i);
    return out;
}
} // namespace

void QualifiedWindowTest::settingsPage() {
    WindowFixture f;
    f.start();
    SettingsPage& w = *f.w->settings;
    QCOMPARE(items(w.cmb税率方式), QStringList({QStringLiteral("5%"), Qualified}));
    QCOMPARE(items(w.cmb端数処理),
             QStringList({QStringLiteral("切り捨て"), QStringLiteral("四捨五入"), QStringLiteral("切り上げ")}));
    QCOMPARE(w.cmb税率方式->currentText(), Qualified); // a new book works under today's rates
    QCOMPARE(f.w->books.cfg税率方式, Qualified);
    QCOMPARE(w.cmb端数処理->currentText(), QStringLiteral("四捨五入"));
    QStringList labels;
    for (const QLabel* l : f.w->findChildren<QLabel*>())
        labels << l->text();
    for (const char* label : {"登録番号", "消費税率", "消費税の端数処理"})
        QVERIFY2(labels.contains(QString::fromUtf8(label)), label);
    // The lists take picks only: typing and Delete change nothing.
    w.cmb税率方式->setFocus();
    typeText(w.cmb税率方式, QStringLiteral("1"));
    QTest::keyClick(w.cmb端数処理, Qt::Key_Delete);
    QCOMPARE(w.cmb税率方式->currentText(), Qualified);
    QCOMPARE(w.cmb端数処理->currentText(), QStringLiteral("四捨五入"));

    const struct {
        const char* typed;
        const char* storedNumber; // nullptr: nothing saved
        const char* message;      // the text shown after the question, if any
    } cases[] = {
        {" ｔ7000-0120-50002 ", "T7000012050002", nullptr}, // normalised
        {"T1234567890123", "T1234567890123",                // check digit fails: kept, with a warning
         "登録番号 T1234567890123 "
         "は検査用数字が合いません。番号に誤りがないか確かめてください（設定は登録しました）。"},
        {"T12345", nullptr, "登録番号が指定範囲外です。確認してください"}, // refused
        {"", "", nullptr},
    };
    for (const auto& c : cases) {
        auto main = f.data.openMain();
        main->executeRaw(QStringLiteral("DELETE FROM 自社情報"));
        w.txt自社名->setText(QStringLiteral("新社名"));
        w.txt登録番号->setText(QString::fromUtf8(c.typed));
        w.cmb税率方式->setCurrentText(Qualified);
        w.cmb端数処理->setCurrentText(QStringLiteral("切り上げ"));
        f.shown.clear();
        w.cmd設定登録->click();
        QVERIFY2(f.shown.size() == (c.message ? 2 : 1), c.typed);
        if (c.message) {
            QVERIFY2(f.shown[1].text == QString::fromUtf8(c.message), qPrintable(f.shown[1].text));
            QVERIFY2(f.shown[1].icon == QMessageBox::Warning, c.typed);
        }
        auto stored = main->openRecordset(sql::S1());
        if (!c.storedNumber) {
            // Nothing saved; the page keeps what was typed, so it can be put right.
            QVERIFY2(stored->eof(), c.typed);
            QVERIFY2(w.txt登録番号->text() == QString::fromUtf8(c.typed), c.typed);
            continue;
        }
        // Saved, and read back at once: the page shows the number as stored, and the scheme is in force.
        const Value number = stored->field(QStringLiteral("登録番号"));
        const QStringList got = {number.isNull() ? QString() : number.toText(),
                                 stored->field(QStringLiteral("税率方式")).toText(),
                                 stored->field(QStringLiteral("端数処理")).toText(),
                                 w.txt登録番号->text(),
                                 f.w->books.cfg税率方式,
                                 f.w->books.cfg端数処理};
        const QString n = QString::fromUtf8(c.storedNumber), up = QStringLiteral("切り上げ");
        QVERIFY2(got == QStringList({n, Qualified, up, n, Qualified, up}), qPrintable(got.join(u'|')));
    }
    QVERIFY(!f.w->products->Grid商品マスタ->isColumnHidden(5)); // the product page shows the rate under the scheme
}

void QualifiedWindowTest::invoiceUnderTheScheme() {
    WindowFixture f;
    {
        auto main = f.data.openMain();
        main->executeRaw(QStringLiteral("INSERT INTO 自社情報 (自社名, 税区分, 税率方式, 端数処理, 登録番号) VALUES "
                                        "('ヴォルニサ商事', '外税', '10%・8%', '四捨五入', 'T7000012050002')"));
        main->executeRaw(
            QStringLiteral("INSERT INTO 商品マスタ (品名, 単価, 非課税, 税率) VALUES "
                           "('工具', 80000000, 0, NULL), ('新聞', 40000000, 0, 8), ('印紙', 3000000, 1, NULL)"));
    }
    f.start();
    InvoicePage& w = *f.w->invoice;
    DataGrid* g = w.Grid明細;
    auto cell = [g](int row, int col) {
        const QModelIndex i = g->model()->index(row, col);
        return i.data(Qt::DisplayRole).toString() + u'|' + i.data(Qt::EditRole).toString();
    };
    auto exempt = [&f](int row) {
        auto rs = f.work().openRecordset(QStringLiteral("select * from w明細 where 行番号 = %1").arg(row + 1));
        return rs->field(QStringLiteral("非課税")).toBool();
    };
    const auto boxes = [&w] {
        QStringList out;
        for (NumberBox* b : {w.num税抜計, w.num消費税, w.num合計, w.num対象10, w.num消費税10, w.num対象8, w.num消費税8})
            out << b->text();
        return out.join(u' ');
    };
    // The grid's model: the rate in place of the exempt flag.
    QCOMPARE(w.dat明細->columnCount(), 7);
    QCOMPARE(w.dat明細->fieldIndex(QStringLiteral("非課税")), -1);
    QCOMPARE(w.dat明細->headerData(6, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("税率"));
    QVERIFY(w.rateBoxes->isVisible());
    QVERIFY(!g->isColumnHidden(6));

    // The lookup puts the product's rate on the line: 10 when never set, 8, 非課税 for exempt.
    for (const auto& [row, product, qty] :
         {std::tuple{0, "工具", "1"}, std::tuple{1, "新聞", "13"}, std::tuple{2, "印紙", "1"}}) {
        typeCell(g, row, 1, QString::fromUtf8(product));
        typeCell(g, row, 2, QString::fromUtf8(qty));
    }
    QCOMPARE(QStringList({cell(0, 6), cell(1, 6), cell(2, 6), cell(3, 6)}),
             QStringList(
                 {QStringLiteral("10%|10"), QStringLiteral("8%※|8"), QStringLiteral("非課税|0"), QStringLiteral("|")}));
    QCOMPARE(QList<bool>({exempt(0), exempt(1), exempt(2)}), QList<bool>({false, false, true}));
    QCOMPARE(boxes(), QStringLiteral("60,300 4,960 65,260 8,000 800 52,000 4,160"));
    QCOMPARE(w.lbl対象10->text(), QStringLiteral("10%対象（税抜）"));

    // The rate is typed or picked; the exempt flag follows; other text leaves the rate as it was.
    typeCell(g, 1, 6, QStringLiteral("0"));
    QVERIFY(exempt(1));
    QCOMPARE(boxes(), QStringLiteral("60,300 800 61,100 8,000 800  "));
    typeCell(g, 1, 6, QStringLiteral("8"));
    typeCell(g, 1, 6, QStringLiteral("5"));
    QCOMPARE(cell(1, 6), QStringLiteral("8%※|8"));
    QVERIFY(!exempt(1));
    typeCell(g, 0, 6, QStringLiteral("8%※")); // picked from the drop-down by its text
    QCOMPARE(cell(0, 6), QStringLiteral("8%※|8"));
    typeCell(g, 0, 6, QStringLiteral("10%"));
    QCOMPARE(cell(0, 6), QStringLiteral("10%|10"));

    // A figure the line cannot hold is refused in words, never dropped silently.
    for (const auto& [col, typed, message] :
         {std::tuple{2, "1234567", "数量が指定範囲外です。確認してください"},
          std::tuple{4, "９９９，９９９，９９９", "単価が指定範囲外です。確認してください"}}) {
        f.shown.clear();
        typeCell(g, 3, col, QString::fromUtf8(typed));
        QVERIFY2(f.shown.size() == 1 && f.shown[0].text == QString::fromUtf8(message), typed);
        QCOMPARE(cell(3, col), QStringLiteral("|"));
    }
    // The product page names an exempt product's rate as such.
    f.w->products->cmd商品読込->click();
    const QAbstractItemModel* products = f.w->products->Grid商品マスタ->model();
    QStringList rates;
    for (int r = 0; r < 3; ++r)
        rates << products->index(r, 1).data().toString() + u'=' + products->index(r, 5).data().toString();
    rates.sort();
    QCOMPARE(rates, QStringList({QStringLiteral("印紙=非課税"), QStringLiteral("工具=10%"), QStringLiteral("新聞=8%※")}));

    // Registered under the scheme; what was stored shows in the reload below.
    w.cmb顧客名->setEditText(QStringLiteral("佐藤商事"));
    w.txtNo->setText(QStringLiteral("7"));
    f.shown.clear();
    w.cmd登録->click();
    QCOMPARE(f.shown.size(), 1);

    // Other settings now: "5%", 内税, 切り捨て. A new invoice takes them ...
    f.w->settings->cmb税率方式->setCurrentText(QStringLiteral("5%"));
    f.w->settings->cmb税区分->setCurrentText(QStringLiteral("内税"));
    f.w->settings->cmb端数処理->setCurrentText(QStringLiteral("切り捨て"));
    f.w->settings->txt登録番号->clear();
    f.w->settings->cmd設定登録->click();
    w.cmdクリア->click();
    QCOMPARE(w.dat明細->columnCount(), 7);
    QCOMPARE(w.dat明細->fieldIndex(QStringLiteral("非課税")), 6);
    QCOMPARE(w.dat明細->fieldIndex(QStringLiteral("税率")), -1);
    QVERIFY(w.rateBoxes->isHidden());
    QVERIFY(f.w->products->Grid商品マスタ->isColumnHidden(5));
    // ... while the issued invoice reloads as it was issued.
    w.txtNo->setFocus();
    w.txtNo->setText(QStringLiteral("7"));
    g->setFocus();
    QCOMPARE(w.dat明細->fieldIndex(QStringLiteral("税率")), 6);
    QVERIFY(w.rateBoxes->isVisible());
    QCOMPARE(boxes(), QStringLiteral("60,300 4,960 65,260 8,000 800 52,000 4,160"));
    QCOMPARE(w.inv登録番号(), QStringLiteral("T7000012050002"));
    // Editing it keeps that basis: 外税 and 四捨五入, not the 内税 and 切り捨て in force.
    typeCell(g, 3, 1, QStringLiteral("新聞"));
    typeCell(g, 3, 5, QStringLiteral("6"));
    QCOMPARE(boxes(), QStringLiteral("60,306 4,960 65,266 8,000 800 52,006 4,160"));

    // Printed as issued: the number, the marks of the two 8 % lines, the legend, a line per rate.
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("7.pdf"));
    w.cmd印刷->click();
    QTRY_VERIFY(f.w->findChild<QPrintPreviewDialog*>());
    report::setSaveAsker([&](QWidget*, const QString&) { return pdf; });
    f.w->findChild<QPrintPreviewDialog*>()->findChild<QAction*>(QStringLiteral("cmdPDF保存"))->trigger();
    report::setSaveAsker({});
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    QVERIFY(text.waitForFinished(60000) && text.exitCode() == 0);
    const QString page = QString::fromUtf8(text.readAllStandardOutput()).simplified();
    for (const char* expected :
         {"登録番号 T7000012050002", "※は軽減税率対象", "非は非課税", "非課税 ¥300", "10%対象 ¥8,000 消費税 ¥800",
          "8%対象 ¥52,006 消費税 ¥4,160"})
        QVERIFY2(page.contains(QString::fromUtf8(expected)), expected);
    QCOMPARE(page.count(QStringLiteral("※")), 3); // two lines and the legend
}

QTEST_MAIN(QualifiedWindowTest)
#include "test_qualified_window.moc"
