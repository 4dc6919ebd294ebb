#pragma once
#include <QLockFile>
#include <QString>
#include <stdexcept>

// Start-up refused before any database was opened: the user is told why (the start-up notice
// `sub` of the catalogue, with `arg`) and the program ends; nothing has been changed.
struct StartRefused : std::runtime_error {
    StartRefused(const QString& sub, const QString& arg) : std::runtime_error(sub.toStdString()), sub(sub), arg(arg) {}
    QString sub, arg;
};

// One window per data folder: the work file holds the invoice being edited as scratch rows,
// which a second window would overwrite. The lock is a file in the folder; one left behind by
// a program that was killed is taken over once its process is gone.
class InstanceLock {
  public:
    // Throws StartRefused when another program holds the folder or the folder cannot be
    // written. A missing folder takes no lock; opening the databases reports it.
    explicit InstanceLock(const QString& dataPath);

  private:
    QLockFile file_;
};
