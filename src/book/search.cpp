#include "book/search.h"

#include "book/payment_state.h"
#include "store/database.h"
#include "store/statements.h"

#include <utility>

namespace {

const QString DateFormat = QStringLiteral("yyyy/MM/dd");

QDate today(const BookQuery& q) {
    return q.today.isValid() ? q.today : QDate::currentDate();
}

sql::BookFilter filterOf(BookQuery q) {
    if (q.from && q.to && *q.from > *q.to)
        std::swap(q.from, q.to);
    if (q.min && q.max && *q.min > *q.max)
        std::swap(q.min, q.max);
    sql::BookFilter f;
    if (q.from)
        f.from = q.from->toString(DateFormat);
    if (q.to)
        f.to = q.to->toString(DateFormat);
    if (!q.customer.isEmpty())
        f.likePattern = containsPattern(q.customer);
    if (q.min)
        f.minRaw = QString::number(q.min->raw());
    if (q.max)
        f.maxRaw = QString::number(q.max->raw());
    f.withDeleted = q.withDeleted;
    f.customer = q.customerExact;
    f.paid = static_cast<sql::BookFilter::Paid>(q.paid);
    f.today = today(q).toString(DateFormat);
    f.kind = q.kind;
    return f;
}

QString orderBy(const BookOrder& o) {
    const QString dir = o.descending ? QStringLiteral(" desc") : QStringLiteral(" asc");
    QString first;
    switch (o.column) {
    case BookColumn::伝票番号:
        return "伝票番号" + dir + ", 種別, 世代" + dir + ", 削除済み";
    case BookColumn::種別:
        first = QStringLiteral("種別");
        break;
    case BookColumn::元伝票:
        first = "元種別" + dir + ", 元番号";
        break;
    case BookColumn::日付:
        first = QStringLiteral("日付");
        break;
    case BookColumn::顧客名:
        first = QStringLiteral("顧客名");
        break;
    case BookColumn::税抜計:
        first = QStringLiteral("税抜計");
        break;
    case BookColumn::消費税:
        first = QStringLiteral("消費税");
        break;
    case BookColumn::合計:
        first = QStringLiteral("合計");
        break;
    case BookColumn::状態:
        return "削除済み" + dir + ", 訂正回数" + dir + ", 伝票番号, 種別, 世代";
    case BookColumn::入金額:
        first = QStringLiteral("入金計");
        break;
    case BookColumn::残高:
    case BookColumn::入金状態: // what is owed first, then by when
        return "残高" + dir + ", 支払期限" + dir + ", 伝票番号" + dir + ", 種別, 世代" + dir + ", 削除済み";
    }
    return first + dir + ", 伝票番号" + dir + ", 種別, 世代" + dir + ", 削除済み";
}

std::optional<Currency> money(const Value& v) {
    if (v.isNull())
        return std::nullopt;
    return v.toCurrency();
}

} // namespace

QString BookRow::状態() const {
    if (wiped)
        return QStringLiteral("初期化済み");
    if (deleted)
        return QStringLiteral("削除済み");
    if (corrections > 0)
        return QStringLiteral("訂正 %1回").arg(corrections);
    return QString();
}

QString BookRow::元伝票() const {
    return 元番号 > 0 ? SourceText(元種別, 元番号) : QString();
}

QString containsPattern(const QString& part) {
    QString p;
    for (const QChar c : part) {
        if (c == u'\\' || c == u'%' || c == u'_')
            p += u'\\';
        p += c;
    }
    return u'%' + p + u'%';
}

QString Search伝票Statement(const BookQuery& q, const BookOrder& order, qint64 offset, qint64 limit) {
    return sql::L1(filterOf(q), orderBy(order), limit, offset);
}

QString PeriodPaymentsStatement(const BookQuery& q, const QDate& from, const QDate& to) {
    return sql::N4(filterOf(q), from.toString(DateFormat), to.toString(DateFormat));
}

std::vector<BookRow> Search伝票(Database& main, const BookQuery& q, const BookOrder& order, qint64 offset,
                                qint64 limit) {
    auto rs = main.openRecordset(Search伝票Statement(q, order, offset, limit));
    const QDate day = today(q);
    std::vector<BookRow> rows;
    rows.reserve(rs->recordCount());
    for (rs->moveFirst(); !rs->eof(); rs->moveNext()) {
        BookRow r;
        r.伝票番号 = static_cast<qint32>(rs->field(QStringLiteral("伝票番号")).toInt());
        r.種別 = rs->field(QStringLiteral("種別")).toText();
        r.元種別 = rs->field(QStringLiteral("元種別")).toText();
        r.元番号 = static_cast<qint32>(rs->field(QStringLiteral("元番号")).toInt());
        r.日付 = rs->field(QStringLiteral("日付")).toText();
        r.顧客名 = rs->field(QStringLiteral("顧客名")).toText();
        r.税抜計 = money(rs->field(QStringLiteral("税抜計")));
        r.消費税 = money(rs->field(QStringLiteral("消費税")));
        r.合計 = money(rs->field(QStringLiteral("合計")));
        r.件名 = rs->field(QStringLiteral("件名")).toText();
        r.支払期限 = rs->field(QStringLiteral("支払期限")).toText();
        for (const auto& [field, to] : {std::pair{QStringLiteral("対象10"), &r.対象10}, std::pair{QStringLiteral("消費税10"), &r.消費税10},
                                        std::pair{QStringLiteral("対象8"), &r.対象8}, std::pair{QStringLiteral("消費税8"), &r.消費税8}})
            *to = money(rs->field(field));
        r.世代 = static_cast<int>(rs->field(QStringLiteral("世代")).toInt());
        r.corrections = static_cast<int>(rs->field(QStringLiteral("訂正回数")).toInt());
        const qint64 removed = rs->field(QStringLiteral("削除済み")).toInt(); // 1 deleted, 2 wiped
        r.deleted = removed != 0;
        r.wiped = removed == 2;
        if (const Value paid = rs->field(QStringLiteral("入金計")); !paid.isNull() && r.合計) {
            // A live invoice's; computed sums have no declared type: they come back as the stored count.
            r.入金額 = Currency::fromRaw(paid.toInt());
            r.残高 = *r.合計 - *r.入金額;
            r.入金状態 = StateText(StateOf(*r.合計, *r.入金額, QDate::fromString(r.支払期限, DateFormat), day));
        }
        rows.push_back(std::move(r));
    }
    return rows;
}

std::vector<BookLine> Search伝票明細(Database& main, const BookQuery& q) {
    auto rs = main.openRecordset(sql::L2(filterOf(q)));
    std::vector<BookLine> lines;
    lines.reserve(rs->recordCount());
    for (rs->moveFirst(); !rs->eof(); rs->moveNext())
        lines.push_back({static_cast<qint32>(rs->field(QStringLiteral("伝票番号")).toInt()),
                         static_cast<int>(rs->field(QStringLiteral("世代")).toInt()),
                         rs->field(QStringLiteral("行番号")), rs->field(QStringLiteral("品名")),
                         rs->field(QStringLiteral("数量")), rs->field(QStringLiteral("単位")),
                         rs->field(QStringLiteral("単価")), rs->field(QStringLiteral("金額")),
                         rs->field(QStringLiteral("非課税")), rs->field(QStringLiteral("税率")),
                         rs->field(QStringLiteral("種別")).toText()});
    return lines;
}
