#include "app/data_folder.h"

#include <QFileInfo>

QString chooseDataPath(const QString& programFolder, const DataFolderRule& rule) {
    if (!rule.markerFile.isEmpty() && QFileInfo::exists(rule.markerFile))
        return rule.fixedFolder.endsWith(u'/') ? rule.fixedFolder : rule.fixedFolder + u'/';
    const QString base = programFolder.endsWith(u'/') ? programFolder : programFolder + u'/';
    return base + QStringLiteral("data/");
}
