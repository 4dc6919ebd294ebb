// The books on a PostgreSQL server: the parts of Database and Recordset that talk to libpq.
#include "store/database.h"
#include "store/server_book.h"

#include <QSysInfo>
#include <libpq-fe.h>
#include <poll.h>
#include <sqlite3.h>

namespace {

// Every writing transaction takes this one lock first, as BEGIN IMMEDIATE takes the file's write
// lock: writers on every PC follow one another (a number read and raised, a stale copy refused,
// a delivery note billed once), readers never wait.
const QString WriterLock = QStringLiteral("SELECT pg_advisory_xact_lock(7215468812)");

// The server's own type numbers for result columns that belong to no table (sums, counts).
constexpr Oid BoolOid = 16, Int8Oid = 20, Int2Oid = 21, Int4Oid = 23, Float4Oid = 700, Float8Oid = 701,
              NumericOid = 1700;

struct Result {
    PGresult* r;
    ~Result() { PQclear(r); }
};

Value serverValue(const char* text, int length, const QString& type, Oid oid) {
    const QByteArray bytes = QByteArray::fromRawData(text, length);
    if (type == QLatin1String("CURRENCY"))
        return Currency::fromRaw(bytes.toLongLong());
    if (type == QLatin1String("BOOLEAN") || (type.isEmpty() && oid == BoolOid))
        return bytes == "t";
    if (type == QLatin1String("INTEGER") || (type.isEmpty() && (oid == Int8Oid || oid == Int4Oid || oid == Int2Oid)))
        return static_cast<std::int64_t>(bytes.toLongLong());
    if (type == QLatin1String("DOUBLE") || (type.isEmpty() && (oid == Float4Oid || oid == Float8Oid)))
        return bytes.toDouble();
    if (type.isEmpty() && oid == NumericOid) // a sum of money or of whole numbers
        return bytes.contains('.') ? Value(bytes.toDouble()) : Value(static_cast<std::int64_t>(bytes.toLongLong()));
    return QString::fromUtf8(bytes);
}

// A server that ended the session while it sat idle (restarted, or the session ended by its
// administrator) has closed the socket already: reading what waits there finds the end, and
// nothing is sent that could have been half done.
bool droppedWhileIdle(PGconn* c) {
    pollfd p{PQsocket(c), POLLIN, 0};
    while (PQstatus(c) == CONNECTION_OK && poll(&p, 1, 0) > 0)
        if (!PQconsumeInput(c))
            break;
    return PQstatus(c) != CONNECTION_OK;
}

QString serverParam(const Value& v) {
    if (v.isNull())
        return {};
    if (v.isBool())
        return v.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    if (v.isReal())
        return QString::number(v.toDouble(), 'g', 17);
    return v.toText();
}

} // namespace

void closeServer(pg_conn* connection) {
    if (connection)
        PQfinish(connection);
}

void clearResult(pg_result* result) {
    PQclear(result);
}

std::unique_ptr<Database> Database::connect(const QString& connection, const QStringList& requiredTables) {
    // The program's name and the PC's go with the connection, so a restore can say who else is in.
    const QByteArray conninfo = connection.toUtf8();
    const QByteArray application = sessionName(QSysInfo::machineHostName());
    // A server out of reach is given up after a while (the window waits while it connects); the
    // connection text may say otherwise, as it comes after.
    const char* keys[] = {"connect_timeout", "dbname", "application_name", "client_encoding", nullptr};
    const char* values[] = {"10", conninfo.constData(), application.constData(), "UTF8", nullptr};
    PGconn* c = PQconnectdbParams(keys, values, 1);
    if (PQstatus(c) != CONNECTION_OK) {
        const QString text = QString::fromUtf8(PQerrorMessage(c)).trimmed();
        PQfinish(c);
        throw DbError(SQLITE_CANTOPEN, QStringLiteral("サーバーに接続できません: ") + text);
    }
    std::unique_ptr<Database> db(new Database(nullptr, connection));
    db->pg_ = c;
    db->serverSession();
    for (const QString& table : requiredTables)
        if (db->columns(table).empty())
            throw DbError(SQLITE_ERROR, QStringLiteral("テーブルがありません: ") + table + QStringLiteral(" (") +
                                            connection + u')');
    return db;
}

bool Database::serverUsesTls() const {
    return pg_ && PQsslInUse(pg_) == 1;
}

bool Database::engineInTransaction() const {
    if (pg_)
        return PQtransactionStatus(pg_) == PQTRANS_INTRANS || PQtransactionStatus(pg_) == PQTRANS_INERROR;
    return !sqlite3_get_autocommit(db_);
}

void Database::serverSession() {
    executeRaw(QStringLiteral("SET client_min_messages = warning"));
}

void Database::keepServerConnection() {
    if (!droppedWhileIdle(pg_))
        return;
    PQreset(pg_);
    if (PQstatus(pg_) != CONNECTION_OK) {
        const QString host = QString::fromUtf8(PQhost(pg_));
        throw DbError(SQLITE_CANTOPEN,
                      QStringLiteral("サーバー %1 に接続できません。このPCがネットワークにつながっているか、サーバーのPCと "
                                     "PostgreSQL が動いているかを確かめてください。操作をやり直すと、もう一度接続します。\n")
                              .arg(host.isEmpty() ? path_ : host) +
                          QString::fromUtf8(PQerrorMessage(pg_)).trimmed());
    }
    forgetColumns(); // a new session: nothing read on the old one is relied on
    serverSession();
}

pg_result* Database::serverExec(const QString& sql, const QStringList& params) {
    // A connection lost between actions is made again by the next one. Inside a transaction it
    // never is: the server has undone the work, and the statements after would commit on their own.
    if (depth_ == 0)
        keepServerConnection();
    std::vector<QByteArray> bytes;
    bytes.reserve(params.size());
    std::vector<const char*> pointers;
    for (const QString& p : params) {
        if (p.contains(QChar(0)))
            throw DbError(SQLITE_MISMATCH, QStringLiteral("文字 NUL を含む値はサーバーに保存できません"));
        bytes.push_back(p.toUtf8());
        pointers.push_back(p.isNull() ? nullptr : bytes.back().constData());
    }
    const QByteArray text = sql.toUtf8();
    // Without parameters the text may hold several statements (schema steps).
    PGresult* r = params.isEmpty() ? PQexec(pg_, text.constData())
                                   : PQexecParams(pg_, text.constData(), int(pointers.size()), nullptr,
                                                  pointers.data(), nullptr, nullptr, 0);
    const ExecStatusType status = PQresultStatus(r);
    if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK)
        return r;
    QString message = QString::fromUtf8(r ? PQresultErrorMessage(r) : PQerrorMessage(pg_)).trimmed();
    const QByteArray state = r ? QByteArray(PQresultErrorField(r, PG_DIAG_SQLSTATE)) : QByteArray();
    PQclear(r);
    if (PQstatus(pg_) != CONNECTION_OK)
        throw DbError(SQLITE_IOERR, QStringLiteral("サーバーとの接続が切れました。") +
                                        (depth_ > 0 ? QStringLiteral("途中までの変更はサーバーで取り消されています。")
                                                    : QString()) +
                                        QStringLiteral("もう一度操作すると接続し直します。\n") + message);
    // Deadlocks and serialization failures are another PC's work in the way, as a busy file is.
    throw DbError(state.startsWith("40") ? SQLITE_BUSY : SQLITE_ERROR, message);
}

void Database::serverBegin(TxStart start) {
    keepServerConnection(); // nothing of the transaction is sent yet
    executeRaw(QStringLiteral("BEGIN"));
    if (start == TxStart::Immediate)
        executeRaw(WriterLock);
}

void Database::serverCommit() {
    // The transaction's number is read first: a COMMIT whose answer is lost is looked up by it.
    QString xid; // empty when nothing was written
    {
        const Result r{serverExec(QStringLiteral("SELECT txid_current_if_assigned()"), {})};
        xid = QString::fromLatin1(PQgetvalue(r.r, 0, 0));
    }
    DbError lost(0, QString());
    try {
        executeRaw(QStringLiteral("COMMIT"));
        return;
    } catch (const DbError& e) {
        if (e.code != SQLITE_IOERR || xid.isEmpty()) // not the connection, or nothing written to lose
            throw;
        lost = e;
    }
    depth_ = 0; // asked on a new connection
    QString outcome;
    try {
        const Result r{serverExec(QStringLiteral("SELECT txid_status($1)"), {xid})};
        outcome = QString::fromLatin1(PQgetvalue(r.r, 0, 0));
    } catch (const DbError&) {
        // Not connected again: said below.
    }
    if (outcome == QLatin1String("committed"))
        return;
    if (outcome == QLatin1String("aborted"))
        throw lost;
    DbError unknown(SQLITE_IOERR, QStringLiteral("サーバーとの接続が切れ、保存が済んだかどうか確かめられませんでした。接続が"
                                                 "戻ってから、一覧で確かめてください。\n") +
                                      lost.text);
    unknown.outcomeUnknown = true;
    throw unknown;
}

void Database::serverColumns(const QString& table, std::vector<std::pair<QString, QString>>& cols) {
    // The rowid column every server table has is hidden, as the file's rowid is.
    for (const auto& row : serverRows(
             QStringLiteral("SELECT a.attname, format_type(a.atttypid, NULL) FROM pg_attribute a JOIN pg_class c ON "
                            "c.oid = a.attrelid WHERE c.relname = lower($1) AND c.relkind = 'r' AND c.relnamespace = "
                            "current_schema()::regnamespace AND a.attnum > 0 AND NOT a.attisdropped AND a.attname <> "
                            "'rowid' ORDER BY a.attnum"),
             {table}))
        cols.emplace_back(row[0].toText(), fileType(row[1].toText()));
}

const QHash<int, QString>& Database::serverTypes(unsigned tableOid) {
    auto it = serverTypes_.find(tableOid);
    if (it != serverTypes_.end())
        return *it;
    QHash<int, QString> types;
    Result r{serverExec(QStringLiteral("SELECT attnum, format_type(atttypid, NULL) FROM pg_attribute WHERE attrelid = "
                                       "$1 AND attnum > 0"),
                        {QString::number(tableOid)})};
    for (int i = 0; i < PQntuples(r.r); ++i)
        types.insert(QByteArray(PQgetvalue(r.r, i, 0)).toInt(), fileType(QString::fromUtf8(PQgetvalue(r.r, i, 1))));
    return *serverTypes_.insert(tableOid, types);
}

QString Database::serverNamedType(const QString& name) {
    if (serverNamedTypes_.isEmpty()) {
        Result r{serverExec(QStringLiteral("SELECT a.attname, format_type(a.atttypid, NULL) FROM pg_attribute a JOIN "
                                           "pg_class c ON c.oid = a.attrelid WHERE c.relkind = 'r' AND c.relnamespace = "
                                           "current_schema()::regnamespace AND a.attnum > 0 AND NOT a.attisdropped"),
                            {})};
        for (int i = 0; i < PQntuples(r.r); ++i) {
            const QString column = QString::fromUtf8(PQgetvalue(r.r, i, 0));
            const QString type = fileType(QString::fromUtf8(PQgetvalue(r.r, i, 1)));
            const auto it = serverNamedTypes_.constFind(column);
            serverNamedTypes_.insert(column, it == serverNamedTypes_.constEnd() || *it == type ? type : QString());
        }
    }
    return serverNamedTypes_.value(name);
}

std::unique_ptr<Recordset> Database::serverRecordset(const Rewritten& r) {
    QString sql;
    auto rs = recordsetFor(r, sql);
    const bool updatable = !rs->table_.isEmpty();
    Result res{serverExec(sql, r.params)};
    std::vector<int> shown;
    std::vector<Oid> oids;
    for (int i = updatable ? 1 : 0; i < PQnfields(res.r); ++i) {
        const QString name = QString::fromUtf8(PQfname(res.r, i));
        const Oid table = PQftable(res.r, i);
        if (table != InvalidOid && name == QLatin1String("rowid"))
            continue;
        shown.push_back(i);
        oids.push_back(PQftype(res.r, i));
        rs->names_ << name;
        rs->types_ << (table != InvalidOid ? serverTypes(table).value(PQftablecol(res.r, i)) : serverNamedType(name));
    }
    const int rows = PQntuples(res.r);
    rs->rows_.reserve(rows);
    for (int row = 0; row < rows; ++row) {
        std::vector<Value> values;
        values.reserve(shown.size());
        for (size_t k = 0; k < shown.size(); ++k)
            values.push_back(PQgetisnull(res.r, row, shown[k])
                                 ? Value()
                                 : serverValue(PQgetvalue(res.r, row, shown[k]), PQgetlength(res.r, row, shown[k]),
                                               rs->types_[int(k)], oids[k]));
        rs->rows_.push_back(std::move(values));
        if (updatable)
            rs->rowids_.push_back(QByteArray(PQgetvalue(res.r, row, 0)).toLongLong());
    }
    return rs;
}

std::vector<std::vector<Value>> Database::serverRows(const QString& sql, const QStringList& params) {
    std::vector<std::vector<Value>> rows;
    auto rs = serverRecordset(Rewritten{sql, params, QString()});
    std::vector<long long> rowids;
    rs->release(rows, rowids);
    return rows;
}

void Database::serverUpdate(const QString& sql, const std::vector<std::pair<QString, Value>>& values) {
    QStringList params;
    for (const auto& v : values)
        params << serverParam(v.second);
    clearResult(serverExec(sql, params));
}
