#include "app/frm_vornisa.h"
#include "app/japanese_ui.h"
#include "app/startup.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    SetupJapaneseUi();
    FrmVornisa window;
    if (!LoadMainWindow(window, QCoreApplication::applicationDirPath()))
        return 1;
    window.show();
    return app.exec();
}
