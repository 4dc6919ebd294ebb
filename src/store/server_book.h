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

// Copies a server book into a new file at `path` in the file's format (tables with their declared
// types and defaults, every row with its rowid, the indexes, the schema version), as one consistent
// read: a backup a single PC can always take up. Throws DbError; a failed copy leaves no file.
void copyServerBookToFile(Database& server, const QString& path);
