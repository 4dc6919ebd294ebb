#include "peppol/ubl.h"

#include <QHash>
#include <QXmlStreamReader>

namespace pint {
namespace {

// Reads the elements this program knows by their path below the root; the rest is passed over.
class Reader {
  public:
    explicit Reader(Document& d) : d_(d) {}

    void opened(const QString& path) {
        if (path == QStringLiteral("InvoiceLine"))
            d_.lines.append(Line{});
        else if (path == QStringLiteral("AllowanceCharge"))
            d_.allowanceCharges.append(AllowanceCharge{});
        else if (path == QStringLiteral("TaxTotal"))
            inTaxTotal_ = false;
        else if (path == QStringLiteral("TaxTotal/TaxSubtotal") && inTaxTotal_)
            d_.subtotals.append(TaxSubtotal{});
        else if (path.endsWith(QStringLiteral("/PartyTaxScheme")))
            companyId_.clear();
    }

    void closed(const QString& path, const QString& text, const QXmlStreamAttributes& attrs) {
        const QString t = text.trimmed();
        if (setText(path, t))
            return;
        if (const qsizetype at = path.indexOf(QStringLiteral("/Party/")); at > 0) {
            const QString role = path.left(at);
            if (role == QStringLiteral("AccountingSupplierParty"))
                party(d_.seller, path.mid(at + 7), t, attrs);
            else if (role == QStringLiteral("AccountingCustomerParty"))
                party(d_.buyer, path.mid(at + 7), t, attrs);
            return;
        }
        if (path.startsWith(QStringLiteral("InvoiceLine/")) && !d_.lines.isEmpty())
            line(d_.lines.last(), path.mid(12), t, attrs);
        else if (path.startsWith(QStringLiteral("AllowanceCharge/")) && !d_.allowanceCharges.isEmpty())
            allowanceCharge(d_.allowanceCharges.last(), path.mid(16), t);
        else if (path == QStringLiteral("TaxTotal/TaxAmount"))
            taxTotal(t, attrs);
        else if (path.startsWith(QStringLiteral("TaxTotal/TaxSubtotal/")) && inTaxTotal_ && !d_.subtotals.isEmpty())
            subtotal(d_.subtotals.last(), path.mid(21), t);
        else if (path.startsWith(QStringLiteral("LegalMonetaryTotal/")))
            totals(path.mid(19), t);
    }

  private:
    bool setText(const QString& path, const QString& t) {
        static const QHash<QString, QString Document::*> fields = {
            {QStringLiteral("CustomizationID"), &Document::customizationId},
            {QStringLiteral("ProfileID"), &Document::profileId},
            {QStringLiteral("ID"), &Document::id},
            {QStringLiteral("IssueDate"), &Document::issueDate},
            {QStringLiteral("DueDate"), &Document::dueDate},
            {QStringLiteral("InvoiceTypeCode"), &Document::typeCode},
            {QStringLiteral("DocumentCurrencyCode"), &Document::currency},
            {QStringLiteral("InvoicePeriod/StartDate"), &Document::periodStart},
            {QStringLiteral("InvoicePeriod/EndDate"), &Document::periodEnd},
        };
        if (path == QStringLiteral("Note")) {
            d_.note += (d_.note.isEmpty() ? QString() : QStringLiteral("\n")) + t;
            return true;
        }
        const auto it = fields.constFind(path);
        if (it == fields.constEnd())
            return false;
        d_.*it.value() = t;
        return true;
    }

    Currency money(const QString& element, const QString& t) {
        const auto c = Currency::parse(t);
        if (!c)
            d_.unreadable << element;
        return c.value_or(Currency());
    }

    void party(Party& p, const QString& sub, const QString& t, const QXmlStreamAttributes& attrs) {
        if (sub == QStringLiteral("EndpointID")) {
            p.endpointId = t;
            p.endpointScheme = attrs.value(QStringLiteral("schemeID")).toString().trimmed();
        } else if (sub == QStringLiteral("PartyName/Name")) {
            p.name = t;
        } else if (sub == QStringLiteral("PostalAddress/StreetName")) {
            p.street = t;
        } else if (sub == QStringLiteral("PostalAddress/PostalZone")) {
            p.postalZone = t;
        } else if (sub == QStringLiteral("PostalAddress/Country/IdentificationCode")) {
            p.country = t;
        } else if (sub == QStringLiteral("PartyTaxScheme/CompanyID")) {
            companyId_ = t;
        } else if (sub == QStringLiteral("PartyTaxScheme/TaxScheme/ID") && p.taxScheme != QStringLiteral("VAT")) {
            // A party may be registered for more than one tax; the consumption tax (VAT) is the one read.
            p.taxId = companyId_;
            p.taxScheme = t;
        } else if (sub == QStringLiteral("PartyLegalEntity/RegistrationName")) {
            p.legalName = t;
        }
    }

    void line(Line& l, const QString& sub, const QString& t, const QXmlStreamAttributes& attrs) {
        if (sub == QStringLiteral("ID")) {
            l.id = t;
        } else if (sub == QStringLiteral("InvoicedQuantity")) {
            l.quantity = t;
            l.unitCode = attrs.value(QStringLiteral("unitCode")).toString().trimmed();
        } else if (sub == QStringLiteral("LineExtensionAmount")) {
            l.amount = money(QStringLiteral("LineExtensionAmount"), t);
        } else if (sub == QStringLiteral("Item/Name")) {
            l.name = t;
        } else if (sub == QStringLiteral("Item/ClassifiedTaxCategory/ID")) {
            l.category = t;
        } else if (sub == QStringLiteral("Item/ClassifiedTaxCategory/Percent")) {
            l.percent = t;
        } else if (sub == QStringLiteral("Price/PriceAmount")) {
            l.price = money(QStringLiteral("PriceAmount"), t);
        } else if (sub == QStringLiteral("Price/BaseQuantity")) {
            l.baseQuantity = t;
        }
    }

    void allowanceCharge(AllowanceCharge& a, const QString& sub, const QString& t) {
        if (sub == QStringLiteral("ChargeIndicator"))
            a.charge = t == QStringLiteral("true");
        else if (sub == QStringLiteral("Amount"))
            a.amount = money(QStringLiteral("AllowanceCharge/Amount"), t);
        else if (sub == QStringLiteral("TaxCategory/ID"))
            a.category = t;
        else if (sub == QStringLiteral("TaxCategory/Percent"))
            a.percent = t;
    }

    // A document in a foreign currency adds a second TaxTotal in the accounting currency; the one in
    // the document's own currency carries the breakdown.
    void taxTotal(const QString& t, const QXmlStreamAttributes& attrs) {
        const QString currency = attrs.value(QStringLiteral("currencyID")).toString();
        if (taxTotalTaken_ || (!currency.isEmpty() && currency != d_.currency))
            return;
        taxTotalTaken_ = inTaxTotal_ = true;
        d_.taxTotal = money(QStringLiteral("TaxTotal/TaxAmount"), t);
    }

    void subtotal(TaxSubtotal& s, const QString& sub, const QString& t) {
        if (sub == QStringLiteral("TaxableAmount"))
            s.taxable = money(QStringLiteral("TaxableAmount"), t);
        else if (sub == QStringLiteral("TaxAmount"))
            s.tax = money(QStringLiteral("TaxSubtotal/TaxAmount"), t);
        else if (sub == QStringLiteral("TaxCategory/ID"))
            s.category = t;
        else if (sub == QStringLiteral("TaxCategory/Percent"))
            s.percent = t;
        else if (sub == QStringLiteral("TaxCategory/TaxExemptionReason"))
            s.exemptionReason = t;
    }

    void totals(const QString& sub, const QString& t) {
        static const QHash<QString, Currency Document::*> required = {
            {QStringLiteral("LineExtensionAmount"), &Document::lineExtension},
            {QStringLiteral("TaxExclusiveAmount"), &Document::taxExclusive},
            {QStringLiteral("TaxInclusiveAmount"), &Document::taxInclusive},
            {QStringLiteral("PayableAmount"), &Document::payable},
        };
        static const QHash<QString, std::optional<Currency> Document::*> optional = {
            {QStringLiteral("AllowanceTotalAmount"), &Document::allowanceTotal},
            {QStringLiteral("ChargeTotalAmount"), &Document::chargeTotal},
            {QStringLiteral("PrepaidAmount"), &Document::prepaid},
            {QStringLiteral("PayableRoundingAmount"), &Document::rounding},
        };
        if (const auto it = required.constFind(sub); it != required.constEnd())
            d_.*it.value() = money(sub, t);
        else if (const auto opt = optional.constFind(sub); opt != optional.constEnd())
            d_.*opt.value() = money(sub, t);
    }

    Document& d_;
    QString companyId_;
    bool inTaxTotal_ = false, taxTotalTaken_ = false;
};

ReadResult refused(const QString& reason) {
    ReadResult r;
    r.reason = reason;
    return r;
}

} // namespace

bool ReadResult::sumsAgree() const {
    for (const Finding& f : findings)
        if (f.sums)
            return false;
    return true;
}

ReadResult ReadUbl(const QByteArray& xml) {
    ReadResult r;
    Reader reader(r.doc);
    QXmlStreamReader x(xml);
    QStringList path; // the cac and cbc elements below the root; any other is "#", which no path names
    QList<QXmlStreamAttributes> attributes;
    QString text;
    bool root = false;
    while (!x.atEnd()) {
        switch (x.readNext()) {
        case QXmlStreamReader::DTD:
        case QXmlStreamReader::EntityReference:
            return refused(QStringLiteral("文書型宣言（DOCTYPE）やエンティティを含むファイルは読み込みません。"));
        case QXmlStreamReader::StartElement:
            if (!root) {
                if (x.namespaceUri() != kInvoiceNs || x.name() != QStringLiteral("Invoice"))
                    return refused(QStringLiteral("UBL 2.1 の請求書（Invoice）ではありません。"));
                root = true;
                break;
            }
            path << (x.namespaceUri() == kCacNs || x.namespaceUri() == kCbcNs ? x.name().toString()
                                                                              : QStringLiteral("#"));
            attributes << x.attributes();
            text.clear();
            reader.opened(path.join(u'/'));
            break;
        case QXmlStreamReader::Characters:
            text += x.text();
            break;
        case QXmlStreamReader::EndElement:
            if (path.isEmpty())
                break;
            reader.closed(path.join(u'/'), text, attributes.last());
            path.removeLast();
            attributes.removeLast();
            text.clear();
            break;
        default:
            break;
        }
    }
    if (x.hasError())
        return refused(
            QStringLiteral("XML として正しくありません（%1 行目: %2）。").arg(x.lineNumber()).arg(x.errorString()));
    if (!root)
        return refused(QStringLiteral("UBL 2.1 の請求書（Invoice）ではありません。"));
    r.ok = true;
    r.findings = CheckRules(r.doc);
    r.registration = NormaliseRegNo(r.doc.seller.taxId, nullptr);
    return r;
}

} // namespace pint
