#pragma once
#include "exchange/master_csv.h"
#include "ui/data_grid.h"

#include <QPushButton>
#include <QWidget>

class Books;
class Database;

// What the customer and product pages have in common: a grid over the page's work copy of the
// master, rows added and removed as in a spreadsheet, the buttons under it, CSV out and in.
class MasterPage : public QWidget {
    Q_OBJECT
  protected:
    explicit MasterPage(Books& books) : books_(books) {}
    // Lays out the grid and the buttons, then makes the grid's table, named `tableName`, over
    // the work table `source`.
    BoundTable* build(DataGrid* grid, const QList<QPushButton*>& buttons, const QString& tableName,
                      const QString& source);
    // The books are open: the table takes them up, the grid its columns and row actions.
    void bindGrid(const QList<GridColumn>& columns);
    // The page's routines on its work copy: each says so when it failed, then shows the table as it
    // stands. `what` names the master in the questions (顧客情報, 商品情報).
    void readMaster(const QString& failure, void (*read)(Database& work, const QString& mainDbPath));
    void entryMaster(const QString& what, const QString& failure, void (*entry)(Database& main, Database& work));
    // `editedRowFirst`: a tick just set in the row being edited counts.
    void deleteTicked(const QString& what, const QString& failure, bool (*remove)(Database& main, Database& work),
                      bool editedRowFirst);
    void clearPage(const QString& failure, void (*clear)(Database& work));
    void exportCsv(const QString& what, QString (*produce)(Database&));
    void importCsv(const QString& what, CsvImport (*take)(Database&, const DecodedCsv&, const CsvProgress&));
    Books& books_;

  private:
    // The files closing or swapped: the table lets go of them or reads them anew.
    void rebind(bool open);
    DataGrid* grid_ = nullptr;
    BoundTable* table_ = nullptr;
};
