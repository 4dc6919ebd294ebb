#pragma once
#include "book/history.h"

#include <QDialog>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <functional>

class Database;

// The versions of one invoice: each replaced or deleted copy with when and how it changed,
// then the copy stored now; the selected version's lines below. A version can be printed
// as it was.
class Frm履歴 : public QDialog {
  public:
    using PrintFn = std::function<void(const InvoiceVersion&, const std::vector<VersionLine>&)>;
    // Throws DbError when the history cannot be read.
    // The document of that number and kind in that generation of the book.
    Frm履歴(Database& main, qint32 number, const QString& kind, int generation, PrintFn print, QWidget* parent);

    QTableView *Grid履歴 = nullptr, *Grid履歴明細 = nullptr;
    QPushButton *cmd履歴印刷 = nullptr, *cmd履歴閉じる = nullptr;

    // The version on the selected row; the lines shown are its lines.
    int currentVersion() const;

  private:
    void showLines(int row);
    Database& main_;
    qint32 number_;
    QString kind_;
    int generation_;
    PrintFn print_;
    std::vector<InvoiceVersion> versions_;
    std::vector<VersionLine> lines_;
    QStandardItemModel *versionModel_, *lineModel_;
};
