#include "backup/backup.h"

#include "messages/msg.h"
#include "store/database.h"
#include "store/server_book.h"
#include "store/tables.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTemporaryDir>
#include <algorithm>
#include <sqlite3.h>

namespace {

const QString AboutFile = QStringLiteral("about.txt");
const QString TempPrefix = QStringLiteral(".tmp-");
const QString StampFormat = QStringLiteral("yyyyMMdd-HHmmss");
const QString AboutTimeFormat = QStringLiteral("yyyy/MM/dd HH:mm:ss");
const QString Key日時 = QStringLiteral("日時");
const QString Key理由 = QStringLiteral("理由");
const QString Key請求書数 = QStringLiteral("請求書数");
const QString Key最大番号 = QStringLiteral("最大伝票番号");

// The engine's failure in the user's words: the two a user can act on are named plainly.
[[noreturn]] void failWith(int rc, const QString& what, const QString& detail) {
    const int primary = rc & 0xff;
    if (primary == SQLITE_FULL)
        throw BackupError(what + QStringLiteral("ディスクの空き容量が足りません。"));
    if (primary == SQLITE_CANTOPEN || primary == SQLITE_READONLY || primary == SQLITE_PERM ||
        primary == SQLITE_IOERR)
        throw BackupError(what + QStringLiteral("ファイルを書き込めません。フォルダーの書き込み権限と空き容量を確認して"
                                                "ください。（") +
                          detail + QStringLiteral("）"));
    throw BackupError(what + detail);
}

struct Connection {
    sqlite3* db = nullptr;
    ~Connection() { sqlite3_close_v2(db); }
    void open(const QString& path, int flags) {
        // A file reached through a link lies outside the data folder: never opened.
        const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &db, flags | SQLITE_OPEN_NOFOLLOW, nullptr);
        if (rc != SQLITE_OK)
            failWith(rc, QString(), QString::fromUtf8(db ? sqlite3_errmsg(db) : "cannot open") + u' ' + path);
        sqlite3_extended_result_codes(db, 1);
        sqlite3_busy_timeout(db, 5000);
    }
    void exec(const char* sql) {
        if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
            failWith(sqlite3_extended_errcode(db), QString(), QString::fromUtf8(sqlite3_errmsg(db)));
    }
    // The first column of each row, as text.
    QStringList column(const QString& sql) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK)
            failWith(sqlite3_extended_errcode(db), QString(), QString::fromUtf8(sqlite3_errmsg(db)));
        QStringList out;
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW)
            out << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
        sqlite3_finalize(st);
        if (rc != SQLITE_DONE)
            failWith(sqlite3_extended_errcode(db), QString(), QString::fromUtf8(sqlite3_errmsg(db)));
        return out;
    }
};

bool isLink(const QString& path) {
    return QFileInfo(path).isSymLink();
}

// Removes a folder and everything in it without following a link: a link is removed as a
// link and whatever it points to is left alone (Qt's removeRecursively follows a linked folder).
bool removeTree(const QString& path) {
    const QFileInfo fi(path);
    if (fi.isSymLink() || !fi.isDir())
        return QFile::remove(path);
    bool ok = true;
    QDirIterator it(path, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (it.hasNext())
        ok = removeTree(it.next()) && ok;
    return QDir().rmdir(path) && ok;
}

QString quoted(const QString& table) {
    return u'"' + QString(table).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

// Name stamp and suffix of a backup folder; nullopt for anything else in backup/.
std::optional<std::pair<QString, int>> parseName(const QString& name) {
    static const QRegularExpression re(QStringLiteral("^(\\d{8}-\\d{6})(?:-(\\d+))?$"));
    const auto m = re.match(name);
    if (!m.hasMatch())
        return std::nullopt;
    return std::pair{m.captured(1), m.captured(2).isEmpty() ? 1 : m.captured(2).toInt()};
}

bool newerFirst(const QString& a, const QString& b) {
    const auto pa = *parseName(a), pb = *parseName(b);
    return pa.first != pb.first ? pa.first > pb.first : pa.second > pb.second;
}

// A backup folder under its name; linked when it, or backup/ itself, is a link.
struct Entry {
    QString name;
    bool linked = false;
};

// Every backup in backup/, links included (a link whose target is gone too), newest first.
QList<Entry> backupEntries(const QString& dataPath) {
    const QString root = backupRoot(dataPath);
    const bool rootLinked = isLink(root);
    QList<Entry> entries;
    for (const QString& n : QDir(root).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
        const QFileInfo fi(root + u'/' + n);
        if (!parseName(n) || !(fi.isDir() || fi.isSymLink()))
            continue;
        entries << Entry{n, rootLinked || fi.isSymLink()};
    }
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return newerFirst(a.name, b.name); });
    return entries;
}

// The program's own backups: folders, not links.
QStringList backupNames(const QString& dataPath) {
    QStringList names;
    for (const Entry& e : backupEntries(dataPath))
        if (!e.linked)
            names << e.name;
    return names;
}

void writeAbout(const QString& folder, const BackupInfo& b) {
    QSaveFile f(folder + u'/' + AboutFile);
    QString text = Key日時 + QStringLiteral(": ") + b.made.toString(AboutTimeFormat) + u'\n' + Key理由 +
                   QStringLiteral(": ") + b.reason + u'\n' + Key請求書数 + QStringLiteral(": ") +
                   QString::number(b.invoices.value_or(0)) + u'\n' + Key最大番号 + QStringLiteral(": ") +
                   (b.highestNumber ? QString::number(*b.highestNumber) : QString()) + u'\n';
    if (!f.open(QIODevice::WriteOnly) || f.write(text.toUtf8()) < 0 || !f.commit())
        throw BackupError(QStringLiteral("説明ファイルを書き込めません。（") + f.errorString() + QStringLiteral("）"));
}

// The count and highest number of the invoices a main file holds.
void readCounts(Connection& c, BackupInfo& b) {
    b.invoices = c.column(QStringLiteral("select count(*) from 請求書ヘッダ")).value(0).toLongLong();
    const QString top = c.column(QStringLiteral("select max(伝票番号) from 請求書ヘッダ")).value(0);
    if (!top.isEmpty())
        b.highestNumber = top.toLongLong();
}

// The time and reason come from the description; the counts from the backup's own main file,
// which is what a restore would bring back. A linked backup is not looked into at all.
BackupInfo describe(const QString& root, const Entry& e) {
    BackupInfo b;
    b.name = e.name;
    b.folder = root + u'/' + e.name;
    b.made = QDateTime::fromString(parseName(e.name)->first, StampFormat);
    b.linked = e.linked;
    if (e.linked) {
        b.reason = reason::Linked;
        return b;
    }
    try {
        Connection c;
        c.open(b.folder + u'/' + MainDbName, SQLITE_OPEN_READONLY);
        readCounts(c, b);
    } catch (const BackupError&) {
        b.invoices.reset(); // unreadable: a restore would refuse it, and the list shows no count
        b.highestNumber.reset();
    }
    QFile f(b.folder + u'/' + AboutFile);
    if (isLink(f.fileName()) || !f.open(QIODevice::ReadOnly))
        return b;
    for (const QString& line : QString::fromUtf8(f.read(4096)).split(u'\n')) {
        const qsizetype at = line.indexOf(QStringLiteral(": "));
        if (at < 0)
            continue;
        const QString key = line.left(at), value = line.mid(at + 2);
        if (key == Key日時) {
            const QDateTime t = QDateTime::fromString(value, AboutTimeFormat);
            if (t.isValid())
                b.made = t;
        } else if (key == Key理由) {
            b.reason = value;
        }
    }
    return b;
}

// A folder that removes itself unless kept.
struct TempFolder {
    QString path;
    bool kept = false;
    ~TempFolder() {
        if (!kept && !path.isEmpty())
            removeTree(path);
    }
};

} // namespace

QString backupRoot(const QString& dataPath) {
    return QDir(dataPath).filePath(QStringLiteral("backup"));
}

void copyDatabase(sqlite3* source, const QString& destination) {
    Connection dest;
    dest.open(destination, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    sqlite3_backup* b = sqlite3_backup_init(dest.db, "main", source, "main");
    if (!b)
        failWith(sqlite3_extended_errcode(dest.db), QString(), QString::fromUtf8(sqlite3_errmsg(dest.db)));
    // All pages in one step: one read of the source, so a writer elsewhere cannot tear the copy.
    int rc;
    for (int tries = 0;; ++tries) {
        rc = sqlite3_backup_step(b, -1);
        if ((rc != SQLITE_BUSY && rc != SQLITE_LOCKED) || tries == 100)
            break;
        sqlite3_sleep(50);
    }
    sqlite3_backup_finish(b);
    if (rc != SQLITE_DONE)
        failWith(rc == SQLITE_OK ? sqlite3_extended_errcode(dest.db) : rc, QString(), QString::fromUtf8(sqlite3_errstr(rc)));
    dest.exec("PRAGMA journal_mode=DELETE");
}

void copyDatabaseFile(const QString& source, const QString& destination) {
    Connection src;
    src.open(source, SQLITE_OPEN_READONLY);
    copyDatabase(src.db, destination);
}

void checkDatabaseFile(const QString& path, const QStringList& requiredTables) {
    const QString what = QFileInfo(path).fileName() + QStringLiteral(" に異常があります。");
    try {
        Connection c;
        c.open(path, SQLITE_OPEN_READWRITE);
        const QStringList result = c.column(QStringLiteral("PRAGMA integrity_check"));
        if (result != QStringList{QStringLiteral("ok")})
            throw BackupError(what + result.value(0));
        for (const QString& t : requiredTables)
            if (c.column(QStringLiteral("PRAGMA table_info(") + quoted(t) + u')').isEmpty())
                throw BackupError(what + QStringLiteral("テーブル ") + t + QStringLiteral(" がありません。"));
    } catch (const BackupError& e) {
        if (e.text.startsWith(what))
            throw;
        throw BackupError(what + e.text);
    }
}

namespace {
// The rows behind the pages and the invoice being edited are not needed to restore (a restore
// starts every page afresh): a backup holds the work file's tables empty, and its hints.
void dropScratchRows(const QString& workCopy) {
    Connection c;
    c.open(workCopy, SQLITE_OPEN_READWRITE);
    QString sql = QStringLiteral("BEGIN;");
    for (const QString& t : scratchTables)
        sql += QStringLiteral("DELETE FROM ") + quoted(t) + u';';
    sql += QStringLiteral("COMMIT;");
    c.exec(sql.toUtf8().constData());
    c.exec("VACUUM");
}
} // namespace

BackupInfo makeBackup(sqlite3* main, sqlite3* work, const QString& dataPath, const QString& why,
                      const QDateTime& now) {
    const QString root = backupRoot(dataPath);
    // backup/ as a link would put the copies outside the data folder.
    if (isLink(root))
        throw BackupError(msg::text(QStringLiteral("文言"), QStringLiteral("リンク"), root));
    QDir rootDir(root);
    if (!rootDir.mkpath(QStringLiteral(".")))
        throw BackupError(QStringLiteral("バックアップ用のフォルダー ") + root +
                          QStringLiteral(" を作れません。フォルダーの書き込み権限を確認してください。"));
    // Left by a backup that was cut off (the program killed mid-copy): never a usable backup.
    // A link by that name goes as a link; what it points to is not touched.
    for (const QString& n :
         rootDir.entryList({TempPrefix + u'*'}, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot))
        removeTree(rootDir.filePath(n));

    const QString stamp = now.toString(StampFormat);
    TempFolder tmp{rootDir.filePath(TempPrefix + stamp)};
    if (!rootDir.mkdir(TempPrefix + stamp))
        throw BackupError(QStringLiteral("バックアップ用のフォルダー ") + root +
                          QStringLiteral(" に書き込めません。フォルダーの書き込み権限を確認してください。"));
    const QString mainCopy = tmp.path + u'/' + MainDbName, workCopy = tmp.path + u'/' + WorkDbName;
    copyDatabase(main, mainCopy);
    copyDatabase(work, workCopy);
    dropScratchRows(workCopy);
    checkDatabaseFile(mainCopy, mainTables);
    checkDatabaseFile(workCopy, workTables);

    BackupInfo b;
    b.made = now;
    b.reason = why;
    {
        Connection c;
        c.open(mainCopy, SQLITE_OPEN_READONLY);
        readCounts(c, b);
    }
    writeAbout(tmp.path, b);

    for (int n = 1;; ++n) {
        b.name = n == 1 ? stamp : stamp + u'-' + QString::number(n);
        b.folder = rootDir.filePath(b.name);
        if (QFileInfo::exists(b.folder) || isLink(b.folder))
            continue;
        if (!rootDir.rename(tmp.path, b.folder))
            throw BackupError(QStringLiteral("バックアップ用のフォルダー ") + root + QStringLiteral(" に書き込めません。"));
        break;
    }
    tmp.kept = true;
    pruneBackups(dataPath, BackupsKept, b.name);
    return b;
}

BackupInfo makeBackup(Database& main, Database& work, const QString& dataPath, const QString& why,
                      const QDateTime& now) {
    if (!main.onServer())
        return makeBackup(main.handle(), work.handle(), dataPath, why, now);
    // A book on a server is copied into the file format first, so the backup is the same checked
    // folder a single PC restores from. The copy is made in the data folder and removed after.
    QTemporaryDir scratch(dataPath + QStringLiteral("server-copy-XXXXXX"));
    if (!scratch.isValid())
        failWith(0, QString(), scratch.errorString());
    const QString copy = scratch.filePath(MainDbName);
    try {
        copyServerBookToFile(main, copy);
    } catch (const DbError& e) {
        failWith(e.code, QString(), QStringLiteral("サーバーの帳簿を写せませんでした: ") + e.text);
    }
    Connection m;
    m.open(copy, SQLITE_OPEN_READONLY);
    return makeBackup(m.db, work.handle(), dataPath, why, now);
}

BackupInfo makeBackup(const QString& mainPath, const QString& workPath, const QString& dataPath, const QString& why,
                      const QDateTime& now) {
    Connection m, w;
    m.open(mainPath, SQLITE_OPEN_READONLY);
    w.open(workPath, SQLITE_OPEN_READONLY);
    return makeBackup(m.db, w.db, dataPath, why, now);
}

QList<BackupInfo> listBackups(const QString& dataPath) {
    QList<BackupInfo> out;
    const QString root = backupRoot(dataPath);
    for (const Entry& e : backupEntries(dataPath))
        out << describe(root, e);
    return out;
}

bool hasBackupOn(const QString& dataPath, const QDate& day) {
    const QString prefix = day.toString(QStringLiteral("yyyyMMdd-"));
    const QStringList names = backupNames(dataPath);
    return std::any_of(names.begin(), names.end(), [&](const QString& n) { return n.startsWith(prefix); });
}

QStringList pruneBackups(const QString& dataPath, int keep, const QString& justMade) {
    QStringList removed;
    int kept = 0;
    for (const QString& n : backupNames(dataPath)) {
        if (n == justMade || kept < keep - (justMade.isEmpty() ? 0 : 1)) {
            if (n != justMade)
                ++kept;
            continue;
        }
        if (removeTree(backupRoot(dataPath) + u'/' + n))
            removed << n;
    }
    return removed;
}

QString copyBackupTo(const BackupInfo& b, const QString& target) {
    if (b.linked || isLink(b.folder))
        throw LinkedBackupError(msg::text(QStringLiteral("文言"), QStringLiteral("リンク"), b.folder));
    QDir dir(target);
    QString dest;
    for (int n = 1;; ++n) {
        dest = dir.filePath(CopiedBackupsFolder + u'/' + b.name + (n == 1 ? QString() : u'-' + QString::number(n)));
        if (!QFileInfo::exists(dest))
            break;
    }
    TempFolder partial{dest};
    const QString failed = dest + QStringLiteral(" にコピーできませんでした。");
    if (!dir.exists() || !dir.mkpath(CopiedBackupsFolder) || !QDir().mkdir(dest))
        throw BackupError(failed + QStringLiteral("フォルダーの書き込み権限を確認してください。"));
    for (const QString& f : QDir(b.folder).entryList(QDir::Files | QDir::NoSymLinks)) {
        QFile from(b.folder + u'/' + f);
        if (!from.copy(dest + u'/' + f))
            throw BackupError(failed + QStringLiteral("空き容量を確認してください。（") + from.errorString() +
                              QStringLiteral("）"));
    }
    partial.kept = true;
    return dest;
}
