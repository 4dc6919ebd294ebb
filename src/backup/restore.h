#pragma once
#include <QString>
#include <functional>

// A backup's two files copied beside the current ones and checked, ready to take their place.
// Nothing the program uses is touched until swap().
class StagedRestore {
  public:
    // Throws BackupError when the backup is damaged or lacks a table; nothing is changed then.
    StagedRestore(const QString& backupFolder, const QString& dataPath);
    ~StagedRestore();
    StagedRestore(const StagedRestore&) = delete;
    StagedRestore& operator=(const StagedRestore&) = delete;

    // With both databases closed: puts the staged files in place of the current ones by
    // renames, then calls openNew. Should a rename fail or openNew throw, the current files
    // are put back as they were and the error passed on; openNew must close what it opened
    // before it throws. The replaced files are deleted only once openNew has succeeded.
    void swap(const std::function<void()>& openNew);

  private:
    QString dataPath_;
};
