// Where the books are kept: the developer's marker, a `data` folder beside the program (a build
// tree, a portable copy), else the user's own folder, made once at the first start.
#include "app/shared_files.h"
#include "app/startup.h"
#include "window_fixture.h"

#include <QDir>
#include <QScopeGuard>

class DataFolderTest : public QObject {
    Q_OBJECT
  private slots:
    void init();
    void cleanup();
    void choice_data();
    void choice();
    void markerIgnoresWorkingFolder();
    void userFolderMadeOnceDataBesideWins();
    void missingSchemaRefusesAndLeavesNothing();

  private:
    // An installed layout: <prefix>/bin holds the program, <prefix>/share/vornisa the schema.
    QString makeInstall(bool withSchema = true);
    QTemporaryDir scratch_;
    QList<msg::Shown> shown_;
    DataFolderRule rule() const { return {scratch_.filePath(QStringLiteral("no-marker")), QStringLiteral("/fixed/")}; }
    QStringList entries(const QString& relative) const {
        return QDir(scratch_.filePath(relative)).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }
};

namespace {
QByteArray bytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

void DataFolderTest::init() {
    QVERIFY(scratch_.isValid());
    qputenv("XDG_DATA_HOME", scratch_.filePath(QStringLiteral("xdg")).toLocal8Bit());
    msg::setAnswerer([this](const msg::Shown& s) {
        shown_ << s;
        return s.defaultButton;
    });
}

void DataFolderTest::cleanup() {
    msg::setAnswerer({});
    shown_.clear();
    QDir(scratch_.path()).removeRecursively();
    QDir().mkpath(scratch_.path());
}

QString DataFolderTest::makeInstall(bool withSchema) {
    const QString bin = scratch_.filePath(QStringLiteral("prefix/bin"));
    const QString share = scratch_.filePath(QStringLiteral("prefix/share/vornisa/"));
    if (!QDir().mkpath(bin) || !QDir().mkpath(share))
        return {};
    if (withSchema && (!QFile::copy(QStringLiteral(VORNISA_MAIN_SCHEMA), share + QStringLiteral("main_schema.sql")) ||
                       !QFile::copy(QStringLiteral(VORNISA_WORK_SCHEMA), share + QStringLiteral("work_schema.sql"))))
        return {};
    return bin;
}

void DataFolderTest::choice_data() {
    QTest::addColumn<bool>("marker");
    QTest::addColumn<QString>("beside"); // "dir", "file" or empty: what `data` beside the program is
    QTest::addColumn<QString>("xdg");    // XDG_DATA_HOME below the scratch folder, "" for unset
    QTest::addColumn<QString>("expected");
    const QString xdgData = QStringLiteral("xdg/vornisa/data/"), xdg = QStringLiteral("xdg");
    QTest::newRow("marker wins over data beside") << true << QStringLiteral("dir") << xdg << QStringLiteral("fixed/");
    QTest::newRow("data beside the program") << false << QStringLiteral("dir") << xdg << QStringLiteral("prog/data/");
    QTest::newRow("nothing beside: XDG_DATA_HOME") << false << QString() << xdg << xdgData;
    QTest::newRow("a file named data is no folder") << false << QStringLiteral("file") << xdg << xdgData;
    QTest::newRow("XDG_DATA_HOME unset or empty: home")
        << false << QString() << QString() << QStringLiteral("home/.local/share/vornisa/data/");
}

void DataFolderTest::choice() {
    QFETCH(bool, marker);
    QFETCH(QString, beside);
    QFETCH(QString, xdg);
    QFETCH(QString, expected);
    const QString base = scratch_.path() + u'/';
    QVERIFY(
        QDir().mkpath(base + (beside == QLatin1String("dir") ? QStringLiteral("prog/data") : QStringLiteral("prog"))));
    QFile dataFile(base + QStringLiteral("prog/data"));
    QVERIFY(beside != QLatin1String("file") || dataFile.open(QIODevice::WriteOnly));
    QFile markerFile(base + QStringLiteral("marker"));
    QVERIFY(!marker || markerFile.open(QIODevice::WriteOnly));
    qputenv("XDG_DATA_HOME", xdg.isEmpty() ? QByteArray() : (base + xdg).toLocal8Bit());
    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", (base + QStringLiteral("home")).toLocal8Bit());
    const auto restoreHome = qScopeGuard([&] { qputenv("HOME", home); });
    QCOMPARE(chooseDataPath(base + QStringLiteral("prog"), {markerFile.fileName(), base + QStringLiteral("fixed")}),
             base + expected);
}

void DataFolderTest::markerIgnoresWorkingFolder() {
    // The developer's marker and folder as they would be found relative to the working folder.
    const QString run = scratch_.filePath(QStringLiteral("run"));
    QVERIFY(QDir().mkpath(run + QStringLiteral("/c:/develop4/Vornisa/data")));
    QFile relative(run + QStringLiteral("/c:/ruvaravovo.txt"));
    QVERIFY(relative.open(QIODevice::WriteOnly));
    const QString program = scratch_.filePath(QStringLiteral("prog"));
    QVERIFY(QDir().mkpath(program + QStringLiteral("/data")));
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(run));
    const auto back = qScopeGuard([&] { QDir::setCurrent(before); });
    const DataFolderRule standard;
    QVERIFY(QDir::isAbsolutePath(standard.markerFile) && QDir::isAbsolutePath(standard.fixedFolder));
    if (QFileInfo::exists(standard.markerFile))
        QSKIP("this machine carries the developer's marker file");
    QCOMPARE(chooseDataPath(program, standard), program + QStringLiteral("/data/"));
}

void DataFolderTest::userFolderMadeOnceDataBesideWins() {
    const QString bin = makeInstall();
    QVERIFY(!bin.isEmpty());
    const QString folder = scratch_.filePath(QStringLiteral("xdg/vornisa/data/"));
    for (const bool first : {true, false}) {
        FrmVornisa w;
        QVERIFY(LoadMainWindow(w, bin, rule()));
        QCOMPARE(w.books.DataPath, folder);
        QCOMPARE(w.madeDataFolder, first);
        QCOMPARE(w.settings->lblデータフォルダ->text(), folder);
        if (first) { // told once where the books are kept
            QCOMPARE(shown_.size(), 1);
            QCOMPARE(shown_[0].text, msg::lookup(QStringLiteral("起動"), QStringLiteral("作成"), folder)->text);
            // The user's own books: only the user may enter the folder.
            QCOMPARE(QFile::permissions(folder) & (QFile::ReadOther | QFile::ReadGroup), QFile::Permissions());
            w.settings->txt自社名->setText(QStringLiteral("ヴォルニサ商事"));
            w.settings->cmd設定登録_Click();
            shown_.clear();
        } else {
            QVERIFY(shown_.isEmpty());
            QCOMPARE(w.books.cfg自社名, QStringLiteral("ヴォルニサ商事"));
        }
        w.close();
        QCOMPARE(entries(QStringLiteral("prefix/bin")), QStringList()); // nothing written beside the program
        QCOMPARE(entries(QStringLiteral("xdg/vornisa")), QStringList{QStringLiteral("data")});
    }
    // A folder that is there is used as it is, even when a file is missing: start-up says so.
    const QByteArray main = bytes(folder + MainDbName);
    QVERIFY(QFile::remove(folder + WorkDbName));
    FrmVornisa w;
    QVERIFY(!LoadMainWindow(w, bin, rule()));
    QVERIFY(!QFile::exists(folder + WorkDbName));
    QCOMPARE(bytes(folder + MainDbName), main);

    // A portable copy: `data` beside the program wins over the user's folder, and nothing is made.
    TestData data;
    QVERIFY(QDir().mkpath(bin + QStringLiteral("/data")));
    QVERIFY(QFile::copy(data.mainPath(), bin + QStringLiteral("/data/") + MainDbName));
    QVERIFY(QFile::copy(data.workPath(), bin + QStringLiteral("/data/") + WorkDbName));
    shown_.clear();
    FrmVornisa portable;
    QVERIFY(LoadMainWindow(portable, bin, rule()));
    QCOMPARE(portable.books.DataPath, bin + QStringLiteral("/data/"));
    QVERIFY(!portable.madeDataFolder);
    QVERIFY(shown_.isEmpty());
    QVERIFY(!QFile::exists(folder + WorkDbName));
}

void DataFolderTest::missingSchemaRefusesAndLeavesNothing() {
    FrmVornisa w;
    QVERIFY(!LoadMainWindow(w, makeInstall(false), rule()));
    QCOMPARE(shown_.size(), 1);
    QVERIFY2(shown_[0].text.startsWith(QStringLiteral("データフォルダーを作成できないため起動できません。")) &&
                 shown_[0].text.contains(QStringLiteral("main_schema.sql")),
             qPrintable(shown_[0].text));
    QVERIFY(!w.books.dbMain && !w.books.dbWork);
    // No half-made folder for the next start to take for the books.
    QCOMPARE(entries(QStringLiteral("xdg/vornisa")), QStringList());
}

QTEST_MAIN(DataFolderTest)
#include "test_data_folder.moc"
