#pragma once

#include <QString>
#include <QVariant>

// Figures as the screen and the printed invoice show them, so both read the same.
namespace figures {

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
