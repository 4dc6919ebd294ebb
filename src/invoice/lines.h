#pragma once
#include "store/currency.h"
#include "store/value.h"

#include <QString>
#include <utility>
#include <vector>

class Database;

// The lines an invoice holds: the work copy's, the page's and the printed page's.
inline constexpr int InvoiceLineCount = 30;

// Rebuilds w明細 as 30 blank lines numbered 1 to 30.
void Clear明細ワーク(Database& work);

// Refills the product pick list w商品参照 from the product master.
void SetDD品名(Database& work, const QString& mainDbPath);

// What the product master says about a typed name; 品名 is the name without surrounding blanks.
struct ProductLookup {
    QString 品名;
    QString 単位;
    Currency 単価;
    bool 非課税 = false;
    int 税率 = 10; // 10 or 8; 0 for an exempt product; 10 when not found or never set
};
ProductLookup Seek商品(Database& main, const QString& typedName);

// Learns a value into the code list listKey: true only when it was stored in a free slot.
bool AddCodeValue(Database& main, const QString& listKey, const QString& value);

enum class RangeColumn { Quantity, Price, Amount };

// Whether a cell's text may stay: inside the column's limits (the limits included), or empty.
bool InRange(RangeColumn c, const QString& cellText);

// Line operations on the 30 work lines, by line number (1 to 30); each is all or nothing, and a
// number outside the lines changes nothing.
// Clear: the line becomes empty. Delete: the lines below move up, line 30 becomes empty.
void Clear明細行(Database& work, int line);
void Delete明細行(Database& work, int line);
// Insert: an empty line at `line`, the lines below move down. False, and nothing changed, when
// line 30 holds data that would be pushed off the invoice.
bool Insert明細行(Database& work, int line);

// Every work line with all its fields, in number order: taken before a line operation, put back
// to undo it.
using WorkLines = std::vector<std::vector<std::pair<QString, Value>>>;
WorkLines CopyLines(Database& work);
void PutLines(Database& work, const WorkLines& lines);
