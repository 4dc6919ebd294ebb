#include "app/master_pages/product_page.h"

#include "app/books.h"
#include "app/layout.h"
#include "app/page_parts.h"
#include "masters/products.h"

ProductPage::ProductPage(Books& books) : MasterPage(books) {
    Grid商品マスタ = named(new DataGrid, QStringLiteral("Grid商品マスタ"));
    cmd商品読込 =
        button(QStringLiteral("cmd商品読込"), QStringLiteral("読込"),
               QStringLiteral("商品情報を読込みます。品名や「かな」の一部を指定して絞り込むこともできます。"));
    cmd商品登録 =
        button(QStringLiteral("cmd商品登録"), QStringLiteral("登録"), QStringLiteral("商品情報を登録します。"));
    cmd商品削除 = button(QStringLiteral("cmd商品削除"), QStringLiteral("削除"),
                         QStringLiteral("チェックマークを付けた商品情報を削除します。複数削除もできます。"));
    cmd商品クリア = button(QStringLiteral("cmd商品クリア"), QStringLiteral("クリア"),
                           QStringLiteral("商品情報画面を消去します。登録済みデータは削除されません。"));
    cmd商品CSV出力 = button(QStringLiteral("cmd商品CSV出力"), QStringLiteral("CSV出力"),
                            QStringLiteral("画面の商品情報をCSVファイルに出力します。"));
    cmd商品CSV取込 = button(QStringLiteral("cmd商品CSV取込"), QStringLiteral("CSV取込"),
                            QStringLiteral("CSVファイルの商品情報を画面に取り込みます。登録するまで保存されません。"));
    dat商品 =
        build(Grid商品マスタ, {cmd商品読込, cmd商品登録, cmd商品削除, cmd商品クリア, cmd商品CSV出力, cmd商品CSV取込},
              QStringLiteral("dat商品"), QStringLiteral("w商品マスタ"), QStringLiteral("商品情報"), productTables());
    // A product is 10 % or 8 %; one never set is 10 %. An exempt product shows as such, whatever
    // rate it keeps for the day its flag is taken off.
    dat商品->setShownText(layout::productRateColumn, [](const Value& v, const std::vector<Value>& row) {
        if (row.size() > layout::productExemptColumn && row[layout::productExemptColumn].toBool())
            return RateText(Value(0));
        return v.isNull() ? RateChoices[0] : RateText(v);
    });
}

void ProductPage::FormInit() {
    bindGrid();
    connectAsking(cmd商品読込, [this] { Read商品マスタ(); });
    connect(cmd商品登録, &QPushButton::clicked, this, &ProductPage::Entry商品情報);
    connect(cmd商品削除, &QPushButton::clicked, this, &ProductPage::Delete商品);
    connectAsking(cmd商品クリア, [this] { Clear商品情報(); });
    connect(cmd商品CSV出力, &QPushButton::clicked, this, &ProductPage::cmd商品CSV出力_Click);
    connect(cmd商品CSV取込, &QPushButton::clicked, this, &ProductPage::cmd商品CSV取込_Click);
}

void ProductPage::setUpColumns() {
    Grid商品マスタ->setupColumns(layout::productColumns);
    Grid商品マスタ->setCodeColumn(layout::productRateColumn, {RateChoices.mid(0, 2), [](const QString& t) {
                                                                  const auto r = ParseRate(t);
                                                                  return r && *r != 0 ? r : std::nullopt;
                                                              }});
    showProductRates();
}

void ProductPage::showProductRates() {
    Grid商品マスタ->setColumnHidden(layout::productRateColumn, books_.cfg税率方式 != Scheme10_8);
}

void ProductPage::Read商品マスタ() {
    readMaster();
}

void ProductPage::Entry商品情報() {
    entryMaster(QStringLiteral("商品情報は登録されませんでした。"), ::Entry商品情報);
}

void ProductPage::Delete商品() {
    deleteTicked(QStringLiteral("商品情報の削除は完了しませんでした。"), ::Delete商品, true);
}

void ProductPage::Clear商品情報() {
    clearPage(QStringLiteral("商品画面を消去できませんでした。"), ::Clear商品情報);
}

void ProductPage::cmd商品CSV出力_Click() {
    exportCsv(QStringLiteral("商品"), exportProducts);
}

void ProductPage::cmd商品CSV取込_Click() {
    importCsv(QStringLiteral("商品"), importProducts);
}
