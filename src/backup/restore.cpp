#include "backup/restore.h"

#include "backup/backup.h"
#include "store/tables.h"

#include <QDir>
#include <QFile>
#include <vector>

namespace {

const QString NewSuffix = QStringLiteral(".restore-new");
const QString OldSuffix = QStringLiteral(".restore-old");
// SQLite's companions of a database file; they belong to the file and move with it.
const QStringList Sidecars = {QStringLiteral("-wal"), QStringLiteral("-shm"), QStringLiteral("-journal")};

void removeWithSidecars(const QString& path) {
    QFile::remove(path);
    for (const QString& s : Sidecars)
        QFile::remove(path + s);
}

// Moves a database file and whatever companions it has; false when the file itself did not move.
bool moveWithSidecars(const QString& from, const QString& to) {
    removeWithSidecars(to);
    if (!QFile::rename(from, to))
        return false;
    for (const QString& s : Sidecars)
        if (QFile::exists(from + s))
            QFile::rename(from + s, to + s);
    return true;
}

} // namespace

StagedRestore::StagedRestore(const QString& backupFolder, const QString& dataPath) : dataPath_(dataPath) {
    const QDir data(dataPath);
    try {
        for (const auto& [name, tables] : {std::pair{MainDbName, mainTables}, std::pair{WorkDbName, workTables}}) {
            const QString from = QDir(backupFolder).filePath(name);
            if (!QFileInfo(from).isFile())
                throw BackupError(name + QStringLiteral(" がバックアップにありません。"));
            const QString staged = data.filePath(name + NewSuffix);
            removeWithSidecars(staged);
            copyDatabaseFile(from, staged);
            checkDatabaseFile(staged, tables);
        }
    } catch (...) {
        for (const QString& name : {MainDbName, WorkDbName})
            removeWithSidecars(data.filePath(name + NewSuffix));
        throw;
    }
}

StagedRestore::~StagedRestore() {
    for (const QString& name : {MainDbName, WorkDbName})
        removeWithSidecars(QDir(dataPath_).filePath(name + NewSuffix));
}

void StagedRestore::swap(const std::function<void()>& openNew) {
    const QDir data(dataPath_);
    struct Step {
        QString live, old, staged;
        bool movedAside = false, placed = false;
    };
    std::vector<Step> steps;
    for (const QString& name : {MainDbName, WorkDbName})
        steps.push_back({data.filePath(name), data.filePath(name + OldSuffix), data.filePath(name + NewSuffix)});

    const auto undo = [&] {
        bool whole = true;
        for (auto it = steps.rbegin(); it != steps.rend(); ++it) {
            if (it->placed)
                removeWithSidecars(it->live);
            if (it->movedAside)
                whole = moveWithSidecars(it->old, it->live) && whole;
        }
        return whole;
    };
    try {
        for (Step& s : steps) {
            if (!moveWithSidecars(s.live, s.old))
                throw BackupError(QStringLiteral("現在のファイル ") + s.live + QStringLiteral(" を置き換えられません。"));
            s.movedAside = true;
        }
        for (Step& s : steps) {
            if (!QFile::rename(s.staged, s.live))
                throw BackupError(QStringLiteral("バックアップのファイルを ") + s.live +
                                  QStringLiteral(" に置けません。"));
            s.placed = true;
        }
        openNew();
    } catch (const BackupError& e) {
        if (!undo())
            throw BackupError(e.text + QStringLiteral("\n元のファイルは ") + dataPath_ + QStringLiteral(" に末尾 ") +
                              OldSuffix + QStringLiteral(" の名前で残っています。"));
        throw;
    } catch (...) {
        undo();
        throw;
    }
    for (const Step& s : steps)
        removeWithSidecars(s.old);
}

bool RecoverInterruptedRestore(const QString& dataPath) {
    const QDir data(dataPath);
    bool recovered = false;
    for (const QString& name : {MainDbName, WorkDbName}) {
        removeWithSidecars(data.filePath(name + NewSuffix));
        const QString old = data.filePath(name + OldSuffix);
        if (QFileInfo(old).isFile() && moveWithSidecars(old, data.filePath(name)))
            recovered = true;
    }
    return recovered;
}
