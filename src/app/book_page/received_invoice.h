#pragma once
#include "peppol/ubl.h"

#include <QDialog>
#include <QLabel>
#include <QListWidget>
#include <QTableView>

// A digital invoice received from a supplier, shown read-only so it can be checked: the seller and
// its registration number with the check-digit verdict, the buyer, the lines, the totals per rate
// and whether the sums agree, each rule the document breaks listed, disagreements of amounts marked.
// It never becomes one of our own invoices.
class Frmデジタルインボイス : public QDialog {
  public:
    Frmデジタルインボイス(const pint::ReadResult& read, const QString& path, QWidget* parent);

    QLabel *lbl売り手 = nullptr, *lbl登録番号 = nullptr, *lbl買い手 = nullptr, *lbl合計 = nullptr, *lbl検証 = nullptr;
    QTableView *Grid明細 = nullptr, *Grid税率別 = nullptr;
    QListWidget* lst指摘 = nullptr;
};

// The verdict on a registration number as the window shows it.
QString RegistrationVerdict(RegNoCheck check);
