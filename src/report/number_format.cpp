#include "report/number_format.h"

#include "figures/figures.h"

#include <QRegularExpression>

namespace report {

QString applyOutputFormat(const QVariant& value, const QString& format) {
    if (format == QLatin1String("#,###"))
        return figures::formatThousands(value);
    // The same, with a zero shown as 0 rather than left blank.
    if (format == QLatin1String("#,##0")) {
        const QString t = figures::formatThousands(value);
        return t.isEmpty() && !value.isNull() ? QStringLiteral("0") : t;
    }
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

QString warekiDate(const QDate& date) {
    struct Era {
        const char* name;
        QDate first;
    };
    // Newest first; 明治 counts its years from 1868 but is printed only from 1873 on.
    static const Era eras[] = {{"令和", QDate(2019, 5, 1)},
                               {"平成", QDate(1989, 1, 8)},
                               {"昭和", QDate(1926, 12, 25)},
                               {"大正", QDate(1912, 7, 30)},
                               {"明治", QDate(1868, 1, 1)}};
    if (!date.isValid() || date < QDate(1873, 1, 1))
        return {};
    for (const Era& era : eras) {
        if (date < era.first)
            continue;
        const int year = date.year() - era.first.year() + 1;
        return QString::fromUtf8(era.name) + (year == 1 ? QStringLiteral("元") : QString::number(year)) +
               QStringLiteral("年%1月%2日").arg(date.month()).arg(date.day());
    }
    return {};
}

QString printedDate(const QDate& date, bool wareki) {
    const QString era = wareki ? warekiDate(date) : QString();
    return era.isEmpty() ? date.toString(QStringLiteral("yyyy/MM/dd")) : era;
}

QString printedInvoiceNumber(const QString& number) {
    const QString t = number.trimmed();
    bool ok = false;
    const qlonglong n = t.toLongLong(&ok);
    if (t.isEmpty())
        return {};
    return QStringLiteral("No. ") + (ok && n > 0 ? QStringLiteral("%1").arg(n, 5, 10, QLatin1Char('0')) : t);
}

} // namespace report
