#pragma once
#include "book/search.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// CSV as spreadsheet programs read Japanese text: UTF-8 with a byte order mark, CRLF line
// ends, and a field quoted when it holds a comma, a quote or a line break (quotes doubled).
QByteArray csvDocument(const QList<QStringList>& rows);

// Writes the document whole or not at all; false with the reason when it could not.
bool writeCsvFile(const QString& path, const QByteArray& document, QString* reason);

// The list as the accountant gets it: a header row, then one row per invoice or line.
QList<QStringList> bookCsvRows(const std::vector<BookRow>& rows);
QList<QStringList> bookLineCsvRows(const std::vector<BookLine>& lines);

// "<name>_明細.csv" beside "<name>.csv".
QString linesCsvPath(const QString& listPath);
