#pragma once
#include "store/tables.h"

#include <QString>

// The developer's marker file and fixed folder. Both are absolute, so the folder the program is
// started from plays no part. Tests pass other paths.
struct DataFolderRule {
    QString markerFile = QStringLiteral("/ruvaravovo.txt");
    QString fixedFolder = QStringLiteral("/develop4/Vornisa/data/");
};

// The fixed folder when the marker file exists; else `data` beside the program when that folder
// exists (a build tree, a portable copy); else the user's own folder (an installed program).
// Always ends in a separator.
QString chooseDataPath(const QString& programFolder, const DataFolderRule& rule = {});

// $XDG_DATA_HOME/vornisa/data/, or ~/.local/share/vornisa/data/ when that is unset or empty.
QString userDataPath();

// Makes the user's data folder, when it is not there yet, with the two delivered files built
// from the schema files in `schemaFolder`. Gives true when it made the folder. A folder that is
// there is never touched. Throws StartRefused when the folder cannot be made.
bool makeUserDataFolder(const QString& dataPath, const QString& schemaFolder);

// Held by the running program so that a second one on the same folder refuses to start.
inline const QString LockFileName = QStringLiteral("Vornisa.lock");
