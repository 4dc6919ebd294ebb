#include "bad_texts.h"
#include "invoice/helpers.h"
#include "invoice/invoice_io.h"
#include "invoice/lines.h"
#include "store/statements.h"
#include "support/testdb.h"

// Bad texts in every typed field of an invoice come back from the books exactly, and the
// masters learn them once, found again by the same name.
class InvoiceTextTest : public QObject {
    Q_OBJECT
  private slots:
    void registeredAndReadBack_data() { badTextRows(); }
    void registeredAndReadBack();
};

namespace {

InvoiceHeader header(qint32 number, const QString& text) {
    InvoiceHeader h;
    h.number = number;
    h.date = txt("2024/04/01");
    h.顧客名 = text;
    h.顧客情報 = text;
    h.税抜計 = Currency::fromWhole(205);
    h.消費税 = Currency::fromWhole(10);
    h.合計 = Currency::fromWhole(215);
    return h;
}

QStringList rows(Database& db, const QString& statement, const QString& field) {
    QStringList out;
    auto rs = db.openRecordset(statement);
    for (rs->moveFirst(); !rs->eof(); rs->moveNext())
        out << rs->field(field).toText();
    return out;
}

} // namespace

void InvoiceTextTest::registeredAndReadBack() {
    QFETCH(QString, text);
    TestData data;
    auto main = data.openMain();
    auto work = data.openWork();
    Clear明細ワーク(*work);
    const QString other = txt("品") + text;
    setLine(*work, 1, Value(text), Value(2.0), Value(text), money("100"), money("200"));
    setLine(*work, 2, Value(other), Value(1.0), Value(), money("5"), money("5"));
    Entry請求書(*main, *work, header(1, text));

    const auto h = Read請求書ヘッダ(*main, 1);
    QVERIFY(h);
    QCOMPARE(h->顧客名, text);
    QCOMPARE(h->顧客情報, text);
    Read請求書(*main, *work, 1);
    // Product names are kept without surrounding blanks; everything else as typed.
    QCOMPARE(rows(*work, sql::I8(), txt("品名")).mid(0, 3), QStringList({text.trimmed(), other.trimmed(), QString()}));
    QCOMPARE(rows(*work, sql::I8(), txt("単位")).mid(0, 2), QStringList({text, QString()}));
    QCOMPARE(rows(*main, sql::C1(text), txt("顧客情報")), QStringList({text}));
    QCOMPARE(rows(*main, sql::P1(text.trimmed()), txt("単位")), QStringList({text}));

    // Registering the same names again updates the masters and never adds a second row.
    InvoiceHeader again = header(2, text);
    again.顧客情報 = text + txt("2");
    Entry請求書(*main, *work, again);
    QCOMPARE(dump(*main, txt("顧客マスタ")).size(), 1);
    QCOMPARE(rows(*main, sql::C1(text), txt("顧客情報")), QStringList({text + txt("2")}));
    QCOMPARE(dump(*main, txt("商品マスタ")).size(), 2);
    QCOMPARE(rows(*main, sql::I7(txt("1"), txt("請求書")), txt("品名")), rows(*main, sql::I7(txt("2"), txt("請求書")), txt("品名")));
    QVERIFY(Read請求書ヘッダ(*main, 1)->顧客情報 == text);
}

QTEST_GUILESS_MAIN(InvoiceTextTest)
#include "test_invoice_text.moc"
