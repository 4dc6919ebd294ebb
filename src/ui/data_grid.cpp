#include "ui/data_grid.h"

#include <QApplication>
#include <QComboBox>
#include <QCompleter>
#include <QHeaderView>
#include <QInputMethod>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScreen>
#include <QtMath>

#include <array>
#include <cmath>
#include <memory>

int twipsToPixels(double twips, const QWidget* w) {
    const int dpi = w ? w->logicalDpiX() : 96;
    return static_cast<int>(twips * dpi / 1440.0 + 0.5);
}

void SetImeOpen(QWidget* w, bool open) {
    // Without the Windows input method manager the closest means is to enable or disable
    // input-method composition for the widget and tell the input method to follow.
    if (!w)
        return;
    w->setAttribute(Qt::WA_InputMethodEnabled, open);
    w->setInputMethodHints(open ? Qt::ImhNone : (Qt::ImhPreferLatin | Qt::ImhNoPredictiveText));
    if (QInputMethod* im = QGuiApplication::inputMethod()) {
        if (!open)
            im->commit();
        im->update(Qt::ImEnabled | Qt::ImHints);
    }
}

namespace {

QPixmap flagPicture(bool on) {
    QPixmap p(16, 16);
    p.fill(Qt::transparent);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    if (on) {
        g.setBrush(QColor(200, 40, 40));
        g.setPen(Qt::NoPen);
        g.drawEllipse(1, 1, 14, 14);
        g.setPen(QPen(Qt::white, 2));
        g.drawLine(5, 8, 7, 11);
        g.drawLine(7, 11, 11, 5);
    } else {
        g.setPen(QPen(QColor(160, 160, 160), 1));
        g.setBrush(Qt::NoBrush);
        g.drawEllipse(2, 2, 12, 12);
    }
    return p;
}

// The line of an editor that takes the typing: a combo's own line, or the editor itself.
QLineEdit* lineOf(QWidget* editor) {
    if (auto* combo = qobject_cast<QComboBox*>(editor))
        return combo->lineEdit();
    return qobject_cast<QLineEdit*>(editor);
}

// A cell's editor: its input method follows its column, as it does on the cell. While an input
// method composes the cell's first text the editor passes the focus on to the grid, so opening
// it does not end the composition.
QWidget* cellEditor(QWidget* editor, DataGrid* grid, int col) {
    const bool open = grid->imeOpenFor(col);
    SetImeOpen(editor, open);
    if (QLineEdit* line = lineOf(editor); line && line != editor)
        SetImeOpen(line, open);
    if (grid->composing())
        editor->setFocusProxy(grid);
    return editor;
}

bool isEnter(const QKeyEvent* k) {
    return k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter;
}

// Draws a yes/no cell's mark centred in its cell: one of two pictures, or a check box.
class FlagDelegate : public QStyledItemDelegate {
  public:
    FlagDelegate(bool pictures, QObject* parent) : QStyledItemDelegate(parent), pictures_(pictures) {}
    void paint(QPainter* p, const QStyleOptionViewItem& opt, const QModelIndex& i) const override {
        QStyleOptionViewItem o = opt;
        initStyleOption(&o, i);
        const bool on = i.data(Qt::CheckStateRole).toInt() == Qt::Checked;
        QStyle* style = o.widget ? o.widget->style() : QApplication::style();
        const QRect indicator = style->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &o, o.widget);
        o.features &= ~QStyleOptionViewItem::HasCheckIndicator;
        o.text.clear();
        style->drawControl(QStyle::CE_ItemViewItem, &o, p, o.widget);
        if (pictures_) {
            static const QPixmap onPic = flagPicture(true), offPic = flagPicture(false);
            const QPixmap& pic = on ? onPic : offPic;
            p->drawPixmap(opt.rect.center() - QPoint(pic.width() / 2, pic.height() / 2), pic);
            return;
        }
        QStyleOptionViewItem box = o;
        box.rect = QRect(QPoint(), indicator.size());
        box.rect.moveCenter(opt.rect.center());
        box.state = (box.state & ~(QStyle::State_On | QStyle::State_Off)) | (on ? QStyle::State_On : QStyle::State_Off);
        style->drawPrimitive(QStyle::PE_IndicatorItemViewItemCheck, &box, p, o.widget);
    }
    bool editorEvent(QEvent*, QAbstractItemModel*, const QStyleOptionViewItem&, const QModelIndex&) override {
        return false; // the grid toggles it, so a click counts once
    }

  private:
    bool pictures_;
};

// Aligns a column's text as its set-up says; its editor types as the column does.
class CellDelegate : public QStyledItemDelegate {
  public:
    CellDelegate(Qt::Alignment a, DataGrid* grid) : QStyledItemDelegate(grid), align_(a), grid_(grid) {}
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& o, const QModelIndex& i) const override {
        return cellEditor(QStyledItemDelegate::createEditor(parent, o, i), grid_, i.column());
    }

  protected:
    void initStyleOption(QStyleOptionViewItem* o, const QModelIndex& i) const override {
        QStyledItemDelegate::initStyleOption(o, i);
        o->displayAlignment = align_ | Qt::AlignVCenter;
    }
    bool editorEvent(QEvent*, QAbstractItemModel*, const QStyleOptionViewItem&, const QModelIndex&) override {
        return false; // the grid toggles yes/no cells itself, so a click counts once
    }
    bool eventFilter(QObject* o, QEvent* e) override {
        // Enter accepts the cell before the next key is read; Qt's own way waits for a queued
        // call, and keys typed meanwhile would still land in this cell.
        auto* editor = qobject_cast<QWidget*>(o);
        if (editor && e->type() == QEvent::KeyPress && isEnter(static_cast<QKeyEvent*>(e))) {
            emit commitData(editor);
            emit closeEditor(editor, QAbstractItemDelegate::SubmitModelCache);
            return true;
        }
        return QStyledItemDelegate::eventFilter(o, e);
    }
    DataGrid* grid() const { return grid_; }

  private:
    Qt::Alignment align_;
    DataGrid* grid_;
};

// Enter in a completer's list with nothing picked in it goes to the cell's editor, which takes the
// text as typed and moves on; the list would otherwise only close, and the next keys typed by a
// quick hand would land in a cell the user has left.
class EnterPassesList : public QObject {
  public:
    explicit EnterPassesList(QComboBox* editor) : QObject(editor), editor_(editor) {}
    bool eventFilter(QObject* o, QEvent* e) override {
        auto* list = qobject_cast<QAbstractItemView*>(o);
        if (!list || e->type() != QEvent::KeyPress || !isEnter(static_cast<QKeyEvent*>(e)) ||
            list->currentIndex().isValid())
            return false;
        // The list goes with the editor, as when the key reaches the editor directly.
        QKeyEvent enter(QEvent::KeyPress, static_cast<QKeyEvent*>(e)->key(), static_cast<QKeyEvent*>(e)->modifiers());
        QCoreApplication::sendEvent(editor_, &enter);
        return true;
    }

  private:
    QComboBox* editor_;
};

// A drop-down of a bound list on one column; typing a name not in the list is allowed.
class PickListDelegate : public CellDelegate {
  public:
    PickListDelegate(QAbstractItemModel* list, int column, DataGrid* grid)
        : CellDelegate(Qt::AlignLeft, grid), list_(list), column_(column) {}
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& i) const override {
        auto* c = new QComboBox(parent);
        c->setEditable(true);
        c->setInsertPolicy(QComboBox::NoInsert);
        c->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        c->setModel(list_);
        c->setModelColumn(column_);
        c->setCurrentIndex(-1);
        if (c->completer()) {
            c->completer()->setCompletionMode(QCompleter::PopupCompletion);
            c->completer()->setFilterMode(Qt::MatchStartsWith);
            c->completer()->popup()->installEventFilter(new EnterPassesList(c));
        }
        return cellEditor(c, grid(), i.column());
    }
    void setEditorData(QWidget* editor, const QModelIndex& i) const override {
        static_cast<QComboBox*>(editor)->setEditText(i.data(Qt::EditRole).toString());
    }
    void setModelData(QWidget* editor, QAbstractItemModel* m, const QModelIndex& i) const override {
        m->setData(i, static_cast<QComboBox*>(editor)->currentText(), Qt::EditRole);
    }

  private:
    QAbstractItemModel* list_;
    int column_;
};

// Text of several lines in a one-line cell: shown on one line, edited in a taller box where
// Enter accepts the cell and Shift+Enter breaks the line.
class MultiLineDelegate : public CellDelegate {
  public:
    using CellDelegate::CellDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& i) const override {
        auto* e = new QPlainTextEdit(parent);
        e->setTabChangesFocus(true);
        return cellEditor(e, grid(), i.column());
    }
    void setEditorData(QWidget* editor, const QModelIndex& i) const override {
        static_cast<QPlainTextEdit*>(editor)->setPlainText(i.data(Qt::EditRole).toString());
    }
    void setModelData(QWidget* editor, QAbstractItemModel* m, const QModelIndex& i) const override {
        m->setData(i, static_cast<QPlainTextEdit*>(editor)->toPlainText(), Qt::EditRole);
    }
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& o, const QModelIndex&) const override {
        QRect r = o.rect;
        r.setHeight(std::max(r.height(), editor->fontMetrics().lineSpacing() * 4 + 8));
        editor->setGeometry(r);
    }

  protected:
    void initStyleOption(QStyleOptionViewItem* o, const QModelIndex& i) const override {
        CellDelegate::initStyleOption(o, i);
        o->text.replace(u'\n', u' ');
    }
    bool eventFilter(QObject* o, QEvent* e) override {
        auto* editor = qobject_cast<QPlainTextEdit*>(o);
        if (editor && e->type() == QEvent::KeyPress && isEnter(static_cast<QKeyEvent*>(e)) &&
            (static_cast<QKeyEvent*>(e)->modifiers() & Qt::ShiftModifier)) {
            editor->insertPlainText(QStringLiteral("\n"));
            return true;
        }
        return CellDelegate::eventFilter(o, e);
    }
};

// Offers a column's code texts and writes back only a code the column can read.
class CodeDelegate : public CellDelegate {
  public:
    CodeDelegate(CodeColumn codes, DataGrid* grid) : CellDelegate(Qt::AlignHCenter, grid), codes_(std::move(codes)) {}
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& i) const override {
        auto* c = new QComboBox(parent);
        c->setEditable(true);
        c->setInsertPolicy(QComboBox::NoInsert);
        c->addItems(codes_.choices);
        return cellEditor(c, grid(), i.column());
    }
    void setEditorData(QWidget* editor, const QModelIndex& i) const override {
        auto* c = static_cast<QComboBox*>(editor);
        c->setEditText(i.data(Qt::DisplayRole).toString());
        c->lineEdit()->selectAll(); // a key that opened the editor replaces the code
    }
    void setModelData(QWidget* editor, QAbstractItemModel* m, const QModelIndex& i) const override {
        const QString text = static_cast<QComboBox*>(editor)->currentText();
        if (text == i.data(Qt::DisplayRole).toString())
            return; // unchanged
        if (const auto code = codes_.read(text))
            m->setData(i, QString::number(*code), Qt::EditRole);
    }

  private:
    CodeColumn codes_;
};

} // namespace

void DataGrid::setCodeColumn(int col, const CodeColumn& codes) {
    setItemDelegateForColumn(col, new CodeDelegate(codes, this));
}

void DataGrid::setPickList(int col, QAbstractItemModel* list, int listColumn) {
    setItemDelegateForColumn(col, new PickListDelegate(list, listColumn, this));
}

void DataGrid::setMultiLineColumn(int col) {
    setItemDelegateForColumn(col, new MultiLineDelegate(Qt::AlignLeft, this));
}

void DataGrid::setRowSelectors(bool on) {
    rowSelectors_ = on;
    verticalHeader()->setVisible(on);
    setSelectionMode(on ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
}

QList<int> DataGrid::selectedRecords() const {
    QList<int> rows;
    if (!table_ || !selectionModel())
        return rows;
    for (const QModelIndex& i : selectionModel()->selectedRows())
        if (i.row() < table_->recordCount())
            rows << i.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

void DataGrid::removeSelectedRows() {
    commitPending();
    const QList<int> rows = selectedRecords();
    if (rows.isEmpty())
        return;
    const int c = std::max(col(), 0);
    if (!table_->removeRecords(rows))
        return;
    clearSelection();
    setCurrentIndex(model()->index(std::min(rows.first(), model()->rowCount() - 1), c));
}

void DataGrid::showRowMenu(int r, const QPoint& global) {
    if (r < 0 || r >= model()->rowCount() || rowActions_.isEmpty())
        return;
    if (rowSelectors_) {
        if (!selectionModel()->isRowSelected(r, {}))
            selectRow(r);
    } else if (row() != r) {
        int c = col();
        if (c < 0 || isColumnHidden(c))
            for (c = 0; c + 1 < model()->columnCount() && isColumnHidden(c); ++c) {
            }
        setCurrentIndex(model()->index(r, c));
    }
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    for (const RowAction& a : rowActions_)
        menu->addAction(a.text, this, [run = a.run, r] { run(r); });
    menu->popup(global);
}

void DataGrid::contextMenuEvent(QContextMenuEvent* e) {
    if (rowActions_.isEmpty()) {
        QTableView::contextMenuEvent(e);
        return;
    }
    const int r = e->reason() == QContextMenuEvent::Mouse ? rowAt(e->pos().y()) : row();
    showRowMenu(r, e->reason() == QContextMenuEvent::Mouse ? e->globalPos()
                                                            : viewport()->mapToGlobal(visualRect(currentIndex()).center()));
    e->accept();
}

DataGrid::DataGrid(QWidget* parent) : QTableView(parent) {
    setTabKeyNavigation(false); // Tab leaves the grid
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked |
                    QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    horizontalHeader()->setSectionsMovable(false);
    horizontalHeader()->setHighlightSections(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed); // no walk over every row
    verticalHeader()->setDefaultSectionSize(24);
    verticalHeader()->hide();
    verticalHeader()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(verticalHeader(), &QHeaderView::customContextMenuRequested, this, [this](const QPoint& p) {
        showRowMenu(verticalHeader()->logicalIndexAt(p), verticalHeader()->mapToGlobal(p));
    });
    setAlternatingRowColors(true);
    setWordWrap(false);
}

void DataGrid::bind(BoundTable* table) {
    table_ = table;
    setModel(table);
    connect(table, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& from, const QModelIndex& to) { fitFigures(from.row(), to.row()); });
    connect(table, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex&, int first, int last) { fitFigures(first, last); });
    connect(table, &QAbstractItemModel::modelReset, this, [this] { fitFigures(0, model()->rowCount() - 1); });
}

void DataGrid::fitFigures(int firstRow, int lastRow) {
    // The text margins of an item view's cell, as the style draws them.
    const int margins = 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1);
    const QFontMetricsF metrics(font());
    // Measuring every text as drawn is slow over a master of 100,000 rows; the sum of its
    // characters' advances, each measured once, shows which few texts may not fit.
    std::array<qreal, 128> ascii;
    ascii.fill(-1);
    const auto advance = [&](QChar ch) {
        if (ch.unicode() >= ascii.size())
            return metrics.horizontalAdvance(ch);
        qreal& a = ascii[ch.unicode()];
        if (a < 0)
            a = metrics.horizontalAdvance(ch);
        return a;
    };
    for (const int c : std::as_const(figureColumns_)) {
        if (isColumnHidden(c))
            continue;
        qreal room = columnWidth(c) - margins;
        for (int r = firstRow; r <= lastRow; ++r) {
            const QString text = model()->index(r, c).data().toString();
            qreal estimate = 0;
            for (const QChar ch : text)
                estimate += advance(ch);
            if (estimate + 1 > room) // a pixel for the rounding of the sum
                room = std::max(room, std::ceil(metrics.horizontalAdvance(text)));
        }
        if (room + margins > columnWidth(c))
            setColumnWidth(c, qCeil(room) + margins);
    }
}

void DataGrid::setupColumns(const QList<GridColumn>& cols) {
    figureColumns_.clear();
    for (int i = 0; i < cols.size(); ++i) {
        const GridColumn& c = cols[i];
        table_->setColumnFormat(i, c.format);
        if (!c.heading.isEmpty())
            table_->setHeading(i, c.heading);
        if (c.width <= 0) {
            setColumnHidden(i, true);
            continue;
        }
        setColumnHidden(i, false);
        // A heading is never cut: a column narrower than its heading in this font grows to fit.
        setColumnWidth(i, std::max(twipsToPixels(c.width, this), horizontalHeader()->sectionSizeHint(i)));
        if (c.format != CellFormat::Plain)
            figureColumns_ << i;
    }
    fitFigures(0, model()->rowCount() - 1);
    for (int i = 0; i < cols.size(); ++i) {
        if (i == pictureColumn_ || table_->isBoolColumn(i))
            setItemDelegateForColumn(i, new FlagDelegate(i == pictureColumn_, this));
        else
            setItemDelegateForColumn(i, new CellDelegate(cols[i].align, this));
    }
}

void DataGrid::setCol(int c) {
    cursorPlaced_ = true;
    const int r = row() < 0 ? 0 : row();
    if (model() && r < model()->rowCount())
        setCurrentIndex(model()->index(r, c));
}

Value DataGrid::cell(int c) const {
    return table_ ? table_->value(row(), c) : Value();
}

void DataGrid::setCell(int c, const Value& v) {
    if (table_)
        table_->setValue(row(), c, v);
}

void DataGrid::commitPending() {
    if (state() != QAbstractItemView::EditingState)
        return;
    QWidget* editor = indexWidget(currentIndex());
    if (!editor)
        editor = QApplication::focusWidget();
    if (editor && viewport()->isAncestorOf(editor)) {
        commitData(editor);
        QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

void DataGrid::moveNext() {
    const int r = row() + 1;
    if (r < model()->rowCount())
        setCurrentIndex(model()->index(r, col()));
}

void DataGrid::moveLast() {
    if (model()->rowCount() > 0)
        setCurrentIndex(model()->index(model()->rowCount() - 1, std::max(col(), 0)));
}

void DataGrid::moveRight() {
    const QModelIndex i = currentIndex();
    if (!i.isValid())
        return;
    for (int c = i.column() + 1; c < model()->columnCount(); ++c)
        if (!isColumnHidden(c)) {
            setCurrentIndex(model()->index(i.row(), c));
            return;
        }
}

void DataGrid::toggleFlag(const QModelIndex& i) {
    const bool on = i.data(Qt::CheckStateRole).toInt() == Qt::Checked;
    model()->setData(i, on ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
}

void DataGrid::keyPressEvent(QKeyEvent* e) {
    const bool fromEditor = e == fromEditor_;
    fromEditor_ = nullptr;
    if (QWidget* editor = openEditor(); editor && !fromEditor) {
        // A key that reaches the grid while a cell is being edited was typed into that cell:
        // it goes there, after the keys before it.
        const std::unique_ptr<QEvent> copy(e->clone());
        QApplication::sendEvent(editor, copy.get());
        e->accept();
        return;
    }
    if (isEnter(e) && state() != QAbstractItemView::EditingState) {
        if (!(enterHandler_ && enterHandler_(col())))
            moveRight();
        e->accept();
        return;
    }
    const QModelIndex cur = currentIndex();
    if (e->key() == Qt::Key_Space && (e->modifiers() & Qt::ShiftModifier) && rowSelectors_ && cur.isValid()) {
        selectionModel()->select(cur, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        e->accept();
        return;
    }
    if (e->key() == Qt::Key_Space && cur.isValid() && table_ && table_->isBoolColumn(cur.column())) {
        toggleFlag(cur);
        e->accept();
        return;
    }
    if ((e->key() == Qt::Key_Delete || e->key() == Qt::Key_Backspace) && state() != QAbstractItemView::EditingState &&
        cur.isValid() && table_) {
        if (e->key() == Qt::Key_Delete && rowSelectors_ && !selectedRecords().isEmpty())
            removeSelectedRows();
        else if (!table_->isBoolColumn(cur.column()) && (cur.flags() & Qt::ItemIsEditable))
            model()->setData(cur, QString(), Qt::EditRole); // a user edit: the column's rule runs
        e->accept();
        return;
    }
    QTableView::keyPressEvent(e);
}

void DataGrid::mousePressEvent(QMouseEvent* e) {
    const QModelIndex i = indexAt(e->position().toPoint());
    QTableView::mousePressEvent(e);
    // A click into a yes/no cell toggles it at once.
    if (i.isValid() && table_ && table_->isBoolColumn(i.column()) && (i.flags() & Qt::ItemIsUserCheckable)) {
        setCurrentIndex(i);
        toggleFlag(i);
    }
    applyIme();
}

void DataGrid::mouseReleaseEvent(QMouseEvent* e) {
    QTableView::mouseReleaseEvent(e);
    // Qt ends the click's state after the click opened the editor; the editor is still open.
    if (indexWidget(currentIndex()) && state() != QAbstractItemView::EditingState)
        setState(QAbstractItemView::EditingState);
}

void DataGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    composing_ = false;
    // The after-update rules may have put the cursor back on the cell; that place stands.
    const bool placed = cursorPlaced_;
    cursorPlaced_ = false;
    if (hint == QAbstractItemDelegate::EditNextItem || hint == QAbstractItemDelegate::EditPreviousItem) {
        // Tab in an open editor has accepted it; it then leaves the grid as Tab on a cell does.
        QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
        focusNextPrevChild(hint == QAbstractItemDelegate::EditNextItem);
        return;
    }
    QTableView::closeEditor(editor,
                            hint == QAbstractItemDelegate::SubmitModelCache ? QAbstractItemDelegate::NoHint : hint);
    // Enter in an open editor accepts it and moves on, as Enter on a cell does.
    if (hint == QAbstractItemDelegate::SubmitModelCache && !placed && !(enterHandler_ && enterHandler_(col())))
        moveRight();
}

bool DataGrid::viewportEvent(QEvent* e) {
    // Keys an editor leaves pass the viewport on their way up; the grid then handles them itself.
    if (e->type() == QEvent::KeyPress)
        fromEditor_ = e;
    return QTableView::viewportEvent(e);
}

QWidget* DataGrid::openEditor() const {
    return state() == QAbstractItemView::EditingState ? indexWidget(currentIndex()) : nullptr;
}

QWidget* DataGrid::openForTyping(const QModelIndex& index, bool composing) {
    composing_ = composing;
    QWidget* editor = QTableView::edit(index, AnyKeyPressed, nullptr) ? openEditor() : nullptr;
    if (!editor) {
        composing_ = false;
        return nullptr;
    }
    // Typing over a cell replaces what it held, whatever the editor.
    if (auto* text = qobject_cast<QPlainTextEdit*>(editor))
        text->clear();
    else if (QLineEdit* line = lineOf(editor))
        line->clear();
    return editor;
}

void DataGrid::endComposing(bool focusEditor) {
    if (!composing_)
        return;
    composing_ = false;
    if (QWidget* editor = openEditor()) {
        editor->setFocusProxy(nullptr);
        if (focusEditor)
            editor->setFocus();
    }
}

bool DataGrid::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    cursorPlaced_ = false;
    auto* key = event && event->type() == QEvent::KeyPress ? static_cast<QKeyEvent*>(event) : nullptr;
    if (trigger == AnyKeyPressed && key && !key->text().isEmpty() && key->text().front().isPrint() &&
        state() != QAbstractItemView::EditingState) {
        QWidget* editor = openForTyping(index, false);
        if (editor) {
            const std::unique_ptr<QEvent> copy(key->clone());
            QApplication::sendEvent(editor, copy.get());
        }
        return editor != nullptr;
    }
    // A click on the cell under the cursor edits at once: Qt waits to tell it from a double
    // click and drops the keys typed meanwhile.
    if (trigger == SelectedClicked)
        trigger = DoubleClicked;
    if (!QTableView::edit(index, trigger, event))
        return false;
    QWidget* editor = openEditor();
    if (editor && (trigger & (EditKeyPressed | DoubleClicked))) {
        // F2 and a click edit in place: the text stays, the cursor at its end.
        if (auto* text = qobject_cast<QPlainTextEdit*>(editor))
            text->moveCursor(QTextCursor::End);
        else if (QLineEdit* line = lineOf(editor)) {
            line->deselect();
            line->end(false);
        }
    }
    return true;
}

void DataGrid::inputMethodEvent(QInputMethodEvent* e) {
    const bool preedit = !e->preeditString().isEmpty();
    QWidget* editor = openEditor();
    if (!editor) {
        // Text from the input method types over the cell as keys do; while it is still being
        // composed the grid keeps the focus.
        if ((!preedit && e->commitString().isEmpty()) || !(editor = openForTyping(currentIndex(), preedit))) {
            e->ignore();
            return;
        }
    }
    const std::unique_ptr<QEvent> copy(e->clone());
    QApplication::sendEvent(editor, copy.get());
    e->accept();
    if (composing_ && !preedit) {
        // Committed: the editor takes the focus. Cancelled before any text: the cell stays as it was.
        const bool typed = !e->commitString().isEmpty();
        endComposing(typed);
        if (!typed)
            QTableView::closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
    }
}

QVariant DataGrid::inputMethodQuery(Qt::InputMethodQuery q) const {
    QWidget* editor = composing_ ? openEditor() : nullptr;
    if (!editor)
        return QTableView::inputMethodQuery(q);
    // The composition shows in the editor, so the editor answers, in the grid's coordinates.
    const QVariant v = editor->inputMethodQuery(q);
    const QPoint offset = editor->mapTo(this, QPoint());
    if (v.typeId() == QMetaType::QRect)
        return v.toRect().translated(offset);
    if (v.typeId() == QMetaType::QRectF)
        return v.toRectF().translated(offset);
    return v;
}

void DataGrid::focusOutEvent(QFocusEvent* e) {
    endComposing(false);
    QTableView::focusOutEvent(e);
}

void DataGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    applyIme();
    emit cellMoved(current.row(), current.column());
}

void DataGrid::applyIme() {
    SetImeOpen(this, imeColumns_.contains(col()));
}
