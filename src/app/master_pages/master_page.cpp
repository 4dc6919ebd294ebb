#include "app/master_pages/master_page.h"

#include "app/books.h"
#include "app/page_parts.h"
#include "exchange/csv.h"
#include "masters/master_copy.h"
#include "messages/msg.h"

#include <QCoreApplication>
#include <QDir>
#include <QHeaderView>
#include <QProgressDialog>
#include <QVBoxLayout>
#include <memory>

namespace {
constexpr int colName = 1; // the tick comes first
} // namespace

BoundTable* MasterPage::build(DataGrid* grid, const QList<QPushButton*>& buttons, const QString& tableName,
                              const QString& source, const QString& what, const MasterTables& tables) {
    tables_ = &tables;
    auto* l = new QVBoxLayout(this);
    auto* body = frame();
    l->addWidget(body);
    auto* v = new QVBoxLayout(body);
    v->addWidget(grid, 1);
    v->addWidget(buttonFrame(buttons));
    grid_ = grid;
    what_ = what;
    table_ = named(new BoundTable(this), tableName);
    table_->setRowEditing(true);
    table_->setRecordSource(source);
    connect(&books_, &Books::closing, this, [this] { rebind(false); });
    connect(&books_, &Books::swapped, this, [this] {
        readState_.clear();
        rebind(true);
    });
    return table_;
}

void MasterPage::bindGrid() {
    grid_->bind(table_);
    grid_->horizontalHeader()->setStretchLastSection(true); // before the page's own column set-up
    rebind(true);
    grid_->setImeColumns({1, 2});
    grid_->setRowSelectors(true);
    grid_->setRowActions({{QStringLiteral("行を削除"), [g = grid_](int) { g->removeSelectedRows(); }}});
    grid_->setEnterColumnHandler([this](int col) { return enterKey(col); });
    sayWriteFailures(table_);
    // Ticks only mark rows for deletion; anything else typed is work to register.
    connect(table_, &BoundTable::afterColUpdate, this, [this](int, int col) {
        if (col != table_->fieldIndex(QStringLiteral("チェック")))
            unsaved_ = true;
    });
}

void MasterPage::rebind(bool open) {
    table_->setDatabase(open ? books_.dbWork.get() : nullptr);
    table_->refresh();
    // Without files the table had no columns, so the grid forgot their widths and hidden ones.
    if (open)
        setUpColumns();
}

bool MasterPage::enterKey(int col) {
    int last = table_->columnCount() - 1;
    while (last > 0 && grid_->isColumnHidden(last))
        --last;
    if (col != last)
        return false;
    grid_->moveNext(); // stays on the new row, the last one
    grid_->setCol(colName);
    return true;
}

bool MasterPage::hasUnsavedChanges() {
    grid_->commitPending();
    return unsaved_;
}

bool MasterPage::askDiscardUnsaved() {
    return !hasUnsavedChanges() || MsgConfirm(QStringLiteral("クリア"), QStringLiteral("確認"), QString());
}

void MasterPage::connectAsking(QPushButton* button, const std::function<void()>& routine) {
    connect(button, &QPushButton::clicked, this, [this, routine] {
        if (askDiscardUnsaved())
            routine();
    });
}

void MasterPage::readMaster() {
    if (workThenRefresh(table_, what_ + QStringLiteral("を読み込めませんでした。"), [&] {
            // Taken before the copy: a change made while it runs shows at the next look.
            readState_ = masterState(*tables_, *books_.dbMain);
            ::readMaster(*tables_, *books_.dbWork, books_.dbMain->path());
            return true;
        }))
        unsaved_ = false;
    else
        readState_.clear();
}

void MasterPage::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    if (!books_.dbMain || !books_.dbMain->onServer() || hasUnsavedChanges())
        return;
    try {
        if (hasPendingRows(*tables_, *books_.dbWork) || masterState(*tables_, *books_.dbMain) == readState_)
            return;
    } catch (const DbError& e) {
        notifyFailure(what_ + QStringLiteral("を読み込めませんでした。"), e);
        return;
    }
    readMaster();
}

bool MasterPage::writeMaster(const QString& failure, const std::function<bool()>& routine) {
    QString stale;
    const bool done = workThenRefresh(table_, failure, [&] {
        try {
            return routine();
        } catch (const StaleMaster& e) {
            stale = e.text;
            return false;
        }
    });
    // The page's rows no longer show the master as read: the next look reads it again.
    readState_.clear();
    if (!stale.isEmpty() && MsgConfirm(QStringLiteral("読込"), QStringLiteral("他のPC"), failure + u'\n' + stale))
        readMaster();
    return done;
}

void MasterPage::entryMaster(const QString& failure, void (*entry)(Database&, Database&)) {
    if (!MsgConfirm(QStringLiteral("登録"), QStringLiteral("確認"), what_))
        return;
    grid_->commitPending();
    if (!writeMaster(failure, [&] {
            entry(*books_.dbMain, *books_.dbWork);
            return true;
        }))
        return;
    unsaved_ = false;
    emit masterChanged();
}

void MasterPage::deleteTicked(const QString& failure, bool (*remove)(Database&, Database&), bool editedRowFirst) {
    if (!MsgConfirm(QStringLiteral("削除"), QStringLiteral("指定確認"), what_))
        return;
    if (editedRowFirst)
        grid_->commitPending();
    if (writeMaster(failure, [&] { return remove(*books_.dbMain, *books_.dbWork); }))
        emit masterChanged();
}

void MasterPage::clearPage(const QString& failure, void (*clear)(Database&)) {
    if (workThenRefresh(table_, failure, [&] {
            clear(*books_.dbWork);
            return true;
        }))
        unsaved_ = false;
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
    const QString path =
        books_.chooseSaveFile(window(), what + QStringLiteral("をCSVに出力"), what + QStringLiteral(".csv"));
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
    // The rows read replace the ones shown.
    if (!askDiscardUnsaved())
        return;
    const QString path = books_.chooseOpenFile(window(), what + QStringLiteral("のCSVを取り込む"),
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
    if (r.imported > 0) // the rows read are not in the books until registered
        unsaved_ = true;
    if (!r.skipped.isEmpty() && !r.cancelled)
        MsgConfirm(QStringLiteral("CSV"), QStringLiteral("読めない行"), skippedLinesText(r.skipped));
}
