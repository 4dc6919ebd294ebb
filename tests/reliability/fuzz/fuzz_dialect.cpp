// The dialect rewrite under arbitrary text. Every input is tried twice: as a statement, which
// must either be refused with DialectError or become exactly one SQLite statement that stays
// within what the dialect allows; and as a name quoted into the catalogue's statements, which
// must find, delete and attach exactly that name and nothing wider.
#include "check.h"
#include "store/dialect.h"
#include "store/statements.h"

#include <QString>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <sqlite3.h>
#include <string>

namespace {

// What the authorizer saw while one statement was prepared.
struct Seen {
    bool forbidden = false; // schema change, pragma, attach, transaction, unknown function
};

int authorize(void* seen, int action, const char*, const char* b, const char*, const char*) {
    auto* s = static_cast<Seen*>(seen);
    switch (action) {
    case SQLITE_SELECT:
    case SQLITE_READ:
    case SQLITE_INSERT:
    case SQLITE_UPDATE:
    case SQLITE_DELETE:
        break;
    case SQLITE_FUNCTION: {
        // The aggregates the dialect knows, and the functions behind the LIKE and GLOB operators.
        const std::string f = b ? b : "";
        std::string lower;
        for (char c : f)
            lower += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        if (lower != "sum" && lower != "count" && lower != "min" && lower != "max" && lower != "like" &&
            lower != "glob")
            s->forbidden = true;
        break;
    }
    default:
        s->forbidden = true;
    }
    return SQLITE_OK;
}

std::string readFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    FUZZ_REQUIRE(in.good(), "schema file missing");
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Both delivered schemas in one in-memory database; "from T in 'file'" reads from it too.
struct Engine {
    sqlite3* db = nullptr;
    Seen seen;
    QString attachedPath;
    Engine() {
        FUZZ_REQUIRE(sqlite3_open(":memory:", &db) == SQLITE_OK, "in-memory database");
        for (const char* schema : {VORNISA_MAIN_SCHEMA, VORNISA_WORK_SCHEMA})
            FUZZ_REQUIRE(sqlite3_exec(db, readFile(schema).c_str(), nullptr, nullptr, nullptr) == SQLITE_OK, "schema");
        sqlite3_set_authorizer(db, authorize, &seen);
    }
    void exec(const char* sql) {
        sqlite3_set_authorizer(db, nullptr, nullptr);
        FUZZ_REQUIRE(sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK, sql);
        sqlite3_set_authorizer(db, authorize, &seen);
    }
};

Engine& engine() {
    static Engine e;
    return e;
}

// A prepared statement; prepared() is false when SQLite rejects the text.
struct Prepared {
    sqlite3_stmt* st = nullptr;
    bool ok = false;
    bool onlyOne = false; // nothing left over after the first statement
    Prepared(sqlite3* db, const QByteArray& sql) {
        const char* tail = nullptr;
        ok = sqlite3_prepare_v2(db, sql.constData(), static_cast<int>(sql.size()), &st, &tail) == SQLITE_OK;
        if (ok) {
            FUZZ_REQUIRE(st != nullptr, "a rewritten statement is never empty for SQLite");
            while (tail < sql.constData() + sql.size() && (*tail == ' ' || *tail == '\t' || *tail == '\n'))
                ++tail;
            onlyOne = tail == sql.constData() + sql.size();
        }
    }
    Prepared(Prepared&& o) noexcept : st(o.st), ok(o.ok), onlyOne(o.onlyOne) { o.st = nullptr; }
    Prepared(const Prepared&) = delete;
    ~Prepared() { sqlite3_finalize(st); }
};

Rewritten rewrite(const QString& statement) {
    return rewriteStatement(statement, [](const QString& path) {
        engine().attachedPath = path;
        return QStringLiteral("main");
    });
}

// Statement text without the blanks between tokens; literals kept as they are.
QString squeezed(const QString& sql) {
    QString out;
    bool inLiteral = false;
    for (const QChar c : sql) {
        if (c == u'\'')
            inLiteral = !inLiteral;
        if (inLiteral || !c.isSpace())
            out += c;
    }
    return out;
}

void statementProperties(const QString& statement) {
    Engine& e = engine();
    Rewritten r;
    try {
        r = rewrite(statement);
    } catch (const DialectError&) {
        return; // refused: the one allowed failure
    }
    FUZZ_REQUIRE(!r.sql.isEmpty(), "an accepted statement rewrites to some text");
    e.seen = {};
    Prepared p(e.db, r.sql.toUtf8());
    if (!p.ok)
        return; // SQLite refuses it: an error for the caller, never a wrong result
    FUZZ_REQUIRE(p.onlyOne, "a rewritten statement holds exactly one SQLite statement");
    FUZZ_REQUIRE(!e.seen.forbidden, "no schema change, pragma, attach, transaction or unknown function");
    if (statement.trimmed().startsWith(QLatin1String("select"), Qt::CaseInsensitive))
        FUZZ_REQUIRE(sqlite3_stmt_readonly(p.st), "a select never writes");
    FUZZ_REQUIRE(r.updatableTable.isEmpty() || sqlite3_stmt_readonly(p.st),
                 "only a select names a table to write back to");
    // Valid SQLite without quoted names (or the hex text that carries a NUL) that the dialect
    // takes again comes out of a second pass unchanged.
    if (!r.sql.contains(u'"') && !statement.contains(QChar(0))) {
        try {
            FUZZ_REQUIRE(squeezed(rewrite(r.sql).sql) == squeezed(r.sql), "rewriting again changes nothing");
        } catch (const DialectError&) {
            // stricter than SQLite ("where (" reads as a call): refused, which is safe
        }
    }
}

int rowsOf(sqlite3* db, const char* sql) {
    sqlite3_stmt* st = nullptr;
    FUZZ_REQUIRE(sqlite3_prepare_v2(db, sql, -1, &st, nullptr) == SQLITE_OK, sql);
    FUZZ_REQUIRE(sqlite3_step(st) == SQLITE_ROW, sql);
    const int n = sqlite3_column_int(st, 0);
    sqlite3_finalize(st);
    return n;
}

void addCustomer(sqlite3* db, const QString& name, const char* details) {
    static sqlite3_stmt* st = nullptr; // prepared once for the run
    if (!st)
        FUZZ_REQUIRE(sqlite3_prepare_v3(db, "INSERT INTO 顧客マスタ (顧客名, 顧客情報) VALUES (?, ?)", -1, SQLITE_PREPARE_PERSISTENT, &st,
                                        nullptr) == SQLITE_OK,
                     "insert");
    const QByteArray n = name.toUtf8();
    sqlite3_bind_text(st, 1, n.constData(), static_cast<int>(n.size()), SQLITE_TRANSIENT);
    sqlite3_bind_text(st, 2, details, -1, SQLITE_STATIC);
    FUZZ_REQUIRE(sqlite3_step(st) == SQLITE_DONE, "insert");
    sqlite3_reset(st);
}

Prepared prepareCatalogue(const QString& statement) {
    Rewritten r;
    try {
        r = rewrite(statement);
    } catch (const DialectError& err) {
        FUZZ_REQUIRE(false, err.what()); // a quoted name never makes a statement unreadable
    }
    engine().seen = {};
    Prepared p(engine().db, r.sql.toUtf8());
    FUZZ_REQUIRE(p.ok, "a statement with a quoted name is valid SQLite");
    FUZZ_REQUIRE(p.onlyOne, "a quoted name never adds a statement");
    FUZZ_REQUIRE(!engine().seen.forbidden, "a quoted name never reaches beyond the statement");
    return p;
}

void nameProperties(const QString& name) {
    Engine& e = engine();
    e.exec("BEGIN");
    // The name, and names a widened match would also take.
    addCustomer(e.db, name, "hit");
    for (const QString& other : {name + u'\'', u'\'' + name, name + u'%', name + u'_', name + QChar(0)})
        addCustomer(e.db, other, "miss");
    {
        Prepared find = prepareCatalogue(sql::C1(name));
        FUZZ_REQUIRE(sqlite3_step(find.st) == SQLITE_ROW, "the lookup finds the name");
        FUZZ_REQUIRE(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(find.st, 0)),
                                       sqlite3_column_bytes(find.st, 0)) == name,
                     "the lookup returns the name exactly");
        FUZZ_REQUIRE(std::string(reinterpret_cast<const char*>(sqlite3_column_text(find.st, 1))) == "hit",
                     "the lookup returns the row of the name");
        FUZZ_REQUIRE(sqlite3_step(find.st) == SQLITE_DONE, "the lookup finds only the name");
    }
    {
        Prepared remove = prepareCatalogue(sql::C6(name));
        FUZZ_REQUIRE(sqlite3_step(remove.st) == SQLITE_DONE, "the delete runs");
        FUZZ_REQUIRE(sqlite3_changes(e.db) == 1, "the delete takes exactly the one row");
    }
    sqlite3_set_authorizer(e.db, nullptr, nullptr);
    FUZZ_REQUIRE(rowsOf(e.db, "SELECT count(*) FROM 顧客マスタ WHERE 顧客情報 = 'miss'") == 5, "the other names stay");
    sqlite3_set_authorizer(e.db, authorize, &e.seen);
    prepareCatalogue(sql::H2(name, name + u'x'));
    e.attachedPath.clear();
    prepareCatalogue(sql::C4(name));
    FUZZ_REQUIRE(e.attachedPath == name, "the external file clause passes the path exactly");
    e.exec("ROLLBACK");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Any bytes; invalid UTF-8 becomes replacement characters, as it would from a file or the clipboard.
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    statementProperties(text);
    nameProperties(text);
    return 0;
}
