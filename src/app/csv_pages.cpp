// CSV out of and into the customer and product pages' work copies.
#include "app/frm_vornisa.h"
#include "exchange/csv.h"
#include "messages/msg.h"

#include <QCoreApplication>
#include <QDir>
#include <QProgressDialog>
#include <memory>

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

namespace {
// A file this large (some 30,000 rows of names and addresses, a second or more to take in)
// shows the import's progress, with a button to stop it.
constexpr qsizetype ShowProgressFrom = 512 * 1024;
} // namespace

void FrmVornisa::importCsv(BoundTable* table, const QString& what,
                           CsvImport (*take)(Database&, const DecodedCsv&, const CsvProgress&)) {
    const QString path = fileDialogs.openFile(this, what + QStringLiteral("のCSVを取り込む"));
    if (path.isEmpty())
        return;
    CsvImport r;
    try {
        const DecodedCsv file = readCsvFile(path);
        std::unique_ptr<QProgressDialog> shown;
        CsvProgress progress;
        if (file.text.size() >= ShowProgressFrom) {
            shown = std::make_unique<QProgressDialog>(msg::text(QStringLiteral("文言"), QStringLiteral("取込中"), what),
                                                      msg::text(QStringLiteral("文言"), QStringLiteral("中止")), 0, 1000,
                                                      this);
            shown->setWindowModality(Qt::WindowModal);
            shown->setMinimumDuration(0);
            shown->show();
            progress = [&shown](int permille) {
                shown->setValue(permille);
                QCoreApplication::processEvents(); // the window keeps drawing and the button answers
                return !shown->wasCanceled();
            };
        }
        r = take(*dbWork, file, progress);
    } catch (const CsvError& e) {
        MsgConfirm(QStringLiteral("CSV"), QStringLiteral("失敗"), e.text);
        return;
    } catch (const DbError& e) {
        notifyFailure(what + QStringLiteral("を取り込めませんでした。"), e);
    }
    table->refresh();
    if (!r.skipped.isEmpty() && !r.cancelled)
        MsgConfirm(QStringLiteral("CSV"), QStringLiteral("読めない行"), skippedLinesText(r.skipped));
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
