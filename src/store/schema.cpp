#include "store/schema.h"

#include "store/database.h"
#include "store/dialect.h"

#include <sqlite3.h>

// Upgrade steps, oldest first. A step is plain SQLite text; keep the delivered schema files
// in step with it.
const QStringList& schemaSteps(SchemaFile file) {
    static const QStringList main = {
        // 1: qualified invoices — the issuer's number and tax basis, a rate per product and per
        // line, and the basis each invoice was registered under. Old rows read as "5%" invoices.
        QStringLiteral("ALTER TABLE 自社情報 ADD COLUMN 登録番号 TEXT;"
                       "ALTER TABLE 自社情報 ADD COLUMN 税率方式 TEXT;"
                       "ALTER TABLE 自社情報 ADD COLUMN 端数処理 TEXT;"
                       "ALTER TABLE 商品マスタ ADD COLUMN 税率 INTEGER;"
                       "ALTER TABLE 請求書 ADD COLUMN 税率 INTEGER;"
                       "ALTER TABLE 請求書ヘッダ ADD COLUMN 税率方式 TEXT;"
                       "ALTER TABLE 請求書ヘッダ ADD COLUMN 税区分 TEXT;"
                       "ALTER TABLE 請求書ヘッダ ADD COLUMN 端数処理 TEXT;"
                       "ALTER TABLE 請求書ヘッダ ADD COLUMN 対象10 CURRENCY;"
                       "ALTER TABLE 請求書ヘッダ ADD COLUMN 消費税10 CURRENCY;"
                       "ALTER TABLE 請求書ヘッダ ADD COLUMN 対象8 CURRENCY;"
                       "ALTER TABLE 請求書ヘッダ ADD COLUMN 消費税8 CURRENCY;"
                       "ALTER TABLE 請求書ヘッダ ADD COLUMN 登録番号 TEXT;"),
        // 2: the invoice book — every replaced or deleted copy of an invoice, header and lines
        // with every column, under its version; and indexes for the list's search and order.
        QStringLiteral(
            "CREATE TABLE 請求書ヘッダ履歴 (伝票番号 INTEGER, 日付 DATETIME, 顧客名 TEXT, 顧客情報 TEXT,"
            " 消費税 CURRENCY, 税抜計 CURRENCY, 合計 CURRENCY, 税率方式 TEXT, 税区分 TEXT, 端数処理 TEXT,"
            " 対象10 CURRENCY, 消費税10 CURRENCY, 対象8 CURRENCY, 消費税8 CURRENCY, 登録番号 TEXT,"
            " 版 INTEGER, 変更種別 TEXT, 変更日時 TEXT);"
            "CREATE TABLE 請求書履歴 (伝票番号 INTEGER, 顧客名 TEXT, 日付 DATETIME, 行番号 INTEGER, 伝票区分 INTEGER,"
            " 品名 TEXT, 数量 DOUBLE, 単位 TEXT, 単価 CURRENCY, 金額 CURRENCY, 非課税 BOOLEAN NOT NULL DEFAULT 0,"
            " 税率 INTEGER, 版 INTEGER);"
            "CREATE INDEX 請求書ヘッダ履歴_伝票番号 ON 請求書ヘッダ履歴 (伝票番号, 版);"
            "CREATE INDEX 請求書履歴_伝票番号 ON 請求書履歴 (伝票番号, 版, 行番号);"
            "CREATE INDEX 請求書ヘッダ_日付 ON 請求書ヘッダ (日付, 伝票番号);"
            "CREATE INDEX 請求書ヘッダ_合計 ON 請求書ヘッダ (合計, 伝票番号);"),
        // 3: the book across full wipes — a wipe keeps the invoices it removes in the history and
        // ends the book's generation, since numbering starts again; history rows carry their
        // generation, so an invoice never shows the versions of an earlier one of its number.
        QStringLiteral(
            "CREATE TABLE 初期化履歴 (世代 INTEGER, 初期化日時 TEXT);"
            "ALTER TABLE 請求書ヘッダ履歴 ADD COLUMN 世代 INTEGER;"
            "ALTER TABLE 請求書履歴 ADD COLUMN 世代 INTEGER;"
            "UPDATE 請求書ヘッダ履歴 SET 世代 = 1;"
            "UPDATE 請求書履歴 SET 世代 = 1;"
            "DROP INDEX 請求書ヘッダ履歴_伝票番号;"
            "DROP INDEX 請求書履歴_伝票番号;"
            "CREATE INDEX 請求書ヘッダ履歴_伝票番号 ON 請求書ヘッダ履歴 (伝票番号, 世代, 版);"
            "CREATE INDEX 請求書履歴_伝票番号 ON 請求書履歴 (伝票番号, 世代, 版, 行番号);"),
        // 4: what a Japanese invoice carries — subject, due date, notes, the account to pay into as
        // issued and the customer's honorific on each invoice and its history; the honorific in the
        // customer master; the account, due-date rule and date style in the settings; the seal and
        // logo. Old customers and invoices read "様", as they printed.
        QStringLiteral("ALTER TABLE 顧客マスタ ADD COLUMN 敬称 TEXT DEFAULT '様';"
                       "ALTER TABLE 自社情報 ADD COLUMN 振込先 TEXT;"
                       "ALTER TABLE 自社情報 ADD COLUMN 支払期限既定 TEXT;"
                       "ALTER TABLE 自社情報 ADD COLUMN 日付表記 TEXT;"
                       "ALTER TABLE 請求書ヘッダ ADD COLUMN 件名 TEXT;"
                       "ALTER TABLE 請求書ヘッダ ADD COLUMN 支払期限 DATETIME;"
                       "ALTER TABLE 請求書ヘッダ ADD COLUMN 備考 TEXT;"
                       "ALTER TABLE 請求書ヘッダ ADD COLUMN 振込先 TEXT;"
                       "ALTER TABLE 請求書ヘッダ ADD COLUMN 敬称 TEXT DEFAULT '様';"
                       "ALTER TABLE 請求書ヘッダ履歴 ADD COLUMN 件名 TEXT;"
                       "ALTER TABLE 請求書ヘッダ履歴 ADD COLUMN 支払期限 DATETIME;"
                       "ALTER TABLE 請求書ヘッダ履歴 ADD COLUMN 備考 TEXT;"
                       "ALTER TABLE 請求書ヘッダ履歴 ADD COLUMN 振込先 TEXT;"
                       "ALTER TABLE 請求書ヘッダ履歴 ADD COLUMN 敬称 TEXT DEFAULT '様';"
                       "CREATE TABLE 画像 (種類 TEXT PRIMARY KEY, データ BLOB NOT NULL);"),
        // 5: the digital invoice and the journal CSV — both parties' Peppol participant identifiers,
        // post codes and addresses; the journal's account and tax-category names per accounting
        // program (形式 one of JournalFormatNames, 項目 a NameItems() caption); and a record of every
        // journal export, so invoices corrected after the last export of a period can be named.
        QStringLiteral("ALTER TABLE 自社情報 ADD COLUMN PeppolID TEXT;"
                       "ALTER TABLE 自社情報 ADD COLUMN 郵便番号 TEXT;"
                       "ALTER TABLE 自社情報 ADD COLUMN 住所 TEXT;"
                       "ALTER TABLE 顧客マスタ ADD COLUMN PeppolID TEXT;"
                       "ALTER TABLE 顧客マスタ ADD COLUMN 郵便番号 TEXT;"
                       "ALTER TABLE 顧客マスタ ADD COLUMN 住所 TEXT;"
                       "CREATE TABLE 仕訳設定 (形式 TEXT NOT NULL, 項目 TEXT NOT NULL, 名称 TEXT);"
                       "CREATE UNIQUE INDEX 仕訳設定_形式 ON 仕訳設定 (形式, 項目);"
                       "CREATE TABLE 仕訳出力記録 (形式 TEXT, 期間開始 DATETIME, 期間終了 DATETIME, 出力日時 TEXT);"),
        // 6: the documents besides the invoice — quotes, delivery notes and receipts live in the
        // invoice tables under their kind (種別), each kind numbered by its own counter; a document
        // made from another names its source (元種別, 元番号); a quote its validity, a receipt what
        // it is for (但し書き). Every row stored before is an invoice.
        QStringLiteral("ALTER TABLE 自社情報 ADD COLUMN 最大見積書番号 INTEGER;"
                       "ALTER TABLE 自社情報 ADD COLUMN 最大納品書番号 INTEGER;"
                       "ALTER TABLE 自社情報 ADD COLUMN 最大領収書番号 INTEGER;"
                       "ALTER TABLE 請求書 ADD COLUMN 種別 TEXT NOT NULL DEFAULT '請求書';"
                       "ALTER TABLE 請求書履歴 ADD COLUMN 種別 TEXT NOT NULL DEFAULT '請求書';"
                       "ALTER TABLE 請求書ヘッダ ADD COLUMN 種別 TEXT NOT NULL DEFAULT '請求書';"
                       "ALTER TABLE 請求書ヘッダ ADD COLUMN 元種別 TEXT;"
                       "ALTER TABLE 請求書ヘッダ ADD COLUMN 元番号 INTEGER;"
                       "ALTER TABLE 請求書ヘッダ ADD COLUMN 有効期限 DATETIME;"
                       "ALTER TABLE 請求書ヘッダ ADD COLUMN 但し書き TEXT;"
                       "ALTER TABLE 請求書ヘッダ履歴 ADD COLUMN 種別 TEXT NOT NULL DEFAULT '請求書';"
                       "ALTER TABLE 請求書ヘッダ履歴 ADD COLUMN 元種別 TEXT;"
                       "ALTER TABLE 請求書ヘッダ履歴 ADD COLUMN 元番号 INTEGER;"
                       "ALTER TABLE 請求書ヘッダ履歴 ADD COLUMN 有効期限 DATETIME;"
                       "ALTER TABLE 請求書ヘッダ履歴 ADD COLUMN 但し書き TEXT;"
                       "CREATE INDEX 請求書ヘッダ_種別 ON 請求書ヘッダ (種別, 伝票番号);"),
        // 7: getting paid — the customer's terms (cut-off day, month and day of payment, billing
        // each invoice or monthly; none set keeps the settings' due date, 「都度」 bills as before)
        // and the payments received against each invoice of a generation of the book. A payment
        // taken back keeps its row, marked with when it was taken back. Monthly cut-offs: each one
        // a summary invoice for a customer and date, with its figures and the delivery notes it
        // billed; one undone keeps its row, marked, and frees its notes.
        QStringLiteral("ALTER TABLE 顧客マスタ ADD COLUMN 締日 TEXT;"
                       "ALTER TABLE 顧客マスタ ADD COLUMN 支払月 TEXT;"
                       "ALTER TABLE 顧客マスタ ADD COLUMN 支払日 TEXT;"
                       "ALTER TABLE 顧客マスタ ADD COLUMN 請求方法 TEXT DEFAULT '都度';"
                       "CREATE TABLE 入金 (入金番号 INTEGER PRIMARY KEY, 伝票番号 INTEGER NOT NULL, 世代 INTEGER NOT NULL,"
                       " 入金日 DATETIME NOT NULL, 入金額 CURRENCY NOT NULL, 入金方法 TEXT,"
                       " 振込手数料 CURRENCY NOT NULL DEFAULT 0, 摘要 TEXT, 登録日時 TEXT, 取消日時 TEXT);"
                       "CREATE INDEX 入金_伝票番号 ON 入金 (伝票番号, 世代);"
                       "CREATE INDEX 入金_入金日 ON 入金 (入金日);"
                       "CREATE TABLE 請求締め (締め番号 INTEGER PRIMARY KEY, 顧客名 TEXT NOT NULL, 締日 DATETIME NOT NULL,"
                       " 請求書番号 INTEGER NOT NULL, 世代 INTEGER NOT NULL, 前回御請求額 CURRENCY, 御入金額 CURRENCY,"
                       " 繰越金額 CURRENCY, 今回御買上額 CURRENCY, 消費税額 CURRENCY, 今回御請求額 CURRENCY,"
                       " 実行日時 TEXT, 取消日時 TEXT);"
                       "CREATE TABLE 締め明細 (締め番号 INTEGER NOT NULL, 納品書番号 INTEGER NOT NULL);"
                       "CREATE INDEX 請求締め_顧客名 ON 請求締め (顧客名, 締日);"
                       "CREATE INDEX 締め明細_納品書番号 ON 締め明細 (納品書番号, 締め番号);"
                       "CREATE INDEX 請求書ヘッダ_顧客名 ON 請求書ヘッダ (顧客名, 種別, 日付);"),
        // 8: several PCs on one book — every stored invoice counts its changes, so a register over
        // another PC's change since this PC read it is refused instead of overwriting it.
        QStringLiteral("ALTER TABLE 請求書ヘッダ ADD COLUMN 更新回数 INTEGER NOT NULL DEFAULT 0;"
                       "ALTER TABLE 請求書ヘッダ履歴 ADD COLUMN 更新回数 INTEGER;"),
        // 9: whether a monthly summary invoice prints its delivery notes' item lines under each
        // note; off, as summaries printed before.
        QStringLiteral("ALTER TABLE 自社情報 ADD COLUMN 締め明細印刷 BOOLEAN NOT NULL DEFAULT 0;"),
        // 10: several PCs on one book — customers and products count their changes too, so a master
        // page registered over another PC's change since it was read is refused.
        QStringLiteral("ALTER TABLE 顧客マスタ ADD COLUMN 更新回数 INTEGER NOT NULL DEFAULT 0;"
                       "ALTER TABLE 商品マスタ ADD COLUMN 更新回数 INTEGER NOT NULL DEFAULT 0;"),
    };
    static const QStringList work = {
        // 1: the rate of a line, of a product on the product page and in the pick list.
        QStringLiteral("ALTER TABLE w明細 ADD COLUMN 税率 INTEGER;"
                       "ALTER TABLE w商品マスタ ADD COLUMN 税率 INTEGER;"
                       "ALTER TABLE w商品参照 ADD COLUMN 税率 INTEGER;"),
        // 2: the customer's honorific on the customer page.
        QStringLiteral("ALTER TABLE w顧客マスタ ADD COLUMN 敬称 TEXT DEFAULT '様';"),
        // 3: the customer's Peppol ID, post code and address on the customer page.
        QStringLiteral("ALTER TABLE w顧客マスタ ADD COLUMN PeppolID TEXT;"
                       "ALTER TABLE w顧客マスタ ADD COLUMN 郵便番号 TEXT;"
                       "ALTER TABLE w顧客マスタ ADD COLUMN 住所 TEXT;"),
        // 4: taken by another change; a no-op here until the two meet.
        QString(),
        // 5: the customer's terms on the customer page.
        QStringLiteral("ALTER TABLE w顧客マスタ ADD COLUMN 締日 TEXT;"
                       "ALTER TABLE w顧客マスタ ADD COLUMN 支払月 TEXT;"
                       "ALTER TABLE w顧客マスタ ADD COLUMN 支払日 TEXT;"
                       "ALTER TABLE w顧客マスタ ADD COLUMN 請求方法 TEXT DEFAULT '都度';"),
        // 6: what a master page read — each row's change count (Null for a row typed or imported
        // since) and, once it is renamed, the name it was read under — and whether the row was edited
        // since: registering writes the edited rows only, and refuses one another PC changed meanwhile.
        QStringLiteral("ALTER TABLE w顧客マスタ ADD COLUMN 更新回数 INTEGER;"
                       "ALTER TABLE w顧客マスタ ADD COLUMN 読込名 TEXT;"
                       "ALTER TABLE w顧客マスタ ADD COLUMN 変更 BOOLEAN NOT NULL DEFAULT 0;"
                       "ALTER TABLE w商品マスタ ADD COLUMN 更新回数 INTEGER;"
                       "ALTER TABLE w商品マスタ ADD COLUMN 読込名 TEXT;"
                       "ALTER TABLE w商品マスタ ADD COLUMN 変更 BOOLEAN NOT NULL DEFAULT 0;"
                       "CREATE TRIGGER w顧客マスタ_変更 AFTER UPDATE ON w顧客マスタ WHEN new.変更 = 0 AND ("
                       "new.顧客名 IS NOT old.顧客名 OR new.顧客情報 IS NOT old.顧客情報 OR new.敬称 IS NOT old.敬称 OR "
                       "new.PeppolID IS NOT old.PeppolID OR new.郵便番号 IS NOT old.郵便番号 OR new.住所 IS NOT old.住所 OR "
                       "new.締日 IS NOT old.締日 OR new.支払月 IS NOT old.支払月 OR new.支払日 IS NOT old.支払日 OR "
                       "new.請求方法 IS NOT old.請求方法) "
                       "BEGIN UPDATE w顧客マスタ SET 変更 = 1 WHERE rowid = new.rowid; END;"
                       "CREATE TRIGGER w顧客マスタ_改名 AFTER UPDATE OF 顧客名 ON w顧客マスタ WHEN new.読込名 IS NULL AND "
                       "new.顧客名 IS NOT old.顧客名 BEGIN UPDATE w顧客マスタ SET 読込名 = old.顧客名 WHERE rowid = new.rowid; END;"
                       "CREATE TRIGGER w商品マスタ_変更 AFTER UPDATE ON w商品マスタ WHEN new.変更 = 0 AND ("
                       "new.品名 IS NOT old.品名 OR new.単位 IS NOT old.単位 OR new.単価 IS NOT old.単価 OR "
                       "new.非課税 IS NOT old.非課税 OR new.税率 IS NOT old.税率) "
                       "BEGIN UPDATE w商品マスタ SET 変更 = 1 WHERE rowid = new.rowid; END;"
                       "CREATE TRIGGER w商品マスタ_改名 AFTER UPDATE OF 品名 ON w商品マスタ WHEN new.読込名 IS NULL AND "
                       "new.品名 IS NOT old.品名 BEGIN UPDATE w商品マスタ SET 読込名 = old.品名 WHERE rowid = new.rowid; END;"),
    };
    return file == SchemaFile::Main ? main : work;
}

int storedSchemaVersion(Database& db) {
    if (db.onServer()) {
        const auto rows = db.serverRows(QStringLiteral("SELECT 版 FROM ") + ServerVersionTable);
        if (rows.size() != 1)
            throw DbError(SQLITE_CORRUPT, QStringLiteral("サーバーの帳簿に版がありません: ") + db.path());
        return int(rows[0][0].toInt());
    }
    sqlite3_stmt* st = nullptr;
    int version = -1;
    if (sqlite3_prepare_v2(db.handle(), "PRAGMA user_version", -1, &st, nullptr) == SQLITE_OK &&
        sqlite3_step(st) == SQLITE_ROW)
        version = sqlite3_column_int(st, 0);
    sqlite3_finalize(st);
    if (version < 0)
        throw DbError(sqlite3_extended_errcode(db.handle()), QString::fromUtf8(sqlite3_errmsg(db.handle())));
    return version;
}

int upgradeSchema(Database& db, const QStringList& steps, const std::function<void(int from)>& putAside) {
    int from = storedSchemaVersion(db);
    const int to = static_cast<int>(steps.size());
    const auto tooNew = [&] {
        return DbError(SQLITE_ERROR,
                       (db.onServer() ? QStringLiteral("サーバーの帳簿は新しい版の Vornisa で更新されています（版 %1）。"
                                                       "このPCの Vornisa を更新してください: %2")
                                      : QStringLiteral("このファイルは新しい版の Vornisa で作られています（版 %1）: %2"))
                           .arg(from)
                           .arg(db.path()));
    };
    if (from > to)
        throw tooNew();
    if (from == to)
        return from;
    if (putAside)
        putAside(from);
    // On a server the writers' lock is taken first: of PCs starting at once, one upgrades and the
    // others find the book upgraded.
    Transaction tx(db);
    if (db.onServer()) {
        from = storedSchemaVersion(db);
        if (from > to)
            throw tooNew();
        for (int v = from; v < to; ++v)
            for (const QString& statement : serverSchema(steps[v]))
                db.executeRaw(statement);
        db.executeRaw(QStringLiteral("UPDATE %1 SET 版 = %2").arg(ServerVersionTable).arg(to));
    } else {
        for (int v = from; v < to; ++v)
            db.executeRaw(steps[v]);
        db.executeRaw(QStringLiteral("PRAGMA user_version = %1").arg(to));
    }
    tx.commit();
    db.forgetColumns();
    return from;
}
