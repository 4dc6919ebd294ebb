#pragma once

#include "report/invoice_report.h"

#include <QDate>
#include <QString>
#include <vector>

// A delivery note as the monthly summary invoice lists it; the amount as its lines add up; its
// item lines when the summary prints them.
struct SummaryNote {
    QDate 日付;
    qint32 伝票番号 = 0;
    QString 件名;
    double 金額 = 0;
    std::vector<DetailRecord> items;
};

// The figures of the cut-off, in the order the boxes print them, and the notes it billed.
struct SummaryValues {
    double 前回御請求額 = 0, 御入金額 = 0, 繰越金額 = 0, 今回御買上額 = 0, 消費税額 = 0, 今回御請求額 = 0;
    std::vector<SummaryNote> notes;
};

// The monthly summary invoice: the invoice's heading, the cut-off's figures in a row of boxes,
// a line per delivery note (followed by its item lines when the values carry them, prn締め明細),
// and the tax by rate on the last page. Pages continue with 「次頁へ」
// at the foot and the page number when the notes do not fit one.
class rpt合計請求書 : public rpt請求書 {
  public:
    rpt合計請求書(PrintValues values, SummaryValues summary);

  protected:
    void ActiveReport_ReportStart() override;
    bool ActiveReport_FetchData(bool eof) override { return !eof; }
    void PageHeader_Format() override;
    void PageFooter_Format() override;
    void Detail_Format() override {}

    std::size_t recordCount() const override { return rows.size(); }
    QVariant fieldValue(std::size_t record, const QString& field) const override;

  private:
    SummaryValues summary;
    // The printed rows in order: a note's index, and its item's, or -1 for the note's own line.
    std::vector<std::pair<std::size_t, int>> rows;
    int pages = 1;
};
