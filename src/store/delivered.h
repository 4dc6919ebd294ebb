#pragma once
#include <QString>
#include <QStringList>

// The two database files as delivered, built from the schema files: what `make data` puts
// beside the program and what an installed program puts in a new user's data folder.
struct DeliveredFiles {
    QStringList built, kept; // paths
    QString error;           // empty when both files are there
    bool ok() const { return error.isEmpty(); }
};

// Builds Vornisa.mdb and VornisaWork.mdb in `folder` (made when missing). A file already there
// is kept as it is; a file is built under another name and renamed when whole, so a half-built
// file is never taken for a delivered one.
DeliveredFiles makeDeliveredFiles(const QString& mainSchema, const QString& workSchema, const QString& folder);
