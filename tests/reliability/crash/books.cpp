#include "books.h"

#include "invoice/numbering.h"
#include "invoice/rounding.h"
#include "invoice/totals.h"
#include "store/database.h"
#include "store/tables.h"

#include <QRegularExpression>
#include <QVariant>
#include <sqlite3.h>

namespace {

using Row = QList<QVariant>;

// Rows of a plain SQLite statement; the checks read the files as they are, past the dialect.
QList<Row> query(Database& db, const char* sql) {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db.handle(), sql, -1, &st, nullptr) != SQLITE_OK)
        throw DbError(sqlite3_extended_errcode(db.handle()), QString::fromUtf8(sqlite3_errmsg(db.handle())));
    QList<Row> rows;
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        Row row;
        for (int i = 0; i < sqlite3_column_count(st); ++i) {
            switch (sqlite3_column_type(st, i)) {
            case SQLITE_NULL:
                row << QVariant();
                break;
            case SQLITE_INTEGER:
                row << QVariant(static_cast<qlonglong>(sqlite3_column_int64(st, i)));
                break;
            default:
                row << QVariant(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, i))));
            }
        }
        rows << row;
    }
    sqlite3_finalize(st);
    if (rc != SQLITE_DONE)
        throw DbError(sqlite3_extended_errcode(db.handle()), QString::fromUtf8(sqlite3_errmsg(db.handle())));
    return rows;
}

void checkIntegrity(Database& db, const QString& name, QStringList& problems) {
    const QList<Row> r = query(db, "PRAGMA integrity_check");
    if (r.size() != 1 || r[0][0].toString() != QLatin1String("ok"))
        problems << name + QStringLiteral(" integrity_check: ") + (r.isEmpty() ? QString() : r[0][0].toString());
}

// Each row of a statement that must give none is one problem, named by its first cell.
void expectNone(Database& db, const char* sql, const QString& what, QStringList& problems) {
    for (const Row& r : query(db, sql))
        problems << what + QStringLiteral(": ") + r[0].toString();
}

const char* const HeadersWithTheirLines =
    "SELECT h.伝票番号, h.顧客情報, h.税抜計, h.消費税, h.合計, count(l.rowid), coalesce(sum(l.金額), 0),"
    " coalesce(sum(CASE WHEN l.非課税 = 0 THEN l.金額 END), 0), min(l.行番号), max(l.行番号),"
    " count(DISTINCT l.行番号),"
    " coalesce(sum(l.顧客名 IS NOT h.顧客名 OR l.日付 IS NOT h.日付 OR l.伝票区分 IS NOT 1), 0)"
    " FROM 請求書ヘッダ h LEFT JOIN 請求書 l ON l.伝票番号 = h.伝票番号 GROUP BY h.rowid";

const QRegularExpression DetailsPattern(QStringLiteral("^(\\S+) lines=(\\d+)$"));

void checkInvoice(const Row& r, Books& books, QStringList& problems) {
    const qint32 number = static_cast<qint32>(r[0].toLongLong());
    const QString where = QStringLiteral("invoice %1: ").arg(number);
    const QRegularExpressionMatch m = DetailsPattern.match(r[1].toString());
    if (!m.hasMatch()) {
        problems << where + QStringLiteral("header details not as registered: ") + r[1].toString();
        return;
    }
    books.tags.insert(number, m.captured(1));
    const int wanted = m.captured(2).toInt();
    const int count = static_cast<int>(r[5].toLongLong());
    books.lines += count;
    if (count != wanted || r[8].toLongLong() != 0 || r[9].toLongLong() != wanted - 1 || r[10].toLongLong() != wanted)
        problems << where + QStringLiteral("%1 lines numbered %2..%3, registered with %4")
                                .arg(count)
                                .arg(r[8].toLongLong())
                                .arg(r[9].toLongLong())
                                .arg(wanted);
    if (r[11].toLongLong() != 0)
        problems << where + QStringLiteral("lines whose customer, date or kind differ from the header");
    const Currency lines = Currency::fromRaw(r[6].toLongLong()), taxable = Currency::fromRaw(r[7].toLongLong());
    if (r[2].isNull() || Currency::fromRaw(r[2].toLongLong()) != lines) {
        problems << where + QStringLiteral("subtotal %1, lines add up to %2").arg(r[2].toString(), lines.toString());
        return;
    }
    // Lines without amounts leave the tax and total boxes blank.
    if (lines == Currency()) {
        if (!r[3].isNull() || !r[4].isNull())
            problems << where + QStringLiteral("tax or total without amounts");
        return;
    }
    if (r[3].isNull() || r[4].isNull()) {
        problems << where + QStringLiteral("tax or total missing");
        return;
    }
    const Currency tax = Currency::fromRaw(r[3].toLongLong()), total = Currency::fromRaw(r[4].toLongLong());
    // The writer's amounts are whole yen with tax added on top, so no rounding stands between these.
    if (tax != RoundAmount(taxable.toDouble() * TaxRate, QStringLiteral("四捨五入")))
        problems << where + QStringLiteral("tax %1 for taxable lines of %2").arg(tax.toString(), taxable.toString());
    if (total != lines + tax)
        problems << where + QStringLiteral("total %1 is not subtotal plus tax").arg(total.toString());
}

void checkMain(Database& main, Books& books, QStringList& problems) {
    checkIntegrity(main, QStringLiteral("main file"), problems);
    for (const Row& r : query(main, HeadersWithTheirLines))
        checkInvoice(r, books, problems);
    expectNone(main, "SELECT 伝票番号 FROM 請求書ヘッダ GROUP BY 伝票番号 HAVING count(*) > 1",
               QStringLiteral("two headers under one number"), problems);
    expectNone(main, "SELECT DISTINCT 伝票番号 FROM 請求書 WHERE 伝票番号 NOT IN (SELECT 伝票番号 FROM 請求書ヘッダ)",
               QStringLiteral("lines without a header"), problems);
    expectNone(main,
               "SELECT DISTINCT 顧客名 FROM 請求書ヘッダ WHERE 顧客名 <> ''"
               " AND 顧客名 NOT IN (SELECT 顧客名 FROM 顧客マスタ WHERE 顧客名 IS NOT NULL)",
               QStringLiteral("customer missing from the master"), problems);
    expectNone(main,
               "SELECT DISTINCT 品名 FROM 請求書 WHERE (単価 IS NOT NULL OR 数量 IS NOT NULL)"
               " AND 品名 NOT IN (SELECT 品名 FROM 商品マスタ WHERE 品名 IS NOT NULL)",
               QStringLiteral("product missing from the master"), problems);
    expectNone(main, "SELECT 顧客名 FROM 顧客マスタ GROUP BY 顧客名 HAVING count(*) > 1",
               QStringLiteral("customer held twice"), problems);
    expectNone(main, "SELECT 品名 FROM 商品マスタ GROUP BY 品名 HAVING count(*) > 1",
               QStringLiteral("product held twice"), problems);
    expectNone(main, "SELECT count(*) FROM 自社情報 HAVING count(*) > 1", QStringLiteral("company records"), problems);

    books.counter = Proc管理(main, QStringLiteral("最大請求書番号"), QStringLiteral("Get"), QString()).toLongLong() - 1;
    const qint32 highest = books.tags.isEmpty() ? 0 : books.tags.lastKey();
    if (books.counter < highest)
        problems << QStringLiteral("counter %1 below stored invoice %2").arg(books.counter).arg(highest);
}

void checkWork(Database& work, QStringList& problems) {
    checkIntegrity(work, QStringLiteral("work file"), problems);
    const Row form = query(work, "SELECT count(*), count(DISTINCT 行番号), min(行番号), max(行番号) FROM w明細")[0];
    if (form != Row{30LL, 30LL, 1LL, 30LL})
        problems << QStringLiteral("work lines are not rows 1 to 30");
}

} // namespace

QString headerDetails(const QString& tag, int lines) {
    return tag + QStringLiteral(" lines=%1").arg(lines);
}

QStringList checkBooks(const QString& mainPath, const QString& workPath, Books& books) {
    QStringList problems;
    books = Books();
    try {
        checkMain(*Database::open(mainPath, mainTables, Durability::Full), books, problems);
        checkWork(*Database::open(workPath, workTables, Durability::Scratch), problems);
    } catch (const DbError& e) {
        problems << QStringLiteral("engine error %1: %2").arg(e.code).arg(e.text);
    }
    return problems;
}
