#pragma once
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <stdexcept>

// The statements the program sends are written in the desktop engine's dialect
// ("delete * from", "from T in 'file'", isnull(), [names], True/False); this turns them
// into SQLite, or into PostgreSQL for a book on a server. Forms it does not know are refused
// rather than guessed at. Every difference between the two engines is kept here.
struct DialectError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

enum class Engine { File, Server };

struct Rewritten {
    QString sql;
    // For the server every text literal leaves the statement as a bound parameter ($1, $2, …).
    QStringList params;
    // The one table a "select … from T" reads, when its rows can be written back; else empty.
    QString updatableTable;
};

// attach(path) makes the external file reachable and returns the schema alias to use.
using AttachFn = std::function<QString(const QString& path)>;

Rewritten rewriteStatement(const QString& statement, const AttachFn& attach, Engine engine = Engine::File);

// "insert into W select a,b from T in 'book' …": the work file's copy of a master. When the book
// is on a server the rows are read there and added here; this splits the statement for that.
struct ExternalInsert {
    QString target; // W
    QString source; // "select a,b from T …", in the program's dialect
    QString book;   // the text between the quotes
};
std::optional<ExternalInsert> externalInsert(const QString& statement);

// The server's form of schema text written for the file (delivered schema, upgrade steps, a
// file's own CREATE statements): the file's declared types become the server's (money and dates
// keep their names as domains, so a column still says what it holds), every table gets the
// rowid the file gives it implicitly, and file-only statements (PRAGMA) are left out.
QStringList serverSchema(const QString& fileSchema);
// What the server needs before the first table: the domains serverSchema() uses, each by its
// name with the statement that makes it.
const QList<std::pair<QString, QString>>& serverDomains();
// The file's declared type of a server column type (format_type): CURRENCY, DATETIME, BOOLEAN, …
QString fileType(const QString& serverType);
