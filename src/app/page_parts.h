#pragma once
#include "store/database.h"

#include <QFrame>
#include <QLabel>
#include <QList>
#include <QPushButton>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class BoundTable;
class QAbstractItemView;
struct Company;
struct PrintValues;
struct DetailRecord;
struct VersionLine;
class rpt請求書;
class DataGrid;
class QPlainTextEdit;
class QStandardItem;

// The pieces every page is built of, so that all pages look and behave alike.
template <class W> W* named(W* w, const QString& name) {
    w->setObjectName(name);
    return w;
}
QPushButton* button(const QString& name, const QString& caption, const QString& tip = {});
// A page holds one frame; its buttons sit in a frame of their own.
QFrame* frame();
QFrame* buttonFrame(const QList<QPushButton*>& buttons);
QLabel* caption(const QString& text);

// A list of rows to pick from: read-only, whole rows picked one at a time, no row headers.
void readOnlyRows(QAbstractItemView* view);
// Return or Enter pressed in the widget calls f, and does nothing else there.
void onEnter(QWidget* w, std::function<void()> f);
// A save that failed: the user is told what was not saved and why.
void notifyFailure(const QString& what, const DbError& e);
// Runs a page's database work, says so if it failed, then shows the table as it stands.
// The work returns false when it did nothing (the table then stays as shown). True when it was done.
bool workThenRefresh(BoundTable* table, const QString& failure, const std::function<bool()>& work);
// A cell of a read-only table, right-aligned for amounts.
QStandardItem* shownItem(const QString& text, bool right = false);
// A stored value as a printed field: a null one prints empty.
QVariant printField(const Value& v);
// A stored line as the page prints it; on a qualified invoice a named line at 8 % or exempt
// carries its mark.
DetailRecord printedLine(const VersionLine& line, bool qualified);
// The company on a printed invoice: name, details, date style, seal and logo.
void printCompany(PrintValues& p, const Company& company);
// The report an invoice prints as: a monthly summary invoice as the summary of its cut-off (the
// amount due is then the cut-off's 今回御請求額), any other document on its own form. Throws DbError.
std::shared_ptr<rpt請求書> printedReport(Database& main, PrintValues p, std::vector<DetailRecord> rows);
// A typed value a table could not store: the user is told at once.
void sayWriteFailures(BoundTable* table);
// Enter in a box of several lines makes a new line, as in any Japanese text box; Ctrl+Enter moves
// on, as Tab does.
void ctrlEnterMovesOn(QPlainTextEdit* box);
// The same in a grid's cells of several lines: Enter makes a new line, Ctrl+Enter accepts the cell
// and moves on as Enter does in the other cells, Tab accepts it and leaves the grid.
void enterBreaksCellLines(DataGrid* grid);
