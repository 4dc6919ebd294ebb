#pragma once
#include "store/currency.h"

#include <QDate>
#include <QList>
#include <QString>

// Where an invoice stands with its customer, from what was paid on it and its due date.
enum class PaymentState { 未入金, 一部入金, 入金済, 期限超過, 過入金 };
QString StateText(PaymentState s);

// The state of an invoice of `total` due on `due` (invalid: no due date) with `paid` received
// (fees the customer kept included), on the day `today`. More paid than a positive total is
// 過入金; an open invoice past its due date is 期限超過.
PaymentState StateOf(Currency total, Currency paid, const QDate& due, const QDate& today);

// The same on a given day, counting only the payments received by then.
struct DatedAmount {
    QDate date;
    Currency amount;
};
PaymentState StateOn(Currency total, const QDate& due, const QList<DatedAmount>& payments, const QDate& day);
