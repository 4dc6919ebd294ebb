#include "book/payment_state.h"

QString StateText(PaymentState s) {
    switch (s) {
    case PaymentState::未入金:
        return QStringLiteral("未入金");
    case PaymentState::一部入金:
        return QStringLiteral("一部入金");
    case PaymentState::入金済:
        return QStringLiteral("入金済");
    case PaymentState::期限超過:
        return QStringLiteral("期限超過");
    case PaymentState::過入金:
        return QStringLiteral("過入金");
    }
    return QString();
}

PaymentState StateOf(Currency total, Currency paid, const QDate& due, const QDate& today) {
    if (paid > total && paid > Currency())
        return PaymentState::過入金;
    if (paid >= total)
        return PaymentState::入金済;
    if (due.isValid() && due < today)
        return PaymentState::期限超過;
    return paid == Currency() ? PaymentState::未入金 : PaymentState::一部入金;
}

PaymentState StateOn(Currency total, const QDate& due, const QList<DatedAmount>& payments, const QDate& day) {
    Currency paid;
    for (const DatedAmount& p : payments)
        if (p.date <= day)
            paid = paid + p.amount;
    return StateOf(total, paid, due, day);
}
