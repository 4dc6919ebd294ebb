#include "app/master_pages/master_page.h"

#include "app/books.h"
#include "app/page_parts.h"
#include "exchange/csv.h"
#include "messages/msg.h"

#include <QCoreApplication>
#include <QDir>
#include <QHeaderView>
#include <QProgressDialog>
#include <QVBoxLayout>
#include <memory>

BoundTable* MasterPage::build(DataGrid* grid, const QList<QPushButton*>& buttons, const QString& tableName,
                              const QString& source) {
    auto* l = new QVBoxLayout(this);
    auto* body = frame();
    l->addWidget(body);
    auto* v = new QVBoxLayout(body);
    v->addWidget(grid, 1);
    v->addWidget(buttonFrame(buttons));
    grid_ = grid;
    table_ = named(new BoundTable(this), tableName);
    table_->setRowEditing(true);
    table_->setRecordSource(source);
    connect(&books_, &Books::closing, this, [this] { rebind(false); });
    connect(&books_, &Books::swapped, this, [this] { rebind(true); });
    return table_;
}

void MasterPage::bindGrid(const QList<GridColumn>& columns) {
    rebind(true);
    grid_->bind(table_);
    grid_->setupColumns(columns);
    grid_->setImeColumns({1, 2});
    grid_->setRowSelectors(true);
    grid_->horizontalHeader()->setStretchLastSection(true);
    grid_->setRowActions({{QStringLiteral("行を削除"), [g = grid_](int) { g->removeSelectedRows(); }}});
    sayWriteFailures(table_);
}

void MasterPage::rebind(bool open) {
    table_->setDatabase(open ? books_.dbWork.get() : nullptr);
    table_->refresh();
}

void MasterPage::readMaster(const QString& failure, void (*read)(Database&, const QString&)) {
    workThenRefresh(table_, failure, [&] {
        read(*books_.dbWork, books_.MainDbPath);
        return true;
    });
}

void MasterPage::entryMaster(const QString& what, const QString& failure, void (*entry)(Database&, Database&)) {
    if (!MsgConfirm(QStringLiteral("登録"), QStringLiteral("確認"), what))
        return;
    grid_->commitPending();
    workThenRefresh(table_, failure, [&] {
        entry(*books_.dbMain, *books_.dbWork);
        return true;
    });
}

void MasterPage::deleteTicked(const QString& what, const QString& failure, bool (*remove)(Database&, Database&),
                              bool editedRowFirst) {
    if (!MsgConfirm(QStringLiteral("削除"), QStringLiteral("指定確認"), what))
        return;
    if (editedRowFirst)
        grid_->commitPending();
    workThenRefresh(table_, failure, [&] { return remove(*books_.dbMain, *books_.dbWork); });
}

void MasterPage::clearPage(const QString& failure, void (*clear)(Database&)) {
    workThenRefresh(table_, failure, [&] {
        clear(*books_.dbWork);
        return true;
    });
}

void MasterPage::exportCsv(const QString& what, QString (*produce)(Database&)) {
    grid_->commitPending(); // the row being edited is part of what the page shows
    QString text;
    try {
        text = produce(*books_.dbWork);
    } catch (const DbError& e) {
        notifyFailure(what + QStringLiteral("をCSVに出力できませんでした。"), e);
        return;
    }
    const QString path = books_.fileDialogs.saveFile(window(), what + QStringLiteral("をCSVに出力"),
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

void MasterPage::importCsv(const QString& what, CsvImport (*take)(Database&, const DecodedCsv&, const CsvProgress&)) {
    const QString path = books_.fileDialogs.openFile(window(), what + QStringLiteral("のCSVを取り込む"),
                                                     QStringLiteral("CSV (*.csv *.txt)"));
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
                                                      window());
            shown->setWindowModality(Qt::WindowModal);
            shown->setMinimumDuration(0);
            shown->show();
            progress = [&shown](int permille) {
                shown->setValue(permille);
                QCoreApplication::processEvents(); // the window keeps drawing and the button answers
                return !shown->wasCanceled();
            };
        }
        r = take(*books_.dbWork, file, progress);
    } catch (const CsvError& e) {
        MsgConfirm(QStringLiteral("CSV"), QStringLiteral("失敗"), e.text);
        return;
    } catch (const DbError& e) {
        notifyFailure(what + QStringLiteral("を取り込めませんでした。"), e);
    }
    table_->refresh();
    if (!r.skipped.isEmpty() && !r.cancelled)
        MsgConfirm(QStringLiteral("CSV"), QStringLiteral("読めない行"), skippedLinesText(r.skipped));
}
