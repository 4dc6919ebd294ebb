#pragma once
#include "store/database.h"

#include <QAbstractTableModel>
#include <functional>
#include <vector>

// How a column shows its numbers: as stored, "#,###", or a quantity that keeps its decimals.
enum class CellFormat { Plain, Grouped, Quantity };

// A table of a database shown in stored order; accepted user edits are written back to
// their row at once. This is the data control of a grid: database, record source, refresh.
// With row editing on, one empty new row follows the stored rows, as in a spreadsheet: a value
// written into it makes it a stored row, and a fresh new row appears below.
class BoundTable : public QAbstractTableModel {
    Q_OBJECT
  public:
    explicit BoundTable(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    void setDatabase(Database* db) { db_ = db; }
    void setRecordSource(const QString& table) { table_ = table; }
    // The fields shown, in this order (at the next refresh); empty shows every field.
    void setFields(QStringList fields) { fields_ = std::move(fields); }
    const QString& recordSource() const { return table_; }
    void refresh();

    // Display only; the stored values keep their decimals.
    void setColumnFormat(int col, CellFormat f) { formats_[col] = f; }
    // Display only: a column's values shown as texts (codes by their names); empty f drops it.
    void setShownText(int col, std::function<QString(const Value&)> f) {
        if (f)
            shown_[col] = [f = std::move(f)](const Value& v, const std::vector<Value>&) { return f(v); };
        else
            shown_.remove(col);
    }
    // The same, for a text that also depends on the other fields of its row.
    void setShownText(int col, std::function<QString(const Value&, const std::vector<Value>& row)> f) {
        shown_[col] = std::move(f);
    }
    // Columns the user may not edit.
    void setReadOnlyColumns(QList<int> cols) { readOnly_ = std::move(cols); }
    // Master grids let the user add and remove rows; the detail grid does not.
    void setRowEditing(bool on) { rowEditing_ = on; }
    bool rowEditing() const { return rowEditing_; }
    // Stored rows; the model's rows are these and, with row editing, the new row after them.
    int recordCount() const { return static_cast<int>(rows_.size()); }
    bool isNewRow(int row) const { return rowEditing_ && row == recordCount(); }

    int fieldIndex(const QString& name) const { return names_.indexOf(name); }
    Value value(int row, int col) const;
    // A programmatic write: stored, shown, and no after-update notice.
    void setValue(int row, int col, const Value& v);

    int rowCount(const QModelIndex& = {}) const override { return recordCount() + (rowEditing_ ? 1 : 0); }
    int columnCount(const QModelIndex& = {}) const override { return static_cast<int>(names_.size()); }
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;
    void setHeading(int col, const QString& text) { headings_[col] = text; }
    bool insertRows(int row, int count, const QModelIndex& parent = {}) override;
    bool removeRows(int row, int count, const QModelIndex& parent = {}) override;
    // Removes these stored rows (the new row is ignored) in one transaction: all or none.
    bool removeRecords(QList<int> rows);

    // Turns typed text into the column's type; nullopt when it cannot be read.
    std::optional<Value> fromText(int col, const QString& text) const;
    bool isBoolColumn(int col) const { return types_.value(col) == QLatin1String("BOOLEAN"); }
    // While after-update runs: the typed text when the column could not hold it (the cell
    // is then empty), so the rules can refuse it as typed; empty otherwise.
    const QString& unreadableText() const { return unreadable_; }

  signals:
    void afterColUpdate(int row, int col);
    void writeFailed(const QString& reason);

  private:
    void store(int row, int col, const Value& v);
    // Turns the new row into a stored one; false (and said) when the table refused.
    bool storeNewRow();

    Database* db_ = nullptr;
    QString table_;
    QStringList fields_;
    QStringList names_, types_;
    std::vector<std::vector<Value>> rows_;
    std::vector<long long> rowids_;
    QList<int> readOnly_;
    QHash<int, CellFormat> formats_;
    QHash<int, QString> headings_;
    QHash<int, std::function<QString(const Value&, const std::vector<Value>&)>> shown_;
    bool rowEditing_ = false;
    QString unreadable_;
};
