#pragma once
#include <QString>
#include <QStringList>
#include <functional>

// A backup's two files copied beside the current ones and checked, ready to take their place.
// Nothing the program uses is touched until swap().
class StagedRestore {
  public:
    // A book on a server takes only the main file, into itself (mainFile()); the work file stays.
    enum class Files { Both, MainOnly };
    // Throws BackupError when the backup is damaged or lacks a table, LinkedBackupError when
    // the folder or one of its files is a link; nothing is changed then.
    StagedRestore(const QString& backupFolder, const QString& dataPath, Files files = Files::Both);
    ~StagedRestore();
    StagedRestore(const StagedRestore&) = delete;
    StagedRestore& operator=(const StagedRestore&) = delete;

    // With both databases closed: puts the staged files in place of the current ones by
    // renames, then calls openNew. Should a rename fail or openNew throw, the current files
    // are put back as they were and the error passed on; openNew must close what it opened
    // before it throws. The replaced files are deleted only once openNew has succeeded.
    // afterStep runs after each rename or removal of a file, so a test can stop the program at
    // every point.
    void swap(const std::function<void()>& openNew, const std::function<void()>& afterStep = {});
    // The checked copy of the backup's main file.
    QString mainFile() const;

  private:
    QString dataPath_;
    QStringList names_; // the files staged
};

// What the start-up found of a restore that was cut off (power loss, a kill).
enum class RestoreRecovery {
    None,       // there was none
    RolledBack, // it had not finished: both files are again the ones before the restore
    Completed   // only the replaced files were left to delete: both files are the restored ones
};

// At start-up, before the files are opened: brings both files to one state, whatever point a
// restore was cut off at, and removes half-copied staged files.
RestoreRecovery RecoverInterruptedRestore(const QString& dataPath);
