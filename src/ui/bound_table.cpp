#include "ui/bound_table.h"

#include "figures/figures.h"

#include <algorithm>
#include <cmath>

namespace {
// Whether a typed value differs from the stored one, whatever numeric type each arrived as.
bool sameValue(const Value& a, const Value& b) {
    if (a.isNull() || b.isNull())
        return a.isNull() && b.isNull();
    if (a.isText() || b.isText())
        return a.isText() && b.isText() && a.toText() == b.toText();
    if (a.isBool() || b.isBool())
        return a.toBool() == b.toBool();
    if (a.isCurrency() || b.isCurrency())
        return a.toCurrency() == b.toCurrency();
    return a.toDouble() == b.toDouble();
}
} // namespace

void BoundTable::refresh() {
    beginResetModel();
    rows_.clear();
    rowids_.clear();
    names_.clear();
    types_.clear();
    if (db_ && !table_.isEmpty()) {
        for (const QString& field : fields_.isEmpty() ? QStringList{QString()} : fields_)
            for (const auto& [name, type] : db_->columns(table_))
                if (field.isEmpty() || name == field) {
                    names_ << name;
                    types_ << type;
                }
        // Stored order is rowid order: the order in which the rows were added.
        const QString list = fields_.isEmpty() ? QStringLiteral("*") : names_.join(u',');
        auto rs = db_->openRecordset(QStringLiteral("select ") + list + QStringLiteral(" from ") + table_ +
                                     QStringLiteral(" order by rowid"));
        rs->release(rows_, rowids_);
    }
    endResetModel();
}

Value BoundTable::value(int row, int col) const {
    if (row < 0 || row >= recordCount() || col < 0 || col >= columnCount())
        return {};
    return rows_[row][col];
}

void BoundTable::store(int row, int col, const Value& v) {
    if (!db_)
        throw DbError(21, QStringLiteral("データベースが閉じられています"));
    auto rs = db_->openRecordset(QStringLiteral("select * from ") + table_ + QStringLiteral(" where rowid = ") +
                                 QString::number(rowids_[row]));
    rs->edit();
    rs->setField(names_[col], v);
    rs->update();
    // Read back, so the grid shows what the table holds (types converted).
    auto back = db_->openRecordset(QStringLiteral("select * from ") + table_ + QStringLiteral(" where rowid = ") +
                                   QString::number(rowids_[row]));
    rows_[row][col] = back->eof() ? v : back->field(names_[col]);
    emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

void BoundTable::setValue(int row, int col, const Value& v) {
    if (row < 0 || row >= recordCount() || col < 0 || col >= columnCount())
        return;
    store(row, col, v);
}

std::optional<Value> BoundTable::fromText(int col, const QString& text) const {
    const QString t = text.trimmed();
    const QString& type = types_.value(col);
    if (type == QLatin1String("CURRENCY") || type == QLatin1String("DOUBLE") || type == QLatin1String("INTEGER")) {
        if (t.isEmpty())
            return Value();
        const QString plain = figures::asciiNumber(t).remove(u',');
        bool ok = false;
        const double d = plain.toDouble(&ok);
        if (!ok || !std::isfinite(d))
            return std::nullopt;
        if (type == QLatin1String("CURRENCY"))
            return Value(Currency::fromDouble(d));
        if (type == QLatin1String("INTEGER"))
            return Value(static_cast<std::int64_t>(std::llround(d)));
        return Value(d);
    }
    if (type == QLatin1String("BOOLEAN"))
        return Value(t == QLatin1String("True") || t == QLatin1String("1"));
    return text.isEmpty() ? Value() : Value(text);
}

QVariant BoundTable::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    const bool isBool = isBoolColumn(index.column());
    if (index.row() >= recordCount()) // the new row: empty, its yes/no cells off
        return role == Qt::CheckStateRole && isBool ? QVariant(Qt::Unchecked) : QVariant();
    const Value& v = rows_[index.row()][index.column()];
    if (role == Qt::CheckStateRole && isBool)
        return v.toBool() ? Qt::Checked : Qt::Unchecked;
    if (isBool)
        return {};
    if (role == Qt::DisplayRole) {
        if (const auto f = shown_.constFind(index.column()); f != shown_.constEnd())
            return (*f)(v, rows_[index.row()]);
        if (v.isNull())
            return QString();
        switch (formats_.value(index.column(), CellFormat::Plain)) {
        case CellFormat::Grouped:
            return figures::formatThousands(v.toDouble());
        case CellFormat::Quantity:
            return figures::formatQuantity(v.toDouble()); // as printed
        case CellFormat::Plain:
            break;
        }
        return v.toText();
    }
    if (role == Qt::EditRole)
        return v.toText();
    return {};
}

bool BoundTable::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || (role != Qt::EditRole && role != Qt::CheckStateRole))
        return false;
    const int col = index.column();
    std::optional<Value> v;
    if (role == Qt::CheckStateRole)
        v = Value(value.toInt() == Qt::Checked);
    else
        v = fromText(col, value.toString());
    if (isNewRow(index.row())) {
        if (v && v->isNull())
            return true; // nothing typed: the new row stays new
        if (!storeNewRow())
            return false;
    } else if (v && sameValue(*v, rows_[index.row()][col])) {
        return true; // unchanged: nothing to write and no rule to run
    }
    // Text the column cannot hold is taken as empty; the after-update rules clear it anyway.
    try {
        store(index.row(), col, v.value_or(Value()));
    } catch (const DbError& e) {
        emit writeFailed(e.text);
        return false;
    }
    if (!v)
        unreadable_ = value.toString();
    emit afterColUpdate(index.row(), col);
    unreadable_.clear();
    return true;
}

Qt::ItemFlags BoundTable::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (readOnly_.contains(index.column()))
        return f;
    if (isBoolColumn(index.column()))
        return f | Qt::ItemIsUserCheckable;
    return f | Qt::ItemIsEditable;
}

QVariant BoundTable::headerData(int section, Qt::Orientation o, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    if (o == Qt::Vertical)
        return isNewRow(section) ? QVariant(QStringLiteral("*")) : QVariant(section + 1);
    return headings_.value(section, names_.value(section));
}

bool BoundTable::insertRows(int row, int count, const QModelIndex& parent) {
    if (!rowEditing_ || parent.isValid() || count <= 0 || row < 0)
        return false;
    row = std::min(row, recordCount()); // stored rows go before the new row
    try {
        beginInsertRows(parent, row, row + count - 1);
        for (int i = 0; i < count; ++i) {
            auto rs =
                db_->openRecordset(QStringLiteral("select * from ") + table_ + QStringLiteral(" where rowid = 0"));
            rs->addNew();
            rs->update();
            auto last = db_->openRecordset(QStringLiteral("select max(rowid) as rid from ") + table_);
            rowids_.insert(rowids_.begin() + row + i, last->field(QStringLiteral("rid")).toInt());
            std::vector<Value> blank(names_.size());
            for (int c = 0; c < columnCount(); ++c)
                if (isBoolColumn(c))
                    blank[c] = false;
            rows_.insert(rows_.begin() + row + i, std::move(blank));
        }
        endInsertRows();
    } catch (const DbError& e) {
        endInsertRows();
        emit writeFailed(e.text);
        refresh();
        return false;
    }
    return true;
}

bool BoundTable::removeRows(int row, int count, const QModelIndex& parent) {
    if (!rowEditing_ || parent.isValid() || count <= 0 || row < 0 || row + count > recordCount())
        return false;
    QList<int> rows;
    for (int i = 0; i < count; ++i)
        rows << row + i;
    return removeRecords(rows);
}

bool BoundTable::removeRecords(QList<int> rows) {
    if (!rowEditing_ || !db_)
        return false;
    rows.removeIf([this](int r) { return r < 0 || r >= recordCount(); });
    std::sort(rows.begin(), rows.end(), std::greater<int>());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    if (rows.isEmpty())
        return false;
    try {
        Transaction t(*db_);
        for (int r : rows)
            db_->executeRaw(QStringLiteral("DELETE FROM \"%1\" WHERE rowid = %2").arg(table_).arg(rowids_[r]));
        t.commit();
    } catch (const DbError& e) {
        emit writeFailed(e.text);
        refresh();
        return false;
    }
    for (int r : rows) { // from the bottom, so the rows above keep their places
        beginRemoveRows({}, r, r);
        rows_.erase(rows_.begin() + r);
        rowids_.erase(rowids_.begin() + r);
        endRemoveRows();
    }
    return true;
}

bool BoundTable::storeNewRow() {
    const int r = recordCount();
    if (!db_)
        return false;
    try {
        auto rs = db_->openRecordset(QStringLiteral("select * from ") + table_ + QStringLiteral(" where rowid = 0"));
        rs->addNew();
        rs->update();
        auto last = db_->openRecordset(QStringLiteral("select max(rowid) as rid from ") + table_);
        const long long rowid = last->field(QStringLiteral("rid")).toInt();
        // Read back, so the row holds the table's defaults.
        auto back = db_->openRecordset(QStringLiteral("select * from ") + table_ + QStringLiteral(" where rowid = ") +
                                       QString::number(rowid));
        std::vector<Value> row(names_.size());
        for (int c = 0; c < columnCount(); ++c)
            row[c] = back->eof() ? Value() : back->field(names_[c]);
        // The row the user typed into stays where it is; the fresh new row appears below it.
        beginInsertRows({}, r + 1, r + 1);
        rows_.push_back(std::move(row));
        rowids_.push_back(rowid);
        endInsertRows();
    } catch (const DbError& e) {
        emit writeFailed(e.text);
        return false;
    }
    return true;
}
