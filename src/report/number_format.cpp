#include "report/number_format.h"

#include <QRegularExpression>
#include <cmath>

namespace report {

QString formatThousands(double value) {
    if (!std::isfinite(value))
        return {};
    const double rounded = std::round(value); // half away from zero
    if (rounded == 0.0)
        return {};
    QString digits = QString::number(std::fabs(rounded), 'f', 0);
    for (qsizetype pos = digits.size() - 3; pos > 0; pos -= 3)
        digits.insert(pos, QLatin1Char(','));
    return rounded < 0 ? QLatin1Char('-') + digits : digits;
}

QString formatThousands(const QVariant& value) {
    if (!value.isValid() || value.isNull())
        return {};
    bool ok = false;
    const double number = value.toDouble(&ok);
    if (ok)
        return formatThousands(number);
    const QString text = value.toString().trimmed();
    const double parsed = text.toDouble(&ok);
    return ok ? formatThousands(parsed) : value.toString();
}

QString applyOutputFormat(const QVariant& value, const QString& format) {
    if (format == QLatin1String("#,###"))
        return formatThousands(value);
    if (!value.isValid() || value.isNull())
        return {};
    return value.toString();
}

QString reformatDate(const QString& shown) {
    static const QRegularExpression pattern(
        QStringLiteral("^\\s*(\\d{4})\\s*年\\s*(\\d{1,2})\\s*月\\s*(\\d{1,2})\\s*日\\s*$"));
    const QString trimmed = shown.trimmed();
    if (trimmed.isEmpty())
        return {};
    const QRegularExpressionMatch m = pattern.match(trimmed);
    if (!m.hasMatch())
        return trimmed; // print what the box showed rather than lose it
    return QStringLiteral("%1/%2/%3")
        .arg(m.captured(1))
        .arg(m.captured(2).toInt(), 2, 10, QLatin1Char('0'))
        .arg(m.captured(3).toInt(), 2, 10, QLatin1Char('0'));
}

} // namespace report
