#include "peppol/rules.h"

#include <QDate>
#include <QRegularExpression>

#include <cmath>
#include <optional>

namespace pint {
namespace {

const QStringList kCategories = {QStringLiteral("S"), QStringLiteral("AA"), QStringLiteral("E"),
                                 QStringLiteral("Z"), QStringLiteral("G"),  QStringLiteral("O")};
// The invoice type codes PINT takes for an invoice (UNTDID 1001).
const QStringList kInvoiceTypes = {QStringLiteral("380"), QStringLiteral("80"),  QStringLiteral("82"),
                                   QStringLiteral("84"),  QStringLiteral("383"), QStringLiteral("386"),
                                   QStringLiteral("393"), QStringLiteral("395"), QStringLiteral("575"),
                                   QStringLiteral("623"), QStringLiteral("780")};

bool isDate(const QString& t) {
    return t.size() == 10 && QDate::fromString(t, Qt::ISODate).isValid();
}

std::optional<long double> number(const QString& t) {
    bool ok = false;
    const double v = t.trimmed().toDouble(&ok);
    return ok && std::isfinite(v) ? std::optional<long double>(v) : std::nullopt;
}

long double ld(Currency c) {
    return static_cast<long double>(c.raw()) / Currency::Scale;
}

QString yen(Currency c) {
    return c.toString() + QStringLiteral(" 円");
}

// A category and rate as one key: the rate as a number, so "8" and "8.00" are the same.
QString key(const QString& category, const QString& percent) {
    const auto p = number(percent);
    return category.trimmed() + u'|' + (p ? QString::number(static_cast<double>(*p)) : QString());
}

QString rateName(const QString& category, const QString& percent) {
    return percent.isEmpty() ? category : category + u' ' + percent + u'%';
}

} // namespace

QList<Finding> CheckRules(const Document& d) {
    QList<Finding> out;
    const auto form = [&out](bool ok, const QString& rule, const QString& text) {
        if (!ok)
            out << Finding{rule, text, false};
    };
    const auto sum = [&out](bool ok, const QString& rule, const QString& text) {
        if (!ok)
            out << Finding{rule, text, true};
    };

    for (const QString& element : d.unreadable)
        sum(false, element, QStringLiteral("%1 の金額を数値として読めません").arg(element));
    form(d.customizationId.startsWith(kCustomizationId), "aligned-ibrp-001-jp",
         QStringLiteral("仕様識別子が JP PINT（%1）ではありません: %2").arg(kCustomizationId, d.customizationId));
    form(d.profileId == kProfileId, "aligned-ibrp-002-jp",
         QStringLiteral("ビジネスプロセスが %1 ではありません: %2").arg(kProfileId, d.profileId));
    form(!d.id.isEmpty(), "ibr-002", QStringLiteral("請求書番号がありません"));
    form(isDate(d.issueDate), "ibr-003", QStringLiteral("請求日がないか、日付（YYYY-MM-DD）ではありません"));
    form(d.dueDate.isEmpty() || isDate(d.dueDate), "ibt-009",
         QStringLiteral("支払期日が日付（YYYY-MM-DD）ではありません"));
    form(kInvoiceTypes.contains(d.typeCode), "ibr-004",
         QStringLiteral("請求書の種類のコードがないか、請求書のコードではありません: %1").arg(d.typeCode));
    form(!d.currency.isEmpty(), "ibr-005", QStringLiteral("通貨コードがありません"));
    form(isDate(d.periodStart) && isDate(d.periodEnd), "aligned-ibrp-052",
         QStringLiteral("請求期間（開始日と終了日）がありません"));

    struct Side {
        const Party& p;
        QString who;
        const char *legal, *country, *endpoint, *scheme;
    };
    for (const Side& s : {Side{d.seller, QStringLiteral("請求元"), "ibr-006", "ibr-009", "ibt-034", "ibr-062"},
                          Side{d.buyer, QStringLiteral("請求先"), "ibr-007", "ibr-011", "ibt-049", "ibr-063"}}) {
        form(!s.p.legalName.isEmpty(), s.legal, s.who + QStringLiteral("の正式名称がありません"));
        form(!s.p.country.isEmpty(), s.country, s.who + QStringLiteral("の住所の国コードがありません"));
        form(!s.p.endpointId.isEmpty(), s.endpoint, s.who + QStringLiteral("の電子アドレス（Peppol ID）がありません"));
        form(s.p.endpointId.isEmpty() || !s.p.endpointScheme.isEmpty(), s.scheme,
             s.who + QStringLiteral("の電子アドレスにスキーム ID がありません"));
    }
    if (d.seller.taxId.isEmpty()) {
        form(false, "aligned-ibr-jp-04", QStringLiteral("請求元の登録番号（税識別子）がありません"));
    } else {
        // From October 2023 the tax identifier is the registration number of a qualified invoice issuer.
        const QString since = isDate(d.periodStart) ? d.periodStart : d.issueDate;
        static const QRegularExpression regNo(QStringLiteral("^T[0-9]{13}$"));
        form(since < QStringLiteral("2023-10-01") || regNo.match(d.seller.taxId).hasMatch(), "aligned-ibr-jp-01",
             QStringLiteral("請求元の税識別子が登録番号（T と13桁の数字）ではありません: %1").arg(d.seller.taxId));
        form(d.seller.taxScheme == QStringLiteral("VAT"), "aligned-ibr-jp-03",
             QStringLiteral("請求元の税の種類が VAT（消費税）ではありません"));
    }

    form(!d.lines.isEmpty(), "ibr-016", QStringLiteral("明細行がありません"));
    Currency lineSum;
    QHash<QString, Currency> byKey; // net amounts per category and rate, allowances and charges included
    QStringList keys;               // in the order the document names them
    const auto addTo = [&](const QString& k, Currency c) {
        if (!keys.contains(k))
            keys << k;
        byKey[k] = byKey.value(k) + c;
    };
    for (qsizetype i = 0; i < d.lines.size(); ++i) {
        const Line& l = d.lines[i];
        const QString who = QStringLiteral("明細 %1").arg(l.id.isEmpty() ? QString::number(i + 1) : l.id);
        lineSum = lineSum + l.amount;
        addTo(key(l.category, l.percent), l.amount);
        form(!l.id.isEmpty(), "ibr-021", who + QStringLiteral(": 明細行の番号がありません"));
        const auto qty = number(l.quantity);
        form(qty.has_value(), "ibr-022", who + QStringLiteral(": 数量がありません"));
        form(!l.unitCode.isEmpty(), "ibr-023", who + QStringLiteral(": 数量の単位コードがありません"));
        form(!l.name.isEmpty(), "ibr-025", who + QStringLiteral(": 品名がありません"));
        form(l.price >= Currency(), "ibr-027", who + QStringLiteral(": 単価が負です"));
        const auto base = l.baseQuantity.isEmpty() ? std::optional<long double>(1) : number(l.baseQuantity);
        form(base && *base > 0, "ibt-149", who + QStringLiteral(": 単価の基準数量が正の数ではありません"));
        form(kCategories.contains(l.category), "aligned-ibrp-cl-01-jp",
             who + QStringLiteral(": 税区分コードが日本の区分（S, AA, E, Z, G, O）ではありません: %1").arg(l.category));
        const auto pct = number(l.percent);
        if (l.category == QStringLiteral("O"))
            form(l.percent.isEmpty(), "aligned-ibrp-o-05", who + QStringLiteral(": 不課税の明細に税率があります"));
        else if (l.category == QStringLiteral("S") || l.category == QStringLiteral("AA"))
            form(pct && *pct > 0, QStringLiteral("aligned-ibrp-%1-05").arg(l.category.toLower()),
                 who + QStringLiteral(": 課税の明細に税率がありません"));
        else if (kCategories.contains(l.category))
            form(pct && *pct == 0, QStringLiteral("aligned-ibrp-%1-05").arg(l.category.toLower()),
                 who + QStringLiteral(": 税のかからない明細の税率が 0 ではありません"));
        if (qty && base && *base > 0)
            sum(std::fabs(static_cast<double>(*qty * ld(l.price) / *base - ld(l.amount))) <= 0.02,
                QStringLiteral("ibt-131"),
                who + QStringLiteral(": 金額 %1 が数量 × 単価と一致しません").arg(yen(l.amount)));
    }

    Currency allowances, charges;
    for (const AllowanceCharge& a : d.allowanceCharges) {
        (a.charge ? charges : allowances) = (a.charge ? charges : allowances) + a.amount;
        addTo(key(a.category, a.percent), a.charge ? a.amount : Currency() - a.amount);
    }
    sum(lineSum == d.lineExtension, QStringLiteral("ibr-co-10"),
        QStringLiteral("明細金額の合計 %1 が明細行の合計 %2 と一致しません").arg(yen(d.lineExtension), yen(lineSum)));
    if (d.allowanceTotal || allowances != Currency())
        sum(d.allowanceTotal.value_or(Currency()) == allowances, QStringLiteral("ibr-co-11"),
            QStringLiteral("値引きの合計が値引きの明細と一致しません"));
    if (d.chargeTotal || charges != Currency())
        sum(d.chargeTotal.value_or(Currency()) == charges, QStringLiteral("ibr-co-12"),
            QStringLiteral("追加料金の合計が追加料金の明細と一致しません"));
    const Currency exclusive =
        d.lineExtension - d.allowanceTotal.value_or(Currency()) + d.chargeTotal.value_or(Currency());
    sum(d.taxExclusive == exclusive, QStringLiteral("ibr-co-13"),
        QStringLiteral("税抜合計 %1 が %2 ではありません").arg(yen(d.taxExclusive), yen(exclusive)));
    Currency taxSum;
    for (const TaxSubtotal& t : d.subtotals)
        taxSum = taxSum + t.tax;
    sum(d.taxTotal == taxSum, QStringLiteral("ibr-co-14"),
        QStringLiteral("消費税の合計 %1 が税率ごとの消費税の合計 %2 と一致しません").arg(yen(d.taxTotal), yen(taxSum)));
    sum(d.taxInclusive == d.taxExclusive + d.taxTotal, QStringLiteral("ibr-co-15"),
        QStringLiteral("税込合計 %1 が税抜合計と消費税の和 %2 と一致しません")
            .arg(yen(d.taxInclusive), yen(d.taxExclusive + d.taxTotal)));
    const Currency due = d.taxInclusive - d.prepaid.value_or(Currency()) + d.rounding.value_or(Currency());
    sum(d.payable == due, QStringLiteral("ibr-co-16"),
        QStringLiteral("請求金額 %1 が %2 ではありません").arg(yen(d.payable), yen(due)));
    form(!d.subtotals.isEmpty(), "ibr-co-18", QStringLiteral("税率ごとの内訳がありません"));

    QStringList seen;
    for (const TaxSubtotal& t : d.subtotals) {
        const QString k = key(t.category, t.percent);
        const QString name = rateName(t.category, t.percent);
        const QString cat = t.category.toLower();
        form(!seen.contains(k), "ibr-co-18", QStringLiteral("税率 %1 の内訳が重複しています").arg(name));
        seen << k;
        form(kCategories.contains(t.category), "aligned-ibrp-cl-01-jp",
             QStringLiteral("内訳の税区分コードが日本の区分ではありません: %1").arg(t.category));
        sum(t.taxable == byKey.value(k), QStringLiteral("ibr-%1-08").arg(cat),
            QStringLiteral("税率 %1 の対象額 %2 が明細の合計 %3 と一致しません")
                .arg(name, yen(t.taxable), yen(byKey.value(k))));
        const auto pct = number(t.percent);
        if (t.category == QStringLiteral("S") || t.category == QStringLiteral("AA")) {
            const long double x = pct ? ld(t.taxable) * *pct / 100 : 0;
            sum(pct && ld(t.tax) >= std::floor(x) && ld(t.tax) <= std::ceil(x), QStringLiteral("aligned-ibrp-051-jp"),
                QStringLiteral("税率 %1 の消費税 %2 が対象額 × 税率の端数処理の範囲にありません")
                    .arg(name, yen(t.tax)));
        } else {
            sum(t.tax == Currency(), QStringLiteral("ibr-%1-09").arg(cat),
                QStringLiteral("税率 %1 の消費税が 0 ではありません: %2").arg(name, yen(t.tax)));
        }
    }
    for (const QString& k : keys)
        form(seen.contains(k), QStringLiteral("ibr-%1-01").arg(k.section(u'|', 0, 0).toLower()),
             QStringLiteral("税率 %1 の明細に内訳がありません").arg(QString(k).replace(u'|', u' ')));

    if (d.currency == QStringLiteral("JPY")) {
        bool whole = true;
        const auto check = [&whole](Currency c) { whole = whole && c.raw() % Currency::Scale == 0; };
        for (const Currency c : {d.taxTotal, d.lineExtension, d.taxExclusive, d.taxInclusive, d.payable})
            check(c);
        for (const TaxSubtotal& t : d.subtotals) {
            check(t.taxable);
            check(t.tax);
        }
        for (const Line& l : d.lines)
            check(l.amount);
        form(whole, "aligned-ibr-jp-06", QStringLiteral("円の金額に小数があります"));
    }
    return out;
}

} // namespace pint
