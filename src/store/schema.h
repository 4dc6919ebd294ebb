#pragma once
#include <QString>
#include <QStringList>
#include <functional>

class Database;

// Each file carries its schema version in PRAGMA user_version (a server book in ServerVersionTable). Version 0 is the first delivered
// schema; every later version is one upgrade step. The delivered schema files always hold the
// newest version.
enum class SchemaFile { Main, Work };
// A book on a server keeps its version in this table's one row.
inline const QString ServerVersionTable = QStringLiteral("vornisa_schema");

// The steps of a file: step i upgrades version i to i + 1.
const QStringList& schemaSteps(SchemaFile file);
// The version this program writes and reads.
inline int schemaVersion(SchemaFile file) { return static_cast<int>(schemaSteps(file).size()); }

int storedSchemaVersion(Database& db);

// Brings an older file up to the program's version: putAside runs first (a copy of the file
// must exist before anything changes; if it throws, nothing is changed), then every missing
// step and the new version number are written in one transaction. Throws DbError when the
// file is newer than the program or a step fails; the file is then as it was. Returns the
// version the file had.
int upgradeSchema(Database& db, const QStringList& steps, const std::function<void(int from)>& putAside);
inline int upgradeSchema(Database& db, SchemaFile file, const std::function<void(int from)>& putAside) {
    return upgradeSchema(db, schemaSteps(file), putAside);
}
