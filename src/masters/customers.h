#pragma once
#include "store/database.h"

// The customer page: the work copy and the master move only on these routines.
void Read顧客マスタ(Database& work, const QString& mainDbPath);
// Writes every named work row into the master, all or nothing.
void Entry顧客情報(Database& main, Database& work);
// False when no row is ticked (nothing done).
bool Delete顧客(Database& main, Database& work);
void Clear顧客情報(Database& work);
