#pragma once
#include <QString>
#include <QStringList>

class Database;

// What a server database holds, as the connection test tells it.
struct ServerBookState {
    enum Kind { Empty, Ours, Foreign } kind = Empty;
    int version = -1; // the schema version of our books
    QString text() const;
};
ServerBookState inspectServerBook(Database& server);

// One table's rows and money sums on both sides of a move, as checked.
struct TableCheck {
    QString table;
    qint64 rows = 0;
    QStringList sums; // "column=sum" of each money column
};

// Copies every table of a file book (its schema, every row with its rowid, every index and the
// schema version) into an empty server database in one transaction, then checks row counts and
// money sums on both sides; on any difference nothing stays on the server. A server database
// that is not empty is never written to. Throws DbError; gives the checks on success.
QList<TableCheck> copyBookToServer(Database& file, Database& server);

// The name a connection gives the server: the program's and the PC's, which a restore names. The
// server keeps only ASCII there, so the PC's name is percent-encoded.
QByteArray sessionName(const QString& pc);

// The other Vornisa sessions on the server book's database, this connection left out, as a user
// reads them: the PC's name, its address and since when it is connected.
QStringList otherVornisaSessions(Database& server);

// Replaces a server book's contents by a file book's (a backup's main file) in one transaction
// under the writers' lock: refused, naming them, while another Vornisa is connected (checked
// again before the commit), and for a file of a newer version than the program. Drops the book's
// tables, its version and the domains nothing else uses, then fills and checks it as
// copyBookToServer does. A file of an older version is brought up to date when the book is next
// opened. Throws DbError; the server is then as it was.
QList<TableCheck> replaceServerBook(Database& file, Database& server);

// Copies a server book into a new file at `path` in the file's format (tables with their declared
// types and defaults, every row with its rowid, the indexes, the schema version), as one consistent
// read: a backup a single PC can always take up. Throws DbError; a failed copy leaves no file.
void copyServerBookToFile(Database& server, const QString& path);
