#include "peppol/ubl.h"

#include <QXmlStreamWriter>

namespace pint {
namespace {

// Characters XML 1.0 cannot carry are dropped: a stray control character would spoil the file.
QString xmlText(const QString& t) {
    QString out;
    out.reserve(t.size());
    for (const QChar c : t)
        if (c.unicode() >= 0x20 || c == u'\t' || c == u'\n' || c == u'\r')
            if (c.unicode() != 0xFFFE && c.unicode() != 0xFFFF)
                out += c;
    return out;
}

class Writer {
  public:
    Writer(QXmlStreamWriter& w, const QString& currency) : w_(w), currency_(currency) {}

    void open(const QString& name) { w_.writeStartElement(kCacNs, name); }
    void close() { w_.writeEndElement(); }
    // A basic element, left out when it has no text.
    void text(const QString& name, const QString& value, const QString& attribute = QString(),
              const QString& attributeValue = QString()) {
        const QString v = xmlText(value).trimmed();
        if (v.isEmpty())
            return;
        w_.writeStartElement(kCbcNs, name);
        if (!attribute.isEmpty() && !attributeValue.isEmpty())
            w_.writeAttribute(attribute, attributeValue);
        w_.writeCharacters(v);
        w_.writeEndElement();
    }
    void amount(const QString& name, Currency c) { text(name, c.toString(), QStringLiteral("currencyID"), currency_); }

    void party(const QString& role, const Party& p) {
        open(role);
        open(QStringLiteral("Party"));
        text(QStringLiteral("EndpointID"), p.endpointId, QStringLiteral("schemeID"), p.endpointScheme);
        if (!p.name.isEmpty()) {
            open(QStringLiteral("PartyName"));
            text(QStringLiteral("Name"), p.name);
            close();
        }
        if (!p.street.isEmpty() || !p.postalZone.isEmpty() || !p.country.isEmpty()) {
            open(QStringLiteral("PostalAddress"));
            text(QStringLiteral("StreetName"), p.street);
            text(QStringLiteral("PostalZone"), p.postalZone);
            if (!p.country.isEmpty()) {
                open(QStringLiteral("Country"));
                text(QStringLiteral("IdentificationCode"), p.country);
                close();
            }
            close();
        }
        if (!p.taxId.isEmpty()) {
            open(QStringLiteral("PartyTaxScheme"));
            text(QStringLiteral("CompanyID"), p.taxId);
            open(QStringLiteral("TaxScheme"));
            text(QStringLiteral("ID"), p.taxScheme);
            close();
            close();
        }
        if (!p.legalName.isEmpty()) {
            open(QStringLiteral("PartyLegalEntity"));
            text(QStringLiteral("RegistrationName"), p.legalName);
            close();
        }
        close();
        close();
    }

    void category(const QString& element, const QString& id, const QString& percent, const QString& reason) {
        open(element);
        text(QStringLiteral("ID"), id);
        text(QStringLiteral("Percent"), percent);
        text(QStringLiteral("TaxExemptionReason"), reason);
        open(QStringLiteral("TaxScheme"));
        text(QStringLiteral("ID"), QStringLiteral("VAT"));
        close();
        close();
    }

  private:
    QXmlStreamWriter& w_;
    QString currency_;
};

} // namespace

QByteArray WriteUbl(const Document& d) {
    QByteArray out;
    QXmlStreamWriter w(&out);
    w.setAutoFormatting(true);
    w.writeStartDocument();
    w.writeNamespace(kCacNs, QStringLiteral("cac"));
    w.writeNamespace(kCbcNs, QStringLiteral("cbc"));
    w.writeDefaultNamespace(kInvoiceNs);
    w.writeStartElement(kInvoiceNs, QStringLiteral("Invoice"));
    Writer x(w, d.currency);
    x.text(QStringLiteral("CustomizationID"), d.customizationId);
    x.text(QStringLiteral("ProfileID"), d.profileId);
    x.text(QStringLiteral("ID"), d.id);
    x.text(QStringLiteral("IssueDate"), d.issueDate);
    x.text(QStringLiteral("DueDate"), d.dueDate);
    x.text(QStringLiteral("InvoiceTypeCode"), d.typeCode);
    x.text(QStringLiteral("Note"), d.note);
    x.text(QStringLiteral("DocumentCurrencyCode"), d.currency);
    if (!d.periodStart.isEmpty() || !d.periodEnd.isEmpty()) {
        x.open(QStringLiteral("InvoicePeriod"));
        x.text(QStringLiteral("StartDate"), d.periodStart);
        x.text(QStringLiteral("EndDate"), d.periodEnd);
        x.close();
    }
    x.party(QStringLiteral("AccountingSupplierParty"), d.seller);
    x.party(QStringLiteral("AccountingCustomerParty"), d.buyer);
    for (const AllowanceCharge& a : d.allowanceCharges) {
        x.open(QStringLiteral("AllowanceCharge"));
        x.text(QStringLiteral("ChargeIndicator"), a.charge ? QStringLiteral("true") : QStringLiteral("false"));
        x.amount(QStringLiteral("Amount"), a.amount);
        x.category(QStringLiteral("TaxCategory"), a.category, a.percent, QString());
        x.close();
    }
    x.open(QStringLiteral("TaxTotal"));
    x.amount(QStringLiteral("TaxAmount"), d.taxTotal);
    for (const TaxSubtotal& t : d.subtotals) {
        x.open(QStringLiteral("TaxSubtotal"));
        x.amount(QStringLiteral("TaxableAmount"), t.taxable);
        x.amount(QStringLiteral("TaxAmount"), t.tax);
        x.category(QStringLiteral("TaxCategory"), t.category, t.percent, t.exemptionReason);
        x.close();
    }
    x.close();
    x.open(QStringLiteral("LegalMonetaryTotal"));
    x.amount(QStringLiteral("LineExtensionAmount"), d.lineExtension);
    x.amount(QStringLiteral("TaxExclusiveAmount"), d.taxExclusive);
    x.amount(QStringLiteral("TaxInclusiveAmount"), d.taxInclusive);
    if (d.allowanceTotal)
        x.amount(QStringLiteral("AllowanceTotalAmount"), *d.allowanceTotal);
    if (d.chargeTotal)
        x.amount(QStringLiteral("ChargeTotalAmount"), *d.chargeTotal);
    if (d.prepaid)
        x.amount(QStringLiteral("PrepaidAmount"), *d.prepaid);
    if (d.rounding)
        x.amount(QStringLiteral("PayableRoundingAmount"), *d.rounding);
    x.amount(QStringLiteral("PayableAmount"), d.payable);
    x.close();
    for (const Line& l : d.lines) {
        x.open(QStringLiteral("InvoiceLine"));
        x.text(QStringLiteral("ID"), l.id);
        x.text(QStringLiteral("InvoicedQuantity"), l.quantity, QStringLiteral("unitCode"), l.unitCode);
        x.amount(QStringLiteral("LineExtensionAmount"), l.amount);
        x.open(QStringLiteral("Item"));
        x.text(QStringLiteral("Name"), l.name);
        x.category(QStringLiteral("ClassifiedTaxCategory"), l.category, l.percent, QString());
        x.close();
        x.open(QStringLiteral("Price"));
        x.amount(QStringLiteral("PriceAmount"), l.price);
        x.text(QStringLiteral("BaseQuantity"), l.baseQuantity, QStringLiteral("unitCode"), l.unitCode);
        x.close();
        x.close();
    }
    w.writeEndElement();
    w.writeEndDocument();
    return out;
}

} // namespace pint
