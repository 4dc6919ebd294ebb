// Kills a writer with SIGKILL at random moments while it registers and deletes invoices,
// and after every kill checks the books the next start would find.
#include "books.h"
#include "ledger.h"
#include "writer_process.h"

#include "invoice/lines.h"
#include "support/testdb.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSet>
#include <QThread>
#include <QtTest>
#include <optional>

class KillTest : public QObject {
    Q_OBJECT
  private slots:
    void killedWriterLeavesBooksWhole();
};

namespace {

int fromEnvironment(const char* name, int fallback) {
    bool ok = false;
    const int v = qEnvironmentVariableIntValue(name, &ok);
    return ok ? v : fallback;
}

// What a number holds: a registration's tag, or nothing.
using Held = std::optional<QString>;

QString shown(const Held& h) {
    return h ? *h : QStringLiteral("nothing");
}

} // namespace

void KillTest::killedWriterLeavesBooksWhole() {
    const int kills = fromEnvironment("VORNISA_KILLS", 300);
    bool seeded = false;
    const quint32 given = qgetenv("VORNISA_CRASH_SEED").toUInt(&seeded);
    const quint32 seed = seeded ? given : QRandomGenerator::global()->generate();
    qInfo("kill test: %d kills, seed %u (set VORNISA_CRASH_SEED to repeat, VORNISA_KILLS for more kills)", kills, seed);
    QRandomGenerator rng(seed);
    TestData data;
    Clear明細ワーク(*data.openWork()); // as start-up leaves it

    LedgerState ledger;
    int duringOperation = 0, tookEffect = 0, beforeReady = 0;
    qint64 compared = 0;
    Books books;
    QElapsedTimer clock;
    clock.start();
    for (int k = 0; k < kills; ++k) {
        const QString where = QStringLiteral("kill %1 of seed %2: ").arg(k).arg(seed);
        const QString ledgerPath = data.folder() + QStringLiteral("ledger%1").arg(k);
        auto writer = startWriter({QStringLiteral("loop"), data.mainPath(), data.workPath(),
                                   QString::number(rng.generate()), QString::number(k), ledgerPath});
        QVERIFY(writer);
        // Now and then the kill lands while the writer is still opening the files.
        if (rng.bounded(10) == 0) {
            QThread::usleep(rng.bounded(20000));
            ++beforeReady;
        } else {
            QVERIFY2(waitReady(*writer), qPrintable(where + writer->readAllStandardError()));
            QThread::usleep(rng.bounded(40000));
        }
        writer->kill();
        QVERIFY(writer->waitForFinished(30000));
        // A writer that ended on its own met an error it should not have.
        QVERIFY2(writer->exitStatus() == QProcess::CrashExit, qPrintable(where + writer->readAllStandardError()));

        readLedger(ledgerPath, ledger);
        const QStringList problems = checkBooks(data.mainPath(), data.workPath(), books);
        QVERIFY2(problems.isEmpty(), qPrintable(where + problems.join(QStringLiteral("; "))));

        // Every number holds what the ledger says; the one under way may hold either outcome.
        const std::optional<LedgerOp> pending = ledger.pending;
        QSet<qint32> numbers(ledger.stored.keyBegin(), ledger.stored.keyEnd());
        numbers.unite(QSet<qint32>(books.tags.keyBegin(), books.tags.keyEnd()));
        if (pending)
            numbers << pending->number;
        for (const qint32 n : numbers) {
            const Held expected = ledger.stored.contains(n) ? Held(ledger.stored[n]) : Held();
            const Held found = books.tags.contains(n) ? Held(books.tags[n]) : Held();
            const bool asPending = pending && pending->number == n && found == pending->tag;
            QVERIFY2(found == expected || asPending,
                     qPrintable(where + QStringLiteral("invoice %1 holds %2, the writer left %3")
                                            .arg(n)
                                            .arg(shown(found), shown(expected))));
            ++compared;
        }
        if (pending) {
            ++duringOperation;
            const Held found = books.tags.contains(pending->number) ? Held(books.tags[pending->number]) : Held();
            if (found == pending->tag) {
                const Held before =
                    ledger.stored.contains(pending->number) ? Held(ledger.stored[pending->number]) : Held();
                if (found != before)
                    ++tookEffect;
                ledger.apply(*pending); // it took effect; the next run builds on it
            }
            ledger.pending.reset();
        }
        // Registering raises the counter in the same transaction; deleting leaves it.
        QVERIFY2(books.counter >= ledger.maxRegistered && books.counter <= ledger.maxAttempted,
                 qPrintable(where + QStringLiteral("counter %1, registered up to %2, tried up to %3")
                                        .arg(books.counter)
                                        .arg(ledger.maxRegistered)
                                        .arg(ledger.maxAttempted)));
    }
    qInfo("kill test: %d kills in %.1f s (%d while opening); %d operations confirmed, %d of them registers; "
          "%d kills during an operation, %d of which found it committed; %lld invoice states compared; "
          "%lld invoices with %d lines stored at the end",
          kills, clock.elapsed() / 1000.0, beforeReady, ledger.confirmed, ledger.registered, duringOperation,
          tookEffect, compared, static_cast<long long>(books.tags.size()), books.lines);
}

QTEST_GUILESS_MAIN(KillTest)
#include "test_kill.moc"
