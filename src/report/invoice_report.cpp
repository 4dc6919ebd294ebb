#include "report/invoice_report.h"

#include "report/invoice_layout.h"
#include "figures/figures.h"
#include "report/number_format.h"

#include <tuple>

using report::Control;

namespace {
// What each kind other than the invoice prints differently.
report::KindLayout kindLayout(const PrintValues& v) {
    if (v.prn種別 == Kind見積書)
        return {QStringLiteral("御見積書"), QStringLiteral("御見積金額"), {}, false, {}};
    if (v.prn種別 == Kind納品書)
        return {QStringLiteral("納品書"), QStringLiteral("合計金額"), QStringLiteral("下記の通り納品いたしました。"),
                false, QStringLiteral("受領印")};
    return {QStringLiteral("領収書"), QStringLiteral("領収金額"), {}, true,
            NeedsRevenueStamp(v) ? QStringLiteral("収入印紙") : QString()};
}
} // namespace

bool NeedsRevenueStamp(const PrintValues& v) {
    const bool separateTax = v.prn消費税 && *v.prn消費税 != 0;
    const std::optional<double> liable = separateTax ? v.prn税抜計 : v.prn合計;
    return v.prn種別 == Kind領収書 && liable && *liable >= RevenueStampFrom;
}

std::vector<DetailRecord> ReceiptSummary(const std::vector<DetailRecord>& lines, bool qualified) {
    // 10 %, 8 % (reduced) and exempt under "10%・8%"; one line for the goods otherwise.
    struct Rate {
        QString name;
        bool reduced, exempt;
        double sum = 0;
        bool any = false;
    };
    std::vector<Rate> rates = qualified ? std::vector<Rate>{{QStringLiteral("10%対象"), false, false},
                                                           {QStringLiteral("8%対象"), true, false},
                                                           {QStringLiteral("非課税"), false, true}}
                                        : std::vector<Rate>{{QStringLiteral("お品代"), false, false}};
    for (const DetailRecord& l : lines) {
        if (l.金額.isNull())
            continue;
        Rate& r = !qualified ? rates[0] : l.軽減 ? rates[1] : l.非課税 ? rates[2] : rates[0];
        r.sum += l.金額.toDouble();
        r.any = true;
    }
    std::vector<DetailRecord> out;
    for (const Rate& r : rates)
        if (r.any)
            out.push_back({r.name, {}, {}, {}, r.sum, r.reduced, r.exempt});
    return out;
}

rpt請求書::rpt請求書(PrintValues v, std::vector<DetailRecord> recs) : values(std::move(v)), records(std::move(recs)) {
    const bool quote = values.prn種別 == Kind見積書;
    if (values.prn種別 == Kind領収書)
        records = ReceiptSummary(records, values.prn適格);
    report::buildInvoiceLayout(pageHeader, detail, pageFooter);
    if (values.prn適格)
        report::addQualifiedLayout(pageHeader, detail, pageFooter);
    if (values.prn種別 != Kind請求書)
        report::addKindLayout(pageHeader, pageFooter, kindLayout(values));
    // A quote's validity takes the due date's place.
    const QDate due = quote ? values.prn有効期限 : values.prn支払期限;
    report::addExtrasLayout(pageHeader, pageFooter,
                            {!values.prn件名.isEmpty(), due.isValid(), !values.prn振込先.isEmpty(),
                             !values.prn備考.isEmpty(), !values.prn印影.isNull(), !values.prnロゴ.isNull()});
    if (quote && due.isValid())
        pageHeader.ctl(QStringLiteral("Label支払期限")).caption = QStringLiteral("有効期限");
    for (const auto& [name, image] : {std::pair{QStringLiteral("img印影"), values.prn印影},
                                      std::pair{QStringLiteral("imgロゴ"), values.prnロゴ}})
        if (!image.isNull())
            pageHeader.ctl(name).image = image;
}

namespace {
QString yen(double v) {
    const QString t = figures::formatThousands(v);
    return QStringLiteral("¥") + (t.isEmpty() ? QStringLiteral("0") : t);
}
} // namespace

QString RateLine(int rate, double sum, const std::optional<double>& tax, bool inclusive) {
    QString line = QString::number(rate) + QStringLiteral("%対象 ") + yen(sum);
    if (inclusive)
        line += QStringLiteral("（税込）");
    if (tax)
        line += QStringLiteral("　消費税 ") + yen(*tax);
    return line;
}

void rpt請求書::setA4Page() {
    page.paper = QPageSize::A4;
    page.orientation = QPageLayout::Portrait;
    page.top = 900 - (values.prnロゴ.isNull() ? 0 : report::kLogoRise);
    page.bottom = 1100;
    // The free choice of sides: the 300 go left, so a printer's unprintable border does not eat the left rule.
    page.left = 300;
    page.right = 0;
}

void rpt請求書::ActiveReport_ReportStart() {
    setA4Page();
    MaxLine = 30;
    // The rows share what the header and footer leave of the one page.
    const int body = page.paperTwips().height() - page.top - page.bottom - pageHeader.height - pageFooter.height;
    detail.height = std::min(report::kRowHeight, body / MaxLine);
    report::fitDetailRows(detail);

    const QString format = QStringLiteral("#,###");
    pageHeader.ctl(QStringLiteral("txt税抜計")).outputFormat = format;
    pageHeader.ctl(QStringLiteral("txt消費税")).outputFormat = format;
    pageHeader.ctl(QStringLiteral("txt合計")).outputFormat = format;
    // A fraction of a unit or of a yen is part of the bill: rounding 2.5 to 3 would print a line
    // that does not add up.
    detail.ctl(QStringLiteral("txt単価")).outputFormat = figures::kQuantityFormat;
    detail.ctl(QStringLiteral("txt数量")).outputFormat = figures::kQuantityFormat;
    detail.ctl(QStringLiteral("txt金額")).outputFormat = format;

    LineCnt = 0;
}

bool rpt請求書::ActiveReport_FetchData(bool eof) {
    // After the data, keep printing empty ruled rows until the page is full.
    return !eof || LineCnt < MaxLine;
}

static QVariant boxValue(const std::optional<double>& v) {
    return v ? QVariant(*v) : QVariant();
}

void rpt請求書::PageHeader_Format() {
    fillHeading();
    pageHeader.ctl(QStringLiteral("txt税抜計")).setValue(boxValue(values.prn税抜計));
    pageHeader.ctl(QStringLiteral("txt消費税")).setValue(boxValue(values.prn消費税));
    pageHeader.ctl(QStringLiteral("txt合計")).setValue(boxValue(values.prn合計));
    if (!values.prn適格)
        return;
    fillRateLines();
    // Exempt lines count in the subtotal but in neither rate: their sum says why the two differ.
    double exempt = 0;
    bool anyExempt = false;
    for (const DetailRecord& r : records)
        if (r.非課税) {
            anyExempt = true;
            exempt += r.金額.toDouble();
        }
    pageFooter.ctl(QStringLiteral("Label凡例")).caption = markLegend(anyExempt);
    if (anyExempt)
        pageFooter.ctl(QStringLiteral("txt非課税")).setValue(QStringLiteral("非課税 ") + yen(exempt));
}

QVariant rpt請求書::lineMark(const DetailRecord& r) {
    return r.軽減 ? QVariant(QStringLiteral("※")) : r.非課税 ? QVariant(QStringLiteral("非")) : QVariant();
}

QString rpt請求書::markLegend(bool exempt) {
    return exempt ? QStringLiteral("※は軽減税率対象　非は非課税") : QStringLiteral("※は軽減税率対象");
}

void rpt請求書::fillHeading() {
    const QString date = report::reformatDate(values.prn日付);
    const QDate day = QDate::fromString(date, QStringLiteral("yyyy/MM/dd"));
    pageHeader.ctl(QStringLiteral("txtCday")).setValue(day.isValid() ? report::printedDate(day, values.prn和暦) : date);
    pageHeader.ctl(QStringLiteral("txt伝票番号")).setValue(report::printedInvoiceNumber(values.prn伝票番号));
    pageHeader.ctl(QStringLiteral("txt敬称")).setValue(values.prn敬称);
    // The extras' controls are there exactly when the invoice has them.
    const auto fill = [](report::Section& s, const QString& name, const QString& text) {
        if (s.find(name))
            s.ctl(name).setValue(text);
    };
    fill(pageHeader, QStringLiteral("txt件名"), values.prn件名);
    const bool quote = values.prn種別 == Kind見積書, receipt = values.prn種別 == Kind領収書;
    fill(pageHeader, QStringLiteral("txt支払期限"),
         report::printedDate(quote ? values.prn有効期限 : values.prn支払期限, values.prn和暦));
    fill(pageHeader, QStringLiteral("txt但し書き"), values.prn但し書き);
    fill(pageFooter, QStringLiteral("txt振込先"), values.prn振込先);
    fill(pageFooter, QStringLiteral("txt備考"), values.prn備考);
    pageHeader.ctl(QStringLiteral("txt顧客名")).setValue(values.prn顧客名);
    pageHeader.ctl(QStringLiteral("txt顧客情報")).setValue(values.prn顧客情報);
    pageHeader.ctl(QStringLiteral("txt自社名")).setValue(values.prn自社名);
    pageHeader.ctl(QStringLiteral("txt自社情報")).setValue(values.prn自社情報);
    if (receipt) {
        // A receipt's amount as it is written by hand: large, closed with a dash.
        Control& amount = pageHeader.ctl(QStringLiteral("txt請求金額"));
        amount.size = 18;
        amount.bold = true;
        amount.setValue(values.prn請求金額 ? yen(*values.prn請求金額) + u'-' : QString());
    } else {
        pageHeader.ctl(QStringLiteral("txt請求金額"))
            .setValue(kYen + (values.prn請求金額 ? figures::formatThousands(*values.prn請求金額) : QString()));
    }
    // A quote shows the sums by rate but does not claim to be a qualified invoice.
    if (values.prn適格 && !values.prn登録番号.isEmpty() && !quote)
        pageHeader.ctl(QStringLiteral("txt登録番号")).setValue(QStringLiteral("登録番号 ") + values.prn登録番号);
}

void rpt請求書::fillRateLines(bool shown) {
    // A line for each rate with lines, 10 % first.
    QStringList lines;
    for (const auto& [rate, sum, tax] : {std::tuple{10, values.prn対象10, values.prn消費税10},
                                         std::tuple{8, values.prn対象8, values.prn消費税8}})
        if (sum)
            lines << RateLine(rate, *sum, tax, values.prn内税);
    pageFooter.ctl(QStringLiteral("txt税率別1")).setValue(shown ? lines.value(0) : QString());
    pageFooter.ctl(QStringLiteral("txt税率別2")).setValue(shown ? lines.value(1) : QString());

}

void rpt請求書::Detail_Format() {
    if (LineCnt >= MaxLine)
        LineCnt = 0;
    if (eof()) {
        ClearDetailTxt();
        layoutAction = report::PrintSection | report::MoveLayout;
        return;
    }
    Control& unit = detail.ctl(QStringLiteral("txt単位"));
    if (!unit.text.isEmpty()) {
        // Characters, not UTF-16 units, so a surrogate pair is never split.
        const QList<uint> cps = unit.text.toUcs4();
        if (cps.size() > 3)
            unit.text = QString::fromUcs4(reinterpret_cast<const char32_t*>(cps.constData()), 3);
    }
}

void rpt請求書::Detail_BeforePrint() {
    LineCnt += 1;
}

void rpt請求書::ClearDetailTxt() {
    for (Control& c : detail.controls) {
        if (c.name.startsWith(QLatin1String("txt"))) {
            c.value = 0;
            c.text.clear();
        }
    }
}

QVariant rpt請求書::fieldValue(std::size_t record, const QString& field) const {
    const DetailRecord& r = records.at(record);
    if (field == QStringLiteral("品名"))
        return r.品名;
    if (field == QStringLiteral("数量"))
        return r.数量;
    if (field == QStringLiteral("単位"))
        return r.単位;
    if (field == QStringLiteral("単価"))
        return r.単価;
    if (field == QStringLiteral("金額"))
        return r.金額;
    if (field == QStringLiteral("軽減"))
        return lineMark(r);
    return {};
}
