// The invoice list page: the search fields, the list, and what can be done with a listed
// invoice (open it, see its history, hand the list over as CSV).
#include "app/book_page/book_page.h"

#include "app/book_page/book_model.h"
#include "app/book_page/history_window.h"
#include "app/books.h"
#include "app/layout.h"
#include "app/page_parts.h"
#include "app/payment_dialog.h"
#include "book/csv.h"
#include "exchange/csv.h"
#include "messages/msg.h"
#include "report/preview.h"
#include "ui/number_box.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QVBoxLayout>

namespace {

// Longer text than a search takes is cut at the limit as it is typed or pasted, and the user is
// told so rather than searching for less than was asked.
void limitSearchText(QLineEdit* field) {
    field->setMaxLength(BookCustomerMaxLength);
    QObject::connect(field, &QLineEdit::inputRejected, field, [] {
        MsgConfirm(QStringLiteral("その他"), QStringLiteral("注意"),
                   msg::text(QStringLiteral("文言"), QStringLiteral("検索文字数"), QString::number(BookCustomerMaxLength)));
    });
}

} // namespace

BookPage::BookPage(Books& books) : books_(books) {
    build();
    // Other books put in place: the list of the former ones goes, as at a fresh start.
    connect(&books_, &Books::swapped, dat伝票一覧, &BookModel::clear);
}

void BookPage::build() {
    auto* outer = new QVBoxLayout(this);
    auto* body = frame();
    outer->addWidget(body);
    auto* v = new QVBoxLayout(body);

    const QDate today = QDate::currentDate();
    chk検索開始 = named(new QCheckBox(QStringLiteral("日付")), QStringLiteral("chk検索開始"));
    dt検索開始 = named(new QDateEdit(QDate(today.year(), 1, 1)), QStringLiteral("dt検索開始"));
    chk検索終了 = named(new QCheckBox(QStringLiteral("～")), QStringLiteral("chk検索終了"));
    dt検索終了 = named(new QDateEdit(today), QStringLiteral("dt検索終了"));
    for (QDateEdit* d : {dt検索開始, dt検索終了}) {
        d->setDisplayFormat(layout::dateFormat);
        d->setCalendarPopup(true);
        d->setEnabled(false); // switched on by its check box
    }
    cmb検索種別 = named(new QComboBox, QStringLiteral("cmb検索種別"));
    cmb検索種別->addItems(QStringList{QStringLiteral("すべて")} + DocumentKinds);
    cmb検索種別->setCurrentText(Kind請求書);
    cmb検索種別->setToolTip(QStringLiteral("一覧に表示する帳票の種類"));
    txt検索顧客 = named(new QLineEdit, QStringLiteral("txt検索顧客"));
    txt検索顧客->setToolTip(QStringLiteral("顧客名か顧客情報の一部"));
    limitSearchText(txt検索顧客);
    num検索下限 = named(new NumberBox(NumberBox::Format::Plain), QStringLiteral("num検索下限"));
    num検索上限 = named(new NumberBox(NumberBox::Format::Plain), QStringLiteral("num検索上限"));
    chk削除済み = named(new QCheckBox(QStringLiteral("削除済みも表示")), QStringLiteral("chk削除済み"));
    cmb検索入金状態 = named(new QComboBox, QStringLiteral("cmb検索入金状態"));
    cmb検索入金状態->addItems({QStringLiteral("すべて"), QStringLiteral("未入金・一部"), QStringLiteral("期限超過"),
                              QStringLiteral("入金済")});
    cmb検索入金状態->setToolTip(QStringLiteral("入金の状態で絞り込みます。削除済みの伝票は含みません"));
    cmd検索 =
        button(QStringLiteral("cmd検索"), QStringLiteral("検索"), QStringLiteral("条件に合う伝票を一覧に表示します"));

    auto* fields = new QGridLayout;
    fields->addWidget(chk検索開始, 0, 0);
    fields->addWidget(dt検索開始, 0, 1);
    fields->addWidget(chk検索終了, 0, 2);
    fields->addWidget(dt検索終了, 0, 3);
    fields->addWidget(new QLabel(QStringLiteral("顧客")), 1, 0);
    fields->addWidget(txt検索顧客, 1, 1, 1, 3);
    fields->addWidget(new QLabel(QStringLiteral("合計")), 2, 0);
    fields->addWidget(num検索下限, 2, 1);
    fields->addWidget(new QLabel(QStringLiteral("～")), 2, 2, Qt::AlignCenter);
    fields->addWidget(num検索上限, 2, 3);
    fields->addWidget(chk削除済み, 0, 4);
    auto* pickers = new QHBoxLayout;
    pickers->addWidget(cmb検索種別);
    pickers->addWidget(cmb検索入金状態);
    fields->addLayout(pickers, 1, 4);
    fields->addWidget(cmd検索, 2, 4);
    fields->setColumnStretch(5, 1);
    v->addLayout(fields);

    Grid伝票一覧 = named(new QTableView, QStringLiteral("Grid伝票一覧"));
    dat伝票一覧 = named(new BookModel(books_.dbMain, this), QStringLiteral("dat伝票一覧"));
    Grid伝票一覧->setModel(dat伝票一覧);
    readOnlyRows(Grid伝票一覧);
    Grid伝票一覧->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    Grid伝票一覧->horizontalHeader()->setSortIndicator(static_cast<int>(BookColumn::日付), Qt::AscendingOrder);
    Grid伝票一覧->setSortingEnabled(true);
    for (int c = 0; c < layout::bookColumnTwips.size(); ++c)
        Grid伝票一覧->setColumnWidth(c, twipsToPixels(layout::bookColumnTwips[c], Grid伝票一覧));
    Grid伝票一覧->horizontalHeader()->setStretchLastSection(true); // the list fills the page
    v->addWidget(Grid伝票一覧, 1);

    cmd履歴 = button(QStringLiteral("cmd履歴"), QStringLiteral("履歴"),
                     QStringLiteral("選んだ伝票の訂正・削除の履歴を表示します"));
    cmd一覧CSV = button(QStringLiteral("cmd一覧CSV"), QStringLiteral("CSV出力"),
                        QStringLiteral("一覧の伝票とその明細をCSVファイルに書き出します"));
    cmd入金 = button(QStringLiteral("cmd入金"), QStringLiteral("入金…"), QStringLiteral("選んだ伝票の入金を記録します"));
    v->addWidget(buttonFrame({cmd履歴, cmd一覧CSV, cmd入金}));
    v->addWidget(buildExports());
}

void BookPage::FormInit() {
    connect(chk検索開始, &QCheckBox::toggled, dt検索開始, &QWidget::setEnabled);
    connect(chk検索終了, &QCheckBox::toggled, dt検索終了, &QWidget::setEnabled);
    connect(cmd検索, &QPushButton::clicked, this, &BookPage::Search伝票一覧);
    for (QWidget* w : std::initializer_list<QWidget*>{chk検索開始, dt検索開始, chk検索終了, dt検索終了, txt検索顧客,
                                                      num検索下限, num検索上限, chk削除済み, cmb検索種別,
                                                      cmb検索入金状態})
        onEnter(w, [this] { Search伝票一覧(); });
    onEnter(Grid伝票一覧, [this] { Grid伝票一覧_Open(); });
    connect(Grid伝票一覧, &QAbstractItemView::doubleClicked, this, &BookPage::Grid伝票一覧_Open);
    connect(cmd履歴, &QPushButton::clicked, this, &BookPage::cmd履歴_Click);
    connect(cmd一覧CSV, &QPushButton::clicked, this, &BookPage::cmd一覧CSV_Click);
    connect(cmd入金, &QPushButton::clicked, this, &BookPage::cmd入金_Click);
    connectExports();
    dat伝票一覧->onFailure = [this](const DbError& e) {
        notifyFailure(QStringLiteral("伝票一覧を読み込めませんでした。"), e);
    };
}

void BookPage::Search伝票一覧() {
    BookQuery q;
    if (chk検索開始->isChecked())
        q.from = dt検索開始->date();
    if (chk検索終了->isChecked())
        q.to = dt検索終了->date();
    q.customer = txt検索顧客->text().trimmed();
    q.min = num検索下限->value();
    q.max = num検索上限->value();
    q.withDeleted = chk削除済み->isChecked();
    q.paid = static_cast<BookQuery::Paid>(std::max(0, cmb検索入金状態->currentIndex()));
    q.kind = cmb検索種別->currentIndex() > 0 ? cmb検索種別->currentText() : QString();
    dat伝票一覧->search(q);
    if (dat伝票一覧->rowCount() > 0)
        Grid伝票一覧->setCurrentIndex(dat伝票一覧->index(0, 0));
}

void BookPage::ShowOpenInvoicesOf(const QString& customer) {
    for (QCheckBox* c : {chk検索開始, chk検索終了, chk削除済み})
        c->setChecked(false);
    txt検索顧客->setText(customer.left(BookCustomerMaxLength));
    num検索下限->clearValue();
    num検索上限->clearValue();
    cmb検索種別->setCurrentText(Kind請求書);
    cmb検索入金状態->setCurrentIndex(static_cast<int>(BookQuery::Paid::Open));
    BookQuery q;
    q.customer = txt検索顧客->text();
    q.customerExact = customer; // this customer's only, not every name containing it
    q.paid = BookQuery::Paid::Open;
    dat伝票一覧->search(q);
    if (dat伝票一覧->rowCount() > 0)
        Grid伝票一覧->setCurrentIndex(dat伝票一覧->index(0, 0));
}

void BookPage::cmd入金_Click() {
    const int row = Grid伝票一覧->currentIndex().row();
    if (row < 0)
        return;
    const BookRow& r = dat伝票一覧->rowAt(row);
    if (r.deleted)
        return;
    if (r.種別 != Kind請求書) {
        MsgConfirm(QStringLiteral("入金"), QStringLiteral("請求書のみ"), r.種別);
        return;
    }
    // The list shows the new figures once the dialog closes, the current row kept.
    OpenPayments(window(), books_, r.伝票番号, [this, row] {
        dat伝票一覧->search(dat伝票一覧->query());
        if (row < dat伝票一覧->rowCount())
            Grid伝票一覧->setCurrentIndex(dat伝票一覧->index(row, 0));
    });
}

void BookPage::Grid伝票一覧_Open() {
    const int row = Grid伝票一覧->currentIndex().row();
    if (row < 0)
        return;
    const BookRow& r = dat伝票一覧->rowAt(row);
    if (r.deleted) // it lives in the history only: there is nothing to load
        return;
    emit openRequested(r.伝票番号, r.種別);
}

void BookPage::cmd履歴_Click() {
    const int row = Grid伝票一覧->currentIndex().row();
    if (row < 0)
        return;
    try {
        const BookRow& listed = dat伝票一覧->rowAt(row);
        auto* w = new Frm履歴(
            *books_.dbMain, listed.伝票番号, listed.種別, listed.世代,
            [this, number = listed.伝票番号](const InvoiceVersion& v, const std::vector<VersionLine>& l) {
                PrintVersion(number, v, l);
            },
            window());
        w->show();
    } catch (const DbError& e) {
        notifyFailure(QStringLiteral("履歴を読み込めませんでした。"), e);
    }
}

void BookPage::cmd一覧CSV_Click() {
    const QString path =
        books_.chooseSaveFile(window(), QStringLiteral("CSV出力"),
                              QStringLiteral("伝票一覧_") + QDate::currentDate().toString(QStringLiteral("yyyyMMdd")) +
                                  QStringLiteral(".csv"));
    if (path.isEmpty())
        return;
    std::vector<BookRow> rows;
    std::vector<BookLine> lines;
    // The rows of the search on the list, all of them, in the order shown.
    if (dat伝票一覧->searched()) {
        try {
            rows = Search伝票(*books_.dbMain, dat伝票一覧->query(), dat伝票一覧->order(), 0, -1);
            lines = Search伝票明細(*books_.dbMain, dat伝票一覧->query());
        } catch (const DbError& e) {
            notifyFailure(QStringLiteral("伝票一覧を読み込めませんでした。"), e);
            return;
        }
    }
    // The list and its lines are one hand-over: both files are written, or neither changes.
    QString reason;
    if (!writeCsvFiles({{path, writeCsv(bookCsvRows(rows))}, {linesCsvPath(path), writeCsv(bookLineCsvRows(lines))}},
                       &reason))
        MsgConfirm(QStringLiteral("CSV"), QStringLiteral("書込失敗"), reason);
}

void BookPage::PrintVersion(qint32 number, const InvoiceVersion& v, const std::vector<VersionLine>& lines) {
    auto amount = [](const Value& x) -> std::optional<double> {
        if (x.isNull())
            return std::nullopt;
        return x.toCurrency().toDouble();
    };
    PrintValues p;
    const QDate date = QDate::fromString(v.日付, QStringLiteral("yyyy/MM/dd"));
    p.prn日付 = date.isValid() ? date.toString(layout::dateFormat) : QString();
    p.prn伝票番号 = QString::number(number);
    p.prn顧客情報 = v.顧客情報;
    p.prn顧客名 = v.顧客名;
    p.prn敬称 = v.敬称;
    p.prn件名 = v.件名;
    p.prn備考 = v.備考;
    p.prn振込先 = v.振込先; // the account the version named
    p.prn支払期限 = QDate::fromString(v.支払期限, QStringLiteral("yyyy/MM/dd"));
    p.prn種別 = v.種別;
    p.prn有効期限 = QDate::fromString(v.有効期限, QStringLiteral("yyyy/MM/dd"));
    p.prn但し書き = v.但し書き;
    // The company as the settings page shows it, as every print does.
    printCompany(p, books_.companyShown());
    p.prn税抜計 = amount(v.税抜計);
    p.prn消費税 = amount(v.消費税);
    p.prn合計 = amount(v.合計);
    p.prn請求金額 = amount(v.合計);
    // A qualified invoice prints with the basis it was issued under.
    p.prn適格 = v.税率方式 == Scheme10_8;
    if (p.prn適格) {
        p.prn内税 = v.税区分 == QStringLiteral("内税");
        p.prn登録番号 = v.登録番号;
        p.prn対象10 = amount(v.対象10);
        p.prn消費税10 = amount(v.消費税10);
        p.prn対象8 = amount(v.対象8);
        p.prn消費税8 = amount(v.消費税8);
    }
    std::vector<DetailRecord> rows;
    for (const VersionLine& l : lines) {
        const int rate = LineRate(l.税率, l.非課税.toBool());
        rows.push_back({printField(l.品名), printField(l.数量), printField(l.単位), printField(l.単価),
                        printField(l.金額), p.prn適格 && rate == 8, p.prn適格 && rate == 0});
    }
    try {
        showPreview(window(), printedReport(*books_.dbMain, std::move(p), std::move(rows)));
    } catch (const DbError& e) {
        notifyFailure(QStringLiteral("請求締めを読めないため印刷できません。"), e);
    }
}
