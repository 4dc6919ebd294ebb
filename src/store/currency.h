#pragma once
#include <QString>
#include <cstdint>
#include <optional>

// Money as a signed count of ten-thousandths: exact for sums, as the books need.
class Currency {
  public:
    static constexpr std::int64_t Scale = 10000;

    constexpr Currency() = default;
    static constexpr Currency fromRaw(std::int64_t raw) { return Currency(raw); }
    static Currency fromWhole(std::int64_t whole) { return Currency(whole * Scale); }
    // Rounds to the nearest ten-thousandth, ties to even.
    static Currency fromDouble(double v);
    // Plain decimal text ("-1234.5"); nullopt for anything else.
    static std::optional<Currency> parse(const QString& text);

    constexpr std::int64_t raw() const { return raw_; }
    double toDouble() const { return static_cast<double>(raw_) / Scale; }
    // Whole part toward zero; callers only do this on values already whole.
    std::int64_t truncated() const { return raw_ / Scale; }
    // Decimal text without trailing zeros ("1234.5", "-3", "0").
    QString toString() const;

    friend constexpr Currency operator+(Currency a, Currency b) { return Currency(a.raw_ + b.raw_); }
    friend constexpr Currency operator-(Currency a, Currency b) { return Currency(a.raw_ - b.raw_); }
    friend constexpr bool operator==(Currency a, Currency b) = default;
    friend constexpr auto operator<=>(Currency a, Currency b) = default;

  private:
    constexpr explicit Currency(std::int64_t raw) : raw_(raw) {}
    std::int64_t raw_ = 0;
};
