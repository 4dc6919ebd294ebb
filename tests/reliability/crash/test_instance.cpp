// One program per data folder: a second start on a folder in use, or on a folder that cannot
// be written, is refused before anything is opened, and a killed program does not lock it out.
#include "app/instance_lock.h"
#include "app/startup.h"
#include "app/window_fixture.h"
#include "support/as_nobody.h"

#include <QDateTime>
#include <QDir>
#include <QLockFile>
#include <QProcess>
#include <QScopeGuard>
#include <unistd.h>

class InstanceTest : public QObject {
    Q_OBJECT
  private slots:
    void secondWindowLeavesFirstOneAlone();
    void killedProgramLeavesFolderUsable();
    void readOnlyFolderRefuses();
};

namespace {

QString notice(const char* sub, const QString& folder) {
    return msg::lookup(QStringLiteral("起動"), QString::fromUtf8(sub), QDir::toNativeSeparators(folder))->text;
}

QString firstLine(Database& work) {
    auto rs = work.openRecordset(QStringLiteral("select 品名 from w明細 where 行番号 = 1"));
    return rs->field(QStringLiteral("品名")).toText();
}

// The pid recorded in the folder's lock file, 0 when there is none.
qint64 lockHolder(const QString& folder) {
    qint64 pid = 0;
    QString host, app;
    QLockFile(folder + LockFileName).getLockInfo(&pid, &host, &app);
    return pid;
}

// Set in the unprivileged child: the folder handed to it.
constexpr char GivenFolderVariable[] = "VORNISA_GIVEN_FOLDER";
constexpr QFile::Permissions ReadOnlyDir =
    QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;

// Start-up over a folder its user cannot write is refused with the catalogue's notice,
// before anything is opened or locked.
void expectWriteRefusal(const QString& folder) {
    QTemporaryFile marker;
    QVERIFY(marker.open());
    QList<msg::Shown> shown;
    msg::setAnswerer([&](const msg::Shown& s) {
        shown << s;
        return s.defaultButton;
    });
    const auto restore = qScopeGuard([] { msg::setAnswerer({}); });
    FrmVornisa w;
    QVERIFY(!LoadMainWindow(w, QStringLiteral("/nonexistent"), {marker.fileName(), folder}));
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown[0].text, notice("書込不可", folder));
    QVERIFY(!w.books.dbMain && !w.books.dbWork);
    QVERIFY(!QFile::exists(folder + LockFileName));
}

} // namespace

void InstanceTest::secondWindowLeavesFirstOneAlone() {
    WindowFixture f;
    f.start();
    f.work().executeRaw(QStringLiteral("UPDATE w明細 SET 品名 = '編集中の行' WHERE 行番号 = 1"));
    const DataFolderRule rule{f.marker.fileName(), f.data.folder()};

    FrmVornisa second;
    QVERIFY(!LoadMainWindow(second, QStringLiteral("/nonexistent"), rule));
    QCOMPARE(f.shown.size(), 1);
    QCOMPARE(f.shown[0].title, QStringLiteral("Vornisa"));
    QCOMPARE(f.shown[0].text, notice("使用中", f.data.folder()));
    QVERIFY(!second.books.dbMain && !second.books.dbWork && !second.isVisible());
    QCOMPARE(firstLine(f.work()), QStringLiteral("編集中の行"));

    // Closing the first window frees the folder.
    f.w->close();
    FrmVornisa third;
    QVERIFY(LoadMainWindow(third, QStringLiteral("/nonexistent"), rule));
    QCOMPARE(f.shown.size(), 1);
}

void InstanceTest::killedProgramLeavesFolderUsable() {
    // A copy of the program with its data folder beside it, as a portable copy runs.
    QTemporaryDir run;
    const QString folder = run.filePath(QStringLiteral("data/"));
    QVERIFY(QDir().mkpath(folder));
    TestData data;
    QVERIFY(QFile::copy(data.mainPath(), folder + MainDbName));
    QVERIFY(QFile::copy(data.workPath(), folder + WorkDbName));
    const QString copy = run.filePath(QStringLiteral("vornisa"));
    QVERIFY(QFile::copy(QStringLiteral(VORNISA_PROGRAM), copy));
    QTemporaryFile marker;
    QVERIFY(marker.open());

    QProcess program;
    program.start(copy, {});
    QVERIFY(program.waitForStarted());
    QTRY_COMPARE_WITH_TIMEOUT(lockHolder(folder), program.processId(), 30000);

    QList<msg::Shown> shown;
    msg::setAnswerer([&](const msg::Shown& s) {
        shown << s;
        return s.defaultButton;
    });
    const DataFolderRule rule{marker.fileName(), folder};
    FrmVornisa refused;
    QVERIFY(!LoadMainWindow(refused, QStringLiteral("/nonexistent"), rule));
    // A program that has run for hours keeps its folder: the lock does not go stale by age.
    QFile lock(folder + LockFileName);
    QVERIFY(lock.open(QIODevice::ReadOnly));
    QVERIFY(lock.setFileTime(QDateTime::currentDateTime().addSecs(-3 * 3600), QFileDevice::FileModificationTime));
    lock.close();
    FrmVornisa refusedLater;
    QVERIFY(!LoadMainWindow(refusedLater, QStringLiteral("/nonexistent"), rule));
    QCOMPARE(shown.size(), 2);
    QCOMPARE(shown[1].text, notice("使用中", folder));

    program.kill();
    QVERIFY(program.waitForFinished());
    QVERIFY(QFile::exists(folder + LockFileName)); // left behind by the killed program
    FrmVornisa next;
    QVERIFY(LoadMainWindow(next, QStringLiteral("/nonexistent"), rule));
    QCOMPARE(lockHolder(folder), QCoreApplication::applicationPid());
    QCOMPARE(shown.size(), 2);
    msg::setAnswerer({});
}

void InstanceTest::readOnlyFolderRefuses() {
    const QByteArray given = qgetenv(GivenFolderVariable);
    if (!given.isEmpty()) {
        expectWriteRefusal(QString::fromLocal8Bit(given));
        return;
    }
    TestData data;
    QVERIFY(QFile::setPermissions(data.dir.path(), ReadOnlyDir));
    const auto writableAgain = qScopeGuard(
        [&] { QFile::setPermissions(data.dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner); });
    if (geteuid() != 0) {
        expectWriteRefusal(data.folder());
        return;
    }
    QProcessEnvironment env;
    env.insert(QString::fromLatin1(GivenFolderVariable), data.folder());
    const NobodyRun child = runAsNobody(QStringLiteral("readOnlyFolderRefuses"), {data.dir.path()}, env);
    QVERIFY2(child.passed, child.output.constData());
}

QTEST_MAIN(InstanceTest)
#include "test_instance.moc"
