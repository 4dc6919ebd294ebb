#pragma once
#include "masters/master_copy.h"
#include "store/database.h"

// The product page: the work copy and the master move only on these routines.
void Read商品マスタ(Database& work, const QString& mainDbPath);
// Writes the rows edited, typed or imported since the master was read, all or nothing; refuses
// (StaleMaster) a row another PC changed or deleted meanwhile.
void Entry商品情報(Database& main, Database& work);
// False when no row is ticked (nothing done).
bool Delete商品(Database& main, Database& work);
// The master and its work copy, for what the page asks of them besides.
const MasterTables& productTables();
void Clear商品情報(Database& work);
