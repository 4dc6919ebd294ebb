#pragma once

#include <QString>
#include <QVariant>

// Figures as the screen and the printed invoice show them, so both read the same, and as the
// user types them.
namespace figures {

// A number as typed with the input method on, in ASCII: full-width digits, comma, point and
// minus, and the 、 。 ー the input method gives for the comma, point and minus keys; every other
// character is left as it is, for the reader to judge.
QString asciiNumber(QString typed);

// "#,###": thousands commas, rounded to a whole number, zero shows as nothing.
QString formatThousands(double value);
// Null shows nothing; text that is not a number is passed through unchanged.
QString formatThousands(const QVariant& value);
// Quantities: a whole number as "#,###", a fraction with its decimals (up to four, no trailing zeros),
// so 2.5 shows as 2.5 and 1234.25 as 1,234.25.
inline const QString kQuantityFormat = QStringLiteral("#,###.####");
QString formatQuantity(double value);
QString formatQuantity(const QVariant& value);

} // namespace figures
