#include "support/testdb.h"

#include "store/delivered.h"
#include "store/tables.h"

#include <stdexcept>

TestData::TestData() {
    const DeliveredFiles r =
        makeDeliveredFiles(QStringLiteral(VORNISA_MAIN_SCHEMA), QStringLiteral(VORNISA_WORK_SCHEMA), dir.path());
    if (!r.ok())
        throw std::runtime_error("building the test databases failed: " + r.error.toStdString());
}

std::unique_ptr<Database> DataFolder::openMain() const {
    return Database::open(mainPath(), mainTables, Durability::Full);
}
std::unique_ptr<Database> DataFolder::openWork() const {
    return Database::open(workPath(), workTables, Durability::Scratch);
}
