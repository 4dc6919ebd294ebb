#pragma once
#include "payments/payments.h"
#include "ui/number_box.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <functional>

class Books;

// The payments of one registered invoice: the ones received so far, and one more to add or one
// to take back. Every change is saved at once, in its own transaction.
class Dlg入金 : public QDialog {
  public:
    // Throws DbError when the invoice or its payments cannot be read.
    Dlg入金(Books& books, qint32 number, QWidget* parent);

    QLabel* lbl入金請求書 = nullptr; // the invoice, what is paid and what is owed
    QTableWidget* Grid入金 = nullptr;
    QDateEdit* dt入金日 = nullptr;
    NumberBox *num入金額 = nullptr, *num振込手数料 = nullptr;
    QComboBox* cmb入金方法 = nullptr;
    QLineEdit* txt入金摘要 = nullptr;
    QPushButton *cmd入金追加 = nullptr, *cmd入金削除 = nullptr, *cmd入金閉じる = nullptr;

    void cmd入金追加_Click();
    void cmd入金削除_Click();
    // A payment was added or taken back since the dialog opened.
    bool changed() const { return changed_; }

  private:
    void showPayments();
    // After a stored change: its payments read anew and shown.
    void showStored();
    Books& books_;
    qint32 number_;
    QDate invoiceDate_, due_;
    Currency total_;
    QList<PaymentRecord> payments_;
    bool changed_ = false;
};

// Opens the payments of invoice `number` over `parent`, modal; `changed` runs when it closes
// after any payment was added or taken back. An invoice not registered is told and nothing opens.
void OpenPayments(QWidget* parent, Books& books, qint32 number, const std::function<void()>& changed);
