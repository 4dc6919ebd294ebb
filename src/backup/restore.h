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

// At start-up, before the files are opened: a restore that was cut off (power loss, a kill)
// left the replaced files under their aside names. They are the last state the user saw
// confirmed, so they are put back; half-copied staged files are removed. Returns true when
// something was put back.
bool RecoverInterruptedRestore(const QString& dataPath);
