#include "app/startup.h"

#include "app/frm_vornisa.h"
#include "app/instance_lock.h"
#include "messages/msg.h"

#include <QDir>

bool LoadMainWindow(FrmVornisa& window, const QString& programFolder, const DataFolderRule& rule) {
    try {
        window.Form_Load(programFolder, rule);
        if (window.madeDataFolder) // the one time the user is told where the books are kept
            MsgConfirm(QStringLiteral("起動"), QStringLiteral("作成"), QDir::toNativeSeparators(window.books.DataPath));
        return true;
    } catch (const StartRefused& e) {
        MsgConfirm(QStringLiteral("起動"), e.sub, e.arg);
    } catch (const DbError& e) {
        msg::ShowError(QStringLiteral("Vornisa"), QStringLiteral("エラー %1\n%2").arg(e.code).arg(e.text));
    }
    return false;
}
