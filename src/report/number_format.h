#pragma once

#include <QString>
#include <QVariant>

namespace report {

// Applies an output format to a bound value; "#,###" and the quantity format are known, anything else prints the value
// as is.
QString applyOutputFormat(const QVariant& value, const QString& format);

// The date box shows "yyyy年mm月dd日"; the invoice prints "yyyy/mm/dd".
QString reformatDate(const QString& shown);

} // namespace report
