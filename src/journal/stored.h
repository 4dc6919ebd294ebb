#pragma once
#include "book/search.h"
#include "journal/posting.h"

#include <QList>

class Database;

// The names an office uses in one accounting program: what it stored over the program's standard ones.
JournalNames ReadJournalNames(Database& main, JournalFormat f);
// Stores every program's names, `names` in the order of JournalFormatNames, all or nothing. A name
// that is blank or the program's standard one is not stored, so it keeps following the standard.
void SaveJournalNames(Database& main, const QList<JournalNames>& names);

QList<JournalExportRecord> ReadJournalExports(Database& main);
void RecordJournalExport(Database& main, const JournalExportRecord& r);

// Every correction and deletion the invoice book holds, under the invoice's date before the change
// and, for an invoice that still stands, its date now: the export that held either went out before.
QList<InvoiceChange> ReadInvoiceChanges(Database& main);

// The payments of [from, to] against the live invoices the list's search finds, as the journal
// posts them: 「現金」 into cash, every other way into the bank account.
QList<Payment> ReadPeriodPayments(Database& main, const BookQuery& q, const QDate& from, const QDate& to);
