#include "invoice/totals.h"

#include "invoice/rounding.h"
#include "store/database.h"
#include "store/statements.h"

#include <cmath>

namespace {

// A sum over a money column comes back as the raw count of ten-thousandths; Null is 0.
Currency readSum(Database& db, const QString& statement, const QString& column) {
    auto rs = db.openRecordset(statement);
    if (rs->eof())
        return Currency();
    const Value v = rs->field(column);
    if (v.isNull())
        return Currency();
    if (v.isCurrency())
        return v.toCurrency();
    return Currency::fromRaw(v.toInt());
}

} // namespace

Currency ShownAmount(Currency v) {
    const std::int64_t raw = v.raw();
    const std::int64_t half = Currency::Scale / 2;
    const std::int64_t whole = raw >= 0 ? (raw + half) / Currency::Scale : -((-raw + half) / Currency::Scale);
    return Currency::fromWhole(whole);
}

QString FormatAmount(const std::optional<Currency>& v) {
    if (!v)
        return QString();
    const std::int64_t whole = ShownAmount(*v).truncated();
    QString digits = QString::number(whole < 0 ? -whole : whole);
    for (int i = digits.size() - 3; i > 0; i -= 3)
        digits.insert(i, u',');
    return whole < 0 ? u'-' + digits : digits;
}

Totals Calc明細(Database& work, const QString& 税区分) {
    Totals t;
    const Currency T = readSum(work, sql::I12(), QStringLiteral("total"));
    const Currency H = readSum(work, sql::I13(), QStringLiteral("htotal"));
    t.税抜計 = T;
    if (T == Currency())
        return t;
    if (税区分 == QStringLiteral("外税")) {
        const Currency tax = RoundAmount(H.toDouble() * TaxRate, QStringLiteral("四捨五入"));
        t.消費税 = tax;
        // The total adds the tax to the subtotal as its box shows it.
        t.合計 = ShownAmount(t.税抜計) + tax;
    } else if (税区分 == QStringLiteral("内税")) {
        // Extended precision for the divisor and the quotient, then to four decimals.
        const long double q = static_cast<long double>(H.toDouble()) / (1.0L + static_cast<long double>(TaxRate));
        const Currency net = Currency::fromRaw(static_cast<std::int64_t>(std::nearbyintl(q * Currency::Scale)));
        const Currency tax = RoundAmount((H - net).toDouble(), QStringLiteral("四捨五入"));
        t.消費税 = tax;
        t.税抜計 = H - tax;
        t.合計 = T;
    } else {
        t.合計 = ShownAmount(t.税抜計);
    }
    return t;
}
