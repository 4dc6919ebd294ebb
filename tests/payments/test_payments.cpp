#include "book/payment_state.h"
#include "book/search.h"
#include "helpers.h"
#include "invoice/due_date.h"
#include "invoice/invoice_io.h"
#include "invoice/lines.h"
#include "journal/stored.h"
#include "payments/cutoff.h"
#include "payments/payments.h"
#include "payments/receivables.h"
#include "support/testdb.h"

#include <QtTest>

namespace {
QDate d(const char* s) {
    return QDate::fromString(txt(s), txt("yyyy/MM/dd"));
}
Currency yen(qint64 v) {
    return Currency::fromWhole(v);
}
void registerInvoice(Database& main, Database& work, qint32 number, const char* date, const char* customer,
                     qint64 total, const char* due) {
    Clear明細ワーク(work);
    setLine(work, 1, Value(txt("品")), Value(1.0), Value(), Value(yen(total)), Value(yen(total)));
    InvoiceHeader h;
    h.number = number;
    h.date = txt(date);
    h.顧客名 = txt(customer);
    h.税抜計 = h.合計 = yen(total);
    h.消費税 = Currency();
    h.支払期限 = txt(due);
    Entry請求書(main, work, h);
}
PaymentRecord payment(qint32 number, const char* date, qint64 amount, qint64 fee = 0,
                      const QString& method = PaymentMethods.front()) {
    PaymentRecord p;
    p.伝票番号 = number;
    p.入金日 = d(date);
    p.入金額 = yen(amount);
    p.振込手数料 = yen(fee);
    p.入金方法 = method;
    return p;
}
QList<qint32> numbers(const std::vector<BookRow>& rows) {
    QList<qint32> out;
    for (const BookRow& r : rows)
        out << r.伝票番号;
    return out;
}
// A delivery note under "10%・8%", one line per rate given.
void deliver(Database& main, qint32 number, const char* date, const char* customer, qint64 at10, qint64 at8) {
    InvoiceHeader h;
    h.number = number;
    h.種別 = Kind納品書;
    h.date = txt(date);
    h.顧客名 = txt(customer);
    h.税率方式 = Scheme10_8;
    std::vector<VersionLine> lines;
    for (const auto& [rate, amount] : {std::pair{10, at10}, std::pair{8, at8}})
        if (amount)
            lines.push_back({Value(txt("品")), Value(1.0), Value(), Value(yen(amount)), Value(yen(amount)), Value(false),
                             Value(rate)});
    Entry伝票(main, h, lines);
}
const SummaryBasis basis{Scheme10_8, txt("外税"), txt("切り捨て"), {}};
QStringList figures(const CutOffFigures& f) {
    QStringList out;
    for (const Currency c : {f.前回御請求額, f.御入金額, f.繰越金額, f.今回御買上額, f.消費税額, f.今回御請求額})
        out << c.toString();
    return out;
}
} // namespace

Q_DECLARE_METATYPE(PaymentTerms)

class PaymentsTest : public QObject {
    Q_OBJECT
  private slots:
    void stateOverPaymentDates_data();
    void stateOverPaymentDates();
    void dueDateFromTerms_data();
    void dueDateFromTerms();
    void unsoundTermsAreNamed();
    void paymentLimits_data();
    void paymentLimits();
    void receivablesOfAMonth();
    void monthlyCutOff();
    void cutOffKilledHalfWayBillsNothing();
};

void PaymentsTest::stateOverPaymentDates_data() {
    QTest::addColumn<QDate>("day");
    QTest::addColumn<QString>("state");
    // 10,000 due 2026/01/31: 3,000 on 01/10, then 6,560 less a 440 fee kept by the bank on 02/05,
    // then 500 too much on 02/10.
    QTest::newRow("before any payment") << d("2026/01/05") << txt("未入金");
    QTest::newRow("part paid") << d("2026/01/10") << txt("一部入金");
    QTest::newRow("on the due date, not yet late") << d("2026/01/31") << txt("一部入金");
    QTest::newRow("the day after the due date") << d("2026/02/01") << txt("期限超過");
    QTest::newRow("the fee kept counts as paid") << d("2026/02/05") << txt("入金済");
    QTest::newRow("more than billed") << d("2026/02/10") << txt("過入金");
}

void PaymentsTest::stateOverPaymentDates() {
    QFETCH(QDate, day);
    QFETCH(QString, state);
    const QList<DatedAmount> paid{{d("2026/01/10"), yen(3000)}, {d("2026/02/05"), yen(6560 + 440)},
                                  {d("2026/02/10"), yen(500)}};
    QCOMPARE(StateText(StateOn(yen(10000), d("2026/01/31"), paid, day)), state);
}

void PaymentsTest::dueDateFromTerms_data() {
    QTest::addColumn<PaymentTerms>("terms");
    QTest::addColumn<QDate>("invoiceDate");
    QTest::addColumn<QDate>("due");
    const auto t = [](const char* cut, const char* month, const char* day) {
        return PaymentTerms{txt(cut), txt(month), txt(day), txt("都度")};
    };
    QTest::newRow("month end, next month end") << t("末日", "翌月", "末日") << d("2026/01/31") << d("2026/02/28");
    QTest::newRow("into a leap February") << t("末日", "翌々月", "末日") << d("2023/12/01") << d("2024/02/29");
    QTest::newRow("on the cut-off day") << t("20", "翌月", "10") << d("2026/01/20") << d("2026/02/10");
    QTest::newRow("the day after the cut-off") << t("20", "翌月", "10") << d("2026/01/21") << d("2026/03/10");
    QTest::newRow("cut-off into the next year") << t("15", "翌月", "末日") << d("2026/12/20") << d("2027/02/28");
    QTest::newRow("this month, after the cut-off") << t("10", "当月", "25") << d("2026/03/01") << d("2026/03/25");
    QTest::newRow("this month's day before the cut-off") << t("20", "当月", "5") << d("2026/01/10") << d("2026/02/05");
    QTest::newRow("month end paid the same day") << t("末日", "当月", "末日") << d("2026/02/03") << d("2026/02/28");
    QTest::newRow("terms not set") << PaymentTerms{} << d("2026/01/10") << QDate();
}

void PaymentsTest::dueDateFromTerms() {
    QFETCH(PaymentTerms, terms);
    QFETCH(QDate, invoiceDate);
    QFETCH(QDate, due);
    QCOMPARE(TermsDueDate(terms, invoiceDate), due);
}

void PaymentsTest::unsoundTermsAreNamed() {
    QVERIFY(TermsProblem({}).isEmpty());
    QVERIFY(TermsProblem({txt("末日"), txt("翌月"), txt("末日"), txt("締め")}).isEmpty());
    for (const PaymentTerms& bad :
         {PaymentTerms{txt("31"), txt("翌月"), txt("末日"), {}}, PaymentTerms{txt("末日"), {}, {}, {}},
          PaymentTerms{{}, {}, {}, txt("締め")}, PaymentTerms{txt("10"), txt("来月"), txt("10"), {}}})
        QVERIFY2(!TermsProblem(bad).isEmpty(), qPrintable(bad.締日 + bad.支払月));
    QVERIFY(!TermsDueDate({txt("10"), txt("来月"), txt("10"), {}}, d("2026/01/01")).isValid());
}

void PaymentsTest::paymentLimits_data() {
    QTest::addColumn<qint64>("amount");
    QTest::addColumn<qint64>("fee");
    QTest::addColumn<bool>("taken");
    QTest::newRow("nothing") << qint64(0) << qint64(0) << false;
    QTest::newRow("one yen") << qint64(1) << qint64(0) << true;
    QTest::newRow("the most") << qint64(100'000'000'000) << qint64(0) << true;
    QTest::newRow("over the most") << qint64(100'000'000'001) << qint64(0) << false;
    QTest::newRow("negative") << qint64(-5000) << qint64(0) << false;
    QTest::newRow("negative fee") << qint64(5000) << qint64(-440) << false;
}

void PaymentsTest::paymentLimits() {
    QFETCH(qint64, amount);
    QFETCH(qint64, fee);
    QFETCH(bool, taken);
    TestData data;
    auto main = data.openMain();
    auto work = data.openWork();
    registerInvoice(*main, *work, 1, "2026/01/10", "山田商店", 10000, "");
    bool stored = true;
    try {
        AddPayment(*main, payment(1, "2026/01/20", amount, fee), QDateTime::currentDateTime());
    } catch (const DbError&) {
        stored = false;
    }
    QCOMPARE(stored, taken);
    QCOMPARE(ReadPayments(*main, 1).size(), taken ? 1 : 0);
}

void PaymentsTest::receivablesOfAMonth() {
    TestData data;
    auto main = data.openMain();
    auto work = data.openWork();
    registerInvoice(*main, *work, 1, "2026/01/10", "A商事", 110000, "2026/02/28");
    registerInvoice(*main, *work, 2, "2026/02/15", "A商事", 55000, "2026/03/31");
    registerInvoice(*main, *work, 3, "2025/11/20", "B工業", 33000, "2025/12/31");
    registerInvoice(*main, *work, 4, "2026/02/03", "B工業", 22000, "2026/02/10");
    registerInvoice(*main, *work, 5, "2026/03/01", "A商事", 99000, ""); // after the month
    const QDateTime now = QDateTime::currentDateTime();
    AddPayment(*main, payment(1, "2026/01/31", 50000), now);
    AddPayment(*main, payment(1, "2026/02/27", 59560, 440), now); // the fee settles it
    AddPayment(*main, payment(4, "2026/03/02", 22000, 0, txt("現金")), now); // after the month
    RemovePayment(*main, AddPayment(*main, payment(3, "2026/02/20", 1000), now), now); // taken back
    QCOMPARE(dump(*main, txt("入金")).size(), 4); // the one taken back is kept

    // February, looked at in March: aged as of 02/28. Worked by hand:
    // A: 110,000 − 50,000 brought forward; 55,000 sold; 59,560 + 440 received; 55,000 not yet due.
    // B: 33,000 brought forward and 59 days late; 22,000 sold and 18 days late; nothing received.
    const QList<Receivable> rows = ReadReceivables(*main, d("2026/02/01"), d("2026/03/15"));
    QCOMPARE(rows.size(), 2);
    QCOMPARE(ReceivableCsvRow(rows[0]), (QStringList{txt("A商事"), txt("60000"), txt("55000"), txt("60000"),
                                                     txt("55000"), txt("55000"), txt("0"), txt("0"), txt("0")}));
    QCOMPARE(ReceivableCsvRow(rows[1]), (QStringList{txt("B工業"), txt("33000"), txt("22000"), txt("0"),
                                                     txt("55000"), txt("0"), txt("22000"), txt("33000"), txt("0")}));

    // The list: every payment counts, states on 03/15.
    BookQuery q;
    q.today = d("2026/03/15");
    const std::vector<BookRow> all = Search伝票(*main, q, {}, 0, -1);
    QStringList states;
    for (const BookRow& r : all)
        states << r.入金状態 + u' ' + r.残高->toString();
    QCOMPARE(states, (QStringList{txt("期限超過 33000"), txt("入金済 0"), txt("入金済 0"), txt("未入金 55000"),
                                  txt("未入金 99000")}));
    const QList<std::pair<BookQuery::Paid, QList<qint32>>> filters = {
        {BookQuery::Paid::Open, {3, 2, 5}}, {BookQuery::Paid::Overdue, {3}}, {BookQuery::Paid::Settled, {1, 4}}};
    for (const auto& [paid, expected] : filters) {
        q.paid = paid;
        QCOMPARE(numbers(Search伝票(*main, q, {}, 0, -1)), expected);
    }
    q.customerExact = txt("A商事");
    QCOMPARE(numbers(Search伝票(*main, q, {}, 0, -1)), (QList<qint32>{1}));
    q.paid = BookQuery::Paid::Open;
    QCOMPARE(numbers(Search伝票(*main, q, {}, 0, -1)), (QList<qint32>{2, 5}));

    // The journal takes the payments of its period, cash apart.
    const QList<Payment> feb = ReadPeriodPayments(*main, {}, d("2026/02/01"), d("2026/03/31"));
    QCOMPARE(feb.size(), 2);
    QCOMPARE(feb[0].手数料, yen(440));
    QVERIFY(!feb[0].現金 && feb[1].現金);
    QCOMPARE(feb[1].顧客名, txt("B工業"));
}

void PaymentsTest::monthlyCutOff() {
    TestData data;
    auto main = data.openMain();
    main->executeRaw(txt("INSERT INTO 顧客マスタ (顧客名, 締日, 支払月, 支払日, 請求方法) VALUES"
                         " ('月締商事', '末日', '翌月', '末日', '締め'), ('都度商店', NULL, NULL, NULL, '都度')"));
    // January: two notes of 1,005 at each rate. Each note's own tax (切り捨て) is 100 + 80; over
    // the month it is 201 + 160, one yen more than the notes add up to.
    deliver(*main, 1, "2026/01/10", "月締商事", 1005, 1005);
    deliver(*main, 2, "2026/01/20", "月締商事", 1005, 1005);
    deliver(*main, 3, "2026/01/25", "都度商店", 5000, 0);
    QList<CutOffCandidate> jan = FindCutOff(*main, d("2026/01/31"), basis);
    QCOMPARE(jan.size(), 1); // the customer billed each time is never cut off
    QCOMPARE(figures(jan[0].figures), (QStringList{txt("0"), txt("0"), txt("0"), txt("4020"), txt("361"), txt("4381")}));
    const QDateTime now = QDateTime::currentDateTime();
    const QList<qint32> made = RunCutOff(*main, d("2026/01/31"), {txt("月締商事")}, basis, now);
    const InvoiceHeader summary = *Read請求書ヘッダ(*main, made.value(0));
    QCOMPARE(summary.合計, yen(4381));
    QCOMPARE(summary.消費税10, yen(201));
    QCOMPARE(summary.消費税8, yen(160));
    QCOMPARE(summary.支払期限, txt("2026/02/28"));
    // The same date again is refused, and finds nothing left to bill.
    QVERIFY_THROWS_EXCEPTION(DbError, RunCutOff(*main, d("2026/01/31"), {txt("月締商事")}, basis, now));
    QVERIFY(!FindCutOff(*main, d("2026/01/31"), basis)[0].refused.isEmpty());

    // February: 3,500 paid and a 440 fee kept by the bank; 441 carried over; one note of 10,000.
    AddPayment(*main, payment(made[0], "2026/02/10", 3500, 440), now);
    deliver(*main, 4, "2026/02/05", "月締商事", 10000, 0);
    deliver(*main, 5, "2026/03/01", "月締商事", 7000, 0); // after the cut-off
    const QList<CutOffCandidate> feb = FindCutOff(*main, d("2026/02/28"), basis);
    QCOMPARE(figures(feb[0].figures),
             (QStringList{txt("4381"), txt("3940"), txt("441"), txt("10000"), txt("1000"), txt("11441")}));
    QCOMPARE(feb[0].notes.size(), 1);
    const qint32 febInvoice = RunCutOff(*main, d("2026/02/28"), {txt("月締商事")}, basis, now).value(0);
    QVERIFY(IsCutOffInvoice(*main, febInvoice));
    // Its note stays as billed, neither corrected nor deleted, until the cut-off is undone.
    const QStringList billed = dumpMain(*main);
    const std::function<void()> correct = [&] { deliver(*main, 4, "2026/02/05", "月締商事", 9000, 0); },
                                remove = [&] { Delete請求書(*main, 4, Kind納品書); };
    for (const auto& change : {correct, remove})
        try {
            change();
            QFAIL("a billed note changed");
        } catch (const DbError& e) {
            QCOMPARE(e.text, txt("納品書 4 は 2026/02/28 の請求締めで請求済みのため、訂正・削除できません。"
                                 "訂正するときは、先に請求締めを取り消してください。"));
        }
    QCOMPARE(dumpMain(*main), billed);

    // Only the latest can be undone, and only while nothing was paid on it; its note is free again.
    UndoCutOff(*main, txt("月締商事"), now);
    QVERIFY(!Read請求書ヘッダ(*main, febInvoice) && !IsCutOffInvoice(*main, febInvoice));
    QCOMPARE(FindCutOff(*main, d("2026/02/28"), basis)[0].notes.size(), 1);
    correct();
    remove();
    QVERIFY_THROWS_EXCEPTION(DbError, UndoCutOff(*main, txt("月締商事"), now)); // January's was paid
}

void PaymentsTest::cutOffKilledHalfWayBillsNothing() {
    TestData data;
    auto main = data.openMain();
    main->executeRaw(txt("INSERT INTO 顧客マスタ (顧客名, 締日, 支払月, 支払日, 請求方法) VALUES"
                         " ('A商事', '20', '翌月', '10', '締め'), ('B工業', '20', '当月', '末日', '締め')"));
    deliver(*main, 1, "2026/01/10", "A商事", 1000, 0);
    deliver(*main, 2, "2026/01/11", "B工業", 2000, 0);
    const QStringList before = dumpMain(*main) + dump(*main, txt("請求締め")) + dump(*main, txt("締め明細"));
    // Stopped after the first customer was billed, before the second.
    const auto stop = [](const QString& customer) {
        if (customer == txt("B工業"))
            throw DbError(0, txt("中断"));
    };
    QVERIFY_THROWS_EXCEPTION(DbError, RunCutOff(*main, d("2026/01/20"), {txt("A商事"), txt("B工業")}, basis,
                                                QDateTime::currentDateTime(), stop));
    QCOMPARE(dumpMain(*main) + dump(*main, txt("請求締め")) + dump(*main, txt("締め明細")), before);
    QCOMPARE(FindCutOff(*main, d("2026/01/20"), basis).size(), 2);
}

QTEST_GUILESS_MAIN(PaymentsTest)
#include "test_payments.moc"
