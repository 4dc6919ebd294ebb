#include "app/startup.h"

#include "app/frm_vornisa.h"
#include "app/instance_lock.h"
#include "messages/msg.h"

#include <QDir>
#include <sqlite3.h>

bool LoadMainWindow(FrmVornisa& window, const QString& programFolder, const DataFolderRule& rule) {
    try {
        window.Form_Load(programFolder, rule);
        if (window.madeDataFolder) // the one time the user is told where the books are kept
            MsgConfirm(QStringLiteral("起動"), QStringLiteral("作成"), QDir::toNativeSeparators(window.books.DataPath));
        if (window.recoveredRestore != RestoreRecovery::None) // which state the books are in now
            MsgConfirm(QStringLiteral("復元"),
                       window.recoveredRestore == RestoreRecovery::Completed ? QStringLiteral("中断完了")
                                                                             : QStringLiteral("中断戻し"),
                       QString());
        return true;
    } catch (const StartRefused& e) {
        MsgConfirm(QStringLiteral("起動"), e.sub, e.arg);
    } catch (const DbError& e) {
        if ((e.code & 0xff) == SQLITE_READONLY) // a file the user can put right: said plainly
            MsgConfirm(QStringLiteral("起動"), QStringLiteral("読取専用"), e.text);
        else
            msg::ShowError(QStringLiteral("Vornisa"), QStringLiteral("エラー %1\n%2").arg(e.code).arg(e.text));
    }
    return false;
}
