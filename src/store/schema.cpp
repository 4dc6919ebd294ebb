#include "store/schema.h"

#include "store/database.h"

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
    };
    static const QStringList work = {
        // 1: the rate of a line, of a product on the product page and in the pick list.
        QStringLiteral("ALTER TABLE w明細 ADD COLUMN 税率 INTEGER;"
                       "ALTER TABLE w商品マスタ ADD COLUMN 税率 INTEGER;"
                       "ALTER TABLE w商品参照 ADD COLUMN 税率 INTEGER;"),
    };
    return file == SchemaFile::Main ? main : work;
}

int storedSchemaVersion(Database& db) {
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
    const int from = storedSchemaVersion(db);
    const int to = static_cast<int>(steps.size());
    if (from > to)
        throw DbError(SQLITE_ERROR, QStringLiteral("このファイルは新しい版の Vornisa で作られています（版 %1）: %2")
                                        .arg(from)
                                        .arg(db.path()));
    if (from == to)
        return from;
    if (putAside)
        putAside(from);
    Transaction tx(db);
    for (int v = from; v < to; ++v)
        db.executeRaw(steps[v]);
    db.executeRaw(QStringLiteral("PRAGMA user_version = %1").arg(to));
    tx.commit();
    db.forgetColumns();
    return from;
}
