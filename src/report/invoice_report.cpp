#include "report/invoice_report.h"

#include "report/invoice_layout.h"
#include "figures/figures.h"
#include "report/number_format.h"

#include <tuple>

using report::Control;

rpt請求書::rpt請求書(PrintValues v, std::vector<DetailRecord> recs) : values(std::move(v)), records(std::move(recs)) {
    report::buildInvoiceLayout(pageHeader, detail, pageFooter);
    if (values.prn適格)
        report::addQualifiedLayout(pageHeader, detail, pageFooter);
    report::addExtrasLayout(pageHeader, pageFooter,
                            {!values.prn件名.isEmpty(), values.prn支払期限.isValid(), !values.prn振込先.isEmpty(),
                             !values.prn備考.isEmpty(), !values.prn印影.isNull(), !values.prnロゴ.isNull()});
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

void rpt請求書::ActiveReport_ReportStart() {
    page.paper = QPageSize::A4;
    page.orientation = QPageLayout::Portrait;
    page.top = 900 - (values.prnロゴ.isNull() ? 0 : report::kLogoRise);
    page.bottom = 1100;
    // The free choice of sides: the 300 go left, so a printer's unprintable border does not eat the left rule.
    page.left = 300;
    page.right = 0;

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
    fill(pageHeader, QStringLiteral("txt支払期限"), report::printedDate(values.prn支払期限, values.prn和暦));
    fill(pageFooter, QStringLiteral("txt振込先"), values.prn振込先);
    fill(pageFooter, QStringLiteral("txt備考"), values.prn備考);
    pageHeader.ctl(QStringLiteral("txt顧客名")).setValue(values.prn顧客名);
    pageHeader.ctl(QStringLiteral("txt顧客情報")).setValue(values.prn顧客情報);
    pageHeader.ctl(QStringLiteral("txt自社名")).setValue(values.prn自社名);
    pageHeader.ctl(QStringLiteral("txt自社情報")).setValue(values.prn自社情報);
    pageHeader.ctl(QStringLiteral("txt請求金額"))
        .setValue(kYen + (values.prn請求金額 ? figures::formatThousands(*values.prn請求金額) : QString()));
    pageHeader.ctl(QStringLiteral("txt税抜計")).setValue(boxValue(values.prn税抜計));
    pageHeader.ctl(QStringLiteral("txt消費税")).setValue(boxValue(values.prn消費税));
    pageHeader.ctl(QStringLiteral("txt合計")).setValue(boxValue(values.prn合計));
    if (!values.prn適格)
        return;
    if (!values.prn登録番号.isEmpty())
        pageHeader.ctl(QStringLiteral("txt登録番号")).setValue(QStringLiteral("登録番号 ") + values.prn登録番号);
    // A line for each rate with lines, 10 % first.
    QStringList lines;
    for (const auto& [rate, sum, tax] : {std::tuple{10, values.prn対象10, values.prn消費税10},
                                         std::tuple{8, values.prn対象8, values.prn消費税8}})
        if (sum)
            lines << RateLine(rate, *sum, tax, values.prn内税);
    pageFooter.ctl(QStringLiteral("txt税率別1")).setValue(lines.value(0));
    pageFooter.ctl(QStringLiteral("txt税率別2")).setValue(lines.value(1));
    // Exempt lines count in the subtotal but in neither rate: their sum says why the two differ.
    double exempt = 0;
    bool anyExempt = false;
    for (const DetailRecord& r : records)
        if (r.非課税) {
            anyExempt = true;
            exempt += r.金額.toDouble();
        }
    if (anyExempt) {
        pageFooter.ctl(QStringLiteral("Label凡例")).caption = QStringLiteral("※は軽減税率対象　非は非課税");
        pageFooter.ctl(QStringLiteral("txt非課税")).setValue(QStringLiteral("非課税 ") + yen(exempt));
    }
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
        return r.軽減 ? QVariant(QStringLiteral("※")) : r.非課税 ? QVariant(QStringLiteral("非")) : QVariant();
    return {};
}
