#pragma once
#include "invoice/due_date.h"
#include "masters/master_copy.h"
#include "store/database.h"

// The customer page: the work copy and the master move only on these routines.
void Read顧客マスタ(Database& work, const QString& mainDbPath);
// Writes the rows edited, typed or imported since the master was read, all or nothing; refuses
// (StaleMaster) a row another PC changed or deleted meanwhile.
void Entry顧客情報(Database& main, Database& work);
// False when no row is ticked (nothing done).
bool Delete顧客(Database& main, Database& work);
// The master and its work copy, for what the page asks of them besides.
const MasterTables& customerTables();
void Clear顧客情報(Database& work);

// The named work rows whose terms of payment are not sound, each with what is wrong.
QStringList CustomersWithUnsoundTerms(Database& work);
// The terms of payment of a customer row, of the master or the work copy.
PaymentTerms TermsOf(const Recordset& customer);
