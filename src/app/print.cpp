// Printing: the values copied from the window and the rows of the detail work table.
#include "app/frm_vornisa.h"
#include "messages/msg.h"
#include "report/preview.h"
#include "store/statements.h"

namespace {
std::optional<double> boxValue(const NumberBox* box) {
    if (box->text().isEmpty())
        return std::nullopt;
    return box->value().value_or(Currency()).toDouble();
}
QVariant fieldVariant(const Value& v) {
    if (v.isNull())
        return {};
    if (v.isText())
        return v.toText();
    return v.toDouble();
}
} // namespace

void FrmVornisa::SetPrnData請求書A4(bool preview) {
    PrintValues p;
    p.prn日付 = dt日付->date().isValid() ? dt日付->text() : QString();
    p.prn伝票番号 = txtNo->text().trimmed();
    p.prn顧客情報 = txt顧客情報->toPlainText();
    p.prn顧客名 = cmb顧客名->currentText();
    p.prn自社名 = txt自社名->text();
    p.prn自社情報 = txt自社情報->toPlainText();
    p.prn税抜計 = boxValue(num税抜計);
    p.prn消費税 = boxValue(num消費税);
    p.prn合計 = boxValue(num合計);
    p.prn請求金額 = boxValue(num合計);
    std::vector<DetailRecord> rows;
    try {
        // The bare table, in the order its rows were added.
        auto rs = dbWork->openRecordset(sql::I11());
        for (rs->moveFirst(); !rs->eof(); rs->moveNext())
            rows.push_back(
                {fieldVariant(rs->field(QStringLiteral("品名"))), fieldVariant(rs->field(QStringLiteral("数量"))),
                 fieldVariant(rs->field(QStringLiteral("単位"))), fieldVariant(rs->field(QStringLiteral("単価"))),
                 fieldVariant(rs->field(QStringLiteral("金額")))});
    } catch (const DbError& e) {
        notifyFailure(QStringLiteral("明細を読めないため印刷できません。"), e);
        return;
    }
    auto report = std::make_shared<rpt請求書>(std::move(p), std::move(rows));
    if (preview)
        report::showPreview(this, report);
}
