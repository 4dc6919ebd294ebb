#include "store/delivered.h"

#include <QDir>
#include <QFile>
#include <sqlite3.h>

namespace {

constexpr int unitSlots = 100; // free slots prepared in the unit list

// Empty on success, else what went wrong.
QString build(const QString& schemaPath, const QString& target, bool withUnits) {
    QFile f(schemaPath);
    if (!f.open(QIODevice::ReadOnly))
        return QStringLiteral("cannot read %1: %2").arg(schemaPath, f.errorString());
    QByteArray sql = f.readAll();
    if (withUnits) {
        sql += "\nINSERT INTO コードマスタ (kcode, code, sname) VALUES ";
        for (int i = 1; i <= unitSlots; ++i)
            sql += QByteArray("('単位',") + QByteArray::number(i) + ",NULL)" + (i < unitSlots ? "," : ";");
    }
    const QString tmp = target + QStringLiteral(".tmp");
    QFile::remove(tmp);
    sqlite3* db = nullptr;
    char* err = nullptr;
    QString error;
    if (sqlite3_open(QFile::encodeName(tmp).constData(), &db) != SQLITE_OK ||
        sqlite3_exec(db, ("BEGIN;" + sql + "\nCOMMIT;").constData(), nullptr, nullptr, &err) != SQLITE_OK)
        error = QStringLiteral("%1: %2").arg(target, QString::fromUtf8(err ? err : sqlite3_errmsg(db)));
    sqlite3_free(err);
    sqlite3_close(db);
    if (error.isEmpty() && !QFile::rename(tmp, target))
        error = QStringLiteral("cannot rename %1 to %2").arg(tmp, target);
    if (!error.isEmpty())
        QFile::remove(tmp);
    return error;
}

} // namespace

DeliveredFiles makeDeliveredFiles(const QString& mainSchema, const QString& workSchema, const QString& folder) {
    DeliveredFiles r;
    if (!QDir().mkpath(folder)) {
        r.error = QStringLiteral("cannot make the folder %1").arg(folder);
        return r;
    }
    const struct {
        const QString& schema;
        QString name;
        bool units;
    } files[] = {{mainSchema, QStringLiteral("Vornisa.mdb"), true},
                 {workSchema, QStringLiteral("VornisaWork.mdb"), false}};
    for (const auto& file : files) {
        const QString target = QDir(folder).filePath(file.name);
        if (QFile::exists(target)) {
            r.kept << target;
            continue;
        }
        r.error = build(file.schema, target, file.units);
        if (!r.ok())
            return r;
        r.built << target;
    }
    return r;
}
