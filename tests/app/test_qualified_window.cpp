#include "report/preview.h"
#include "store/statements.h"
#include "window_fixture.h"

#include <QLabel>
#include <QPrintPreviewDialog>
#include <QProcess>

// The "10%・8%" scheme as a user meets it: the settings page, the invoice page, reloading.
class QualifiedWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void settingsPage();
    void invoiceUnderTheScheme();
};

namespace {

const QString Qualified = QStringLiteral("10%・8%");

Value stored(Database& main, const QString& table, const QString& field) {
    auto rs = main.openRecordset(QStringLiteral("select * from ") + table);
    return rs->eof() ? Value() : rs->field(field);
}

void setCompany(Database& main, const QString& scheme, const QString& category, const QString& rounding) {
    main.executeRaw(QStringLiteral("DELETE FROM 自社情報"));
    main.executeRaw(QStringLiteral("INSERT INTO 自社情報 (自社名, 税区分, 税率方式, 端数処理, 登録番号) VALUES "
                                   "('ヴォルニサ商事', '%1', '%2', '%3', 'T7000012050002')")
                        .arg(category, scheme, rounding));
}

void addProduct(Database& main, const QString& name, qint64 price, bool exempt, const Value& rate) {
    auto rs = main.openRecordset(sql::P1(name));
    rs->addNew();
    rs->setField(QStringLiteral("品名"), name);
    rs->setField(QStringLiteral("単価"), Currency::fromWhole(price));
    rs->setField(QStringLiteral("非課税"), exempt);
    rs->setField(QStringLiteral("税率"), rate);
    rs->update();
}

QStringList items(const QComboBox* c) {
    QStringList out;
    for (int i = 0; i < c->count(); ++i)
        out << c->itemText(i);
    return out;
}

QStringList headings(const BoundTable* t) {
    QStringList out;
    for (int c = 0; c < t->columnCount(); ++c)
        out << t->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    return out;
}

} // namespace

void QualifiedWindowTest::settingsPage() {
    WindowFixture f;
    f.start();
    FrmVornisa& w = *f.w;
    QCOMPARE(items(w.cmb税率方式), QStringList({QStringLiteral("5%"), Qualified}));
    QCOMPARE(items(w.cmb端数処理),
             QStringList({QStringLiteral("切り捨て"), QStringLiteral("四捨五入"), QStringLiteral("切り上げ")}));
    QCOMPARE(w.cmb税率方式->currentText(), QStringLiteral("5%"));
    QCOMPARE(w.cmb端数処理->currentText(), QStringLiteral("四捨五入"));
    QStringList labels;
    for (const QLabel* l : w.findChildren<QLabel*>())
        labels << l->text();
    for (const char* label : {"登録番号", "消費税率", "消費税の端数処理"})
        QVERIFY2(labels.contains(QString::fromUtf8(label)), label);
    // The lists take picks only: typing and Delete change nothing.
    w.cmb税率方式->setFocus();
    typeText(w.cmb税率方式, QStringLiteral("1"));
    QTest::keyClick(w.cmb端数処理, Qt::Key_Delete);
    QCOMPARE(w.cmb税率方式->currentText(), QStringLiteral("5%"));
    QCOMPARE(w.cmb端数処理->currentText(), QStringLiteral("四捨五入"));

    struct Case {
        const char* name;
        const char* typed;
        const char* storedNumber; // nullptr: nothing saved
        const char* message;      // the text shown after the question, if any
    };
    const Case cases[] = {
        {"normalised", " ｔ7000-0120-50002 ", "T7000012050002", nullptr},
        {"check digit fails: kept, with a warning", "T1234567890123", "T1234567890123",
         "登録番号 T1234567890123 は検査用数字が合いません。番号に誤りがないか確かめてください（設定は登録しました）。"},
        {"refused", "T12345", nullptr, "登録番号が指定範囲外です。確認してください"},
        {"empty", "", "", nullptr},
    };
    for (const Case& c : cases) {
        auto main = f.data.openMain();
        main->executeRaw(QStringLiteral("DELETE FROM 自社情報"));
        w.txt自社名->setText(QStringLiteral("新社名"));
        w.txt登録番号->setText(QString::fromUtf8(c.typed));
        w.cmb税率方式->setCurrentText(Qualified);
        w.cmb端数処理->setCurrentText(QStringLiteral("切り上げ"));
        f.shown.clear();
        w.cmd設定登録->click();
        QVERIFY2(f.shown.size() == (c.message ? 2 : 1), c.name);
        if (c.message) {
            QVERIFY2(f.shown[1].text == QString::fromUtf8(c.message), qPrintable(f.shown[1].text));
            QVERIFY2(f.shown[1].icon == QMessageBox::Warning, c.name);
        }
        if (!c.storedNumber) {
            // Nothing saved; the page keeps what was typed, so it can be put right.
            QVERIFY2(main->openRecordset(sql::S1())->eof(), c.name);
            QVERIFY2(w.txt登録番号->text() == QString::fromUtf8(c.typed), c.name);
            continue;
        }
        const Value number = stored(*main, QStringLiteral("自社情報"), QStringLiteral("登録番号"));
        QVERIFY2((number.isNull() ? QString() : number.toText()) == QString::fromUtf8(c.storedNumber), c.name);
        QVERIFY2(stored(*main, QStringLiteral("自社情報"), QStringLiteral("税率方式")).toText() == Qualified, c.name);
        QVERIFY2(stored(*main, QStringLiteral("自社情報"), QStringLiteral("端数処理")).toText() ==
                     QStringLiteral("切り上げ"),
                 c.name);
        // Read back at once: the page shows the number as stored, and the scheme is in force.
        QVERIFY2(w.txt登録番号->text() == QString::fromUtf8(c.storedNumber), c.name);
        QVERIFY2(w.cfg税率方式 == Qualified && w.cfg端数処理 == QStringLiteral("切り上げ"), c.name);
    }
    // The product page shows the rate column under the scheme.
    QVERIFY(!w.Grid商品マスタ->isColumnHidden(5));
}

void QualifiedWindowTest::invoiceUnderTheScheme() {
    WindowFixture f;
    {
        auto main = f.data.openMain();
        setCompany(*main, Qualified, QStringLiteral("外税"), QStringLiteral("四捨五入"));
        addProduct(*main, QStringLiteral("工具"), 8000, false, Value());
        addProduct(*main, QStringLiteral("新聞"), 4000, false, Value(8));
        addProduct(*main, QStringLiteral("印紙"), 300, true, Value());
    }
    f.start();
    FrmVornisa& w = *f.w;
    auto cell = [&w](int row, int col) {
        return w.Grid明細->model()->index(row, col).data(Qt::DisplayRole).toString() + u'|' +
               w.Grid明細->model()->index(row, col).data(Qt::EditRole).toString();
    };
    auto exempt = [&w](int row) {
        auto rs = w.dbWork->openRecordset(QStringLiteral("select * from w明細 where 行番号 = %1").arg(row + 1));
        return rs->field(QStringLiteral("非課税")).toBool();
    };
    // The grid's model: the rate in place of the exempt flag.
    QCOMPARE(headings(w.dat明細), QStringList({QStringLiteral("行番号"), QStringLiteral("品　　  名"),
                                               QStringLiteral("数量"), QStringLiteral("単位"), QStringLiteral("単価"),
                                               QStringLiteral("金　額"), QStringLiteral("税率")}));
    QVERIFY(w.rateBoxes->isVisible());
    QVERIFY(!w.Grid明細->isColumnHidden(6));

    // The lookup puts the product's rate on the line: 10 when never set, 8, 非課税 for exempt.
    typeCell(w.Grid明細, 0, 1, QStringLiteral("工具"));
    typeCell(w.Grid明細, 0, 2, QStringLiteral("1"));
    typeCell(w.Grid明細, 1, 1, QStringLiteral("新聞"));
    typeCell(w.Grid明細, 1, 2, QStringLiteral("13"));
    typeCell(w.Grid明細, 2, 1, QStringLiteral("印紙"));
    typeCell(w.Grid明細, 2, 2, QStringLiteral("1"));
    QCOMPARE(cell(0, 6), QStringLiteral("10%|10"));
    QCOMPARE(cell(1, 6), QStringLiteral("8%※|8"));
    QCOMPARE(cell(2, 6), QStringLiteral("非課税|0"));
    QCOMPARE(cell(3, 6), QStringLiteral("|"));
    QCOMPARE(QList<bool>({exempt(0), exempt(1), exempt(2)}), QList<bool>({false, false, true}));
    const auto boxes = [&w] {
        QStringList out;
        for (NumberBox* b : {w.num税抜計, w.num消費税, w.num合計, w.num対象10, w.num消費税10, w.num対象8, w.num消費税8})
            out << b->text();
        return out.join(u' ');
    };
    QCOMPARE(boxes(), QStringLiteral("60,300 4,960 65,260 8,000 800 52,000 4,160"));
    QCOMPARE(w.lbl対象10->text(), QStringLiteral("10%対象（税抜）"));

    // The rate is typed or picked; the exempt flag follows; other text leaves the rate as it was.
    typeCell(w.Grid明細, 1, 6, QStringLiteral("0"));
    QVERIFY(exempt(1));
    QCOMPARE(boxes(), QStringLiteral("60,300 800 61,100 8,000 800  "));
    typeCell(w.Grid明細, 1, 6, QStringLiteral("8"));
    typeCell(w.Grid明細, 1, 6, QStringLiteral("5"));
    QCOMPARE(cell(1, 6), QStringLiteral("8%※|8"));
    QVERIFY(!exempt(1));
    // Picked from the drop-down by its text.
    typeCell(w.Grid明細, 0, 6, QStringLiteral("8%※"));
    QCOMPARE(cell(0, 6), QStringLiteral("8%※|8"));
    typeCell(w.Grid明細, 0, 6, QStringLiteral("10%"));
    QCOMPARE(cell(0, 6), QStringLiteral("10%|10"));

    // Registered under the scheme: rates and basis are stored.
    w.cmb顧客名->setEditText(QStringLiteral("佐藤商事"));
    w.txtNo->setText(QStringLiteral("7"));
    f.shown.clear();
    w.cmd登録->click();
    QCOMPARE(f.shown.size(), 1);
    auto header = w.dbMain->openRecordset(sql::I9(QStringLiteral("7")));
    QCOMPARE(header->field(QStringLiteral("税率方式")).toText(), Qualified);
    QCOMPARE(header->field(QStringLiteral("登録番号")).toText(), QStringLiteral("T7000012050002"));
    QCOMPARE(header->field(QStringLiteral("消費税8")).toCurrency(), Currency::fromWhole(4160));

    // Other settings now: "5%", 内税, 切り捨て. A new invoice takes them ...
    w.cmb税率方式->setCurrentText(QStringLiteral("5%"));
    w.cmb税区分->setCurrentText(QStringLiteral("内税"));
    w.cmb端数処理->setCurrentText(QStringLiteral("切り捨て"));
    w.txt登録番号->clear();
    w.cmd設定登録->click();
    w.cmdクリア->click();
    QCOMPARE(w.dat明細->columnCount(), 7);
    QCOMPARE(w.dat明細->fieldIndex(QStringLiteral("非課税")), 6);
    QCOMPARE(w.dat明細->fieldIndex(QStringLiteral("税率")), -1);
    QVERIFY(w.rateBoxes->isHidden());
    QVERIFY(w.Grid商品マスタ->isColumnHidden(5));
    // ... while the issued invoice reloads as it was issued.
    w.txtNo->setFocus();
    w.txtNo->setText(QStringLiteral("7"));
    w.Grid明細->setFocus();
    QCOMPARE(w.dat明細->fieldIndex(QStringLiteral("税率")), 6);
    QVERIFY(w.rateBoxes->isVisible());
    QCOMPARE(boxes(), QStringLiteral("60,300 4,960 65,260 8,000 800 52,000 4,160"));
    QCOMPARE(w.inv登録番号(), QStringLiteral("T7000012050002"));
    // Editing it keeps that basis: 外税 and 四捨五入, not the 内税 and 切り捨て in force.
    typeCell(w.Grid明細, 3, 1, QStringLiteral("新聞"));
    typeCell(w.Grid明細, 3, 5, QStringLiteral("6"));
    QCOMPARE(boxes(), QStringLiteral("60,306 4,960 65,266 8,000 800 52,006 4,160"));

    // Printed as issued: the number, the marks of the two 8 % lines, the legend, a line per rate.
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("7.pdf"));
    w.cmd印刷->click();
    QTRY_VERIFY(w.findChild<QPrintPreviewDialog*>());
    report::setSaveAsker([&](QWidget*, const QString&) { return pdf; });
    w.findChild<QPrintPreviewDialog*>()->findChild<QAction*>(QStringLiteral("cmdPDF保存"))->trigger();
    report::setSaveAsker({});
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    QVERIFY(text.waitForFinished(60000) && text.exitCode() == 0);
    const QString page = QString::fromUtf8(text.readAllStandardOutput()).simplified();
    for (const char* expected : {"登録番号 T7000012050002", "※は軽減税率対象", "10%対象 ¥8,000 消費税 ¥800",
                                 "8%対象 ¥52,006 消費税 ¥4,160"})
        QVERIFY2(page.contains(QString::fromUtf8(expected)), expected);
    QCOMPARE(page.count(QStringLiteral("※")), 3); // two lines and the legend
}

QTEST_MAIN(QualifiedWindowTest)
#include "test_qualified_window.moc"
