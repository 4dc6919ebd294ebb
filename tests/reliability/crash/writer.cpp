// A writer process for the crash and concurrency tests: registers and deletes invoices
// through the program's own routines and tells the parent what it did in a ledger.
//   crash_writer loop  <main> <work> <seed> <run> <ledger>          until it is killed
//   crash_writer batch <main> <work> <seed> <run> <ledger> <count>  registers only, after "go" on stdin
// It writes "ready" on stdout once both files are open. Exit code 2: the engine or the ledger failed.
#include "books.h"
#include "ledger.h"

#include "invoice/invoice_io.h"
#include "invoice/lines.h"
#include "invoice/totals.h"
#include "store/database.h"
#include "store/statements.h"
#include "store/tables.h"

#include <QDate>
#include <QRandomGenerator>
#include <QStringList>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <unistd.h>

namespace {

// Numbers are drawn from a small range so that most registers replace a stored invoice.
constexpr int NumberRange = 120;

class Writer {
  public:
    explicit Writer(const QStringList& a)
        : main_(Database::open(a[2], mainTables, Durability::Full)),
          work_(Database::open(a[3], workTables, Durability::Scratch)), rng_(a[4].toUInt()), run_(a[5]), ledger_(a[6]) {
    }

    void registerOne() {
        ++op_;
        const int lines = 1 + static_cast<int>(rng_.bounded(30));
        fillLines(lines);
        const Totals t = Calc明細(*work_, QStringLiteral("外税"));
        InvoiceHeader h;
        h.number = number();
        h.date = QDate(2024, 1, 1).addDays(rng_.bounded(366)).toString(QStringLiteral("yyyy/MM/dd"));
        h.顧客名 = name(QStringLiteral("顧客"), 30);
        const QString tag = QStringLiteral("r%1o%2").arg(run_).arg(op_);
        h.顧客情報 = headerDetails(tag, lines);
        h.税抜計 = t.税抜計;
        h.消費税 = t.消費税;
        h.合計 = t.合計;
        ledger_.registering(h.number, tag);
        Entry請求書(*main_, *work_, h);
        ledger_.done();
    }

    void deleteOne() {
        ++op_;
        const qint32 n = number();
        ledger_.deleting(n);
        Delete請求書(*main_, n);
        ledger_.done();
    }

    bool oneIn(quint32 n) { return rng_.bounded(n) == 0; }

  private:
    qint32 number() { return 1 + static_cast<qint32>(rng_.bounded(NumberRange)); }

    // One of a few known names, or now and then a new one, so the masters both grow and get updated.
    QString name(const QString& stem, quint32 known) {
        if (oneIn(5))
            return stem + QStringLiteral("r%1o%2").arg(run_).arg(op_);
        const quint32 k = rng_.bounded(known);
        return k == 0 ? stem + QStringLiteral("'s 商店") : stem + QString::number(k);
    }

    // The lines as the grid leaves them in the work table: rows 1.. filled, the rest blank.
    void fillLines(int lines) {
        Clear明細ワーク(*work_);
        Transaction t(*work_);
        auto rs = work_->openRecordset(sql::I8());
        rs->moveFirst();
        for (int i = 0; i < lines; ++i, rs->moveNext()) {
            rs->edit();
            rs->setField(QStringLiteral("品名"), name(QStringLiteral("品"), 60));
            if (!oneIn(10)) { // a line with a name only is stored but teaches the master nothing
                const int qty = 1 + static_cast<int>(rng_.bounded(99));
                const int price = 1 + static_cast<int>(rng_.bounded(99999));
                rs->setField(QStringLiteral("数量"), static_cast<double>(qty));
                rs->setField(QStringLiteral("単位"), QStringLiteral("個"));
                rs->setField(QStringLiteral("単価"), Currency::fromWhole(price));
                rs->setField(QStringLiteral("金額"), Currency::fromWhole(static_cast<qint64>(qty) * price));
                rs->setField(QStringLiteral("非課税"), oneIn(6));
            }
            rs->update();
        }
        t.commit();
    }

    std::unique_ptr<Database> main_, work_;
    QRandomGenerator rng_;
    QString run_;
    LedgerWriter ledger_;
    int op_ = 0;
};

void say(const char* line) {
    if (::write(1, line, std::char_traits<char>::length(line)) < 0)
        std::exit(3);
}

} // namespace

int main(int argc, char** argv) {
    QStringList a;
    for (int i = 0; i < argc; ++i)
        a << QString::fromLocal8Bit(argv[i]);
    const bool loop = a.size() == 7 && a[1] == QLatin1String("loop");
    const bool batch = a.size() == 8 && a[1] == QLatin1String("batch");
    if (!loop && !batch) {
        std::fprintf(stderr, "usage: crash_writer loop|batch main work seed run ledger [count]\n");
        return 1;
    }
    try {
        Writer w(a);
        say("ready\n");
        if (loop) {
            for (;;)
                w.oneIn(5) ? w.deleteOne() : w.registerOne();
        }
        std::string go;
        std::getline(std::cin, go);
        for (int i = a[7].toInt(); i > 0; --i)
            w.registerOne();
    } catch (const DbError& e) {
        std::fprintf(stderr, "engine error %d: %s\n", e.code, qPrintable(e.text));
        return 2;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 2;
    }
    return 0;
}
