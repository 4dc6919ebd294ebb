#pragma once
#include "app/master_pages/master_page.h"

// The product page: the product master worked on through its work copy.
class ProductPage : public MasterPage {
    Q_OBJECT
  public:
    explicit ProductPage(Books& books);
    // The books are open: the grid takes them up.
    void FormInit();

    DataGrid* Grid商品マスタ = nullptr;
    QPushButton *cmd商品読込 = nullptr, *cmd商品登録 = nullptr, *cmd商品削除 = nullptr, *cmd商品クリア = nullptr;
    QPushButton *cmd商品CSV出力 = nullptr, *cmd商品CSV取込 = nullptr;
    BoundTable* dat商品 = nullptr;

    void Read商品マスタ();
    void Entry商品情報();
    void Delete商品();
    void Clear商品情報();
    void cmd商品CSV出力_Click();
    void cmd商品CSV取込_Click();
    // The rate column is shown under the "10%・8%" scheme in force only.
    void showProductRates();

  protected:
    void setUpColumns() override;
};
