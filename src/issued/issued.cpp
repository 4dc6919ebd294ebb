#include "issued/issued.h"

#include "invoice/qualified.h"

namespace {

bool whole(Currency c) {
    return c.raw() % Currency::Scale == 0;
}

} // namespace

QDate IssueDate(const InvoiceHeader& h) {
    return QDate::fromString(h.date, QStringLiteral("yyyy/MM/dd"));
}

Figures FiguresOf(const IssuedInvoice& inv) {
    const InvoiceHeader& h = inv.header;
    Figures f;
    const QString who = QStringLiteral("請求書 %1").arg(h.number);
    const bool exclusive = h.税区分 == QStringLiteral("外税");
    const bool inclusive = h.税区分 == QStringLiteral("内税");
    f.taxed = exclusive || inclusive;
    f.total = h.合計.value_or(Currency());

    RateSums s;
    bool hasExempt = false;
    for (const IssuedLine& l : inv.lines) {
        if (!l.金額)
            continue;
        if (l.税率 == 8) {
            s.s8 = s.s8 + *l.金額;
            s.has8 = true;
        } else if (l.税率 == 0) {
            s.exempt = s.exempt + *l.金額;
            hasExempt = true;
        } else {
            s.s10 = s.s10 + *l.金額;
            s.has10 = true;
        }
    }
    // A tax-exclusive figure adds its tax; a tax-inclusive one already holds it.
    const auto add = [&](int rate, Currency base, Currency tax) {
        const Currency gross = inclusive ? base : base + tax;
        f.rates << RateFigure{rate, gross - tax, tax, gross};
    };

    if (h.税率方式 == Scheme10_8) {
        const QualifiedTotals q = CalcQualified(s, h.税区分, h.端数処理);
        if (q.対象10 != h.対象10 || q.消費税10 != h.消費税10 || q.対象8 != h.対象8 || q.消費税8 != h.消費税8 ||
            q.合計.value_or(Currency()) != f.total)
            f.problems << who + QStringLiteral(": 登録された金額が明細から計算した金額と一致しません");
        if (s.has10)
            add(10, s.s10, q.消費税10.value_or(Currency()));
        if (s.has8)
            add(8, s.s8, q.消費税8.value_or(Currency()));
    } else {
        // The old fixed rate taxed every line that is not exempt at once.
        if (s.has10 || s.has8)
            add(5, s.s10 + s.s8, f.taxed ? h.消費税.value_or(Currency()) : Currency());
    }
    if (hasExempt)
        f.rates << RateFigure{0, s.exempt, Currency(), s.exempt};

    Currency sum;
    bool fractions = !whole(f.total);
    for (const RateFigure& r : f.rates) {
        sum = sum + r.gross;
        fractions = fractions || !whole(r.net) || !whole(r.tax);
    }
    if (fractions)
        f.problems << who + QStringLiteral(": 1円未満の端数があります");
    else if (sum != f.total)
        f.problems << who + QStringLiteral(": 税率ごとの金額の合計が請求金額と一致しません");
    return f;
}
