#pragma once
#include "issued/issued.h"
#include "peppol/document.h"

#include <QStringList>

namespace pint {

// The issuer as the settings page holds it; the registration number comes from the invoice as issued.
struct Company {
    QString 自社名, PeppolID, 郵便番号, 住所;
};
// The customer master's row for the invoice's customer; the name comes from the invoice.
struct Customer {
    QString PeppolID, 郵便番号, 住所;
};

struct Built {
    Document doc;
    QStringList missing; // what keeps the invoice from a conforming document; nothing is written then
};

// The JP PINT document of a registered "10%・8%" invoice: one line per line with an amount (text-only
// lines go into the note), 10 % lines category S, 8 % lines AA (the reduced rate), exempt lines E,
// one tax subtotal per category and rate with the tax exactly as the qualified invoice rounds it,
// whole yen throughout. A 内税 invoice gives each line its net amount: the rate's printed tax is
// shared out over its lines in proportion, whole yen, the remainders to the largest fractions.
// The document is checked against every rule CheckRules knows before it is handed out.
Built BuildDocument(const IssuedInvoice& inv, const Company& company, const Customer& customer);

} // namespace pint
