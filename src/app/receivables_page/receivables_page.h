#pragma once
#include "payments/receivables.h"

#include <QDateEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QWidget>

class Books;

// What each customer owes at the end of a month: brought forward, the month's sales and
// receipts, the balance and how long it is overdue; handed over as CSV.
class ReceivablesPage : public QWidget {
    Q_OBJECT
  public:
    explicit ReceivablesPage(Books& books);
    void FormInit();

    QDateEdit* dt売掛月 = nullptr;
    QTableView* Grid売掛金 = nullptr;
    QStandardItemModel* dat売掛金 = nullptr;
    QPushButton *cmd売掛表示 = nullptr, *cmd売掛CSV = nullptr, *cmd請求締め = nullptr;

    // Reads the month picked; a failure is told and the grid is left empty.
    void Show売掛金();
    void Grid売掛金_Open();
    void cmd売掛CSV_Click();
    // The monthly cut-off, in its dialog; the page reads the books again once it closes.
    void cmd請求締め_Click();

  protected:
    // The page reads the books each time it is shown: payments and invoices may have changed.
    void showEvent(QShowEvent* e) override;

  signals:
    // The open invoices of a customer are to be listed.
    void customerRequested(const QString& customer);

  private:
    Books& books_;
    QList<Receivable> rows_;
};
