#pragma once
#include "ui/bound_table.h"

#include <QStyledItemDelegate>
#include <QTableView>
#include <functional>
#include <optional>

// Column set-up in the window's own units: twips for widths.
// A column of codes, shown by the table as texts, edited by picking or typing one of them.
struct CodeColumn {
    QStringList choices;                                    // the drop-down's texts
    std::function<std::optional<int>(const QString&)> read; // typed text to a code; nullopt refuses
};

struct GridColumn {
    double width = 0; // twips; 0 hides the column
    Qt::Alignment align = Qt::AlignLeft;
    QString heading; // empty: the field name
    CellFormat format = CellFormat::Plain;
};

int twipsToPixels(double twips, const QWidget* w);

// One entry of a grid's right-click menu; it acts on the row clicked.
struct RowAction {
    QString text;
    std::function<void(int row)> run;
};

// A grid bound to one BoundTable, with the operations the window's handlers rely on.
class DataGrid : public QTableView {
    Q_OBJECT
  public:
    explicit DataGrid(QWidget* parent = nullptr);

    void bind(BoundTable* table);
    BoundTable* table() const { return table_; }
    // Widths, alignments, headings and formats; a column never gets narrower than its heading,
    // and a column of figures grows when a value would not show whole.
    void setupColumns(const QList<GridColumn>& cols);

    int col() const { return currentIndex().isValid() ? currentIndex().column() : -1; }
    int row() const { return currentIndex().isValid() ? currentIndex().row() : -1; }
    void setCol(int c);
    Value cell(int c) const;
    void setCell(int c, const Value& v);
    // Writes the pending edit of the open editor, if any, into the table.
    void commitPending();
    bool pastLastRow() const { return row() < 0 || row() >= model()->rowCount(); }
    void moveNext();
    void moveLast();
    void refreshDisplay() { viewport()->update(); }

    // Enter moves one cell right; the window may take Enter in one column for itself.
    void setEnterColumnHandler(std::function<bool(int col)> h) { enterHandler_ = std::move(h); }
    // Columns whose text is typed in Japanese, in the cell and in its editor.
    void setImeColumns(QList<int> cols) { imeColumns_ = std::move(cols); }
    bool imeOpenFor(int col) const { return imeColumns_.contains(col); }
    // Yes/no columns shown as one of two pictures and toggled by click or space.
    void setPictureColumn(int c) { pictureColumn_ = c; }
    // A bound drop-down list on one column (call after setupColumns).
    void setPickList(int col, QAbstractItemModel* list, int listColumn);
    // A column of codes (call after setupColumns); refused text leaves the cell as it was.
    void setCodeColumn(int col, const CodeColumn& codes);
    // A column edited over several lines: Enter accepts, Shift+Enter breaks the line (after setupColumns).
    void setMultiLineColumn(int col);
    int pictureColumn() const { return pictureColumn_; }

    // Row headers to select whole rows (click, Shift+click, Shift+Space); Delete removes them.
    void setRowSelectors(bool on);
    // Stored rows wholly selected, top to bottom.
    QList<int> selectedRecords() const;
    // Removes the selected rows from the bound table; the new row is never removed.
    void removeSelectedRows();
    // The right-click menu of a row.
    void setRowActions(QList<RowAction> actions) { rowActions_ = std::move(actions); }
    // Typing edits the cell; it never jumps to a row that starts with the key.
    void keyboardSearch(const QString&) override {}
    // True while an input method composes the first text of a cell: the grid keeps the focus
    // for it (moving the focus would end the composition) and hands everything to the editor.
    bool composing() const { return composing_; }

  signals:
    void cellMoved(int row, int col);

  protected:
    void keyPressEvent(QKeyEvent* e) override;
    void inputMethodEvent(QInputMethodEvent* e) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery q) const override;
    void focusOutEvent(QFocusEvent* e) override;
    bool viewportEvent(QEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;

  private:
    QWidget* openEditor() const;
    QWidget* openForTyping(const QModelIndex& index, bool composing);
    void endComposing(bool focusEditor);
    void moveRight();
    void toggleFlag(const QModelIndex& i);
    void applyIme();
    void fitFigures(int firstRow, int lastRow);
    void showRowMenu(int row, const QPoint& global);
    BoundTable* table_ = nullptr;
    std::function<bool(int)> enterHandler_;
    QList<int> imeColumns_;
    QList<int> figureColumns_;
    QList<RowAction> rowActions_;
    int pictureColumn_ = -1;
    bool cursorPlaced_ = false;
    bool rowSelectors_ = false;
    bool composing_ = false;
    const QEvent* fromEditor_ = nullptr; // a key on its way up from the open editor
};

// Switches the Japanese input method of a widget on or off.
void SetImeOpen(QWidget* w, bool open);
