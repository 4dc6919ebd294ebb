#include "app/window_fixture.h"
#include "figures/figures.h"
#include "bad_texts.h"
#include "invoice/helpers.h"
#include "invoice/invoice_io.h"
#include "store/statements.h"

#include <QClipboard>
#include <QInputMethodEvent>

// Bad input through the real window: invoice numbers the rule refuses, numbers at and past
// the detail limits, and bad texts typed or pasted into the boxes and the grid.
class WindowInputTest : public QObject {
    Q_OBJECT
  private slots:
    void refusedNumbersOnLeaving_data();
    void refusedNumbersOnLeaving();
    void refusedNumbersOnRegister_data();
    void refusedNumbersOnRegister();
    void acceptedNumberForms();
    void detailLimits_data();
    void detailLimits();
    void textsTypedRegisterAndLoad_data();
    void textsTypedRegisterAndLoad();
    void pastedControlTextsRegisterAndLoad();
};

namespace {

const QString notNumeric = txt("伝票番号には数字以外使用できません");
const QString outOfRange = txt("伝票番号が指定範囲外です。確認してください");

// Text as the input method hands it over: one commit, whatever the script.
void commit(const QString& text) {
    QInputMethodEvent e;
    e.setCommitString(text);
    QApplication::sendEvent(QApplication::focusWidget(), &e);
}

// Puts text into the focused box as a paste does: the only way control characters get in.
void paste(QWidget* box, const QString& text) {
    QGuiApplication::clipboard()->setText(text);
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
}

QWidget* editorOf(QWidget* w) {
    if (auto* combo = qobject_cast<QComboBox*>(w); combo && combo->lineEdit())
        return combo->lineEdit();
    return w;
}

// Edits one grid cell: F2 opens the editor, the text is committed, Return ends the edit.
void typeCell(InvoicePage& w, int row, int col, const QString& text, bool pasted = false) {
    DataGrid* g = w.Grid明細;
    g->setFocus();
    g->setCurrentIndex(g->model()->index(row, col));
    QTest::keyClick(g, Qt::Key_F2);
    QWidget* editor = editorOf(QApplication::focusWidget());
    QVERIFY(editor && editor != g);
    if (auto* line = qobject_cast<QLineEdit*>(editor))
        line->selectAll();
    if (pasted)
        paste(editor, text);
    else
        commit(text);
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents(); // the editor commits on a queued call
}

Value cell(InvoicePage& w, int row, const char* field) {
    return w.dat明細->value(row, w.dat明細->fieldIndex(txt(field)));
}

QStringList everything(const WindowFixture& f) {
    return dumpMain(f.main()) + dump(f.work(), txt("w明細"));
}

void numberRows() {
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("message");
    const QString nul(QChar(0));
    const struct {
        const char* what;
        QString number;
        const QString& message;
    } rows[] = {
        {"blank", txt(" "), notNumeric},
        {"blank before", txt(" 7"), notNumeric},
        {"blank after", txt("7 "), notNumeric},
        {"full-width minus", txt("－７"), notNumeric},
        {"plus sign", txt("+7"), notNumeric},
        {"minus sign", txt("-7"), notNumeric},
        {"decimal point", txt("7.0"), notNumeric},
        {"exponent", txt("7e0"), notNumeric},
        {"grouping", txt("1,000"), notNumeric},
        {"hexadecimal", txt("0x10"), notNumeric},
        {"letters", txt("abc"), notNumeric},
        {"digits then letter", txt("12a"), notNumeric},
        {"NUL after digits", txt("7") + nul, notNumeric},
        {"tab", txt("7\t"), notNumeric},
        {"zero", txt("0"), outOfRange},
        {"zeros", txt("000"), outOfRange},
        {"one past the largest", txt("2147483648"), outOfRange},
        {"ten nines", txt("9999999999"), outOfRange},
        {"past 64 bits", txt("18446744073709551617"), outOfRange},
        {"30 digits", QString(30, u'9'), outOfRange},
    };
    for (const auto& r : rows)
        QTest::newRow(r.what) << r.number << r.message;
}

// The box shows full-width figures typed with the input method on as their ASCII forms.
QString shownNumber(const QString& typed) { return figures::asciiNumber(typed); }

// Puts a number into the box the way a user can: typed when it can be typed, else pasted.
void enterNumber(InvoicePage& w, const QString& number) {
    w.txtNo->setFocus();
    w.txtNo->clear();
    bool typable = true;
    for (const QChar c : number)
        typable = typable && c.isPrint();
    if (typable)
        typeText(w.txtNo, number);
    else
        paste(w.txtNo, number);
    QCOMPARE(w.txtNo->text(), shownNumber(number));
}

// A registered invoice 3 and one line on screen, so that a refusal has something to spoil.
void prepare(WindowFixture& f) {
    f.start();
    InvoicePage& w = *f.w->invoice;
    w.txtNo->setText(txt("3"));
    w.cmb顧客名->setEditText(txt("山田商店"));
    typeCell(w, 0, 1, txt("鉛筆"));
    typeCell(w, 0, 4, txt("100"));
    w.cmd登録->click();
    w.cmb顧客名->setEditText(txt("田中工務店"));
    typeCell(w, 0, 1, txt("消しゴム"));
    f.shown.clear();
}

} // namespace

void WindowInputTest::refusedNumbersOnLeaving_data() {
    numberRows();
}

void WindowInputTest::refusedNumbersOnLeaving() {
    QFETCH(QString, number);
    QFETCH(QString, message);
    WindowFixture f;
    prepare(f);
    InvoicePage& w = *f.w->invoice;
    const QStringList books = dumpMain(f.main());
    enterNumber(w, number);
    w.Grid明細->setFocus();
    // The refusal, then the clear question for the typed line, answered Yes.
    QCOMPARE(f.shown.size(), 2);
    QCOMPARE(f.shown[0].text, message);
    QCOMPARE(f.shown[0].title, txt("入力注意"));
    QCOMPARE(f.shown[1].title, txt("画面クリアの確認"));
    QVERIFY(w.txtNo->text().isEmpty());
    QCOMPARE(dumpMain(f.main()), books);
    // The invoice area is cleared as for an unregistered number.
    QVERIFY(cell(w, 0, "品名").isNull());
}

void WindowInputTest::refusedNumbersOnRegister_data() {
    numberRows();
    QTest::newRow("empty") << QString() << txt("伝票番号が指定されていません。確認してください");
}

void WindowInputTest::refusedNumbersOnRegister() {
    QFETCH(QString, number);
    QFETCH(QString, message);
    WindowFixture f;
    prepare(f);
    InvoicePage& w = *f.w->invoice;
    const QStringList before = everything(f);
    w.txtNo->setText(number); // straight to the button, without leaving the box
    w.cmd登録->click();
    QCOMPARE(f.shown.size(), 2); // the question, then the refusal
    QCOMPARE(f.shown[1].text, message);
    QCOMPARE(everything(f), before);
    QCOMPARE(w.txtNo->text(), shownNumber(number));
    QCOMPARE(w.cmb顧客名->currentText(), txt("田中工務店"));
}

void WindowInputTest::acceptedNumberForms() {
    WindowFixture f;
    prepare(f);
    InvoicePage& w = *f.w->invoice;
    for (const QString& n : {txt("003"), txt("000000000000000000000000000003"), txt("０３")}) {
        enterNumber(w, n);
        w.Grid明細->setFocus();
        QCOMPARE(w.txtNo->text(), shownNumber(n));
        QCOMPARE(w.cmb顧客名->currentText(), txt("山田商店"));
    }
    // Only the first load replaced typed work, and asked before doing so.
    QCOMPARE(f.shown.size(), 1);
    QCOMPARE(f.shown[0].title, txt("画面クリアの確認"));
    f.shown.clear();
    enterNumber(w, txt("2147483647"));
    w.Grid明細->setFocus();
    QVERIFY(f.shown.isEmpty());
    QCOMPARE(w.txtNo->text(), txt("2147483647"));
    w.cmb顧客名->setEditText(txt("最大番号"));
    typeCell(w, 0, 1, txt("ペン"));
    w.cmd登録->click();
    QVERIFY(Read請求書ヘッダ(f.main(), 2147483647));
    QCOMPARE(f.shown.size(), 1); // only the question
    // Past the largest number there is none to offer: registering it is refused.
    QCOMPARE(w.txtNo->text(), txt("2147483648"));
    const QStringList books = dumpMain(f.main());
    typeCell(w, 0, 1, txt("ペン"));
    w.cmd登録->click();
    QCOMPARE(f.shown.last().text, outOfRange);
    QCOMPARE(dumpMain(f.main()), books);
}

void WindowInputTest::detailLimits_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("kept"); // the value stored, empty when the cell is cleared
    QTest::newRow("quantity at the limit") << 2 << txt("999999.99") << txt("999999.99");
    QTest::newRow("quantity at the lower limit") << 2 << txt("-999999.99") << txt("-999999.99");
    QTest::newRow("quantity just past") << 2 << txt("999999.991") << QString();
    QTest::newRow("quantity a million") << 2 << txt("1000000") << QString();
    QTest::newRow("quantity minus a million") << 2 << txt("-1000000") << QString();
    QTest::newRow("quantity with blanks") << 2 << txt(" 12 ") << txt("12");
    QTest::newRow("quantity in full-width digits") << 2 << txt("１２") << txt("12");
    QTest::newRow("quantity with a letter") << 2 << txt("12a") << QString();
    QTest::newRow("quantity infinite") << 2 << txt("inf") << QString();
    QTest::newRow("quantity not a number") << 2 << txt("nan") << QString();
    QTest::newRow("price at the limit") << 4 << txt("99999999.99") << txt("99999999.99");
    QTest::newRow("price at the lower limit") << 4 << txt("-99999999.99") << txt("-99999999.99");
    QTest::newRow("price just past") << 4 << txt("99999999.999") << QString();
    QTest::newRow("price a hundred million") << 4 << txt("100000000") << QString();
    QTest::newRow("price minus a hundred million") << 4 << txt("-100000000") << QString();
    QTest::newRow("price beyond money") << 4 << txt("1e300") << QString();
    QTest::newRow("price with a letter") << 4 << txt("100円") << QString();
    QTest::newRow("amount at the limit") << 5 << txt("9999999999") << txt("9999999999");
    QTest::newRow("amount at the lower limit") << 5 << txt("-9999999999") << txt("-9999999999");
    QTest::newRow("amount just past") << 5 << txt("9999999999.5") << QString();
    QTest::newRow("amount ten billion") << 5 << txt("10000000000") << QString();
}

void WindowInputTest::detailLimits() {
    QFETCH(int, column);
    QFETCH(QString, typed);
    QFETCH(QString, kept);
    WindowFixture f;
    f.start();
    InvoicePage& w = *f.w->invoice;
    typeCell(w, 1, 1, txt("鉛筆"));
    typeCell(w, 1, 2, txt("2"));
    typeCell(w, 1, 4, txt("1"));
    const QStringList otherRows = dump(f.work(), txt("w明細")).mid(2);
    typeCell(w, 1, column, typed);
    const Value v = w.dat明細->value(1, column);
    if (kept.isEmpty()) {
        QVERIFY(v.isNull());
        QCOMPARE(w.Grid明細->col(), column); // the cursor goes back to the cell
    } else if (column == 2) {
        QCOMPARE(v.toDouble(), kept.toDouble());
    } else {
        QCOMPARE(v.toCurrency(), *Currency::parse(kept));
    }
    if (column != 5) // the amount follows quantity and price: none without both
        QCOMPARE(cell(w, 1, "金額").isNull(), kept.isEmpty());
    QCOMPARE(dump(f.work(), txt("w明細")).mid(2), otherRows);
    // A refused figure is said, naming its column; an accepted one shows no message.
    QCOMPARE(f.shown.size(), kept.isEmpty() ? 1 : 0);
    if (kept.isEmpty())
        QVERIFY2(f.shown[0].text.startsWith(column == 2 ? txt("数量") : column == 4 ? txt("単価") : txt("金額")),
                 qPrintable(f.shown[0].text));
}

void WindowInputTest::textsTypedRegisterAndLoad_data() {
    QTest::addColumn<QString>("text");
    for (const BadText& b : badTexts())
        if (b.text.size() < 100 &&
            std::all_of(b.text.begin(), b.text.end(), [](QChar c) { return c.isPrint() || c.isSurrogate(); }))
            QTest::newRow(b.what) << b.text;
}

void WindowInputTest::textsTypedRegisterAndLoad() {
    QFETCH(QString, text);
    WindowFixture f;
    f.start();
    InvoicePage& w = *f.w->invoice;
    const QString number = w.txtNo->text();
    w.cmb顧客名->setFocus();
    commit(text);
    w.txt顧客情報->setFocus();
    commit(text);
    typeCell(w, 0, 1, text);
    typeCell(w, 0, 3, text);
    typeCell(w, 0, 4, txt("10"));
    QCOMPARE(cell(w, 0, "品名").toText(), text.trimmed());
    w.cmd登録->click();
    QCOMPARE(f.shown.size(), 1);
    QCOMPARE(f.shown[0].text, txt("伝票 ") + number + txt("（") + text + txt(" 様） を登録します。よろしいですか"));
    // Loading it back shows every text as it was typed.
    w.txtNo->setFocus();
    w.txtNo->setText(number);
    w.Grid明細->setFocus();
    QCOMPARE(w.cmb顧客名->currentText(), text);
    QCOMPARE(w.txt顧客情報->toPlainText(), text);
    QCOMPARE(cell(w, 0, "品名").toText(), text.trimmed());
    QCOMPARE(cell(w, 0, "単位").toText(), text);
    // The customer is found by the name: choosing it fills the details.
    w.txt顧客情報->clear();
    w.cmb顧客名->setFocus();
    w.cmb顧客名->setEditText(text);
    w.txtNo->setFocus();
    QCOMPARE(w.txt顧客情報->toPlainText(), text);
    QCOMPARE(f.shown.size(), 1);
}

void WindowInputTest::pastedControlTextsRegisterAndLoad() {
    WindowFixture f;
    f.start();
    InvoicePage& w = *f.w->invoice;
    const QString number = w.txtNo->text();
    const QString nul(QChar(0));
    const QString name = txt("株式会社") + nul + txt("\x01\x1f") + nul;
    const QString product = txt("品") + nul + txt("名\x02");
    w.cmb顧客名->setFocus();
    paste(w.cmb顧客名->lineEdit(), name);
    QCOMPARE(w.cmb顧客名->currentText(), name);
    typeCell(w, 0, 1, product, true);
    typeCell(w, 0, 4, txt("10"));
    QCOMPARE(cell(w, 0, "品名").toText(), product);
    w.cmd登録->click();
    QCOMPARE(f.shown.size(), 1); // the question only: nothing failed
    QVERIFY(f.main().openRecordset(sql::C1(name))->recordCount() == 1);
    QVERIFY(f.main().openRecordset(sql::P1(product))->recordCount() == 1);
    w.txtNo->setFocus();
    w.txtNo->setText(number);
    w.Grid明細->setFocus();
    QCOMPARE(w.cmb顧客名->currentText(), name);
    QCOMPARE(cell(w, 0, "品名").toText(), product);
    // Typing the product again finds it in the master.
    typeCell(w, 1, 1, product, true);
    QCOMPARE(cell(w, 1, "単価").toCurrency(), Currency::fromWhole(10));
}

QTEST_MAIN(WindowInputTest)
#include "test_window_input.moc"
