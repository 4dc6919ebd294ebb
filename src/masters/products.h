#pragma once
#include "store/database.h"

// The product page: the work copy and the master move only on these routines.
void Read商品マスタ(Database& work, const QString& mainDbPath);
// Writes every named work row into the master, all or nothing.
void Entry商品情報(Database& main, Database& work);
// False when no row is ticked (nothing done).
bool Delete商品(Database& main, Database& work);
void Clear商品情報(Database& work);
