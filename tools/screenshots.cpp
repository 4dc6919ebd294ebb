// Takes the user guide's pictures of the real window over a made-up company's books, on Qt's
// offscreen platform: `make screenshots` writes them into docs/guide/images/.
// Usage: vornisa_screenshots <out-folder>
#include "app/book_page/book_model.h"
#include "app/book_page/book_page.h"
#include "app/book_page/history_window.h"
#include "app/frm_vornisa.h"
#include "app/invoice_page/invoice_page.h"
#include "app/master_pages/customer_page.h"
#include "app/master_pages/product_page.h"
#include "app/restore_dialog.h"
#include "app/settings_page/settings_page.h"
#include "masters/images.h"
#include "masters/settings.h"
#include "messages/msg.h"
#include "store/delivered.h"
#include "store/tables.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QGraphicsView>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <cstdio>

namespace {

struct Line {
    const char *name, *qty, *unit, *price;
};

// Types into the cells of a grid row through the model, as a cell editor commits, so that the
// column rules run.
void typeRow(DataGrid* grid, BoundTable* table, int row,
             std::initializer_list<std::pair<const char*, const char*>> cells) {
    for (const auto& [field, text] : cells) {
        const int col = table->fieldIndex(QString::fromUtf8(field));
        grid->setCurrentIndex(table->index(row, col));
        table->setData(table->index(row, col), QString::fromUtf8(text), Qt::EditRole);
    }
}

void typeInvoice(FrmVornisa& w, QDate date, const QString& customer, const QString& details,
                 std::initializer_list<Line> lines) {
    w.tab->setCurrentIndex(0);
    w.invoice->dt日付->setDate(date); // pictures that change only when the window does
    w.invoice->cmb顧客名->setEditText(customer);
    w.invoice->txt顧客情報->setPlainText(details);
    int row = 0;
    for (const Line& l : lines)
        typeRow(w.invoice->Grid明細, w.invoice->dat明細, row++,
                {{"品名", l.name}, {"数量", l.qty}, {"単位", l.unit}, {"単価", l.price}});
}

// Loads a registered invoice, puts another quantity on one of its lines and registers it again.
void correctInvoice(FrmVornisa& w, qint32 number, int row, const char* qty) {
    w.Open伝票(number);
    typeRow(w.invoice->Grid明細, w.invoice->dat明細, row, {{"数量", qty}});
    w.invoice->cmd登録_Click();
}

bool save(QWidget* widget, const QString& folder, const char* name) {
    QApplication::processEvents();
    const QString path = QDir(folder).filePath(QString::fromLatin1(name) + QStringLiteral(".png"));
    const bool ok = widget->grab().save(path);
    std::printf("%s %s\n", ok ? "wrote" : "could not write", qPrintable(path));
    return ok;
}

// The print preview of the invoice on screen; the whole page small, or at its own size.
bool savePreview(FrmVornisa& w, const QString& folder, const char* name, bool wholePage = false) {
    w.invoice->cmd印刷_Click();
    QApplication::processEvents();
    auto* preview = w.findChild<QPrintPreviewDialog*>();
    if (!preview)
        return false;
    preview->resize(900, wholePage ? 1000 : 1240);
    if (wholePage)
        if (auto* fit = preview->findChild<QAction*>(QStringLiteral("fitPageAction")))
            fit->trigger();
    QApplication::processEvents();
    if (auto* view = preview->findChild<QGraphicsView*>())
        view->verticalScrollBar()->setValue(0); // from the top of the page
    const bool ok = save(preview, folder, name);
    preview->close();
    delete preview; // now, so that the next preview is the only one
    return ok;
}

// A made-up square seal and logo, drawn here so that the pictures need no image files.
QString drawImage(const QString& folder, const char* name, QSize size, int textPixels, const QString& text,
                  const QColor& colour) {
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(colour, size.height() / 16));
    QFont font(QStringLiteral("IPAexMincho"));
    font.setPixelSize(textPixels);
    p.setFont(font);
    if (size.width() == size.height())
        p.drawRect(image.rect().adjusted(20, 20, -20, -20));
    p.drawText(image.rect(), Qt::AlignCenter | Qt::TextWordWrap, text);
    p.end();
    const QString path = QDir(folder).filePath(QString::fromLatin1(name));
    image.save(path);
    return path;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (app.arguments().size() != 2) {
        std::fprintf(stderr, "usage: vornisa_screenshots out-folder\n");
        return 2;
    }
    const QString out = app.arguments()[1];
    QTemporaryDir data;
    QTemporaryFile marker;
    const DeliveredFiles files =
        makeDeliveredFiles(QStringLiteral(VORNISA_MAIN_SCHEMA), QStringLiteral(VORNISA_WORK_SCHEMA), data.path());
    if (!files.ok() || !marker.open() || !QDir().mkpath(out)) {
        std::fprintf(stderr, "cannot prepare: %s\n", qPrintable(files.error));
        return 1;
    }
    {
        auto main = Database::open(data.filePath(MainDbName), mainTables, Durability::Full);
        CompanySettings company{QStringLiteral("有限会社 ヴォルニサ文具"),
                                QStringLiteral("〒100-0001 東京都千代田区千代田1-1\nTEL 03-0000-0000"),
                                QStringLiteral("外税"), 0x808080};
        company.振込先 = QStringLiteral("○○銀行 本店 普通 1234567\nカ）ヴォルニサブング");
        company.支払期限既定 = QStringLiteral("月末締め翌月末");
        Entry設定(*main, company);
        Import画像(
            *main, CompanyImage::印影,
            drawImage(data.path(), "seal.png", {400, 400}, 100, QStringLiteral("ヴォル\nニサ印"), QColor(200, 20, 20)));
        Import画像(
            *main, CompanyImage::ロゴ,
            drawImage(data.path(), "logo.png", {800, 300}, 105, QStringLiteral("ヴォルニサ文具"), QColor(29, 78, 137)));
    }
    msg::setAnswerer(
        [](const msg::Shown& s) { return s.buttons.testFlag(QMessageBox::Yes) ? QMessageBox::Yes : s.defaultButton; });

    FrmVornisa w;
    w.Form_Load(QStringLiteral("/nonexistent"), DataFolderRule{marker.fileName(), data.path()});
    w.resize(1000, 760);
    w.show();
    // One invoice registered first, so that the masters hold its customer and products.
    typeInvoice(w, QDate(2025, 4, 1), QStringLiteral("株式会社 鈴木工業"),
                QStringLiteral("〒530-0001 大阪府大阪市北区梅田1-1"),
                {{"クリアファイル A4", "50", "枚", "30"}, {"油性ボールペン 黒", "24", "本", "110"}});
    w.invoice->cmd登録_Click();
    typeInvoice(w, QDate(2025, 4, 1), QStringLiteral("山田商店"),
                QStringLiteral("〒100-0005 東京都千代田区丸の内2-2\nTEL 03-1111-2222"),
                {{"コピー用紙 A4", "5", "箱", "2800"},
                 {"油性ボールペン 黒", "20", "本", "110"},
                 {"クリアファイル A4", "100", "枚", "30"},
                 {"ホチキス針", "10", "箱", "150"}});
    w.invoice->txt件名->setText(QStringLiteral("3月分 事務用品"));
    w.invoice->txt備考->setPlainText(QStringLiteral("納品書 No.0325 の分です。\nお振込手数料はご負担ください。"));
    // Where a user's books are kept, rather than this tool's scratch folder.
    const QString userData = QStringLiteral("/home/user/.local/share/vornisa/data/");
    w.settings->lblデータフォルダ->setText(userData);
    bool ok = save(&w, out, "invoice");
    ok = savePreview(w, out, "preview") && ok;
    w.invoice->cmd登録_Click();
    w.tab->setCurrentIndex(1);
    w.customers->Read顧客マスタ();
    // A company is addressed 御中.
    for (int r = 0; r < w.customers->dat顧客->recordCount(); ++r)
        if (w.customers->dat顧客->value(r, 1).toText().startsWith(QStringLiteral("株式会社")))
            typeRow(w.customers->Grid顧客マスタ, w.customers->dat顧客, r, {{"敬称", "御中"}});
    w.customers->Entry顧客情報();
    ok = save(&w, out, "customers") && ok;

    // From here on the company issues qualified invoices.
    w.tab->setCurrentIndex(3);
    w.settings->cmb税率方式->setCurrentText(QStringLiteral("10%・8%"));
    w.settings->cmb端数処理->setCurrentText(QStringLiteral("四捨五入"));
    w.settings->txt登録番号->setText(QStringLiteral("T7000012050002"));
    w.settings->cmd設定登録_Click();
    w.settings->lblデータフォルダ->setText(userData);
    ok = save(&w, out, "settings") && ok;

    // Food and drink at the reduced rate, typed into the product page's new row.
    w.tab->setCurrentIndex(2);
    w.products->Read商品マスタ();
    for (const auto& [name, unit, price] :
         {std::tuple{"緑茶 500ml", "本", "150"}, std::tuple{"クッキー詰め合わせ", "箱", "1080"}})
        typeRow(w.products->Grid商品マスタ, w.products->dat商品, w.products->dat商品->rowCount() - 1,
                {{"品名", name}, {"単位", unit}, {"単価", price}, {"税率", "8"}});
    w.products->Entry商品情報();
    w.products->Read商品マスタ();
    ok = save(&w, out, "products") && ok;

    w.invoice->Clear請求書(true); // a new invoice takes the scheme now in force
    typeInvoice(w, QDate(2025, 4, 10), QStringLiteral("山田商店"),
                QStringLiteral("〒100-0005 東京都千代田区丸の内2-2\nTEL 03-1111-2222"),
                {{"コピー用紙 A4", "5", "箱", "2800"},
                 {"緑茶 500ml", "24", "本", "150"},
                 {"クッキー詰め合わせ", "3", "箱", "1080"},
                 {"油性ボールペン 黒", "20", "本", "110"}});
    ok = save(&w, out, "invoice-qualified") && ok;
    ok = savePreview(w, out, "preview-qualified", true) && ok;
    w.invoice->cmd登録_Click();
    typeInvoice(w, QDate(2025, 4, 15), QStringLiteral("有限会社 佐藤デザイン"),
                QStringLiteral("〒150-0001 東京都渋谷区神宮前3-3"), {{"クリアファイル A4", "200", "枚", "30"}});
    w.invoice->cmd登録_Click();
    typeInvoice(w, QDate(2025, 4, 20), QStringLiteral("株式会社 鈴木工業"),
                QStringLiteral("〒530-0001 大阪府大阪市北区梅田1-1"),
                {{"緑茶 500ml", "48", "本", "150"}, {"コピー用紙 A4", "2", "箱", "2800"}});
    w.invoice->cmd登録_Click();
    // Invoice 3 corrected twice, invoice 4 deleted; their history at made-up times.
    correctInvoice(w, 3, 1, "30");
    correctInvoice(w, 3, 2, "5");
    w.Open伝票(4);
    w.invoice->cmd削除_Click();
    w.books.dbMain->executeRaw(QStringLiteral(
        "UPDATE 請求書ヘッダ履歴 SET 変更日時 = CASE 伝票番号 * 10 + 版 WHEN 31 THEN '2025/04/11 09:12:40' "
        "WHEN 32 THEN '2025/04/14 16:05:12' ELSE '2025/04/16 10:30:00' END"));

    w.tab->setCurrentIndex(4);
    w.book->chk検索開始->setChecked(true);
    w.book->dt検索開始->setDate(QDate(2025, 4, 1));
    w.book->chk検索終了->setChecked(true);
    w.book->dt検索終了->setDate(QDate(2025, 4, 30));
    w.book->chk削除済み->setChecked(true);
    w.book->Search伝票一覧();
    for (int r = 0; r < w.book->dat伝票一覧->rowCount(); ++r)
        if (w.book->dat伝票一覧->rowAt(r).伝票番号 == 3)
            w.book->Grid伝票一覧->setCurrentIndex(w.book->dat伝票一覧->index(r, 0));
    ok = save(&w, out, "book") && ok;
    w.book->cmd履歴_Click();
    QApplication::processEvents();
    if (auto* history = w.findChild<Frm履歴*>()) {
        history->Grid履歴->setCurrentIndex(history->Grid履歴->model()->index(1, 0));
        ok = save(history, out, "history") && ok;
        history->close();
    } else {
        ok = false;
    }

    // The restore list over a few made-up backups of the user's folder.
    QList<BackupInfo> backups;
    const struct {
        const char *name, *reason;
        int invoices, highest;
    } made[] = {{"20250421-090312", "その日の最初の起動", 4, 5},
                {"20250418-174501", "手動", 5, 5},
                {"20250418-083955", "その日の最初の起動", 5, 5},
                {"20250417-084210", "その日の最初の起動", 4, 4},
                {"20250416-083544", "その日の最初の起動", 4, 4}};
    for (const auto& m : made) {
        BackupInfo b;
        b.name = QString::fromLatin1(m.name);
        b.folder = userData + QStringLiteral("backup/") + b.name;
        b.made = QDateTime::fromString(b.name, QStringLiteral("yyyyMMdd-HHmmss"));
        b.reason = QString::fromUtf8(m.reason);
        b.invoices = m.invoices;
        b.highestNumber = m.highest;
        backups << b;
    }
    RestoreDialog restore(backups, &w);
    restore.Grid復元->selectRow(1);
    restore.show();
    ok = save(&restore, out, "restore") && ok;
    return ok ? 0 : 1;
}
