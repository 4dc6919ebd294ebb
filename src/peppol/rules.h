#pragma once
#include "peppol/document.h"

#include <QList>
#include <QString>

namespace pint {

// A rule of Peppol PINT Japan (shared PINT "ibr-", Japan's "aligned-ibr-jp-" and "aligned-ibrp-…-jp",
// or the business term an element carries where a rule only asks for its presence) that a document
// breaks, in Japanese. `sums` marks a disagreement of amounts rather than of form.
struct Finding {
    QString rule;
    QString text;
    bool sums = false;
    friend bool operator==(const Finding&, const Finding&) = default;
};

// Every rule below that the document breaks, in document order; empty when it meets them all.
// Form: the customization and profile identifiers, number, dates, type code, currency, an invoice
// period with both dates, both parties with legal name, electronic address and its scheme, JP
// postal country; the seller's tax identifier under VAT as "T" and 13 digits; at least one line,
// each with id, quantity, unit code, name, a price not below zero, a tax category of Japan's list
// (S, AA, E, Z, G, O) with its rate (0 for E, Z and G, above 0 for S and AA, none for O).
// Sums: line amount = quantity × price ÷ base quantity (within 0.02); line total, tax exclusive,
// tax total, tax inclusive and payable amounts; one tax subtotal per category and rate, its taxable
// amount the lines' (and allowances' and charges') of that category and rate, its tax the taxable
// amount times the rate rounded either way (0 where no tax is charged); JPY amounts in whole yen.
QList<Finding> CheckRules(const Document& d);

} // namespace pint
