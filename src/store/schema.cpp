#include "store/schema.h"

#include "store/database.h"

#include <sqlite3.h>

// Upgrade steps, oldest first. A step is plain SQLite text; keep the delivered schema files
// in step with it.
const QStringList& schemaSteps(SchemaFile file) {
    static const QStringList main = {};
    static const QStringList work = {};
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
