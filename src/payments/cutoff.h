#pragma once
#include "invoice/qualified.h"
#include "store/currency.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <functional>
#include <optional>

class Database;

// A delivery note billed by a monthly summary invoice: its date, number, subject and line sums
// by rate, as the note's lines add up (before any tax for 外税, with it for 内税).
struct Delivery {
    QDate 日付;
    qint32 伝票番号 = 0;
    QString 件名;
    RateSums sums;
};

// The figures of a monthly summary invoice. Its tax is worked out once per rate over the whole
// period — the summary is the qualified invoice — not added up from the notes' own taxes.
struct CutOffFigures {
    Currency 前回御請求額, 御入金額, 繰越金額;
    QualifiedTotals 今回; // the period's sales: per-rate sums and taxes, 税抜計, 消費税, 合計
    Currency 今回御買上額;  // what the notes add up to, as the category shows it
    Currency 消費税額;
    Currency 今回御請求額; // carried over plus this period's sales and tax
};

// previousBilled is what the last summary asked for, received what came in since (fees the
// customer kept included).
CutOffFigures CutOffAmounts(Currency previousBilled, Currency received, const QList<Delivery>& notes,
                            const QString& 税区分, const QString& 端数処理);

// The tax basis a summary invoice is issued under: the settings in force.
struct SummaryBasis {
    QString 税率方式, 税区分, 端数処理, 登録番号;
};

// One customer billed monthly whose cut-off day falls on the date asked: what a cut-off would
// bill. `refused` says why none can be made (one already made for the date, nothing to bill).
struct CutOffCandidate {
    QString 顧客名;
    QDate 前回締日; // invalid for the first cut-off
    QList<Delivery> notes;
    CutOffFigures figures;
    QString refused;
};
QList<CutOffCandidate> FindCutOff(Database& main, const QDate& date, const SummaryBasis& basis);

// Makes the cut-off of `date` for the named customers, all in one transaction: per customer one
// 請求書 (a line per delivery note and rate, the figures in its notes) and the record of the
// cut-off with its notes, which no later cut-off bills again. Throws DbError, changing nothing,
// when any customer cannot be billed. `beforeEach` runs before each customer (progress; a throw
// from it undoes everything). Gives the numbers of the invoices made.
QList<qint32> RunCutOff(Database& main, const QDate& date, const QStringList& customers, const SummaryBasis& basis,
                        const QDateTime& when, const std::function<void(const QString&)>& beforeEach = {});

// A customer's latest cut-off, to be undone: its number, date and invoice; nullopt for none.
struct StandingCutOff {
    qint64 締め番号 = 0;
    QDate 締日;
    qint32 請求書番号 = 0;
};
std::optional<StandingCutOff> LatestCutOff(Database& main, const QString& customer);
// Whether invoice `number` of the book now is the summary of a standing cut-off: it goes only by
// undoing the cut-off, which frees its notes too.
bool IsCutOffInvoice(Database& main, qint32 number);
// What a summary invoice prints, from the record of its cut-off: the figures as they were
// billed and the notes it billed, in date order; nullopt when the invoice is no standing summary.
struct SummaryRecord {
    Currency 前回御請求額, 御入金額, 繰越金額, 今回御買上額, 消費税額, 今回御請求額;
    QList<Delivery> notes;
};
std::optional<SummaryRecord> ReadSummary(Database& main, qint32 number);
// Undoes a customer's latest cut-off: its invoice is deleted (kept in the history) and its notes
// are free again. Refused (DbError with the reason) when its invoice has payments.
void UndoCutOff(Database& main, const QString& customer, const QDateTime& when);
