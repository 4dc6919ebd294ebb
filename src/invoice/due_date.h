#pragma once
#include <QDate>
#include <QStringList>

// The rules a new invoice's payment due date may follow, as the settings list them; the first,
// 「なし」, leaves the due date empty and is the default.
inline const QStringList DueDateRules = {QStringLiteral("なし"), QStringLiteral("月末締め翌月末"),
                                         QStringLiteral("月末締め翌々月末"), QStringLiteral("請求日から30日")};

// The due date the rule gives an invoice dated invoiceDate: the end of the next month or of the
// month after it, or 30 days on. Invalid for 「なし」, a rule it does not know, or no invoice date.
QDate DefaultDueDate(const QString& rule, const QDate& invoiceDate);

// A customer's terms of payment, as the customer master holds them: the cut-off day (締日: 「末日」
// or a day of the month), the month paid in after the cut-off (支払月) and its day (支払日), and
// whether each invoice is billed on its own (「都度」) or the month's deliveries together (「締め」).
struct PaymentTerms {
    QString 締日, 支払月, 支払日, 請求方法;
    // The three dates are all given: a new invoice's due date follows them.
    bool set() const { return !締日.isEmpty() && !支払月.isEmpty() && !支払日.isEmpty(); }
};
inline const QStringList TermDays = {QStringLiteral("末日"), QStringLiteral("5"),  QStringLiteral("10"),
                                     QStringLiteral("15"),   QStringLiteral("20"), QStringLiteral("25")};
inline const QStringList PaymentMonths = {QStringLiteral("当月"), QStringLiteral("翌月"), QStringLiteral("翌々月")};
inline const QStringList BillingMethods = {QStringLiteral("都度"), QStringLiteral("締め")};

// What is wrong with the terms, as a short Japanese phrase; empty when they are sound. Each part
// may be blank (the terms then give no due date), but all three dates go together.
QString TermsProblem(const PaymentTerms& t);
// The cut-off an invoice of `date` falls under: the first cut-off day on or after it.
QDate CutOffFor(const QString& 締日, const QDate& date);
// The due date the terms give an invoice dated invoiceDate: the payment day of the month paid
// in, counted from the cut-off's month; never before the cut-off itself. Invalid when the terms
// are not set or not sound.
QDate TermsDueDate(const PaymentTerms& t, const QDate& invoiceDate);
