// The invoice page's routines: they read the controls, call the invoice routines and
// write the results back.
#include "app/invoice_page/invoice_page.h"

#include "app/books.h"
#include "app/layout.h"
#include "app/page_parts.h"
#include "app/payment_dialog.h"
#include "payments/cutoff.h"
#include "book/payment_state.h"
#include "figures/figures.h"
#include "invoice/invoice_io.h"
#include "invoice/lines.h"
#include "invoice/numbering.h"
#include "invoice/rounding.h"
#include "invoice/totals.h"
#include "masters/customers.h"
#include "messages/msg.h"
#include "store/statements.h"
#include "ui/bound_table.h"
#include "ui/data_grid.h"
#include "ui/number_box.h"

#include <QApplication>
#include <QDate>
#include <QScopedValueRollback>
#include <QStringListModel>
#include <QTextDocument>

namespace {
const QString Kind入力 = QStringLiteral("入力");
constexpr int colName = 1, colQty = 2, colUnit = 3, colPrice = 4, colAmount = 5;
} // namespace

void InvoicePage::Clear明細ワーク() {
    workThenRefresh(dat明細, QStringLiteral("明細を準備できませんでした。"), [this] {
        ::Clear明細ワーク(*books_.dbWork);
        return true;
    });
}

void InvoicePage::SetDD品名() {
    workThenRefresh(dat商品参照, QStringLiteral("商品一覧を読み込めませんでした。"), [this] {
        ::SetDD品名(*books_.dbWork, books_.dbMain->path());
        return true;
    });
}

void InvoicePage::Calc明細() {
    if (inv.税率方式 == Scheme10_8) {
        QualifiedTotals q;
        try {
            q = CalcQualified(SumByRate(*books_.dbWork), inv税区分(), inv端数処理());
        } catch (const DbError& e) {
            notifyFailure(QStringLiteral("合計を計算できませんでした。"), e);
            return;
        }
        num合計->setValue(q.合計);
        num税抜計->setValue(q.税抜計);
        num消費税->setValue(q.消費税);
        num対象10->setValue(q.対象10);
        num消費税10->setValue(q.消費税10);
        num対象8->setValue(q.対象8);
        num消費税8->setValue(q.消費税8);
        const QString basis =
            inv税区分() == QStringLiteral("内税") ? QStringLiteral("（税込）") : QStringLiteral("（税抜）");
        lbl対象10->setText(QStringLiteral("10%対象") + basis);
        lbl対象8->setText(QStringLiteral("8%対象") + basis);
        Grid明細->refreshDisplay();
        return;
    }
    Totals t;
    try {
        t = ::Calc明細(*books_.dbWork, books_.cfg税区分);
    } catch (const DbError& e) {
        notifyFailure(QStringLiteral("合計を計算できませんでした。"), e);
        return;
    }
    num合計->clearValue();
    num税抜計->clearValue();
    num消費税->clearValue();
    num税抜計->setValue(t.税抜計);
    num消費税->setValue(t.消費税);
    num合計->setValue(t.合計);
    Grid明細->refreshDisplay();
}

void InvoicePage::AddCmb顧客名() {
    const QScopedValueRollback<int> notTheUser(filling_, filling_ + 1);
    QStringList names;
    try {
        // An empty master empties the list too: names no longer in the books are not offered.
        names = books_.dbMain->textColumn(sql::C2(), QStringLiteral("顧客名"));
    } catch (const DbError& e) {
        notifyFailure(QStringLiteral("顧客一覧を読み込めませんでした。"), e);
        return;
    }
    const QString text = cmb顧客名->currentText();
    cmb顧客名->clear();
    QApplication::processEvents(); // let the emptied list repaint once
    // One model swap instead of one insert per name: large masters stay quick.
    auto* list = static_cast<QStringListModel*>(cmb顧客名->model());
    list->setStringList(names);
    cmb顧客名->setCurrentIndex(-1);
    cmb顧客名->setEditText(text);
}

void InvoicePage::cmdクリア_Click() {
    if (askDiscardUnsaved())
        Clear請求書(true);
}

void InvoicePage::Clear請求書(bool bln新規) {
    QScopedValueRollback<int> filling(filling_, filling_ + 1);
    setUnsaved(false);
    loaded_ = false;
    beforeLineOp_.reset();
    num税抜計->clearValue();
    num消費税->clearValue();
    num合計->clearValue();
    for (NumberBox* b : {num対象10, num消費税10, num対象8, num消費税8})
        b->clearValue();
    // A new invoice, or one not yet found under a typed number, takes the scheme in force.
    TaxBasis inForce;
    inForce.税率方式 = books_.cfg税率方式;
    SetInvoiceBasis(inForce);
    cmb顧客名->setEditText(QString());
    lbl様->setText(Honorifics.front());
    txt顧客情報->setPlainText(QString());
    txt件名->clear();
    txt備考->clear();
    issued振込先_.reset();
    dueFollowsDate_ = true;
    terms_ = {};
    dt日付->setDate(
        QDate::fromString(QDate::currentDate().toString(QStringLiteral("yyyyMMdd")), QStringLiteral("yyyyMMdd")));
    setDueDate(dueFor(dt日付->date()));
    validityFollowsDate_ = true;
    dt有効期限->setDate(dt日付->date().addDays(QuoteValidDays));
    txt但し書き->setText(DefaultPurpose);
    setSource(QString(), 0);
    lbl自社名->setText(books_.cfg自社名);
    lbl自社情報->setText(books_.cfg自社情報);
    Clear明細ワーク();
    if (!bln新規)
        return;
    SetDD品名();
    AddCmb顧客名();
    offerNumber();
}

void InvoicePage::offerNumber() {
    try {
        txtNo->setText(Proc管理(*books_.dbMain, CounterItemOf(kind_), QStringLiteral("Get"), QStringLiteral("0")));
    } catch (const DbError& e) {
        txtNo->clear();
        notifyFailure(QStringLiteral("次の伝票番号を読めませんでした。"), e);
    }
    shownNo_ = offeredNo_ = txtNo->text();
}

void InvoicePage::setSource(const QString& kind, qint32 number) {
    source種別_ = number > 0 ? kind : QString();
    source番号_ = number;
    lbl元伝票->setText(number > 0 ? SourceText(kind, number) : QString());
}

void InvoicePage::cmb帳票種別_Change() {
    const QString to = cmb帳票種別->currentText();
    if (to == kind_)
        return;
    if (loaded_) {
        if (!askDiscardUnsaved()) {
            showKind(kind_);
            return;
        }
        showKind(to);
        Clear請求書(true);
        return;
    }
    // Typing goes on under the new kind, numbered within it.
    showKind(to);
    offerNumber();
}

void InvoicePage::Convert伝票(const QString& target) {
    if (!ConversionTargets(kind_).contains(target))
        return;
    Grid明細->commitPending();
    const QString from = kind_;
    qint32 source = 0;
    if (loaded_) {
        // Made from the registered copy: the reference names what the books hold.
        if (!askDiscardUnsaved())
            return;
        CheckInvoiceNumber(shownNo_, &source);
        try {
            if (!Read請求書ヘッダ(*books_.dbMain, source, from)) {
                MsgConfirm(QStringLiteral("作成"), QStringLiteral("元伝票なし"), DocumentName(from, source));
                return;
            }
        } catch (const DbError& e) {
            notifyFailure(QStringLiteral("元の伝票を読み込めませんでした。"), e);
            return;
        }
        if (unsaved_)
            Read請求書();
    }
    {
        // The copy keeps the source's customer, details, subject, lines and tax basis; it is
        // new, dated today, and registered only when the user registers it.
        const QScopedValueRollback<int> filling(filling_, filling_ + 1);
        showKind(target);
        loaded_ = false;
        beforeLineOp_.reset();
        issued振込先_.reset();
        offerNumber();
        setSource(from, source);
        dt日付->setDate(QDate::currentDate());
        dueFollowsDate_ = true;
        setDueDate(DefaultDueDate(books_.cfg支払期限既定, dt日付->date()));
        validityFollowsDate_ = true;
        dt有効期限->setDate(dt日付->date().addDays(QuoteValidDays));
        txt但し書き->setText(from == Kind請求書 && source > 0 ? PurposeOf(from, source) : DefaultPurpose);
    }
    setUnsaved(true);
    Calc明細();
}

void InvoicePage::cmb顧客名_LostFocus() {
    // Details filled in for the chosen customer follow a change the user already made.
    QScopedValueRollback<int> filling(filling_, filling_ + 1);
    const QString name = cmb顧客名->currentText();
    // A new invoice's due date follows the customer's terms, until the user sets one.
    const auto followTerms = [this](const PaymentTerms& t) {
        terms_ = t;
        if (dueFollowsDate_)
            setDueDate(dueFor(dt日付->date()));
    };
    if (name.isEmpty()) {
        txt顧客情報->setPlainText(QString());
        lbl様->setText(Honorifics.front());
        followTerms({});
        return;
    }
    try {
        auto rs = books_.dbMain->openRecordset(sql::C1(name));
        // A customer the master does not know is addressed as most are.
        lbl様->setText(rs->eof() ? Honorifics.front() : rs->field(QStringLiteral("敬称")).toText());
        followTerms(rs->eof() ? PaymentTerms{} : TermsOf(*rs));
        if (!rs->eof()) {
            const Value details = rs->field(QStringLiteral("顧客情報"));
            if (!details.isNull())
                txt顧客情報->setPlainText(details.toText());
        }
    } catch (const DbError&) {
        // An unreadable name counts as not found: the details box keeps what it holds.
    }
}

void InvoicePage::txtNo_LostFocus() {
    const QString text = txtNo->text();
    // Tabbing through the box reloads nothing: typed lines stay.
    if (text.isEmpty() || text == shownNo_)
        return;
    qint32 number = 0;
    const NumberCheck check = CheckInvoiceNumber(text, &number);
    if (check == NumberCheck::Empty)
        return;
    if (check != NumberCheck::Ok) {
        MsgConfirm(Kind入力, check == NumberCheck::OutOfRange ? QStringLiteral("範囲外") : QStringLiteral("数字のみ"),
                   QStringLiteral("伝票番号"));
        txtNo->clear();
        txtNo->setFocus();
    }
    // Another number replaces the invoice area; unregistered work goes only when the user agrees.
    // On No the area keeps its own number: under the typed one, registering would replace
    // another invoice with these lines.
    if (!askDiscardUnsaved()) {
        txtNo->setText(shownNo_);
        return;
    }
    Read請求書();
}

void InvoicePage::Load伝票(qint32 number, const QString& kind) {
    showKind(kind);
    txtNo->setText(QString::number(number));
    Read請求書();
}

void InvoicePage::Read請求書() {
    QScopedValueRollback<int> filling(filling_, filling_ + 1);
    Clear請求書(false);
    shownNo_ = txtNo->text();
    qint32 number = 0;
    if (CheckInvoiceNumber(txtNo->text(), &number) != NumberCheck::Ok) {
        dat明細->refresh();
        return;
    }
    try {
        const auto header = Read請求書ヘッダ(*books_.dbMain, number, kind_);
        if (!header) {
            dat明細->refresh();
            return;
        }
        dueFollowsDate_ = false; // a registered invoice keeps the due date it was given
        loaded_ = true;
        loadedCount_ = header->更新回数;
        if (const QDate d = QDate::fromString(header->date, QStringLiteral("yyyy/MM/dd")); d.isValid())
            dt日付->setDate(d);
        setDueDate(QDate::fromString(header->支払期限, QStringLiteral("yyyy/MM/dd")));
        validityFollowsDate_ = false;
        if (const QDate d = QDate::fromString(header->有効期限, QStringLiteral("yyyy/MM/dd")); d.isValid())
            dt有効期限->setDate(d);
        txt但し書き->setText(header->但し書き);
        setSource(header->元種別, header->元番号);
        if (!header->顧客名.isNull())
            cmb顧客名->setEditText(header->顧客名);
        lbl様->setText(header->敬称);
        if (!header->顧客情報.isNull())
            txt顧客情報->setPlainText(header->顧客情報);
        txt件名->setText(header->件名);
        txt備考->setPlainText(header->備考);
        issued振込先_ = header->振込先;
        // An invoice issued under "10%・8%" keeps the basis it was issued under.
        TaxBasis basis;
        if (header->税率方式 == Scheme10_8)
            basis = {Scheme10_8, true, header->税区分, header->端数処理, header->登録番号};
        SetInvoiceBasis(basis);
        num消費税->setValue(header->消費税);
        num税抜計->setValue(header->税抜計);
        num合計->setValue(header->合計);
        num対象10->setValue(header->対象10);
        num消費税10->setValue(header->消費税10);
        num対象8->setValue(header->対象8);
        num消費税8->setValue(header->消費税8);
        ::Read請求書(*books_.dbMain, *books_.dbWork, number, kind_);
    } catch (const DbError& e) {
        notifyFailure(QStringLiteral("伝票を読み込めませんでした。"), e);
    }
    dat明細->refresh();
    Calc明細();
}

void InvoicePage::cmd登録_Click() {
    // The number is named too: it says which invoice the books will hold these lines under.
    const QString customer = cmb顧客名->currentText();
    const QString invoice =
        txtNo->text() + (customer.isEmpty() ? QString() : QStringLiteral("（") + customer + QStringLiteral(" 様）"));
    if (MsgConfirm(QStringLiteral("登録"), QStringLiteral("伝票確認"), invoice))
        Entry請求書();
}

void InvoicePage::Entry請求書() {
    Grid明細->commitPending();
    InvoiceHeader h;
    switch (CheckInvoiceNumber(txtNo->text(), &h.number)) {
    case NumberCheck::Ok:
        break;
    case NumberCheck::Empty:
        MsgConfirm(Kind入力, QStringLiteral("必須入力なし"), QStringLiteral("伝票番号が"));
        return;
    case NumberCheck::NotNumeric:
        MsgConfirm(Kind入力, QStringLiteral("数字のみ"), QStringLiteral("伝票番号"));
        return;
    case NumberCheck::OutOfRange:
        MsgConfirm(Kind入力, QStringLiteral("範囲外"), QStringLiteral("伝票番号"));
        return;
    }
    try {
        if (LinesHaveGap(*books_.dbWork)) {
            MsgConfirm(Kind入力, QStringLiteral("上行空白"), QString());
            return;
        }
        h.税率方式 = inv.税率方式;
        if (inv.税率方式 == Scheme10_8) {
            Calc明細(); // the stored figures and the stored basis agree
            h.税区分 = inv税区分();
            h.端数処理 = inv端数処理();
            h.登録番号 = inv登録番号();
            h.対象10 = num対象10->value();
            h.消費税10 = num消費税10->value();
            h.対象8 = num対象8->value();
            h.消費税8 = num消費税8->value();
        }
        h.date = dt日付->date().toString(QStringLiteral("yyyy/MM/dd"));
        h.顧客名 = cmb顧客名->currentText();
        h.顧客情報 = txt顧客情報->toPlainText();
        h.件名 = txt件名->text();
        h.備考 = txt備考->toPlainText();
        h.種別 = kind_;
        h.元種別 = source種別_;
        h.元番号 = source番号_;
        // Each kind stores what it shows: the due date an invoice's, the validity a quote's,
        // the purpose a receipt's.
        if (kind_ == Kind請求書 && chk支払期限->isChecked())
            h.支払期限 = dt支払期限->date().toString(QStringLiteral("yyyy/MM/dd"));
        if (kind_ == Kind見積書)
            h.有効期限 = dt有効期限->date().toString(QStringLiteral("yyyy/MM/dd"));
        if (kind_ == Kind領収書)
            h.但し書き = txt但し書き->text();
        h.振込先 = inv振込先();
        h.敬称 = lbl様->text();
        h.消費税 = num消費税->value();
        h.税抜計 = num税抜計->value();
        h.合計 = num合計->value();
        // Another PC may have registered since: a loaded invoice goes only over the copy read, a new
        // one under the offered number takes the next free number.
        h.expect = loaded_                     ? InvoiceHeader::Expect::Loaded
                   : txtNo->text() == offeredNo_ ? InvoiceHeader::Expect::NextNumber
                                                 : InvoiceHeader::Expect::New;
        h.更新回数 = loadedCount_;
        if (const qint32 taken = ::Entry請求書(*books_.dbMain, *books_.dbWork, h); taken != h.number)
            MsgConfirm(QStringLiteral("その他"), QStringLiteral("注意"),
                       QStringLiteral("伝票番号 %1 は他のPCで使われたため、伝票番号 %2 で登録しました。")
                           .arg(h.number)
                           .arg(taken));
    } catch (const DbError& e) {
        // What was typed stays on the page: nothing of it is lost to another PC's work.
        notifyFailure(QStringLiteral("伝票 ") + txtNo->text() + QStringLiteral(" は登録されませんでした。"), e);
        return;
    }
    // A corrected invoice keeps its payments: the user hears once when they now exceed it.
    if (h.種別 == Kind請求書)
        try {
            const Currency paid = PaidOn(*books_.dbMain, h.number);
            if (StateOf(h.合計.value_or(Currency()), paid, {}, {}) == PaymentState::過入金)
                MsgConfirm(QStringLiteral("入金"), QStringLiteral("過入金"), QString::number(h.number));
        } catch (const DbError&) {
            // The invoice is registered; the list shows its state whenever it is read.
        }
    Clear請求書(true);
    cmb顧客名->setFocus();
}

void InvoicePage::cmd入金_Click() {
    qint32 number = 0;
    if (kind_ != Kind請求書) {
        MsgConfirm(QStringLiteral("入金"), QStringLiteral("請求書のみ"), kind_);
        return;
    }
    if (CheckInvoiceNumber(txtNo->text(), &number) != NumberCheck::Ok || !loaded_) {
        MsgConfirm(QStringLiteral("入金"), QStringLiteral("未登録"), txtNo->text());
        return;
    }
    OpenPayments(window(), books_, number, {});
}

void InvoicePage::Delete請求書() {
    if (txtNo->text().isEmpty())
        return;
    if (!MsgConfirm(QStringLiteral("削除"), QStringLiteral("伝票確認"), txtNo->text()))
        return;
    qint32 number = 0;
    const NumberCheck check = CheckInvoiceNumber(txtNo->text(), &number);
    if (check != NumberCheck::Ok) {
        MsgConfirm(Kind入力, check == NumberCheck::OutOfRange ? QStringLiteral("範囲外") : QStringLiteral("数字のみ"),
                   QStringLiteral("伝票番号"));
        return;
    }
    try {
        // Its payments would pass to the next invoice given the number: they are taken back first.
        if (kind_ == Kind請求書 && !ReadPayments(*books_.dbMain, number).isEmpty()) {
            MsgConfirm(QStringLiteral("入金"), QStringLiteral("削除不可"), QString::number(number));
            return;
        }
        // A summary invoice goes with its cut-off, or its notes would stay billed by nothing.
        if (kind_ == Kind請求書 && IsCutOffInvoice(*books_.dbMain, number)) {
            MsgConfirm(QStringLiteral("締め"), QStringLiteral("削除不可"), QString::number(number));
            return;
        }
        ::Delete請求書(*books_.dbMain, number, kind_);
    } catch (const DbError& e) {
        notifyFailure(QStringLiteral("伝票 ") + txtNo->text() + QStringLiteral(" は削除されませんでした。"), e);
        return;
    }
    Clear請求書(true);
    cmb顧客名->setFocus();
}

bool InvoicePage::lineOperation(int row, const std::function<bool(Database&, int)>& op) {
    Grid明細->commitPending();
    const int col = Grid明細->col();
    bool done = true; // a failure is said here, not taken for a refusal
    try {
        WorkLines before = CopyLines(*books_.dbWork);
        done = op(*books_.dbWork, static_cast<int>(dat明細->value(row, 0).toInt()));
        if (done)
            beforeLineOp_ = std::move(before);
    } catch (const DbError& e) {
        notifyFailure(QStringLiteral("明細を更新できませんでした。"), e);
    }
    if (!done)
        return false; // refused: the lines are as shown
    dat明細->refresh();
    Grid明細->setCurrentIndex(dat明細->index(row, col > 0 ? col : colName));
    return true;
}

void InvoicePage::Clear明細行(int row) {
    lineOperation(row, [](Database& work, int line) {
        ::Clear明細行(work, line);
        return true;
    });
    Calc明細();
}

void InvoicePage::Insert明細行(int row) {
    if (!lineOperation(row, ::Insert明細行)) {
        MsgConfirm(QStringLiteral("行指定"), QStringLiteral("余白なし"), QString());
        return;
    }
    Calc明細();
}

bool InvoicePage::lineHoldsData(int row) const {
    for (int c = colName; c <= colAmount; ++c)
        if (!dat明細->value(row, c).isNull())
            return true;
    return false;
}

void InvoicePage::Delete明細行(int row) {
    if (lineHoldsData(row)) {
        const QString name = dat明細->value(row, colName).toText();
        const QString line = dat明細->value(row, 0).toText() + QStringLiteral("行目") +
                             (name.isEmpty() ? QString() : QStringLiteral("（") + name + QStringLiteral("）"));
        if (!MsgConfirm(QStringLiteral("削除"), QStringLiteral("伝票確認2"), line))
            return;
    }
    lineOperation(row, [](Database& work, int line) {
        ::Delete明細行(work, line);
        return true;
    });
    Calc明細();
}

void InvoicePage::undoLineOperation() {
    if (!beforeLineOp_)
        return;
    const int row = Grid明細->row(), col = Grid明細->col();
    try {
        PutLines(*books_.dbWork, *beforeLineOp_);
    } catch (const DbError& e) {
        notifyFailure(QStringLiteral("明細を元に戻せませんでした。"), e);
        return;
    }
    beforeLineOp_.reset();
    dat明細->refresh();
    Grid明細->setCurrentIndex(dat明細->index(std::max(row, 0), col > 0 ? col : colName));
    Calc明細();
}

void InvoicePage::followSettings() {
    Grid明細->commitPending(); // a cell being typed is the user's, before the columns may change
    const QScopedValueRollback<int> notTheUser(filling_, filling_ + 1);
    lbl自社名->setText(books_.cfg自社名);
    lbl自社情報->setText(books_.cfg自社情報);
    if (!loaded_ && inv.税率方式 != books_.cfg税率方式) {
        // Lines typed under "5%" carry only the exempt flag: it is read before the columns change.
        std::vector<bool> exempt;
        if (books_.cfg税率方式 == Scheme10_8)
            for (int r = 0; r < dat明細->rowCount(); ++r)
                exempt.push_back(dat明細->value(r, layout::detailFlagColumn).toBool());
        TaxBasis inForce;
        inForce.税率方式 = books_.cfg税率方式;
        SetInvoiceBasis(inForce);
        carryExemptFlags(exempt);
        beforeLineOp_.reset();
    }
    Calc明細();
}

void InvoicePage::carryExemptFlags(const std::vector<bool>& exempt) {
    try {
        for (int r = 0; r < static_cast<int>(exempt.size()); ++r) {
            const Value rate = dat明細->value(r, layout::detailFlagColumn);
            const bool rateExempt = !rate.isNull() && rate.toInt() == 0;
            if (exempt[r] != rateExempt)
                dat明細->setValue(r, layout::detailFlagColumn, exempt[r] ? Value(0) : Value());
        }
        SyncExemptFlags(*books_.dbWork);
    } catch (const DbError& e) {
        notifyFailure(QStringLiteral("明細の税率を設定できませんでした。"), e);
    }
}

bool InvoicePage::Grid明細_EnterKey(int col) {
    if (col != colAmount || Grid明細->pastLastRow())
        return false;
    Grid明細->moveNext(); // stays on the last row when there is none below
    Grid明細->setCol(colName);
    return true;
}

void InvoicePage::Grid明細_AfterColUpdate(int c) {
    try {
        auto lineAmount = [this] {
            const auto amount = LineAmount(Grid明細->cell(colQty).toText(), Grid明細->cell(colPrice).toText());
            Grid明細->setCell(colAmount, amount ? Value(*amount) : Value());
        };
        auto rangeCheck = [this](int col, RangeColumn kind) {
            // Text that is no number was emptied on the way in; it is refused like a value out of range.
            const QString typed = dat明細->unreadableText();
            if (!InRange(kind, typed.isEmpty() ? Grid明細->cell(col).toText() : typed)) {
                Grid明細->setCell(col, Value());
                Grid明細->setCol(col);
                // A refused value never just disappears: the user is told which column and why.
                static const QStringList names = {QStringLiteral("数量"), QStringLiteral("単価"), QStringLiteral("金額")};
                bool number = typed.isEmpty();
                if (!number)
                    figures::asciiNumber(typed).remove(QLatin1Char(',')).toDouble(&number);
                MsgConfirm(Kind入力, number ? QStringLiteral("範囲外") : QStringLiteral("数字のみ"),
                           names.value(static_cast<int>(kind)));
            }
        };
        switch (c) {
        case colName: {
            const ProductLookup p = Seek商品(*books_.dbMain, Grid明細->cell(colName).toText());
            Grid明細->setCell(colName, p.品名.isEmpty() ? Value() : Value(p.品名));
            Grid明細->setCell(colUnit, p.単位.isEmpty() ? Value() : Value(p.単位));
            Grid明細->setCell(colPrice, p.単価 == Currency() ? Value() : Value(p.単価));
            if (inv.税率方式 == Scheme10_8) {
                Grid明細->setCell(layout::detailFlagColumn, p.品名.isEmpty() ? Value() : Value(p.税率));
                SyncExemptFlags(*books_.dbWork);
            } else {
                Grid明細->setCell(layout::detailFlagColumn, p.非課税);
            }
            break;
        }
        case colQty:
            rangeCheck(colQty, RangeColumn::Quantity);
            lineAmount();
            break;
        case colUnit:
            if (const QString unit = Grid明細->cell(colUnit).toText(); !unit.isEmpty())
                AddCodeValue(*books_.dbMain, QStringLiteral("単位"), unit);
            break;
        case colPrice:
            rangeCheck(colPrice, RangeColumn::Price);
            lineAmount();
            break;
        case colAmount:
            rangeCheck(colAmount, RangeColumn::Amount);
            break;
        case layout::detailFlagColumn:
            if (inv.税率方式 == Scheme10_8)
                SyncExemptFlags(*books_.dbWork);
            break;
        default:
            break;
        }
    } catch (const DbError& e) {
        notifyFailure(QStringLiteral("明細を更新できませんでした。"), e);
    }
    Calc明細();
}
