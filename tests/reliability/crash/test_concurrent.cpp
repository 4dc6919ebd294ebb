// Two writers register at the same time into one main file, each with its own work file, as
// the register routine may be run beside another program on the books.
#include "books.h"
#include "ledger.h"
#include "writer_process.h"

#include "invoice/lines.h"
#include "support/testdb.h"

#include <QRandomGenerator>
#include <QtTest>

class ConcurrentTest : public QObject {
    Q_OBJECT
  private slots:
    void twoWritersLoseNothing();
};

void ConcurrentTest::twoWritersLoseNothing() {
    constexpr int PerWriter = 150;
    const quint32 seed = QRandomGenerator::global()->generate();
    qInfo("concurrent writers: seed %u", seed);
    TestData data;
    const QStringList works = {data.workPath(), data.folder() + QStringLiteral("VornisaWork2.mdb")};
    QVERIFY(QFile::copy(works[0], works[1]));
    for (const QString& w : works)
        Clear明細ワーク(*Database::open(w, {}, Durability::Scratch));

    std::unique_ptr<QProcess> writers[2];
    for (int i = 0; i < 2; ++i) {
        writers[i] = startWriter({QStringLiteral("batch"), data.mainPath(), works[i], QString::number(seed + i),
                                  QString::number(i), data.folder() + QStringLiteral("ledger%1").arg(i),
                                  QString::number(PerWriter)});
        QVERIFY(writers[i]);
        QVERIFY(waitReady(*writers[i]));
    }
    for (auto& w : writers)
        w->write("go\n");
    LedgerState ledgers[2];
    for (int i = 0; i < 2; ++i) {
        QVERIFY(writers[i]->waitForFinished(300000));
        // Exit code 2 is a refusal by the engine, such as a lock held past the busy timeout.
        QVERIFY2(writers[i]->exitStatus() == QProcess::NormalExit && writers[i]->exitCode() == 0,
                 writers[i]->readAllStandardError().constData());
        readLedger(data.folder() + QStringLiteral("ledger%1").arg(i), ledgers[i]);
        QCOMPARE(ledgers[i].registered, PerWriter);
        QVERIFY(!ledgers[i].pending);
    }

    Books books;
    const QStringList problems = checkBooks(data.mainPath(), works[0], books);
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QStringLiteral("; "))));
    // A number both wrote ends with whichever writer registered it last; none is lost or mixed.
    QSet<qint32> numbers(ledgers[0].stored.keyBegin(), ledgers[0].stored.keyEnd());
    numbers.unite(QSet<qint32>(ledgers[1].stored.keyBegin(), ledgers[1].stored.keyEnd()));
    QCOMPARE(books.tags.size(), numbers.size());
    for (const qint32 n : numbers) {
        const QString found = books.tags.value(n);
        QVERIFY2(found == ledgers[0].stored.value(n, QStringLiteral("-")) ||
                     found == ledgers[1].stored.value(n, QStringLiteral("-")),
                 qPrintable(QStringLiteral("invoice %1 holds %2").arg(n).arg(found)));
    }
    QCOMPARE(books.counter, qMax(ledgers[0].maxRegistered, ledgers[1].maxRegistered));
    qInfo("concurrent writers: %d registers each, %lld invoices with %d lines stored", PerWriter,
          static_cast<long long>(books.tags.size()), books.lines);
}

QTEST_GUILESS_MAIN(ConcurrentTest)
#include "test_concurrent.moc"
