#include "helpers.h"
#include "invoice/invoice_io.h"
#include "invoice/lines.h"
#include "issued/stored.h"
#include "journal/stored.h"
#include "support/testdb.h"

#include <QtTest>

// What the exports read from the book and keep in it.
class TestStored : public QObject {
    Q_OBJECT

    // Registers (or corrects) an invoice of one line.
    static void registerInvoice(Database& main, Database& work, qint32 n, const char* date, qint64 amount) {
        Clear明細ワーク(work);
        setLine(work, 1, txt("品"), Value(2.0), txt("個"), Value(Currency::fromWhole(amount / 2)),
                Value(Currency::fromWhole(amount)));
        InvoiceHeader h;
        h.number = n;
        h.date = txt(date);
        h.顧客名 = txt("山田商店");
        h.支払期限 = txt("2024/05/31");
        h.税抜計 = h.合計 = Currency::fromWhole(amount);
        Entry請求書(main, work, h);
    }

  private slots:
    // Only invoices standing in the book now, as they stand: a deleted one never, a corrected one
    // with its new lines; and each change since an export is named, in the format it went out in.
    void liveInvoicesAndCorrectionsSinceExport() {
        TestData data;
        auto main = data.openMain();
        auto work = data.openWork();
        registerInvoice(*main, *work, 1, "2024/04/10", 1000);
        registerInvoice(*main, *work, 2, "2024/04/12", 2000);
        registerInvoice(*main, *work, 3, "2024/04/20", 3000);
        registerInvoice(*main, *work, 4, "2024/05/02", 4000);
        const QString yayoi = JournalFormatNames[0];
        RecordJournalExport(*main,
                            {yayoi, QDate(2024, 4, 1), QDate(2024, 4, 30), QDateTime(QDate(2024, 5, 1), QTime(9, 0))});
        // Changes happen now, after that export: 2 is deleted, 3 corrected and moved into May.
        Delete請求書(*main, 2);
        registerInvoice(*main, *work, 3, "2024/05/03", 3600);

        BookQuery all;
        all.withDeleted = true;
        QList<qint32> numbers;
        for (const IssuedInvoice& inv : ReadIssued(*main, all))
            numbers << inv.header.number;
        QCOMPARE(numbers, (QList<qint32>{1, 4, 3})); // by date, then number
        const IssuedInvoice three = *ReadIssued(*main, 3);
        QCOMPARE(three.header.date, txt("2024/05/03"));
        QCOMPARE(three.lines.size(), 1);
        QCOMPARE(three.lines[0].金額, std::optional(Currency::fromWhole(3600)));
        QCOMPARE(three.lines[0].数量, std::optional(2.0));
        QCOMPARE(three.lines[0].税率, 10);
        QCOMPARE(three.支払期日, std::optional(QDate(2024, 5, 31)));
        QVERIFY(!ReadIssued(*main, 2));

        const auto changed = [&](const QString& format, QDate from, QDate to) {
            return ChangedSinceExport(ReadJournalExports(*main), format, from, to, ReadInvoiceChanges(*main));
        };
        // April went out before 2 was deleted and 3 was moved out of it.
        QCOMPARE(changed(yayoi, QDate(2024, 4, 1), QDate(2024, 4, 30)), (QList<qint32>{2, 3}));
        // May and the other programs never went out: nothing to warn of.
        QCOMPARE(changed(yayoi, QDate(2024, 5, 1), QDate(2024, 5, 31)), QList<qint32>{});
        QCOMPARE(changed(JournalFormatNames[1], QDate(2024, 4, 1), QDate(2024, 4, 30)), QList<qint32>{});
        // After the next export of April the same changes are old news.
        RecordJournalExport(*main,
                            {yayoi, QDate(2024, 4, 1), QDate(2024, 4, 30), QDateTime::currentDateTime().addSecs(1)});
        QCOMPARE(changed(yayoi, QDate(2024, 4, 1), QDate(2024, 4, 30)), QList<qint32>{});
    }

    // An office's names come back as saved; a blank or standard name is not stored and keeps the
    // program's own.
    void journalNamesRoundTrip() {
        TestData data;
        auto main = data.openMain();
        QList<JournalNames> names;
        for (int f = 0; f < JournalFormatNames.size(); ++f)
            names << DefaultNames(JournalFormat(f));
        names[1].売上高 = txt("製品売上高");
        names[1].売掛金 = txt("  ");
        SaveJournalNames(*main, names);
        SaveJournalNames(*main, names); // saving again replaces, never adds
        QCOMPARE(ReadJournalNames(*main, JournalFormat::Freee).売上高, txt("製品売上高"));
        QCOMPARE(ReadJournalNames(*main, JournalFormat::Freee).売掛金, txt("売掛金"));
        QCOMPARE(ReadJournalNames(*main, JournalFormat::Yayoi), DefaultNames(JournalFormat::Yayoi));
        QCOMPARE(main->openRecordset(txt("select * from 仕訳設定"))->recordCount(), 1);
    }
};

int runStoredTests(int argc, char** argv) {
    TestStored t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_stored.moc"
