#pragma once

#include "book/kinds.h"
#include "report/report_engine.h"
#include "report/report_fonts.h"

#include <QDate>
#include <QImage>
#include <QString>
#include <QVariant>
#include <optional>
#include <vector>

// Values copied from the invoice window by the caller; the report never reads the database.
struct PrintValues {
    QString prn日付;     // as the date box shows it, "yyyy年mm月dd日", or "" when no date
    QString prn伝票番号; // the number in the number box; names the saved PDF
    QString prn顧客情報, prn顧客名, prn自社名, prn自社情報;
    std::optional<double> prn税抜計, prn消費税, prn合計, prn請求金額; // nullopt when the box is blank
    // A qualified invoice ("10%・8%"): the issuer's number, and per rate its sum (tax-inclusive
    // under 内税) and its tax; nullopt when the rate has no lines or bears no tax.
    bool prn適格 = false, prn内税 = false;
    QString prn登録番号;
    std::optional<double> prn対象10, prn消費税10, prn対象8, prn消費税8;
    // What the invoice says besides its lines; each prints only when given.
    QString prn件名, prn備考, prn振込先;
    QDate prn支払期限;                        // invalid when none
    QString prn敬称 = QStringLiteral("様");   // after the customer's name; "" prints none
    bool prn和暦 = false;                      // dates in the Japanese era
    QImage prn印影, prnロゴ;                   // null when none
    // The kind of document (DocumentKinds): the title, the wording and what the page carries.
    QString prn種別 = Kind請求書;
    QDate prn有効期限;   // a quote's validity; invalid when none
    QString prn但し書き; // what a receipt is for
    bool prn締め明細 = false; // a monthly summary lists its notes' item lines
};

// A qualified invoice's line for one rate: "10%対象 ¥8,000　消費税 ¥800".
QString RateLine(int rate, double sum, const std::optional<double>& tax, bool inclusive);

// One row of the work table in stored order; a null QVariant is an empty field.
struct DetailRecord {
    QVariant 品名, 数量, 単位, 単価, 金額;
    bool 軽減 = false;   // an 8 % line of a qualified invoice, marked "※"
    bool 非課税 = false; // an exempt line of a qualified invoice, marked "非" and summed apart
};

// A receipt carries a revenue stamp from 50,000 yen, counted on the amount before tax when the
// tax is shown separately, else on the whole amount.
constexpr double RevenueStampFrom = 50000;
bool NeedsRevenueStamp(const PrintValues& v);
// A receipt's lines: one per rate (per exempt, per reduced rate), in place of the items.
std::vector<DetailRecord> ReceiptSummary(const std::vector<DetailRecord>& lines, bool qualified);

// The printed invoice: 30 ruled rows per page, rows past the data printed empty to fill the last page.
class rpt請求書 : public report::BandedReport {
  public:
    rpt請求書(PrintValues values, std::vector<DetailRecord> records);

    // Hardware-independent yen sign; U+005C only looks like yen in Windows Japanese fonts.
    static inline const QString kYen = QStringLiteral("￥");

    const PrintValues& printValues() const { return values; }

    int MaxLine = 30;
    int LineCnt = 0;

  protected:
    void ActiveReport_ReportStart() override;
    bool ActiveReport_FetchData(bool eof) override;
    void PageHeader_Format() override;
    void Detail_Format() override;
    void Detail_BeforePrint() override;
    void ClearDetailTxt();
    // What every printed page of an invoice shares: the heading (date, number, customer, company,
    // subject, due date, amount due, registration number), the page setup, and the lines by rate
    // (blank when not shown).
    void fillHeading();
    void setA4Page();
    void fillRateLines(bool shown = true);
    // A line's mark on a qualified invoice: "※" reduced rate, "非" exempt, none otherwise; and the
    // legend that explains the marks.
    static QVariant lineMark(const DetailRecord& r);
    static QString markLegend(bool exempt);

    std::size_t recordCount() const override { return records.size(); }
    QVariant fieldValue(std::size_t record, const QString& field) const override;

  private:
    PrintValues values;
    std::vector<DetailRecord> records;
};
