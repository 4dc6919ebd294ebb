#pragma once
#include "store/currency.h"

#include <QString>
#include <optional>

// Whole amount of v under a rounding mode: "切り捨て" truncates (after a tiny nudge up for
// positive values), "四捨五入" rounds half away from zero, anything else rounds away from
// zero. Values beyond ±9,999,999,999.99 give 0.
Currency RoundAmount(double v, const QString& mode);

// Quantity times unit price, rounded away from zero; nullopt when either text is not a number.
std::optional<Currency> LineAmount(const QString& quantityText, const QString& priceText);

// The number a cell's text holds, or nullopt for empty or non-numeric text.
std::optional<double> CellNumber(const QString& text);
