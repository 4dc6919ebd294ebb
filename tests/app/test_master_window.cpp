#include "hints/hint_window.h"
#include "invoice/invoice_io.h"
#include "masters/settings.h"
#include "store/statements.h"
#include "window_fixture.h"

#include <QHeaderView>

// The customer, product and settings pages, the wipe and the hint window, as a user works them.
class MasterWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void masterGridsShowTickThenName();
    void customersRegisterReplaceAndDelete();
    void productsTickInEditedRowCounts();
    void invoiceFollowsRegisteredChanges();
    void failedRegisterChangesNothingAndSays();
    void settingsSaveReloadAndColour();
    void wipeKeepsUnitsAndHints();
    void hintWindow();
    void anotherPcsChangesAreKeptAndShown();

  private:
    static int count(Database& db, const QString& sql) { return db.openRecordset(sql)->recordCount(); }
};

namespace {
// Writes into the grid's new row, which the first value makes a stored row.
void addRow(BoundTable* t, const QList<std::pair<QString, QVariant>>& values) {
    const int r = t->recordCount();
    QVERIFY(t->isNewRow(r));
    for (const auto& [field, v] : values)
        t->setData(t->index(r, t->fieldIndex(field)), v,
                   v.typeId() == QMetaType::Int ? Qt::CheckStateRole : Qt::EditRole);
}
} // namespace

// Each grid column shows the field its heading names, the narrow tick column first.
void MasterWindowTest::masterGridsShowTickThenName() {
    WindowFixture f;
    f.start();
    CustomerPage& w = *f.w->customers;
    const auto check = [](DataGrid* g, const QStringList& fields, const QStringList& headings) {
        auto* t = static_cast<BoundTable*>(g->model());
        for (int visual = 0; visual < fields.size(); ++visual) {
            const int c = g->horizontalHeader()->logicalIndex(visual);
            QCOMPARE(c, t->fieldIndex(fields[visual]));
            QCOMPARE(t->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString(), headings[visual]);
        }
    };
    const QStringList customer = {QStringLiteral("チェック"), QStringLiteral("顧客名"), QStringLiteral("顧客情報"),
                                  QStringLiteral("敬称")};
    check(w.Grid顧客マスタ, customer, customer);
    check(f.w->products->Grid商品マスタ,
          {QStringLiteral("チェック"), QStringLiteral("品名"), QStringLiteral("単位"), QStringLiteral("単価"),
           QStringLiteral("非課税")},
          {QStringLiteral("チェック"), QStringLiteral("品　　　名"), QStringLiteral("単位"), QStringLiteral("単　価"),
           QStringLiteral("非課税")});
    QVERIFY(w.Grid顧客マスタ->columnWidth(0) < w.Grid顧客マスタ->columnWidth(1));
}

void MasterWindowTest::customersRegisterReplaceAndDelete() {
    WindowFixture f;
    f.start();
    CustomerPage& w = *f.w->customers;
    addRow(w.dat顧客, {{QStringLiteral("顧客名"), QStringLiteral("O'Brien商会")},
                       {QStringLiteral("顧客情報"), QStringLiteral("大阪")}});
    addRow(w.dat顧客, {{QStringLiteral("顧客名"), QStringLiteral("山田商店")},
                       {QStringLiteral("顧客情報"), QStringLiteral("東京")}});
    addRow(w.dat顧客, {{QStringLiteral("顧客情報"), QStringLiteral("名前なし")}});
    QVERIFY(w.hasUnsavedChanges());
    w.cmd顧客登録->click();
    QVERIFY(!w.hasUnsavedChanges()); // registered: nothing left to ask for
    QCOMPARE(f.shown.last().text, QStringLiteral("顧客情報 を登録します。よろしいですか"));
    QCOMPARE(count(f.main(), sql::C2()), 2); // the nameless row is not written
    // Registering again with new details replaces them; no duplicate.
    w.dat顧客->setData(w.dat顧客->index(1, w.dat顧客->fieldIndex(QStringLiteral("顧客情報"))), QStringLiteral("横浜"),
                       Qt::EditRole);
    w.cmd顧客登録->click();
    auto yamada = f.main().openRecordset(sql::C1(QStringLiteral("山田商店")));
    QCOMPARE(yamada->recordCount(), 1);
    QCOMPARE(yamada->field(QStringLiteral("顧客情報")).toText(), QStringLiteral("横浜"));
    // Delete with no tick does nothing; ticking the apostrophe name removes it from both.
    w.cmd顧客削除->click();
    QCOMPARE(count(f.main(), sql::C2()), 2);
    w.dat顧客->setData(w.dat顧客->index(0, w.dat顧客->fieldIndex(QStringLiteral("チェック"))), Qt::Checked,
                       Qt::CheckStateRole);
    f.shown.clear();
    w.cmd顧客削除->click();
    QCOMPARE(f.shown.first().text, QStringLiteral("指定された 顧客情報 を削除します。よろしいですか"));
    QCOMPARE(count(f.main(), sql::C2()), 1);
    QCOMPARE(w.dat顧客->recordCount(), 2);
    // Clear then read shows the master sorted, no ticks.
    w.cmd顧客クリア->click();
    QCOMPARE(w.dat顧客->recordCount(), 0);
    w.cmd顧客読込->click();
    QCOMPARE(w.dat顧客->recordCount(), 1);
    QCOMPARE(w.dat顧客->value(0, w.dat顧客->fieldIndex(QStringLiteral("顧客名"))).toText(), QStringLiteral("山田商店"));
}

void MasterWindowTest::productsTickInEditedRowCounts() {
    WindowFixture f;
    f.start();
    ProductPage& w = *f.w->products;
    addRow(w.dat商品,
           {{QStringLiteral("品名"), QStringLiteral("鉛筆")}, {QStringLiteral("単価"), QStringLiteral("80")}});
    w.cmd商品登録->click();
    QCOMPARE(count(f.main(), sql::P1(QStringLiteral("鉛筆"))), 1);
    QCOMPARE(f.w->invoice->dat商品参照->rowCount(), 1); // the invoice's pick list follows at once
    w.dat商品->setData(w.dat商品->index(0, w.dat商品->fieldIndex(QStringLiteral("チェック"))), Qt::Checked,
                       Qt::CheckStateRole);
    w.cmd商品削除->click();
    QCOMPARE(count(f.main(), sql::P1(QStringLiteral("鉛筆"))), 0);
    QCOMPARE(w.dat商品->recordCount(), 0);
    QCOMPARE(f.w->invoice->dat商品参照->rowCount(), 0);
}

// What is registered on the other pages reaches the invoice page at once; what is typed there stays.
void MasterWindowTest::invoiceFollowsRegisteredChanges() {
    WindowFixture f;
    f.data.openMain()->executeRaw(QStringLiteral("INSERT INTO 自社情報 (税区分) VALUES ('外税')")); // a 5% book
    f.start();
    InvoicePage& w = *f.w->invoice;
    w.cmb顧客名->setEditText(QStringLiteral("入力中"));
    typeCell(w.Grid明細, 0, 1, QStringLiteral("切手"));
    typeCell(w.Grid明細, 0, 5, QStringLiteral("100"));
    w.dat明細->setData(w.dat明細->index(0, 6), Qt::Checked, Qt::CheckStateRole); // exempt, under "5%"
    addRow(f.w->customers->dat顧客, {{QStringLiteral("顧客名"), QStringLiteral("新顧客")}});
    f.w->customers->cmd顧客登録->click();
    addRow(f.w->products->dat商品, {{QStringLiteral("品名"), QStringLiteral("定規")}});
    f.w->products->cmd商品登録->click();
    QVERIFY(w.cmb顧客名->findText(QStringLiteral("新顧客")) >= 0);
    QVERIFY(w.DD商品参照->findText(QStringLiteral("定規")) >= 0);
    SettingsPage& s = *f.w->settings;
    s.cmb税率方式->setCurrentText(Scheme10_8);
    s.cmb税区分->setCurrentText(QStringLiteral("内税"));
    s.cmd設定登録->click();
    QVERIFY(!w.rateBoxes->isHidden());
    QCOMPARE(w.lbl対象10->text(), QStringLiteral("10%対象（税込）"));
    QCOMPARE(w.dat明細->index(0, 6).data().toString(), QStringLiteral("非課税")); // still exempt
    QCOMPARE(w.cmb顧客名->currentText(), QStringLiteral("入力中"));
}

void MasterWindowTest::failedRegisterChangesNothingAndSays() {
    WindowFixture f;
    f.start();
    CustomerPage& w = *f.w->customers;
    f.main().executeRaw(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON 顧客マスタ WHEN NEW.顧客名 = 'BAD' "
                                       "BEGIN SELECT RAISE(ABORT, 'refused'); END"));
    addRow(w.dat顧客, {{QStringLiteral("顧客名"), QStringLiteral("良い客")}});
    addRow(w.dat顧客, {{QStringLiteral("顧客名"), QStringLiteral("BAD")}});
    w.cmd顧客登録->click();
    QCOMPARE(count(f.main(), sql::C2()), 0);
    QCOMPARE(f.shown.last().title, QStringLiteral("注意"));
    QVERIFY(f.shown.last().text.contains(QStringLiteral("refused")));
}

void MasterWindowTest::settingsSaveReloadAndColour() {
    WindowFixture f;
    f.start();
    SettingsPage& w = *f.w->settings;
    w.txt自社名->setText(QStringLiteral("有限会社ヴォルニサ"));
    w.cmb税区分->setCurrentText(QStringLiteral("内税"));
    setColorDialogHook([](QWidget*, const QColor&) { return std::optional<QColor>(QColor(255, 0, 0)); });
    w.Pic罫線色_Click();
    QCOMPARE(w.num白紙罫線色->text(), QStringLiteral("255"));
    QVERIFY(f.main().openRecordset(sql::S1())->eof()); // nothing saved before 登録
    setColorDialogHook([](QWidget*, const QColor&) { return std::optional<QColor>(); });
    w.Pic罫線色_Click(); // cancelled: unchanged
    QCOMPARE(w.num白紙罫線色->text(), QStringLiteral("255"));
    setColorDialogHook({});
    w.cmd設定登録->click();
    QCOMPARE(f.w->books.cfg税区分, QStringLiteral("内税"));
    QCOMPARE(f.w->books.cfg自社名, QStringLiteral("有限会社ヴォルニサ"));
    auto rs = f.main().openRecordset(sql::S1());
    QCOMPARE(rs->field(QStringLiteral("LineColor1")).toInt(), 255);
    // A declined save still reloads, dropping the unsaved edit.
    f.answer = QMessageBox::No;
    w.txt自社名->setText(QStringLiteral("変更"));
    w.cmd設定登録->click();
    QCOMPARE(w.txt自社名->text(), QStringLiteral("有限会社ヴォルニサ"));
    QCOMPARE(f.w->invoice->lbl自社名->text(), QStringLiteral("有限会社ヴォルニサ"));
    w.cmd設定クリア->click();
    QCOMPARE(w.cmb税区分->currentText(), QStringLiteral("外税"));
    QCOMPARE(w.num白紙罫線色->text(), QStringLiteral("1"));
}

void MasterWindowTest::wipeKeepsUnitsAndHints() {
    WindowFixture f;
    f.start();
    SettingsPage& w = *f.w->settings;
    f.main().executeRaw(QStringLiteral("UPDATE コードマスタ SET sname='箱' WHERE code=1"));
    f.main().executeRaw(QStringLiteral("INSERT INTO 自社情報 (最大請求書番号) VALUES (41)"));
    f.work().executeRaw(QStringLiteral("INSERT INTO ClHint VALUES ('FrmVornisa','cmdHint','t','メモ')"));
    // A failing delete leaves everything and shows no completion notice.
    f.main().executeRaw(
        QStringLiteral("CREATE TRIGGER keep BEFORE DELETE ON 請求書ヘッダ BEGIN SELECT RAISE(ABORT, 'locked'); END"));
    f.main().executeRaw(QStringLiteral("INSERT INTO 請求書ヘッダ (伝票番号) VALUES (1)"));
    w.cmd一括削除7->click();
    QCOMPARE(f.shown.first().text, QStringLiteral("すべてのデータを初期化します。、よろしいですか"));
    QCOMPARE(f.shown.last().title, QStringLiteral("注意"));
    QCOMPARE(count(f.main(), sql::S1()), 1);
    f.main().executeRaw(QStringLiteral("DROP TRIGGER keep"));
    f.shown.clear();
    w.cmd一括削除7->click();
    QCOMPARE(f.shown.last().text, QStringLiteral("すべてのデータを初期化しました"));
    QCOMPARE(count(f.main(), sql::S1()), 0);
    QCOMPARE(count(f.main(), QStringLiteral("select * from コードマスタ where sname = '箱'")), 1);
    QCOMPARE(count(f.work(), sql::H2(QStringLiteral("FrmVornisa"), QStringLiteral("cmdHint"))), 1);
    f.w->invoice->cmdクリア->click();
    QCOMPARE(f.w->invoice->txtNo->text(), QStringLiteral("1"));
}

void MasterWindowTest::hintWindow() {
    WindowFixture f;
    f.start();
    InvoicePage& w = *f.w->invoice;
    w.cmdHint->click();
    QVERIFY(f.w->hintWindow);
    Hint* h = f.w->hintWindow;
    QCOMPARE(h->windowTitle(), QStringLiteral("ヒント"));
    QCOMPARE(h->lblFormName->text(), QStringLiteral("FrmVornisa"));
    QCOMPARE(h->lblCtlName->text(), QStringLiteral("cmdHint"));
    QVERIFY(h->txtContents->isReadOnly());
    h->cmd編集->click();
    QVERIFY(!h->txtContents->isReadOnly());
    QVERIFY(h->cmd編集->styleSheet().contains(QColor(255, 128, 128).name()));
    h->txtContents->setPlainText(QStringLiteral("一回目"));
    h->cmd登録->click();
    h->txtContents->setPlainText(QStringLiteral("二回目"));
    h->cmd登録->click();
    QCOMPARE(f.shown.last().text, QStringLiteral("ヒント を登録しました。"));
    auto rows = f.work().openRecordset(sql::H2(QStringLiteral("FrmVornisa"), QStringLiteral("cmdHint")));
    QCOMPARE(rows->recordCount(), 1);
    QCOMPARE(rows->field(QStringLiteral("Contents")).toText(), QStringLiteral("二回目"));
    h->cmd編集->click();
    QVERIFY(h->txtContents->isReadOnly());
    // A second press only brings the same window forward.
    w.cmdHint->click();
    QCOMPARE(f.w->hintWindow.data(), h);
    h->cmd削除->click();
    QVERIFY(h->txtContents->toPlainText().isEmpty());
    QCOMPARE(count(f.work(), sql::H2(QStringLiteral("FrmVornisa"), QStringLiteral("cmdHint"))), 0);
    // Closing the main window closes the hint window too.
    f.w->close();
    QTRY_VERIFY(!f.w->hintWindow);
}


// Another PC on the same book: its change is never overwritten by this page's older copy, the
// user is told and offered the master as it is now; on a server book the page shows what the
// other PC registered whenever it is shown.
void MasterWindowTest::anotherPcsChangesAreKeptAndShown() {
    WindowFixture f;
    f.start();
    CustomerPage& w = *f.w->customers;
    f.w->tab->setCurrentWidget(&w);
    const auto other = f.data.openMain();
    AutoEntry顧客マスタ(*other, QStringLiteral("山田商店"), QStringLiteral("東京"));
    w.cmd顧客読込->click();
    const int details = w.dat顧客->fieldIndex(QStringLiteral("顧客情報"));
    const int postCode = w.dat顧客->fieldIndex(QStringLiteral("郵便番号")); // Enter ends it, as the details it does not
    AutoEntry顧客マスタ(*other, QStringLiteral("山田商店"), QStringLiteral("横浜"));
    typeCell(w.Grid顧客マスタ, 0, postCode, QStringLiteral("231-0001"));
    f.shown.clear();
    w.cmd顧客登録->click(); // yes to registering, then yes to reading again
    QCOMPARE(f.shown.size(), 2);
    QCOMPARE(f.shown[1].text, QStringLiteral("顧客情報は登録されませんでした。\n顧客「山田商店」は他のPCで変更されました。\n"
                                             "読み込み直して、今の内容を表示しますか？（この画面で登録していない入力は消えます）"));
    QCOMPARE(f.main().openRecordset(sql::C1(QStringLiteral("山田商店")))->field(QStringLiteral("顧客情報")).toText(),
             QStringLiteral("横浜"));
    QCOMPARE(w.dat顧客->value(0, details).toText(), QStringLiteral("横浜"));
    QVERIFY(w.dat顧客->value(0, postCode).isNull());
    QVERIFY(!w.hasUnsavedChanges());

    AutoEntry顧客マスタ(*other, QStringLiteral("鈴木工業"), QStringLiteral("大阪"));
    f.w->tab->setCurrentWidget(f.w->products);
    f.w->tab->setCurrentWidget(&w);
    if (!f.data.server)
        QSKIP("a book on this PC's own file is read again only by 読込");
    QCOMPARE(w.dat顧客->recordCount(), 2);
    QCOMPARE(w.dat顧客->value(1, details).toText(), QStringLiteral("大阪"));
    // Work of its own on the page is never replaced.
    typeCell(w.Grid顧客マスタ, 0, postCode, QStringLiteral("231-0001"));
    AutoEntry顧客マスタ(*other, QStringLiteral("佐藤屋"), QStringLiteral("札幌"));
    f.w->tab->setCurrentWidget(f.w->products);
    f.w->tab->setCurrentWidget(&w);
    QCOMPARE(w.dat顧客->recordCount(), 2);
    QCOMPARE(w.dat顧客->value(0, postCode).toText(), QStringLiteral("231-0001"));
}

QTEST_MAIN(MasterWindowTest)
#include "test_master_window.moc"
