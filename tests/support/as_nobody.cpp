#include "support/as_nobody.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <grp.h>
#include <unistd.h>

namespace {

constexpr QFile::Permissions OpenToAll = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                                         QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;

bool giveToNobody(const QString& path) {
    return ::chown(QFile::encodeName(path).constData(), NobodyId, NobodyId) == 0;
}

bool giveTreeToNobody(const QString& path) {
    bool ok = giveToNobody(path);
    QDirIterator it(path, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        ok = giveToNobody(it.next()) && ok;
    return ok;
}

} // namespace

NobodyRun runAsNobody(const QString& testFunction, const QStringList& paths, const QProcessEnvironment& extra) {
    NobodyRun run;
    QTemporaryDir home; // the program's copy, and the child's home and runtime folder
    const QString program = home.filePath(QCoreApplication::applicationName());
    const QString runtime = home.filePath(QStringLiteral("runtime"));
    if (!home.isValid() || !QFile::copy(QCoreApplication::applicationFilePath(), program) ||
        !QFile::setPermissions(program, OpenToAll) || !QFile::setPermissions(home.path(), OpenToAll) ||
        !QDir().mkdir(runtime) || !giveTreeToNobody(home.path())) {
        run.output = "could not prepare a folder for the unprivileged user under " + QFile::encodeName(home.path());
        return run;
    }
    for (const QString& p : paths)
        if (!giveTreeToNobody(p)) {
            run.output = "could not hand " + QFile::encodeName(p) + " to the unprivileged user";
            return run;
        }

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home.path());
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(extra);
    QProcess child;
    child.setProcessEnvironment(env);
    child.setWorkingDirectory(home.path());
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.setChildProcessModifier([] {
        if (::setgroups(0, nullptr) != 0 || ::setgid(NobodyId) != 0 || ::setuid(NobodyId) != 0)
            ::_exit(99);
    });
    child.start(program, {testFunction});
    if (!child.waitForFinished(120000)) {
        child.kill();
        child.waitForFinished();
    }
    run.output = child.readAll();
    const QByteArray pass = "PASS   : ";
    const QByteArray name = "::" + testFunction.toUtf8() + "()";
    bool reported = false;
    for (const QByteArray& line : run.output.split('\n'))
        reported = reported || (line.startsWith(pass) && line.trimmed().endsWith(name));
    run.passed = child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0 && reported;
    return run;
}
