#pragma once
#include "store/currency.h"

#include <QString>
#include <optional>

class Database;

inline const double TaxRate = 0.05;

// The three total boxes; nullopt is a blank box.
struct Totals {
    Currency 税抜計;
    std::optional<Currency> 消費税;
    std::optional<Currency> 合計;
};

// Sums the work lines and applies the tax category ("外税", "内税"; anything else: no tax).
Totals Calc明細(Database& work, const QString& 税区分);

// A money box's text: the whole amount with thousands separators, blank for no value.
QString FormatAmount(const std::optional<Currency>& v);

// The amount a box shows: rounded to whole, half away from zero.
Currency ShownAmount(Currency v);
