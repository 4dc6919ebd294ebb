#pragma once

#include "report/report_engine.h"

namespace report {

// Fills the sections of the printed invoice with their controls, as drawn in the old layout.
void buildInvoiceLayout(Section& pageHeader, Section& detail, Section& pageFooter);

// What a qualified invoice adds: the issuer's registration number under the company, a line's
// mark at the end of the name column (※ reduced rate, 非 exempt), and a footer with the legend,
// a line per rate and the exempt lines' sum. The company details and the name column give up the room.
void addQualifiedLayout(Section& pageHeader, Section& detail, Section& pageFooter);

// Under "10%・8%" the rows give up 14 twips each, so the footer fits on the one page.
constexpr int kQualifiedRowHeight = 356;
constexpr int kQualifiedFooterHeight = 600;

} // namespace report
