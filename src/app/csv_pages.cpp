// CSV out of and into the customer and product pages' work copies.
#include "app/frm_vornisa.h"
#include "exchange/csv.h"
#include "messages/msg.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

void FrmVornisa::exportCsv(DataGrid* grid, const QString& what, QString (*produce)(Database&)) {
    grid->commitPending(); // the row being edited is part of what the page shows
    QString text;
    try {
        text = produce(*dbWork);
    } catch (const DbError& e) {
        notifyFailure(what + QStringLiteral("をCSVに出力できませんでした。"), e);
        return;
    }
    const QString path = fileDialogs.saveFile(this, what + QStringLiteral("をCSVに出力"),
                                              QDir::home().filePath(what + QStringLiteral(".csv")));
    if (path.isEmpty())
        return;
    QString reason;
    if (!writeCsvFile(path, text, &reason))
        MsgConfirm(QStringLiteral("CSV"), QStringLiteral("失敗"),
                   QDir::toNativeSeparators(path) + QStringLiteral(" に書き込めませんでした。") + reason);
}

void FrmVornisa::importCsv(BoundTable* table, const QString& what, CsvImport (*take)(Database&, const QString&)) {
    const QString path = fileDialogs.openFile(this, what + QStringLiteral("のCSVを取り込む"));
    if (path.isEmpty())
        return;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        MsgConfirm(QStringLiteral("CSV"), QStringLiteral("失敗"),
                   QDir::toNativeSeparators(path) + QStringLiteral(" を読めません。") + f.errorString());
        return;
    }
    CsvImport r;
    try {
        r = take(*dbWork, decodeCsvFile(f.readAll()));
    } catch (const CsvError& e) {
        MsgConfirm(QStringLiteral("CSV"), QStringLiteral("失敗"), e.text);
        return;
    } catch (const DbError& e) {
        notifyFailure(what + QStringLiteral("を取り込めませんでした。"), e);
    }
    table->refresh();
    if (!r.skippedLines.isEmpty())
        MsgConfirm(QStringLiteral("CSV"), QStringLiteral("読めない行"), skippedLinesText(r.skippedLines));
}

void FrmVornisa::cmd顧客CSV出力_Click() {
    exportCsv(Grid顧客マスタ, QStringLiteral("顧客"), exportCustomers);
}
void FrmVornisa::cmd顧客CSV取込_Click() {
    importCsv(dat顧客, QStringLiteral("顧客"), importCustomers);
}
void FrmVornisa::cmd商品CSV出力_Click() {
    exportCsv(Grid商品マスタ, QStringLiteral("商品"), exportProducts);
}
void FrmVornisa::cmd商品CSV取込_Click() {
    importCsv(dat商品, QStringLiteral("商品"), importProducts);
}
