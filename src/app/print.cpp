// Printing: the values copied from the window and the rows of the detail work table, or a
// version of an invoice from the history as it was.
#include "app/frm_vornisa.h"
#include "app/layout.h"
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
    try {
        // The bare table, in the order its rows were added.
        auto rs = dbWork->openRecordset(sql::I11());
        for (rs->moveFirst(); !rs->eof(); rs->moveNext())
            rows.push_back(
                {fieldVariant(rs->field(QStringLiteral("品名"))), fieldVariant(rs->field(QStringLiteral("数量"))),
                 fieldVariant(rs->field(QStringLiteral("単位"))), fieldVariant(rs->field(QStringLiteral("単価"))),
                 fieldVariant(rs->field(QStringLiteral("金額"))),
                 p.prn適格 && !rs->field(QStringLiteral("品名")).isNull() &&
                     LineRate(rs->field(QStringLiteral("税率")), rs->field(QStringLiteral("非課税")).toBool()) == 8});
    } catch (const DbError& e) {
        notifyFailure(QStringLiteral("明細を読めないため印刷できません。"), e);
        return;
    }
    auto report = std::make_shared<rpt請求書>(std::move(p), std::move(rows));
    if (preview)
        report::showPreview(this, report);
}

void FrmVornisa::PrintVersion(const InvoiceVersion& v, const std::vector<VersionLine>& lines) {
    auto amount = [](const Value& x) -> std::optional<double> {
        if (x.isNull())
            return std::nullopt;
        return x.toCurrency().toDouble();
    };
    PrintValues p;
    const QDate date = QDate::fromString(v.日付, QStringLiteral("yyyy/MM/dd"));
    p.prn日付 = date.isValid() ? date.toString(layout::dateFormat) : QString();
    p.prn顧客情報 = v.顧客情報;
    p.prn顧客名 = v.顧客名;
    // The company as the settings page shows it, as every print does.
    p.prn自社名 = txt自社名->text();
    p.prn自社情報 = txt自社情報->toPlainText();
    p.prn税抜計 = amount(v.税抜計);
    p.prn消費税 = amount(v.消費税);
    p.prn合計 = amount(v.合計);
    p.prn請求金額 = amount(v.合計);
    // A qualified invoice prints with the basis it was issued under.
    p.prn適格 = v.税率方式 == Scheme10_8;
    if (p.prn適格) {
        p.prn内税 = v.税区分 == QStringLiteral("内税");
        p.prn登録番号 = v.登録番号;
        p.prn対象10 = amount(v.対象10);
        p.prn消費税10 = amount(v.消費税10);
        p.prn対象8 = amount(v.対象8);
        p.prn消費税8 = amount(v.消費税8);
    }
    std::vector<DetailRecord> rows;
    for (const VersionLine& l : lines)
        rows.push_back({fieldVariant(l.品名), fieldVariant(l.数量), fieldVariant(l.単位), fieldVariant(l.単価),
                        fieldVariant(l.金額), p.prn適格 && LineRate(l.税率, l.非課税.toBool()) == 8});
    showPreview(this, std::make_shared<rpt請求書>(std::move(p), std::move(rows)));
}
