#pragma once
#include "app/books.h"
#include "app/data_folder.h"
#include "backup/restore.h"
#include "book/kinds.h"

#include <QPointer>
#include <QTabWidget>
#include <QTextBrowser>
#include <QWidget>

struct BackupInfo;
class BookPage;
class CustomerPage;
class Hint;
class InstanceLock;
class InvoicePage;
class ProductPage;
class ReceivablesPage;
class SettingsPage;

// The main window: the pages on their tabs, start-up and close, and what one page asks of another.
class FrmVornisa : public QWidget {
    Q_OBJECT
  public:
    explicit FrmVornisa(QWidget* parent = nullptr);
    ~FrmVornisa() override;

    // Start-up; throws StartRefused when another window holds the data folder or it cannot be
    // written, DbError when a database cannot be opened (nothing is shown then).
    void Form_Load(const QString& programFolder, const DataFolderRule& rule = {});

    QString ProgramFolder;
    bool madeDataFolder = false; // this start made the user's data folder
    RestoreRecovery recoveredRestore = RestoreRecovery::None; // what this start found of a restore cut off
    Books books;
    QTabWidget* tab = nullptr;
    InvoicePage* invoice = nullptr;
    CustomerPage* customers = nullptr;
    ProductPage* products = nullptr;
    SettingsPage* settings = nullptr;
    BookPage* book = nullptr;
    ReceivablesPage* receivables = nullptr;
    QPointer<Hint> hintWindow;
    QPointer<QTextBrowser> guideWindow; // the guide shown by the program itself

    // Opens an invoice of the list on the invoice page, once unregistered work may go.
    void Open伝票(qint32 number, const QString& kind = Kind請求書);
    // Lists a customer's open invoices on the list page (asked by the receivables page).
    void OpenCustomerInvoices(const QString& customer);
    // Opens the user guide (F1 and the banner): in the desktop's browser, else in a window of the
    // program's own.
    void showGuide();

  protected:
    void closeEvent(QCloseEvent* e) override;

  private:
    void connectPages();
    // The pages holding unregistered work, as the close question names them.
    QStringList unsavedWork();
    void cmdHint_Click(const QString& control);
    // The first start of a day keeps a copy of the books; a failure is told and work goes on.
    void dailyBackup();
    // Puts a backup's files in place of the current ones and carries on with them.
    void cmd復元_Click();
    void Restore(const BackupInfo& chosen);
    // Every page as a start shows it, on books just taken up (a restore, another place).
    void startPagesAfresh();
    std::unique_ptr<InstanceLock> dataLock; // held from before the databases open until after they close
    bool closed_ = false;
};
