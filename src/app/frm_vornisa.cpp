#include "app/frm_vornisa.h"

#include "app/book_page/book_model.h"
#include "app/book_page/book_page.h"
#include "app/instance_lock.h"
#include "app/invoice_page/invoice_page.h"
#include "app/master_pages/customer_page.h"
#include "app/master_pages/product_page.h"
#include "app/page_parts.h"
#include "app/receivables_page/receivables_page.h"
#include "app/restore_dialog.h"
#include "app/settings_page/settings_page.h"
#include "app/shared_files.h"
#include "app/version.h"
#include "backup/restore.h"
#include "hints/hint_window.h"
#include "messages/msg.h"
#include "store/server_book.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QFileInfo>
#include <QShortcut>
#include <QUrl>
#include <QVBoxLayout>

namespace {
const QString Kindバックアップ = QStringLiteral("バックアップ");
const QString Kind復元 = QStringLiteral("復元");
const QString MadeFormat = QStringLiteral("yyyy/MM/dd HH:mm:ss");

// The guide in the program's own window: its pictures of the whole window are made to fit the
// text's width, as a browser's style sheet makes them.
class GuideBrowser : public QTextBrowser {
  public:
    explicit GuideBrowser(QWidget* parent) : QTextBrowser(parent) {}
    QVariant loadResource(int type, const QUrl& name) override {
        const QVariant loaded = QTextBrowser::loadResource(type, name);
        // The window's width short of its scroll bar and margins; known before it is first shown.
        const int width = this->width() - 80;
        const QImage picture = type == QTextDocument::ImageResource ? QImage::fromData(loaded.toByteArray()) : QImage();
        if (picture.isNull() || picture.width() <= width)
            return loaded;
        return picture.scaledToWidth(width, Qt::SmoothTransformation);
    }
};
} // namespace

FrmVornisa::FrmVornisa(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("FrmVornisa"));
    auto* l = new QVBoxLayout(this);
    tab = new QTabWidget;
    tab->setObjectName(QStringLiteral("SSTab1"));
    tab->addTab(invoice = new InvoicePage(books), QStringLiteral("請求書"));
    tab->addTab(customers = new CustomerPage(books), QStringLiteral("顧　客"));
    tab->addTab(products = new ProductPage(books), QStringLiteral("商　品"));
    tab->addTab(settings = new SettingsPage(books), QStringLiteral("設定・情報"));
    tab->addTab(book = new BookPage(books), QStringLiteral("伝票一覧"));
    tab->addTab(receivables = new ReceivablesPage(books), QStringLiteral("売掛金"));
    l->addWidget(tab);
    resize(1000, 760);
}

FrmVornisa::~FrmVornisa() {
    // The pages go first, while the databases their grids write to are still open.
    delete tab;
}

void FrmVornisa::Form_Load(const QString& programFolder, const DataFolderRule& rule) {
    ProgramFolder = programFolder;
    books.DataPath = chooseDataPath(programFolder, rule);
    if (books.DataPath == userDataPath())
        madeDataFolder = makeUserDataFolder(books.DataPath, sharedPath(programFolder, SchemaFolder));
    dataLock = std::make_unique<InstanceLock>(books.DataPath);
    books.MainDbPath = books.DataPath + MainDbName;
    books.WorkDbPath = books.DataPath + WorkDbName;
    recoveredRestore = RecoverInterruptedRestore(books.DataPath); // before opening: a restore cut off is settled
    books.open();
    setWindowTitle(AppTitle + AppVersion);
    settings->Start設定();
    settings->FormInit();
    invoice->FormInit();
    customers->FormInit();
    products->FormInit();
    book->FormInit();
    receivables->FormInit();
    connectPages();
    invoice->Clear請求書(true);
    customers->Clear顧客情報();
    products->Clear商品情報();
    dailyBackup();
}

void FrmVornisa::connectPages() {
    books.companyShown = [this] { return settings->companyShown(); };
    connect(settings, &SettingsPage::settingsRead, products, &ProductPage::showProductRates);
    // The invoice page follows what is registered elsewhere at once, keeping what is typed.
    connect(settings, &SettingsPage::settingsRead, invoice, &InvoicePage::followSettings);
    connect(customers, &MasterPage::masterChanged, invoice, &InvoicePage::AddCmb顧客名);
    connect(products, &MasterPage::masterChanged, invoice, &InvoicePage::SetDD品名);
    connect(settings, &SettingsPage::wiped, invoice, [this] {
        invoice->AddCmb顧客名();
        invoice->SetDD品名();
    });
    connect(settings, &SettingsPage::restoreRequested, this, &FrmVornisa::cmd復元_Click);
    connect(settings, &SettingsPage::placeChanged, this, &FrmVornisa::startPagesAfresh);
    // On a book shared with other PCs, the list shown again runs its search again: what they
    // registered meanwhile appears.
    connect(tab, &QTabWidget::currentChanged, this, [this] {
        if (tab->currentWidget() == book && books.dbMain && books.dbMain->onServer() && book->dat伝票一覧->searched())
            book->dat伝票一覧->search(book->dat伝票一覧->query());
    });
    connect(settings, &SettingsPage::guideRequested, this, &FrmVornisa::showGuide);
    connect(invoice, &InvoicePage::hintRequested, this, &FrmVornisa::cmdHint_Click);
    // The page is titled by the kind of document it holds.
    connect(invoice, &InvoicePage::kindShown, this, [this](const QString& kind) { tab->setTabText(0, kind); });
    connect(book, &BookPage::openRequested, this, &FrmVornisa::Open伝票);
    connect(receivables, &ReceivablesPage::customerRequested, this, &FrmVornisa::OpenCustomerInvoices);
    connect(new QShortcut(QKeySequence::HelpContents, this), &QShortcut::activated, this, &FrmVornisa::showGuide);
}

void FrmVornisa::startPagesAfresh() {
    if (hintWindow)
        hintWindow->setDatabase(*books.dbWork);
    settings->Start設定();
    invoice->Clear請求書(true);
    customers->Clear顧客情報();
    products->Clear商品情報();
}

QStringList FrmVornisa::unsavedWork() {
    QStringList work;
    if (invoice->hasUnsavedChanges())
        work << QStringLiteral("伝票");
    for (MasterPage* page : {static_cast<MasterPage*>(customers), static_cast<MasterPage*>(products)})
        if (page->hasUnsavedChanges())
            work << page->what();
    return work;
}

void FrmVornisa::closeEvent(QCloseEvent* e) {
    // No is the default: Enter never throws work away.
    if (!closed_) {
        const QStringList work = unsavedWork();
        if (!work.isEmpty() && !MsgConfirm(QStringLiteral("その他"), QStringLiteral("終了確認"), work.join(u'・'))) {
            e->ignore();
            return;
        }
    }
    if (hintWindow)
        hintWindow->close();
    // Form_Unload: the main, then the work database.
    closed_ = true;
    books.close();
    dataLock.reset();
    e->accept();
}

void FrmVornisa::Open伝票(qint32 number, const QString& kind) {
    // The question comes first, so that No leaves the invoice page exactly as it was.
    if (!invoice->askDiscardUnsaved())
        return;
    tab->setCurrentIndex(0);
    invoice->Load伝票(number, kind);
}

void FrmVornisa::OpenCustomerInvoices(const QString& customer) {
    tab->setCurrentWidget(book);
    book->ShowOpenInvoicesOf(customer);
}

void FrmVornisa::showGuide() {
    const QString page = sharedPath(ProgramFolder, GuidePage);
    if (QFileInfo::exists(page) && QDesktopServices::openUrl(QUrl::fromLocalFile(page)))
        return;
    // No browser, or a copy of the program without its share/ folder: the guide built into the
    // program, pictures and all.
    if (!guideWindow) {
        guideWindow = named(new GuideBrowser(this), QStringLiteral("guideWindow"));
        guideWindow->setWindowFlag(Qt::Window);
        guideWindow->setAttribute(Qt::WA_DeleteOnClose);
        guideWindow->setWindowTitle(QStringLiteral("使い方ガイド"));
        guideWindow->setOpenExternalLinks(true);
        guideWindow->resize(900, 700);
        guideWindow->setSource(QUrl(BuiltInGuidePage)); // once its size is known, for the pictures
    }
    guideWindow->show();
    guideWindow->raise();
    guideWindow->activateWindow();
}

void FrmVornisa::cmdHint_Click(const QString& control) {
    if (hintWindow) {
        hintWindow->raise();
        hintWindow->activateWindow();
        return;
    }
    hintWindow = new Hint(*books.dbWork, objectName(), control, windowTitle(), this);
    hintWindow->show();
}

void FrmVornisa::dailyBackup() {
    if (hasBackupOn(books.DataPath, QDate::currentDate()))
        return;
    try {
        makeBackup(*books.dbMain, *books.dbWork, books.DataPath, reason::Daily);
    } catch (const BackupError& e) {
        MsgConfirm(Kindバックアップ, QStringLiteral("失敗"), e.text);
    }
}

void FrmVornisa::cmd復元_Click() {
    const QList<BackupInfo> backups = listBackups(books.DataPath);
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
    // Every page starts afresh on the restored books: unregistered work anywhere goes.
    if (!unsavedWork().isEmpty() && !MsgConfirm(QStringLiteral("クリア"), QStringLiteral("確認"), QString()))
        return;
    Restore(chosen);
}

void FrmVornisa::Restore(const BackupInfo& chosen) {
    // A book on a server takes the backup's main file into itself; the work file stays this PC's.
    const bool onServer = books.dbMain->onServer();
    // Checked before anything else: a damaged backup changes nothing, not even the backups.
    std::optional<StagedRestore> staged;
    try {
        staged.emplace(chosen.folder, books.DataPath,
                       onServer ? StagedRestore::Files::MainOnly : StagedRestore::Files::Both);
    } catch (const LinkedBackupError& e) {
        MsgConfirm(Kind復元, QStringLiteral("リンク"), e.text);
        return;
    } catch (const BackupError& e) {
        MsgConfirm(Kind復元, QStringLiteral("不可"), e.text);
        return;
    }
    if (onServer) {
        QStringList others;
        try {
            others = otherVornisaSessions(*books.dbMain);
        } catch (const DbError& e) {
            MsgConfirm(Kind復元, QStringLiteral("失敗"), e.text);
            return;
        }
        if (!others.isEmpty()) {
            MsgConfirm(Kind復元, QStringLiteral("使用中"), others.join(u'\n'));
            return;
        }
    }
    try {
        makeBackup(*books.dbMain, *books.dbWork, books.DataPath, reason::BeforeRestore);
    } catch (const BackupError& e) {
        MsgConfirm(Kind復元, QStringLiteral("失敗"), e.text);
        return;
    }
    QString failure;
    try {
        failure = onServer ? books.restoreOntoServer(staged->mainFile()) : books.swap(*staged);
    } catch (const DbError& e) {
        msg::ShowError(QStringLiteral("Vornisa"), e.text);
        close();
        return;
    }
    if (!failure.isEmpty()) {
        if (hintWindow)
            hintWindow->setDatabase(*books.dbWork);
        MsgConfirm(Kind復元, QStringLiteral("失敗"), failure);
        return;
    }
    startPagesAfresh();
    MsgConfirm(Kind復元, QStringLiteral("完了"), chosen.made.toString(MadeFormat));
}
