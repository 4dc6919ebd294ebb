// Builds the two delivered database files from the schema files.
// Usage: vornisa_mkdb <main.sql> <work.sql> <out-folder>; existing files are left alone.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cstdio>
#include <sqlite3.h>

namespace {

constexpr int unitSlots = 100; // free slots prepared in the unit list

bool build(const QString& schemaPath, const QString& target, bool withUnits) {
    if (QFile::exists(target)) {
        std::printf("kept %s\n", qPrintable(target));
        return true;
    }
    QFile f(schemaPath);
    if (!f.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(schemaPath));
        return false;
    }
    QByteArray sql = f.readAll();
    if (withUnits) {
        sql += "\nINSERT INTO コードマスタ (kcode, code, sname) VALUES ";
        for (int i = 1; i <= unitSlots; ++i)
            sql += QByteArray("('単位',") + QByteArray::number(i) + ",NULL)" + (i < unitSlots ? "," : ";");
    }
    const QString tmp = target + ".tmp";
    QFile::remove(tmp);
    sqlite3* db = nullptr;
    char* err = nullptr;
    bool ok = sqlite3_open(tmp.toUtf8().constData(), &db) == SQLITE_OK &&
              sqlite3_exec(db, ("BEGIN;" + sql + "\nCOMMIT;").constData(), nullptr, nullptr, &err) == SQLITE_OK;
    if (!ok)
        std::fprintf(stderr, "%s: %s\n", qPrintable(target), err ? err : sqlite3_errmsg(db));
    sqlite3_free(err);
    sqlite3_close(db);
    // Built under another name, so a half-built file is never taken for a delivered one.
    ok = ok && QFile::rename(tmp, target);
    if (ok)
        std::printf("built %s\n", qPrintable(target));
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList a = app.arguments();
    if (a.size() != 4) {
        std::fprintf(stderr, "usage: vornisa_mkdb main.sql work.sql out-folder\n");
        return 2;
    }
    QDir().mkpath(a[3]);
    const bool ok = build(a[1], a[3] + "/Vornisa.mdb", true) && build(a[2], a[3] + "/VornisaWork.mdb", false);
    return ok ? 0 : 1;
}
