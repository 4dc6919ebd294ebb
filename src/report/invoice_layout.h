#pragma once

#include "report/report_engine.h"

namespace report {

// Fills the sections of the printed invoice with their controls, as drawn in the old layout.
void buildInvoiceLayout(Section& pageHeader, Section& detail, Section& pageFooter);

// The monthly summary invoice: the invoice's heading with the registration number, the cut-off's
// six figures in a row of boxes (txt前回御請求額 …), columns 日付, 伝票番号, 件名, 金額, and a foot
// with the tax by rate (txt税率別1, 2), the page number (txt頁) and 「次頁へ」 (txt次頁). With items,
// rows for the notes' item lines too: txt品名, txt数量, txt単位, txt単価 in the subject's column.
void buildSummaryLayout(Section& pageHeader, Section& detail, Section& pageFooter, bool items);

// What a qualified invoice adds: the issuer's registration number under the company, a line's
// mark at the end of the name column (※ reduced rate, 非 exempt), and a footer with the legend,
// a line per rate and the exempt lines' sum. The company details and the name column give up the room.
void addQualifiedLayout(Section& pageHeader, Section& detail, Section& pageFooter);

// What an invoice prints besides the form, each only when it has it.
struct LayoutExtras {
    bool subject = false, dueDate = false, account = false, notes = false, seal = false, logo = false;
};
// Adds their controls: the due date under the date; the subject in a band under the customer's
// name (the left column below moves down); the account and the notes side by side at the foot,
// below a qualified invoice's footer; the seal over the right end of the company's name; the
// logo at the top left, in room the top margin gives up (kLogoRise), so that everything else
// stays where it was on the paper.
void addExtrasLayout(Section& pageHeader, Section& pageFooter, const LayoutExtras& extras);

// What a document other than the invoice changes: its title and the caption of its amount, a
// sentence in a band under the customer's name (a delivery note's), a band under the amount with
// the purpose and the acknowledgement (a receipt's), and a box at the foot for a seal or a stamp.
// Bands push the left column down as the subject's does. The invoice adds none of it.
struct KindLayout {
    QString title, amountCaption;
    QString customerLine;
    bool receiptBand = false;
    QString footBox; // the box's caption, or "" for none
};
void addKindLayout(Section& pageHeader, Section& pageFooter, const KindLayout& kind);

// A row is 370 twips. When the header and footer need more of the page, the 30 rows share what is
// left: from 356 down the form's drawing no longer fits, and fitDetailRows draws the row anew at
// the detail section's height, its texts centred and its rules closing it.
constexpr int kRowHeight = 370;
constexpr int kFormRowHeight = 356;
void fitDetailRows(Section& detail);

constexpr int kQualifiedFooterHeight = 600;
// The seal about 21 mm square; the logo within 40 × 15 mm.
constexpr int kSealTwips = 1191;
constexpr int kLogoWidthTwips = 2268, kLogoHeightTwips = 850;
constexpr int kLogoRise = 460;

} // namespace report
