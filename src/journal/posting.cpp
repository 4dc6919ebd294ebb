#include "journal/posting.h"

namespace {

QString saleLabel(const JournalNames& n, int rate) {
    switch (rate) {
    case 10:
        return n.課税売上10;
    case 8:
        return n.課税売上8;
    case 5:
        return n.課税売上5;
    default:
        return n.非課税売上;
    }
}

} // namespace

Posted Post(const QList<IssuedInvoice>& invoices, const QList<Payment>& payments, const JournalNames& names) {
    Posted out;
    Currency invoiced, posted;
    for (const IssuedInvoice& inv : invoices) {
        const InvoiceHeader& h = inv.header;
        const Figures f = FiguresOf(inv);
        out.problems << f.problems;
        const QDate date = IssueDate(h);
        if (!date.isValid())
            out.problems << QStringLiteral("請求書 %1: 日付がありません").arg(h.number);
        if (!f.problems.isEmpty() || !date.isValid())
            continue;
        invoiced = invoiced + f.total;
        Slip s{Slip::Kind::Sale,
               date,
               QString::number(h.number),
               h.顧客名,
               QStringLiteral("請求書 No.%1 %2").arg(h.number).arg(h.顧客名),
               inv.支払期日,
               QString(),
               {}};
        const auto sale = [&](const QString& label, Currency gross, std::optional<Currency> tax) {
            if (gross == Currency())
                return;
            s.rows << JournalRow{names.売掛金, h.顧客名, names.対象外, std::nullopt, names.売上高,
                                 QString(),    label,    tax,          gross};
            posted = posted + gross;
        };
        if (!f.taxed) {
            sale(names.非課税売上, f.total, std::nullopt);
        } else {
            for (const RateFigure& r : f.rates)
                sale(saleLabel(names, r.rate), r.gross, r.rate == 0 ? std::nullopt : std::optional(r.tax));
        }
        if (!s.rows.isEmpty())
            out.slips << s;
    }
    if (posted != invoiced)
        out.problems << QStringLiteral("売上の合計 %1 円が請求書の合計 %2 円と一致しません")
                            .arg(posted.toString(), invoiced.toString());

    for (const Payment& p : payments) {
        const QString no = p.伝票番号 ? QString::number(*p.伝票番号) : QString();
        const QString account = p.現金 ? names.現金 : names.普通預金;
        Slip s{Slip::Kind::Receipt,
               p.date,
               no,
               p.顧客名,
               no.isEmpty() ? QStringLiteral("入金 %1").arg(p.顧客名)
                            : QStringLiteral("入金 No.%1 %2").arg(no, p.顧客名),
               std::nullopt,
               account,
               {}};
        if (!p.date.isValid())
            out.problems << s.摘要 + QStringLiteral(": 日付がありません");
        if (p.入金額 != Currency())
            s.rows << JournalRow{account,  QString(),    names.対象外, std::nullopt, names.売掛金,
                                 p.顧客名, names.対象外, std::nullopt, p.入金額};
        if (p.手数料 != Currency())
            s.rows << JournalRow{names.支払手数料, QString(),    names.課税仕入10, std::nullopt, names.売掛金,
                                 p.顧客名,         names.対象外, std::nullopt,     p.手数料};
        if (!s.rows.isEmpty() && p.date.isValid())
            out.slips << s;
    }
    return out;
}

QList<qint32> ChangedSinceExport(const QList<JournalExportRecord>& log, const QString& 形式, QDate from, QDate to,
                                 const QList<InvoiceChange>& changes) {
    QList<qint32> out;
    for (const InvoiceChange& c : changes) {
        if (c.日付 < from || c.日付 > to || out.contains(c.伝票番号))
            continue;
        QDateTime last;
        for (const JournalExportRecord& e : log)
            if (e.形式 == 形式 && e.期間開始 <= c.日付 && c.日付 <= e.期間終了 && e.出力日時 > last)
                last = e.出力日時;
        if (last.isValid() && c.変更日時 > last)
            out << c.伝票番号;
    }
    return out;
}
