#include "app/cutoff_dialog.h"

#include "app/books.h"
#include "app/layout.h"
#include "app/page_parts.h"
#include "book/kinds.h"
#include "invoice/totals.h"
#include "messages/msg.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QVBoxLayout>

namespace {
const QString Kind締め = QStringLiteral("締め");
const QStringList Headings = {QStringLiteral("締める"),     QStringLiteral("顧客名"),       QStringLiteral("前回締日"),
                              QStringLiteral("納品書"),     QStringLiteral("前回御請求額"), QStringLiteral("御入金額"),
                              QStringLiteral("繰越金額"),   QStringLiteral("今回御買上額"), QStringLiteral("消費税額"),
                              QStringLiteral("今回御請求額"), QStringLiteral("備考")};
} // namespace

Dlg請求締め::Dlg請求締め(Books& books, QWidget* parent) : QDialog(parent), books_(books) {
    setObjectName(QStringLiteral("Dlg請求締め"));
    setWindowTitle(QStringLiteral("請求締め"));
    const QDate today = QDate::currentDate();
    dt締日 = named(new QDateEdit(QDate(today.year(), today.month(), today.daysInMonth())), QStringLiteral("dt締日"));
    dt締日->setDisplayFormat(layout::dateFormat);
    dt締日->setCalendarPopup(true);
    Grid請求締め = named(new QTableWidget(0, Headings.size()), QStringLiteral("Grid請求締め"));
    Grid請求締め->setHorizontalHeaderLabels(Headings);
    readOnlyRows(Grid請求締め);
    Grid請求締め->horizontalHeader()->setStretchLastSection(true);
    cmd締め実行 = button(QStringLiteral("cmd締め実行"), QStringLiteral("締め実行"),
                         QStringLiteral("チェックした顧客の合計請求書を作成し、納品書を請求済みにします"));
    cmd締め取消 = button(QStringLiteral("cmd締め取消"), QStringLiteral("締め取消"),
                         QStringLiteral("選んだ顧客の最後の締めを取り消し、納品書を未請求に戻します"));
    cmd締め閉じる = button(QStringLiteral("cmd締め閉じる"), QStringLiteral("閉じる"));

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("締日")));
    top->addWidget(dt締日);
    top->addStretch();
    auto* v = new QVBoxLayout(this);
    v->addLayout(top);
    v->addWidget(Grid請求締め, 1);
    v->addWidget(buttonFrame({cmd締め実行, cmd締め取消, cmd締め閉じる}));
    resize(1000, 480);

    connect(dt締日, &QDateEdit::dateChanged, this, &Dlg請求締め::Show請求締め);
    connect(cmd締め実行, &QPushButton::clicked, this, &Dlg請求締め::cmd締め実行_Click);
    connect(cmd締め取消, &QPushButton::clicked, this, &Dlg請求締め::cmd締め取消_Click);
    connect(cmd締め閉じる, &QPushButton::clicked, this, &QDialog::accept);
    Show請求締め();
}

SummaryBasis Dlg請求締め::basis() const {
    return {books_.cfg税率方式, books_.cfg税区分, books_.cfg端数処理, books_.cfg登録番号};
}

void Dlg請求締め::Show請求締め() {
    Grid請求締め->setRowCount(0);
    try {
        candidates_ = FindCutOff(*books_.dbMain, dt締日->date(), basis());
    } catch (const DbError& e) {
        candidates_.clear();
        notifyFailure(QStringLiteral("請求締めの対象を読み込めませんでした。"), e);
        return;
    }
    for (const CutOffCandidate& c : candidates_) {
        const int row = Grid請求締め->rowCount();
        Grid請求締め->insertRow(row);
        auto* tick = new QTableWidgetItem;
        // Only what can be billed can be ticked, and it starts ticked.
        tick->setFlags(c.refused.isEmpty() ? Qt::ItemIsEnabled | Qt::ItemIsUserCheckable : Qt::NoItemFlags);
        tick->setCheckState(c.refused.isEmpty() ? Qt::Checked : Qt::Unchecked);
        Grid請求締め->setItem(row, 0, tick);
        const CutOffFigures& f = c.figures;
        const QStringList cells = {c.顧客名,
                                   c.前回締日.isValid() ? c.前回締日.toString(QStringLiteral("yyyy/MM/dd")) : QString(),
                                   QString::number(c.notes.size()),
                                   FormatAmount(f.前回御請求額),
                                   FormatAmount(f.御入金額),
                                   FormatAmount(f.繰越金額),
                                   FormatAmount(f.今回御買上額),
                                   FormatAmount(f.消費税額),
                                   FormatAmount(f.今回御請求額),
                                   c.refused};
        for (int i = 0; i < cells.size(); ++i) {
            auto* item = new QTableWidgetItem(cells[i]);
            if (i >= 2 && i <= 8)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            Grid請求締め->setItem(row, i + 1, item);
        }
    }
}

void Dlg請求締め::cmd締め実行_Click() {
    QStringList ticked;
    for (int r = 0; r < Grid請求締め->rowCount(); ++r)
        if (Grid請求締め->item(r, 0)->checkState() == Qt::Checked)
            ticked << candidates_[r].顧客名;
    const QString date = dt締日->date().toString(layout::dateFormat);
    if (ticked.isEmpty()) {
        MsgConfirm(Kind締め, QStringLiteral("対象なし"), date);
        return;
    }
    if (!MsgConfirm(Kind締め, QStringLiteral("確認"), QString::number(ticked.size())))
        return;
    QList<qint32> made;
    try {
        made = RunCutOff(*books_.dbMain, dt締日->date(), ticked, basis(), QDateTime::currentDateTime());
    } catch (const DbError& e) {
        MsgConfirm(Kind締め, QStringLiteral("不可"), e.text);
        Show請求締め();
        return;
    }
    QStringList numbers;
    for (int i = 0; i < made.size(); ++i)
        numbers << ticked[i] + QStringLiteral(" ") + DocumentName(Kind請求書, made[i]);
    Show請求締め();
    MsgConfirm(Kind締め, QStringLiteral("完了"), numbers.join(u'\n'));
}

void Dlg請求締め::cmd締め取消_Click() {
    const int row = Grid請求締め->currentRow();
    if (row < 0 || row >= candidates_.size())
        return;
    const QString customer = candidates_[row].顧客名;
    if (!MsgConfirm(Kind締め, QStringLiteral("取消確認"), customer))
        return;
    try {
        UndoCutOff(*books_.dbMain, customer, QDateTime::currentDateTime());
    } catch (const DbError& e) {
        MsgConfirm(Kind締め, QStringLiteral("取消不可"), e.text);
        return;
    }
    Show請求締め();
}
