#pragma once
#include "book/kinds.h"
#include "store/currency.h"
#include "store/value.h"

#include <QDate>
#include <QString>
#include <QtGlobal>
#include <optional>
#include <vector>

class Database;

// The longest customer part a search takes: far beyond any name, and far below what the
// engine's pattern matching accepts.
inline constexpr int BookCustomerMaxLength = 100;

// What the list looks for; every field is optional and the fields are combined with and.
// A range given the wrong way round is taken the right way round.
struct BookQuery {
    std::optional<QDate> from, to;
    QString customer; // a part of the customer name or details, taken literally; at most BookCustomerMaxLength
    std::optional<Currency> min, max; // range of the total
    bool withDeleted = false;
    QString kind = Kind請求書; // one kind of document; empty for every kind
    QString customerExact; // one customer's invoices only, by the whole name (the receivables page's)
    // By what is still owed: open (any balance), open past the due date, settled. Only invoices
    // are found by these, never a deleted one.
    enum class Paid { Any, Open, Overdue, Settled } paid = Paid::Any;
    QDate today; // the day states are worked out on; invalid for the day it runs
};

// The list's columns, in the order the list shows them.
enum class BookColumn { 伝票番号, 種別, 日付, 顧客名, 税抜計, 消費税, 合計, 状態, 元伝票, 入金額, 残高, 入金状態 };
inline constexpr int BookColumnCount = 12;

struct BookOrder {
    BookColumn column = BookColumn::日付;
    bool descending = false;
};

struct BookRow {
    qint32 伝票番号 = 0;
    QString 種別 = Kind請求書;
    int 世代 = 0; // the generation of the book it belongs to (see history.h)
    QString 日付, 顧客名;
    std::optional<Currency> 税抜計, 消費税, 合計;
    QString 件名, 支払期限;
    // The sums and taxes by rate of a "10%・8%" invoice; none for a "5%" one.
    std::optional<Currency> 対象10, 消費税10, 対象8, 消費税8;
    // What was paid on a live invoice (fees kept by the customer included), what is still owed,
    // and its state (「未入金」, 「一部入金」, 「入金済」, 「期限超過」, 「過入金」); none for a deleted one.
    std::optional<Currency> 入金額, 残高;
    QString 入金状態;
    int corrections = 0;
    bool deleted = false; // no longer in the book: deleted, or removed by the full wipe
    bool wiped = false;
    // The document it was made from; 元番号 0 for none.
    QString 元種別;
    qint32 元番号 = 0;
    // "訂正 2回", "削除済み", "初期化済み", or empty.
    QString 状態() const;
    // "見積書 No. 7 より", or empty.
    QString 元伝票() const;
};

// Rows offset, offset + 1, … of the list in the given order (ties by number); limit < 0
// reads to the end.
std::vector<BookRow> Search伝票(Database& main, const BookQuery& q, const BookOrder& order, qint64 offset,
                                qint64 limit);

// The statement Search伝票 sends, for a direct comparison.
QString Search伝票Statement(const BookQuery& q, const BookOrder& order, qint64 offset, qint64 limit);

// The lines of every invoice the query finds, deleted ones as their last version, by
// number, generation and line.
struct BookLine {
    qint32 伝票番号 = 0;
    int 世代 = 0;
    Value 行番号, 品名, 数量, 単位, 単価, 金額, 非課税, 税率;
    QString 種別 = Kind請求書;
};
std::vector<BookLine> Search伝票明細(Database& main, const BookQuery& q);

// The statement listing the payments dated within [from, to] that stand against the live
// invoices the query finds, its own dates left out.
QString PeriodPaymentsStatement(const BookQuery& q, const QDate& from, const QDate& to);

// A text for LIKE that matches the part anywhere, with its own %, _ and \ taken literally.
QString containsPattern(const QString& part);
