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

namespace {
// The day of a month a term names: its last day for 「末日」, else the day itself.
QDate dayIn(const QDate& first, const QString& day) {
    return day == TermDays.front() ? monthEnd(first) : QDate(first.year(), first.month(), day.toInt());
}
} // namespace

QString TermsProblem(const PaymentTerms& t) {
    if (!t.締日.isEmpty() && !TermDays.contains(t.締日))
        return QStringLiteral("締日は「末日」か 5・10・15・20・25");
    if (!t.支払月.isEmpty() && !PaymentMonths.contains(t.支払月))
        return QStringLiteral("支払月は「当月」「翌月」「翌々月」");
    if (!t.支払日.isEmpty() && !TermDays.contains(t.支払日))
        return QStringLiteral("支払日は「末日」か 5・10・15・20・25");
    if (!t.請求方法.isEmpty() && !BillingMethods.contains(t.請求方法))
        return QStringLiteral("請求方法は「都度」か「締め」");
    const bool any = !t.締日.isEmpty() || !t.支払月.isEmpty() || !t.支払日.isEmpty();
    if (any && !t.set())
        return QStringLiteral("締日・支払月・支払日はそろえて指定");
    if (t.請求方法 == BillingMethods[1] && !t.set())
        return QStringLiteral("「締め」には締日・支払月・支払日が必要");
    return QString();
}

QDate CutOffFor(const QString& 締日, const QDate& date) {
    if (!date.isValid() || !TermDays.contains(締日))
        return {};
    const QDate first(date.year(), date.month(), 1);
    const QDate inMonth = dayIn(first, 締日);
    return date <= inMonth ? inMonth : dayIn(first.addMonths(1), 締日);
}

QDate TermsDueDate(const PaymentTerms& t, const QDate& invoiceDate) {
    if (!t.set() || !TermsProblem(t).isEmpty())
        return {};
    const QDate cutOff = CutOffFor(t.締日, invoiceDate);
    if (!cutOff.isValid())
        return {};
    const QDate first = QDate(cutOff.year(), cutOff.month(), 1).addMonths(PaymentMonths.indexOf(t.支払月));
    const QDate due = dayIn(first, t.支払日);
    // 「当月」 with a payment day before the cut-off day would fall due before the invoice is billed.
    return due >= cutOff ? due : dayIn(first.addMonths(1), t.支払日);
}
