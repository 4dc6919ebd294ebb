#pragma once
#include <QString>

inline const QString AppTitle = QStringLiteral("Vornisa Ver ");
inline const QString AppVersion = QStringLiteral("1.20");
inline const QString AppLastUpdate = QStringLiteral("2005/12/16");
// The maker's web page, opened from the banner.
inline const QString VendorUrl = QStringLiteral("https://www.example.jp/vornisa/");
