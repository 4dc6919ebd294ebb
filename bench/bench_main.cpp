// Prints the program's figures: median and spread over repeated runs, and where it says
// "ratio", the same work done directly through SQLite in the same run.
#include "app/book_page/book_model.h"
#include "app/book_page/book_page.h"
#include "app/frm_vornisa.h"
#include "app/invoice_page/invoice_page.h"
#include "app/master_pages/customer_page.h"
#include "app/receivables_page/receivables_page.h"
#include "book/search.h"
#include "exchange/master_csv.h"
#include "fault_vfs.h"
#include "invoice/invoice_io.h"
#include "invoice/numbering.h"
#include "masters/customers.h"
#include "masters/products.h"
#include "messages/msg.h"
#include "payments/cutoff.h"
#include "payments/receivables.h"
#include "report/invoice_report.h"
#include "store/dialect.h"
#include "store/server_book.h"
#include "store/statements.h"
#include "store/tables.h"
#include "support/testdb.h"
#include "support/typing.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryFile>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <sqlite3.h>

namespace {

struct Stats {
    double median, min, max;
};

// `prepare` runs before each timed run, outside the clock.
Stats measure(int runs, const std::function<void()>& work, const std::function<void()>& prepare = {}) {
    std::vector<double> t;
    for (int i = 0; i < runs; ++i) {
        if (prepare)
            prepare();
        QElapsedTimer timer;
        timer.start();
        work();
        t.push_back(timer.nsecsElapsed() / 1000.0);
    }
    std::sort(t.begin(), t.end());
    return {t[t.size() / 2], t.front(), t.back()};
}

void row(const QString& what, Stats s, const char* unit = "us", double ratioTo = 0) {
    const double k = std::string(unit) == "ms" ? 1000.0 : 1.0;
    std::printf("| %-52s | %10.1f | %10.1f | %10.1f | %-2s |", qPrintable(what), s.median / k, s.min / k, s.max / k,
                unit);
    if (ratioTo > 0)
        std::printf(" %6.1fx |", s.median / ratioTo);
    else
        std::printf("        |");
    std::printf("\n");
    std::fflush(stdout);
}

void header(const char* title) {
    std::printf("\n### %s\n\n| what | median | min | max | unit | ratio to raw SQLite |\n|---|---|---|---|---|---|\n",
                title);
}

void rawExec(sqlite3* db, const char* sql) {
    sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
}

void fillMasters(const TestData& data, int n) {
    sqlite3* db = nullptr;
    sqlite3_open(data.mainPath().toUtf8().constData(), &db);
    rawExec(db, "BEGIN");
    sqlite3_stmt* c = nullptr;
    sqlite3_stmt* p = nullptr;
    // Columns named: the masters have grown columns since, which a bare VALUES list would miss.
    sqlite3_prepare_v2(db, "INSERT INTO 顧客マスタ (顧客名, 顧客情報) VALUES (?, '東京都千代田区')", -1, &c, nullptr);
    sqlite3_prepare_v2(db, "INSERT INTO 商品マスタ (品名, 単位, 単価, 非課税) VALUES (?, '個', 1000000, 0)", -1, &p,
                       nullptr);
    for (int i = 0; i < n; ++i) {
        const QByteArray cn = QStringLiteral("顧客%1").arg(i, 6, 10, QChar(u'0')).toUtf8();
        const QByteArray pn = QStringLiteral("商品%1").arg(i, 6, 10, QChar(u'0')).toUtf8();
        sqlite3_bind_text(c, 1, cn.constData(), cn.size(), SQLITE_TRANSIENT);
        sqlite3_bind_text(p, 1, pn.constData(), pn.size(), SQLITE_TRANSIENT);
        // A fill that fails would measure empty masters.
        if (sqlite3_step(c) != SQLITE_DONE || sqlite3_step(p) != SQLITE_DONE)
            qFatal("filling the masters failed: %s", sqlite3_errmsg(db));
        sqlite3_reset(c);
        sqlite3_reset(p);
    }
    sqlite3_finalize(c);
    sqlite3_finalize(p);
    rawExec(db, "COMMIT");
    sqlite3_close(db);
}

std::unique_ptr<FrmVornisa> startWindow(const TestData& data, const QString& marker) {
    auto w = std::make_unique<FrmVornisa>();
    w->Form_Load(QStringLiteral("/nonexistent"), DataFolderRule{marker, data.folder()});
    w->show();
    QApplication::processEvents();
    return w;
}

void fillLines(Database& work, int lines) {
    for (int r = 0; r < lines; ++r)
        work.executeRaw(
            QStringLiteral("UPDATE w明細 SET 品名='品%1', 数量=%2, 単価=1000000, 金額=%3, 単位='個' WHERE 行番号=%4")
                .arg(r)
                .arg(r + 1)
                .arg((r + 1) * 1000000LL)
                .arg(r + 1));
}

void bench_edit(const QString& marker) {
    header("1. Editing a line (one accepted cell edit through the real window)");
    TestData data;
    auto w = startWindow(data, marker);
    BoundTable* t = w->invoice->dat明細;
    const QModelIndex price = t->index(0, t->fieldIndex(QStringLiteral("単価")));
    const QModelIndex qty = t->index(0, t->fieldIndex(QStringLiteral("数量")));
    t->setData(price, QStringLiteral("120"), Qt::EditRole);
    w->invoice->Grid明細->setCurrentIndex(qty);
    int i = 0;
    faultvfs::arm(faultvfs::Sync, 0);
    const Stats edit = measure(300, [&] { t->setData(qty, QString::number(1 + (i++ % 9)), Qt::EditRole); });
    const int syncs = faultvfs::calls();
    faultvfs::disarm();
    sqlite3* raw = w->books.dbWork->handle();
    sqlite3_stmt* up = nullptr;
    sqlite3_prepare_v2(raw, "UPDATE w明細 SET 数量=?, 金額=? WHERE rowid=1", -1, &up, nullptr);
    sqlite3_stmt* s1 = nullptr;
    sqlite3_stmt* s2 = nullptr;
    sqlite3_prepare_v2(raw, "SELECT sum(金額) FROM w明細", -1, &s1, nullptr);
    sqlite3_prepare_v2(raw, "SELECT sum(金額) FROM w明細 WHERE 非課税=0", -1, &s2, nullptr);
    const Stats rawEdit = measure(300, [&] {
        sqlite3_bind_int(up, 1, 1 + (i % 9));
        sqlite3_bind_int64(up, 2, 1200000LL * (1 + (i++ % 9)));
        sqlite3_step(up);
        sqlite3_reset(up);
        for (sqlite3_stmt* s : {s1, s2}) {
            sqlite3_step(s);
            sqlite3_reset(s);
        }
    });
    sqlite3_finalize(up);
    sqlite3_finalize(s1);
    sqlite3_finalize(s2);
    row("quantity edit: rule, write, totals, refresh", edit, "us", rawEdit.median);
    row("raw: update + two sums", rawEdit);
    std::printf("\nSyncs to the disk over 300 edits: %d (the work file is scratch).\n", syncs);
}

void bench_register(const QString&) {
    header("2. Registering and deleting a 30-line invoice (main file fully synced)");
    TestData data;
    auto main = data.openMain();
    auto work = data.openWork();
    work->execute(sql::I10());
    for (int r = 1; r <= 30; ++r)
        work->executeRaw(QStringLiteral("INSERT INTO w明細 (行番号, 非課税) VALUES (%1, 0)").arg(r));
    fillLines(*work, 30);
    InvoiceHeader h;
    h.date = QStringLiteral("2026/12/08");
    h.顧客名 = QStringLiteral("山田商店");
    h.税抜計 = Currency::fromWhole(465000000);
    // Every commit on either file is counted, so the figure says what the routine really does.
    int commits = 0;
    const auto count = [](void* n) {
        ++*static_cast<int*>(n);
        return 0;
    };
    sqlite3_commit_hook(main->handle(), count, &commits);
    sqlite3_commit_hook(work->handle(), count, &commits);
    int n = 1;
    faultvfs::arm(faultvfs::Sync, 0); // counts the syncs that reach the disk, fails none
    const Stats reg = measure(30, [&] {
        h.number = n++;
        Entry請求書(*main, *work, h);
    });
    const int registerCommits = commits, registerSyncs = faultvfs::calls();
    commits = 0;
    faultvfs::arm(faultvfs::Sync, 0);
    int d = 1;
    const Stats del = measure(30, [&] { Delete請求書(*main, d++); });
    const int deleteCommits = commits, deleteSyncs = faultvfs::calls();
    faultvfs::disarm();
    sqlite3_commit_hook(main->handle(), nullptr, nullptr);
    sqlite3_commit_hook(work->handle(), nullptr, nullptr);
    sqlite3* raw = main->handle();
    int k = 100000;
    const Stats rawReg = measure(30, [&] {
        rawExec(raw, "BEGIN IMMEDIATE");
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(
            raw, "INSERT INTO 請求書 VALUES (?, '山田商店', '2026/12/08', ?, 1, '品', 1, '個', 1000000, 1000000, 0)",
            -1, &st, nullptr);
        for (int r = 0; r < 30; ++r) {
            sqlite3_bind_int(st, 1, k);
            sqlite3_bind_int(st, 2, r);
            sqlite3_step(st);
            sqlite3_reset(st);
        }
        sqlite3_finalize(st);
        rawExec(raw, ("INSERT INTO 請求書ヘッダ (伝票番号) VALUES (" + std::to_string(k++) + ")").c_str());
        rawExec(raw, "COMMIT");
    });
    row("register (masters, old copy, 30 lines, header, counter)", reg, "ms", rawReg.median);
    row("delete", del, "ms");
    row("raw: 30 lines + header in one transaction", rawReg, "ms");
    std::printf("\nPer register: %.1f commits, %.1f syncs; per delete: %.1f commits, %.1f syncs.\n",
                registerCommits / 30.0, registerSyncs / 30.0, deleteCommits / 30.0, deleteSyncs / 30.0);
}

// A book spread over ten years and 10,000 customers, ten lines an invoice, written raw.
void fillBook(const TestData& data, int invoices) {
    sqlite3* db = nullptr;
    sqlite3_open(data.mainPath().toUtf8().constData(), &db);
    rawExec(db, "PRAGMA synchronous=OFF; BEGIN");
    sqlite3_stmt* l = nullptr;
    sqlite3_stmt* hd = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO 請求書 (伝票番号, 顧客名, 日付, 行番号, 伝票区分, 品名, 数量, 単位, 単価, 金額) "
                       "VALUES (?, ?, ?, ?, 1, '品名', 1, '個', 10000, 10000)",
                       -1, &l, nullptr);
    sqlite3_prepare_v2(db,
                       "INSERT INTO 請求書ヘッダ (伝票番号, 日付, 顧客名, 顧客情報, 消費税, 税抜計, 合計) "
                       "VALUES (?, ?, ?, ?, ?, ?, ?)",
                       -1, &hd, nullptr);
    const QDate first(2016, 1, 1);
    for (int inv = 1; inv <= invoices; ++inv) {
        const QByteArray date = first.addDays(inv * 3650LL / invoices).toString(QStringLiteral("yyyy/MM/dd")).toUtf8();
        const QByteArray name = QStringLiteral("顧客%1").arg(inv * 7919 % 10000, 5, 10, QChar(u'0')).toUtf8();
        const QByteArray details = QStringLiteral("東京都千代田区%1丁目").arg(inv % 50).toUtf8();
        const qint64 net = (inv * 104729LL % 1000000) * 10000;
        sqlite3_bind_int(hd, 1, inv);
        sqlite3_bind_text(hd, 2, date.constData(), date.size(), SQLITE_TRANSIENT);
        sqlite3_bind_text(hd, 3, name.constData(), name.size(), SQLITE_TRANSIENT);
        sqlite3_bind_text(hd, 4, details.constData(), details.size(), SQLITE_TRANSIENT);
        sqlite3_bind_int64(hd, 5, net / 10);
        sqlite3_bind_int64(hd, 6, net);
        sqlite3_bind_int64(hd, 7, net + net / 10);
        sqlite3_step(hd);
        sqlite3_reset(hd);
        for (int r = 0; r < 10; ++r) {
            sqlite3_bind_int(l, 1, inv);
            sqlite3_bind_text(l, 2, name.constData(), name.size(), SQLITE_TRANSIENT);
            sqlite3_bind_text(l, 3, date.constData(), date.size(), SQLITE_TRANSIENT);
            sqlite3_bind_int(l, 4, r);
            sqlite3_step(l);
            sqlite3_reset(l);
        }
    }
    sqlite3_finalize(l);
    sqlite3_finalize(hd);
    rawExec(db, "COMMIT");
    sqlite3_close(db);
}

void bench_load(const QString& marker) {
    header("3. Loading an invoice by number, by size of the book (ten lines per invoice)");
    for (int invoices : {1000, 100000}) {
        TestData data;
        fillBook(data, invoices); // the load must not grow with the book
        auto w = startWindow(data, marker);
        int n = 1;
        const auto next = [&] { return 1 + (n++ * 7919) % invoices; };
        const Stats window = measure(50, [&] {
            w->invoice->txtNo->setText(QString::number(next()));
            w->invoice->Read請求書();
        });
        auto main = data.openMain();
        auto work = data.openWork();
        const Stats lines = measure(200, [&] { ::Read請求書(*main, *work, next()); });
        const Stats head = measure(200, [&] { (void)Read請求書ヘッダ(*main, next()); });
        row(QStringLiteral("%1 invoices: window, grid and totals").arg(invoices), window, "us");
        row(QStringLiteral("%1 invoices: lines into the work file").arg(invoices), lines, "us");
        row(QStringLiteral("%1 invoices: header look-up").arg(invoices), head, "us");
    }
}

void bench_startup(const QString& marker) {
    header("4. Start-up to the first shown window, and a new invoice, by master size");
    for (int size : {100, 10000, 100000}) {
        TestData data;
        fillMasters(data, size);
        const Stats start = measure(3, [&] { startWindow(data, marker); });
        auto w = startWindow(data, marker);
        const Stats clear = measure(5, [&] { w->invoice->Clear請求書(true); });
        // Typing into the customer box completes against the whole list.
        QLineEdit* customer = w->invoice->cmb顧客名->lineEdit();
        int typed = 0;
        const Stats key = measure(
            20,
            [&] {
                customer->setFocus();
                typeText(customer, QStringLiteral("顧客%1").arg(typed++ * 37 % 10000, 4, 10, QChar(u'0')));
                QApplication::processEvents();
            },
            [&] { customer->clear(); });
        // The grid's product cell opens a drop-down over the whole pick list.
        const QModelIndex name = w->invoice->dat明細->index(0, 1);
        const Stats pick = measure(20, [&] {
            w->invoice->Grid明細->openPersistentEditor(name);
            QApplication::processEvents();
            w->invoice->Grid明細->closePersistentEditor(name);
            w->invoice->Grid明細->setFocus();
            QApplication::processEvents();
        });
        row(QStringLiteral("start-up, %1 customers and products").arg(size), start, "ms");
        row(QStringLiteral("new invoice, %1 customers and products").arg(size), clear, "ms");
        row(QStringLiteral("typing 8 letters into the customer box, %1").arg(size), key, "ms");
        row(QStringLiteral("opening the product cell's drop-down, %1").arg(size), pick, "ms");
    }
}

void bench_masters(const QString& marker) {
    header("5. Reading and registering a master page");
    for (int size : {10000, 100000}) {
        TestData data;
        fillMasters(data, size);
        auto main = data.openMain();
        auto work = data.openWork();
        const Stats read = measure(3, [&] { Read顧客マスタ(*work, data.mainPath()); });
        Entry顧客情報(*main, *work);
        const Stats reg = measure(3, [&] { Entry顧客情報(*main, *work); });
        int round = 0;
        const Stats changed = measure(
            3, [&] { Entry顧客情報(*main, *work); },
            [&] { work->executeRaw(QStringLiteral("UPDATE w顧客マスタ SET 顧客情報 = '住所%1'").arg(round++)); });
        // The same through the window: the page's grid shows what was read or registered.
        auto w = startWindow(data, marker);
        w->tab->setCurrentIndex(1);
        const Stats readWindow = measure(3, [&] {
            w->customers->Read顧客マスタ();
            QApplication::processEvents();
        });
        const Stats regWindow = measure(3, [&] {
            w->customers->Entry顧客情報();
            QApplication::processEvents();
        });
        row(QStringLiteral("customers: read %1").arg(size), read, "ms");
        row(QStringLiteral("customers: register %1, none changed").arg(size), reg, "ms");
        row(QStringLiteral("customers: register %1, every row changed").arg(size), changed, "ms");
        row(QStringLiteral("window: read %1 and show the page").arg(size), readWindow, "ms");
        row(QStringLiteral("window: register %1 and show the page").arg(size), regWindow, "ms");
    }
}

void bench_pdf(const QString&) {
    header("6. Rendering the printed invoice to PDF (one page)");
    PrintValues p;
    p.prn日付 = QStringLiteral("2026年12月08日");
    p.prn顧客名 = QStringLiteral("株式会社テスト");
    p.prn合計 = 1234567;
    std::vector<DetailRecord> rows(30);
    for (int i = 0; i < 3; ++i)
        rows[i] = {QStringLiteral("品名%1").arg(i), 2.0, QStringLiteral("個"), 1000.0, 2000.0};
    QTemporaryFile pdf;
    pdf.open();
    const Stats render = measure(10, [&] { rpt請求書(p, rows).exportPdf(pdf.fileName()); });
    row("render and write one page", render, "ms");
}

// The same statement the list sends, prepared and stepped directly, every row read.
double rawQuery(sqlite3* db, const QString& dialectSql, int runs) {
    const QByteArray text = rewriteStatement(dialectSql, {}).sql.toUtf8();
    return measure(runs,
                   [&] {
                       sqlite3_stmt* st = nullptr;
                       sqlite3_prepare_v2(db, text.constData(), -1, &st, nullptr);
                       while (sqlite3_step(st) == SQLITE_ROW)
                           for (int c = 0; c < sqlite3_column_count(st); ++c)
                               (void)sqlite3_column_value(st, c);
                       sqlite3_finalize(st);
                   })
        .median;
}

void bench_search(const QString& marker) {
    std::printf("\nFirst page: %d rows; the list reads %d more each time the grid scrolls to its end.\n",
                BookModel::FirstPage, BookModel::NextPage);
    header("8. 検索: the invoice list's first rows, 100,000 invoices and 1,000,000 lines");
    TestData data;
    fillBook(data, 100000);
    auto w = startWindow(data, marker);
    w->tab->setCurrentIndex(4);
    sqlite3* raw = w->books.dbMain->handle();
    struct Case {
        QString label;
        std::function<void()> set; // puts the condition into the page's fields
        BookQuery query;           // the same condition for the direct run
        int sortColumn = 1;
        Qt::SortOrder sortOrder = Qt::AscendingOrder;
    };
    auto reset = [&] {
        w->book->chk検索開始->setChecked(false);
        w->book->chk検索終了->setChecked(false);
        w->book->txt検索顧客->clear();
        w->book->num検索下限->clear();
        w->book->num検索上限->clear();
        w->book->chk削除済み->setChecked(false);
    };
    BookQuery rare, common, month, monthAndCustomer, everything, deleted, range;
    rare.customer = QStringLiteral("顧客01234");
    common.customer = QStringLiteral("千代田区");
    month.from = QDate(2020, 6, 1);
    month.to = QDate(2020, 6, 30);
    monthAndCustomer = month;
    monthAndCustomer.customer = QStringLiteral("顧客0");
    deleted = rare;
    deleted.withDeleted = true;
    range.min = Currency::fromWhole(500000);
    range.max = Currency::fromWhole(501000);
    const QList<Case> cases = {
        {QStringLiteral("customer part, one customer (10 rows)"), [&] { w->book->txt検索顧客->setText(rare.customer); },
         rare},
        {QStringLiteral("customer part in every row's details"),
         [&] { w->book->txt検索顧客->setText(common.customer); }, common},
        {QStringLiteral("date range, one month"),
         [&] {
             w->book->chk検索開始->setChecked(true);
             w->book->dt検索開始->setDate(*month.from);
             w->book->chk検索終了->setChecked(true);
             w->book->dt検索終了->setDate(*month.to);
         },
         month},
        {QStringLiteral("date range and customer part"),
         [&] {
             w->book->chk検索開始->setChecked(true);
             w->book->dt検索開始->setDate(*month.from);
             w->book->chk検索終了->setChecked(true);
             w->book->dt検索終了->setDate(*month.to);
             w->book->txt検索顧客->setText(monthAndCustomer.customer);
         },
         monthAndCustomer},
        {QStringLiteral("customer part, deleted included"),
         [&] {
             w->book->txt検索顧客->setText(rare.customer);
             w->book->chk削除済み->setChecked(true);
         },
         deleted},
        {QStringLiteral("range of the total"),
         [&] {
             w->book->num検索下限->setText(QStringLiteral("500000"));
             w->book->num検索上限->setText(QStringLiteral("501000"));
         },
         range},
        {QStringLiteral("nothing set, by date"), [] {}, everything},
        {QStringLiteral("nothing set, sorted by total descending"), [] {}, everything, 5, Qt::DescendingOrder},
    };
    for (const Case& c : cases) {
        reset();
        c.set();
        w->book->Grid伝票一覧->sortByColumn(c.sortColumn, c.sortOrder);
        const Stats shown = measure(20, [&] {
            w->book->cmd検索->click();
            QApplication::processEvents(); // the grid paints its first rows
        });
        const BookOrder order{static_cast<BookColumn>(c.sortColumn), c.sortOrder == Qt::DescendingOrder};
        const double direct = rawQuery(raw, Search伝票Statement(c.query, order, 0, BookModel::FirstPage), 20);
        row(QStringLiteral("検索: ") + c.label, shown, "ms", direct);
        row(QStringLiteral("検索: raw, same statement, %1 rows").arg(w->book->dat伝票一覧->rowCount()),
            Stats{direct, direct, direct}, "ms");
    }
}

// The same book of 100,000 invoices in the file and on the test server (`make bench` starts one):
// register, load and search through the same routines; the ratio is the server's to the file's.
void bench_server(const QString&) {
    header("12. The book on a PostgreSQL server (local socket) next to the file, 100,000 invoices");
    std::printf("(ratio column: server to file)\n\n");
    if (!serverTestsPossible()) {
        std::printf("No test server: run through `make bench`.\n");
        return;
    }
    TestData data;
    fillBook(data, 100000);
    Proc管理(*data.openMain(), QStringLiteral("最大請求書番号"), QStringLiteral("Set"), QStringLiteral("100000"));
    ServerDatabase db;
    copyBookToServer(*data.openMain(), *Database::connect(db.connection, {}));
    auto file = data.openMain();
    auto server = Database::connect(db.connection, mainTables);
    auto work = data.openWork();
    work->execute(sql::I10());
    for (int r = 1; r <= 30; ++r)
        work->executeRaw(QStringLiteral("INSERT INTO w明細 (行番号, 非課税) VALUES (%1, 0)").arg(r));
    fillLines(*work, 30);
    for (Database* main : {file.get(), server.get()}) // both warmed alike
        (void)Read請求書ヘッダ(*main, 1);
    const auto each = [&](const std::function<void(Database&)>& work, int runs) {
        return std::pair{measure(runs, [&] { work(*file); }), measure(runs, [&] { work(*server); })};
    };
    InvoiceHeader h;
    h.date = QStringLiteral("2026/12/08");
    h.顧客名 = QStringLiteral("山田商店");
    h.expect = InvoiceHeader::Expect::NextNumber;
    const auto reg = each([&](Database& main) { Entry請求書(main, *work, h); }, 30);
    int n = 1;
    const auto load = each(
        [&](Database& main) {
            const qint32 number = 1 + (n++ * 7919) % 100000;
            (void)Read請求書ヘッダ(main, number);
            ::Read請求書(main, *work, number);
        },
        100);
    BookQuery month, customer;
    month.from = QDate(2020, 6, 1);
    month.to = QDate(2020, 6, 30);
    customer.customer = QStringLiteral("顧客01234");
    const auto search = [&](const BookQuery& q) {
        return each(
            [&](Database& main) {
                (void)main.openRecordset(Search伝票Statement(q, BookOrder{}, 0, BookModel::FirstPage));
            },
            20);
    };
    const auto byMonth = search(month), byCustomer = search(customer), everything = search({});
    for (const auto& [what, pair] : {std::pair{QStringLiteral("register, 30 lines, next number"), reg},
                                     std::pair{QStringLiteral("load: header and lines by number"), load},
                                     std::pair{QStringLiteral("検索: one month, first page"), byMonth},
                                     std::pair{QStringLiteral("検索: customer part, first page"), byCustomer},
                                     std::pair{QStringLiteral("検索: nothing set, first page"), everything}}) {
        row(what + QStringLiteral(" — file"), pair.first, "ms");
        row(what + QStringLiteral(" — server"), pair.second, "ms", pair.first.median);
    }
}

void bench_receivables(const QString& marker) {
    header("10. 売掛金: one month over 1,000 customers, 100,000 invoices and 66,667 payments");
    TestData data;
    fillBook(data, 100000);
    {
        sqlite3* db = nullptr;
        sqlite3_open(data.mainPath().toUtf8().constData(), &db);
        rawExec(db, "PRAGMA synchronous=OFF; BEGIN;"
                    "UPDATE 請求書ヘッダ SET 顧客名 = '顧客' || (伝票番号 % 1000), 支払期限 = 日付;"
                    "INSERT INTO 入金 (伝票番号, 世代, 入金日, 入金額, 入金方法, 振込手数料)"
                    " SELECT 伝票番号, 1, 日付, 合計 - 4400000, '振込', 4400000 FROM 請求書ヘッダ WHERE 伝票番号 % 3 <> 0;"
                    "COMMIT");
        sqlite3_close(db);
    }
    auto w = startWindow(data, marker);
    w->tab->setCurrentWidget(w->receivables);
    const QDate month(2020, 6, 1);
    const Stats shown = measure(10, [&] {
        w->receivables->dt売掛月->setDate(month); // set once; the button reads it again
        w->receivables->cmd売掛表示->click();
        QApplication::processEvents();
    });
    const double direct =
        rawQuery(w->books.dbMain->handle(), ReceivablesStatement(month, QDate::currentDate()), 10);
    row(QStringLiteral("売掛金: the page, %1 customers").arg(w->receivables->dat売掛金->rowCount()), shown, "ms",
        direct);
    row(QStringLiteral("売掛金: raw, same statement"), Stats{direct, direct, direct}, "ms");
}

void bench_cutoff(const QString&) {
    header("11. 請求締め: January's month-end over 1,000 customers, 100,000 delivery notes since April");
    TestData data;
    {
        sqlite3* db = nullptr;
        sqlite3_open(data.mainPath().toUtf8().constData(), &db);
        rawExec(db, "PRAGMA synchronous=OFF; BEGIN");
        for (int c = 0; c < 1000; ++c)
            rawExec(db, QStringLiteral("INSERT INTO 顧客マスタ (顧客名, 締日, 支払月, 支払日, 請求方法) VALUES"
                                       " ('顧客%1', '末日', '翌月', '末日', '締め')")
                            .arg(c)
                            .toUtf8()
                            .constData());
        rawExec(db, "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 100000)"
                    " INSERT INTO 請求書ヘッダ (伝票番号, 種別, 日付, 顧客名, 税率方式, 税抜計, 合計)"
                    " SELECT i, '納品書', strftime('%Y/%m/%d', '2025-04-01', '+' || (i / 1000 * 3) || ' days'),"
                    " '顧客' || (i % 1000), '10%・8%', 100000000, 100000000 FROM n;"
                    // December was cut off already: January bills about ten notes a customer.
                    "INSERT INTO 請求締め (顧客名, 締日, 請求書番号, 世代, 今回御請求額)"
                    " SELECT 顧客名, '2025/12/31', 0, 1, 0 FROM 顧客マスタ;"
                    "INSERT INTO 請求書 (伝票番号, 種別, 日付, 顧客名, 行番号, 伝票区分, 品名, 数量, 単価, 金額, 税率)"
                    " SELECT 伝票番号, 種別, 日付, 顧客名, 0, 1, '品', 1, 合計, 合計, 10 + (伝票番号 % 2) * -2"
                    " FROM 請求書ヘッダ; COMMIT");
        sqlite3_close(db);
    }
    auto main = data.openMain();
    const QDate date(2026, 1, 31);
    const SummaryBasis basis{Scheme10_8, QStringLiteral("外税"), RoundDown, {}};
    QList<CutOffCandidate> found;
    const Stats listed = measure(5, [&] { found = FindCutOff(*main, date, basis); });
    // The same statements sent directly, each customer's line sums over the notes its list found.
    const double direct = measure(5, [&] {
                              const auto run = [&](const QString& dialect, const std::function<void(sqlite3_stmt*)>& row) {
                                  const QByteArray text = rewriteStatement(dialect, {}).sql.toUtf8();
                                  sqlite3_stmt* st = nullptr;
                                  sqlite3_prepare_v2(main->handle(), text.constData(), -1, &st, nullptr);
                                  while (sqlite3_step(st) == SQLITE_ROW)
                                      row(st);
                                  sqlite3_finalize(st);
                              };
                              run(sql::T1(), [](sqlite3_stmt*) {});
                              for (const CutOffCandidate& c : found) {
                                  QStringList numbers;
                                  run(sql::T2(c.顧客名), [](sqlite3_stmt*) {});
                                  run(sql::T3(c.顧客名, QStringLiteral("2025/12/31"), date.toString(QStringLiteral("yyyy/MM/dd"))),
                                      [&](sqlite3_stmt* st) { numbers << QString::number(sqlite3_column_int(st, 0)); });
                                  run(sql::T4(numbers.join(u',')), [](sqlite3_stmt*) {});
                                  run(sql::T5(c.顧客名, QStringLiteral("2025/12/31"), date.toString(QStringLiteral("yyyy/MM/dd"))),
                                      [](sqlite3_stmt*) {});
                              }
                          }).median;
    row(QStringLiteral("請求締め: listing %1 customers").arg(found.size()), listed, "ms", direct);
    row(QStringLiteral("請求締め: raw, same statements"), Stats{direct, direct, direct}, "ms");
    QStringList everyone;
    for (const CutOffCandidate& c : found)
        if (c.refused.isEmpty())
            everyone << c.顧客名;
    const Stats made = measure(1, [&] { RunCutOff(*main, date, everyone, basis, QDateTime::currentDateTime()); });
    row(QStringLiteral("請求締め: billing all %1 (one transaction)").arg(everyone.size()), made, "ms");
}

// Peak memory of a fresh process that only starts the window, so the figure is the program's.
int rssChild(const QString& folder) {
    QTemporaryFile marker;
    marker.open();
    FrmVornisa w;
    w.Form_Load(QStringLiteral("/nonexistent"), DataFolderRule{marker.fileName(), folder});
    w.show();
    QApplication::processEvents();
    w.invoice->Clear請求書(true);
    QApplication::processEvents();
    // VmHWM, not getrusage: the kernel carries ru_maxrss over from the parent across exec.
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            std::printf("%lld\n", line.mid(6).trimmed().split(' ').first().toLongLong() / 1024);
    return 0;
}

void bench_memory(const QString&) {
    header("7. Peak memory (a separate process: start-up and one new invoice)");
    for (int size : {100, 100000}) {
        TestData data;
        fillMasters(data, size);
        std::fflush(stdout);
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--rss-child"), data.folder()});
        child.waitForFinished(-1);
        std::printf("| peak RSS, %d customers and products %*s | %10s |            |            | MiB |        |\n",
                    size, size == 100 ? 20 : 17, "", child.readAllStandardOutput().trimmed().constData());
    }
}

// A customer CSV of `rows` rows, as a spreadsheet would save it.
void writeCustomerCsv(const QString& path, int rows) {
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write("顧客名,顧客情報\n");
    QByteArray chunk;
    for (int i = 0; i < rows; ++i) {
        chunk += QStringLiteral("顧客%1,東京都\n").arg(i, 7, 10, QChar(u'0')).toUtf8();
        if (chunk.size() > (1 << 20)) {
            f.write(chunk);
            chunk.clear();
        }
    }
    f.write(chunk);
}

qint64 peakMiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong() / 1024;
    return -1;
}

// A fresh process that reads and imports one file as the page does: its time, peak and outcome.
int importChild(const QString& csv, const QString& folder) {
    const QString workPath = folder + WorkDbName;
    auto work = Database::open(workPath, workTables, Durability::Scratch);
    QElapsedTimer t;
    t.start();
    QString outcome;
    int rows = 0;
    try {
        rows = importCustomers(*work, readCsvFile(csv)).imported;
        outcome = QString::number(rows) + QStringLiteral(" rows");
    } catch (const CsvError&) {
        outcome = QStringLiteral("refused");
    }
    const qint64 ms = t.elapsed();
    work->executeRaw(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    const qint64 imported = QFileInfo(workPath).size();
    Clear顧客情報(*work);
    const qint64 cleared = QFileInfo(workPath).size();
    // The same rows put in straight through SQLite: one prepared insert in one transaction.
    t.restart();
    rawExec(work->handle(), "BEGIN");
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(work->handle(), "INSERT INTO w顧客マスタ (顧客名, 顧客情報) VALUES (?, '東京都')", -1, &st, nullptr);
    for (int i = 0; i < rows; ++i) {
        const QByteArray name = QStringLiteral("顧客%1").arg(i, 7, 10, QChar(u'0')).toUtf8();
        sqlite3_bind_text(st, 1, name.constData(), name.size(), SQLITE_TRANSIENT);
        sqlite3_step(st);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    rawExec(work->handle(), "ROLLBACK");
    std::printf("%s;%lld;%lld;%lld;%lld;%lld\n", qPrintable(outcome), ms, peakMiB(), imported >> 20, cleared >> 20,
                rows ? t.elapsed() : 0LL);
    return 0;
}

void bench_import(const QString&) {
    std::printf("\n### 9. Master CSV import (a separate process each: read, decode, take in; then クリア)\n\n");
    std::printf("| file | outcome | time | raw inserts | peak RSS | work file after import | after クリア |\n"
                "|---|---|---|---|---|---|---|\n");
    for (int rows : {100000, 1000000, 3000000}) {
        TestData data;
        const QString csv = data.dir.filePath(QStringLiteral("customers.csv"));
        writeCustomerCsv(csv, rows);
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--import-child"), csv, data.folder()});
        child.waitForFinished(-1);
        const QStringList f = QString::fromUtf8(child.readAllStandardOutput().trimmed()).split(u';');
        std::printf("| %d rows, %lld MiB | %s | %s ms | %s ms | %s MiB | %s MiB | %s MiB |\n", rows,
                    QFileInfo(csv).size() >> 20, qPrintable(f.value(0)), qPrintable(f.value(1)), qPrintable(f.value(5)),
                    qPrintable(f.value(2)), qPrintable(f.value(3)), qPrintable(f.value(4)));
        std::fflush(stdout);
    }
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    msg::setAnswerer([](const msg::Shown&) { return QMessageBox::Yes; });
    const QStringList args = app.arguments().mid(1);
    if (args.size() == 2 && args[0] == QLatin1String("--rss-child"))
        return rssChild(args[1]);
    if (args.size() == 3 && args[0] == QLatin1String("--import-child"))
        return importChild(args[1], args[2]);
    faultvfs::install(); // passes every call on; counts syncs where a section asks
    QTemporaryFile marker;
    marker.open();
    const std::vector<std::pair<QString, void (*)(const QString&)>> sections = {
        {QStringLiteral("edit"), bench_edit},       {QStringLiteral("register"), bench_register},
        {QStringLiteral("load"), bench_load},       {QStringLiteral("startup"), bench_startup},
        {QStringLiteral("masters"), bench_masters}, {QStringLiteral("pdf"), bench_pdf},
        {QStringLiteral("memory"), bench_memory},   {QStringLiteral("search"), bench_search},
        {QStringLiteral("import"), bench_import},   {QStringLiteral("receivables"), bench_receivables},
        {QStringLiteral("cutoff"), bench_cutoff}, {QStringLiteral("server"), bench_server},
    };
    // Named sections run alone (`vornisa_bench startup memory`); none named runs them all.
    std::printf("# Vornisa benchmarks\n");
    for (const auto& [name, run] : sections)
        if (args.isEmpty() || args.contains(name))
            run(marker.fileName());
    return 0;
}
