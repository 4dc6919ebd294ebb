#pragma once
#include "payments/cutoff.h"

#include <QDateEdit>
#include <QDialog>
#include <QPushButton>
#include <QTableWidget>

class Books;

// The monthly cut-off: the customers billed monthly whose cut-off day is the date picked, with
// what their summary invoice would say; the ticked ones are billed together, and a customer's
// latest cut-off can be undone.
class Dlg請求締め : public QDialog {
  public:
    Dlg請求締め(Books& books, QWidget* parent);

    QDateEdit* dt締日 = nullptr;
    QTableWidget* Grid請求締め = nullptr;
    QPushButton *cmd締め実行 = nullptr, *cmd締め取消 = nullptr, *cmd締め閉じる = nullptr;

    // Lists the customers of the date picked; a failure is told and the list left empty.
    void Show請求締め();
    void cmd締め実行_Click();
    void cmd締め取消_Click();

  private:
    SummaryBasis basis() const;
    Books& books_;
    QList<CutOffCandidate> candidates_;
};
