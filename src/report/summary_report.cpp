#include "report/summary_report.h"

#include "report/invoice_layout.h"

rpt合計請求書::rpt合計請求書(PrintValues v, SummaryValues s) : rpt請求書(std::move(v), {}), summary(std::move(s)) {
    // The invoice's own form is replaced whole; the extras go where they go on any invoice.
    const PrintValues& p = printValues();
    report::buildSummaryLayout(pageHeader, detail, pageFooter);
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
    // Whole rows only: as many as the page leaves, the rest on the next pages.
    const int body = page.paperTwips().height() - page.top - page.bottom - pageHeader.height - pageFooter.height;
    const int perPage = std::max(1, body / detail.height);
    pages = std::max<int>(1, (static_cast<int>(summary.notes.size()) + perPage - 1) / perPage);
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
    const SummaryNote& n = summary.notes.at(record);
    if (field == QStringLiteral("日付"))
        return n.日付.toString(QStringLiteral("yyyy/MM/dd"));
    if (field == QStringLiteral("伝票番号"))
        return QString::number(n.伝票番号);
    if (field == QStringLiteral("件名"))
        return n.件名;
    if (field == QStringLiteral("金額"))
        return n.金額;
    return {};
}
