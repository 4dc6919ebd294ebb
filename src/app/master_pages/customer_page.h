#pragma once
#include "app/master_pages/master_page.h"

// The customer page: the customer master worked on through its work copy.
class CustomerPage : public MasterPage {
    Q_OBJECT
  public:
    explicit CustomerPage(Books& books);
    // The books are open: the grid takes them up.
    void FormInit();

    DataGrid* Grid顧客マスタ = nullptr;
    QPushButton *cmd顧客読込 = nullptr, *cmd顧客登録 = nullptr, *cmd顧客削除 = nullptr, *cmd顧客クリア = nullptr;
    QPushButton *cmd顧客CSV出力 = nullptr, *cmd顧客CSV取込 = nullptr;
    BoundTable* dat顧客 = nullptr;

    void Read顧客マスタ();
    void Entry顧客情報();
    void Delete顧客();
    void Clear顧客情報();
    void cmd顧客CSV出力_Click();
    void cmd顧客CSV取込_Click();

  protected:
    void setUpColumns() override;
  private:
    // A typed honorific is one of the list, or the cell keeps the one it had when entered.
    void checkHonorific(int row);
    Value honorificBefore_;
};
