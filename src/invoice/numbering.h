#pragma once
#include <QString>

class Database;

// The number counters of the company record, one per kind of document (CounterItemOf, e.g.
// "最大請求書番号"): "Get" gives the next number to offer as text; "Set" raises the counter to
// value when value is higher.
// Anything else does nothing and gives "".
QString Proc管理(Database& main, const QString& item, const QString& mode, const QString& value);
