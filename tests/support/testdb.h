#pragma once
#include "store/database.h"

#include <QTemporaryDir>
#include <memory>

// A temporary data folder holding the two database files, removed with the object.
struct DataFolder {
    QTemporaryDir dir;
    QString folder() const { return dir.path() + u'/'; }
    QString mainPath() const { return folder() + QStringLiteral("Vornisa.mdb"); }
    QString workPath() const { return folder() + QStringLiteral("VornisaWork.mdb"); }
    std::unique_ptr<Database> openMain() const;
    std::unique_ptr<Database> openWork() const;
};

// A data folder with freshly built delivered files.
struct TestData : DataFolder {
    TestData();
};
