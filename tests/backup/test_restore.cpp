#include "backup/backup.h"
#include "backup/restore.h"
#include "helpers.h"
#include "store/tables.h"
#include "support/testdb.h"

#include <QtTest>
#include <functional>

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
} // namespace

class TestRestore : public QObject {
    Q_OBJECT
  private slots:
    void restoreBringsBothFilesBack() {
        TestData data;
        BackupInfo b;
        {
            auto main = data.openMain();
            auto work = data.openWork();
            addInvoice(*main, 1);
            b = makeBackup(*main, *work, data.folder(), reason::Manual, T0);
            addInvoice(*main, 2);
            work->executeRaw(QStringLiteral("insert into ClHint (FormName) values ('後')"));
        }
        StagedRestore staged(b.folder, data.folder());
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

    // A restore cut off between its renames (power loss): the next start puts the files it
    // had moved aside back, whichever of them had already gone.
    void interruptedRestoreIsUndoneAtStart() {
        for (const bool bothAside : {false, true}) {
            TestData data;
            {
                auto main = data.openMain();
                addInvoice(*main, 1);
            }
            const Snapshot before = Snapshot::of(data);
            QVERIFY(QFile::rename(data.mainPath(), data.mainPath() + QStringLiteral(".restore-old")));
            if (bothAside) {
                QVERIFY(QFile::rename(data.workPath(), data.workPath() + QStringLiteral(".restore-old")));
                QVERIFY(QFile::copy(data.workPath() + QStringLiteral(".restore-old"),
                                    data.workPath())); // the staged copy already in place
            }
            QFile half(data.mainPath() + QStringLiteral(".restore-new"));
            QVERIFY(half.open(QIODevice::WriteOnly));
            half.write("half a copy");
            half.close();
            QVERIFY(RecoverInterruptedRestore(data.folder()));
            QCOMPARE(Snapshot::of(data), before);
            QVERIFY(!RecoverInterruptedRestore(data.folder())); // nothing left to do
        }
    }

    void restoreThatFailsHalfWayLeavesTheCurrentFiles_data() {
        QTest::addColumn<int>("fault");
        QTest::newRow("second file cannot be put in place") << 0;
        QTest::newRow("first file cannot be put in place") << 1;
        QTest::newRow("restored files do not open") << 2;
    }
    void restoreThatFailsHalfWayLeavesTheCurrentFiles() {
        QFETCH(int, fault);
        TestData data;
        BackupInfo b;
        {
            auto main = data.openMain();
            auto work = data.openWork();
            b = makeBackup(*main, *work, data.folder(), reason::Manual, T0);
            addInvoice(*main, 5);
        }
        const Snapshot before = Snapshot::of(data);
        StagedRestore staged(b.folder, data.folder());
        // The faults strike after staging: a staged file gone, or the new files refused.
        if (fault == 0)
            QVERIFY(QFile::remove(data.folder() + QStringLiteral("VornisaWork.mdb.restore-new")));
        if (fault == 1)
            QVERIFY(QFile::remove(data.folder() + QStringLiteral("Vornisa.mdb.restore-new")));
        std::function<void()> open = [] {};
        if (fault == 2)
            open = [&] {
                auto main = data.openMain(); // opened, then closed again as the throw unwinds
                throw DbError(1, QStringLiteral("refused"));
            };
        bool threw = false;
        try {
            staged.swap(open);
        } catch (const BackupError&) {
            threw = fault != 2;
        } catch (const DbError&) {
            threw = fault == 2;
        }
        QVERIFY(threw);
        QCOMPARE(Snapshot::of(data).main, before.main);
        QCOMPARE(Snapshot::of(data).work, before.work);
        QCOMPARE(QDir(data.folder()).entryList({QStringLiteral("*.restore-old*")}, QDir::Files), QStringList());
        auto main = data.openMain();
        QCOMPARE(count(*main, QStringLiteral("請求書ヘッダ")), 1);
    }

    void damagedBackupIsRefusedAndChangesNothing_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("work file overwritten") << QStringLiteral("VornisaWork.mdb") << QByteArray(4096, 'x');
        QTest::newRow("main file missing") << QStringLiteral("Vornisa.mdb") << QByteArray();
        QTest::newRow("main file truncated") << QStringLiteral("Vornisa.mdb") << QByteArray("SQLite format 3");
    }
    void damagedBackupIsRefusedAndChangesNothing() {
        QFETCH(QString, file);
        QFETCH(QByteArray, bytes);
        TestData data;
        BackupInfo b;
        {
            auto main = data.openMain();
            auto work = data.openWork();
            b = makeBackup(*main, *work, data.folder(), reason::Manual, T0);
        }
        QFile f(b.folder + u'/' + file);
        if (bytes.isEmpty()) {
            QVERIFY(f.remove());
        } else {
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(bytes);
            f.close();
        }
        const Snapshot before = Snapshot::of(data);
        QVERIFY_THROWS_EXCEPTION(BackupError, StagedRestore(b.folder, data.folder()));
        QCOMPARE(Snapshot::of(data), before);
    }

    // A page damaged inside an otherwise readable file is found by the integrity check.
    void corruptPageIsFound() {
        TestData data;
        {
            auto main = data.openMain();
            for (int n = 1; n <= 200; ++n)
                addInvoice(*main, n);
            main->executeRaw(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
        }
        QFile f(data.mainPath());
        QVERIFY(f.open(QIODevice::ReadWrite));
        const qint64 size = f.size();
        QVERIFY(size > 8 * 4096);
        f.seek(size - 3 * 4096 + 100);
        f.write(QByteArray(2000, '\x5a'));
        f.close();
        QVERIFY_THROWS_EXCEPTION(BackupError, checkDatabaseFile(data.mainPath(), mainTables));
    }
};

int runRestoreTests(int argc, char** argv) {
    TestRestore t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_restore.moc"
