#pragma once

#include <QDate>
#include <QString>
#include <QVariant>

namespace report {

// Applies an output format to a bound value; "#,###" and the quantity format are known, anything else prints the value
// as is.
QString applyOutputFormat(const QVariant& value, const QString& format);

// The date box shows "yyyy年mm月dd日"; the invoice prints "yyyy/mm/dd".
QString reformatDate(const QString& shown);

// A date in the Japanese era: 令和8年1月15日, 令和元年5月1日, from 明治 on. Before 1873, when the
// country took this calendar, the era's days were others: "" then.
QString warekiDate(const QDate& date);
// A date as the page prints it: "yyyy/mm/dd", or in the era when asked and the date has one.
QString printedDate(const QDate& date, bool wareki);

// The invoice number as the page prints it: "No. 00012"; "" for none.
QString printedInvoiceNumber(const QString& number);

} // namespace report
