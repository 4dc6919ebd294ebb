#include "figures/figures.h"

#include <cmath>
#include <optional>

namespace figures {

namespace {

// Thousands commas on the whole part of plain digits, with or without a fraction after a point.
QString grouped(QString digits) {
    const qsizetype point = digits.indexOf(QLatin1Char('.'));
    for (qsizetype pos = (point < 0 ? digits.size() : point) - 3; pos > 0; pos -= 3)
        digits.insert(pos, QLatin1Char(','));
    return digits;
}

// A bound value as a number: numbers as they are, numeric text parsed; other text is not a number.
std::optional<double> numberOf(const QVariant& value) {
    bool ok = false;
    const double number = value.toDouble(&ok);
    if (ok)
        return number;
    const double parsed = value.toString().trimmed().toDouble(&ok);
    return ok ? std::optional<double>(parsed) : std::nullopt;
}

QString formatted(const QVariant& value, QString (*format)(double)) {
    if (!value.isValid() || value.isNull())
        return {};
    const std::optional<double> number = numberOf(value);
    return number ? format(*number) : value.toString();
}

} // namespace

QString asciiNumber(QString typed) {
    for (QChar& c : typed) {
        const char16_t u = c.unicode();
        if (u >= u'０' && u <= u'９')
            c = QChar(u - u'０' + u'0');
        else if (u == u'，' || u == u'、')
            c = u',';
        else if (u == u'．' || u == u'。')
            c = u'.';
        else if (u == u'－' || u == u'−' || u == u'ー')
            c = u'-';
    }
    return typed;
}

QString formatThousands(double value) {
    if (!std::isfinite(value))
        return {};
    const double rounded = std::round(value); // half away from zero
    if (rounded == 0.0)
        return {};
    const QString digits = grouped(QString::number(std::fabs(rounded), 'f', 0));
    return rounded < 0 ? QLatin1Char('-') + digits : digits;
}

QString formatThousands(const QVariant& value) {
    return formatted(value, static_cast<QString (*)(double)>(&formatThousands));
}

QString formatQuantity(double value) {
    if (!std::isfinite(value))
        return {};
    const double rounded = std::round(value * 10000.0) / 10000.0;
    if (rounded == std::round(rounded))
        return formatThousands(rounded);
    QString digits = QString::number(std::fabs(rounded), 'f', 4);
    while (digits.endsWith(QLatin1Char('0')))
        digits.chop(1);
    digits = grouped(digits);
    return rounded < 0 ? QLatin1Char('-') + digits : digits;
}

QString formatQuantity(const QVariant& value) {
    return formatted(value, static_cast<QString (*)(double)>(&formatQuantity));
}

} // namespace figures
