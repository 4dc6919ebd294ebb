#include "app/japanese_ui.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QTranslator>

namespace {

// The Gothic faces the set-up installs, best first; each has its own Latin digits beside the kana.
const char* const kUiFaces[] = {"IPAexGothic", "IPAPGothic", "IPAGothic", "Noto Sans CJK JP"};

// Qt's Japanese button texts carry an English access key, "はい(&Y)"; the program's questions show plain
// "はい" and "いいえ". Enter and Esc still answer them.
class PlainButtonTexts : public QTranslator {
  public:
    PlainButtonTexts(const QTranslator& qt, QObject* parent) : QTranslator(parent), qt(qt) {}
    QString translate(const char* context, const char* source, const char* disambiguation, int n) const override {
        if (qstrcmp(context, "QPlatformTheme") != 0)
            return {};
        static const QRegularExpression accessKey(QStringLiteral("\\(&[A-Za-z]\\)$"));
        return qt.translate(context, source, disambiguation, n).remove(accessKey);
    }
    bool isEmpty() const override { return false; }

  private:
    const QTranslator& qt;
};

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
    // Installed last, so it is asked first.
    QCoreApplication::installTranslator(new PlainButtonTexts(*t, t));
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
