#pragma once
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>
#include <stdexcept>

struct sqlite3;
class Database;

// Why a backup was made, as the restore list shows it.
namespace reason {
inline const QString Daily = QStringLiteral("その日の最初の起動");
inline const QString Manual = QStringLiteral("手動");
inline const QString BeforeWipe = QStringLiteral("データ初期化の前");
inline const QString BeforeRestore = QStringLiteral("復元の前");
inline const QString BeforeUpgrade = QStringLiteral("データ形式の更新の前");
// Not a reason: a backup folder in backup/ that is a link to another place. It is listed,
// never looked into, pruned, cleaned, copied or restored from.
inline const QString Linked = QStringLiteral("リンク");
} // namespace reason

// A backup that could not be made, checked, copied or restored; the text says why in words
// the user understands.
struct BackupError : std::runtime_error {
    explicit BackupError(const QString& text) : std::runtime_error(text.toStdString()), text(text) {}
    QString text;
};
// A backup refused because it, or a file in it, is a link.
struct LinkedBackupError : BackupError {
    using BackupError::BackupError;
};

struct BackupInfo {
    QString folder; // absolute path
    QString name;   // yyyyMMdd-hhmmss, with -2, -3 … for a second one within the same second
    QDateTime made;
    QString reason;
    // Read from the backup's own main file; none when it cannot be read.
    std::optional<qint64> invoices;
    std::optional<qint64> highestNumber;
    bool linked = false;
};

// Backups beyond this many are removed, oldest first, once a newer one was checked good.
constexpr int BackupsKept = 30;

QString backupRoot(const QString& dataPath);

// Copies both databases with SQLite's online backup (consistent while others write) into a
// folder of backup/ under the data folder, checks the copies and writes a description; only
// then does the folder get its name. Throws BackupError; a failed backup leaves no folder.
BackupInfo makeBackup(sqlite3* main, sqlite3* work, const QString& dataPath, const QString& why,
                      const QDateTime& now = QDateTime::currentDateTime());
BackupInfo makeBackup(Database& main, Database& work, const QString& dataPath, const QString& why,
                      const QDateTime& now = QDateTime::currentDateTime());
// For callers that hold no open database yet (before a file is upgraded at start-up).
BackupInfo makeBackup(const QString& mainPath, const QString& workPath, const QString& dataPath,
                      const QString& why, const QDateTime& now = QDateTime::currentDateTime());

// The backups of the data folder, newest first, linked ones included.
QList<BackupInfo> listBackups(const QString& dataPath);
bool hasBackupOn(const QString& dataPath, const QDate& day);

// Removes the oldest backups so that `keep` remain; `justMade` is never removed, even when a
// clock set back gives it an older name, and links are neither removed nor counted. Returns
// the names removed.
QStringList pruneBackups(const QString& dataPath, int keep, const QString& justMade);

// Copies a backup (to a USB stick, say) as <target>/Vornisa-backup/<name>; returns that folder.
// The copy keeps its name, so it goes back into a data folder's backup/ as it is.
inline const QString CopiedBackupsFolder = QStringLiteral("Vornisa-backup");
QString copyBackupTo(const BackupInfo& b, const QString& target);

// Throws BackupError unless the file is a sound database holding every required table.
void checkDatabaseFile(const QString& path, const QStringList& requiredTables);

// Copies an open database, or the file at a path, into a new file with SQLite's online
// backup, as one read so the copy is consistent; the copy uses a rollback journal so that
// it stands alone as one file.
void copyDatabase(sqlite3* source, const QString& destination);
void copyDatabaseFile(const QString& source, const QString& destination);
