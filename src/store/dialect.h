#pragma once
#include <QString>
#include <functional>
#include <stdexcept>

// The statements the program sends are written in the desktop engine's dialect
// ("delete * from", "from T in 'file'", isnull(), [names], True/False); this turns them
// into SQLite. Forms it does not know are refused rather than guessed at.
struct DialectError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct Rewritten {
    QString sql;
    // The one table a "select … from T" reads, when its rows can be written back; else empty.
    QString updatableTable;
};

// attach(path) makes the external file reachable and returns the schema alias to use.
using AttachFn = std::function<QString(const QString& path)>;

Rewritten rewriteStatement(const QString& statement, const AttachFn& attach);
