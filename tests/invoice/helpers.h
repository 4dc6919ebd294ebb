#pragma once
#include "store/database.h"

#include <QString>
#include <QStringList>

inline QString txt(const char* utf8) {
    return QString::fromUtf8(utf8);
}
inline Value money(const char* decimal) {
    return Value(*Currency::parse(QString::fromUtf8(decimal)));
}

// Writes one row of w明細 (行番号 row, 1 to 30), as the grid commits it.
void setLine(Database& work, int row, const Value& name, const Value& qty, const Value& unit, const Value& price,
             const Value& amount, bool exempt = false);
// Every row of a table as "field=value|…" text, Null shown as "<null>", in storage order.
QStringList dump(Database& db, const QString& table);
// The whole main database: every table the invoice routines may touch.
QStringList dumpMain(Database& main);
void addProduct(Database& main, const QString& name, const Value& unit, const Value& price, bool exempt);
