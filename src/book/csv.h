#pragma once
#include "book/search.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The list as the accountant gets it: a header row, then one row per invoice or line.
QList<QStringList> bookCsvRows(const std::vector<BookRow>& rows);
QList<QStringList> bookLineCsvRows(const std::vector<BookLine>& lines);

// "<name>_明細.csv" beside "<name>.csv".
QString linesCsvPath(const QString& listPath);
