#include "exchange/csv.h"
#include "invoice/qualified.h"
#include "journal/formats.h"

#include <QRandomGenerator>
#include <QStringDecoder>
#include <QtTest>

namespace {

const QStringList kCustomers = {QStringLiteral("株式会社一"), QStringLiteral("二商店"), QStringLiteral("有限会社三"),
                                QStringLiteral("四, \"引用\" 屋")};

std::int64_t roundHalfAway(std::int64_t num, std::int64_t den) {
    return (num >= 0 ? num + den / 2 : num - den / 2) / den;
}

// An invoice as the window registers it: lines, and the boxes the totals routines put on it.
IssuedInvoice randomInvoice(QRandomGenerator& g, qint32 number) {
    IssuedInvoice inv;
    InvoiceHeader& h = inv.header;
    h.number = number;
    h.date = QDate(2024, 4, 1).addDays(g.bounded(30)).toString(QStringLiteral("yyyy/MM/dd"));
    h.顧客名 = kCustomers[g.bounded(kCustomers.size())];
    h.税率方式 = g.bounded(6) == 0 ? Scheme5 : Scheme10_8;
    const int category = g.bounded(10);
    h.税区分 = category < 6 ? QStringLiteral("外税") : category < 9 ? QStringLiteral("内税") : QStringLiteral("非課税");
    h.端数処理 = RoundingModes[g.bounded(3)];
    RateSums s;
    std::int64_t taxable = 0, all = 0;
    for (int i = 0, n = 1 + g.bounded(6); i < n; ++i) {
        const int rate = QList<int>{10, 10, 8, 0}[g.bounded(4)];
        const double qty = g.bounded(4) == 0 ? g.bounded(1, 40) / 4.0 : g.bounded(1, 20);
        const std::int64_t price = g.bounded(8) == 0 ? -g.bounded(1, 3000) : g.bounded(1, 20000);
        const std::int64_t amount = std::llround(qty * price);
        inv.lines << IssuedLine{QStringLiteral("品%1").arg(i), qty, QStringLiteral("個"), Currency::fromWhole(price),
                                Currency::fromWhole(amount),   rate};
        all += amount;
        (rate == 8   ? s.s8
         : rate == 0 ? s.exempt
                     : s.s10) = (rate == 8   ? s.s8
                                 : rate == 0 ? s.exempt
                                             : s.s10) +
                                Currency::fromWhole(amount);
        s.has8 = s.has8 || rate == 8;
        s.has10 = s.has10 || rate == 10;
        taxable += rate == 0 ? 0 : amount;
    }
    if (h.税率方式 == Scheme10_8) {
        const QualifiedTotals q = CalcQualified(s, h.税区分, h.端数処理);
        h.対象10 = q.対象10;
        h.消費税10 = q.消費税10;
        h.対象8 = q.対象8;
        h.消費税8 = q.消費税8;
        h.消費税 = q.消費税;
        h.合計 = q.合計;
    } else if (h.税区分 == QStringLiteral("外税")) {
        h.消費税 = Currency::fromWhole(roundHalfAway(taxable * 5, 100));
        h.合計 = Currency::fromWhole(all) + *h.消費税;
    } else {
        if (h.税区分 == QStringLiteral("内税"))
            h.消費税 = Currency::fromWhole(roundHalfAway(taxable * 5, 105));
        h.合計 = Currency::fromWhole(all);
    }
    return inv;
}

struct Ledger {
    QHash<QString, std::int64_t> balance; // debit minus credit, per account
    bool nonNegative = true;
    void post(const QString& debit, const QString& credit, const QString& amount) {
        const std::int64_t a = amount.toLongLong();
        nonNegative = nonNegative && a >= 0;
        balance[debit] += a;
        balance[credit] -= a;
    }
};

} // namespace

class TestBook : public QObject {
    Q_OBJECT
  private slots:
    // A seeded random book through each format: every slip well formed and balanced, the sales equal
    // to the invoices' totals, the receivable left with what was not paid.
    void randomBookBalancesInEveryFormat() {
        QRandomGenerator g(20240415);
        QList<IssuedInvoice> invoices;
        QList<Payment> payments;
        std::int64_t invoiced = 0, received = 0, fees = 0;
        for (qint32 n = 1; n <= 300; ++n) {
            invoices << randomInvoice(g, n);
            const std::int64_t total = invoices.last().header.合計.value_or(Currency()).truncated();
            invoiced += total;
            if (total > 1000 && g.bounded(2) == 0) {
                const std::int64_t fee = QList<std::int64_t>{0, 220, 440}[g.bounded(3)];
                payments << Payment{QDate(2024, 5, 31),
                                    invoices.last().header.顧客名,
                                    n,
                                    Currency::fromWhole(total - fee),
                                    Currency::fromWhole(fee),
                                    g.bounded(5) == 0};
                received += total - fee;
                fees += fee;
            }
        }
        for (const JournalFormat f : {JournalFormat::Yayoi, JournalFormat::Freee, JournalFormat::MoneyForward}) {
            const JournalNames names = DefaultNames(f);
            const JournalFile file = MakeJournal(f, invoices, payments, names);
            QVERIFY2(file.problems.isEmpty(), qPrintable(file.problems.join(u'\n')));
            const QString text = f == JournalFormat::Yayoi ? QStringDecoder("windows-31j").decode(file.bytes)
                                                           : decodeCsvFile(file.bytes).text;
            QList<CsvRecord> records = parseCsv(text);
            Ledger ledger;
            if (f == JournalFormat::Yayoi) {
                QString open; // the flag sequence of the slip being read
                for (const CsvRecord& r : records) {
                    QCOMPARE(r.fields.size(), 25);
                    const QString flag = r.fields[0];
                    QVERIFY(open.isEmpty() ? (flag == QStringLiteral("2111") || flag == QStringLiteral("2110"))
                                           : (flag == QStringLiteral("2100") || flag == QStringLiteral("2101")));
                    open = flag == QStringLiteral("2110") || flag == QStringLiteral("2100") ? flag : QString();
                    QCOMPARE(r.fields[8], r.fields[14]);
                    ledger.post(r.fields[4], r.fields[10], r.fields[8]);
                }
                QVERIFY(open.isEmpty());
            } else if (f == JournalFormat::MoneyForward) {
                records.removeFirst();
                QString slip, date;
                for (const CsvRecord& r : records) {
                    QCOMPARE(r.fields.size(), 27);
                    if (r.fields[0] == slip)
                        QCOMPARE(r.fields[1], date); // one compound entry shares its date
                    QVERIFY(r.fields[0] == slip || r.fields[0].toInt() == slip.toInt() + 1);
                    slip = r.fields[0];
                    date = r.fields[1];
                    QCOMPARE(r.fields[8], r.fields[16]);
                    ledger.post(r.fields[2], r.fields[10], r.fields[8]);
                }
            } else {
                // freee posts an unsettled income against 売掛金 itself and a settlement through the account.
                records.removeFirst();
                for (const CsvRecord& r : records) {
                    QCOMPARE(r.fields.size(), 21);
                    const bool income = r.fields[0] == QStringLiteral("収入");
                    const QString settledTo = r.fields[19].isEmpty() ? names.売掛金 : r.fields[19];
                    if (income)
                        ledger.post(settledTo, r.fields[6], r.fields[8]);
                    else
                        ledger.post(r.fields[6], settledTo, r.fields[8]);
                    if (!r.fields[19].isEmpty())
                        QCOMPARE(r.fields[20], r.fields[8]);
                }
            }
            QVERIFY(f == JournalFormat::Freee || ledger.nonNegative);
            std::int64_t sum = 0;
            for (const std::int64_t b : std::as_const(ledger.balance))
                sum += b;
            QCOMPARE(sum, 0);
            QCOMPARE(-ledger.balance.value(names.売上高), invoiced);
            QCOMPARE(ledger.balance.value(names.普通預金) + ledger.balance.value(names.現金), received);
            QCOMPARE(ledger.balance.value(names.支払手数料), fees);
            QCOMPARE(ledger.balance.value(names.売掛金), invoiced - received - fees);
        }
    }
};

int runBookTests(int argc, char** argv) {
    TestBook t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_book.moc"
