#pragma once
#include <QString>

// The program's own files other than itself (the schema files that make a new data folder, the
// user guide) are found from the program's folder, so that an install under any prefix, or a
// package unpacked anywhere, works: share/ beside bin/ when installed, share/ inside the program's
// own folder in a build tree. Gives the first of the two that exists, else the installed place.
QString sharedPath(const QString& programFolder, const QString& relative);

// The user guide's first page.
inline const QString GuidePage = QStringLiteral("doc/vornisa/guide/index.html");
// The same guide built into the program, for a copy without share/ or a desktop without a browser.
inline const QString BuiltInGuidePage = QStringLiteral("qrc:/guide/index.html");
// The schema files of the delivered database files.
inline const QString SchemaFolder = QStringLiteral("vornisa");
