#include "issued/stored.h"

#include "book/kinds.h"
#include "invoice/qualified.h"
#include "store/database.h"
#include "store/statements.h"

namespace {

std::optional<Currency> money(const Value& v) {
    return v.isNull() ? std::nullopt : std::optional<Currency>(v.toCurrency());
}

} // namespace

std::optional<IssuedInvoice> ReadIssued(Database& main, qint32 number) {
    std::optional<InvoiceHeader> h = Read請求書ヘッダ(main, number);
    if (!h)
        return std::nullopt;
    IssuedInvoice inv;
    inv.header = std::move(*h);
    const QDate due = QDate::fromString(inv.header.支払期限, QStringLiteral("yyyy/MM/dd"));
    if (due.isValid())
        inv.支払期日 = due;
    auto rs = main.openRecordset(sql::I7(QString::number(number), Kind請求書));
    for (rs->moveFirst(); !rs->eof(); rs->moveNext()) {
        IssuedLine l;
        l.品名 = rs->field(QStringLiteral("品名")).toText();
        if (const Value q = rs->field(QStringLiteral("数量")); !q.isNull())
            l.数量 = q.toDouble();
        l.単位 = rs->field(QStringLiteral("単位")).toText();
        l.単価 = money(rs->field(QStringLiteral("単価")));
        l.金額 = money(rs->field(QStringLiteral("金額")));
        l.税率 = LineRate(rs->field(QStringLiteral("税率")), rs->field(QStringLiteral("非課税")).toBool());
        inv.lines << l;
    }
    return inv;
}

QList<IssuedInvoice> ReadIssued(Database& main, BookQuery q) {
    q.withDeleted = false;
    q.kind = Kind請求書; // a quote, delivery note or receipt is no sale of its own
    QList<IssuedInvoice> out;
    for (const BookRow& r : Search伝票(main, q, BookOrder{}, 0, -1))
        if (auto inv = ReadIssued(main, r.伝票番号))
            out << std::move(*inv);
    return out;
}
