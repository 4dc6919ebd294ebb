// Printing the invoice on screen: the values copied from the page and the rows of the detail
// work table.
#include "app/invoice_page/invoice_page.h"

#include "app/books.h"
#include "app/page_parts.h"
#include "book/history.h"
#include "report/preview.h"
#include "store/statements.h"
#include "ui/number_box.h"

namespace {
std::optional<double> boxValue(const NumberBox* box) {
    if (box->text().isEmpty())
        return std::nullopt;
    return box->value().value_or(Currency()).toDouble();
}
} // namespace

void InvoicePage::SetPrnData請求書A4(bool preview) {
    PrintValues p;
    p.prn日付 = dt日付->date().isValid() ? dt日付->text() : QString();
    p.prn伝票番号 = txtNo->text().trimmed();
    p.prn顧客情報 = txt顧客情報->toPlainText();
    p.prn顧客名 = cmb顧客名->currentText();
    p.prn敬称 = lbl様->text();
    p.prn件名 = txt件名->text();
    p.prn備考 = txt備考->toPlainText();
    p.prn振込先 = inv振込先();
    p.prn種別 = kind_;
    if (kind_ == Kind請求書 && chk支払期限->isChecked())
        p.prn支払期限 = dt支払期限->date();
    if (kind_ == Kind見積書)
        p.prn有効期限 = dt有効期限->date();
    if (kind_ == Kind領収書)
        p.prn但し書き = txt但し書き->text();
    printCompany(p, books_.companyShown());
    p.prn税抜計 = boxValue(num税抜計);
    p.prn消費税 = boxValue(num消費税);
    p.prn合計 = boxValue(num合計);
    p.prn請求金額 = boxValue(num合計);
    p.prn適格 = inv.税率方式 == Scheme10_8;
    if (p.prn適格) {
        p.prn内税 = inv税区分() == QStringLiteral("内税");
        p.prn登録番号 = inv登録番号();
        p.prn対象10 = boxValue(num対象10);
        p.prn消費税10 = boxValue(num消費税10);
        p.prn対象8 = boxValue(num対象8);
        p.prn消費税8 = boxValue(num消費税8);
    }
    std::vector<DetailRecord> rows;
    std::shared_ptr<rpt請求書> report;
    try {
        // The bare table, in the order its rows were added.
        auto rs = books_.dbWork->openRecordset(sql::I11());
        for (rs->moveFirst(); !rs->eof(); rs->moveNext())
            rows.push_back(printedLine(LineAt(*rs), p.prn適格));
        report = printedReport(*books_.dbMain, std::move(p), std::move(rows));
    } catch (const DbError& e) {
        notifyFailure(QStringLiteral("明細を読めないため印刷できません。"), e);
        return;
    }
    if (preview)
        report::showPreview(window(), report);
}
