#include "report/number_format.h"

#include "figures/figures.h"

#include <QRegularExpression>

namespace report {

QString applyOutputFormat(const QVariant& value, const QString& format) {
    if (format == QLatin1String("#,###"))
        return figures::formatThousands(value);
    if (format == figures::kQuantityFormat)
        return figures::formatQuantity(value);
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
