#include "peppol/build.h"

#include "invoice/qualified.h"
#include "peppol/identifiers.h"
#include "peppol/rules.h"

#include <cstdlib>

namespace pint {
namespace {

constexpr std::int64_t kScale = Currency::Scale; // quantities keep four decimals, as printed

// A count of ten-thousandths as decimal text: "3", "1.5", "-0.25".
QString decimal(std::int64_t v) {
    const std::int64_t a = std::llabs(v);
    QString t = QString::number(a / kScale);
    if (const std::int64_t frac = a % kScale) {
        QString f = QString::number(frac).rightJustified(4, u'0');
        while (f.endsWith(u'0'))
            f.chop(1);
        t += u'.' + f;
    }
    return v < 0 ? u'-' + t : t;
}

// The rate a line is taxed at: 8, 0 (exempt) or, for anything else, 10.
int rateOf(const IssuedLine& l) {
    return l.税率 == 8 || l.税率 == 0 ? l.税率 : 10;
}

QString categoryOf(int rate) {
    return rate == 8 ? QStringLiteral("AA") : rate == 0 ? QStringLiteral("E") : QStringLiteral("S");
}

// Shares a rate's tax over its lines' tax-inclusive amounts (whole yen) in proportion; the yen left
// by rounding down go to the largest remainders, so the shares add up to the tax exactly.
QList<std::int64_t> shareTax(const QList<std::int64_t>& amounts, std::int64_t tax) {
    QList<std::int64_t> shares(amounts.size(), 0);
    __int128 sum = 0;
    for (const std::int64_t a : amounts)
        sum += a;
    if (sum == 0 || amounts.isEmpty()) {
        if (!amounts.isEmpty())
            shares[0] = tax;
        return shares;
    }
    QList<std::pair<__int128, qsizetype>> remainders;
    std::int64_t given = 0;
    for (qsizetype i = 0; i < amounts.size(); ++i) {
        const __int128 num = static_cast<__int128>(tax) * amounts[i];
        __int128 q = num / sum, r = num % sum;
        if (r != 0 && ((r < 0) != (sum < 0))) { // floor, whatever the signs
            q -= 1;
            r += sum;
        }
        shares[i] = static_cast<std::int64_t>(q);
        given += shares[i];
        remainders.append({sum < 0 ? -r : r, i});
    }
    std::stable_sort(remainders.begin(), remainders.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    for (qsizetype k = 0; given < tax && k < remainders.size(); ++k, ++given)
        shares[remainders[k].second] += 1;
    return shares;
}

// Quantity, price and base quantity for a line of net amount `net`: the line's own quantity and
// price when they multiply out to it exactly, else the amount as the price of the whole quantity.
// A negative line keeps a positive price and takes the sign on its quantity.
void priceLine(Line& l, const IssuedLine& src, Currency net, bool inclusive) {
    std::int64_t q = src.数量 ? std::llround(*src.数量 * kScale) : kScale;
    if (!inclusive && src.単価 && q != 0 &&
        static_cast<__int128>(q) * src.単価->raw() == static_cast<__int128>(net.raw()) * kScale) {
        Currency price = *src.単価;
        if (price < Currency()) {
            q = -q;
            price = Currency() - price;
        }
        l.quantity = decimal(q);
        l.price = price;
        return;
    }
    if (q == 0)
        q = kScale;
    const std::int64_t magnitude = std::llabs(q);
    l.quantity = decimal(net < Currency() ? -magnitude : magnitude);
    l.price = net < Currency() ? Currency() - net : net;
    if (magnitude != kScale)
        l.baseQuantity = decimal(magnitude);
}

Party party(const ParticipantId& pid, const QString& name, const QString& postcode, const QString& address) {
    Party p;
    p.endpointScheme = pid.scheme;
    p.endpointId = pid.id;
    p.name = p.legalName = name.trimmed();
    p.street = address.trimmed();
    p.postalZone = postcode.trimmed();
    p.country = QStringLiteral("JP");
    return p;
}

} // namespace

Built BuildDocument(const IssuedInvoice& inv, const Company& company, const Customer& customer) {
    Built b;
    const InvoiceHeader& h = inv.header;
    const QString peppolForm = QStringLiteral("（「0188:」と法人番号13桁、または「0221:」と登録番号）");
    if (h.税率方式 != Scheme10_8)
        b.missing << QStringLiteral(
            "税率ごとの消費税額（「5%」の請求書です。「10%・8%」で登録した請求書だけが作れます）");
    else if (h.税区分 != QStringLiteral("外税") && h.税区分 != QStringLiteral("内税"))
        b.missing << QStringLiteral("消費税額（税区分「%1」の請求書です）").arg(h.税区分);
    QString regNo;
    switch (NormaliseRegNo(h.登録番号, &regNo)) {
    case RegNoCheck::Ok:
        break;
    case RegNoCheck::Empty:
        b.missing << QStringLiteral("自社の登録番号");
        break;
    default:
        b.missing << QStringLiteral("自社の登録番号（正しい登録番号ではありません: %1）").arg(h.登録番号);
    }
    if (company.自社名.trimmed().isEmpty())
        b.missing << QStringLiteral("自社名");
    if (h.顧客名.trimmed().isEmpty())
        b.missing << QStringLiteral("顧客名");
    const auto seller = ParseParticipantId(company.PeppolID);
    if (!seller)
        b.missing << QStringLiteral("自社の Peppol ID") + peppolForm;
    const auto buyer = ParseParticipantId(customer.PeppolID);
    if (!buyer)
        b.missing << QStringLiteral("顧客「%1」の Peppol ID").arg(h.顧客名) + peppolForm;
    const QDate date = IssueDate(h);
    if (!date.isValid())
        b.missing << QStringLiteral("請求日");
    bool anyLine = false;
    for (qsizetype i = 0; i < inv.lines.size(); ++i) {
        const IssuedLine& l = inv.lines[i];
        if (!l.金額)
            continue;
        anyLine = true;
        if (l.金額->raw() % Currency::Scale != 0)
            b.missing << QStringLiteral("明細 %1 行目の円単位の金額（1円未満の端数があります）").arg(i + 1);
        if (l.品名.trimmed().isEmpty())
            b.missing << QStringLiteral("明細 %1 行目の品名").arg(i + 1);
    }
    if (!anyLine)
        b.missing << QStringLiteral("金額のある明細");
    const Figures f = FiguresOf(inv);
    b.missing << f.problems;
    if (!b.missing.isEmpty())
        return b;

    Document& d = b.doc;
    d.customizationId = kCustomizationId;
    d.profileId = kProfileId;
    d.id = QString::number(h.number);
    d.issueDate = d.periodStart = d.periodEnd = date.toString(Qt::ISODate);
    if (inv.支払期日)
        d.dueDate = inv.支払期日->toString(Qt::ISODate);
    d.typeCode = QStringLiteral("380");
    d.currency = QStringLiteral("JPY");
    d.seller = party(*seller, company.自社名, company.郵便番号, company.住所);
    d.seller.taxId = regNo;
    d.seller.taxScheme = QStringLiteral("VAT");
    d.buyer = party(*buyer, h.顧客名, customer.郵便番号, customer.住所);

    const bool inclusive = h.税区分 == QStringLiteral("内税");
    QStringList notes;
    for (const RateFigure& r : f.rates) {
        // The lines of this rate, with the net amount each carries.
        QList<qsizetype> at;
        QList<std::int64_t> gross;
        for (qsizetype i = 0; i < inv.lines.size(); ++i)
            if (inv.lines[i].金額 && rateOf(inv.lines[i]) == r.rate) {
                at << i;
                gross << inv.lines[i].金額->truncated();
            }
        const QList<std::int64_t> shares =
            inclusive ? shareTax(gross, r.tax.truncated()) : QList<std::int64_t>(gross.size(), 0);
        for (qsizetype k = 0; k < at.size(); ++k) {
            Line l;
            l.amount = Currency::fromWhole(gross[k] - shares[k]);
            priceLine(l, inv.lines[at[k]], l.amount, inclusive);
            l.id = QString::number(at[k] + 1);
            l.unitCode = UnitCode(inv.lines[at[k]].単位);
            l.name = inv.lines[at[k]].品名.trimmed();
            l.category = categoryOf(r.rate);
            l.percent = QString::number(r.rate);
            d.lines << l;
        }
        d.subtotals << TaxSubtotal{r.net, r.tax, categoryOf(r.rate), QString::number(r.rate),
                                   r.rate == 0 ? QStringLiteral("非課税") : QString()};
        d.taxTotal = d.taxTotal + r.tax;
        d.lineExtension = d.lineExtension + r.net;
    }
    // The lines in the order of the invoice, whatever their rates.
    std::stable_sort(d.lines.begin(), d.lines.end(),
                     [](const Line& a, const Line& b) { return a.id.toInt() < b.id.toInt(); });
    for (const IssuedLine& l : inv.lines)
        if (!l.金額 && !l.品名.trimmed().isEmpty())
            notes << l.品名.trimmed();
    d.note = notes.join(u'\n');
    d.taxExclusive = d.lineExtension;
    d.taxInclusive = d.payable = d.lineExtension + d.taxTotal;

    for (const Finding& finding : CheckRules(d))
        b.missing << finding.text;
    return b;
}

} // namespace pint
