#include "app/japanese_ui.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace {

// The Gothic faces the set-up installs, best first; each has its own Latin digits beside the kana.
const char* const kUiFaces[] = {"IPAexGothic", "IPAPGothic", "IPAGothic", "Noto Sans CJK JP"};

bool loadQtTranslations() {
    static QTranslator* translator = nullptr;
    if (translator)
        return true;
    auto* t = new QTranslator(qApp);
    if (!t->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete t;
        return false;
    }
    QCoreApplication::installTranslator(t);
    translator = t;
    return true;
}

void setUiFont() {
    const QStringList families = QFontDatabase::families(QFontDatabase::Japanese);
    for (const char* face : kUiFaces) {
        const QString family = QString::fromLatin1(face);
        if (families.contains(family)) {
            QFont font = QApplication::font();
            font.setFamilies({family});
            QApplication::setFont(font);
            return;
        }
    }
}

} // namespace

bool SetupJapaneseUi() {
    // Dates, units and day names in Qt's dialogs follow the default locale, not only the texts.
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    setUiFont();
    return loadQtTranslations();
}
