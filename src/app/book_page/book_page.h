#pragma once
#include "book/history.h"
#include "ui/number_box.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QWidget>

class BookModel;
class Books;

// The invoice list page: the search fields, the list, and what can be done with a listed
// invoice (open it, see its history, hand the list over as CSV).
class BookPage : public QWidget {
    Q_OBJECT
  public:
    explicit BookPage(Books& books);
    // The books are open: the page's keys and buttons start working.
    void FormInit();

    QCheckBox *chk検索開始 = nullptr, *chk検索終了 = nullptr, *chk削除済み = nullptr;
    QDateEdit *dt検索開始 = nullptr, *dt検索終了 = nullptr;
    QLineEdit* txt検索顧客 = nullptr;
    QComboBox* cmb検索種別 = nullptr; // "すべて" or one kind of document
    NumberBox *num検索下限 = nullptr, *num検索上限 = nullptr;
    // 「すべて」, 「未入金・一部」 (anything still owed), 「期限超過」, 「入金済」.
    QComboBox* cmb検索入金状態 = nullptr;
    QPushButton *cmd検索 = nullptr, *cmd履歴 = nullptr, *cmd一覧CSV = nullptr, *cmd入金 = nullptr;
    // The listed invoices handed on: the journal CSV for the accounting program, digital invoices;
    // and a received digital invoice read to be checked.
    QComboBox* cmb仕訳形式 = nullptr;
    QPushButton *cmd仕訳CSV = nullptr, *cmdデジタルインボイス = nullptr, *cmdデジタルインボイス取込 = nullptr;
    QTableView* Grid伝票一覧 = nullptr;
    BookModel* dat伝票一覧 = nullptr;

    void Search伝票一覧();
    void Grid伝票一覧_Open();
    void cmd履歴_Click();
    void cmd入金_Click();
    // Lists what is still owed on one customer's invoices (the receivables page asks).
    void ShowOpenInvoicesOf(const QString& customer);
    void cmd一覧CSV_Click();
    void cmd仕訳CSV_Click();
    void cmdデジタルインボイス_Click();
    void cmdデジタルインボイス取込_Click();
    // Prints a version of invoice `number` from the history as it was.
    void PrintVersion(qint32 number, const InvoiceVersion& v, const std::vector<VersionLine>& lines);

  signals:
    // A listed invoice is to be opened on the invoice page.
    void openRequested(qint32 number, const QString& kind);

  private:
    void build();
    // The journal and digital invoice controls under the list, in a frame of their own.
    QWidget* buildExports();
    void connectExports();
    Books& books_;
};
