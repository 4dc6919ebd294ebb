#pragma once
#include "store/dialect.h"
#include "store/value.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <memory>
#include <stdexcept>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;
struct pg_conn;
struct pg_result;
class Recordset;

// Failures of the engine carry its number and text, which start-up shows as they are.
struct DbError : std::runtime_error {
    DbError(int code, const QString& text) : std::runtime_error(text.toStdString()), code(code), text(text) {}
    int code;
    QString text;
    // A save whose end was lost with the server connection, and whose outcome no one could tell:
    // it is not said to have failed.
    bool outcomeUnknown = false;
};

enum class Durability {
    Full,   // the books: every commit reaches the disk before it returns
    Scratch // work tables: safe against corruption, may lose the last commits on power loss
};

// Immediate takes the file's write lock at once, as every save of the books does. Deferred
// locks only what it comes to write: a work-file change held open while the main file commits,
// which an immediate start would block through the main file attached to the work connection.
enum class TxStart { Immediate, Deferred };

// The books in a file (SQLite) or on a server (PostgreSQL, for an office of several PCs): one
// interface, the statements written once; what differs is in dialect.cpp and server.cpp.
class Database {
  public:
    // Opens an existing file for shared read and write; never creates one. Fails when the
    // file is missing, is not a database, or lacks one of the required tables.
    static std::unique_ptr<Database> open(const QString& path, const QStringList& requiredTables,
                                          Durability durability);
    // Connects to a book on a server; `connection` is libpq's connection text or service name
    // (passwords come from libpq's own password file, never from the program). Fails when the
    // server cannot be reached or, with requiredTables, when one of them is missing.
    static std::unique_ptr<Database> connect(const QString& connection, const QStringList& requiredTables);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // The file, or the connection text of a server book.
    const QString& path() const { return path_; }
    bool onServer() const { return pg_ != nullptr; }
    bool serverUsesTls() const;
    // A work file beside a book on a server: statements copying "from T in '<book's path()>'"
    // read their rows from that book.
    void linkServerBook(Database* book) { serverBook_ = book; }
    // The tables the book holds, in the order they were made.
    QStringList tables();

    // Runs an action statement written in the program's dialect.
    void execute(const QString& statement);
    std::unique_ptr<Recordset> openRecordset(const QString& statement);
    // One text column of every row, Nulls left out, read in one pass: long lists for display.
    QStringList textColumn(const QString& statement, const QString& column);

    // A transaction; nested calls join the outer one. Use Transaction below.
    void begin(TxStart start = TxStart::Immediate);
    void commit();
    void rollback();
    bool inTransaction() const { return depth_ > 0; }

    // Declared column types of a table, in column order (name, declared type).
    const std::vector<std::pair<QString, QString>>& columns(const QString& table);
    // After a schema change: columns are read again from the file.
    void forgetColumns() {
        columns_.clear();
        serverTypes_.clear();
        serverNamedTypes_.clear();
    }

    // Gives the file's unused space back to the disk when it is at least half the file and
    // CompactFreePages pages (a large import cleared away), page by page so every row keeps its
    // rowid. Needs keepSpaceReclaimable; nothing is done inside a transaction.
    static constexpr qint64 CompactFreePages = 256;
    void compactIfMostlyFree();
    // Switches a file to giving its space back page by page (auto_vacuum incremental). A file
    // made before is converted with one VACUUM, which numbers rows anew: only while nothing holds
    // rowids of it, at opening.
    void keepSpaceReclaimable();

    sqlite3* handle() const { return db_; }
    pg_conn* serverHandle() const { return pg_; }
    // Raw engine text, bypassing the dialect (engine set-up, schema steps, tests, tools).
    void executeRaw(const QString& sql);
    // The server only: a statement in the server's own text with bound text parameters (Null for
    // a null QString); the result's rows as values read by the result's own column types.
    std::vector<std::vector<Value>> serverRows(const QString& sql, const QStringList& params = {});

  private:
    Database(sqlite3* db, QString path) : db_(db), path_(std::move(path)) {}
    QString attach(const QString& path);
    [[noreturn]] void fail() const;
    Rewritten rewrite(const QString& statement);
    // A record set for a rewritten select; `sql` becomes what to run: with the rowid first when
    // its rows can be written back.
    std::unique_ptr<Recordset> recordsetFor(const Rewritten& r, QString& sql);
    void fileColumns(const QString& table, std::vector<std::pair<QString, QString>>& cols);
    bool engineInTransaction() const;
    // Ends what the engine still holds open after a failure.
    void undoQuietly();
    // Server parts (server.cpp).
    pg_result* serverExec(const QString& sql, const QStringList& params);
    // Before the first statement of an action: a connection the server or the network dropped
    // since the last one is made again, with its session settings; throws when it cannot be.
    void keepServerConnection();
    void serverSession();
    void serverBegin(TxStart start);
    // COMMIT, its answer looked up on a new connection when the connection goes with it: returns
    // when the transaction went through, throws when it was undone or no one can tell.
    void serverCommit();
    void serverColumns(const QString& table, std::vector<std::pair<QString, QString>>& cols);
    std::unique_ptr<Recordset> serverRecordset(const Rewritten& r);
    void serverUpdate(const QString& sql, const std::vector<std::pair<QString, Value>>& values);
    // The declared types of a server table's columns by attribute number, for reading results.
    const QHash<int, QString>& serverTypes(unsigned tableOid);
    // The declared type of a result column no one table gives (a union's): the type its name has
    // in every table of the book, as the file takes it from the first select; "" when it differs.
    QString serverNamedType(const QString& name);

    sqlite3* db_;
    pg_conn* pg_ = nullptr;
    Database* serverBook_ = nullptr;
    QHash<unsigned, QHash<int, QString>> serverTypes_;
    QHash<QString, QString> serverNamedTypes_;
    QString path_;
    int depth_ = 0;
    bool failedInside_ = false;
    QHash<QString, QString> attached_;
    QHash<QString, std::vector<std::pair<QString, QString>>> columns_;
    friend class Recordset;
};

// A value as a column of the declared type stores it (Null, whole number, real, yes/no or text);
// throws DbError for a value the column cannot hold (a malformed date, sum or number).
Value storedValue(const Value& v, const QString& type);
void closeServer(pg_conn* connection);
void clearResult(pg_result* result);

// All or nothing: rolls back unless commit() was reached.
class Transaction {
  public:
    explicit Transaction(Database& db, TxStart start = TxStart::Immediate) : db_(db) { db_.begin(start); }
    ~Transaction() {
        if (!done_)
            try {
                db_.rollback();
            } catch (...) {
            }
    }
    void commit() {
        db_.commit();
        done_ = true;
    }

  private:
    Database& db_;
    bool done_ = false;
};

// A record set read in full at opening; over one table it can add and edit rows, which
// are written back by rowid with their values bound as parameters.
class Recordset {
  public:
    bool bof() const { return rows_.empty() || pos_ < 0; }
    bool eof() const { return rows_.empty() || pos_ >= static_cast<int>(rows_.size()); }
    void moveFirst() { pos_ = 0; }
    void moveNext() {
        if (pos_ < static_cast<int>(rows_.size()))
            ++pos_;
    }
    int recordCount() const { return static_cast<int>(rows_.size()); }
    const QStringList& fieldNames() const { return names_; }

    Value field(const QString& name) const;
    void setField(const QString& name, const Value& v);
    void addNew();
    void edit();
    void update();
    void close() { rows_.clear(); }
    // Hands the rows and their rowids to a caller that keeps them (a grid's data control);
    // the record set is empty afterwards.
    void release(std::vector<std::vector<Value>>& rows, std::vector<long long>& rowids);

    ~Recordset();
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

  private:
    Recordset() = default;
    int index(const QString& name) const;
    QString typeOf(const QString& column);
    void fileUpdate(const QString& sql, const std::vector<std::pair<QString, Value>>& values);

    Database* db_ = nullptr;
    QString table_;
    QStringList names_;
    QStringList types_;
    std::vector<std::vector<Value>> rows_;
    std::vector<long long> rowids_;
    int pos_ = 0;
    enum class Mode { None, Add, Edit } mode_ = Mode::None;
    std::vector<std::pair<int, Value>> pending_;
    // The last write's statement, kept for the next one of the same shape (row after row of an import).
    QString lastSql_;
    sqlite3_stmt* last_ = nullptr;
    friend class Database;
};

// Stored documents and master rows count their changes (更新回数), so a PC writing over what
// another PC changed since it read the row can be refused. The count a row takes when written now.
inline Value nextChangeCount(const Recordset& row, bool adding) {
    return static_cast<std::int64_t>(adding ? 1 : row.field(QStringLiteral("更新回数")).toInt() + 1);
}
