#pragma once
#include "store/database.h"

// Empties customers, products, the company record with its seal and logo, the journal's names
// and export record, and every invoice, all or nothing.
void Data初期化(Database& main);
