#include "app/instance_lock.h"

#include "app/data_folder.h"

#include <QDir>
#include <QFileInfo>

InstanceLock::InstanceLock(const QString& dataPath) : file_(dataPath + LockFileName) {
    if (!QFileInfo(dataPath).isDir())
        return;
    // The window stays open for days: a lock is stale only when its process is gone, never by age.
    file_.setStaleLockTime(0);
    if (file_.tryLock(0))
        return;
    const QString folder = QDir::toNativeSeparators(dataPath);
    if (file_.error() == QLockFile::LockFailedError)
        throw StartRefused(QStringLiteral("使用中"), folder);
    throw StartRefused(QStringLiteral("書込不可"), folder);
}
