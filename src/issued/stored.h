#pragma once
#include "book/search.h"
#include "issued/issued.h"

#include <optional>

class Database;

// The registered invoice stored under the number now, as it stands after any correction;
// nullopt when none is (never registered, or deleted).
std::optional<IssuedInvoice> ReadIssued(Database& main, qint32 number);

// The live invoices the list's search finds, in date and number order. A deleted invoice is never
// among them, whatever the search shows: only what stands in the book goes out.
QList<IssuedInvoice> ReadIssued(Database& main, BookQuery q);
