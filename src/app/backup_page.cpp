// Backups and restore on the settings page, the daily backup, and the handles they swap.
#include "app/frm_vornisa.h"
#include "app/restore_dialog.h"
#include "backup/restore.h"
#include "hints/hint_window.h"
#include "messages/msg.h"

#include <QDir>
#include <QScopedValueRollback>

namespace {
const QString Kindバックアップ = QStringLiteral("バックアップ");
const QString Kind復元 = QStringLiteral("復元");
const QString MadeFormat = QStringLiteral("yyyy/MM/dd HH:mm:ss");
} // namespace

void FrmVornisa::releaseDatabases() {
    const QScopedValueRollback<int> notTheUser(filling_, filling_ + 1);
    // The grids drop their rows (and any open cell editor) before the files go.
    for (BoundTable* t : {dat明細, dat顧客, dat商品, dat商品参照}) {
        t->setDatabase(nullptr);
        t->refresh();
    }
    dbMain.reset();
    dbWork.reset();
}

void FrmVornisa::bindDatabases() {
    const QScopedValueRollback<int> notTheUser(filling_, filling_ + 1); // the same rows again, not an edit
    for (BoundTable* t : {dat明細, dat顧客, dat商品, dat商品参照}) {
        t->setDatabase(dbWork.get());
        t->refresh();
    }
    if (hintWindow)
        hintWindow->setDatabase(*dbWork);
}

void FrmVornisa::dailyBackup() {
    if (hasBackupOn(DataPath, QDate::currentDate()))
        return;
    try {
        makeBackup(*dbMain, *dbWork, DataPath, reason::Daily);
    } catch (const BackupError& e) {
        MsgConfirm(Kindバックアップ, QStringLiteral("失敗"), e.text);
    }
}

void FrmVornisa::cmdバックアップ_Click() {
    BackupInfo b;
    try {
        b = makeBackup(*dbMain, *dbWork, DataPath, reason::Manual);
    } catch (const BackupError& e) {
        MsgConfirm(Kindバックアップ, QStringLiteral("失敗"), e.text);
        return;
    }
    const QString target = fileDialogs.existingDirectory(
        this, QStringLiteral("バックアップのコピー先（USBメモリなど）を選んでください。キャンセルしてもバックアップは残ります"));
    if (target.isEmpty()) {
        MsgConfirm(Kindバックアップ, QStringLiteral("完了"), QDir::toNativeSeparators(b.folder));
        return;
    }
    try {
        const QString copied = copyBackupTo(b, target);
        MsgConfirm(Kindバックアップ, QStringLiteral("コピー完了"), QDir::toNativeSeparators(copied));
    } catch (const BackupError& e) {
        MsgConfirm(Kindバックアップ, QStringLiteral("コピー失敗"), e.text);
    }
}

void FrmVornisa::cmd復元_Click() {
    const QList<BackupInfo> backups = listBackups(DataPath);
    if (backups.isEmpty()) {
        MsgConfirm(QStringLiteral("その他"), QStringLiteral("ファイルなし"), QStringLiteral("復元できるバックアップ"));
        return;
    }
    RestoreDialog dialog(backups, this);
    if (dialog.exec() != QDialog::Accepted || !dialog.chosen())
        return;
    const BackupInfo chosen = *dialog.chosen();
    if (!MsgConfirm(Kind復元, QStringLiteral("確認"), chosen.made.toString(MadeFormat)))
        return;
    if (!askDiscardUnsaved())
        return;
    Restore(chosen);
}

void FrmVornisa::Restore(const BackupInfo& chosen) {
    // Checked before anything else: a damaged backup changes nothing, not even the backups.
    std::optional<StagedRestore> staged;
    try {
        staged.emplace(chosen.folder, DataPath);
    } catch (const LinkedBackupError& e) {
        MsgConfirm(Kind復元, QStringLiteral("リンク"), e.text);
        return;
    } catch (const BackupError& e) {
        MsgConfirm(Kind復元, QStringLiteral("不可"), e.text);
        return;
    }
    try {
        makeBackup(*dbMain, *dbWork, DataPath, reason::BeforeRestore);
    } catch (const BackupError& e) {
        MsgConfirm(Kind復元, QStringLiteral("失敗"), e.text);
        return;
    }
    releaseDatabases();
    QString failure;
    try {
        staged->swap([this] { openDatabases(); });
    } catch (const BackupError& e) {
        failure = e.text;
    } catch (const DbError& e) {
        failure = e.text;
    }
    if (!failure.isEmpty()) {
        try {
            openDatabases(); // the current files, put back as they were
        } catch (const DbError& e) {
            msg::ShowError(QStringLiteral("Vornisa"), failure + u'\n' + e.text);
            close();
            return;
        }
    }
    bindDatabases();
    if (!failure.isEmpty()) {
        MsgConfirm(Kind復元, QStringLiteral("失敗"), failure);
        return;
    }
    Read設定();
    Clear請求書(true);
    Clear顧客情報();
    Clear商品情報();
    MsgConfirm(Kind復元, QStringLiteral("完了"), chosen.made.toString(MadeFormat));
}
