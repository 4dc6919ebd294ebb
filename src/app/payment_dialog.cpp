#include "app/payment_dialog.h"

#include "app/books.h"
#include "app/layout.h"
#include "app/page_parts.h"
#include "book/payment_state.h"
#include "invoice/invoice_io.h"
#include "invoice/totals.h"
#include "messages/msg.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QVBoxLayout>

namespace {
const QString Kind入金 = QStringLiteral("入金");
const QString DateFormat = QStringLiteral("yyyy/MM/dd");
} // namespace

Dlg入金::Dlg入金(Books& books, qint32 number, QWidget* parent) : QDialog(parent), books_(books), number_(number) {
    setObjectName(QStringLiteral("Dlg入金"));
    setWindowTitle(QStringLiteral("入金 — 伝票 %1").arg(number));
    const std::optional<InvoiceHeader> h = Read請求書ヘッダ(*books_.dbMain, number);
    if (!h)
        throw DbError(0, QStringLiteral("伝票 %1 は登録されていません。").arg(number));
    invoiceDate_ = QDate::fromString(h->date, DateFormat);
    due_ = QDate::fromString(h->支払期限, DateFormat);
    total_ = h->合計.value_or(Currency());

    lbl入金請求書 = named(new QLabel, QStringLiteral("lbl入金請求書"));
    Grid入金 = named(new QTableWidget(0, 5), QStringLiteral("Grid入金"));
    Grid入金->setHorizontalHeaderLabels({QStringLiteral("入金日"), QStringLiteral("入金額"), QStringLiteral("入金方法"),
                                         QStringLiteral("振込手数料"), QStringLiteral("摘要")});
    readOnlyRows(Grid入金);
    Grid入金->horizontalHeader()->setStretchLastSection(true);

    dt入金日 = named(new QDateEdit(QDate::currentDate()), QStringLiteral("dt入金日"));
    dt入金日->setDisplayFormat(layout::dateFormat);
    dt入金日->setCalendarPopup(true);
    num入金額 = named(new NumberBox(NumberBox::Format::Plain), QStringLiteral("num入金額"));
    cmb入金方法 = named(new QComboBox, QStringLiteral("cmb入金方法"));
    cmb入金方法->addItems(PaymentMethods);
    num振込手数料 = named(new NumberBox(NumberBox::Format::Plain), QStringLiteral("num振込手数料"));
    // Whole yen, typed with or without commas; a figure beyond the limit can be typed, to be told so.
    for (NumberBox* b : {num入金額, num振込手数料})
        b->setValidator(new NumberValidator(b, QStringLiteral("[0-9]{0,13}")));
    num振込手数料->setToolTip(QStringLiteral("お客様が差し引いた振込手数料。入金として数えます"));
    txt入金摘要 = named(new QLineEdit, QStringLiteral("txt入金摘要"));
    txt入金摘要->setMaxLength(SubjectMaxLength);
    cmd入金追加 = button(QStringLiteral("cmd入金追加"), QStringLiteral("追加"), QStringLiteral("入金を記録します"));
    cmd入金削除 = button(QStringLiteral("cmd入金削除"), QStringLiteral("削除"),
                         QStringLiteral("選んだ入金を取り消します。記録は残ります"));
    cmd入金閉じる = button(QStringLiteral("cmd入金閉じる"), QStringLiteral("閉じる"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("入金日"), dt入金日);
    form->addRow(QStringLiteral("入金額"), num入金額);
    form->addRow(QStringLiteral("入金方法"), cmb入金方法);
    form->addRow(QStringLiteral("振込手数料"), num振込手数料);
    form->addRow(QStringLiteral("摘要"), txt入金摘要);
    auto* v = new QVBoxLayout(this);
    v->addWidget(lbl入金請求書);
    v->addWidget(Grid入金, 1);
    v->addLayout(form);
    v->addWidget(buttonFrame({cmd入金追加, cmd入金削除, cmd入金閉じる}));
    resize(640, 480);

    connect(cmd入金追加, &QPushButton::clicked, this, &Dlg入金::cmd入金追加_Click);
    connect(cmd入金削除, &QPushButton::clicked, this, &Dlg入金::cmd入金削除_Click);
    connect(cmd入金閉じる, &QPushButton::clicked, this, &QDialog::accept);
    payments_ = ReadPayments(*books_.dbMain, number_);
    showPayments();
}

void Dlg入金::showPayments() {
    Currency paid;
    Grid入金->setRowCount(0);
    for (const PaymentRecord& p : payments_) {
        const int row = Grid入金->rowCount();
        Grid入金->insertRow(row);
        Grid入金->setItem(row, 0, new QTableWidgetItem(p.入金日.toString(DateFormat)));
        Grid入金->setItem(row, 1, new QTableWidgetItem(FormatAmount(p.入金額)));
        Grid入金->setItem(row, 2, new QTableWidgetItem(p.入金方法));
        Grid入金->setItem(row, 3, new QTableWidgetItem(FormatAmount(p.振込手数料)));
        Grid入金->setItem(row, 4, new QTableWidgetItem(p.摘要));
        for (int c : {1, 3})
            Grid入金->item(row, c)->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        paid = paid + p.counted();
    }
    lbl入金請求書->setText(QStringLiteral("伝票 %1　請求額 %2 円　入金計 %3 円　残高 %4 円　%5")
                               .arg(number_)
                               .arg(FormatAmount(total_), FormatAmount(paid), FormatAmount(total_ - paid),
                                    StateText(StateOf(total_, paid, due_, QDate::currentDate()))));
}

void Dlg入金::cmd入金追加_Click() {
    PaymentRecord p;
    p.伝票番号 = number_;
    p.入金日 = dt入金日->date();
    p.入金額 = num入金額->value().value_or(Currency());
    p.入金方法 = cmb入金方法->currentText();
    p.振込手数料 = num振込手数料->value().value_or(Currency());
    p.摘要 = txt入金摘要->text().trimmed();
    if (const QString problem = PaymentProblem(p); !problem.isEmpty()) {
        MsgConfirm(Kind入金, QStringLiteral("不可"), problem);
        num入金額->setFocus();
        return;
    }
    try {
        AddPayment(*books_.dbMain, p, QDateTime::currentDateTime());
    } catch (const DbError& e) {
        notifyFailure(QStringLiteral("入金は登録されませんでした。"), e);
        return;
    }
    // Stored: the typed values go even when the list cannot be read again, or adding once more
    // would store it twice.
    showStored();
    num入金額->clearValue();
    num振込手数料->clearValue();
    txt入金摘要->clear();
    changed_ = true;
    // Kept, as a payment may well be entered before the invoice was; the user checks the date.
    if (invoiceDate_.isValid() && p.入金日 < invoiceDate_)
        MsgConfirm(Kind入金, QStringLiteral("請求日前"), p.入金日.toString(layout::dateFormat));
}

void Dlg入金::cmd入金削除_Click() {
    const int row = Grid入金->currentRow();
    if (row < 0 || row >= payments_.size())
        return;
    const PaymentRecord p = payments_[row];
    if (!MsgConfirm(Kind入金, QStringLiteral("削除確認"),
                    p.入金日.toString(layout::dateFormat) + QStringLiteral(" ") + FormatAmount(p.入金額) +
                        QStringLiteral(" 円")))
        return;
    try {
        RemovePayment(*books_.dbMain, p.入金番号, QDateTime::currentDateTime());
    } catch (const DbError& e) {
        notifyFailure(QStringLiteral("入金は取り消されませんでした。"), e);
        return;
    }
    changed_ = true;
    showStored();
}

void Dlg入金::showStored() {
    try {
        payments_ = ReadPayments(*books_.dbMain, number_);
    } catch (const DbError& e) {
        notifyFailure(
            QStringLiteral("変更は保存しましたが、入金の一覧を読み込めませんでした。閉じて開き直してください。"), e);
    }
    showPayments();
}

void OpenPayments(QWidget* parent, Books& books, qint32 number, const std::function<void()>& changed) {
    Dlg入金* dialog = nullptr;
    try {
        if (!Read請求書ヘッダ(*books.dbMain, number)) {
            MsgConfirm(QStringLiteral("入金"), QStringLiteral("未登録"), QString::number(number));
            return;
        }
        dialog = new Dlg入金(books, number, parent);
    } catch (const DbError& e) {
        notifyFailure(QStringLiteral("入金を読み込めませんでした。"), e);
        return;
    }
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(dialog, &QDialog::finished, dialog, [dialog, changed] {
        if (dialog->changed() && changed)
            changed();
    });
    dialog->open();
}
