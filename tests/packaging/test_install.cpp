// The install tree: `cmake --install` into a scratch prefix puts every file where a Linux
// desktop looks for it, the desktop entry and AppStream file pass their validators, and the
// installed program starts in a scratch home and makes its data folder once.
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Run {
    int code = -1;
    QByteArray output;
};

Run run(const QString& program, const QStringList& args,
        const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    if (!p.waitForFinished(120000))
        p.kill();
    p.waitForFinished();
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAll()};
}

QByteArray bytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class InstallTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase();
    void filesInPlace_data();
    void filesInPlace();
    void validatorsAccept_data();
    void validatorsAccept();
    void desktopEntryMatchesInstall();
    void guidePicturesInstalled();
    void installedProgramMakesDataFolderOnce();

  private:
    QTemporaryDir prefix_;
    QString file(const QString& relative) const { return prefix_.filePath(relative); }
};

void InstallTest::initTestCase() {
    QVERIFY(prefix_.isValid());
    const Run r = run(QStringLiteral(CMAKE_COMMAND), {QStringLiteral("--install"), QStringLiteral(BUILD_DIR),
                                                      QStringLiteral("--prefix"), prefix_.path()});
    QVERIFY2(r.code == 0, r.output.constData());
}

void InstallTest::filesInPlace_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("iconSize"); // 0: not a picture
    for (const char* p :
         {"bin/vornisa", "share/vornisa/main_schema.sql", "share/vornisa/work_schema.sql",
          "share/applications/vornisa.desktop", "share/metainfo/jp.example.vornisa.metainfo.xml",
          "share/icons/hicolor/scalable/apps/vornisa.svg", "share/doc/vornisa/README.md",
          "share/doc/vornisa/guide/index.html", "share/doc/vornisa/copyright", "share/doc/vornisa/changelog.gz",
          "share/man/man1/vornisa.1.gz", "share/man/ja/man1/vornisa.1.gz"})
        QTest::newRow(p) << QString::fromLatin1(p) << 0;
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QString path = QStringLiteral("share/icons/hicolor/%1x%1/apps/vornisa.png").arg(size);
        QTest::newRow(qPrintable(path)) << path << size;
    }
}

void InstallTest::filesInPlace() {
    QFETCH(QString, path);
    QFETCH(int, iconSize);
    const QFileInfo fi(file(path));
    QVERIFY2(fi.isFile() && fi.size() > 0, qPrintable(path));
    QCOMPARE(fi.isExecutable(), path.startsWith(QLatin1String("bin/")));
    if (iconSize > 0)
        QCOMPARE(QImage(fi.filePath()).size(), QSize(iconSize, iconSize));
}

void InstallTest::validatorsAccept_data() {
    QTest::addColumn<QString>("validator");
    QTest::addColumn<QStringList>("args");
    QTest::newRow("desktop entry") << "desktop-file-validate"
                                   << QStringList{file(QStringLiteral("share/applications/vornisa.desktop"))};
    QTest::newRow("AppStream") << "appstreamcli"
                               << QStringList{QStringLiteral("validate"), QStringLiteral("--no-net"),
                                              QStringLiteral("--pedantic"),
                                              file(QStringLiteral("share/metainfo/jp.example.vornisa.metainfo.xml"))};
}

void InstallTest::validatorsAccept() {
    QFETCH(QString, validator);
    QFETCH(QStringList, args);
    const QString program = QStandardPaths::findExecutable(validator);
    QVERIFY2(!program.isEmpty(), qPrintable(validator + QStringLiteral(" is missing: run make deps")));
    const Run r = run(program, args);
    QVERIFY2(r.code == 0, r.output.constData());
    // desktop-file-validate reports hints and warnings with a zero exit code.
    QVERIFY2(!r.output.contains("error") && !r.output.contains("warning"), r.output.constData());
}

void InstallTest::desktopEntryMatchesInstall() {
    QFile f(file(QStringLiteral("share/applications/vornisa.desktop")));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QHash<QString, QString> entry; // key=value lines; the file holds one group
    for (const QByteArray& line : f.readAll().split('\n'))
        if (const int eq = line.indexOf('='); eq > 0)
            entry.insert(QString::fromUtf8(line.left(eq)), QString::fromUtf8(line.mid(eq + 1)));
    QVERIFY(QFileInfo(file(QStringLiteral("bin/") + entry.value(QStringLiteral("Exec")))).isExecutable());
    QVERIFY(QFileInfo::exists(
        file(QStringLiteral("share/icons/hicolor/scalable/apps/%1.svg").arg(entry.value(QStringLiteral("Icon"))))));
    QCOMPARE(entry.value(QStringLiteral("Categories")), QStringLiteral("Office;Finance;"));
    QVERIFY(!entry.value(QStringLiteral("Name")).isEmpty());
    QVERIFY(!entry.value(QStringLiteral("Name[ja]")).isEmpty());
}

void InstallTest::guidePicturesInstalled() {
    const QString guide = file(QStringLiteral("share/doc/vornisa/guide/"));
    QFile page(guide + QStringLiteral("index.html"));
    QVERIFY(page.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(page.readAll());
    int pictures = 0;
    for (const auto& m : QRegularExpression(QStringLiteral("<img src=\"([^\"]+)\"")).globalMatch(html)) {
        const QImage shot(guide + m.captured(1));
        QVERIFY2(!shot.isNull() && shot.width() >= 600, qPrintable(m.captured(1)));
        ++pictures;
    }
    QVERIFY(pictures >= 5); // the four pages and the preview
}

void InstallTest::installedProgramMakesDataFolderOnce() {
    QTemporaryDir home;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home.path());
    env.remove(QStringLiteral("XDG_DATA_HOME"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    const QString program = file(QStringLiteral("bin/vornisa"));
    const QString folder = home.filePath(QStringLiteral(".local/share/vornisa/data/"));

    const Run first = run(program, {QStringLiteral("--check-start")}, env);
    QVERIFY2(first.code == 0, first.output.constData());
    QVERIFY2(first.output.contains(("data folder: " + folder).toUtf8()), first.output.constData());
    QVERIFY2(first.output.contains("データを保存するフォルダーを作成しました"), first.output.constData());
    for (const char* name : {"Vornisa.mdb", "VornisaWork.mdb"})
        QVERIFY(QFileInfo(folder + QLatin1String(name)).size() > 0);
    // Nothing beside the installed program.
    QCOMPARE(QDir(file(QStringLiteral("bin"))).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("vornisa")});

    const QByteArray before = bytes(folder + QStringLiteral("Vornisa.mdb"));
    const Run second = run(program, {QStringLiteral("--check-start")}, env);
    QVERIFY2(second.code == 0, second.output.constData());
    QVERIFY2(!second.output.contains("作成しました"), second.output.constData());
    QCOMPARE(bytes(folder + QStringLiteral("Vornisa.mdb")), before);
}

QTEST_GUILESS_MAIN(InstallTest)
#include "test_install.moc"
