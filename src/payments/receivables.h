#pragma once
#include "store/currency.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

class Database;

// What one customer owes at the end of a month: the balance brought forward, the month's sales
// and receipts, the balance, and the balance by how long past due it is.
struct Receivable {
    QString 顧客名;
    Currency 前月末残高, 当月売上, 当月入金, 残高;
    Currency 期限内, 超過30, 超過60, 超過61; // 1–30, 31–60 and over 60 days past due
};

// Every customer with invoices up to the end of `month`'s month, by name. Only the invoices and
// payments dated by the month's end count; the balance is aged as of the month's end, or
// `today` while the month is not over.
QList<Receivable> ReadReceivables(Database& main, const QDate& month, const QDate& today);
// The statement ReadReceivables sends, for a direct comparison.
QString ReceivablesStatement(const QDate& month, const QDate& today);

// The headings of the page and its CSV, and a row as the CSV writes it.
extern const QStringList ReceivableHeadings;
QStringList ReceivableCsvRow(const Receivable& r);
