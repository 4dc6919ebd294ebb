#include "sample.h"

#include "invoice/qualified.h"

IssuedInvoice SampleInvoice() {
    IssuedInvoice inv;
    InvoiceHeader& h = inv.header;
    h.number = 101;
    h.date = QStringLiteral("2024/04/15");
    h.顧客名 = QStringLiteral("株式会社サンプル商事");
    h.税率方式 = Scheme10_8;
    h.税区分 = QStringLiteral("外税");
    h.端数処理 = RoundDown;
    h.登録番号 = QStringLiteral("T8700110005901");
    h.対象10 = Currency::fromWhole(5000);
    h.消費税10 = Currency::fromWhole(500);
    h.対象8 = Currency::fromWhole(2592);
    h.消費税8 = Currency::fromWhole(207);
    h.税抜計 = Currency::fromWhole(7592);
    h.消費税 = Currency::fromWhole(707);
    h.合計 = Currency::fromWhole(8299);
    inv.lines = {
        {QStringLiteral("コピー用紙"), 10.0, QStringLiteral("箱"), Currency::fromWhole(500), Currency::fromWhole(5000),
         10},
        {QStringLiteral("緑茶"), 4.0, QStringLiteral("本"), Currency::fromWhole(648), Currency::fromWhole(2592), 8},
        {QStringLiteral("※は軽減税率対象"), std::nullopt, QString(), std::nullopt, std::nullopt, 10},
    };
    inv.支払期日 = QDate(2024, 5, 31);
    return inv;
}

Payment SamplePayment() {
    return Payment{QDate(2024, 5, 31),
                   QStringLiteral("株式会社サンプル商事"),
                   101,
                   Currency::fromWhole(8079),
                   Currency::fromWhole(220),
                   false};
}
