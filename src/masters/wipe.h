#pragma once
#include "store/database.h"

#include <QDateTime>

// Empties customers, products, the company record with its seal and logo, the journal's names
// and export record, and every invoice, all or nothing. The invoices stay in the history as they stood (kind 初期化), in a
// generation of the book of their own, since numbering starts again.
void Data初期化(Database& main, const QDateTime& when = QDateTime::currentDateTime());
