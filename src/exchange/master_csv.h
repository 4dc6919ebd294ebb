#pragma once
#include "exchange/csv.h"
#include "store/database.h"

#include <QList>
#include <functional>

// Lines of the file that were not taken in: one row, or the rows an unclosed quote swallowed.
struct SkippedRows {
    int first = 0, last = 0; // as an editor counts them
    bool garbled = false;    // its bytes are not clean text in the file's encoding
    bool operator==(const SkippedRows&) const = default;
};

struct CsvImport {
    int imported = 0;
    QList<SkippedRows> skipped;
    bool cancelled = false; // stopped by the user: the work copy is as it was
};

// Told now and then how far an import has come, in thousandths; false stops it.
using CsvProgress = std::function<bool(int permille)>;

// A master page's work copy as CSV: a header of its field names (the tick left out) and the
// named rows in the order the page shows them.
QString exportCustomers(Database& work);
QString exportProducts(Database& work);

// Puts the readable rows of a CSV in place of the page's work copy, all or nothing; the
// master is never touched. Columns are found by their header name in any order, unknown ones
// ignored. Throws CsvError when the header lacks the name column or the file holds more than
// CsvMaxRows rows, DbError when writing failed (the work copy is then as it was).
CsvImport importCustomers(Database& work, const DecodedCsv& file, const CsvProgress& progress = {});
CsvImport importProducts(Database& work, const DecodedCsv& file, const CsvProgress& progress = {});

// The skipped lines for the one message that lists them: "3行目、7行目"; a long list is cut
// short with the number of lines left out.
QString skippedLinesText(const QList<SkippedRows>& skipped);

// A price as people type it in a spreadsheet: "¥1,200", "￥ 980", "\\500", "１，２００円".
std::optional<Currency> readPrice(const QString& text);
// A yes/no cell: 1/0, TRUE/FALSE, 〇/空 (or empty).
std::optional<bool> readFlag(const QString& text);
