#include "journal/formats.h"
#include "sample.h"
#include "store/schema.h"
#include "support/testdb.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestFormats : public QObject {
    Q_OBJECT
  private slots:
    // Heading, one invoice at two rates and its payment with a fee, byte for byte as worked out by hand
    // from each program's help page (encoding, heading, column order, date form, flags).
    void handWorkedFiles_data() {
        QTest::addColumn<int>("format");
        QTest::addColumn<QString>("file");
        QTest::newRow("弥生会計") << int(JournalFormat::Yayoi) << QStringLiteral("yayoi.csv");
        QTest::newRow("freee") << int(JournalFormat::Freee) << QStringLiteral("freee.csv");
        QTest::newRow("マネーフォワード") << int(JournalFormat::MoneyForward) << QStringLiteral("moneyforward.csv");
    }
    void handWorkedFiles() {
        QFETCH(int, format);
        QFETCH(QString, file);
        const auto f = JournalFormat(format);
        const JournalFile out = MakeJournal(f, {SampleInvoice()}, {SamplePayment()}, DefaultNames(f));
        QVERIFY2(out.problems.isEmpty(), qPrintable(out.problems.join(u'\n')));
        QFile expected(QStringLiteral(JOURNAL_EXPECTED "/") + file);
        QVERIFY(expected.open(QIODevice::ReadOnly));
        QCOMPARE(out.bytes, expected.readAll());

        QTemporaryDir dir;
        const QString path = dir.filePath(file);
        QString reason;
        QVERIFY2(WriteJournalFile(path, out.bytes, &reason), qPrintable(reason));
        QFile written(path);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll(), out.bytes);
    }

    void officeNamesReplaceTheStandardOnes() {
        const JournalNames n =
            NamesFromRows(JournalFormat::Yayoi, {{QStringLiteral("売上高"), QStringLiteral("製品売上高")},
                                                 {QStringLiteral("対象外"), QStringLiteral("  ")}});
        JournalNames expected = DefaultNames(JournalFormat::Yayoi);
        expected.売上高 = QStringLiteral("製品売上高");
        QCOMPARE(n, expected);
        const QString text =
            QStringDecoder("windows-31j").decode(MakeJournal(JournalFormat::Yayoi, {SampleInvoice()}, {}, n).bytes);
        QCOMPARE(text.count(QStringLiteral(",製品売上高,")), 2);
    }

    // An invoice whose stored boxes differ from its lines would post figures nobody printed.
    void aDisagreeingInvoiceStopsTheExport() {
        IssuedInvoice inv = SampleInvoice();
        inv.header.消費税8 = Currency::fromWhole(208);
        const JournalFile out = MakeJournal(JournalFormat::Freee, {inv}, {}, DefaultNames(JournalFormat::Freee));
        QVERIFY(out.bytes.isEmpty());
        QCOMPARE(out.problems.size(), 1);
        QVERIFY(out.problems[0].startsWith(QStringLiteral("請求書 101")));
    }

    void shiftJisMarksAreMappedAndMissingCharactersNamed() {
        IssuedInvoice inv = SampleInvoice();
        inv.header.顧客名 = QStringLiteral("〜商店");
        const JournalFile mapped = MakeJournal(JournalFormat::Yayoi, {inv}, {}, DefaultNames(JournalFormat::Yayoi));
        QVERIFY(mapped.problems.isEmpty());
        QVERIFY(mapped.bytes.contains(QByteArray("\x81\x60\x8f\xa4\x93\x58"))); // ～商店 in CP932

        inv.header.顧客名 = QStringLiteral("𠮷野〜");
        const JournalFile lacking = MakeJournal(JournalFormat::Yayoi, {inv}, {}, DefaultNames(JournalFormat::Yayoi));
        QVERIFY(lacking.bytes.isEmpty());
        QCOMPARE(lacking.problems.size(), 1);
        QVERIFY(lacking.problems[0].contains(QStringLiteral("「𠮷」")));
    }

    void invoicesChangedSinceTheLastExport() {
        const QString yayoi = JournalFormatNames[0];
        const QDateTime first(QDate(2024, 5, 1), QTime(9, 0)), second(QDate(2024, 5, 10), QTime(9, 0));
        const QList<JournalExportRecord> log = {{yayoi, QDate(2024, 4, 1), QDate(2024, 4, 30), first},
                                                {yayoi, QDate(2024, 4, 1), QDate(2024, 4, 15), second},
                                                {JournalFormatNames[1], QDate(2024, 4, 1), QDate(2024, 4, 30), second}};
        const QList<InvoiceChange> changes = {
            {1, QDate(2024, 4, 10), QDateTime(QDate(2024, 5, 5), QTime(12, 0))}, // before the second export of its days
            {2, QDate(2024, 4, 20),
             QDateTime(QDate(2024, 5, 5), QTime(12, 0))}, // after the first, the last of its days
            {3, QDate(2024, 4, 20), QDateTime(QDate(2024, 4, 28), QTime(12, 0))}, // before any export
            {4, QDate(2024, 5, 20), QDateTime(QDate(2024, 6, 1), QTime(12, 0))},  // never exported
            {2, QDate(2024, 4, 20), QDateTime(QDate(2024, 5, 6), QTime(12, 0))},  // named once
            {5, QDate(2024, 4, 12), QDateTime(QDate(2024, 5, 11), QTime(12, 0))}};
        QCOMPARE(ChangedSinceExport(log, yayoi, QDate(2024, 4, 1), QDate(2024, 5, 31), changes), (QList<qint32>{2, 5}));
        QCOMPARE(ChangedSinceExport(log, JournalFormatNames[2], QDate(2024, 4, 1), QDate(2024, 5, 31), changes),
                 QList<qint32>{});
    }

    // The delivered files hold what the journal and the digital invoice store, one name per item.
    void schemaHoldsTheJournalTables() {
        TestData data;
        auto main = data.openMain();
        auto work = data.openWork();
        main->executeRaw(QStringLiteral(
            "INSERT INTO 仕訳設定 VALUES ('弥生会計', '売上高', '製品売上高');"
            "INSERT INTO 顧客マスタ (顧客名, PeppolID, 郵便番号, 住所) VALUES ('A', '0188:1', '1', 'x');"
            "INSERT INTO 仕訳出力記録 VALUES ('freee', '2024/04/01', '2024/04/30', '2024/05/01 09:00:00');"));
        QVERIFY_THROWS_EXCEPTION(
            DbError, main->executeRaw(QStringLiteral("INSERT INTO 仕訳設定 VALUES ('弥生会計', '売上高', 'x');")));
        work->executeRaw(
            QStringLiteral("INSERT INTO w顧客マスタ (顧客名, PeppolID, 郵便番号, 住所) VALUES ('A', 'p', 'z', 'a');"));
    }
};

int runFormatsTests(int argc, char** argv) {
    TestFormats t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_formats.moc"
