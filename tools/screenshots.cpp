// Takes the user guide's pictures of the real window over a made-up company's books, on Qt's
// offscreen platform: `make screenshots` writes them into docs/guide/images/.
// Usage: vornisa_screenshots <out-folder>
#include "app/frm_vornisa.h"
#include "masters/settings.h"
#include "messages/msg.h"
#include "store/delivered.h"
#include "store/tables.h"

#include <QApplication>
#include <QDir>
#include <QPrintPreviewDialog>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <cstdio>

namespace {

struct Line {
    const char *name, *qty, *unit, *price;
};

void typeInvoice(FrmVornisa& w, const QString& customer, const QString& details, std::initializer_list<Line> lines) {
    w.tab->setCurrentIndex(0);
    w.cmb顧客名->setEditText(customer);
    w.txt顧客情報->setPlainText(details);
    int row = 0;
    for (const Line& l : lines) {
        // Through the model, as a cell editor commits, so that the column rules run.
        const struct {
            const char* field;
            const char* text;
        } cells[] = {{"品名", l.name}, {"数量", l.qty}, {"単位", l.unit}, {"単価", l.price}};
        for (const auto& c : cells) {
            const int col = w.dat明細->fieldIndex(QString::fromUtf8(c.field));
            w.Grid明細->setCurrentIndex(w.dat明細->index(row, col));
            w.dat明細->setData(w.dat明細->index(row, col), QString::fromUtf8(c.text), Qt::EditRole);
        }
        ++row;
    }
}

bool save(QWidget* widget, const QString& folder, const char* name) {
    QApplication::processEvents();
    const QString path = QDir(folder).filePath(QString::fromLatin1(name) + QStringLiteral(".png"));
    const bool ok = widget->grab().save(path);
    std::printf("%s %s\n", ok ? "wrote" : "could not write", qPrintable(path));
    return ok;
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
        Entry設定(*main, {QStringLiteral("有限会社 ヴォルニサ文具"),
                          QStringLiteral("〒100-0001 東京都千代田区千代田1-1\nTEL 03-0000-0000"),
                          QStringLiteral("外税"), 0x808080});
    }
    msg::setAnswerer(
        [](const msg::Shown& s) { return s.buttons.testFlag(QMessageBox::Yes) ? QMessageBox::Yes : s.defaultButton; });

    FrmVornisa w;
    w.Form_Load(QStringLiteral("/nonexistent"), DataFolderRule{marker.fileName(), data.path()});
    w.resize(1000, 760);
    w.show();
    // One invoice registered first, so that the masters hold its customer and products.
    typeInvoice(w, QStringLiteral("株式会社 鈴木工業"), QStringLiteral("〒530-0001 大阪府大阪市北区梅田1-1"),
                {{"クリアファイル A4", "50", "枚", "30"}, {"油性ボールペン 黒", "24", "本", "110"}});
    w.cmd登録_Click();
    typeInvoice(w, QStringLiteral("山田商店"), QStringLiteral("〒100-0005 東京都千代田区丸の内2-2\nTEL 03-1111-2222"),
                {{"コピー用紙 A4", "5", "箱", "2800"},
                 {"油性ボールペン 黒", "20", "本", "110"},
                 {"クリアファイル A4", "100", "枚", "30"},
                 {"ホチキス針", "10", "箱", "150"}});
    w.dt日付->setDate(QDate(2025, 4, 1)); // pictures that change only when the window does
    // Where a user's books are kept, rather than this tool's scratch folder.
    w.lblデータフォルダ->setText(QStringLiteral("/home/user/.local/share/vornisa/data/"));
    bool ok = save(&w, out, "invoice");
    w.cmd印刷_Click();
    QApplication::processEvents();
    auto* preview = w.findChild<QPrintPreviewDialog*>();
    if (preview) {
        preview->resize(900, 1000);
        ok = save(preview, out, "preview") && ok;
        preview->close();
    }
    w.cmd登録_Click();
    w.tab->setCurrentIndex(1);
    w.Read顧客マスタ();
    ok = save(&w, out, "customers") && ok;
    w.tab->setCurrentIndex(2);
    w.Read商品マスタ();
    ok = save(&w, out, "products") && ok;
    w.tab->setCurrentIndex(3);
    w.Read設定();
    ok = save(&w, out, "settings") && ok;
    return ok && preview ? 0 : 1;
}
