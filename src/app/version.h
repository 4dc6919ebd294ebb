#pragma once
#include <QString>

inline const QString AppTitle = QStringLiteral("Vornisa Ver ");
inline const QString AppVersion = QStringLiteral("1.20");
inline const QString AppLastUpdate = QStringLiteral("2005/12/16");
