#include "app/frm_vornisa.h"

#include "app/layout.h"
#include "app/shared_files.h"
#include "app/version.h"
#include "backup/restore.h"
#include "hints/hint_window.h"
#include "invoice/invoice_io.h"
#include "invoice/lines.h"
#include "invoice/numbering.h"
#include "invoice/totals.h"
#include "masters/customers.h"
#include "masters/products.h"
#include "masters/settings.h"
#include "masters/wipe.h"
#include "messages/msg.h"
#include "report/invoice_report.h"
#include "store/schema.h"
#include "ui/calendar_heading.h"
#include "store/statements.h"
#include "store/tables.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QShortcut>
#include <QUrl>
#include <QVBoxLayout>

FrmVornisa::FrmVornisa(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("FrmVornisa"));
    auto* l = new QVBoxLayout(this);
    tab = new QTabWidget;
    tab->setObjectName(QStringLiteral("SSTab1"));
    tab->addTab(buildInvoicePage(), QStringLiteral("請求書"));
    tab->addTab(buildCustomerPage(), QStringLiteral("顧　客"));
    tab->addTab(buildProductPage(), QStringLiteral("商　品"));
    tab->addTab(buildSettingsPage(), QStringLiteral("設定・情報"));
    tab->addTab(buildBookPage(), QStringLiteral("伝票一覧"));
    l->addWidget(tab);
    dat明細 = new BoundTable(this);
    dat明細->setObjectName(QStringLiteral("dat明細"));
    dat顧客 = new BoundTable(this);
    dat顧客->setObjectName(QStringLiteral("dat顧客"));
    dat顧客->setRowEditing(true);
    dat商品 = new BoundTable(this);
    dat商品->setObjectName(QStringLiteral("dat商品"));
    dat商品->setRowEditing(true);
    dat商品参照 = new BoundTable(this);
    dat商品参照->setObjectName(QStringLiteral("dat商品参照"));
    resize(1000, 760);
    fileDialogs.existingDirectory = [](QWidget* parent, const QString& caption) {
        return QFileDialog::getExistingDirectory(parent, caption, QDir::homePath());
    };
    fileDialogs.saveFile = [](QWidget* parent, const QString& caption, const QString& suggested) {
        return QFileDialog::getSaveFileName(parent, caption, suggested, QStringLiteral("CSV (*.csv)"));
    };
    fileDialogs.openFile = [](QWidget* parent, const QString& caption) {
        return QFileDialog::getOpenFileName(parent, caption, QDir::homePath(),
                                            QStringLiteral("CSV (*.csv *.txt);;すべてのファイル (*)"));
    };
}

FrmVornisa::~FrmVornisa() {
    // The pages go first, while the databases their grids write to are still open.
    delete tab;
    for (BoundTable* t : {dat明細, dat顧客, dat商品, dat商品参照})
        t->setDatabase(nullptr);
}

void FrmVornisa::Form_Load(const QString& programFolder, const DataFolderRule& rule) {
    ProgramFolder = programFolder;
    DataPath = chooseDataPath(programFolder, rule);
    if (DataPath == userDataPath())
        madeDataFolder = makeUserDataFolder(DataPath, sharedPath(programFolder, SchemaFolder));
    dataLock = std::make_unique<InstanceLock>(DataPath);
    MainDbPath = DataPath + MainDbName;
    WorkDbPath = DataPath + WorkDbName;
    recoveredRestore = RecoverInterruptedRestore(DataPath); // before opening: a restore cut off is settled
    openDatabases();
    setWindowTitle(AppTitle + AppVersion);
    Clear設定();
    Read設定();
    FormInit();
    connectHandlers();
    connectBookPage();
    Clear請求書(true);
    Clear顧客情報();
    Clear商品情報();
    dailyBackup();
}

void FrmVornisa::openDatabases() {
    auto main = Database::open(MainDbPath, mainTables, Durability::Full);
    auto work = Database::open(WorkDbPath, workTables, Durability::Scratch);
    // An upgrade changes the books for good: one backup of both files comes first, and a
    // start without it is refused rather than upgrading without a copy.
    bool putAside = false;
    const auto backupFirst = [&](int) {
        if (putAside)
            return;
        try {
            makeBackup(*main, *work, DataPath, reason::BeforeUpgrade);
        } catch (const BackupError& e) {
            throw DbError(0, QStringLiteral("データ形式を更新する前のバックアップを作成できませんでした。\n") + e.text);
        }
        putAside = true;
    };
    upgradeSchema(*main, SchemaFile::Main, backupFirst);
    upgradeSchema(*work, SchemaFile::Work, backupFirst);
    dbMain = std::move(main);
    dbWork = std::move(work);
}

void FrmVornisa::FormInit() {
    lblInfo->setText(AppTitle + AppVersion + QStringLiteral(" LastUpdate") + AppLastUpdate);
    lblデータフォルダ->setText(QDir::toNativeSeparators(DataPath));
    for (BoundTable* t : {dat明細, dat顧客, dat商品, dat商品参照})
        t->setDatabase(dbWork.get());
    dat明細->setRecordSource(QStringLiteral("w明細"));
    dat顧客->setRecordSource(QStringLiteral("w顧客マスタ"));
    dat商品->setRecordSource(QStringLiteral("w商品マスタ"));
    dat商品参照->setRecordSource(QStringLiteral("w商品参照"));
    for (BoundTable* t : {dat明細, dat顧客, dat商品, dat商品参照})
        t->refresh();

    cmb税区分->clear();
    cmb税区分->addItems({QStringLiteral("内税"), QStringLiteral("外税"), QStringLiteral("非課税")});
    cmb税区分->setCurrentText(QStringLiteral("外税"));

    dt日付->setDisplayFormat(layout::dateFormat);
    dt日付->setCalendarPopup(true);
    dt日付->setFixedWidth(twipsToPixels(layout::dateWidthTwips, this));
    dt日付->calendarWidget()->setLocale(QLocale(QLocale::Japanese, QLocale::Japan));
    SetCalendarHeading(dt日付->calendarWidget(), layout::calendarYearFormat, layout::calendarMonthFormat);

    Grid顧客マスタ->bind(dat顧客);
    Grid顧客マスタ->setupColumns(layout::customerColumns);
    Grid顧客マスタ->setMultiLineColumn(2);
    Grid顧客マスタ->setImeColumns({1, 2});
    Grid商品マスタ->bind(dat商品);
    Grid商品マスタ->setupColumns(layout::productColumns);
    Grid商品マスタ->setImeColumns({1, 2});
    // A product is 10 % or 8 %; one never set is 10 %. Exempt products carry the flag instead.
    dat商品->setShownText(layout::productRateColumn,
                          [](const Value& v) { return v.isNull() ? RateChoices[0] : RateText(v); });
    Grid商品マスタ->setCodeColumn(layout::productRateColumn, {RateChoices.mid(0, 2), [](const QString& t) {
                                                               const auto r = ParseRate(t);
                                                               return r && *r != 0 ? r : std::nullopt;
                                                           }});
    showProductRates();
    for (DataGrid* g : {Grid顧客マスタ, Grid商品マスタ}) {
        g->setRowSelectors(true);
        g->horizontalHeader()->setStretchLastSection(true);
        g->setRowActions({{QStringLiteral("行を削除"), [g](int) { g->removeSelectedRows(); }}});
    }
    Grid明細->bind(dat明細);
    dat明細->setReadOnlyColumns({0});
    Grid明細->setImeColumns({1, 3});
    DD商品参照->setModel(dat商品参照);
    DD商品参照->setModelColumn(0);
    dat商品参照->setHeading(0, QStringLiteral("品　　　　名"));
    Grid明細->setRowActions({{QStringLiteral("行をクリア"), [this](int r) { Clear明細行(r); }},
                             {QStringLiteral("行を挿入"), [this](int r) { Insert明細行(r); }},
                             {QStringLiteral("行を削除"), [this](int r) { Delete明細行(r); }}});
    gridScheme_.clear();
    SetInvoiceBasis(inv);
}

void FrmVornisa::SetInvoiceBasis(const TaxBasis& basis) {
    inv = basis;
    const bool qualified = inv.税率方式 == Scheme10_8;
    rateBoxes->setVisible(qualified);
    if (gridScheme_ == inv.税率方式)
        return;
    gridScheme_ = inv.税率方式;
    // The grid's columns follow the scheme: the exempt flag under "5%", the rate under "10%・8%".
    dat明細->setFields(layout::detailFields + QStringList{qualified ? QStringLiteral("税率") : QStringLiteral("非課税")});
    dat明細->refresh();
    Grid明細->setPictureColumn(qualified ? -1 : layout::detailFlagColumn);
    Grid明細->setupColumns(qualified ? layout::detailColumnsQualified : layout::detailColumns);
    Grid明細->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch); // the name takes the spare width
    Grid明細->setPickList(1, dat商品参照, 0);
    dat明細->setShownText(layout::detailFlagColumn, qualified ? RateText : std::function<QString(const Value&)>());
    if (qualified)
        Grid明細->setCodeColumn(layout::detailFlagColumn, {RateChoices, ParseRate});
}

void FrmVornisa::showProductRates() {
    Grid商品マスタ->setColumnHidden(layout::productRateColumn, cfg税率方式 != Scheme10_8);
}

void FrmVornisa::connectHandlers() {
    connect(cmd登録, &QPushButton::clicked, this, &FrmVornisa::cmd登録_Click);
    connect(cmd削除, &QPushButton::clicked, this, &FrmVornisa::cmd削除_Click);
    connect(cmdクリア, &QPushButton::clicked, this, &FrmVornisa::cmdクリア_Click);
    connect(cmd印刷, &QPushButton::clicked, this, &FrmVornisa::cmd印刷_Click);
    connect(cmd閉じる, &QPushButton::clicked, this, &FrmVornisa::cmd閉じる_Click);
    connect(cmdHint, &QPushButton::clicked, this, &FrmVornisa::cmdHint_Click);
    connect(cmd顧客読込, &QPushButton::clicked, this, &FrmVornisa::Read顧客マスタ);
    connect(cmd顧客登録, &QPushButton::clicked, this, &FrmVornisa::Entry顧客情報);
    connect(cmd顧客削除, &QPushButton::clicked, this, &FrmVornisa::Delete顧客);
    connect(cmd顧客クリア, &QPushButton::clicked, this, &FrmVornisa::Clear顧客情報);
    connect(cmd商品読込, &QPushButton::clicked, this, &FrmVornisa::Read商品マスタ);
    connect(cmd商品登録, &QPushButton::clicked, this, &FrmVornisa::Entry商品情報);
    connect(cmd商品削除, &QPushButton::clicked, this, &FrmVornisa::Delete商品);
    connect(cmd商品クリア, &QPushButton::clicked, this, &FrmVornisa::Clear商品情報);
    connect(cmd設定登録, &QPushButton::clicked, this, &FrmVornisa::cmd設定登録_Click);
    connect(cmd設定クリア, &QPushButton::clicked, this, &FrmVornisa::Clear設定);
    connect(cmd設定読込, &QPushButton::clicked, this, &FrmVornisa::Read設定);
    // cmd設定削除 has no action.
    connect(cmd一括削除7, &QPushButton::clicked, this, &FrmVornisa::Data初期化);
    connect(cmdバックアップ, &QPushButton::clicked, this, &FrmVornisa::cmdバックアップ_Click);
    connect(cmd復元, &QPushButton::clicked, this, &FrmVornisa::cmd復元_Click);
    connect(cmd顧客CSV出力, &QPushButton::clicked, this, &FrmVornisa::cmd顧客CSV出力_Click);
    connect(cmd顧客CSV取込, &QPushButton::clicked, this, &FrmVornisa::cmd顧客CSV取込_Click);
    connect(cmd商品CSV出力, &QPushButton::clicked, this, &FrmVornisa::cmd商品CSV出力_Click);
    connect(cmd商品CSV取込, &QPushButton::clicked, this, &FrmVornisa::cmd商品CSV取込_Click);
    connect(new QShortcut(QKeySequence::HelpContents, this), &QShortcut::activated, this, &FrmVornisa::showGuide);
    connect(dat明細, &BoundTable::afterColUpdate, this, [this](int row, int col) {
        // The rules work on the grid's current row: the row the user just changed.
        if (Grid明細->row() != row)
            Grid明細->setCurrentIndex(dat明細->index(row, col));
        Grid明細_AfterColUpdate(col);
    });
    Grid明細->setEnterColumnHandler([this](int col) { return Grid明細_EnterKey(col); });
    // Enter in the number box moves on, so the number loads as leaving the box does.
    connect(txtNo, &QLineEdit::returnPressed, this, [this] { focusNextChild(); });
    for (BoundTable* t : {dat明細, dat顧客, dat商品})
        connect(t, &BoundTable::writeFailed, this, [this](const QString& reason) {
            MsgConfirm(QStringLiteral("その他"), QStringLiteral("注意"),
                       QStringLiteral("入力を保存できませんでした。") + reason);
        });
    // Leaving a box is its lost-focus event; the tax combo and the swatch need key and click.
    trackUnsavedChanges();
    for (QObject* o : {static_cast<QObject*>(txtNo), static_cast<QObject*>(cmb顧客名), static_cast<QObject*>(cmb税区分),
                       static_cast<QObject*>(cmb税率方式), static_cast<QObject*>(cmb端数処理),
                       static_cast<QObject*>(Pic罫線色), static_cast<QObject*>(Image2)})
        o->installEventFilter(this);
}

bool FrmVornisa::eventFilter(QObject* o, QEvent* e) {
    if (closed_) // focus still moves while the window goes; the databases are closed by then
        return QWidget::eventFilter(o, e);
    // Only a move to another control of this window is leaving a box: not a popup of the same
    // control, not another application or a message box taking the focus away.
    auto leavesWithinWindow = [](QEvent* ev) {
        const Qt::FocusReason r = static_cast<QFocusEvent*>(ev)->reason();
        return r != Qt::PopupFocusReason && r != Qt::ActiveWindowFocusReason;
    };
    if (e->type() == QEvent::FocusIn && o == txtNo && leavesWithinWindow(e)) {
        txtNoOnEntry_ = txtNo->text();
    } else if (e->type() == QEvent::FocusOut && leavesWithinWindow(e)) {
        if (o == txtNo)
            txtNo_LostFocus();
        else if (o == cmb顧客名)
            cmb顧客名_LostFocus();
    } else if ((o == cmb税区分 || o == cmb税率方式 || o == cmb端数処理) && e->type() == QEvent::KeyPress) {
        // Only picks from the list: no typing, no Delete; Tab still moves on.
        auto* k = static_cast<QKeyEvent*>(e);
        const bool moves = k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab;
        if (!moves && (k->key() == Qt::Key_Delete || !k->text().isEmpty()))
            return true;
    } else if (e->type() == QEvent::MouseButtonRelease) {
        if (o == Pic罫線色)
            Pic罫線色_Click();
        else if (o == Image2)
            Image2_Click();
    }
    return QWidget::eventFilter(o, e);
}

void FrmVornisa::notifyFailure(const QString& what, const DbError& e) {
    MsgConfirm(QStringLiteral("その他"), QStringLiteral("注意"), what + QStringLiteral("\n") + e.text);
}

void FrmVornisa::cmd閉じる_Click() {
    close(); // the hint window goes with the main window, once closing is agreed
}

void FrmVornisa::closeEvent(QCloseEvent* e) {
    if (!closed_ && unsaved_ &&
        !MsgConfirm(QStringLiteral("その他"), QStringLiteral("確認"),
                    QStringLiteral("登録されていない伝票があります。終了します"))) {
        e->ignore();
        return;
    }
    if (hintWindow)
        hintWindow->close();
    // Form_Unload: the main, then the work database.
    closed_ = true;
    dbMain.reset();
    dbWork.reset();
    dataLock.reset();
    for (BoundTable* t : {dat明細, dat顧客, dat商品, dat商品参照})
        t->setDatabase(nullptr);
    e->accept();
}

void FrmVornisa::showGuide() {
    const QString page = sharedPath(ProgramFolder, GuidePage);
    if (!QFileInfo::exists(page) || !QDesktopServices::openUrl(QUrl::fromLocalFile(page)))
        MsgConfirm(QStringLiteral("ガイド"), QStringLiteral("なし"), QDir::toNativeSeparators(page));
}

void FrmVornisa::cmdHint_Click() {
    if (hintWindow) {
        hintWindow->raise();
        hintWindow->activateWindow();
        return;
    }
    hintWindow = new Hint(*dbWork, objectName(), cmdHint->objectName(), windowTitle(), this);
    hintWindow->show();
}
