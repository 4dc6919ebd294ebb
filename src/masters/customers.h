#pragma once
#include "invoice/due_date.h"
#include "store/database.h"

// The customer page: the work copy and the master move only on these routines.
void Read顧客マスタ(Database& work, const QString& mainDbPath);
// Writes every named work row into the master, all or nothing.
void Entry顧客情報(Database& main, Database& work);
// False when no row is ticked (nothing done).
bool Delete顧客(Database& main, Database& work);
void Clear顧客情報(Database& work);

// The named work rows whose terms of payment are not sound, each with what is wrong.
QStringList CustomersWithUnsoundTerms(Database& work);
// The terms of payment of a customer row, of the master or the work copy.
PaymentTerms TermsOf(const Recordset& customer);
