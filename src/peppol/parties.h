#pragma once
#include "peppol/build.h"

#include <QStringList>

class Database;

namespace pint {

// The company as the settings are registered.
Company StoredCompany(Database& main);
// The customer master's row for the name; empty fields when the master has no such customer.
Customer StoredCustomer(Database& main, const QString& name);

// A Peppol ID as it is stored: "0188:" or "0221:" and the number; empty for an empty one, nullopt
// for one ParseParticipantId cannot read.
std::optional<QString> StoredParticipantId(const QString& typed);

// Before the customer page is registered: each Peppol ID typed on it is put in its stored form.
// Returns the customers whose ID cannot be read; nothing is changed then.
QStringList NormaliseCustomerIds(Database& work);

} // namespace pint
