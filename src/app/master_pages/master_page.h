#pragma once
#include "exchange/master_csv.h"
#include "ui/data_grid.h"

#include <QPushButton>
#include <QWidget>
#include <functional>

class Books;
class Database;
struct MasterTables;

// What the customer and product pages have in common: a grid over the page's work copy of the
// master, rows added and removed as in a spreadsheet, the buttons under it, CSV out and in.
class MasterPage : public QWidget {
    Q_OBJECT
  public:
    // Rows typed or imported and not registered since the page was read, cleared or registered.
    // A cell being typed counts: it is put in the work copy first.
    bool hasUnsavedChanges();
    // True when nothing would be lost, or the user agreed to the clear question.
    bool askDiscardUnsaved();
    // The master as the questions name it (顧客情報, 商品情報).
    const QString& what() const { return what_; }

  signals:
    // The master in the books changed (registered or deleted): lists read from it are read again.
    void masterChanged();

  protected:
    explicit MasterPage(Books& books) : books_(books) {}
    // Lays out the grid and the buttons, then makes the grid's table, named `tableName`, over
    // the work table `source`; `what` names the master in the questions, `tables` are its master
    // and work copy.
    BoundTable* build(DataGrid* grid, const QList<QPushButton*>& buttons, const QString& tableName,
                      const QString& source, const QString& what, const MasterTables& tables);
    // The books are open: the table takes them up, the grid its columns and row actions.
    void bindGrid();
    // The grid's columns as a start shows them: widths, hidden columns, their editors.
    virtual void setUpColumns() = 0;
    // The page's routines on its work copy: each says so when it failed, then shows the table as it stands.
    void readMaster();
    void entryMaster(const QString& failure, void (*entry)(Database& main, Database& work));
    // `editedRowFirst`: a tick just set in the row being edited counts.
    void deleteTicked(const QString& failure, bool (*remove)(Database& main, Database& work), bool editedRowFirst);
    void clearPage(const QString& failure, void (*clear)(Database& work));
    void exportCsv(const QString& what, QString (*produce)(Database&));
    void importCsv(const QString& what, CsvImport (*take)(Database&, const DecodedCsv&, const CsvProgress&));
    // A button that would replace the rows shown: it asks first when they hold unregistered work.
    void connectAsking(QPushButton* button, const std::function<void()>& routine);
    Books& books_;

    // On a shared book the page shows what other PCs registered since it was read, unless it
    // holds work of its own.
    void showEvent(QShowEvent* e) override;

  private:
    // Runs a routine that writes the master. One refused over another PC's change says so and
    // offers to read the master again; true when the routine did its work.
    bool writeMaster(const QString& failure, const std::function<bool()>& routine);
    // The files closing or swapped: the table lets go of them or reads them anew.
    void rebind(bool open);
    // Enter in the last column goes on to the next row's name.
    bool enterKey(int col);
    const MasterTables* tables_ = nullptr;
    // The master's state when the page last read it; empty when the page's rows may be older.
    QString readState_;
    DataGrid* grid_ = nullptr;
    BoundTable* table_ = nullptr;
    QString what_;
    bool unsaved_ = false;
};
