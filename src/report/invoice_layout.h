#pragma once

#include "report/report_engine.h"

namespace report {

// Fills the sections of the printed invoice with their controls, as drawn in the old layout.
void buildInvoiceLayout(Section& pageHeader, Section& detail, Section& pageFooter);

} // namespace report
