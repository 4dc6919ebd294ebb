#pragma once
#include "peppol/build.h"
#include "peppol/ubl.h"

#include <QString>
#include <QStringList>

namespace pint {

// "<番号>_<顧客名>.xml", the name made safe for any file system: no path separators or characters
// Windows refuses, no leading dots, at most 80 characters of the name.
QString InvoiceFileName(qint32 number, const QString& customer);

struct Exported {
    QString path;        // the file written; empty when nothing was
    QStringList missing; // what the invoice lacks for a conforming document
    QString failure;     // why the file could not be written
};

// Builds the invoice's JP PINT document and writes it into the folder under InvoiceFileName, UTF-8,
// whole or not at all. Nothing is written when anything is missing.
Exported ExportInvoice(const IssuedInvoice& inv, const Company& company, const Customer& customer,
                       const QString& folder);

// A received invoice is read only up to this size; a larger file is refused before it is read.
inline constexpr qint64 kMaxInvoiceBytes = 10 * 1024 * 1024;

// Reads a JP PINT invoice file a supplier sent: refused when it is not a plain file, is larger than
// kMaxInvoiceBytes or cannot be read, else as ReadUbl reads it.
ReadResult ReadInvoiceFile(const QString& path);

} // namespace pint
