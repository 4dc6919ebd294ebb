#pragma once
#include "store/database.h"

#include <QTemporaryDir>
#include <memory>

// A database of its own on the test server (tools/pg-test-cluster, started by ctest), dropped
// with the object. serverTestsPossible() is false when no test server runs (PostgreSQL missing).
struct ServerDatabase {
    ServerDatabase();
    ~ServerDatabase();
    QString connection;
    QString name;
};
bool serverTestsPossible();
// A test run with VORNISA_TEST_BACKEND=server keeps the main book on the test server.
bool serverBackend();

// A temporary data folder holding the two database files, removed with the object. On the server
// backend the main book is a copy of the delivered file on a server database of its own.
struct DataFolder {
    QTemporaryDir dir;
    QString folder() const { return dir.path() + u'/'; }
    QString mainPath() const { return folder() + QStringLiteral("Vornisa.mdb"); }
    QString workPath() const { return folder() + QStringLiteral("VornisaWork.mdb"); }
    std::unique_ptr<Database> openMain() const;
    std::unique_ptr<Database> openWork() const;
    std::unique_ptr<ServerDatabase> server;
};

// A data folder with freshly built delivered files.
struct TestData : DataFolder {
    TestData();
};
