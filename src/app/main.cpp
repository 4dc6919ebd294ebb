#include "app/frm_vornisa.h"
#include "messages/msg.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    FrmVornisa window;
    try {
        window.Form_Load(QCoreApplication::applicationDirPath());
    } catch (const DbError& e) {
        // Nothing has been changed; the window is never shown.
        msg::ShowError(QStringLiteral("Vornisa"), QStringLiteral("エラー %1\n%2").arg(e.code).arg(e.text));
        return 1;
    }
    window.show();
    return app.exec();
}
