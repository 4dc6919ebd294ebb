#include "store/server_book.h"

#include "store/database.h"
#include "store/dialect.h"
#include "store/schema.h"

#include <QDateTime>
#include <QFile>
#include <QRegularExpression>
#include <QUrl>
#include <libpq-fe.h>
#include <sqlite3.h>

namespace {

const QString SessionPrefix = QStringLiteral("Vornisa@");

struct Stmt {
    sqlite3_stmt* st = nullptr;
    ~Stmt() { sqlite3_finalize(st); }
};

// Rows of one file statement as text (Null as a null QString): sums and counts, for the checks.
QStringList fileFigures(Database& file, const QString& sql) {
    Stmt s;
    if (sqlite3_prepare_v2(file.handle(), sql.toUtf8().constData(), -1, &s.st, nullptr) != SQLITE_OK ||
        sqlite3_step(s.st) != SQLITE_ROW)
        throw DbError(sqlite3_extended_errcode(file.handle()), QString::fromUtf8(sqlite3_errmsg(file.handle())));
    QStringList out;
    for (int i = 0; i < sqlite3_column_count(s.st); ++i)
        out << (sqlite3_column_type(s.st, i) == SQLITE_NULL
                    ? QString()
                    : QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s.st, i))));
    return out;
}

QStringList serverFigures(Database& server, const QString& sql) {
    QStringList out;
    const auto rows = server.serverRows(sql);
    for (const Value& v : rows.at(0))
        out << (v.isNull() ? QString() : v.toText());
    return out;
}

// The rows of one table, rowid first, into the server table of the same name, values bound.
void copyRows(Database& file, Database& server, const QString& table) {
    const auto& columns = file.columns(table);
    QStringList names{QStringLiteral("rowid")}, marks{QStringLiteral("$1")};
    for (const auto& c : columns) {
        names << c.first;
        marks << u'$' + QString::number(marks.size() + 1);
    }
    const QByteArray insert = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                  .arg(table, names.join(u','), marks.join(u','))
                                  .toUtf8();
    PGconn* pg = server.serverHandle();
    // The unnamed statement: the next one replaces it, so nothing is left behind on the connection
    // when a row fails (a named one could not be dropped in the failed transaction).
    PGresult* prepared = PQprepare(pg, "", insert.constData(), int(names.size()), nullptr);
    const bool ok = PQresultStatus(prepared) == PGRES_COMMAND_OK;
    PQclear(prepared);
    if (!ok)
        throw DbError(SQLITE_ERROR, QString::fromUtf8(PQerrorMessage(pg)).trimmed());

    Stmt s;
    const QString select = QStringLiteral("SELECT rowid, %1 FROM \"%2\"").arg(names.mid(1).join(u','), table);
    if (sqlite3_prepare_v2(file.handle(), select.toUtf8().constData(), -1, &s.st, nullptr) != SQLITE_OK)
        throw DbError(sqlite3_extended_errcode(file.handle()), QString::fromUtf8(sqlite3_errmsg(file.handle())));
    const int n = int(names.size());
    std::vector<QByteArray> values(n);
    std::vector<const char*> pointers(n);
    std::vector<int> lengths(n), formats(n);
    int rc;
    while ((rc = sqlite3_step(s.st)) == SQLITE_ROW) {
        for (int i = 0; i < n; ++i) {
            const int kind = sqlite3_column_type(s.st, i);
            const bool yesNo = i > 0 && columns[i - 1].second == QLatin1String("BOOLEAN");
            formats[i] = kind == SQLITE_BLOB ? 1 : 0;
            if (kind == SQLITE_NULL) {
                pointers[i] = nullptr;
                continue;
            }
            if (yesNo)
                values[i] = sqlite3_column_int64(s.st, i) != 0 ? "true" : "false";
            else if (kind == SQLITE_BLOB)
                values[i] = QByteArray(static_cast<const char*>(sqlite3_column_blob(s.st, i)), sqlite3_column_bytes(s.st, i));
            else if (kind == SQLITE_FLOAT)
                values[i] = QByteArray::number(sqlite3_column_double(s.st, i), 'g', 17);
            else
                values[i] = QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(s.st, i)), sqlite3_column_bytes(s.st, i));
            if (kind != SQLITE_BLOB && values[i].contains('\0'))
                throw DbError(SQLITE_MISMATCH, QStringLiteral("文字 NUL を含む値はサーバーに移せません: ") + table);
            pointers[i] = values[i].constData();
            lengths[i] = int(values[i].size());
        }
        PGresult* r = PQexecPrepared(pg, "", n, pointers.data(), lengths.data(), formats.data(), 0);
        const bool done = PQresultStatus(r) == PGRES_COMMAND_OK;
        const QString message = QString::fromUtf8(PQresultErrorMessage(r)).trimmed();
        PQclear(r);
        if (!done)
            throw DbError(SQLITE_ERROR, table + QStringLiteral(": ") + message);
    }
    if (rc != SQLITE_DONE)
        throw DbError(sqlite3_extended_errcode(file.handle()), QString::fromUtf8(sqlite3_errmsg(file.handle())));
    // Rows added later on the server take rowids after the copied ones.
    server.executeRaw(QStringLiteral("SELECT setval(pg_get_serial_sequence('%1', 'rowid'), "
                                     "coalesce((SELECT max(rowid) FROM %1), 0) + 1, false)")
                          .arg(table));
}

} // namespace

QString ServerBookState::text() const {
    switch (kind) {
    case Empty:
        return QStringLiteral("接続できました。データベースは空です（帳簿を移行できます）。");
    case Ours:
        return QStringLiteral("接続できました。Vornisa の帳簿があります（版 %1、このPCの Vornisa は版 %2）。")
            .arg(version)
            .arg(schemaVersion(SchemaFile::Main));
    case Foreign:
        break;
    }
    return QStringLiteral("接続できました。ただし Vornisa 以外のデータがあるため使えません。");
}

ServerBookState inspectServerBook(Database& server) {
    const QStringList tables = server.tables();
    if (tables.isEmpty())
        return {};
    if (!tables.contains(ServerVersionTable))
        return {ServerBookState::Foreign};
    return {ServerBookState::Ours, storedSchemaVersion(server)};
}

namespace {

// Our domains in the book's schema; with unusedOnly, those nothing (no column, no function) uses.
QStringList domainsPresent(Database& server, bool unusedOnly) {
    QStringList names;
    for (const auto& d : serverDomains())
        names << d.first;
    QStringList present;
    for (const auto& row : server.serverRows(
             QStringLiteral("SELECT t.typname FROM pg_type t WHERE t.typtype = 'd' AND t.typnamespace = "
                            "current_schema()::regnamespace AND t.typname = ANY (string_to_array($1, ',')) AND "
                            "(NOT $2::boolean OR NOT EXISTS (SELECT 1 FROM pg_depend d WHERE d.refclassid = "
                            "'pg_type'::regclass AND d.refobjid = t.oid AND d.deptype = 'n'))"),
             {names.join(u','), unusedOnly ? QStringLiteral("true") : QStringLiteral("false")}))
        present << row[0].toText();
    return present;
}

// Builds the file book's tables, rows, indexes and version on a server database that holds none
// of them, then checks row counts and money sums on both sides. The caller's transaction keeps it
// all or nothing.
QList<TableCheck> fillServerBook(Database& file, Database& server) {
    const QStringList tables = file.tables();
    const QStringList domains = domainsPresent(server, false);
    for (const auto& [name, create] : serverDomains())
        if (!domains.contains(name))
            server.executeRaw(create);
    for (const QString& ddl : file.textColumn(
             QStringLiteral("select sql from sqlite_master where type = 'table' order by rowid"), QStringLiteral("sql")))
        for (const QString& statement : serverSchema(ddl))
            server.executeRaw(statement);
    for (const QString& table : tables)
        copyRows(file, server, table);
    for (const QString& ddl : file.textColumn(
             QStringLiteral("select sql from sqlite_master where type = 'index' order by rowid"), QStringLiteral("sql")))
        for (const QString& statement : serverSchema(ddl))
            server.executeRaw(statement);
    server.executeRaw(QStringLiteral("CREATE TABLE %1 (版 integer NOT NULL); INSERT INTO %1 VALUES (%2)")
                          .arg(ServerVersionTable)
                          .arg(storedSchemaVersion(file)));
    server.forgetColumns();
    // Both sides counted and summed by the engines themselves.
    QList<TableCheck> checks;
    for (const QString& table : tables) {
        QStringList figures{QStringLiteral("count(*)")};
        for (const auto& c : file.columns(table))
            if (c.second == QLatin1String("CURRENCY"))
                figures << QStringLiteral("sum(%1)").arg(c.first);
        const QString sql = QStringLiteral("SELECT %1 FROM %2").arg(figures.join(u','), table);
        const QStringList here = fileFigures(file, sql), there = serverFigures(server, sql);
        if (here != there)
            throw DbError(SQLITE_ERROR, QStringLiteral("サーバーに写した件数・金額が元の帳簿と一致しないため、"
                                                       "取りやめました（%1）。サーバーは元のままです。")
                                            .arg(table));
        TableCheck check{table, here[0].toLongLong(), {}};
        for (int i = 1; i < figures.size(); ++i)
            check.sums << figures[i] + u'=' + here[i];
        checks << check;
    }
    return checks;
}

// Refuses, naming them, while another Vornisa uses the server book.
void refuseWhileOthersConnected(Database& server) {
    const QStringList others = otherVornisaSessions(server);
    if (!others.isEmpty())
        throw DbError(SQLITE_BUSY,
                      QStringLiteral("サーバーの帳簿を次のPCの Vornisa が使っています:\n") + others.join(u'\n'));
}

} // namespace

QList<TableCheck> copyBookToServer(Database& file, Database& server) {
    Transaction tx(server);
    if (!server.tables().isEmpty())
        throw DbError(SQLITE_ERROR,
                      QStringLiteral("サーバーのデータベースが空ではないため、移行しませんでした: ") + server.path());
    const QList<TableCheck> checks = fillServerBook(file, server);
    tx.commit();
    return checks;
}

QByteArray sessionName(const QString& pc) {
    return (SessionPrefix.toUtf8() + QUrl::toPercentEncoding(pc)).left(63);
}

QStringList otherVornisaSessions(Database& server) {
    // The server keeps what it read of the sessions for the whole transaction: read afresh.
    server.executeRaw(QStringLiteral("SELECT pg_stat_clear_snapshot()"));
    QStringList out;
    for (const auto& row : server.serverRows(
             QStringLiteral(
                 "SELECT substr(application_name, length($1) + 1), host(client_addr), extract(epoch FROM "
                 "backend_start)::bigint FROM pg_stat_activity WHERE datname = current_database() AND pid <> "
                 "pg_backend_pid() AND starts_with(application_name, $1) ORDER BY backend_start"),
             {SessionPrefix})) {
        // The address and the time are hidden from a role the server does not show them to.
        QStringList about;
        if (!row[1].isNull())
            about << row[1].toText();
        if (!row[2].isNull())
            about << QDateTime::fromSecsSinceEpoch(row[2].toInt()).toString(QStringLiteral("yyyy/MM/dd HH:mm")) +
                         QStringLiteral(" から接続");
        out << QUrl::fromPercentEncoding(row[0].toText().toUtf8()) +
                   (about.isEmpty() ? QString() : u'（' + about.join(u'、') + u'）');
    }
    return out;
}

QList<TableCheck> replaceServerBook(Database& file, Database& server) {
    const int version = storedSchemaVersion(file);
    if (version > schemaVersion(SchemaFile::Main))
        throw DbError(SQLITE_ERROR, QStringLiteral("このバックアップは新しい版の Vornisa で作られています（版 %1）。"
                                                   "このPCの Vornisa を更新してください。")
                                        .arg(version));
    try {
        // Under the writers' lock no PC registers meanwhile; one that came in since the first check
        // is found by the second, just before the commit.
        Transaction tx(server);
        refuseWhileOthersConnected(server);
        QStringList tables;
        for (const QString& table : server.tables())
            tables << u'"' + QString(table).replace(u'"', QStringLiteral("\"\"")) + u'"';
        // Without CASCADE: anything else built on the book's tables makes the restore fail, unchanged.
        if (!tables.isEmpty())
            server.executeRaw(QStringLiteral("DROP TABLE ") + tables.join(u','));
        const QStringList unused = domainsPresent(server, true);
        if (!unused.isEmpty())
            server.executeRaw(QStringLiteral("DROP DOMAIN ") + unused.join(u','));
        const QList<TableCheck> checks = fillServerBook(file, server);
        refuseWhileOthersConnected(server);
        tx.commit();
        return checks;
    } catch (const DbError&) {
        server.forgetColumns(); // what was read of the tables rolled back is not the book's
        throw;
    }
}

namespace {

void fileExec(sqlite3* db, const QString& sql) {
    char* err = nullptr;
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &err) != SQLITE_OK) {
        const QString text = QString::fromUtf8(err ? err : sqlite3_errmsg(db));
        sqlite3_free(err);
        throw DbError(sqlite3_extended_errcode(db), text);
    }
}

// A server column default as the file writes it: false/true as 0/1, casts left out.
QString fileDefault(QString expression) {
    static const QRegularExpression cast(QStringLiteral("::[a-z ]+$"));
    expression.remove(cast);
    if (expression == QLatin1String("false") || expression == QLatin1String("true"))
        return expression == QLatin1String("true") ? QStringLiteral("1") : QStringLiteral("0");
    return expression;
}

void copyTableToFile(Database& server, sqlite3* file, const QString& table) {
    QStringList definitions, names;
    QStringList types;
    for (const auto& c : server.serverRows(
             QStringLiteral("SELECT a.attname, format_type(a.atttypid, NULL), a.attnotnull, pg_get_expr(d.adbin, "
                            "d.adrelid) FROM pg_attribute a LEFT JOIN pg_attrdef d ON d.adrelid = a.attrelid AND "
                            "d.adnum = a.attnum WHERE a.attrelid = $1::regclass AND a.attnum > 0 AND NOT "
                            "a.attisdropped AND a.attname <> 'rowid' ORDER BY a.attnum"),
             {table})) {
        const QString type = fileType(c[1].toText());
        QString d = c[0].toText() + u' ' + type;
        if (c[2].toBool())
            d += QStringLiteral(" NOT NULL");
        if (!c[3].isNull())
            d += QStringLiteral(" DEFAULT ") + fileDefault(c[3].toText());
        definitions << d;
        names << c[0].toText();
        types << type;
    }
    fileExec(file, QStringLiteral("CREATE TABLE %1 (%2)").arg(table, definitions.join(QStringLiteral(", "))));
    Stmt insert;
    QStringList marks(names.size() + 1, QStringLiteral("?"));
    const QString sql = QStringLiteral("INSERT INTO %1 (rowid, %2) VALUES (%3)").arg(table, names.join(u','), marks.join(u','));
    if (sqlite3_prepare_v2(file, sql.toUtf8().constData(), -1, &insert.st, nullptr) != SQLITE_OK)
        throw DbError(sqlite3_extended_errcode(file), QString::fromUtf8(sqlite3_errmsg(file)));
    const auto rows = server.serverRows(
        QStringLiteral("SELECT rowid AS row_id, %1 FROM %2 ORDER BY rowid").arg(names.join(u','), table));
    for (const auto& row : rows) {
        sqlite3_reset(insert.st);
        sqlite3_bind_int64(insert.st, 1, row[0].toInt());
        for (int i = 1; i < int(row.size()); ++i) {
            const Value& v = row[i];
            if (v.isNull()) {
                sqlite3_bind_null(insert.st, i + 1);
            } else if (types[i - 1] == QLatin1String("BLOB")) { // bytea comes as \x and hex digits
                const QByteArray bytes = QByteArray::fromHex(v.toText().mid(2).toLatin1());
                sqlite3_bind_blob(insert.st, i + 1, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
            } else if (v.isCurrency()) {
                sqlite3_bind_int64(insert.st, i + 1, v.toCurrency().raw());
            } else if (v.isInt() || v.isBool()) {
                sqlite3_bind_int64(insert.st, i + 1, v.toInt());
            } else if (v.isReal()) {
                sqlite3_bind_double(insert.st, i + 1, v.toDouble());
            } else {
                const QByteArray b = v.toText().toUtf8();
                sqlite3_bind_text(insert.st, i + 1, b.constData(), int(b.size()), SQLITE_TRANSIENT);
            }
        }
        if (sqlite3_step(insert.st) != SQLITE_DONE)
            throw DbError(sqlite3_extended_errcode(file), QString::fromUtf8(sqlite3_errmsg(file)));
    }
}

} // namespace

void copyServerBookToFile(Database& server, const QString& path) {
    if (QFile::exists(path))
        throw DbError(SQLITE_CANTOPEN, QStringLiteral("ファイルがすでにあります: ") + path);
    struct File {
        sqlite3* db = nullptr;
        QString path;
        bool keep = false;
        ~File() {
            sqlite3_close_v2(db);
            if (!keep)
                QFile::remove(path);
        }
    } file{nullptr, path};
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &file.db,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOFOLLOW, nullptr) != SQLITE_OK)
        throw DbError(SQLITE_CANTOPEN, QStringLiteral("ファイルを作れません: ") + path);
    // One snapshot of the server for every table, so the copy is consistent while others write.
    Transaction read(server, TxStart::Deferred);
    server.executeRaw(QStringLiteral("SET TRANSACTION ISOLATION LEVEL REPEATABLE READ"));
    fileExec(file.db, QStringLiteral("BEGIN"));
    for (const QString& table : server.tables())
        if (table != ServerVersionTable)
            copyTableToFile(server, file.db, table);
    static const QRegularExpression onTable(QStringLiteral(" ON \\S+?\\.(\\S+) USING \\w+ "));
    for (const auto& index : server.serverRows(QStringLiteral(
             "SELECT indexdef FROM pg_indexes WHERE schemaname = current_schema() AND indexname NOT LIKE '%rowid_key' "
             "ORDER BY indexname")))
        fileExec(file.db, index[0].toText().replace(onTable, QStringLiteral(" ON \\1 ")));
    fileExec(file.db, QStringLiteral("PRAGMA user_version = %1").arg(storedSchemaVersion(server)));
    fileExec(file.db, QStringLiteral("COMMIT"));
    read.commit();
    file.keep = true;
}
