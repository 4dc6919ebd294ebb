#pragma once
#include "store/currency.h"

#include <QString>
#include <cstdint>
#include <variant>

// A field value as the record sets hand it out: Null, or one of the column types.
class Value {
  public:
    Value() = default;
    Value(std::int64_t v) : v_(v) {}
    Value(int v) : v_(static_cast<std::int64_t>(v)) {}
    Value(double v) : v_(v) {}
    Value(bool v) : v_(v) {}
    Value(Currency v) : v_(v) {}
    Value(const QString& v) : v_(v) {}
    Value(const char*) = delete; // force QString, so Japanese text is never misread

    bool isNull() const { return std::holds_alternative<std::monostate>(v_); }
    bool isText() const { return std::holds_alternative<QString>(v_); }
    bool isCurrency() const { return std::holds_alternative<Currency>(v_); }
    bool isBool() const { return std::holds_alternative<bool>(v_); }
    bool isInt() const { return std::holds_alternative<std::int64_t>(v_); }
    bool isReal() const { return std::holds_alternative<double>(v_); }

    // Conversions; Null gives the empty value of the type.
    QString toText() const;
    double toDouble() const;
    std::int64_t toInt() const;
    bool toBool() const;
    Currency toCurrency() const;

    bool operator==(const Value& o) const = default;

  private:
    std::variant<std::monostate, std::int64_t, double, bool, Currency, QString> v_;
};
