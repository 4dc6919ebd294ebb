#include "app/shared_files.h"

#include <QDir>
#include <QFileInfo>

QString sharedPath(const QString& programFolder, const QString& relative) {
    const QDir program(programFolder);
    const QString installed = QDir::cleanPath(program.filePath(QStringLiteral("../share/") + relative));
    const QString built = QDir::cleanPath(program.filePath(QStringLiteral("share/") + relative));
    return !QFileInfo::exists(installed) && QFileInfo::exists(built) ? built : installed;
}
