#pragma once

#include <QString>
#include <QVariant>

namespace report {

// "#,###": thousands commas, rounded to a whole number, zero prints as nothing.
QString formatThousands(double value);
// Null prints nothing; text that is not a number is passed through unchanged.
QString formatThousands(const QVariant& value);
// Quantities: a whole number as "#,###", a fraction with its decimals (up to four, no trailing zeros),
// so 2.5 prints as 2.5 and 1234.25 as 1,234.25.
inline const QString kQuantityFormat = QStringLiteral("#,###.####");
QString formatQuantity(double value);

// Applies an output format to a bound value; "#,###" and the quantity format are known, anything else prints the value
// as is.
QString applyOutputFormat(const QVariant& value, const QString& format);

// The date box shows "yyyy年mm月dd日"; the invoice prints "yyyy/mm/dd".
QString reformatDate(const QString& shown);

} // namespace report
