#include "store/database.h"

#include "store/dialect.h"

#include <QDate>
#include <QFileInfo>
#include <QScopeGuard>
#include <sqlite3.h>

namespace {

QString declType(const QString& t) {
    return t.toUpper();
}

// How a column is read, decided once per column from its declared type, so money and
// yes/no come back as such.
enum class ColumnKind { Plain, Money, YesNo };

ColumnKind columnKind(const QString& type) {
    if (type == QLatin1String("CURRENCY"))
        return ColumnKind::Money;
    if (type == QLatin1String("BOOLEAN"))
        return ColumnKind::YesNo;
    return ColumnKind::Plain;
}

QString readText(sqlite3_stmt* st, int i) {
    return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, i)), sqlite3_column_bytes(st, i));
}

Value readColumn(sqlite3_stmt* st, int i, ColumnKind how) {
    const int kind = sqlite3_column_type(st, i);
    if (kind == SQLITE_NULL)
        return {};
    if (how == ColumnKind::Money)
        return Currency::fromRaw(sqlite3_column_int64(st, i));
    if (how == ColumnKind::YesNo)
        return sqlite3_column_int64(st, i) != 0;
    switch (kind) {
    case SQLITE_INTEGER:
        return static_cast<std::int64_t>(sqlite3_column_int64(st, i));
    case SQLITE_FLOAT:
        return sqlite3_column_double(st, i);
    default:
        return readText(st, i);
    }
}

struct Stmt {
    sqlite3_stmt* st = nullptr;
    ~Stmt() { sqlite3_finalize(st); }
};

} // namespace

std::unique_ptr<Database> Database::open(const QString& path, const QStringList& requiredTables,
                                         Durability durability) {
    if (!QFileInfo(path).isFile())
        throw DbError(SQLITE_CANTOPEN, QStringLiteral("ファイルが見つかりません: ") + path);
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &raw, SQLITE_OPEN_READWRITE, nullptr);
    if (rc != SQLITE_OK) {
        const QString text = raw ? QString::fromUtf8(sqlite3_errmsg(raw)) : QStringLiteral("cannot open");
        sqlite3_close(raw);
        throw DbError(rc, text + QStringLiteral(": ") + path);
    }
    std::unique_ptr<Database> db(new Database(raw, path));
    sqlite3_extended_result_codes(raw, 1);
    sqlite3_busy_timeout(raw, 5000);
    // The engine falls back to reading a file it may not write: the books would then fail at
    // the first save. Refused here, before anything is written.
    if (sqlite3_db_readonly(raw, "main") == 1)
        throw DbError(SQLITE_READONLY, QStringLiteral("書き込みできないファイルです: ") + path);
    try {
        // Checked before anything is set: switching an empty file to WAL would write a database into it.
        for (const QString& table : requiredTables)
            if (db->columns(table).empty())
                throw DbError(SQLITE_ERROR, QStringLiteral("テーブルがありません: ") + table);
        db->executeRaw(QStringLiteral("PRAGMA journal_mode=WAL"));
        db->executeRaw(durability == Durability::Full ? QStringLiteral("PRAGMA synchronous=FULL")
                                                      : QStringLiteral("PRAGMA synchronous=NORMAL"));
    } catch (const DbError& e) {
        throw DbError(e.code, e.text + QStringLiteral(" (") + path + u')');
    }
    return db;
}

Database::~Database() {
    sqlite3_close_v2(db_);
    closeServer(pg_);
}

void Database::compactIfMostlyFree() {
    if (inTransaction() || pg_)
        return;
    const auto pragma = [this](const char* sql) {
        Stmt s;
        if (sqlite3_prepare_v2(db_, sql, -1, &s.st, nullptr) != SQLITE_OK || sqlite3_step(s.st) != SQLITE_ROW)
            fail();
        return sqlite3_column_int64(s.st, 0);
    };
    const qint64 pages = pragma("PRAGMA page_count"), unused = pragma("PRAGMA freelist_count");
    if (unused < CompactFreePages || unused * 2 < pages)
        return;
    // Page by page, not VACUUM: VACUUM numbers the rows anew, and the grids write back by rowid.
    executeRaw(QStringLiteral("PRAGMA incremental_vacuum"));
    executeRaw(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
}

void Database::keepSpaceReclaimable() {
    if (pg_)
        return; // the server keeps its own space
    Stmt s;
    if (sqlite3_prepare_v2(db_, "PRAGMA auto_vacuum", -1, &s.st, nullptr) != SQLITE_OK || sqlite3_step(s.st) != SQLITE_ROW)
        fail();
    if (sqlite3_column_int(s.st, 0) == 2) // incremental already
        return;
    sqlite3_finalize(s.st);
    s.st = nullptr;
    executeRaw(QStringLiteral("PRAGMA auto_vacuum = INCREMENTAL"));
    executeRaw(QStringLiteral("VACUUM"));
    executeRaw(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
}

void Database::fail() const {
    throw DbError(sqlite3_extended_errcode(db_), QString::fromUtf8(sqlite3_errmsg(db_)));
}

void Database::executeRaw(const QString& sql) {
    if (pg_) {
        clearResult(serverExec(sql, {}));
        return;
    }
    char* err = nullptr;
    if (sqlite3_exec(db_, sql.toUtf8().constData(), nullptr, nullptr, &err) != SQLITE_OK) {
        const QString text = QString::fromUtf8(err ? err : "error");
        sqlite3_free(err);
        throw DbError(sqlite3_extended_errcode(db_), text);
    }
}

const std::vector<std::pair<QString, QString>>& Database::columns(const QString& table) {
    auto it = columns_.find(table);
    if (it != columns_.end())
        return *it;
    std::vector<std::pair<QString, QString>> cols;
    if (pg_)
        serverColumns(table, cols);
    else
        fileColumns(table, cols);
    if (cols.empty())
        return *columns_.insert(QString(), {}); // not cached: an empty entry for a missing table
    return *columns_.insert(table, std::move(cols));
}

void Database::fileColumns(const QString& table, std::vector<std::pair<QString, QString>>& cols) {
    Stmt s;
    const QString sql =
        QStringLiteral("PRAGMA table_info(\"%1\")").arg(QString(table).replace(u'"', QStringLiteral("\"\"")));
    if (sqlite3_prepare_v2(db_, sql.toUtf8().constData(), -1, &s.st, nullptr) != SQLITE_OK)
        fail();
    int rc;
    while ((rc = sqlite3_step(s.st)) == SQLITE_ROW)
        cols.emplace_back(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s.st, 1))),
                          declType(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s.st, 2)))));
    if (rc != SQLITE_DONE)
        fail();
}

QStringList Database::tables() {
    if (pg_) {
        QStringList names;
        for (const auto& row : serverRows(QStringLiteral("SELECT c.relname FROM pg_class c WHERE c.relkind = 'r' AND "
                                                         "c.relnamespace = current_schema()::regnamespace ORDER BY c.oid")))
            names << row[0].toText();
        return names;
    }
    return textColumn(QStringLiteral("select name from sqlite_master where type = 'table' order by rowid"),
                      QStringLiteral("name"));
}

QString Database::attach(const QString& path) {
    auto it = attached_.find(path);
    if (it != attached_.end())
        return *it;
    // ATTACH would create a missing file; the system never creates databases.
    if (!QFileInfo(path).isFile())
        throw DbError(SQLITE_CANTOPEN, QStringLiteral("ファイルが見つかりません: ") + path);
    const QString alias = QStringLiteral("ext%1").arg(attached_.size() + 1);
    Stmt s;
    if (sqlite3_prepare_v2(db_, ("ATTACH DATABASE ? AS " + alias).toUtf8().constData(), -1, &s.st, nullptr) !=
        SQLITE_OK)
        fail();
    const QByteArray p = path.toUtf8();
    sqlite3_bind_text(s.st, 1, p.constData(), p.size(), SQLITE_TRANSIENT);
    if (sqlite3_step(s.st) != SQLITE_DONE)
        fail();
    attached_.insert(path, alias);
    return alias;
}

Rewritten Database::rewrite(const QString& statement) {
    try {
        return rewriteStatement(
            statement, [this](const QString& p) { return attach(p); }, pg_ ? Engine::Server : Engine::File);
    } catch (const DialectError& e) {
        throw DbError(SQLITE_ERROR, QString::fromUtf8(e.what()));
    }
}

void Database::execute(const QString& statement) {
    if (serverBook_)
        if (const auto copy = externalInsert(statement); copy && copy->book == serverBook_->path()) {
            auto from = serverBook_->openRecordset(copy->source);
            auto to = openRecordset(QStringLiteral("select * from [%1] where 1 = 0").arg(copy->target));
            for (from->moveFirst(); !from->eof(); from->moveNext()) {
                to->addNew();
                for (const QString& name : from->fieldNames())
                    to->setField(name, from->field(name));
                to->update();
            }
            return;
        }
    const Rewritten r = rewrite(statement);
    if (pg_)
        clearResult(serverExec(r.sql, r.params));
    else
        executeRaw(r.sql);
}

void Database::begin(TxStart start) {
    if (depth_++ == 0) {
        failedInside_ = false;
        try {
            if (pg_)
                serverBegin(start);
            else
                executeRaw(start == TxStart::Immediate ? QStringLiteral("BEGIN IMMEDIATE") : QStringLiteral("BEGIN"));
        } catch (...) {
            depth_ = 0;
            undoQuietly(); // begun but not locked: nothing may run inside it unseen
            throw;
        }
    }
}

void Database::commit() {
    if (depth_ == 0)
        return;
    if (depth_ > 1) {
        --depth_;
        return;
    }
    // The outermost end runs while depth_ still counts the transaction: a connection lost under it
    // is never made again for its COMMIT, which would then commit nothing and report success.
    const auto ended = qScopeGuard([this] { depth_ = 0; });
    if (failedInside_) {
        if (engineInTransaction())
            executeRaw(QStringLiteral("ROLLBACK"));
        throw DbError(SQLITE_ABORT, QStringLiteral("transaction rolled back"));
    }
    try {
        if (pg_)
            serverCommit();
        else
            executeRaw(QStringLiteral("COMMIT"));
    } catch (...) {
        undoQuietly();
        throw;
    }
}

void Database::undoQuietly() {
    if (engineInTransaction())
        try {
            executeRaw(QStringLiteral("ROLLBACK"));
        } catch (const DbError&) {
            // The failure that led here is the one reported.
        }
}

void Database::rollback() {
    if (depth_ == 0)
        return;
    if (depth_ > 1) {
        --depth_;
        failedInside_ = true; // an inner part failed: the outer commit must not go through
        return;
    }
    const auto ended = qScopeGuard([this] { depth_ = 0; });
    if (engineInTransaction()) // not over a lost connection: the server has undone the work already
        executeRaw(QStringLiteral("ROLLBACK"));
}

std::unique_ptr<Recordset> Database::recordsetFor(const Rewritten& r, QString& sql) {
    std::unique_ptr<Recordset> rs(new Recordset);
    rs->db_ = this;
    sql = r.sql;
    if (!r.updatableTable.isEmpty() && !columns(r.updatableTable).empty()) {
        rs->table_ = r.updatableTable;
        sql = QStringLiteral("SELECT rowid AS \"__rowid\", ") + sql.mid(sql.indexOf(u' ') + 1);
    }
    return rs;
}

std::unique_ptr<Recordset> Database::openRecordset(const QString& statement) {
    const Rewritten r = rewrite(statement);
    if (pg_)
        return serverRecordset(r);
    QString sql;
    auto rs = recordsetFor(r, sql);
    const bool updatable = !rs->table_.isEmpty();
    Stmt s;
    if (sqlite3_prepare_v2(db_, sql.toUtf8().constData(), -1, &s.st, nullptr) != SQLITE_OK)
        fail();
    const int first = updatable ? 1 : 0;
    const int n = sqlite3_column_count(s.st);
    std::vector<ColumnKind> kinds;
    for (int i = first; i < n; ++i) {
        rs->names_ << QString::fromUtf8(sqlite3_column_name(s.st, i));
        const char* t = sqlite3_column_decltype(s.st, i);
        rs->types_ << (t ? declType(QString::fromUtf8(t)) : QString());
        kinds.push_back(columnKind(rs->types_.back()));
    }
    int rc;
    while ((rc = sqlite3_step(s.st)) == SQLITE_ROW) {
        std::vector<Value> row;
        row.reserve(n - first);
        for (int i = first; i < n; ++i)
            row.push_back(readColumn(s.st, i, kinds[i - first]));
        rs->rows_.push_back(std::move(row));
        if (updatable)
            rs->rowids_.push_back(sqlite3_column_int64(s.st, 0));
    }
    if (rc != SQLITE_DONE)
        fail();
    return rs;
}

QStringList Database::textColumn(const QString& statement, const QString& column) {
    if (pg_) {
        auto rs = openRecordset(statement);
        QStringList texts;
        for (rs->moveFirst(); !rs->eof(); rs->moveNext())
            if (const Value v = rs->field(column); !v.isNull())
                texts << v.toText();
        return texts;
    }
    const Rewritten r = rewrite(statement);
    Stmt s;
    if (sqlite3_prepare_v2(db_, r.sql.toUtf8().constData(), -1, &s.st, nullptr) != SQLITE_OK)
        fail();
    int at = -1;
    for (int i = 0; i < sqlite3_column_count(s.st); ++i)
        if (QString::fromUtf8(sqlite3_column_name(s.st, i)) == column)
            at = i;
    if (at < 0)
        throw DbError(SQLITE_ERROR, QStringLiteral("項目がありません: ") + column);
    QStringList texts;
    int rc;
    while ((rc = sqlite3_step(s.st)) == SQLITE_ROW)
        if (sqlite3_column_type(s.st, at) != SQLITE_NULL)
            texts << readText(s.st, at);
    if (rc != SQLITE_DONE)
        fail();
    return texts;
}

Recordset::~Recordset() {
    sqlite3_finalize(last_);
}

void Recordset::release(std::vector<std::vector<Value>>& rows, std::vector<long long>& rowids) {
    rows = std::move(rows_);
    rowids = std::move(rowids_);
    rows_.clear();
    rowids_.clear();
}

int Recordset::index(const QString& name) const {
    // Names are matched as both engines match them: ASCII letters in either case.
    for (int i = 0; i < names_.size(); ++i)
        if (names_[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    throw DbError(SQLITE_ERROR, QStringLiteral("項目がありません: ") + name);
}

QString Recordset::typeOf(const QString& column) {
    for (const auto& c : db_->columns(table_))
        if (c.first.compare(column, Qt::CaseInsensitive) == 0)
            return c.second;
    return QString();
}

Value Recordset::field(const QString& name) const {
    const int i = index(name);
    if (mode_ != Mode::None)
        for (const auto& [k, v] : pending_)
            if (k == i)
                return v;
    if (mode_ == Mode::Add || eof() || pos_ < 0)
        return {};
    return rows_[pos_][i];
}

void Recordset::setField(const QString& name, const Value& v) {
    if (mode_ == Mode::None)
        throw DbError(SQLITE_MISUSE, QStringLiteral("更新の準備がされていません"));
    const int i = index(name);
    for (auto& p : pending_)
        if (p.first == i) {
            p.second = v;
            return;
        }
    pending_.emplace_back(i, v);
}

void Recordset::addNew() {
    if (table_.isEmpty())
        throw DbError(SQLITE_READONLY, QStringLiteral("更新できないレコードセットです"));
    mode_ = Mode::Add;
    pending_.clear();
}

void Recordset::edit() {
    if (table_.isEmpty())
        throw DbError(SQLITE_READONLY, QStringLiteral("更新できないレコードセットです"));
    if (eof())
        throw DbError(SQLITE_NOTFOUND, QStringLiteral("カレントレコードがありません"));
    mode_ = Mode::Edit;
    pending_.clear();
}

Value storedValue(const Value& v, const QString& type) {
    if (type == QLatin1String("BOOLEAN"))
        return v.toBool(); // yes/no is never Null
    if (v.isNull())
        return {};
    if (type == QLatin1String("CURRENCY")) {
        if (v.isText() && !Currency::parse(v.toText()))
            throw DbError(SQLITE_MISMATCH, QStringLiteral("金額として読めません: ") + v.toText());
        return static_cast<std::int64_t>(v.toCurrency().raw());
    }
    if (type == QLatin1String("DATETIME")) {
        const QDate d = QDate::fromString(v.toText(), QStringLiteral("yyyy/MM/dd"));
        if (!d.isValid())
            throw DbError(SQLITE_MISMATCH, QStringLiteral("日付として読めません: ") + v.toText());
        return d.toString(QStringLiteral("yyyy/MM/dd"));
    }
    if (type == QLatin1String("INTEGER") || type == QLatin1String("LONG")) {
        if (!v.isText())
            return v.toInt();
        bool ok = false;
        const qlonglong n = v.toText().trimmed().toLongLong(&ok);
        if (!ok)
            throw DbError(SQLITE_MISMATCH, QStringLiteral("整数として読めません: ") + v.toText());
        return static_cast<std::int64_t>(n);
    }
    if (type == QLatin1String("DOUBLE"))
        return v.toDouble();
    return v.toText();
}

namespace {

void bindValue(sqlite3_stmt* st, int at, const Value& v) {
    if (v.isNull()) {
        sqlite3_bind_null(st, at);
    } else if (v.isBool() || v.isInt()) {
        sqlite3_bind_int64(st, at, v.toInt());
    } else if (v.isReal()) {
        sqlite3_bind_double(st, at, v.toDouble());
    } else {
        const QByteArray b = v.toText().toUtf8();
        sqlite3_bind_text(st, at, b.constData(), b.size(), SQLITE_TRANSIENT);
    }
}

QString q(const QString& name) {
    return u'"' + QString(name).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

} // namespace

void Recordset::update() {
    if (mode_ == Mode::None)
        throw DbError(SQLITE_MISUSE, QStringLiteral("更新の準備がされていません"));
    QStringList parts;
    std::vector<std::pair<QString, Value>> values;
    for (const auto& p : pending_) {
        parts << q(names_[p.first]);
        values.emplace_back(names_[p.first], storedValue(p.second, typeOf(names_[p.first])));
    }
    const bool server = db_->onServer();
    int at = 0;
    const auto placeholder = [&] { return server ? u'$' + QString::number(++at) : QStringLiteral("?"); };
    QString sql;
    if (mode_ == Mode::Add) {
        QStringList marks;
        for (qsizetype i = 0; i < parts.size(); ++i)
            marks << placeholder();
        if (parts.isEmpty())
            sql = QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(q(table_));
        else
            sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(q(table_), parts.join(u','), marks.join(u','));
    } else {
        QStringList sets;
        for (const QString& p : parts)
            sets << p + u'=' + placeholder();
        if (sets.isEmpty()) {
            mode_ = Mode::None;
            return;
        }
        sql = QStringLiteral("UPDATE %1 SET %2 WHERE rowid=%3").arg(q(table_), sets.join(u','), placeholder());
        values.emplace_back(QString(), static_cast<std::int64_t>(rowids_[pos_]));
    }
    if (server)
        db_->serverUpdate(sql, values);
    else
        fileUpdate(sql, values);
    // Keep the record set in step with what was stored.
    if (mode_ == Mode::Edit) {
        for (const auto& p : pending_)
            rows_[pos_][p.first] = p.second;
    }
    mode_ = Mode::None;
    pending_.clear();
}

void Recordset::fileUpdate(const QString& sql, const std::vector<std::pair<QString, Value>>& values) {
    if (sql != lastSql_ || !last_) {
        sqlite3_finalize(last_);
        last_ = nullptr;
        lastSql_.clear();
        if (sqlite3_prepare_v2(db_->db_, sql.toUtf8().constData(), -1, &last_, nullptr) != SQLITE_OK)
            db_->fail();
        lastSql_ = sql;
    }
    sqlite3_reset(last_);
    sqlite3_clear_bindings(last_);
    int at = 1;
    for (const auto& v : values)
        bindValue(last_, at++, v.second);
    if (sqlite3_step(last_) != SQLITE_DONE) {
        const DbError e(sqlite3_extended_errcode(db_->db_), QString::fromUtf8(sqlite3_errmsg(db_->db_)));
        sqlite3_reset(last_);
        throw e;
    }
    sqlite3_reset(last_); // holds nothing past this write
}
