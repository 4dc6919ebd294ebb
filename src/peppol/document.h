#pragma once
#include "store/currency.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// A JP PINT invoice (Peppol PINT Japan billing, UBL 2.1) as its elements hold it: what the writer
// puts out and the reader takes in, so our own file reads back equal. Texts are kept as written;
// a value the document leaves out is empty.
namespace pint {

inline const QString kCustomizationId = QStringLiteral("urn:peppol:pint:billing-1@jp-1");
inline const QString kProfileId = QStringLiteral("urn:peppol:bis:billing");

struct Party {
    QString endpointScheme, endpointId; // Peppol participant identifier (EndpointID and its schemeID)
    QString name;                       // PartyName
    QString street, postalZone, country;
    QString taxId, taxScheme; // PartyTaxScheme: the registration number under "VAT"
    QString legalName;        // PartyLegalEntity/RegistrationName
    friend bool operator==(const Party&, const Party&) = default;
};

struct Line {
    QString id, quantity, unitCode; // InvoicedQuantity and its unitCode
    Currency amount;                // LineExtensionAmount
    QString name;
    QString category, percent; // ClassifiedTaxCategory
    Currency price;
    QString baseQuantity; // the quantity the price is for; empty for one unit
    friend bool operator==(const Line&, const Line&) = default;
};

// A document-level allowance or charge: we write none, but a supplier's invoice may carry them.
struct AllowanceCharge {
    bool charge = false;
    Currency amount;
    QString category, percent;
    friend bool operator==(const AllowanceCharge&, const AllowanceCharge&) = default;
};

struct TaxSubtotal {
    Currency taxable, tax;
    QString category, percent, exemptionReason;
    friend bool operator==(const TaxSubtotal&, const TaxSubtotal&) = default;
};

struct Document {
    QString customizationId, profileId, id, issueDate, dueDate, typeCode, currency;
    QString note;
    QString periodStart, periodEnd;
    Party seller, buyer;
    QList<AllowanceCharge> allowanceCharges;
    Currency taxTotal;
    QList<TaxSubtotal> subtotals;
    Currency lineExtension, taxExclusive, taxInclusive, payable;
    std::optional<Currency> allowanceTotal, chargeTotal, prepaid, rounding;
    QList<Line> lines;
    QStringList unreadable; // amounts the reader could not take as numbers, by element name
    friend bool operator==(const Document&, const Document&) = default;
};

} // namespace pint
