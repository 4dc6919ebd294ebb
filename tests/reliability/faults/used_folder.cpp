#include "used_folder.h"

#include "hints/hint_store.h"
#include "invoice/invoice_io.h"
#include "invoice/lines.h"
#include "masters/settings.h"
#include "store/statements.h"

#include <QFile>
#include <stdexcept>

namespace {

void addRow(Database& db, const QString& table, const std::vector<std::pair<QString, Value>>& fields) {
    auto rs = db.openRecordset(QStringLiteral("select * from ") + table);
    rs->addNew();
    for (const auto& [name, value] : fields)
        rs->setField(name, value);
    rs->update();
}

void seed(Database& main, Database& work) {
    addRow(
        main, QStringLiteral("顧客マスタ"),
        {{QStringLiteral("顧客名"), StoredCustomer}, {QStringLiteral("顧客情報"), QStringLiteral("東京都千代田区")}});
    addRow(main, QStringLiteral("顧客マスタ"),
           {{QStringLiteral("顧客名"), QStringLiteral("鈴木工業")},
            {QStringLiteral("顧客情報"), QStringLiteral("大阪府")}});
    Entry設定(main, {QStringLiteral("ヴォルニサ商事"), QStringLiteral("〒100-0001"), QStringLiteral("外税"), 255});
    AddCodeValue(main, QStringLiteral("単位"), QStringLiteral("箱"));
    AddCodeValue(main, QStringLiteral("単位"), QStringLiteral("本"));
    Clear明細ワーク(work);
    auto lines = work.openRecordset(sql::I8());
    const struct {
        const char* name;
        double qty;
        const char* unit;
        qint64 price;
    } rows[] = {{"コピー用紙", 3, "箱", 2500}, {"ボールペン", 10, "本", 120}};
    lines->moveFirst();
    for (const auto& r : rows) {
        lines->edit();
        lines->setField(QStringLiteral("品名"), QString::fromUtf8(r.name));
        lines->setField(QStringLiteral("数量"), r.qty);
        lines->setField(QStringLiteral("単位"), QString::fromUtf8(r.unit));
        lines->setField(QStringLiteral("単価"), Currency::fromWhole(r.price));
        lines->setField(QStringLiteral("金額"), Currency::fromWhole(static_cast<qint64>(r.qty) * r.price));
        lines->update();
        lines->moveNext();
    }
    InvoiceHeader h;
    h.number = StoredInvoice;
    h.date = QStringLiteral("2024/04/01");
    h.顧客名 = StoredCustomer;
    h.顧客情報 = QStringLiteral("東京都千代田区");
    h.税抜計 = Currency::fromWhole(8700);
    h.消費税 = Currency::fromWhole(870);
    h.合計 = Currency::fromWhole(9570);
    Entry請求書(main, work, h);
    Clear明細ワーク(work);
    EntryHint(work, QStringLiteral("FrmVornisa"), QStringLiteral("cmdHint"), QStringLiteral("Vornisa"),
              QStringLiteral("登録の前に明細を確かめる"));
}

const TestData& original() {
    static const std::unique_ptr<TestData> data = [] {
        auto d = std::make_unique<TestData>();
        auto main = d->openMain();
        auto work = d->openWork();
        seed(*main, *work);
        return d;
    }();
    return *data;
}

} // namespace

UsedFolder::UsedFolder() {
    const TestData& from = original();
    if (!QFile::copy(from.mainPath(), mainPath()) || !QFile::copy(from.workPath(), workPath()))
        throw std::runtime_error("copying the used data folder failed");
}
