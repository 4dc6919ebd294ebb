#include "app/master_pages/customer_page.h"

#include "app/books.h"
#include "app/layout.h"
#include "app/page_parts.h"
#include "invoice/invoice_io.h"
#include "masters/customers.h"
#include "peppol/parties.h"

#include <sqlite3.h>

#include <QHeaderView>
#include <QStringListModel>

namespace {
// How the grid shows a customer without an honorific.
const QString NoHonorific = QStringLiteral("なし");
} // namespace

CustomerPage::CustomerPage(Books& books) : MasterPage(books) {
    Grid顧客マスタ = named(new DataGrid, QStringLiteral("Grid顧客マスタ"));
    cmd顧客読込 = button(QStringLiteral("cmd顧客読込"), QStringLiteral("読込"),
                         QStringLiteral("顧客情報を明細に読込みます。顧客名や「かな」の一部でも絞り込めます。"));
    cmd顧客登録 = button(QStringLiteral("cmd顧客登録"), QStringLiteral("登録"), QStringLiteral("顧客情報を登録します"));
    cmd顧客削除 = button(QStringLiteral("cmd顧客削除"), QStringLiteral("削除"),
                         QStringLiteral("チェックマークのある行の顧客データを削除します。"));
    cmd顧客クリア = button(QStringLiteral("cmd顧客クリア"), QStringLiteral("クリア"),
                           QStringLiteral("顧客情報画面を消去します。登録済みデータは削除されません。"));
    cmd顧客CSV出力 = button(QStringLiteral("cmd顧客CSV出力"), QStringLiteral("CSV出力"),
                            QStringLiteral("画面の顧客情報をCSVファイルに出力します。"));
    cmd顧客CSV取込 = button(QStringLiteral("cmd顧客CSV取込"), QStringLiteral("CSV取込"),
                            QStringLiteral("CSVファイルの顧客情報を画面に取り込みます。登録するまで保存されません。"));
    dat顧客 =
        build(Grid顧客マスタ, {cmd顧客読込, cmd顧客登録, cmd顧客削除, cmd顧客クリア, cmd顧客CSV出力, cmd顧客CSV取込},
              QStringLiteral("dat顧客"), QStringLiteral("w顧客マスタ"), QStringLiteral("顧客情報"), customerTables());
}

void CustomerPage::FormInit() {
    bindGrid();
    Grid顧客マスタ->setImeColumns({1, 2, 6}); // names, details and the address are typed in Japanese
    enterBreaksCellLines(Grid顧客マスタ);
    // The honorific last, picked from the list (typed also works).
    constexpr int col = layout::customerHonorificColumn;
    QStringList choices = Honorifics;
    choices.replace(choices.indexOf(QString()), NoHonorific);
    Grid顧客マスタ->setPickList(col, new QStringListModel(choices, this), 0);
    dat顧客->setShownText(col, [](const Value& v) { return v.toText().isEmpty() ? NoHonorific : v.toText(); });
    // The terms of payment are picked from their lists; registering checks what was typed.
    for (const auto& [offset, list] : {std::pair{0, TermDays}, std::pair{1, PaymentMonths}, std::pair{2, TermDays},
                                       std::pair{3, BillingMethods}})
        Grid顧客マスタ->setPickList(layout::customerTermsColumn + offset, new QStringListModel(list, this), 0);
    connect(Grid顧客マスタ, &DataGrid::cellMoved, this, [this](int row, int) {
        honorificBefore_ = row < dat顧客->recordCount() ? dat顧客->value(row, col) : Value(Honorifics.front());
    });
    connect(dat顧客, &BoundTable::afterColUpdate, this, [this](int row, int c) {
        if (c == col)
            checkHonorific(row);
    });
    connectAsking(cmd顧客読込, [this] { Read顧客マスタ(); });
    connect(cmd顧客登録, &QPushButton::clicked, this, &CustomerPage::Entry顧客情報);
    connect(cmd顧客削除, &QPushButton::clicked, this, &CustomerPage::Delete顧客);
    connectAsking(cmd顧客クリア, [this] { Clear顧客情報(); });
    connect(cmd顧客CSV出力, &QPushButton::clicked, this, &CustomerPage::cmd顧客CSV出力_Click);
    connect(cmd顧客CSV取込, &QPushButton::clicked, this, &CustomerPage::cmd顧客CSV取込_Click);
}

void CustomerPage::checkHonorific(int row) {
    constexpr int col = layout::customerHonorificColumn;
    const QString typed = dat顧客->value(row, col).toText();
    if (typed == NoHonorific)
        dat顧客->setValue(row, col, Value());
    else if (!Honorifics.contains(typed))
        dat顧客->setValue(row, col, honorificBefore_);
    honorificBefore_ = dat顧客->value(row, col);
}

void CustomerPage::setUpColumns() {
    Grid顧客マスタ->setupColumns(layout::customerColumns);
    Grid顧客マスタ->setMultiLineColumn(2);
    // The details take the spare width, the honorific comes last.
    Grid顧客マスタ->horizontalHeader()->setStretchLastSection(false);
    Grid顧客マスタ->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
}

void CustomerPage::Read顧客マスタ() {
    readMaster();
}

namespace {
// A Peppol ID that cannot be read would send a digital invoice nowhere, and terms that cannot be
// read would give wrong due dates: the page is not registered.
void checkedEntry(Database& main, Database& work) {
    const QStringList unsound = CustomersWithUnsoundTerms(work);
    if (!unsound.isEmpty())
        throw DbError(SQLITE_CONSTRAINT,
                      QStringLiteral("次の顧客の支払条件を確認してください: ") + unsound.join(QStringLiteral("、")));
    const QStringList unreadable = pint::NormaliseCustomerIds(work);
    if (!unreadable.isEmpty())
        throw DbError(SQLITE_CONSTRAINT,
                      QStringLiteral("次の顧客の Peppol ID を読み取れません（「0188:」と法人番号13桁、または「0221:」と"
                                     "登録番号）: ") +
                          unreadable.join(QStringLiteral("、")));
    ::Entry顧客情報(main, work);
}
} // namespace

void CustomerPage::Entry顧客情報() {
    entryMaster(QStringLiteral("顧客情報は登録されませんでした。"), checkedEntry);
}

void CustomerPage::Delete顧客() {
    deleteTicked(QStringLiteral("顧客情報の削除は完了しませんでした。"), ::Delete顧客, false);
}

void CustomerPage::Clear顧客情報() {
    clearPage(QStringLiteral("顧客画面を消去できませんでした。"), ::Clear顧客情報);
}

void CustomerPage::cmd顧客CSV出力_Click() {
    exportCsv(QStringLiteral("顧客"), exportCustomers);
}

void CustomerPage::cmd顧客CSV取込_Click() {
    importCsv(QStringLiteral("顧客"), importCustomers);
}
