// Faults of the files themselves: start-up refuses a damaged, missing, locked or unwritable
// data folder and leaves it byte for byte as it was; a save that meets a locked file rolls
// back, says so, and goes through once the other program lets go.
#include "app/startup.h"
#include "file_dump.h"
#include "invoice/invoice_io.h"
#include "messages/msg.h"
#include "support/as_nobody.h"
#include "used_folder.h"
#include "window_fixture.h"

#include <QCryptographicHash>
#include <QDir>
#include <QProcess>
#include <sqlite3.h>
#include <unistd.h>

namespace {

// Every file of the folder with its size and a hash of its bytes: what "nothing changed" is
// checked against.
QStringList snapshot(const QString& folder) {
    QStringList out;
    for (const QFileInfo& fi : QDir(folder).entryInfoList(QDir::Files | QDir::Hidden, QDir::Name)) {
        QFile f(fi.filePath());
        const QByteArray bytes = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
        out << QStringLiteral("%1 %2 %3")
                   .arg(fi.fileName())
                   .arg(bytes.size())
                   .arg(QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex()));
    }
    return out;
}

void cutTo(const QString& path, qint64 size) {
    QFile f(path);
    QVERIFY(f.resize(size));
}

void replaceWithText(const QString& path) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write("請求書の控え\nこれはデータベースではありません\n");
}

// Another program holding a lock on a database file, in a child process of this test.
class LockHolder {
  public:
    LockHolder(const QString& path, const QString& how) {
        child_.setProgram(QCoreApplication::applicationFilePath());
        child_.setArguments({QStringLiteral("--hold-lock"), path, how});
        child_.start();
        if (!child_.waitForReadyRead(10000) || !child_.readLine().startsWith("held"))
            qFatal("the lock holder did not start: %s", child_.readAllStandardError().constData());
    }
    ~LockHolder() { release(); }
    void release() {
        if (child_.state() == QProcess::NotRunning)
            return;
        child_.closeWriteChannel();
        child_.waitForFinished(10000);
    }

  private:
    QProcess child_;
};

// The child side: takes the lock, says so, and keeps it until its input closes.
int holdLock(const char* path, const QByteArray& how) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path, &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
        return 2;
    const char* sql = how == "exclusive" ? "PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE; SELECT count(*) FROM "
                                           "sqlite_master;"
                                         : "BEGIN IMMEDIATE;";
    char* err = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &err) != SQLITE_OK) {
        std::fprintf(stderr, "%s\n", err);
        return 3;
    }
    std::printf("held\n");
    std::fflush(stdout);
    char buf[64];
    while (::read(0, buf, sizeof buf) > 0) {
    }
    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return 0;
}

constexpr char ReadOnlyFolderVariable[] = "VORNISA_READONLY_FOLDER";
constexpr char ReadOnlyFileVariable[] = "VORNISA_READONLY_FILE_FOLDER";
constexpr QFile::Permissions ReadOnlyDir =
    QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;

struct Refusal {
    bool refused = false;
    int code = 0;
    QString text;
};

// Starts the window over the folder as the program does, and gives what start-up reported.
Refusal startOver(const UsedFolder& folder) {
    QTemporaryFile marker;
    if (!marker.open())
        qFatal("no marker file");
    Refusal r;
    FrmVornisa w;
    try {
        w.Form_Load(QStringLiteral("/nonexistent"), DataFolderRule{marker.fileName(), folder.folder()});
    } catch (const DbError& e) {
        r = {true, e.code, e.text};
    }
    if (w.isVisible())
        qFatal("a refused start-up showed its window");
    return r;
}

} // namespace

class FileFaultsTest : public QObject {
    Q_OBJECT
  private slots:
    void startupRefusesDamagedFiles_data();
    void startupRefusesDamagedFiles();
    void startupRefusesLockedMainFile();
    void startupRefusesReadOnlyFolder();
    void startupRefusesReadOnlyMainFile();
    void registerMeetingLockedMainFile();

  private:
    static void checkReadOnlyStart(const char* variable, const QString& function,
                                   const std::function<bool(const UsedFolder&)>& protect, const QString& why);
    static void expectRefusal(const QString& folder, const QString& why);
};

void FileFaultsTest::startupRefusesDamagedFiles_data() {
    QTest::addColumn<bool>("mainFile");
    QTest::addColumn<int>("damage"); // bytes kept, -1 half the file, -2 text instead, -3 removed
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("reason");
    const QString noTable = QStringLiteral("テーブルがありません");
    const QString malformed = QStringLiteral("malformed");
    const QString notDb = QStringLiteral("not a database");
    const QString missing = QStringLiteral("ファイルが見つかりません");
    for (const bool mainFile : {true, false}) {
        const char* f = mainFile ? "main " : "work ";
        QTest::newRow(QByteArray(f).append("emptied").constData()) << mainFile << 0 << SQLITE_ERROR << noTable;
        QTest::newRow(QByteArray(f).append("cut to 100 bytes").constData())
            << mainFile << 100 << SQLITE_CORRUPT << malformed;
        QTest::newRow(QByteArray(f).append("cut in half").constData()) << mainFile << -1 << SQLITE_CORRUPT << malformed;
        QTest::newRow(QByteArray(f).append("text file").constData()) << mainFile << -2 << SQLITE_NOTADB << notDb;
        QTest::newRow(QByteArray(f).append("missing").constData()) << mainFile << -3 << SQLITE_CANTOPEN << missing;
    }
}

void FileFaultsTest::startupRefusesDamagedFiles() {
    QFETCH(bool, mainFile);
    QFETCH(int, damage);
    QFETCH(int, code);
    QFETCH(QString, reason);
    UsedFolder folder;
    const QString path = mainFile ? folder.mainPath() : folder.workPath();
    if (damage >= 0)
        cutTo(path, damage);
    else if (damage == -1)
        cutTo(path, QFileInfo(path).size() / 2);
    else if (damage == -2)
        replaceWithText(path);
    else
        QVERIFY(QFile::remove(path));
    const auto before = snapshot(folder.folder());

    const Refusal r = startOver(folder);
    QVERIFY(r.refused);
    QCOMPARE(r.code & 0xff, code);
    // The user is told which file and why.
    QVERIFY2(r.text.contains(path) && r.text.contains(reason), qPrintable(r.text));
    QCOMPARE(snapshot(folder.folder()), before);
}

void FileFaultsTest::startupRefusesLockedMainFile() {
    UsedFolder folder;
    const auto before = snapshot(folder.folder());
    {
        LockHolder other(folder.mainPath(), QStringLiteral("exclusive"));
        const auto held = snapshot(folder.folder());
        const Refusal r = startOver(folder);
        QVERIFY(r.refused);
        QCOMPARE(r.code & 0xff, SQLITE_BUSY);
        QVERIFY2(r.text.contains(QStringLiteral("locked")) && r.text.contains(folder.mainPath()), qPrintable(r.text));
        QCOMPARE(snapshot(folder.folder()), held);
    }
    QCOMPARE(snapshot(folder.folder()), before);
    QVERIFY(!startOver(folder).refused); // once the other program is gone it starts
}

// Permission bits do not stop root, so as root the check runs in a child of this program
// under the unprivileged user, over a folder handed to that user.
void FileFaultsTest::checkReadOnlyStart(const char* variable, const QString& function,
                                        const std::function<bool(const UsedFolder&)>& protect, const QString& why) {
    const QByteArray given = qgetenv(variable);
    if (!given.isEmpty()) {
        expectRefusal(QString::fromLocal8Bit(given), why);
        return;
    }
    UsedFolder folder;
    QVERIFY(protect(folder));
    if (::geteuid() != 0) {
        expectRefusal(folder.folder(), why);
        QVERIFY(QFile::setPermissions(folder.dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        return;
    }
    QProcessEnvironment env;
    env.insert(QString::fromLatin1(variable), folder.folder());
    const NobodyRun child = runAsNobody(function, {folder.dir.path()}, env);
    QVERIFY2(child.passed, child.output.constData());
    for (const QByteArray& line : child.output.split('\n'))
        if (line.contains("refused:"))
            qInfo("as an unprivileged user: %s", line.constData());
}

void FileFaultsTest::startupRefusesReadOnlyFolder() {
    checkReadOnlyStart(
        ReadOnlyFolderVariable, QStringLiteral("startupRefusesReadOnlyFolder"),
        [](const UsedFolder& f) { return QFile::setPermissions(f.dir.path(), ReadOnlyDir); },
        QStringLiteral("に書き込めないため起動できません。"));
}

// A read-only main file in a writable folder: one clear refusal that names the file, before
// anything is written.
void FileFaultsTest::startupRefusesReadOnlyMainFile() {
    checkReadOnlyStart(
        ReadOnlyFileVariable, QStringLiteral("startupRefusesReadOnlyMainFile"),
        [](const UsedFolder& f) {
            return QFile::setPermissions(f.mainPath(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        },
        QStringLiteral("読み取り専用のため起動できません。ファイルの書き込み権限を確認してください。\n書き込みできないファイルです: "));
}

// Starts over the folder as the program does: refused with one message that says why, no
// window shown, nothing changed.
void FileFaultsTest::expectRefusal(const QString& folder, const QString& why) {
    const auto before = snapshot(folder);
    QTemporaryFile marker;
    QVERIFY(marker.open());
    QStringList shown;
    msg::setAnswerer([&](const msg::Shown& s) {
        shown << s.text;
        return QMessageBox::Ok;
    });
    {
        FrmVornisa w;
        QVERIFY(!LoadMainWindow(w, QStringLiteral("/nonexistent"), DataFolderRule{marker.fileName(), folder}));
        QVERIFY(!w.isVisible());
    }
    msg::setAnswerer({});
    QCOMPARE(shown.size(), 1);
    qInfo("refused: %s", qPrintable(shown[0]));
    QVERIFY2(shown[0].contains(why), qPrintable(shown[0]));
    QCOMPARE(snapshot(folder), before);
}

void FileFaultsTest::registerMeetingLockedMainFile() {
    WindowFixture f;
    f.start();
    InvoicePage& w = *f.w->invoice;
    w.cmb顧客名->setEditText(QStringLiteral("新規顧客"));
    w.dat明細->setValue(0, w.dat明細->fieldIndex(QStringLiteral("品名")), QStringLiteral("コピー用紙"));
    const QStringList before = dumpAll(f.main().handle());
    f.shown.clear();
    {
        LockHolder other(f.data.mainPath(), QStringLiteral("write"));
        w.cmd登録->click(); // waits out the busy time, then gives up
    }
    QCOMPARE(f.shown.size(), 2);
    QCOMPARE(f.shown[1].title, QStringLiteral("注意"));
    QVERIFY2(f.shown[1].text.startsWith(QStringLiteral("伝票 1 は登録されませんでした。")) &&
                 f.shown[1].text.contains(QStringLiteral("locked")),
             qPrintable(f.shown[1].text));
    QCOMPARE(dumpAll(f.main().handle()), before);
    QCOMPARE(w.txtNo->text(), QStringLiteral("1"));
    QCOMPARE(w.cmb顧客名->currentText(), QStringLiteral("新規顧客"));

    f.shown.clear();
    w.cmd登録->click();
    QCOMPARE(f.shown.size(), 1);
    QVERIFY(Read請求書ヘッダ(f.main(), 1));
    QCOMPARE(w.txtNo->text(), QStringLiteral("2"));
}

int main(int argc, char** argv) {
    if (argc == 4 && QByteArray(argv[1]) == "--hold-lock")
        return holdLock(argv[2], argv[3]);
    QApplication app(argc, argv);
    FileFaultsTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_file_faults.moc"
