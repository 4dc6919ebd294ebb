#include "app/book_page/book_model.h"

#include "invoice/totals.h"

#include <QBrush>

namespace {
const QStringList Headings = {QStringLiteral("伝票番号"), QStringLiteral("種別"),   QStringLiteral("日付"),
                              QStringLiteral("顧客名"),   QStringLiteral("税抜計"), QStringLiteral("消費税"),
                              QStringLiteral("合計"),     QStringLiteral("状態"),   QStringLiteral("元伝票"),
                              QStringLiteral("入金額"),   QStringLiteral("残高"),   QStringLiteral("入金状態")};
bool isMoney(int column) {
    const auto c = static_cast<BookColumn>(column);
    return (c >= BookColumn::税抜計 && c <= BookColumn::合計) || c == BookColumn::入金額 || c == BookColumn::残高;
}
} // namespace

BookModel::BookModel(const std::unique_ptr<Database>& main, QObject* parent)
    : QAbstractTableModel(parent), main_(main) {}

void BookModel::search(const BookQuery& q) {
    query_ = q;
    searched_ = true;
    reload();
}

void BookModel::clear() {
    searched_ = false;
    reload();
}

void BookModel::reload() {
    beginResetModel();
    rows_.clear();
    atEnd_ = true;
    if (searched_ && main_) {
        try {
            rows_ = Search伝票(*main_, query_, order_, 0, FirstPage);
            atEnd_ = rows_.size() < FirstPage;
        } catch (const DbError& e) {
            endResetModel();
            if (onFailure)
                onFailure(e);
            return;
        }
    }
    endResetModel();
}

int BookModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int BookModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : BookColumnCount;
}

QVariant BookModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= static_cast<int>(rows_.size()))
        return {};
    const BookRow& r = rows_[index.row()];
    const int c = index.column();
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue((isMoney(c) || c == 0 ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    if (role == Qt::ForegroundRole && r.deleted)
        return QBrush(Qt::gray);
    // What needs chasing stands out.
    if (role == Qt::ForegroundRole && c == static_cast<int>(BookColumn::入金状態) &&
        (r.入金状態 == QStringLiteral("期限超過") || r.入金状態 == QStringLiteral("過入金")))
        return QBrush(Qt::red);
    if (role != Qt::DisplayRole)
        return {};
    switch (static_cast<BookColumn>(c)) {
    case BookColumn::伝票番号:
        return QString::number(r.伝票番号);
    case BookColumn::種別:
        return r.種別;
    case BookColumn::元伝票:
        return r.元伝票();
    case BookColumn::日付:
        return r.日付;
    case BookColumn::顧客名:
        return r.顧客名;
    case BookColumn::税抜計:
        return FormatAmount(r.税抜計);
    case BookColumn::消費税:
        return FormatAmount(r.消費税);
    case BookColumn::合計:
        return FormatAmount(r.合計);
    case BookColumn::状態:
        return r.状態();
    case BookColumn::入金額:
        return FormatAmount(r.入金額);
    case BookColumn::残高:
        return FormatAmount(r.残高);
    case BookColumn::入金状態:
        return r.入金状態;
    }
    return {};
}

QVariant BookModel::headerData(int section, Qt::Orientation o, int role) const {
    if (o == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < Headings.size())
        return Headings[section];
    return QAbstractTableModel::headerData(section, o, role);
}

void BookModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= BookColumnCount)
        return;
    const BookOrder next{static_cast<BookColumn>(column), order == Qt::DescendingOrder};
    if (next.column == order_.column && next.descending == order_.descending)
        return;
    order_ = next;
    if (searched_)
        reload();
}

bool BookModel::canFetchMore(const QModelIndex& parent) const {
    return !parent.isValid() && !atEnd_;
}

void BookModel::fetchMore(const QModelIndex& parent) {
    if (parent.isValid() || atEnd_ || !main_)
        return;
    std::vector<BookRow> more;
    try {
        more = Search伝票(*main_, query_, order_, static_cast<qint64>(rows_.size()), NextPage);
    } catch (const DbError& e) {
        atEnd_ = true;
        if (onFailure)
            onFailure(e);
        return;
    }
    atEnd_ = more.size() < NextPage;
    if (more.empty())
        return;
    const int first = static_cast<int>(rows_.size());
    beginInsertRows({}, first, first + static_cast<int>(more.size()) - 1);
    rows_.insert(rows_.end(), std::make_move_iterator(more.begin()), std::make_move_iterator(more.end()));
    endInsertRows();
}
