#include "invoice/due_date.h"

namespace {
QDate monthEnd(const QDate& inMonth) {
    return QDate(inMonth.year(), inMonth.month(), inMonth.daysInMonth());
}
} // namespace

QDate DefaultDueDate(const QString& rule, const QDate& invoiceDate) {
    if (!invoiceDate.isValid())
        return {};
    // The first of the month, so that adding months never lands past a shorter month's end.
    const QDate first(invoiceDate.year(), invoiceDate.month(), 1);
    if (rule == DueDateRules[1])
        return monthEnd(first.addMonths(1));
    if (rule == DueDateRules[2])
        return monthEnd(first.addMonths(2));
    if (rule == DueDateRules[3])
        return invoiceDate.addDays(30);
    return {};
}
