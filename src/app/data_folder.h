#pragma once
#include "store/tables.h"

#include <QString>

// Where the two database files live: beside the program in data/, or in the developer's
// fixed folder when the marker file exists. Tests pass other paths.
struct DataFolderRule {
    QString markerFile = QStringLiteral("c:/ruvaravovo.txt");
    QString fixedFolder = QStringLiteral("c:/develop4/Vornisa/data/");
};

// Always ends in a separator.
QString chooseDataPath(const QString& programFolder, const DataFolderRule& rule = {});

// Held by the running program so that a second one on the same folder refuses to start.
inline const QString LockFileName = QStringLiteral("Vornisa.lock");
