#pragma once

#include <QFont>
#include <QString>

namespace report {

inline const QString kMincho = QStringLiteral("ＭＳ Ｐ明朝");
inline const QString kGothic = QStringLiteral("ＭＳ ゴシック");

// The layout names Windows faces; map them onto Japanese faces found here. Safe to call repeatedly.
void installFontSubstitutions();

// A font for a painter scaled to twips: the size is given as pixels in twips so it is not scaled twice.
QFont layoutFont(const QString& family, double points, bool bold);

} // namespace report

// The face the layout's family actually resolves to on this machine.
QString resolvedFamily(const QString& layoutFamily);
