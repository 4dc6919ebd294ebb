#include "backup/restore.h"

#include "backup/backup.h"
#include "messages/msg.h"
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

// A link in the way to a backup's files leads out of the data folder: refused, not followed.
void refuseLinks(const QString& backupFolder) {
    const QString folder = QDir::cleanPath(backupFolder);
    for (const QString& path : {QFileInfo(folder).path(), folder, folder + u'/' + MainDbName, folder + u'/' + WorkDbName})
        if (QFileInfo(path).isSymLink())
            throw LinkedBackupError(msg::text(QStringLiteral("文言"), QStringLiteral("リンク"), path));
}

} // namespace

StagedRestore::StagedRestore(const QString& backupFolder, const QString& dataPath, Files files)
    : dataPath_(dataPath), names_{MainDbName} {
    if (files == Files::Both)
        names_ << WorkDbName;
    const QDir data(dataPath);
    refuseLinks(backupFolder);
    try {
        for (const QString& name : names_) {
            const QStringList& tables = name == MainDbName ? mainTables : workTables;
            const QString from = QDir(backupFolder).filePath(name);
            if (!QFileInfo(from).isFile())
                throw BackupError(name + QStringLiteral(" がバックアップにありません。"));
            const QString staged = data.filePath(name + NewSuffix);
            removeWithSidecars(staged);
            copyDatabaseFile(from, staged);
            checkDatabaseFile(staged, tables);
        }
    } catch (...) {
        for (const QString& name : names_)
            removeWithSidecars(data.filePath(name + NewSuffix));
        throw;
    }
}

StagedRestore::~StagedRestore() {
    for (const QString& name : names_)
        removeWithSidecars(QDir(dataPath_).filePath(name + NewSuffix));
}

QString StagedRestore::mainFile() const {
    return QDir(dataPath_).filePath(MainDbName + NewSuffix);
}

// The order of the files matters to the recovery: the main file goes aside first and its aside
// copy is deleted first, so an aside work file alone is only ever left after the new files were
// opened and the restore was done.
void StagedRestore::swap(const std::function<void()>& openNew, const std::function<void()>& afterStep) {
    const QDir data(dataPath_);
    const auto stepDone = [&] {
        if (afterStep)
            afterStep();
    };
    struct Step {
        QString live, old, staged;
        bool movedAside = false, placed = false;
    };
    std::vector<Step> steps;
    for (const QString& name : names_)
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
            stepDone();
        }
        for (Step& s : steps) {
            if (!QFile::rename(s.staged, s.live))
                throw BackupError(QStringLiteral("バックアップのファイルを ") + s.live +
                                  QStringLiteral(" に置けません。"));
            s.placed = true;
            stepDone();
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
    for (const Step& s : steps) {
        removeWithSidecars(s.old);
        stepDone();
    }
}

RestoreRecovery RecoverInterruptedRestore(const QString& dataPath) {
    const QDir data(dataPath);
    for (const QString& name : {MainDbName, WorkDbName})
        removeWithSidecars(data.filePath(name + NewSuffix));
    const QString mainOld = data.filePath(MainDbName + OldSuffix), workOld = data.filePath(WorkDbName + OldSuffix);
    if (QFileInfo(mainOld).isFile()) {
        // Cut off before the restore was done: both files go back to what they were.
        for (const QString& name : {WorkDbName, MainDbName}) {
            const QString old = data.filePath(name + OldSuffix);
            if (QFileInfo(old).isFile())
                moveWithSidecars(old, data.filePath(name));
        }
        return RestoreRecovery::RolledBack;
    }
    if (QFileInfo(workOld).isFile()) {
        // Cut off while the replaced files were being deleted: the restore was done.
        removeWithSidecars(workOld);
        return RestoreRecovery::Completed;
    }
    return RestoreRecovery::None;
}
