#include "backup/backup.h"
#include "backup/restore.h"
#include "helpers.h"
#include "store/tables.h"
#include "support/testdb.h"

#include <QtTest>
#include <atomic>
#include <sqlite3.h>
#include <thread>

namespace {
const QDateTime T0(QDate(2024, 5, 1), QTime(9, 30, 12));

QStringList names(const QList<BackupInfo>& backups) {
    QStringList out;
    for (const BackupInfo& b : backups)
        out << b.name;
    return out;
}
} // namespace

class TestBackup : public QObject {
    Q_OBJECT
  private slots:
    void backupHoldsBothFilesAndDescription() {
        TestData data;
        auto main = data.openMain();
        auto work = data.openWork();
        addInvoice(*main, 7);
        addInvoice(*main, 12);
        work->executeRaw(QStringLiteral("insert into ClHint (FormName, CtlName, Contents) values ('F', 'C', 'メモ')"));
        work->executeRaw(QStringLiteral("insert into w顧客マスタ (顧客名) values ('取込中')"));
        // Leftovers of an interrupted backup are cleared.
        QVERIFY(QDir().mkpath(backupRoot(data.folder()) + QStringLiteral("/.tmp-20200101-000000")));

        const BackupInfo b = makeBackup(*main, *work, data.folder(), reason::Manual, T0);
        QCOMPARE(b.folder, backupRoot(data.folder()) + QStringLiteral("/20240501-093012"));
        QCOMPARE(entries(backupRoot(data.folder())), QStringList{b.name});
        // Each file stands alone: no journal or WAL companions beside it.
        QCOMPARE(entries(b.folder), (QStringList{QStringLiteral("Vornisa.mdb"), QStringLiteral("VornisaWork.mdb"),
                                                 QStringLiteral("about.txt")}));
        auto copyMain = Database::open(b.folder + QStringLiteral("/Vornisa.mdb"), mainTables, Durability::Full);
        auto copyWork = Database::open(b.folder + QStringLiteral("/VornisaWork.mdb"), workTables, Durability::Full);
        QCOMPARE(count(*copyMain, QStringLiteral("請求書")), 6);
        QCOMPARE(count(*copyWork, QStringLiteral("ClHint")), 1);
        QCOMPARE(count(*copyWork, QStringLiteral("w顧客マスタ")), 0); // scratch rows are not needed to restore

        // The counts come from the backup's own file, not from what its description claims.
        QFile about(b.folder + QStringLiteral("/about.txt"));
        QVERIFY(about.open(QIODevice::Append));
        about.write("請求書数: 99\n");
        about.close();
        const BackupInfo listed = listBackups(data.folder()).value(0);
        QCOMPARE(listed.made, T0);
        QCOMPARE(listed.reason, reason::Manual);
        QCOMPARE(listed.invoices, std::optional<qint64>(2));
        QCOMPARE(listed.highestNumber, std::optional<qint64>(12));
        QVERIFY(hasBackupOn(data.folder(), T0.date()));
        QVERIFY(!hasBackupOn(data.folder(), T0.date().addDays(1)));
    }

    void namesAreUniqueAndListedNewestFirst() {
        TestData data;
        auto main = data.openMain();
        auto work = data.openWork();
        QStringList made;
        for (int i = 0; i < 3; ++i) // three within one second
            made << makeBackup(*main, *work, data.folder(), reason::Manual, T0).name;
        made << makeBackup(data.mainPath(), data.workPath(), data.folder(), reason::BeforeUpgrade, T0.addSecs(1)).name;
        QCOMPARE(made, (QStringList{QStringLiteral("20240501-093012"), QStringLiteral("20240501-093012-2"),
                                    QStringLiteral("20240501-093012-3"), QStringLiteral("20240501-093013")}));
        // Ten sorts after two: suffixes compare as numbers.
        for (int i = 4; i <= 10; ++i)
            makeBackup(*main, *work, data.folder(), reason::Manual, T0);
        const QList<BackupInfo> listed = listBackups(data.folder());
        QCOMPARE(names(listed).mid(0, 3),
                 (QStringList{QStringLiteral("20240501-093013"), QStringLiteral("20240501-093012-10"),
                              QStringLiteral("20240501-093012-9")}));
        QCOMPARE(listed.last().name, QStringLiteral("20240501-093012"));
        QCOMPARE(listed.first().reason, reason::BeforeUpgrade);
    }

    // Every transaction of the writer adds a header and three lines: a torn copy shows it.
    void backupWhileAnotherConnectionWritesIsConsistent() {
        TestData data;
        auto main = data.openMain();
        auto work = data.openWork();
        std::atomic<bool> stop = false;
        std::atomic<int> commits = 0;
        std::thread writer([&] {
            auto other = data.openMain();
            for (qint64 n = 1; !stop; ++n) {
                addInvoice(*other, n);
                ++commits;
            }
        });
        QTRY_VERIFY_WITH_TIMEOUT(commits > 20, 20000);
        QList<BackupInfo> made;
        for (int i = 0; i < 5; ++i) {
            const int before = commits;
            made << makeBackup(*main, *work, data.folder(), reason::Manual, T0.addSecs(i));
            QTRY_VERIFY_WITH_TIMEOUT(commits > before, 20000); // the writer kept going in between
        }
        stop = true;
        writer.join();
        for (const BackupInfo& b : made) {
            auto copy = Database::open(b.folder + QStringLiteral("/Vornisa.mdb"), mainTables, Durability::Full);
            const qint64 headers = count(*copy, QStringLiteral("請求書ヘッダ"));
            QVERIFY(headers > 0);
            QCOMPARE(count(*copy, QStringLiteral("請求書")), headers * 3);
            QCOMPARE(b.invoices, std::optional<qint64>(headers));
        }
    }

    // Retention keeps the newest; a failed backup leaves no folder and removes nothing.
    void retentionAndFailedBackups() {
        TestData data;
        auto main = data.openMain();
        auto work = data.openWork();
        for (int i = 0; i < BackupsKept + 2; ++i)
            makeBackup(*main, *work, data.folder(), reason::Daily, T0.addDays(i));
        QList<BackupInfo> listed = listBackups(data.folder());
        QCOMPARE(listed.size(), BackupsKept);
        QCOMPARE(listed.last().made, T0.addDays(2)); // the two oldest went
        QCOMPARE(listed.first().made, T0.addDays(BackupsKept + 1));

        // A clock set back names the new backup older than all others: it stays all the same.
        const BackupInfo back = makeBackup(*main, *work, data.folder(), reason::Manual, T0.addYears(-1));
        listed = listBackups(data.folder());
        QCOMPARE(listed.size(), BackupsKept);
        QCOMPARE(listed.last().name, back.name);
        QVERIFY(QFileInfo::exists(back.folder + QStringLiteral("/Vornisa.mdb")));

        // A work file without the tables the program needs fails the check after copying.
        const QStringList before = entries(backupRoot(data.folder()));
        TestData other;
        sqlite3* empty = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(other.dir.path() + QStringLiteral("/empty.db")).constData(), &empty),
                 SQLITE_OK);
        try {
            makeBackup(main->handle(), empty, data.folder(), reason::Manual, T0.addYears(1));
            QFAIL("a copy without its tables passed the check");
        } catch (const BackupError& e) {
            QVERIFY2(e.text.contains(QStringLiteral("w明細")), qPrintable(e.text));
        }
        sqlite3_close(empty);
        QCOMPARE(entries(backupRoot(data.folder())), before);

        // Keeping one never removes the only good backup.
        QCOMPARE(pruneBackups(data.folder(), 1, back.name).size(), BackupsKept - 1);
        QCOMPARE(names(listBackups(data.folder())), QStringList{back.name});

        // A data folder where backup/ cannot be made.
        TestData blocked;
        QFile file(backupRoot(blocked.folder()));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        auto bm = blocked.openMain();
        auto bw = blocked.openWork();
        QVERIFY_THROWS_EXCEPTION(BackupError, makeBackup(*bm, *bw, blocked.folder(), reason::Manual, T0));
        QVERIFY(QFileInfo(backupRoot(blocked.folder())).isFile());
    }

    // A link in backup/ (a backup folder linked from a USB stick, say) is listed but never
    // followed: nothing it points to is deleted, pruned, cleaned or restored from.
    void linksAreNeverFollowed_data() {
        QTest::addColumn<QString>("link");   // in backup/, to the outside folder or one of its files
        QTest::addColumn<QString>("target"); // empty: the folder itself
        QTest::addColumn<bool>("kept");      // still there after backups and pruning
        QTest::newRow("leftover temporary folder") << QStringLiteral(".tmp-20200101-000000") << QString() << false;
        QTest::newRow("backup folder") << QStringLiteral("20200101-000000") << QString() << true;
        QTest::newRow("main file of a backup") << QStringLiteral("20200102-000000/Vornisa.mdb")
                                               << QStringLiteral("Vornisa.mdb") << false;
    }
    void linksAreNeverFollowed() {
        QFETCH(QString, link);
        QFETCH(QString, target);
        QFETCH(bool, kept);
        TestData data, elsewhere;
        auto main = data.openMain();
        auto work = data.openWork();
        addInvoice(*main, 1);
        // The outside folder is a backup of its own, with a description.
        const QString outside = makeBackup(*main, *work, elsewhere.folder(), reason::Manual, T0).folder;
        const auto state = [&] { // what is there, and the main file's bytes
            return entries(outside) << QString::number(qHash(contents(outside + QStringLiteral("/Vornisa.mdb"))));
        };
        const QStringList before = state();
        const QString at = backupRoot(data.folder()) + u'/' + link;
        const QString folder = backupRoot(data.folder()) + u'/' + link.section(u'/', 0, 0);
        QVERIFY(QDir().mkpath(QFileInfo(at).path()));
        if (!target.isEmpty()) // the rest of that backup is real
            QVERIFY(QFile::copy(outside + QStringLiteral("/VornisaWork.mdb"), folder + QStringLiteral("/VornisaWork.mdb")));
        QVERIFY(QFile::link(target.isEmpty() ? outside : outside + u'/' + target, at));

        if (!link.startsWith(u'.')) {
            QVERIFY_THROWS_EXCEPTION(LinkedBackupError, StagedRestore(folder, data.folder()));
            const QList<BackupInfo> listed = listBackups(data.folder());
            const auto it = std::find_if(listed.begin(), listed.end(), [&](const BackupInfo& b) { return b.folder == folder; });
            QVERIFY(it != listed.end());
            QCOMPARE(it->linked, target.isEmpty());
            QCOMPARE(it->reason == reason::Linked, target.isEmpty());
            QVERIFY(!it->invoices); // never read through the link
        }
        makeBackup(*main, *work, data.folder(), reason::Manual, T0.addDays(1)); // clears leftovers
        pruneBackups(data.folder(), 1, QString());
        QCOMPARE(state(), before);
        QCOMPARE(QFileInfo(at).isSymLink(), kept); // a leftover link went as a link
    }

    void copyToAnotherFolder() {
        TestData data;
        auto main = data.openMain();
        auto work = data.openWork();
        addInvoice(*main, 3);
        const BackupInfo b = makeBackup(*main, *work, data.folder(), reason::Manual, T0);
        QTemporaryDir stick;
        const QString first = copyBackupTo(b, stick.path());
        QCOMPARE(first, stick.path() + QStringLiteral("/Vornisa-backup/20240501-093012"));
        QCOMPARE(QFileInfo(copyBackupTo(b, stick.path())).fileName(), QStringLiteral("20240501-093012-2"));
        for (const QString& f : entries(b.folder))
            QCOMPARE(contents(first + u'/' + f), contents(b.folder + u'/' + f));
        QVERIFY_THROWS_EXCEPTION(BackupError, copyBackupTo(b, stick.path() + QStringLiteral("/missing")));
        QCOMPARE(entries(stick.path()), QStringList{QStringLiteral("Vornisa-backup")});
        QCOMPARE(entries(stick.path() + QStringLiteral("/Vornisa-backup")).size(), 2);
    }
};

int runBackupTests(int argc, char** argv) {
    TestBackup t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_backup.moc"
