#pragma once
#include "store/database.h"

// Empties customers, products, the company record and every invoice, all or nothing.
void Data初期化(Database& main);
