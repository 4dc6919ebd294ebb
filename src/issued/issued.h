#pragma once
#include "invoice/invoice_io.h"
#include "store/currency.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// A registered invoice as plain values, as the book keeps it: what the journal CSV and the
// digital invoice are made from. The database code fills it; nothing here reads a file.
struct IssuedLine {
    QString 品名;
    std::optional<double> 数量;
    QString 単位;
    std::optional<Currency> 単価, 金額; // a line without an amount is text only
    int 税率 = 10;                      // 10, 8, or 0 for an exempt line: LineRate of the stored line
};

struct IssuedInvoice {
    InvoiceHeader header;
    QList<IssuedLine> lines; // in line order
    std::optional<QDate> 支払期日;
};

// One rate's share of an invoice in whole yen: net + tax = gross.
struct RateFigure {
    int rate = 10; // 10, 8, 5 (the old fixed rate), or 0 for exempt lines
    Currency net, tax, gross;
    friend bool operator==(const RateFigure&, const RateFigure&) = default;
};

struct Figures {
    QList<RateFigure> rates; // 10, 8, 5, 0 in that order, only the rates the invoice has lines at
    Currency total;          // the invoice total as printed
    bool taxed = false;      // the category worked a tax out (外税 or 内税)
    QStringList problems;    // why the figures cannot be posted; empty when they hold
};

// The figures per rate as the printed boxes give them. Under "10%・8%" they are worked out again
// from the lines through the qualified invoice's own rounding and must equal the stored boxes;
// under "5%" the stored tax is taken. Every figure must be whole yen and the rates must add up
// to the printed total, or a problem names the invoice and what is wrong.
Figures FiguresOf(const IssuedInvoice& inv);

// The issue date of a stored header ("yyyy/mm/dd"); invalid when the header has none.
QDate IssueDate(const InvoiceHeader& h);
