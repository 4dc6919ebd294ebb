#pragma once
#include "store/database.h"

#include <QList>
#include <stdexcept>

// A file that cannot be taken in at all (no header naming the key column); the text says why.
struct CsvError : std::runtime_error {
    explicit CsvError(const QString& text) : std::runtime_error(text.toStdString()), text(text) {}
    QString text;
};

struct CsvImport {
    int imported = 0;
    QList<int> skippedLines; // the lines of rows that could not be read, as an editor counts them
};

// A master page's work copy as CSV: a header of its field names (the tick left out) and the
// named rows in the order the page shows them.
QString exportCustomers(Database& work);
QString exportProducts(Database& work);

// Puts the readable rows of a CSV in place of the page's work copy, all or nothing; the
// master is never touched. Columns are found by their header name in any order, unknown ones
// ignored. Throws CsvError when the header lacks the name column, DbError when writing failed
// (the work copy is then as it was).
CsvImport importCustomers(Database& work, const QString& text);
CsvImport importProducts(Database& work, const QString& text);

// The skipped lines for the one message that lists them: "3行目、7行目"; a long list is cut
// short with the number of lines left out.
QString skippedLinesText(const QList<int>& lines);

// A price as people type it in a spreadsheet: "¥1,200", "￥ 980", "\\500", "１，２００円".
std::optional<Currency> readPrice(const QString& text);
// A yes/no cell: 1/0, TRUE/FALSE, 〇/空 (or empty).
std::optional<bool> readFlag(const QString& text);
