#include "app/frm_vornisa.h"
#include "app/japanese_ui.h"
#include "app/startup.h"
#include "messages/msg.h"

#include <QApplication>
#include <cstdio>

namespace {

// For the package check: start as usual (making the data folder when needed), print what the
// user would have been told and where the data folder is, and end without showing the window.
const QString CheckStartOption = QStringLiteral("--check-start");

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    SetupJapaneseUi();
    const bool checkStart = app.arguments().contains(CheckStartOption);
    if (checkStart)
        msg::setAnswerer([](const msg::Shown& s) {
            std::printf("%s: %s\n", qPrintable(s.title), qPrintable(s.text));
            return s.defaultButton;
        });
    FrmVornisa window;
    if (!LoadMainWindow(window, QCoreApplication::applicationDirPath()))
        return 1;
    if (checkStart) {
        std::printf("data folder: %s\n", qPrintable(window.books.DataPath));
        return 0;
    }
    window.show();
    return app.exec();
}
