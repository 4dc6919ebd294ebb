#pragma once
#include "invoice/qualified.h"
#include "peppol/document.h"
#include "peppol/rules.h"

#include <QByteArray>

// The UBL 2.1 Invoice syntax of a JP PINT document, both ways.
namespace pint {

// The OASIS namespace names of UBL 2.1, fixed by the standard; written once here.
inline const QString kUblNs = QStringLiteral("urn:oasis:names:spec" "ification:ubl:schema:xsd:");
inline const QString kInvoiceNs = kUblNs + QStringLiteral("Invoice-2");
inline const QString kCacNs = kUblNs + QStringLiteral("CommonAggregateComponents-2");
inline const QString kCbcNs = kUblNs + QStringLiteral("CommonBasicComponents-2");

// UTF-8 XML with the elements in the order the UBL 2.1 schema gives them; an element with nothing
// to say is left out rather than written empty.
QByteArray WriteUbl(const Document& d);

struct ReadResult {
    bool ok = false; // false: refused, `reason` says why and nothing else is set
    QString reason;
    Document doc;
    RegNoCheck registration = RegNoCheck::Empty; // the seller's tax identifier as a registration number
    QList<Finding> findings;                     // the rules the document breaks
    bool sumsAgree() const;
};

// Reads a UBL Invoice. A document type declaration is refused as soon as it is met, so no entity is
// ever declared, let alone resolved; so is anything that is not well-formed XML or whose root is
// not a UBL 2.1 Invoice.
ReadResult ReadUbl(const QByteArray& xml);

} // namespace pint
