#include "file_dump.h"

#include <sqlite3.h>
#include <stdexcept>

namespace {

struct Stmt {
    sqlite3_stmt* st = nullptr;
    Stmt(sqlite3* db, const QString& sql) {
        if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(db));
    }
    ~Stmt() { sqlite3_finalize(st); }
    bool step(sqlite3* db) {
        const int rc = sqlite3_step(st);
        if (rc != SQLITE_ROW && rc != SQLITE_DONE)
            throw std::runtime_error(sqlite3_errmsg(db));
        return rc == SQLITE_ROW;
    }
    QString text(int i) const {
        return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, i)),
                                 sqlite3_column_bytes(st, i));
    }
};

QString cell(const Stmt& s, int i) {
    switch (sqlite3_column_type(s.st, i)) {
    case SQLITE_NULL:
        return QStringLiteral("null");
    case SQLITE_INTEGER:
        return QStringLiteral("i:") + QString::number(sqlite3_column_int64(s.st, i));
    case SQLITE_FLOAT:
        return QStringLiteral("f:") + QString::number(sqlite3_column_double(s.st, i), 'g', 17);
    case SQLITE_BLOB:
        return QStringLiteral("b:") + QString::number(sqlite3_column_bytes(s.st, i));
    default:
        return QStringLiteral("t:") + s.text(i);
    }
}

} // namespace

QStringList dumpAll(sqlite3* db) {
    QStringList out;
    QStringList tables;
    {
        Stmt s(db, QStringLiteral("SELECT type, name, sql FROM sqlite_master ORDER BY type, name"));
        while (s.step(db)) {
            out << s.text(0) + u' ' + s.text(1) + u' ' + s.text(2);
            if (s.text(0) == QLatin1String("table"))
                tables << s.text(1);
        }
    }
    for (const QString& t : tables) {
        out << u'[' + t + u']';
        Stmt s(db, QStringLiteral("SELECT rowid, * FROM \"%1\" ORDER BY rowid").arg(t));
        while (s.step(db)) {
            QStringList cells;
            for (int i = 0; i < sqlite3_column_count(s.st); ++i)
                // When a history row or a wipe was written is the clock's, not the save's: two
                // equal saves a second apart are the same books.
                if (const QString name = QString::fromUtf8(sqlite3_column_name(s.st, i));
                    name == QStringLiteral("変更日時") || name == QStringLiteral("初期化日時"))
                    cells << u'<' + name + u'>';
                else
                    cells << cell(s, i);
            out << cells.join(u'|');
        }
    }
    return out;
}

QString integrity(sqlite3* db) {
    Stmt s(db, QStringLiteral("PRAGMA integrity_check"));
    QStringList lines;
    while (s.step(db))
        lines << s.text(0);
    return lines.join(u'\n');
}
