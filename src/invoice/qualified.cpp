#include "invoice/qualified.h"

#include "store/database.h"
#include "store/statements.h"

#include <array>

namespace {

std::optional<Currency> taxOf(Currency sum, int rate, bool inclusive, const QString& mode) {
    // In ten-thousandths: sum × r / 100, or sum × r / (100 + r), brought to whole yen at once.
    const std::int64_t den = (inclusive ? 100 + rate : 100) * Currency::Scale;
    return Currency::fromWhole(DivideRounded(sum.raw() * rate, den, mode));
}

} // namespace

int LineRate(const Value& rate, bool exempt) {
    if (exempt)
        return 0;
    return !rate.isNull() && rate.toInt() == 8 ? 8 : 10;
}

QString RateText(const Value& rate) {
    if (rate.isNull())
        return QString();
    switch (rate.toInt()) {
    case 10:
        return RateChoices[0];
    case 8:
        return RateChoices[1];
    case 0:
        return RateChoices[2];
    default:
        return rate.toText();
    }
}

std::optional<int> ParseRate(const QString& text) {
    const QString t = text.trimmed();
    for (int i = 0; i < RateChoices.size(); ++i)
        if (t == RateChoices[i])
            return std::array{10, 8, 0}[i];
    QString digits = t;
    if (digits.endsWith(u'%'))
        digits.chop(1);
    bool ok = false;
    const int n = digits.toInt(&ok);
    if (ok && (n == 10 || n == 8 || n == 0))
        return n;
    return std::nullopt;
}

std::int64_t DivideRounded(std::int64_t num, std::int64_t den, const QString& mode) {
    const std::int64_t q = num / den; // toward zero
    const std::int64_t r = num % den;
    if (r == 0 || mode == RoundDown)
        return q;
    const std::int64_t away = num < 0 ? q - 1 : q + 1;
    if (mode == RoundUp)
        return away;
    const std::int64_t twice = (r < 0 ? -r : r) * 2;
    return twice >= den ? away : q;
}

RateSums SumByRate(Database& work) {
    RateSums s;
    auto rs = work.openRecordset(sql::Q1());
    for (rs->moveFirst(); !rs->eof(); rs->moveNext()) {
        const Currency amount = rs->field(QStringLiteral("金額")).toCurrency();
        switch (LineRate(rs->field(QStringLiteral("税率")), rs->field(QStringLiteral("非課税")).toBool())) {
        case 8:
            s.s8 = s.s8 + amount;
            s.has8 = true;
            break;
        case 10:
            s.s10 = s.s10 + amount;
            s.has10 = true;
            break;
        default:
            s.exempt = s.exempt + amount;
        }
    }
    return s;
}

void SyncExemptFlags(Database& work) {
    Transaction t(work);
    work.execute(sql::Q2());
    work.execute(sql::Q3());
    t.commit();
}

QualifiedTotals CalcQualified(const RateSums& s, const QString& 税区分, const QString& 端数処理) {
    QualifiedTotals t;
    const Currency T = s.total();
    t.税抜計 = T;
    if (T == Currency())
        return t;
    if (s.has10)
        t.対象10 = s.s10;
    if (s.has8)
        t.対象8 = s.s8;
    const bool exclusive = 税区分 == QStringLiteral("外税");
    const bool inclusive = 税区分 == QStringLiteral("内税");
    if (!exclusive && !inclusive) {
        t.合計 = T;
        return t;
    }
    Currency tax;
    if (s.has10) {
        t.消費税10 = taxOf(s.s10, 10, inclusive, 端数処理);
        tax = tax + *t.消費税10;
    }
    if (s.has8) {
        t.消費税8 = taxOf(s.s8, 8, inclusive, 端数処理);
        tax = tax + *t.消費税8;
    }
    t.消費税 = tax;
    if (exclusive) {
        t.合計 = T + tax;
    } else {
        t.合計 = T;
        t.税抜計 = T - tax;
    }
    return t;
}

RegNoCheck NormaliseRegNo(const QString& typed, QString* normalised) {
    // Full-width letters, digits and hyphens become ASCII; blanks and hyphens of any kind go.
    QString t;
    for (const QChar c : typed.normalized(QString::NormalizationForm_KC)) {
        if (c.isSpace() || c == u'-' || (c.unicode() >= 0x2010 && c.unicode() <= 0x2015) || c.unicode() == 0x2212)
            continue;
        t += c;
    }
    if (t.isEmpty()) {
        if (normalised)
            *normalised = QString();
        return RegNoCheck::Empty;
    }
    if (t[0] == u't')
        t[0] = u'T';
    if (t.size() != 14 || t[0] != u'T')
        return RegNoCheck::Invalid;
    for (int i = 1; i < 14; ++i)
        if (t[i] < u'0' || t[i] > u'9')
            return RegNoCheck::Invalid;
    if (normalised)
        *normalised = t;
    // The first digit checks the other twelve: 9 − (Σ Pn × Qn mod 9), Pn counted from the
    // right, Qn 1 for odd n and 2 for even n.
    int sum = 0;
    for (int n = 1; n <= 12; ++n)
        sum += (t[14 - n].unicode() - u'0') * (n % 2 == 1 ? 1 : 2);
    return t[1].unicode() - u'0' == 9 - sum % 9 ? RegNoCheck::Ok : RegNoCheck::BadCheckDigit;
}
