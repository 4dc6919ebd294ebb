#include "support/testdb.h"

#include "store/tables.h"

#include <QProcess>
#include <stdexcept>

TestData::TestData() {
    // Quiet unless it fails: tests and benchmarks build hundreds of these.
    QProcess mkdb;
    mkdb.setProcessChannelMode(QProcess::MergedChannels);
    mkdb.start(QStringLiteral(VORNISA_MKDB),
               {QStringLiteral(VORNISA_MAIN_SCHEMA), QStringLiteral(VORNISA_WORK_SCHEMA), dir.path()});
    if (!mkdb.waitForFinished(-1) || mkdb.exitStatus() != QProcess::NormalExit || mkdb.exitCode() != 0)
        throw std::runtime_error("building the test databases failed: " + mkdb.readAll().toStdString());
}

std::unique_ptr<Database> DataFolder::openMain() const {
    return Database::open(mainPath(), mainTables, Durability::Full);
}
std::unique_ptr<Database> DataFolder::openWork() const {
    return Database::open(workPath(), workTables, Durability::Scratch);
}
