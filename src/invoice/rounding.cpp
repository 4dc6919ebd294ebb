#include "invoice/rounding.h"

#include <cmath>

namespace {
constexpr double Bound = 9999999999.99;
} // namespace

Currency RoundAmount(double v, const QString& mode) {
    if (!std::isfinite(v) || v > Bound || v < -Bound)
        return Currency();
    if (mode == QStringLiteral("切り捨て")) {
        // 0.29 * 100 is 28.999999999999996 in double and must still give 29.
        if (v > 0)
            v += 0.00000001;
    } else if (mode == QStringLiteral("四捨五入")) {
        v = v > 0 ? v + 0.5 : v - 0.5;
    } else {
        // Not a full 1: fractions below 0.00001 are noise of the double product.
        v = v > 0 ? v + 0.99999 : v - 0.99999;
    }
    return Currency::fromWhole(static_cast<std::int64_t>(std::trunc(v)));
}

std::optional<double> CellNumber(const QString& text) {
    const QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

std::optional<Currency> LineAmount(const QString& quantityText, const QString& priceText) {
    const auto q = CellNumber(quantityText);
    const auto p = CellNumber(priceText);
    if (!q || !p)
        return std::nullopt;
    return RoundAmount(*p * *q, QString());
}
