#pragma once
#include <QString>
#include <QStringList>

// Every statement the program sends, under its identifier. Names go through sqlText();
// invoice numbers are joined as plain digits by the callers' parsing.
namespace sql {
QString C1(const QString& customer);
QString C2();
QString C3();
QString C4(const QString& mainDbPath);
QString C5();
QString C6(const QString& customer);
QString C7();
QString C8();
QString C9(const QString& customer);
QString C10();
QString C11();
QString P1(const QString& product);
QString P2();
QString P3(const QString& mainDbPath);
QString P4();
QString P5(const QString& product);
QString P6();
QString P7();
QString P8(const QString& product);
QString P9();
QString P10(const QString& mainDbPath);
QString P11();
QString P12();
QString S1();
QString I1(const QString& number, const QString& kind);
QString I2(const QString& number, const QString& kind);
QString I3();
QString I4(const QString& number, const QString& kind);
QString I5(const QString& number, const QString& kind);
QString I6();
QString I7(const QString& number, const QString& kind);
QString I8();
QString I9(const QString& number, const QString& kind);
QString I10();
QString I11();
QString I12();
QString I13();
QString K1(const QString& listKey);
QString H1(const QString& formName, const QString& ctlName);
QString H2(const QString& formName, const QString& ctlName);
// Every row of a master, read once when a page is registered against it.
// The detail lines that hold an amount, with their rate and exempt flag, for the per-rate sums.
QString Q1();
// Under "10%・8%" the exempt flag of a line follows its rate: set for rate 0, cleared otherwise.
QString Q2();
QString Q3();
// A master page's work copy in the order the page shows it (CSV export).
QString E1();
QString E2();
// Wiping the business data: the five tables, in this order, then the company's images, the journal's
// names and its export record.
QString W1();
QString W2();
QString W3();
QString W4();
QString W5();
QString W6();
QString W7();
QString W8();

// The journal CSV's names per accounting program, and the record of its exports.
QString J1(const QString& format);                 // one program's stored names
QString J2(const QString& format);                 // forgets them
QString J3();                                      // the names as an updatable record set
QString J4();                                      // every export made
QString J5();                                      // the exports as an updatable record set
QString J6();                                      // every correction and deletion of an invoice

// The invoice history: the stored copy of an invoice is copied by column name before it is
// replaced, deleted or wiped, then stamped with its version and the book's generation. The
// generation is 1 at first and goes up by one at every full wipe, which numbers invoices anew.
// Each goes by number and document kind (doc); kind is the kind of change.
QString B1(const QString& number, const QString& doc, int generation); // the highest version
QString B2(const QStringList& headerColumns, const QString& number, const QString& doc);
QString B3(const QString& number, const QString& doc, int version, const QString& kind, const QString& when,
           int generation);
QString B4(const QStringList& lineColumns, const QString& number, const QString& doc);
QString B5(const QString& number, const QString& doc, int version, int generation);
QString B6(const QString& number, const QString& doc, int generation);              // every version's header, oldest first
QString B7(const QString& number, const QString& doc, int version, int generation); // one version's lines
QString B8();                                                  // the generation of the book now
QString B9();                                                  // the wipes, each ending a generation
QString B10();                                                 // the numbers and kinds of the stored documents

// The invoice list. Every part of the filter is optional: an empty text sets no condition.
struct BookFilter {
    QString from, to;      // "yyyy/mm/dd"
    QString likePattern;   // a LIKE pattern with '\' as its escape character
    QString minRaw, maxRaw; // money as stored: ten-thousandths
    bool withDeleted = false;
    QString customer;      // a customer's name, matched whole; empty for any
    // Live invoices by what is still owed on them: open (any balance), open past their due date
    // (before `today`), or settled. Any of these leaves deleted invoices out.
    enum class Paid { Any, Open, Overdue, Settled } paid = Paid::Any;
    QString today; // "yyyy/mm/dd", for Overdue
    QString kind;          // one kind of document; empty for every kind
};
// Live invoices with their count of corrections, and deleted or wiped ones as their last
// version (削除済み 1 or 2); orderBy is a list of result columns; limit < 0 reads every row.
QString L1(const BookFilter& f, const QString& orderBy, qint64 limit, qint64 offset);
// The lines of the live invoices, and of the deleted or wiped ones at their last version, that
// L1 finds.
QString L2(const BookFilter& f);

// Payments: the ones standing against an invoice of a generation, by date; one by its number
// (to add or read back); taking one back, which keeps its row.
QString N1(const QString& number, int generation);
QString N2(qint64 id);
QString N3(qint64 id, const QString& when);
// The highest payment and cut-off numbers given (as 最大): the next is taken inside the writing
// transaction, so every engine numbers alike.
QString N5();
QString T10();
// The payments standing against the live invoices the filter finds (its dates left out), dated
// within [from, to], with the invoice's customer, by date.
QString N4(const BookFilter& f, const QString& from, const QString& to);
// Monthly cut-offs: the customers billed monthly; a customer's cut-offs standing, latest first;
// the delivery notes of a customer dated within (from, to] that no standing cut-off billed; the
// notes' line sums by rate; what the customer paid within (from, to]; one cut-off (to add or
// read back), the notes it billed, and undoing it (the row is kept).
QString T1();
QString T2(const QString& customer);
QString T3(const QString& customer, const QString& from, const QString& to);
QString T4(const QString& numbers);
QString T5(const QString& customer, const QString& from, const QString& to);
QString T6(qint64 id);
QString T7(qint64 id);
QString T8(qint64 id, const QString& when);
QString T9(const QString& invoiceNumber); // the standing cut-off that made an invoice
QString T10(qint64 id);                   // the notes a cut-off billed, with their dates and subjects
QString T11(const QString& noteNumber);   // the standing cut-off that billed a delivery note

// What each customer owes at the end of a month starting `start` and ending `end`, with the
// balance aged as of `asOf` (`days30` and `days60` are 30 and 60 days before it).
QString U1(const QString& start, const QString& end, const QString& asOf, const QString& days30,
           const QString& days60);
} // namespace sql
