#pragma once
#include "store/database.h"

#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

using Fields = std::vector<std::pair<QString, Value>>;

// Adds one row the way the grids write them: through a record set over the table.
void addRow(Database& db, const QString& table, const Fields& fields);
// Every row of a table as "field=value|…", Null as "<null>", in storage order.
QStringList dump(Database& db, const QString& table);
// The same rows sorted, for checks where storage order does not matter.
QStringList sortedDump(Database& db, const QString& table);
// Expected rows in the order sortedDump gives them.
QStringList sorted(QStringList rows);
int countRows(Database& db, const QString& table);
