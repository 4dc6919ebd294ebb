// One program per data folder: a second start on a folder in use, or on a folder that cannot
// be written, is refused before anything is opened, and a killed program does not lock it out.
#include "app/instance_lock.h"
#include "app/startup.h"
#include "app/window_fixture.h"

#include <QDateTime>
#include <QDir>
#include <QLockFile>
#include <QProcess>
#include <QStandardPaths>
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

} // namespace

void InstanceTest::secondWindowLeavesFirstOneAlone() {
    WindowFixture f;
    f.start();
    f.w->dbWork->executeRaw(QStringLiteral("UPDATE w明細 SET 品名 = '編集中の行' WHERE 行番号 = 1"));
    const DataFolderRule rule{f.marker.fileName(), f.data.folder()};

    FrmVornisa second;
    QVERIFY(!LoadMainWindow(second, QStringLiteral("/nonexistent"), rule));
    QCOMPARE(f.shown.size(), 1);
    QCOMPARE(f.shown[0].title, QStringLiteral("Vornisa"));
    QCOMPARE(f.shown[0].text, notice("使用中", f.data.folder()));
    QVERIFY(!second.dbMain && !second.dbWork && !second.isVisible());
    QCOMPARE(firstLine(*f.w->dbWork), QStringLiteral("編集中の行"));

    // Closing the first window frees the folder.
    f.w->close();
    FrmVornisa third;
    QVERIFY(LoadMainWindow(third, QStringLiteral("/nonexistent"), rule));
    QCOMPARE(f.shown.size(), 1);
}

void InstanceTest::killedProgramLeavesFolderUsable() {
    // The program finds its developer folder through a marker path relative to where it runs.
    QTemporaryDir run;
    const QString folder = run.path() + QStringLiteral("/c:/develop4/Vornisa/data/");
    QVERIFY(QDir().mkpath(folder));
    QFile marker(run.path() + QStringLiteral("/c:/ruvaravovo.txt"));
    QVERIFY(marker.open(QIODevice::WriteOnly));
    marker.close();
    TestData data;
    QVERIFY(QFile::copy(data.mainPath(), folder + MainDbName));
    QVERIFY(QFile::copy(data.workPath(), folder + WorkDbName));

    QProcess program;
    program.setWorkingDirectory(run.path());
    program.start(QStringLiteral(VORNISA_PROGRAM), {});
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
    if (geteuid() == 0) {
        // Root writes into any folder: this case runs again as an unprivileged user.
        const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
        if (setpriv.isEmpty())
            QSKIP("running as root without setpriv, so no folder can be made unwritable");
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(setpriv,
                {QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"), QStringLiteral("--clear-groups"),
                 QCoreApplication::applicationFilePath(), QStringLiteral("readOnlyFolderRefuses")});
        QVERIFY(p.waitForFinished(120000));
        const QByteArray out = p.readAll();
        QVERIFY2(p.exitCode() == 0 && out.contains("PASS   : InstanceTest::readOnlyFolderRefuses"), out.constData());
        return;
    }
    WindowFixture f;
    const QFileDevice::Permissions writable = QFile::permissions(f.data.folder());
    QVERIFY(QFile::setPermissions(f.data.folder(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    FrmVornisa w;
    const bool started = LoadMainWindow(w, QStringLiteral("/nonexistent"), {f.marker.fileName(), f.data.folder()});
    QFile::setPermissions(f.data.folder(), writable);
    QVERIFY(!started);
    QCOMPARE(f.shown.size(), 1);
    QCOMPARE(f.shown[0].text, notice("書込不可", f.data.folder()));
    QVERIFY(!w.dbMain && !w.dbWork);
    QVERIFY(!QFile::exists(f.data.folder() + LockFileName));
}

QTEST_MAIN(InstanceTest)
#include "test_instance.moc"
