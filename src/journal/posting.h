#pragma once
#include "issued/issued.h"
#include "journal/names.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

// A payment received from a customer, as plain values until the payments book exists.
struct Payment {
    QDate date;
    QString 顧客名;
    std::optional<qint32> 伝票番号; // the invoice it settles, when known
    Currency 入金額;                // what reached the account
    Currency 手数料;                // the bank fee the customer took off the payment
    bool 現金 = false;              // paid in cash rather than into the bank account
};

// One line of a slip: the same amount on the debit and the credit side, so every slip balances
// by construction. A tax amount is given only where the program knows it; the accounting program
// works out the rest from the category.
struct JournalRow {
    QString 借方科目, 借方補助, 借方税区分;
    std::optional<Currency> 借方税額;
    QString 貸方科目, 貸方補助, 貸方税区分;
    std::optional<Currency> 貸方税額;
    Currency 金額;
};

struct Slip {
    enum class Kind { Sale, Receipt };
    Kind kind = Kind::Sale;
    QDate date;
    QString 番号;   // the invoice number; empty for a receipt that names none
    QString 取引先; // the customer
    QString 摘要;
    std::optional<QDate> 期日; // the due date of a sale, when known
    QString 口座;              // the account a receipt came into
    QList<JournalRow> rows;
};

struct Posted {
    QList<Slip> slips;
    QStringList problems; // nothing may be exported while any is listed
};

// A sale posts one row per invoice and rate: debit 売掛金 (sub-account: the customer), credit 売上高
// with the rate's category, the tax-inclusive amount and its tax. An invoice that works out no tax
// posts its total as one 非課税 row. A payment posts 普通預金 (or 現金) / 売掛金, and the fee the
// customer kept 支払手数料 / 売掛金. The posted sales must add up to the invoices' totals.
Posted Post(const QList<IssuedInvoice>& invoices, const QList<Payment>& payments, const JournalNames& names);

// A journal export as the record table keeps it, and a correction or deletion from the invoice book.
struct JournalExportRecord {
    QString 形式;
    QDate 期間開始, 期間終了;
    QDateTime 出力日時;
};
struct InvoiceChange {
    qint32 伝票番号 = 0;
    QDate 日付; // the invoice's date
    QDateTime 変更日時;
};
// The invoices of [from, to] changed after the last export in this format whose period held
// their date, each number once in the order given: they went out before and differ now.
QList<qint32> ChangedSinceExport(const QList<JournalExportRecord>& log, const QString& 形式, QDate from, QDate to,
                                 const QList<InvoiceChange>& changes);
