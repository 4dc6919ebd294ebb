#pragma once
#include <QMap>
#include <QString>
#include <QStringList>

// A writer marks every invoice it registers with a tag and the number of lines it put on it,
// carried in the header's details, so the stored lines can be checked against their header.
QString headerDetails(const QString& tag, int lines);

// The books as the program finds them when it opens the two files again.
struct Books {
    QMap<qint32, QString> tags; // invoice number → the tag of the registration stored under it
    qint64 counter = 0;         // the invoice-number counter; 0 when never set
    int lines = 0;              // invoice lines stored
};

// Opens both files the way the program does and lists every way the books are not whole:
// a file the engine finds damaged, an invoice whose lines are not exactly those its header
// was registered with, lines without a header, a name used by an invoice but missing from
// its master, a master name held twice, a counter below a stored number, a work table that
// is not the fixed form of 30 lines. Empty when whole.
QStringList checkBooks(const QString& mainPath, const QString& workPath, Books& books);
