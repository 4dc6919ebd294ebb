#include "store/value.h"

#include <cmath>

QString Value::toText() const {
    if (auto p = std::get_if<QString>(&v_))
        return *p;
    if (auto p = std::get_if<std::int64_t>(&v_))
        return QString::number(*p);
    if (auto p = std::get_if<double>(&v_))
        return QString::number(*p, 'g', 17);
    if (auto p = std::get_if<bool>(&v_))
        return *p ? QStringLiteral("True") : QStringLiteral("False");
    if (auto p = std::get_if<Currency>(&v_))
        return p->toString();
    return {};
}

double Value::toDouble() const {
    if (auto p = std::get_if<double>(&v_))
        return *p;
    if (auto p = std::get_if<std::int64_t>(&v_))
        return static_cast<double>(*p);
    if (auto p = std::get_if<bool>(&v_))
        return *p ? -1.0 : 0.0;
    if (auto p = std::get_if<Currency>(&v_))
        return p->toDouble();
    if (auto p = std::get_if<QString>(&v_))
        return p->toDouble();
    return 0.0;
}

std::int64_t Value::toInt() const {
    if (auto p = std::get_if<std::int64_t>(&v_))
        return *p;
    if (auto p = std::get_if<QString>(&v_))
        return p->trimmed().toLongLong();
    if (auto p = std::get_if<bool>(&v_))
        return *p ? 1 : 0;
    return static_cast<std::int64_t>(std::llround(toDouble()));
}

bool Value::toBool() const {
    if (auto p = std::get_if<bool>(&v_))
        return *p;
    if (auto p = std::get_if<QString>(&v_))
        return p->compare(QStringLiteral("True"), Qt::CaseInsensitive) == 0 || *p == QStringLiteral("1");
    return toDouble() != 0.0;
}

Currency Value::toCurrency() const {
    if (auto p = std::get_if<Currency>(&v_))
        return *p;
    if (auto p = std::get_if<std::int64_t>(&v_))
        return Currency::fromWhole(*p);
    if (auto p = std::get_if<QString>(&v_))
        return Currency::parse(*p).value_or(Currency());
    return Currency::fromDouble(toDouble());
}
