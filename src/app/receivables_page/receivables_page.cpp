#include "app/receivables_page/receivables_page.h"

#include "app/books.h"
#include "app/cutoff_dialog.h"
#include "app/layout.h"
#include "app/page_parts.h"
#include "exchange/csv.h"
#include "invoice/totals.h"
#include "messages/msg.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QVBoxLayout>

ReceivablesPage::ReceivablesPage(Books& books) : books_(books) {
    auto* outer = new QVBoxLayout(this);
    auto* body = frame();
    outer->addWidget(body);
    auto* v = new QVBoxLayout(body);

    dt売掛月 = named(new QDateEdit(QDate::currentDate()), QStringLiteral("dt売掛月"));
    dt売掛月->setDisplayFormat(QStringLiteral("yyyy年MM月"));
    dt売掛月->setCalendarPopup(true);
    cmd売掛表示 = button(QStringLiteral("cmd売掛表示"), QStringLiteral("表示"),
                         QStringLiteral("選んだ月の末日の売掛金を顧客ごとに表示します"));
    auto* top = new QHBoxLayout;
    top->addWidget(caption(QStringLiteral("月")));
    top->addWidget(dt売掛月);
    top->addWidget(cmd売掛表示);
    top->addStretch();
    v->addLayout(top);

    Grid売掛金 = named(new QTableView, QStringLiteral("Grid売掛金"));
    dat売掛金 = named(new QStandardItemModel(0, ReceivableHeadings.size(), this), QStringLiteral("dat売掛金"));
    dat売掛金->setHorizontalHeaderLabels(ReceivableHeadings);
    Grid売掛金->setModel(dat売掛金);
    readOnlyRows(Grid売掛金);
    Grid売掛金->setColumnWidth(0, twipsToPixels(3600, Grid売掛金));
    v->addWidget(Grid売掛金, 1);

    cmd売掛CSV = button(QStringLiteral("cmd売掛CSV"), QStringLiteral("CSV出力"),
                        QStringLiteral("表示している売掛金をCSVファイルに書き出します"));
    cmd請求締め = button(QStringLiteral("cmd請求締め"), QStringLiteral("請求締め…"),
                         QStringLiteral("締めで請求する顧客の合計請求書を作成します"));
    v->addWidget(buttonFrame({cmd売掛CSV, cmd請求締め}));
    // Other books put in place: nothing of the former ones stays on screen.
    connect(&books_, &Books::swapped, this, [this] {
        rows_.clear();
        dat売掛金->setRowCount(0);
    });
}

void ReceivablesPage::FormInit() {
    connect(cmd売掛表示, &QPushButton::clicked, this, &ReceivablesPage::Show売掛金);
    connect(dt売掛月, &QDateEdit::dateChanged, this, &ReceivablesPage::Show売掛金);
    connect(cmd売掛CSV, &QPushButton::clicked, this, &ReceivablesPage::cmd売掛CSV_Click);
    connect(cmd請求締め, &QPushButton::clicked, this, &ReceivablesPage::cmd請求締め_Click);
    onEnter(Grid売掛金, [this] { Grid売掛金_Open(); });
    connect(Grid売掛金, &QAbstractItemView::doubleClicked, this, &ReceivablesPage::Grid売掛金_Open);
}

void ReceivablesPage::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    if (books_.dbMain)
        Show売掛金();
}

void ReceivablesPage::Show売掛金() {
    dat売掛金->setRowCount(0);
    try {
        rows_ = ReadReceivables(*books_.dbMain, dt売掛月->date(), QDate::currentDate());
    } catch (const DbError& e) {
        rows_.clear();
        notifyFailure(QStringLiteral("売掛金を読み込めませんでした。"), e);
        return;
    }
    for (const Receivable& r : rows_) {
        QList<QStandardItem*> items{shownItem(r.顧客名)};
        for (const Currency c : {r.前月末残高, r.当月売上, r.当月入金, r.残高, r.期限内, r.超過30, r.超過60, r.超過61})
            items << shownItem(FormatAmount(c), true);
        dat売掛金->appendRow(items);
    }
    if (!rows_.isEmpty())
        Grid売掛金->setCurrentIndex(dat売掛金->index(0, 0));
}

void ReceivablesPage::cmd請求締め_Click() {
    auto* dialog = new Dlg請求締め(books_, window());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::finished, this, &ReceivablesPage::Show売掛金);
    dialog->open();
}

void ReceivablesPage::Grid売掛金_Open() {
    const int row = Grid売掛金->currentIndex().row();
    if (row >= 0 && row < rows_.size())
        emit customerRequested(rows_[row].顧客名);
}

void ReceivablesPage::cmd売掛CSV_Click() {
    const QString path = books_.chooseSaveFile(
        window(), QStringLiteral("売掛金CSV"),
        QStringLiteral("売掛金_") + dt売掛月->date().toString(QStringLiteral("yyyyMM")) + QStringLiteral(".csv"));
    if (path.isEmpty())
        return;
    QList<QStringList> csv{ReceivableHeadings};
    for (const Receivable& r : rows_)
        csv << ReceivableCsvRow(r);
    QString reason;
    if (!writeCsvFile(path, writeCsv(csv), &reason))
        MsgConfirm(QStringLiteral("CSV"), QStringLiteral("書込失敗"), reason);
}
