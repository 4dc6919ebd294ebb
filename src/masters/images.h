#pragma once
#include "store/database.h"

#include <QImage>
#include <QSize>
#include <QString>

// The company's seal and logo, kept in the main file so that a backup carries them. Each is held
// once, as PNG, scaled down on import to what the printed page needs.
enum class CompanyImage { 印影, ロゴ };

// The box an imported image is fitted into, in pixels at 600 dpi: the seal about 21 mm square,
// the logo within 40 × 15 mm. Smaller images are kept as they are.
QSize ImageBox(CompanyImage which);
// The largest file an import reads; anything bigger is refused unread.
constexpr qint64 ImageMaxFileBytes = 30 * 1024 * 1024;

// Reads a PNG or JPEG file scaled into the image's box, decoded at that size where the format
// allows it and turned as the photo says; transparency is kept. A null image when refused, with
// *refusal set to the sub-kind of the 「画像」 message that says why.
QImage ReadImageFile(const QString& path, CompanyImage which, QString* refusal);

// Reads the file as ReadImageFile does and stores it in place of the one held. Returns "" when
// stored, else the refusal, and then nothing has changed. Throws DbError when the file cannot
// be written.
QString Import画像(Database& main, CompanyImage which, const QString& path);
// The stored image; null when there is none.
QImage Read画像(Database& main, CompanyImage which);
void Delete画像(Database& main, CompanyImage which);
