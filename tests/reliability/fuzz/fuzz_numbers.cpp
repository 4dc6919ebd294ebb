// Numbers the user types: invoice numbers, cell numbers, money text and the number boxes,
// and the rounding of line amounts. The input is read as text, and its first bytes also as
// raw money and doubles.
#include "check.h"
#include "figures/figures.h"
#include "invoice/invoice_io.h"
#include "invoice/lines.h"
#include "invoice/rounding.h"
#include "ui/number_box.h"

#include <QApplication>
#include <QLocale>
#include <QValidator>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

bool asciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// Invoice numbers: digits (full-width ones as ASCII), leading zeros allowed, worth 1 to 2,147,483,647.
void invoiceNumber(const QString& typed) {
    qint32 n = -7;
    const NumberCheck check = CheckInvoiceNumber(typed, &n);
    FUZZ_REQUIRE(CheckInvoiceNumber(typed, nullptr) == check, "the result does not depend on the out value");
    const QString text = figures::asciiNumber(typed);
    bool digits = !text.isEmpty();
    for (const QChar c : text)
        digits = digits && asciiDigit(c);
    QString significant = text;
    while (significant.startsWith(u'0'))
        significant.remove(0, 1);
    const bool inRange =
        !significant.isEmpty() &&
        (significant.size() < 10 || (significant.size() == 10 && significant <= QLatin1String("2147483647")));
    if (text.isEmpty())
        FUZZ_REQUIRE(check == NumberCheck::Empty, "empty text is empty");
    else if (!digits)
        FUZZ_REQUIRE(check == NumberCheck::NotNumeric, "anything but ASCII digits is not a number");
    else if (!inRange)
        FUZZ_REQUIRE(check == NumberCheck::OutOfRange, "0 and numbers past 2147483647 are out of range");
    else
        FUZZ_REQUIRE(check == NumberCheck::Ok && QString::number(n) == significant, "the number is the digits' value");
    if (check != NumberCheck::Ok)
        FUZZ_REQUIRE(n == -7, "a refused number leaves the out value alone");
}

// The decimal a plain money text means, written as Currency::toString writes it.
QString canonicalDecimal(QString t) {
    bool negative = false;
    if (t.startsWith(u'-') || t.startsWith(u'+')) {
        negative = t[0] == u'-';
        t.remove(0, 1);
    }
    QString whole = t.section(u'.', 0, 0), frac = t.section(u'.', 1);
    while (whole.startsWith(u'0'))
        whole.remove(0, 1);
    while (frac.endsWith(u'0'))
        frac.chop(1);
    QString s = (whole.isEmpty() ? QStringLiteral("0") : whole) + (frac.isEmpty() ? QString() : u'.' + frac);
    return negative && s != QLatin1String("0") ? u'-' + s : s;
}

void moneyText(const QString& text) {
    const auto c = Currency::parse(text);
    const QString t = text.trimmed();
    // Plain decimal: a sign, digits and one point, at least one digit.
    int signs = 0, points = 0, wholeDigits = 0, fracDigits = 0, fracSignificant = 0;
    bool plain = !t.isEmpty();
    for (qsizetype i = 0; i < t.size() && plain; ++i) {
        const QChar ch = t[i];
        if ((ch == u'-' || ch == u'+') && i == 0)
            ++signs;
        else if (ch == u'.' && points == 0)
            ++points;
        else if (!asciiDigit(ch))
            plain = false;
        else if (points == 0)
            ++wholeDigits;
        else if (++fracDigits > 4 && ch != u'0')
            ++fracSignificant;
    }
    plain = plain && wholeDigits + fracDigits > 0;
    if (!plain)
        FUZZ_REQUIRE(!c, "money text is plain decimal or nothing");
    else if (wholeDigits <= 14 && fracSignificant == 0)
        FUZZ_REQUIRE(c && c->toString() == canonicalDecimal(t), "plain money text gives its exact value");
    else
        FUZZ_REQUIRE(!c, "money beyond 14 digits or four decimals is refused, not cut");
}

void moneyRoundTrip(std::int64_t raw) {
    const Currency c = Currency::fromRaw(raw);
    const auto back = Currency::parse(c.toString());
    FUZZ_REQUIRE(!back || *back == c, "money text never reads back as another value");
    if (raw > -1000000000000000000 && raw < 1000000000000000000)
        FUZZ_REQUIRE(back && *back == c, "money up to 14 whole digits reads back exactly");
    // Amounts within the grid's limits pass through a double (cell text, sums) unchanged.
    if (std::llabs(raw) <= 100000000000000)
        FUZZ_REQUIRE(Currency::fromDouble(c.toDouble()) == c, "money survives a double");
}

struct Limit {
    RangeColumn column;
    double limit;
};
constexpr Limit limits[] = {
    {RangeColumn::Quantity, 999999.99}, {RangeColumn::Price, 99999999.99}, {RangeColumn::Amount, 9999999999.0}};

void cellNumber(const QString& text) {
    const auto v = CellNumber(text);
    const QString t = text.trimmed();
    if (v) {
        FUZZ_REQUIRE(std::isfinite(*v), "a cell number is finite");
        for (const QChar ch : t)
            FUZZ_REQUIRE(ch.unicode() > 0x20 && ch.unicode() < 0x7f, "a cell number is written in ASCII");
        // The grid shows a stored quantity with 17 digits; that text must give the same number.
        FUZZ_REQUIRE(CellNumber(QString::number(*v, 'g', 17)) == *v, "a stored quantity reads back as itself");
    }
    bool plain = !t.isEmpty() && t.size() < 300;
    int digits = 0, points = 0;
    for (qsizetype i = 0; i < t.size() && plain; ++i) {
        const QChar ch = t[i];
        if (asciiDigit(ch))
            ++digits;
        else if (ch == u'.')
            plain = ++points == 1;
        else
            plain = i == 0 && (ch == u'-' || ch == u'+');
    }
    if (plain && digits > 0) {
        const std::string s = t.toStdString();
        FUZZ_REQUIRE(v && *v == std::strtod(s.c_str(), nullptr), "a plain decimal reads as the nearest double");
    }
    for (const Limit& l : limits) {
        const bool expected = t.isEmpty() || (v && std::fabs(*v) <= l.limit);
        FUZZ_REQUIRE(InRange(l.column, text) == expected, "a cell stays exactly when empty or within its limits");
    }
    const auto q = CellNumber(text.section(u'*', 0, 0)), p = CellNumber(text.section(u'*', 1));
    FUZZ_REQUIRE(LineAmount(text.section(u'*', 0, 0), text.section(u'*', 1)).has_value() == (q && p),
                 "a line amount exists exactly when quantity and price are numbers");
}

constexpr double Bound = 9999999999.99;
const QString modes[] = {QString(), QStringLiteral("切り捨て"), QStringLiteral("四捨五入")};

double whole(Currency c) {
    FUZZ_REQUIRE(c.raw() % Currency::Scale == 0, "a rounded amount is whole");
    return static_cast<double>(c.truncated());
}

void rounding(double v, double w) {
    for (const QString& m : modes) {
        const Currency r = RoundAmount(v, m);
        if (!std::isfinite(v) || std::fabs(v) > Bound) {
            FUZZ_REQUIRE(r == Currency(), "values beyond the bound give 0");
            continue;
        }
        const double x = whole(r);
        if (m.isEmpty()) {
            // Away from zero, fractions below 0.00001 dropped.
            if (v > 0)
                FUZZ_REQUIRE(x >= v - 0.00001 && x < v + 1, "away from zero");
            FUZZ_REQUIRE(RoundAmount(-v, m) == Currency() - r, "away from zero is symmetric");
        } else if (m == modes[1]) {
            if (v > 0)
                FUZZ_REQUIRE(x <= v + 0.0000001 && x > v - 1, "truncation, nudged up");
            else
                FUZZ_REQUIRE(x >= v && x < v + 1, "truncation toward zero");
        } else {
            FUZZ_REQUIRE(std::fabs(x - v) <= 0.5 + 0.000001, "half away from zero");
            FUZZ_REQUIRE(RoundAmount(-v, m) == Currency() - r, "half away from zero is symmetric");
        }
        const double n = std::trunc(v);
        FUZZ_REQUIRE(RoundAmount(n, m) == Currency::fromWhole(static_cast<std::int64_t>(n)), "whole amounts stay");
        if (std::isfinite(w) && std::fabs(w) <= Bound && v <= w)
            FUZZ_REQUIRE(RoundAmount(v, m) <= RoundAmount(w, m), "rounding keeps order");
    }
}

// One box of each format for the whole run: widgets are slow to make.
struct Boxes {
    int argc = 1;
    char name[13] = "fuzz_numbers";
    char* argv[2] = {name, nullptr};
    bool offscreen = qputenv("QT_QPA_PLATFORM", "offscreen"); // before the application starts
    QApplication app{argc, argv};
    NumberBox grouped{NumberBox::Format::Grouped}, plain{NumberBox::Format::Plain};
};

void numberBoxes(const QString& text, std::int64_t raw) {
    static Boxes boxes;
    NumberBox &grouped = boxes.grouped, &plain = boxes.plain;
    const Currency c = Currency::fromRaw(raw);
    grouped.setValue(c);
    plain.setValue(c);
    FUZZ_REQUIRE(grouped.value() == c, "a grouped box gives back the value it was given");
    if (raw > -1000000000000000000 && raw < 1000000000000000000)
        FUZZ_REQUIRE(plain.value() == c, "a plain box gives back the value it was given");
    if (std::llabs(raw) <= 100000000000000) {
        // Whole yen, half away from zero, with thousands separators; zero shows as 0.
        const std::int64_t yen = (std::llabs(raw) + Currency::Scale / 2) / Currency::Scale * (raw < 0 ? -1 : 1);
        FUZZ_REQUIRE(grouped.text() == QLocale(QLocale::English).toString(static_cast<qlonglong>(yen)),
                     "a grouped box shows the whole amount");
    }
    // What the plain box lets the user type, it reads as that whole number.
    QString typed = text;
    int pos = 0;
    if (plain.validator()->validate(typed, pos) == QValidator::Acceptable) {
        plain.setText(typed);
        const auto v = plain.value();
        const QString digits = QString(typed).remove(u',');
        if (digits.isEmpty() || digits == QLatin1String("-"))
            FUZZ_REQUIRE(!v, "an empty box holds nothing");
        else
            FUZZ_REQUIRE(v && *v == Currency::fromWhole(digits.toLongLong()), "typed digits are the box's value");
    }
}

template <typename T> T bytesAs(const std::uint8_t* data, std::size_t size, std::size_t at) {
    T v{};
    if (size >= at + sizeof(T))
        std::memcpy(&v, data + at, sizeof(T));
    return v;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    invoiceNumber(text);
    moneyText(text);
    cellNumber(text);
    const auto raw = bytesAs<std::int64_t>(data, size, 0);
    moneyRoundTrip(raw);
    rounding(bytesAs<double>(data, size, 0), bytesAs<double>(data, size, 8));
    if (const auto v = CellNumber(text))
        rounding(*v, *v * 3);
    numberBoxes(text, raw);
    return 0;
}
