#pragma once
#include "book/search.h"
#include "store/database.h"

#include <QAbstractTableModel>
#include <functional>
#include <memory>

// The rows of the invoice list, read a page at a time: a search shows its first rows at once
// however large the book, and the view asks for more as it scrolls. Sorting by a column runs
// the search again in that order.
class BookModel : public QAbstractTableModel {
  public:
    // The database is the window's: it may be closed, then the model reads nothing.
    BookModel(const std::unique_ptr<Database>& main, QObject* parent);

    static constexpr int FirstPage = 200;
    static constexpr int NextPage = 1000;

    // Shows the first rows of the query. A failure is reported through onFailure.
    void search(const BookQuery& q);
    // Shows nothing, as before the first search.
    void clear();
    const BookQuery& query() const { return query_; }
    const BookOrder& order() const { return order_; }
    bool searched() const { return searched_; }
    const BookRow& rowAt(int row) const { return rows_[row]; }
    std::function<void(const DbError&)> onFailure;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;
    void sort(int column, Qt::SortOrder order) override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

  private:
    void reload();
    const std::unique_ptr<Database>& main_;
    BookQuery query_;
    BookOrder order_;
    std::vector<BookRow> rows_;
    bool searched_ = false;
    bool atEnd_ = true;
};
