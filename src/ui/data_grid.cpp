#include "ui/data_grid.h"

#include <QApplication>
#include <QComboBox>
#include <QCompleter>
#include <QHeaderView>
#include <QInputMethod>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QScreen>

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

// Draws a yes/no column as one of two pictures instead of a check box.
class PictureDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* p, const QStyleOptionViewItem& opt, const QModelIndex& i) const override {
        QStyleOptionViewItem o = opt;
        initStyleOption(&o, i);
        o.features &= ~QStyleOptionViewItem::HasCheckIndicator;
        o.text.clear();
        QApplication::style()->drawControl(QStyle::CE_ItemViewItem, &o, p);
        static const QPixmap on = flagPicture(true), off = flagPicture(false);
        const QPixmap& pic = i.data(Qt::CheckStateRole).toInt() == Qt::Checked ? on : off;
        p->drawPixmap(opt.rect.center() - QPoint(pic.width() / 2, pic.height() / 2), pic);
    }
    bool editorEvent(QEvent*, QAbstractItemModel*, const QStyleOptionViewItem&, const QModelIndex&) override {
        return false; // the grid toggles it, so a click counts once
    }
};

// Aligns a column's text as its set-up says.
class AlignDelegate : public QStyledItemDelegate {
  public:
    AlignDelegate(Qt::Alignment a, QObject* parent) : QStyledItemDelegate(parent), align_(a) {}

  protected:
    void initStyleOption(QStyleOptionViewItem* o, const QModelIndex& i) const override {
        QStyledItemDelegate::initStyleOption(o, i);
        o->displayAlignment = align_ | Qt::AlignVCenter;
    }
    bool editorEvent(QEvent*, QAbstractItemModel*, const QStyleOptionViewItem&, const QModelIndex&) override {
        return false; // the grid toggles yes/no cells itself, so a click counts once
    }

  private:
    Qt::Alignment align_;
};

// A drop-down of a bound list on one column; typing a name not in the list is allowed.
class PickListDelegate : public AlignDelegate {
  public:
    PickListDelegate(QAbstractItemModel* list, int column, QObject* parent)
        : AlignDelegate(Qt::AlignLeft, parent), list_(list), column_(column) {}
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const override {
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
        }
        return c;
    }
    void setEditorData(QWidget* editor, const QModelIndex& i) const override {
        auto* c = static_cast<QComboBox*>(editor);
        // A key that opened the editor is typed into it afterwards; keep the cell text otherwise.
        c->setEditText(i.data(Qt::EditRole).toString());
    }
    void setModelData(QWidget* editor, QAbstractItemModel* m, const QModelIndex& i) const override {
        m->setData(i, static_cast<QComboBox*>(editor)->currentText(), Qt::EditRole);
    }

  private:
    QAbstractItemModel* list_;
    int column_;
};

// Offers a column's code texts and writes back only a code the column can read.
class CodeDelegate : public AlignDelegate {
  public:
    CodeDelegate(CodeColumn codes, QObject* parent) : AlignDelegate(Qt::AlignHCenter, parent), codes_(std::move(codes)) {}
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const override {
        auto* c = new QComboBox(parent);
        c->setEditable(true);
        c->setInsertPolicy(QComboBox::NoInsert);
        c->addItems(codes_.choices);
        return c;
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
    setAlternatingRowColors(true);
    setWordWrap(false);
}

void DataGrid::bind(BoundTable* table) {
    table_ = table;
    setModel(table);
}

void DataGrid::setupColumns(const QList<GridColumn>& cols) {
    QList<int> grouped;
    for (int i = 0; i < cols.size(); ++i) {
        const GridColumn& c = cols[i];
        if (c.width <= 0) {
            setColumnHidden(i, true);
            continue;
        }
        setColumnHidden(i, false);
        setColumnWidth(i, twipsToPixels(c.width, this));
        if (!c.heading.isEmpty())
            table_->setHeading(i, c.heading);
        if (c.grouped)
            grouped << i;
    }
    table_->setGroupedColumns(grouped);
    for (int i = 0; i < cols.size(); ++i)
        if (i != pictureColumn_)
            setItemDelegateForColumn(i, new AlignDelegate(cols[i].align, this));
    if (pictureColumn_ >= 0)
        setItemDelegateForColumn(pictureColumn_, new PictureDelegate(this));
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
    const bool enter = e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
    if (enter && state() != QAbstractItemView::EditingState) {
        if (!(enterHandler_ && enterHandler_(col())))
            moveRight();
        e->accept();
        return;
    }
    if (e->key() == Qt::Key_Space && currentIndex().isValid() && table_ &&
        table_->isBoolColumn(currentIndex().column())) {
        toggleFlag(currentIndex());
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

void DataGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    // The after-update rules may have put the cursor back on the cell; that place stands.
    const bool placed = cursorPlaced_;
    cursorPlaced_ = false;
    QTableView::closeEditor(editor,
                            hint == QAbstractItemDelegate::SubmitModelCache ? QAbstractItemDelegate::NoHint : hint);
    // Enter in an open editor accepts it and moves on, as Enter on a cell does.
    if (hint == QAbstractItemDelegate::SubmitModelCache && !placed && !(enterHandler_ && enterHandler_(col())))
        moveRight();
}

bool DataGrid::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    cursorPlaced_ = false;
    return QTableView::edit(index, trigger, event);
}

void DataGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    applyIme();
    emit cellMoved(current.row(), current.column());
}

void DataGrid::applyIme() {
    SetImeOpen(this, imeColumns_.contains(col()));
}
