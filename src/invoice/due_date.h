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
