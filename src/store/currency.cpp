#include "store/currency.h"

#include <cmath>
#include <limits>

Currency Currency::fromDouble(double v) {
    // nearbyint honours the default rounding mode, which is ties to even.
    const double scaled = std::nearbyint(v * static_cast<double>(Scale));
    constexpr double limit = 9.2e18;
    if (!(scaled < limit && scaled > -limit))
        return Currency(scaled > 0 ? std::numeric_limits<std::int64_t>::max()
                                   : std::numeric_limits<std::int64_t>::min());
    return Currency(static_cast<std::int64_t>(scaled));
}

std::optional<Currency> Currency::parse(const QString& text) {
    const QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    int i = 0;
    bool negative = false;
    if (t[0] == u'-' || t[0] == u'+') {
        negative = t[0] == u'-';
        i = 1;
    }
    std::int64_t whole = 0, frac = 0;
    int fracDigits = 0, wholeDigits = 0;
    bool point = false;
    for (; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c == u'.' && !point) {
            point = true;
            continue;
        }
        if (c < u'0' || c > u'9')
            return std::nullopt;
        const int d = c.unicode() - u'0';
        if (point) {
            if (fracDigits < 4) {
                frac = frac * 10 + d;
                ++fracDigits;
            } else if (d != 0) {
                return std::nullopt; // more precision than money holds
            }
        } else {
            if (++wholeDigits > 14)
                return std::nullopt;
            whole = whole * 10 + d;
        }
    }
    if (wholeDigits == 0 && fracDigits == 0)
        return std::nullopt;
    while (fracDigits < 4) {
        frac *= 10;
        ++fracDigits;
    }
    const std::int64_t raw = whole * Scale + frac;
    return Currency(negative ? -raw : raw);
}

QString Currency::toString() const {
    const bool negative = raw_ < 0;
    const std::uint64_t mag = negative ? 0 - static_cast<std::uint64_t>(raw_) : static_cast<std::uint64_t>(raw_);
    QString s = QString::number(mag / Scale);
    std::uint64_t frac = mag % Scale;
    if (frac != 0) {
        QString f = QString::number(frac).rightJustified(4, u'0');
        while (f.endsWith(u'0'))
            f.chop(1);
        s += u'.' + f;
    }
    return negative ? u'-' + s : s;
}
