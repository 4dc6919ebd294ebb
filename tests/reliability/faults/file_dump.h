#pragma once
#include <QString>
#include <QStringList>

struct sqlite3;

// Everything a connection sees in its main file: the schema, then every row of every table
// in rowid order with its stored type, so any change to any table shows as a difference.
QStringList dumpAll(sqlite3* db);
// PRAGMA integrity_check's answer, joined; "ok" for a sound file.
QString integrity(sqlite3* db);
