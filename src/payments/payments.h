#pragma once
#include "store/currency.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

class Database;

inline const QStringList PaymentMethods = {QStringLiteral("振込"), QStringLiteral("現金"), QStringLiteral("手形"),
                                           QStringLiteral("相殺"), QStringLiteral("その他")};
// The most one payment may be: beyond it a figure was surely mistyped.
inline const Currency PaymentMax = Currency::fromWhole(100'000'000'000LL);

// A payment received against an invoice of the book now.
struct PaymentRecord {
    qint64 入金番号 = 0; // 0 until stored
    qint32 伝票番号 = 0;
    QDate 入金日;
    Currency 入金額;
    QString 入金方法 = PaymentMethods.front();
    Currency 振込手数料; // the bank fee the customer kept: counts as paid
    QString 摘要;
    Currency counted() const { return 入金額 + 振込手数料; }
};

// Why a payment cannot be taken, in Japanese; empty when it can. An amount of 0 or over
// PaymentMax, a negative fee or one over PaymentMax, no date or an unknown method is refused.
QString PaymentProblem(const PaymentRecord& p);

// The payments standing against invoice `number` of the book now, by date.
QList<PaymentRecord> ReadPayments(Database& main, qint32 number);
// Stores a payment against a live invoice and gives its number; throws DbError (with the
// reason) when PaymentProblem finds one or no invoice stands under the number.
qint64 AddPayment(Database& main, const PaymentRecord& p, const QDateTime& when);
// Takes a payment back: it no longer counts, its row is kept with the time it was taken back.
void RemovePayment(Database& main, qint64 id, const QDateTime& when);
// What was paid on invoice `number` of the book now.
Currency PaidOn(Database& main, qint32 number);
