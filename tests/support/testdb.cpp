#include "support/testdb.h"

#include "store/tables.h"

#include <QProcess>
#include <stdexcept>

TestData::TestData() {
    const int rc = QProcess::execute(QStringLiteral(VORNISA_MKDB), {QStringLiteral(VORNISA_MAIN_SCHEMA),
                                                                    QStringLiteral(VORNISA_WORK_SCHEMA), dir.path()});
    if (rc != 0)
        throw std::runtime_error("building the test databases failed");
}

std::unique_ptr<Database> TestData::openMain() const {
    return Database::open(mainPath(), mainTables, Durability::Full);
}
std::unique_ptr<Database> TestData::openWork() const {
    return Database::open(workPath(), workTables, Durability::Scratch);
}
