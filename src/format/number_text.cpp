#include "format/number_text.h"

#include <QLocale>
#include <cmath>

namespace {
// Quantities are typed with at most a few decimals; more places would only show binary noise.
constexpr int QuantityPlaces = 6;
} // namespace

QString formatGrouped(double v) {
    if (!std::isfinite(v))
        return {};
    const double r = std::round(v);
    if (r == 0)
        return {};
    return QLocale(QLocale::English).toString(static_cast<qlonglong>(r));
}

QString formatQuantity(double v) {
    if (!std::isfinite(v))
        return {};
    QString fixed = QString::number(std::fabs(v), 'f', QuantityPlaces);
    while (fixed.endsWith(u'0'))
        fixed.chop(1);
    if (fixed.endsWith(u'.'))
        return formatGrouped(v); // whole at the places shown: as before
    const qsizetype point = fixed.indexOf(u'.');
    QString whole = fixed.left(point);
    for (qsizetype pos = whole.size() - 3; pos > 0; pos -= 3)
        whole.insert(pos, u',');
    return (v < 0 ? QStringLiteral("-") : QString()) + whole + fixed.mid(point);
}
