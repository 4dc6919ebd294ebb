#include "report/summary_report.h"

#include "figures/figures.h"
#include "report/invoice_layout.h"
#include "report/number_format.h"

rpt合計請求書::rpt合計請求書(PrintValues v, SummaryValues s) : rpt請求書(std::move(v), {}), summary(std::move(s)) {
    // The invoice's own form is replaced whole; the extras go where they go on any invoice.
    const PrintValues& p = printValues();
    report::buildSummaryLayout(pageHeader, detail, pageFooter, p.prn締め明細);
    bool reduced = false, exempt = false;
    for (std::size_t n = 0; n < summary.notes.size(); ++n) {
        rows.emplace_back(n, -1);
        for (int i = 0; p.prn締め明細 && i < int(summary.notes[n].items.size()); ++i) {
            rows.emplace_back(n, i);
            reduced = reduced || summary.notes[n].items[i].軽減;
            exempt = exempt || summary.notes[n].items[i].非課税;
        }
    }
    // The marks are explained on every page, as on the invoice, when any item line carries one.
    if (reduced || exempt)
        pageFooter.ctl(QStringLiteral("Label凡例")).caption = markLegend(exempt);
    report::addExtrasLayout(pageHeader, pageFooter,
                            {!p.prn件名.isEmpty(), p.prn支払期限.isValid(), !p.prn振込先.isEmpty(), false,
                             !p.prn印影.isNull(), !p.prnロゴ.isNull()});
    for (const auto& [name, image] :
         {std::pair{QStringLiteral("img印影"), p.prn印影}, std::pair{QStringLiteral("imgロゴ"), p.prnロゴ}})
        if (!image.isNull())
            pageHeader.ctl(name).image = image;
}

void rpt合計請求書::ActiveReport_ReportStart() {
    setA4Page();
    detail.ctl(QStringLiteral("txt金額")).outputFormat = QStringLiteral("#,##0");
    if (printValues().prn締め明細) {
        // A fraction of a unit or of a yen is part of the note: rounding it would not add up.
        detail.ctl(QStringLiteral("txt数量")).outputFormat = figures::kQuantityFormat;
        detail.ctl(QStringLiteral("txt単価")).outputFormat = figures::kQuantityFormat;
    }
    // Whole rows only: as many as the page leaves, the rest on the next pages.
    const int body = page.paperTwips().height() - page.top - page.bottom - pageHeader.height - pageFooter.height;
    const int perPage = std::max(1, body / detail.height);
    pages = std::max<int>(1, (static_cast<int>(rows.size()) + perPage - 1) / perPage);
}

void rpt合計請求書::PageHeader_Format() {
    fillHeading();
    for (const auto& [name, figure] : {std::pair{QStringLiteral("前回御請求額"), summary.前回御請求額},
                                       std::pair{QStringLiteral("御入金額"), summary.御入金額},
                                       std::pair{QStringLiteral("繰越金額"), summary.繰越金額},
                                       std::pair{QStringLiteral("今回御買上額"), summary.今回御買上額},
                                       std::pair{QStringLiteral("消費税額"), summary.消費税額},
                                       std::pair{QStringLiteral("今回御請求額"), summary.今回御請求額}})
        pageHeader.ctl(QStringLiteral("txt") + name).setValue(figure);
}

void rpt合計請求書::PageFooter_Format() {
    // The tax by rate closes the list, on its last page; every page before says it goes on.
    const bool last = eof();
    fillRateLines(last);
    pageFooter.ctl(QStringLiteral("txt税率別見出し")).setValue(last ? QStringLiteral("税率別内訳") : QString());
    pageFooter.ctl(QStringLiteral("txt次頁")).setValue(last ? QString() : QStringLiteral("次頁へ"));
    pageFooter.ctl(QStringLiteral("txt頁"))
        .setValue(pages > 1 ? QStringLiteral("%1/%2").arg(pageNumber()).arg(pages) : QString());
}

QVariant rpt合計請求書::fieldValue(std::size_t record, const QString& field) const {
    const auto [note, item] = rows.at(record);
    const SummaryNote& n = summary.notes.at(note);
    if (item >= 0) {
        const DetailRecord& d = n.items.at(item);
        for (const auto& [name, value] : {std::pair{QStringLiteral("品名"), &d.品名}, std::pair{QStringLiteral("数量"), &d.数量},
                                          std::pair{QStringLiteral("単位"), &d.単位}, std::pair{QStringLiteral("単価"), &d.単価},
                                          std::pair{QStringLiteral("金額"), &d.金額}})
            if (field == name)
                return *value;
        return field == QStringLiteral("軽減") ? lineMark(d) : QVariant();
    }
    if (field == QStringLiteral("日付"))
        return report::printedDate(n.日付, printValues().prn和暦);
    if (field == QStringLiteral("伝票番号"))
        return QString::number(n.伝票番号);
    if (field == QStringLiteral("件名"))
        return n.件名;
    if (field == QStringLiteral("金額"))
        return n.金額;
    return {};
}
