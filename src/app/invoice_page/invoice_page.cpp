// The invoice page: its controls, captions and tooltips, and what its controls are wired to.
#include "app/invoice_page/invoice_page.h"

#include "app/books.h"
#include "app/layout.h"
#include "app/line_limited_edit.h"
#include "app/page_parts.h"
#include "invoice/invoice_io.h"
#include "messages/msg.h"
#include "ui/bound_table.h"
#include "ui/calendar_heading.h"
#include "ui/data_grid.h"
#include "ui/number_box.h"

#include <QCalendarWidget>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenu>
#include <QScopedValueRollback>
#include <QShortcut>
#include <QStringListModel>
#include <QStyle>
#include <QVBoxLayout>

InvoicePage::InvoicePage(Books& books) : books_(books) {
    build();
    dat明細 = named(new BoundTable(this), QStringLiteral("dat明細"));
    dat明細->setRecordSource(QStringLiteral("w明細"));
    dat商品参照 = named(new BoundTable(this), QStringLiteral("dat商品参照"));
    dat商品参照->setRecordSource(QStringLiteral("w商品参照"));
    connect(&books_, &Books::closing, this, [this] { rebind(false); });
    connect(&books_, &Books::swapped, this, [this] { rebind(true); });
}

void InvoicePage::build() {
    auto* outer = new QVBoxLayout(this);
    auto* body = frame();
    outer->addWidget(body);
    auto* g = new QGridLayout(body);

    cmb帳票種別 = named(new QComboBox, QStringLiteral("cmb帳票種別"));
    cmb帳票種別->addItems(DocumentKinds);
    cmb帳票種別->setCurrentText(kind_);
    cmb帳票種別->setToolTip(QStringLiteral("作成する帳票の種類"));
    cmd作成 = button(QStringLiteral("cmd作成"), QStringLiteral("作成…"),
                     QStringLiteral("画面の伝票から別の種類の帳票を作成します（元の伝票は変わりません）"));
    cmd作成->setMenu(new QMenu(cmd作成));
    lbl伝票番号 = named(caption(QStringLiteral("伝票番号")), QStringLiteral("lbl伝票番号"));
    txtNo = named(new QLineEdit, QStringLiteral("txtNo"));
    txtNo->setMaximumWidth(140);
    txtNo->setAlignment(Qt::AlignRight);
    txtNo->setValidator(new NumberValidator(txtNo)); // full-width digits become ASCII as typed
    dt日付 = named(new QDateEdit, QStringLiteral("dt日付"));
    cmb顧客名 = named(new QComboBox, QStringLiteral("cmb顧客名"));
    cmb顧客名->setEditable(true);
    cmb顧客名->setInsertPolicy(QComboBox::NoInsert);
    cmb顧客名->setModel(new QStringListModel(cmb顧客名));
    cmb顧客名->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cmb顧客名->setMinimumContentsLength(24);
    txt顧客情報 = named(new QPlainTextEdit, QStringLiteral("txt顧客情報"));
    txt顧客情報->setToolTip(QStringLiteral("郵便番号、住所、電話番号などを記入"));
    txt顧客情報->setMaximumHeight(64);
    ctrlEnterMovesOn(txt顧客情報);
    chk支払期限 = named(new QCheckBox(QStringLiteral("支払期限")), QStringLiteral("chk支払期限"));
    dt支払期限 = named(new QDateEdit, QStringLiteral("dt支払期限"));
    txt件名 = named(new QLineEdit, QStringLiteral("txt件名"));
    txt件名->setMaxLength(SubjectMaxLength);
    txt件名->setToolTip(QStringLiteral("請求の件名（%1文字まで、省略可）").arg(SubjectMaxLength));
    txt備考 = named(new LineLimitedEdit(NoteMaxLines), QStringLiteral("txt備考"));
    txt備考->setToolTip(QStringLiteral("請求書の下に印刷する備考（%1行まで、省略可）").arg(NoteMaxLines));
    ctrlEnterMovesOn(txt備考);
    txt備考->setFixedHeight(txt備考->fontMetrics().lineSpacing() * NoteMaxLines + 12);
    lbl自社名 = named(new QLabel, QStringLiteral("lbl自社名"));
    lbl自社名->setStyleSheet(QStringLiteral("font-size:14pt;"));
    lbl自社情報 = named(new QLabel, QStringLiteral("lbl自社情報"));
    lbl自社情報->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    // The number on the left; the date box starts at its fixed distance from the frame's edge.
    auto* numberAndDate = new QHBoxLayout;
    numberAndDate->setSpacing(0);
    auto* lead = new QWidget;
    auto* leadRow = new QHBoxLayout(lead);
    leadRow->setContentsMargins(0, 0, 6, 0);
    leadRow->addWidget(cmb帳票種別);
    leadRow->addWidget(cmd作成);
    leadRow->addWidget(lbl伝票番号);
    leadRow->addWidget(txtNo);
    leadRow->addStretch();
    leadRow->addWidget(caption(QStringLiteral("日付")));
    lead->setFixedWidth(twipsToPixels(layout::dateLeftTwips, this) - g->contentsMargins().left() - body->frameWidth());
    numberAndDate->addWidget(lead);
    numberAndDate->addWidget(dt日付);
    numberAndDate->addSpacing(24);
    numberAndDate->addWidget(chk支払期限);
    numberAndDate->addWidget(dt支払期限);
    lbl有効期限 = named(caption(QStringLiteral("有効期限")), QStringLiteral("lbl有効期限"));
    dt有効期限 = named(new QDateEdit, QStringLiteral("dt有効期限"));
    numberAndDate->addWidget(lbl有効期限);
    numberAndDate->addWidget(dt有効期限);
    numberAndDate->addStretch();
    lbl元伝票 = named(new QLabel, QStringLiteral("lbl元伝票"));
    numberAndDate->addWidget(lbl元伝票);
    g->addLayout(numberAndDate, 0, 0, 1, 2);

    auto* head = new QGridLayout;
    head->addWidget(caption(QStringLiteral("顧客名")), 1, 0);
    auto* customer = new QHBoxLayout;
    customer->addWidget(cmb顧客名, 1);
    lbl様 = named(new QLabel(Honorifics.front()), QStringLiteral("lbl様"));
    lbl様->setMinimumWidth(lbl様->fontMetrics().horizontalAdvance(QStringLiteral("御中")));
    customer->addWidget(lbl様);
    head->addLayout(customer, 1, 1, 1, 3);
    head->addWidget(caption(QStringLiteral("顧客情報")), 2, 0, Qt::AlignTop);
    head->addWidget(txt顧客情報, 2, 1, 1, 3);
    head->addWidget(caption(QStringLiteral("件名")), 3, 0);
    head->addWidget(txt件名, 3, 1, 1, 3);
    lbl但し書き = named(caption(QStringLiteral("但し")), QStringLiteral("lbl但し書き"));
    txt但し書き = named(new QLineEdit, QStringLiteral("txt但し書き"));
    txt但し書き->setMaxLength(SubjectMaxLength);
    txt但し書き->setToolTip(QStringLiteral("領収の但し書き（%1文字まで）").arg(SubjectMaxLength));
    head->addWidget(lbl但し書き, 4, 0);
    head->addWidget(txt但し書き, 4, 1, 1, 3);
    head->setColumnStretch(3, 1);
    auto* company = new QVBoxLayout;
    company->addWidget(lbl自社名);
    company->addWidget(lbl自社情報, 1);
    g->addLayout(head, 1, 0);
    g->addLayout(company, 1, 1);
    g->setColumnStretch(0, 3);
    g->setColumnStretch(1, 2);

    Grid明細 = named(new DataGrid, QStringLiteral("Grid明細"));
    DD商品参照 = named(new QComboBox, QStringLiteral("DD商品参照"));
    g->addWidget(Grid明細, 2, 0, 1, 2);
    // The list itself; the grid shows it as the drop-down of the name column.
    g->addWidget(DD商品参照, 6, 0);
    DD商品参照->hide();

    num税抜計 = named(new NumberBox, QStringLiteral("num税抜計"));
    num消費税 = named(new NumberBox, QStringLiteral("num消費税"));
    num合計 = named(new NumberBox, QStringLiteral("num合計"));
    auto* totals = new QHBoxLayout;
    totals->addStretch();
    for (auto [box, label] :
         {std::pair{num税抜計, QStringLiteral("税抜計")}, std::pair{num消費税, QStringLiteral("消費税")},
          std::pair{num合計, QStringLiteral("税込合計")}}) {
        box->setReadOnly(true);
        box->setFocusPolicy(Qt::NoFocus);
        box->setMaximumWidth(150);
        totals->addWidget(caption(label));
        totals->addWidget(box);
    }
    // The per-rate sums and taxes under the totals, shown under "10%・8%" only.
    rateBoxes = named(new QWidget, QStringLiteral("rateBoxes"));
    auto* rates = new QHBoxLayout(rateBoxes);
    rates->setContentsMargins(0, 0, 0, 0);
    rates->addStretch();
    lbl対象10 = named(caption(QString()), QStringLiteral("lbl対象10"));
    lbl対象8 = named(caption(QString()), QStringLiteral("lbl対象8"));
    num対象10 = named(new NumberBox, QStringLiteral("num対象10"));
    num消費税10 = named(new NumberBox, QStringLiteral("num消費税10"));
    num対象8 = named(new NumberBox, QStringLiteral("num対象8"));
    num消費税8 = named(new NumberBox, QStringLiteral("num消費税8"));
    for (auto [label, box] :
         {std::pair{lbl対象10, num対象10}, std::pair{caption(QStringLiteral("消費税10%")), num消費税10},
          std::pair{lbl対象8, num対象8}, std::pair{caption(QStringLiteral("消費税8%")), num消費税8}}) {
        box->setReadOnly(true);
        box->setFocusPolicy(Qt::NoFocus);
        box->setMaximumWidth(130);
        rates->addWidget(label);
        rates->addWidget(box);
    }
    rateBoxes->hide();
    auto* allTotals = new QVBoxLayout;
    allTotals->addLayout(totals);
    allTotals->addWidget(rateBoxes);
    allTotals->addStretch();
    // The notes on the left, under the lines, as the page prints them at its foot.
    auto* foot = new QHBoxLayout;
    foot->addWidget(caption(QStringLiteral("備考")), 0, Qt::AlignTop);
    foot->addWidget(txt備考, 1);
    foot->addLayout(allTotals, 1);
    g->addLayout(foot, 3, 0, 1, 2);
    lbl未登録 = named(new QLabel(QStringLiteral("未登録の変更があります")), QStringLiteral("lbl未登録"));
    lbl未登録->setStyleSheet(QStringLiteral("color:#a00000;"));
    QSizePolicy keepRoom = lbl未登録->sizePolicy();
    keepRoom.setRetainSizeWhenHidden(true); // the grid does not jump when the line comes and goes
    lbl未登録->setSizePolicy(keepRoom);
    lbl未登録->hide();
    g->addWidget(lbl未登録, 4, 0, 1, 2, Qt::AlignRight);

    cmd登録 = button(QStringLiteral("cmd登録"), QStringLiteral("登録"), QStringLiteral("画面上の伝票を登録保存します"));
    cmd削除 = button(QStringLiteral("cmd削除"), QStringLiteral("削除"),
                     QStringLiteral("画面上の伝票を削除します。一度削除するともとに戻せません。"));
    cmdクリア = button(QStringLiteral("cmdクリア"), QStringLiteral("クリア"),
                       QStringLiteral("伝票情報を画面上から消去します。登録済みの伝票は無くなりません。"));
    cmd印刷 = button(QStringLiteral("cmd印刷"), QStringLiteral("印刷"), QStringLiteral("印刷します"));
    cmd閉じる = button(QStringLiteral("cmd閉じる"), QStringLiteral("閉じる"),
                       QStringLiteral("請求書を終了します。伝票の登録は忘れてませんか"));
    cmdHint = button(QStringLiteral("cmdHint"), QString(), QStringLiteral("ヒント"));
    cmdHint->setIcon(style()->standardIcon(QStyle::SP_MessageBoxQuestion));
    cmdHint->setMinimumWidth(40);
    cmdデジタルインボイス = button(QStringLiteral("cmdデジタルインボイス"), QStringLiteral("デジタルインボイス…"),
                                   QStringLiteral("登録済みの伝票をデジタルインボイス（JP PINT）のファイルにします"));
    cmd入金 = button(QStringLiteral("cmd入金"), QStringLiteral("入金…"),
                     QStringLiteral("登録済みの伝票の入金を記録します"));
    auto* buttons = buttonFrame({cmd登録, cmd削除, cmdクリア, cmd印刷, cmdデジタルインボイス, cmd入金});
    buttons->layout()->addWidget(cmdHint);
    buttons->layout()->addWidget(cmd閉じる);
    g->addWidget(buttons, 5, 0, 1, 2);
    g->setRowStretch(2, 1);
    // Top to bottom, as a clerk fills an invoice.
    setTabOrder(dt日付, chk支払期限);
    setTabOrder(chk支払期限, dt支払期限);
    setTabOrder(dt支払期限, cmb顧客名);
    setTabOrder(txt顧客情報, txt件名);
    setTabOrder(txt件名, txt但し書き);
    setTabOrder(txt但し書き, Grid明細);
    setTabOrder(Grid明細, txt備考);
}

void InvoicePage::FormInit() {
    for (BoundTable* t : {dat明細, dat商品参照}) {
        t->setDatabase(books_.dbWork.get());
        t->refresh();
    }
    for (QDateEdit* d : {dt日付, dt支払期限, dt有効期限}) {
        d->setDisplayFormat(layout::dateFormat);
        d->setCalendarPopup(true);
        d->setFixedWidth(twipsToPixels(layout::dateWidthTwips, this));
        d->calendarWidget()->setLocale(QLocale(QLocale::Japanese, QLocale::Japan));
        SetCalendarHeading(d->calendarWidget(), layout::calendarYearFormat, layout::calendarMonthFormat);
    }

    Grid明細->bind(dat明細);
    dat明細->setReadOnlyColumns({0});
    Grid明細->setImeColumns({1, 3});
    DD商品参照->setModel(dat商品参照);
    DD商品参照->setModelColumn(0);
    dat商品参照->setHeading(0, QStringLiteral("品　　　　名"));
    Grid明細->setRowActions({{QStringLiteral("行をクリア"), [this](int r) { Clear明細行(r); }},
                             {QStringLiteral("行を挿入"), [this](int r) { Insert明細行(r); }},
                             {QStringLiteral("行を削除"), [this](int r) { Delete明細行(r); }}});
    gridScheme_.clear();
    SetInvoiceBasis(inv);
    connectHandlers();
    showKind(kind_);
}

void InvoicePage::SetInvoiceBasis(const TaxBasis& basis) {
    inv = basis;
    const bool qualified = inv.税率方式 == Scheme10_8;
    rateBoxes->setVisible(qualified);
    if (gridScheme_ == inv.税率方式)
        return;
    gridScheme_ = inv.税率方式;
    // The grid's columns follow the scheme: the exempt flag under "5%", the rate under "10%・8%".
    dat明細->setFields(layout::detailFields +
                       QStringList{qualified ? QStringLiteral("税率") : QStringLiteral("非課税")});
    dat明細->refresh();
    Grid明細->setPictureColumn(qualified ? -1 : layout::detailFlagColumn);
    Grid明細->setupColumns(qualified ? layout::detailColumnsQualified : layout::detailColumns);
    Grid明細->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch); // the name takes the spare width
    Grid明細->setPickList(1, dat商品参照, 0);
    dat明細->setShownText(layout::detailFlagColumn, qualified ? RateText : std::function<QString(const Value&)>());
    if (qualified)
        Grid明細->setCodeColumn(layout::detailFlagColumn, {RateChoices, ParseRate});
}

QString InvoicePage::inv税区分() const {
    return inv.issued ? inv.税区分 : books_.cfg税区分;
}
QString InvoicePage::inv端数処理() const {
    return inv.issued ? inv.端数処理 : books_.cfg端数処理;
}
QString InvoicePage::inv登録番号() const {
    return inv.issued ? inv.登録番号 : books_.cfg登録番号;
}
QString InvoicePage::inv振込先() const {
    return issued振込先_.value_or(books_.cfg振込先);
}

void InvoicePage::connectHandlers() {
    connect(cmd登録, &QPushButton::clicked, this, &InvoicePage::cmd登録_Click);
    connect(cmd削除, &QPushButton::clicked, this, &InvoicePage::cmd削除_Click);
    connect(cmdクリア, &QPushButton::clicked, this, &InvoicePage::cmdクリア_Click);
    connect(cmd印刷, &QPushButton::clicked, this, &InvoicePage::cmd印刷_Click);
    connect(cmdデジタルインボイス, &QPushButton::clicked, this, &InvoicePage::cmdデジタルインボイス_Click);
    connect(cmd入金, &QPushButton::clicked, this, &InvoicePage::cmd入金_Click);
    connect(cmb帳票種別, &QComboBox::activated, this, &InvoicePage::cmb帳票種別_Change);
    // The hint window goes with the main window, once closing is agreed.
    connect(cmd閉じる, &QPushButton::clicked, this, [this] { window()->close(); });
    connect(cmdHint, &QPushButton::clicked, this, [this] { emit hintRequested(cmdHint->objectName()); });
    connect(dat明細, &BoundTable::afterColUpdate, this, [this](int row, int col) {
        beforeLineOp_.reset(); // undoing the line operation now would undo this typing too
        // The rules work on the grid's current row: the row the user just changed.
        if (Grid明細->row() != row)
            Grid明細->setCurrentIndex(dat明細->index(row, col));
        Grid明細_AfterColUpdate(col);
    });
    Grid明細->setEnterColumnHandler([this](int col) { return Grid明細_EnterKey(col); });
    // An open cell takes Ctrl+Z for its own text first.
    new QShortcut(QKeySequence::Undo, Grid明細, this, &InvoicePage::undoLineOperation, Qt::WidgetWithChildrenShortcut);
    // Enter in the number box moves on, so the number loads as leaving the box does.
    connect(txtNo, &QLineEdit::returnPressed, this, [this] { focusNextChild(); });
    sayWriteFailures(dat明細);
    // Leaving a box is its lost-focus event.
    trackUnsavedChanges();
    for (QObject* o : {static_cast<QObject*>(txtNo), static_cast<QObject*>(cmb顧客名)})
        o->installEventFilter(this);
}

bool InvoicePage::eventFilter(QObject* o, QEvent* e) {
    if (!books_.dbMain) // focus still moves while the window goes; the databases are closed by then
        return QWidget::eventFilter(o, e);
    // Only a move to another control of this window is leaving a box: not a popup of the same
    // control, not another application or a message box taking the focus away.
    auto leavesWithinWindow = [](QEvent* ev) {
        const Qt::FocusReason r = static_cast<QFocusEvent*>(ev)->reason();
        return r != Qt::PopupFocusReason && r != Qt::ActiveWindowFocusReason;
    };
    if (e->type() == QEvent::FocusOut && leavesWithinWindow(e)) {
        if (o == txtNo)
            txtNo_LostFocus();
        else if (o == cmb顧客名)
            cmb顧客名_LostFocus();
    }
    return QWidget::eventFilter(o, e);
}

void InvoicePage::setUnsaved(bool on) {
    unsaved_ = on;
    lbl未登録->setVisible(on);
}

void InvoicePage::setDueDate(const QDate& date) {
    const QScopedValueRollback<int> notTheUser(filling_, filling_ + 1);
    // Cleared, the box keeps showing the invoice date, ready to be ticked.
    dt支払期限->setDate(date.isValid() ? date : dt日付->date());
    chk支払期限->setChecked(date.isValid());
    dt支払期限->setEnabled(date.isValid());
}

QDate InvoicePage::dueFor(const QDate& date) const {
    return terms_.set() ? TermsDueDate(terms_, date) : DefaultDueDate(books_.cfg支払期限既定, date);
}

void InvoicePage::trackUnsavedChanges() {
    // Every change of the invoice area that the program does not make itself is the user's.
    auto changed = [this] {
        if (!filling_ && books_.dbMain)
            setUnsaved(true);
    };
    connect(cmb顧客名, &QComboBox::editTextChanged, this, changed);
    connect(txt顧客情報, &QPlainTextEdit::textChanged, this, changed);
    connect(dt日付, &QDateEdit::dateChanged, this, changed);
    connect(txt件名, &QLineEdit::textChanged, this, changed);
    connect(txt備考, &QPlainTextEdit::textChanged, this, changed);
    connect(dt支払期限, &QDateEdit::dateChanged, this, changed);
    connect(chk支払期限, &QCheckBox::toggled, this, changed);
    connect(dt有効期限, &QDateEdit::dateChanged, this, changed);
    connect(txt但し書き, &QLineEdit::textChanged, this, changed);
    connect(dt有効期限, &QDateEdit::dateChanged, this, [this] {
        if (!filling_)
            validityFollowsDate_ = false;
    });
    // A due date the user sets stays; until then a new invoice's follows its date.
    auto dueSet = [this] {
        if (!filling_)
            dueFollowsDate_ = false;
        dt支払期限->setEnabled(chk支払期限->isChecked());
    };
    connect(dt支払期限, &QDateEdit::dateChanged, this, dueSet);
    connect(chk支払期限, &QCheckBox::toggled, this, dueSet);
    connect(dt日付, &QDateEdit::dateChanged, this, [this](const QDate& date) {
        if (dueFollowsDate_)
            setDueDate(dueFor(date));
        if (validityFollowsDate_) {
            const QScopedValueRollback<int> notTheUser(filling_, filling_ + 1);
            dt有効期限->setDate(date.addDays(QuoteValidDays));
        }
    });
    connect(dat明細, &QAbstractItemModel::dataChanged, this, changed);
    connect(dat明細, &QAbstractItemModel::modelReset, this, changed);
    connect(dat明細, &QAbstractItemModel::rowsInserted, this, changed);
    connect(dat明細, &QAbstractItemModel::rowsRemoved, this, changed);
}

bool InvoicePage::askDiscardUnsaved() {
    return !unsaved_ || MsgConfirm(QStringLiteral("クリア"), QStringLiteral("確認"), QString());
}

void InvoicePage::rebind(bool open) {
    const QScopedValueRollback<int> notTheUser(filling_, filling_ + 1); // the same rows again, not an edit
    // The grids drop their rows (and any open cell editor) before the files go.
    for (BoundTable* t : {dat明細, dat商品参照}) {
        t->setDatabase(open ? books_.dbWork.get() : nullptr);
        t->refresh();
    }
    beforeLineOp_.reset();
    if (!open)
        return;
    // Without files the table had no columns, so the grid forgot their widths and hidden ones.
    gridScheme_.clear();
    SetInvoiceBasis(inv);
}

void InvoicePage::showKind(const QString& kind) {
    kind_ = kind;
    {
        const QSignalBlocker quiet(cmb帳票種別);
        cmb帳票種別->setCurrentText(kind);
    }
    // The invoice keeps the label it always had.
    lbl伝票番号->setText(kind == Kind請求書 ? QStringLiteral("伝票番号") : kind + QStringLiteral("番号"));
    const bool invoice = kind == Kind請求書, quote = kind == Kind見積書, receipt = kind == Kind領収書;
    for (QWidget* w : {static_cast<QWidget*>(chk支払期限), static_cast<QWidget*>(dt支払期限)})
        w->setVisible(invoice);
    lbl有効期限->setVisible(quote);
    dt有効期限->setVisible(quote);
    lbl但し書き->setVisible(receipt);
    txt但し書き->setVisible(receipt);
    // The digital invoice is an invoice's only.
    cmdデジタルインボイス->setEnabled(invoice);
    QMenu* menu = cmd作成->menu();
    menu->clear();
    for (const QString& target : ConversionTargets(kind))
        connect(menu->addAction(target), &QAction::triggered, this, [this, target] { Convert伝票(target); });
    cmd作成->setEnabled(!menu->isEmpty());
    emit kindShown(kind);
}
