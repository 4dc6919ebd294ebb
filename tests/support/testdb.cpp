#include "support/testdb.h"

#include "store/delivered.h"
#include "store/server_book.h"
#include "store/tables.h"

#include <QFile>
#include <QProcessEnvironment>
#include <atomic>
#include <stdexcept>
#include <unistd.h>

namespace {
// The test server's connection text to its administration database, from the file ctest's fixture wrote.
QString adminConnection() {
    QFile state(QProcessEnvironment::systemEnvironment().value(QStringLiteral("VORNISA_TEST_PG")));
    if (state.fileName().isEmpty() || !state.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(state.readAll()).trimmed();
}
} // namespace

bool serverTestsPossible() {
    return !adminConnection().isEmpty();
}

bool serverBackend() {
    return QProcessEnvironment::systemEnvironment().value(QStringLiteral("VORNISA_TEST_BACKEND")) ==
           QLatin1String("server");
}

ServerDatabase::ServerDatabase() {
    static std::atomic<int> made{0};
    const QString admin = adminConnection();
    if (admin.isEmpty())
        throw std::runtime_error("no test server: VORNISA_TEST_PG names no running server");
    name = QStringLiteral("vt_%1_%2").arg(getpid()).arg(++made);
    Database::connect(admin, {})->executeRaw(QStringLiteral("CREATE DATABASE ") + name);
    connection = admin + QStringLiteral(" dbname=") + name; // the later dbname counts
}

ServerDatabase::~ServerDatabase() {
    try {
        Database::connect(adminConnection(), {})->executeRaw(QStringLiteral("DROP DATABASE %1 WITH (FORCE)").arg(name));
    } catch (const DbError&) {
    }
}

TestData::TestData() {
    const DeliveredFiles r =
        makeDeliveredFiles(QStringLiteral(VORNISA_MAIN_SCHEMA), QStringLiteral(VORNISA_WORK_SCHEMA), dir.path());
    if (!r.ok())
        throw std::runtime_error("building the test databases failed: " + r.error.toStdString());
    if (serverBackend()) {
        server = std::make_unique<ServerDatabase>();
        copyBookToServer(*Database::open(mainPath(), mainTables, Durability::Full),
                         *Database::connect(server->connection, {}));
    }
}

std::unique_ptr<Database> DataFolder::openMain() const {
    if (server)
        return Database::connect(server->connection, mainTables);
    return Database::open(mainPath(), mainTables, Durability::Full);
}
std::unique_ptr<Database> DataFolder::openWork() const {
    return Database::open(workPath(), workTables, Durability::Scratch);
}
