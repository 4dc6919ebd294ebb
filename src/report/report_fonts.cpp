#include "report/report_fonts.h"

#include <QFontInfo>
#include <QStringList>
#include <cmath>
#include <mutex>

namespace report {

void installFontSubstitutions() {
    static std::once_flag once;
    std::call_once(once, [] {
        const QStringList mincho{QStringLiteral("IPAPMincho"), QStringLiteral("IPAexMincho"),
                                 QStringLiteral("Noto Serif CJK JP"), QStringLiteral("Noto Sans CJK JP")};
        const QStringList gothic{QStringLiteral("IPAGothic"), QStringLiteral("IPAexGothic"),
                                 QStringLiteral("Noto Sans CJK JP")};
        QFont::insertSubstitutions(kMincho, mincho);
        QFont::insertSubstitutions(kGothic, gothic);
    });
}

QFont layoutFont(const QString& family, double points, bool bold) {
    installFontSubstitutions();
    QFont font(family.isEmpty() ? kMincho : family);
    font.setPixelSize(int(std::lround(points * 20.0)));
    font.setBold(bold);
    // Hinting at device pixels would distort widths once the painter is scaled.
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setKerning(false);
    return font;
}

} // namespace report

QString resolvedFamily(const QString& layoutFamily) {
    report::installFontSubstitutions();
    return QFontInfo(QFont(layoutFamily)).family();
}
