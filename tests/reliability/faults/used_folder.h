#pragma once
#include "support/testdb.h"

// A data folder as the program leaves it after some use: both files in WAL mode, closed,
// holding customers, products, settings, learned units, invoice 7 (the counter at 7) and a
// hint. Each object is a fresh copy of one such folder built once per test program.
struct UsedFolder : DataFolder {
    UsedFolder();
};

// The seeded invoice, its customer and products.
inline constexpr qint32 StoredInvoice = 7;
inline const QString StoredCustomer = QStringLiteral("山田商店");
