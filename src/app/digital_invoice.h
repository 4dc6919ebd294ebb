#pragma once
#include <QList>
#include <QtGlobal>

class Books;
class QWidget;

// Writes the digital invoice (JP PINT) of each registered invoice under the numbers into a folder
// the user picks, one file each. When any of them cannot make a conforming document, the user is
// told what each one lacks and nothing is written.
void ExportDigitalInvoices(QWidget* parent, Books& books, const QList<qint32>& numbers);
