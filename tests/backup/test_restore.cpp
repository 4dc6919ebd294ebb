#include "backup/backup.h"
#include "backup/restore.h"
#include "helpers.h"
#include "store/tables.h"
#include "support/testdb.h"

#include <QtTest>
#include <functional>
#include <sys/wait.h>
#include <unistd.h>

namespace {
const QDateTime T0(QDate(2024, 5, 1), QTime(9, 30, 12));

// The current files as bytes, with every file of the data folder's top level by name.
struct Snapshot {
    QStringList names;
    QByteArray main, work;
    static Snapshot of(const DataFolder& d) {
        return {QDir(d.folder()).entryList(QDir::Files | QDir::Hidden, QDir::Name), contents(d.mainPath()),
                contents(d.workPath())};
    }
    bool operator==(const Snapshot&) const = default;
};

// A backup with one invoice, then a second invoice and a hint written after it.
BackupInfo backupThenMore(TestData& data, int invoicesBefore = 1) {
    auto main = data.openMain();
    auto work = data.openWork();
    for (int n = 1; n <= invoicesBefore; ++n)
        addInvoice(*main, n);
    main->executeRaw(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    const BackupInfo b = makeBackup(*main, *work, data.folder(), reason::Manual, T0);
    addInvoice(*main, invoicesBefore + 1);
    work->executeRaw(QStringLiteral("insert into ClHint (FormName) values ('後')"));
    return b;
}
} // namespace

class TestRestore : public QObject {
    Q_OBJECT
  private slots:
    void restoreBringsBothFilesBack() {
        TestData data;
        StagedRestore staged(backupThenMore(data).folder, data.folder());
        bool opened = false;
        staged.swap([&] {
            auto main = data.openMain();
            auto work = data.openWork();
            QCOMPARE(count(*main, QStringLiteral("請求書ヘッダ")), 1);
            QCOMPARE(count(*work, QStringLiteral("ClHint")), 0);
            opened = true;
        });
        QVERIFY(opened);
        QCOMPARE(QDir(data.folder()).entryList({QStringLiteral("*.restore-*")}, QDir::Files), QStringList());
        auto main = data.openMain();
        QCOMPARE(count(*main, QStringLiteral("請求書")), 3);
    }

    // A restore killed after any of its renames or removals: the next start brings both files
    // to one state, both as before or both restored, and says which.
    void interruptedRestoreEndsInOneState() {
        QString seen; // B: rolled back, C: completed, N: nothing to do
        for (int killAt = 1;; ++killAt) {
            TestData data;
            const BackupInfo b = backupThenMore(data); // before: 2 invoices and a hint; restored: 1 and none
            const pid_t child = ::fork();
            if (child == 0) {
                int step = 0;
                StagedRestore staged(b.folder, data.folder());
                staged.swap([] {}, [&] {
                    if (++step == killAt)
                        ::_exit(0); // killed here
                });
                ::_exit(1); // ran to the end
            }
            int status = 0;
            QCOMPARE(::waitpid(child, &status, 0), child);
            QVERIFY(WIFEXITED(status));
            const RestoreRecovery r = RecoverInterruptedRestore(data.folder());
            seen += QStringLiteral("NBC")[static_cast<int>(r)];
            const auto main = data.openMain();
            const auto work = data.openWork();
            const bool restored = r != RestoreRecovery::RolledBack;
            QCOMPARE(count(*main, QStringLiteral("請求書ヘッダ")), restored ? 1 : 2);
            QCOMPARE(count(*work, QStringLiteral("ClHint")), restored ? 0 : 1);
            QCOMPARE(QDir(data.folder()).entryList({QStringLiteral("*.restore-*")}, QDir::Files), QStringList());
            QVERIFY(RecoverInterruptedRestore(data.folder()) == RestoreRecovery::None); // nothing left to do
            if (WEXITSTATUS(status) == 1)
                break;
        }
        // Kept aside and put in place (4 steps), the main file's aside copy deleted, the work file's, finished.
        QCOMPARE(seen, QStringLiteral("BBBBCNN"));
    }

    // The faults strike after staging: a staged file gone, or the new files refused.
    void restoreThatFailsHalfWayLeavesTheCurrentFiles_data() {
        QTest::addColumn<QString>("removed");
        QTest::newRow("second file cannot be put in place") << QStringLiteral("VornisaWork.mdb.restore-new");
        QTest::newRow("first file cannot be put in place") << QStringLiteral("Vornisa.mdb.restore-new");
        QTest::newRow("restored files do not open") << QString();
    }
    void restoreThatFailsHalfWayLeavesTheCurrentFiles() {
        QFETCH(QString, removed);
        TestData data;
        StagedRestore staged(backupThenMore(data).folder, data.folder());
        const Snapshot before = Snapshot::of(data);
        if (!removed.isEmpty())
            QVERIFY(QFile::remove(data.folder() + removed));
        bool threw = false;
        try {
            staged.swap([&] {
                auto main = data.openMain(); // opened, then closed again as the throw unwinds
                if (removed.isEmpty())
                    throw DbError(1, QStringLiteral("refused"));
            });
        } catch (const BackupError&) {
            threw = !removed.isEmpty();
        } catch (const DbError&) {
            threw = removed.isEmpty();
        }
        QVERIFY(threw);
        QCOMPARE(Snapshot::of(data).main, before.main);
        QCOMPARE(Snapshot::of(data).work, before.work);
        QCOMPARE(QDir(data.folder()).entryList({QStringLiteral("*.restore-old*")}, QDir::Files), QStringList());
        QCOMPARE(count(*data.openMain(), QStringLiteral("請求書ヘッダ")), 2);
    }

    void damagedBackupIsRefusedAndChangesNothing_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<qint64>("at"); // where the bytes go; -1: they replace the file
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("work file overwritten") << QStringLiteral("VornisaWork.mdb") << -1LL << QByteArray(4096, 'x');
        QTest::newRow("main file missing") << QStringLiteral("Vornisa.mdb") << -1LL << QByteArray();
        QTest::newRow("main file truncated") << QStringLiteral("Vornisa.mdb") << -1LL << QByteArray("SQLite format 3");
        // Found by the integrity check only: the file is otherwise readable.
        QTest::newRow("page damaged inside")
            << QStringLiteral("Vornisa.mdb") << 3LL * 4096 - 100 << QByteArray(2000, '\x5a');
    }
    void damagedBackupIsRefusedAndChangesNothing() {
        QFETCH(QString, file);
        QFETCH(qint64, at);
        QFETCH(QByteArray, bytes);
        TestData data;
        const BackupInfo b = backupThenMore(data, at < 0 ? 1 : 200);
        QFile f(b.folder + u'/' + file);
        if (bytes.isEmpty()) {
            QVERIFY(f.remove());
        } else {
            QVERIFY(f.open(at < 0 ? QIODevice::WriteOnly : QIODevice::ReadWrite));
            QVERIFY(at < 0 || f.size() > 8 * 4096);
            QVERIFY(f.seek(at < 0 ? 0 : f.size() - at));
            f.write(bytes);
            f.close();
        }
        const Snapshot before = Snapshot::of(data);
        QVERIFY_THROWS_EXCEPTION(BackupError, StagedRestore(b.folder, data.folder()));
        QCOMPARE(Snapshot::of(data), before);
        if (at >= 0)
            QVERIFY_THROWS_EXCEPTION(BackupError, checkDatabaseFile(f.fileName(), mainTables));
    }
};

int runRestoreTests(int argc, char** argv) {
    TestRestore t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_restore.moc"
