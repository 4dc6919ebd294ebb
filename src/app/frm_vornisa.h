#pragma once
#include "app/data_folder.h"
#include "app/instance_lock.h"
#include "book/history.h"
#include "store/database.h"
#include "ui/bound_table.h"
#include "ui/data_grid.h"
#include "ui/number_box.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QWidget>
#include <functional>
#include <memory>

class BookModel;
class Hint;

// The main window: the invoice, customer, product and settings pages.
class FrmVornisa : public QWidget {
    Q_OBJECT
  public:
    explicit FrmVornisa(QWidget* parent = nullptr);
    ~FrmVornisa() override;

    // Start-up; throws StartRefused when another window holds the data folder or it cannot be
    // written, DbError when a database cannot be opened (nothing is shown then).
    void Form_Load(const QString& programFolder, const DataFolderRule& rule = {});

    // Values held for the run.
    QString DataPath, MainDbPath, WorkDbPath;
    std::unique_ptr<InstanceLock> dataLock; // held from before the databases open until after they close
    std::unique_ptr<Database> dbMain, dbWork;

    // Settings copies.
    QString cfg自社名, cfg自社情報, cfg税区分 = QStringLiteral("外税");
    qint64 cfgLineColor1 = 0;

    // Invoice page.
    QTabWidget* tab = nullptr;
    QLineEdit* txtNo = nullptr;
    QDateEdit* dt日付 = nullptr;
    QComboBox* cmb顧客名 = nullptr;
    QPlainTextEdit* txt顧客情報 = nullptr;
    DataGrid* Grid明細 = nullptr;
    QComboBox* DD商品参照 = nullptr; // the product pick list shown in column 1
    NumberBox *num税抜計 = nullptr, *num消費税 = nullptr, *num合計 = nullptr;
    QLabel *lbl自社名 = nullptr, *lbl自社情報 = nullptr;
    QLabel* lbl未登録 = nullptr; // shown while the invoice area holds unregistered changes
    QPushButton *cmd登録 = nullptr, *cmd削除 = nullptr, *cmdクリア = nullptr, *cmd印刷 = nullptr, *cmd閉じる = nullptr,
                *cmdHint = nullptr;
    // Customer and product pages.
    DataGrid *Grid顧客マスタ = nullptr, *Grid商品マスタ = nullptr;
    QPushButton *cmd顧客読込 = nullptr, *cmd顧客登録 = nullptr, *cmd顧客削除 = nullptr, *cmd顧客クリア = nullptr;
    QPushButton *cmd商品読込 = nullptr, *cmd商品登録 = nullptr, *cmd商品削除 = nullptr, *cmd商品クリア = nullptr;
    // Settings page.
    QLineEdit* txt自社名 = nullptr;
    QPlainTextEdit* txt自社情報 = nullptr;
    QComboBox* cmb税区分 = nullptr;
    QLabel* Pic罫線色 = nullptr;
    NumberBox* num白紙罫線色 = nullptr;
    QPushButton *cmd設定登録 = nullptr, *cmd設定クリア = nullptr, *cmd設定削除 = nullptr, *cmd設定読込 = nullptr,
                *cmd一括削除7 = nullptr;
    QLabel *Image2 = nullptr, *lblInfo = nullptr;
    // Invoice list page.
    QCheckBox *chk検索開始 = nullptr, *chk検索終了 = nullptr, *chk削除済み = nullptr;
    QDateEdit *dt検索開始 = nullptr, *dt検索終了 = nullptr;
    QLineEdit* txt検索顧客 = nullptr;
    NumberBox *num検索下限 = nullptr, *num検索上限 = nullptr;
    QPushButton *cmd検索 = nullptr, *cmd履歴 = nullptr, *cmd一覧CSV = nullptr;
    QTableView* Grid伝票一覧 = nullptr;
    BookModel* dat伝票一覧 = nullptr;
    // The one save dialog of the list's CSV: (parent, caption, proposed path, filter) -> chosen
    // path, empty when cancelled. Tests put their own answer here.
    std::function<QString(QWidget*, const QString&, const QString&, const QString&)> askSaveFile;
    // Data controls.
    BoundTable *dat明細 = nullptr, *dat顧客 = nullptr, *dat商品 = nullptr, *dat商品参照 = nullptr;
    QPointer<Hint> hintWindow;

    // Routines of the window.
    void FormInit();
    void Clear設定();
    void Entry設定();
    void Read設定();
    void Clear請求書(bool bln新規);
    void AddCmb顧客名();
    void Read請求書();
    void Entry請求書();
    void Delete請求書();
    void Calc明細();
    void Clear明細ワーク();
    void SetDD品名();
    void Read顧客マスタ();
    void Entry顧客情報();
    void Delete顧客();
    void Clear顧客情報();
    void Read商品マスタ();
    void Entry商品情報();
    void Delete商品();
    void Clear商品情報();
    void Data初期化();
    void SetPrnData請求書A4(bool preview);
    // The list page: search, open an invoice, its history, CSV for the accountant.
    void Search伝票一覧();
    void Open伝票(qint32 number);
    void Grid伝票一覧_Open();
    void cmd履歴_Click();
    void cmd一覧CSV_Click();
    void PrintVersion(const InvoiceVersion& v, const std::vector<VersionLine>& lines);

    // Unregistered work on the invoice page: a typed customer, details, date or line since
    // the last new invoice, load or register.
    bool hasUnsavedChanges() const { return unsaved_; }
    // True when nothing would be lost, or the user agreed to the clear question.
    bool askDiscardUnsaved();

    // Event handlers.
    void cmd登録_Click();
    void cmd削除_Click();
    void cmdクリア_Click();
    void cmd印刷_Click() { SetPrnData請求書A4(true); }
    void cmd閉じる_Click();
    void cmdHint_Click();
    void txtNo_LostFocus();
    void cmb顧客名_LostFocus();
    void Grid明細_AfterColUpdate(int col);
    bool Grid明細_EnterKey(int col);
    void Pic罫線色_Click();
    void Image2_Click();
    void cmd設定登録_Click() {
        Entry設定();
        Read設定();
    }

  protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;

  private:
    QWidget* buildInvoicePage();
    QWidget* buildCustomerPage();
    QWidget* buildProductPage();
    QWidget* buildSettingsPage();
    QWidget* buildBookPage();
    void connectBookPage();
    void connectHandlers();
    void showLineColor(qint64 colour);
    void showTaxCategory(const QString& category);
    // A save that failed: the user is told what was not saved and why.
    void notifyFailure(const QString& what, const DbError& e);
    // Runs a page's database work, says so if it failed, then shows the table as it stands.
    // The work returns false when it did nothing (the table then stays as shown).
    void workThenRefresh(BoundTable* table, const QString& failure, const std::function<bool()>& work);
    void setUnsaved(bool on);
    void trackUnsavedChanges();
    // Where the cursor entered the number box: leaving it with the same text loads nothing.
    QString txtNoOnEntry_;
    bool closed_ = false;
    bool unsaved_ = false;
    int filling_ = 0; // the program itself is filling the invoice area: no user change
};
