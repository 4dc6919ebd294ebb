// The list page's hand-overs: the journal CSV of the listed invoices, their digital invoices, and a
// received digital invoice read to be checked.
#include "app/book_page/book_model.h"
#include "app/book_page/book_page.h"
#include "app/book_page/received_invoice.h"
#include "app/books.h"
#include "app/digital_invoice.h"
#include "app/page_parts.h"
#include "issued/stored.h"
#include "journal/formats.h"
#include "journal/stored.h"
#include "messages/msg.h"
#include "peppol/files.h"

#include <QDir>
#include <QHBoxLayout>
#include <QItemSelectionModel>

namespace {
const QString Kind仕訳 = QStringLiteral("仕訳");
} // namespace

QWidget* BookPage::buildExports() {
    cmb仕訳形式 = named(new QComboBox, QStringLiteral("cmb仕訳形式"));
    cmb仕訳形式->addItems(JournalFormatNames);
    cmb仕訳形式->setToolTip(QStringLiteral("仕訳を取り込む会計ソフト"));
    cmd仕訳CSV = button(QStringLiteral("cmd仕訳CSV"), QStringLiteral("仕訳CSV…"),
                        QStringLiteral("一覧の請求書の売上仕訳と期間の入金仕訳を会計ソフトの取込形式で書き出します"));
    cmdデジタルインボイス =
        button(QStringLiteral("cmdデジタルインボイス"), QStringLiteral("デジタルインボイス…"),
               QStringLiteral("選んだ請求書をデジタルインボイス（JP PINT）のファイルにします。1件ごとに1ファイルです"));
    cmdデジタルインボイス取込 =
        button(QStringLiteral("cmdデジタルインボイス取込"), QStringLiteral("デジタルインボイス取込…"),
               QStringLiteral("受け取ったデジタルインボイスを開いて内容と金額を確かめます"));
    auto* f = frame();
    auto* l = new QHBoxLayout(f);
    l->addWidget(cmb仕訳形式);
    for (QPushButton* b : {cmd仕訳CSV, cmdデジタルインボイス, cmdデジタルインボイス取込})
        l->addWidget(b);
    l->addStretch();
    // Several invoices can be chosen for their digital invoices; the others act on the current one.
    Grid伝票一覧->setSelectionMode(QAbstractItemView::ExtendedSelection);
    return f;
}

void BookPage::connectExports() {
    connect(cmd仕訳CSV, &QPushButton::clicked, this, &BookPage::cmd仕訳CSV_Click);
    connect(cmdデジタルインボイス, &QPushButton::clicked, this, &BookPage::cmdデジタルインボイス_Click);
    connect(cmdデジタルインボイス取込, &QPushButton::clicked, this, &BookPage::cmdデジタルインボイス取込_Click);
}

void BookPage::cmd仕訳CSV_Click() {
    if (!dat伝票一覧->searched()) {
        MsgConfirm(Kind仕訳, QStringLiteral("作成不可"), QStringLiteral("請求書を検索して一覧に表示してください。"));
        return;
    }
    const int formatIndex = std::max(0, cmb仕訳形式->currentIndex());
    const auto format = static_cast<JournalFormat>(formatIndex);
    const QString formatName = JournalFormatNames[formatIndex];
    BookQuery q = dat伝票一覧->query();
    QList<IssuedInvoice> invoices;
    JournalNames names;
    QList<qint32> changed;
    QList<Payment> payments; // received in the period, against the invoices the search finds
    QDate from = q.from.value_or(QDate()), to = q.to.value_or(QDate());
    if (from.isValid() && to.isValid() && from > to)
        std::swap(from, to);
    try {
        invoices = ReadIssued(*books_.dbMain, q);
        names = ReadJournalNames(*books_.dbMain, format);
        // An open end of the search is the period its invoices cover.
        for (const IssuedInvoice& inv : invoices) {
            const QDate d = IssueDate(inv.header);
            if (!q.from && d.isValid() && (!from.isValid() || d < from))
                from = d;
            if (!q.to && d.isValid() && (!to.isValid() || d > to))
                to = d;
        }
        if (from.isValid() && to.isValid())
            payments = ReadPeriodPayments(*books_.dbMain, q, from, to);
        changed = ChangedSinceExport(ReadJournalExports(*books_.dbMain), formatName, from, to,
                                     ReadInvoiceChanges(*books_.dbMain));
    } catch (const DbError& e) {
        notifyFailure(QStringLiteral("仕訳CSVの請求書を読み込めませんでした。"), e);
        return;
    }
    if (invoices.isEmpty()) {
        MsgConfirm(Kind仕訳, QStringLiteral("作成不可"), QStringLiteral("一覧に出力できる請求書がありません。"));
        return;
    }
    const JournalFile file = MakeJournal(format, invoices, payments, names);
    if (!file.problems.isEmpty()) {
        MsgConfirm(Kind仕訳, QStringLiteral("作成不可"), file.problems.join(u'\n'));
        return;
    }
    const QString proposed = QStringLiteral("仕訳_%1_%2-%3.csv")
                                 .arg(formatName, from.toString(QStringLiteral("yyyyMMdd")),
                                      to.toString(QStringLiteral("yyyyMMdd")));
    const QString path = books_.chooseSaveFile(window(), QStringLiteral("仕訳CSV"), proposed);
    if (path.isEmpty())
        return;
    if (!changed.isEmpty()) {
        QStringList numbers;
        for (const qint32 n : changed)
            numbers << QStringLiteral("No.%1").arg(n);
        MsgConfirm(Kind仕訳, QStringLiteral("訂正あり"), numbers.join(QStringLiteral("、")));
    }
    QString reason;
    if (!WriteJournalFile(path, file.bytes, &reason)) {
        MsgConfirm(Kind仕訳, QStringLiteral("保存失敗"), reason);
        return;
    }
    try {
        RecordJournalExport(*books_.dbMain, {formatName, from, to, QDateTime::currentDateTime()});
    } catch (const DbError& e) {
        notifyFailure(QStringLiteral("仕訳CSVは作成しましたが、出力の記録を保存できませんでした。次回の訂正の確認に"
                                     "この出力は含まれません。"),
                      e);
        return;
    }
    MsgConfirm(Kind仕訳, QStringLiteral("完了"), QDir::toNativeSeparators(path));
}

void BookPage::cmdデジタルインボイス_Click() {
    QList<qint32> numbers;
    QModelIndexList chosen = Grid伝票一覧->selectionModel()->selectedRows();
    if (chosen.isEmpty() && Grid伝票一覧->currentIndex().isValid())
        chosen << Grid伝票一覧->currentIndex();
    // Invoices only: a quote, delivery note or receipt of the same number is another document.
    for (const QModelIndex& i : chosen)
        if (const BookRow& r = dat伝票一覧->rowAt(i.row()); r.種別 == Kind請求書)
            numbers << r.伝票番号;
    std::sort(numbers.begin(), numbers.end());
    ExportDigitalInvoices(window(), books_, numbers);
}

void BookPage::cmdデジタルインボイス取込_Click() {
    const QString path = books_.chooseOpenFile(
        window(), QStringLiteral("受け取ったデジタルインボイス（XML）を選んでください"), QStringLiteral("XML (*.xml)"));
    if (path.isEmpty())
        return;
    const pint::ReadResult read = pint::ReadInvoiceFile(path);
    if (!read.ok) {
        MsgConfirm(QStringLiteral("デジタルインボイス"), QStringLiteral("読込不可"), read.reason);
        return;
    }
    auto* w = new Frmデジタルインボイス(read, path, window());
    w->show();
    if (!read.sumsAgree()) {
        QStringList disagreements;
        for (const pint::Finding& f : read.findings)
            if (f.sums)
                disagreements << f.text;
        MsgConfirm(QStringLiteral("デジタルインボイス"), QStringLiteral("不一致"), disagreements.join(u'\n'));
    }
}
