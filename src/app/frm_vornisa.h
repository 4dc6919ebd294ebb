#pragma once
#include "app/data_folder.h"
#include "app/instance_lock.h"
#include "backup/backup.h"
#include "backup/restore.h"
#include "exchange/master_csv.h"
#include "invoice/qualified.h"
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

// The file dialogs the window opens; tests put their own answers in. An empty text is a cancel.
struct FileDialogs {
    std::function<QString(QWidget* parent, const QString& caption)> existingDirectory;
    std::function<QString(QWidget* parent, const QString& caption, const QString& suggested)> saveFile;
    std::function<QString(QWidget* parent, const QString& caption)> openFile;
};

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
    QString ProgramFolder, DataPath, MainDbPath, WorkDbPath;
    bool madeDataFolder = false;            // this start made the user's data folder
    RestoreRecovery recoveredRestore = RestoreRecovery::None; // what this start found of a restore cut off
    std::unique_ptr<InstanceLock> dataLock; // held from before the databases open until after they close
    std::unique_ptr<Database> dbMain, dbWork;

    // Settings copies.
    QString cfg自社名, cfg自社情報, cfg税区分 = QStringLiteral("外税");
    qint64 cfgLineColor1 = 0;
    QString cfg登録番号, cfg税率方式 = Scheme5, cfg端数処理 = RoundHalf;
    // The tax basis of the invoice on screen.
    TaxBasis inv;

    // Invoice page.
    QTabWidget* tab = nullptr;
    QLineEdit* txtNo = nullptr;
    QDateEdit* dt日付 = nullptr;
    QComboBox* cmb顧客名 = nullptr;
    QPlainTextEdit* txt顧客情報 = nullptr;
    DataGrid* Grid明細 = nullptr;
    QComboBox* DD商品参照 = nullptr; // the product pick list shown in column 1
    NumberBox *num税抜計 = nullptr, *num消費税 = nullptr, *num合計 = nullptr;
    // Per-rate boxes, shown under "10%・8%" only.
    QWidget* rateBoxes = nullptr;
    NumberBox *num対象10 = nullptr, *num消費税10 = nullptr, *num対象8 = nullptr, *num消費税8 = nullptr;
    QLabel *lbl対象10 = nullptr, *lbl対象8 = nullptr;
    QLabel *lbl自社名 = nullptr, *lbl自社情報 = nullptr;
    QLabel* lbl未登録 = nullptr; // shown while the invoice area holds unregistered changes
    QPushButton *cmd登録 = nullptr, *cmd削除 = nullptr, *cmdクリア = nullptr, *cmd印刷 = nullptr, *cmd閉じる = nullptr,
                *cmdHint = nullptr;
    // Customer and product pages.
    DataGrid *Grid顧客マスタ = nullptr, *Grid商品マスタ = nullptr;
    QPushButton *cmd顧客読込 = nullptr, *cmd顧客登録 = nullptr, *cmd顧客削除 = nullptr, *cmd顧客クリア = nullptr;
    QPushButton *cmd商品読込 = nullptr, *cmd商品登録 = nullptr, *cmd商品削除 = nullptr, *cmd商品クリア = nullptr;
    QPushButton *cmd顧客CSV出力 = nullptr, *cmd顧客CSV取込 = nullptr, *cmd商品CSV出力 = nullptr,
                *cmd商品CSV取込 = nullptr;
    // Settings page.
    QLineEdit* txt自社名 = nullptr;
    QPlainTextEdit* txt自社情報 = nullptr;
    QComboBox* cmb税区分 = nullptr;
    QLineEdit* txt登録番号 = nullptr;
    QComboBox *cmb税率方式 = nullptr, *cmb端数処理 = nullptr;
    QLabel* Pic罫線色 = nullptr;
    NumberBox* num白紙罫線色 = nullptr;
    QPushButton *cmd設定登録 = nullptr, *cmd設定クリア = nullptr, *cmd設定削除 = nullptr, *cmd設定読込 = nullptr,
                *cmd一括削除7 = nullptr, *cmdバックアップ = nullptr, *cmd復元 = nullptr;
    QLabel *Image2 = nullptr, *lblInfo = nullptr;
    QLabel* lblデータフォルダ = nullptr; // where the books are kept
    // Invoice list page.
    QCheckBox *chk検索開始 = nullptr, *chk検索終了 = nullptr, *chk削除済み = nullptr;
    QDateEdit *dt検索開始 = nullptr, *dt検索終了 = nullptr;
    QLineEdit* txt検索顧客 = nullptr;
    NumberBox *num検索下限 = nullptr, *num検索上限 = nullptr;
    QPushButton *cmd検索 = nullptr, *cmd履歴 = nullptr, *cmd一覧CSV = nullptr;
    QTableView* Grid伝票一覧 = nullptr;
    BookModel* dat伝票一覧 = nullptr;
    // Data controls.
    BoundTable *dat明細 = nullptr, *dat顧客 = nullptr, *dat商品 = nullptr, *dat商品参照 = nullptr;
    QPointer<Hint> hintWindow;
    FileDialogs fileDialogs;

    // Routines of the window.
    void FormInit();
    void Clear設定();
    // False only when the page was refused (nothing saved, the page kept as typed).
    bool Entry設定();
    void Read設定();
    void Clear請求書(bool bln新規);
    void AddCmb顧客名();
    void Read請求書();
    void Entry請求書();
    void Delete請求書();
    void Calc明細();
    // Puts the invoice on screen under a tax basis: the detail grid's columns and the boxes.
    void SetInvoiceBasis(const TaxBasis& basis);
    // The category, rounding and issuer's number the invoice on screen is worked out under.
    QString inv税区分() const { return inv.issued ? inv.税区分 : cfg税区分; }
    QString inv端数処理() const { return inv.issued ? inv.端数処理 : cfg端数処理; }
    QString inv登録番号() const { return inv.issued ? inv.登録番号 : cfg登録番号; }
    // Line operations of the detail grid's menu, on a grid row; the totals follow.
    void Clear明細行(int row);
    void Insert明細行(int row);
    void Delete明細行(int row);
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
    // Puts a backup's files in place of the current ones and carries on with them.
    void Restore(const BackupInfo& chosen);
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
    void Image2_Click() { showGuide(); }
    // Opens the user guide in the desktop's browser (F1 and the banner).
    void showGuide();
    void cmdバックアップ_Click();
    void cmd復元_Click();
    void cmd顧客CSV出力_Click();
    void cmd顧客CSV取込_Click();
    void cmd商品CSV出力_Click();
    void cmd商品CSV取込_Click();
    void cmd設定登録_Click() {
        // A refused number keeps the page as typed, so it can be put right.
        if (Entry設定())
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
    // Opens both files, upgrading older ones after a backup; the handles are set only when
    // both are ready, so a failure leaves nothing open.
    void openDatabases();
    // Lets go of both files (the grids show nothing meanwhile), and takes the new ones up.
    void releaseDatabases();
    void bindDatabases();
    // The first start of a day keeps a copy of the books; a failure is told and work goes on.
    void dailyBackup();
    void exportCsv(DataGrid* grid, const QString& what, QString (*produce)(Database&));
    void importCsv(BoundTable* table, const QString& what,
                   CsvImport (*take)(Database&, const DecodedCsv&, const CsvProgress&));
    void showLineColor(qint64 colour);
    // The product page shows the rate column under "10%・8%".
    void showProductRates();
    void showTaxCategory(const QString& category);
    // A save that failed: the user is told what was not saved and why.
    void notifyFailure(const QString& what, const DbError& e);
    // Runs a page's database work, says so if it failed, then shows the table as it stands.
    // The work returns false when it did nothing (the table then stays as shown).
    void workThenRefresh(BoundTable* table, const QString& failure, const std::function<bool()>& work);
    // Runs one line operation on the line shown in a grid row, then shows the lines with the
    // cursor kept on that row; false only when the operation refused.
    bool lineOperation(int row, const std::function<bool(Database&, int line)>& op);
    void setUnsaved(bool on);
    void trackUnsavedChanges();
    // Where the cursor entered the number box: leaving it with the same text loads nothing.
    QString txtNoOnEntry_;
    bool closed_ = false;
    QString gridScheme_; // the scheme Grid明細's columns are set up for
    bool unsaved_ = false;
    int filling_ = 0; // the program itself is filling the invoice area: no user change
};
