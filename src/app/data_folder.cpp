#include "app/data_folder.h"

#include "app/instance_lock.h"
#include "store/delivered.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

QString withSeparator(const QString& folder) {
    return folder.endsWith(u'/') ? folder : folder + u'/';
}

[[noreturn]] void refuse(const QString& dataPath, const QString& why) {
    throw StartRefused(QStringLiteral("作成不可"), QDir::toNativeSeparators(dataPath) + u'\n' + why);
}

} // namespace

QString chooseDataPath(const QString& programFolder, const DataFolderRule& rule) {
    if (!rule.markerFile.isEmpty() && QFileInfo::exists(rule.markerFile))
        return withSeparator(rule.fixedFolder);
    const QString beside = withSeparator(programFolder) + QStringLiteral("data/");
    return QFileInfo(beside).isDir() ? beside : userDataPath();
}

QString userDataPath() {
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return withSeparator(base) + QStringLiteral("vornisa/data/");
}

bool makeUserDataFolder(const QString& dataPath, const QString& schemaFolder) {
    const QString folder = QDir::cleanPath(dataPath);
    if (QFileInfo::exists(folder))
        return false;
    const QString parent = QFileInfo(folder).path();
    if (!QDir().mkpath(parent))
        refuse(dataPath, QStringLiteral("フォルダー %1 を作れません。").arg(QDir::toNativeSeparators(parent)));
    // Made beside its place and renamed when whole, so that a first start cut short leaves no
    // half-made folder behind for the next start to take for the books. The folder is the
    // user's alone (mode 0700).
    QTemporaryDir staging(parent + QStringLiteral("/data-XXXXXX"));
    if (!staging.isValid())
        refuse(dataPath, staging.errorString());
    const DeliveredFiles files =
        makeDeliveredFiles(withSeparator(schemaFolder) + QStringLiteral("main_schema.sql"),
                           withSeparator(schemaFolder) + QStringLiteral("work_schema.sql"), staging.path());
    if (!files.ok())
        refuse(dataPath, files.error);
    if (!QDir().rename(staging.path(), folder)) {
        if (QFileInfo(folder).isDir())
            return false; // another start made it meanwhile
        refuse(dataPath, QStringLiteral("フォルダーの名前を変えられません。"));
    }
    staging.setAutoRemove(false);
    return true;
}
