// The settings page: its controls, captions and tooltips, and what its controls are wired to.
#include "app/settings_page/settings_page.h"

#include "app/line_limited_edit.h"
#include "app/page_parts.h"
#include "app/version.h"
#include "invoice/invoice_io.h"
#include "masters/settings.h"
#include "ui/number_box.h"

#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPainter>
#include <QVBoxLayout>

namespace {

QPixmap banner() {
    QPixmap p(260, 56);
    p.fill(QColor(0, 0, 128));
    QPainter g(&p);
    g.setPen(Qt::white);
    QFont f = g.font();
    f.setPointSize(18);
    f.setBold(true);
    g.setFont(f);
    g.drawText(p.rect(), Qt::AlignCenter, QStringLiteral("Vornisa"));
    return p;
}

} // namespace

SettingsPage::SettingsPage(Books& books) : books_(books) {
    build();
}

void SettingsPage::build() {
    auto* l = new QVBoxLayout(this);
    auto* body = frame();
    l->addWidget(body);
    auto* g = new QGridLayout(body);
    txt自社名 = named(new QLineEdit, QStringLiteral("txt自社名"));
    txt自社情報 = named(new QPlainTextEdit, QStringLiteral("txt自社情報"));
    txt自社情報->setMaximumHeight(90);
    ctrlEnterMovesOn(txt自社情報);
    cmb税区分 = named(new QComboBox, QStringLiteral("cmb税区分"));
    Pic罫線色 = named(new QLabel, QStringLiteral("Pic罫線色"));
    Pic罫線色->setFixedSize(48, 24);
    Pic罫線色->setFrameShape(QFrame::Box);
    Pic罫線色->setCursor(Qt::PointingHandCursor);
    Pic罫線色->setAutoFillBackground(true);
    cmb税率方式 = named(new QComboBox, QStringLiteral("cmb税率方式"));
    cmb端数処理 = named(new QComboBox, QStringLiteral("cmb端数処理"));
    txt登録番号 = named(new QLineEdit, QStringLiteral("txt登録番号"));
    txt登録番号->setMaxLength(40);
    txt登録番号->setMinimumWidth(220);
    num白紙罫線色 = named(new NumberBox(NumberBox::Format::Plain), QStringLiteral("num白紙罫線色"));
    num白紙罫線色->setMaximumWidth(120);
    g->addWidget(caption(QStringLiteral("自社名")), 0, 0);
    g->addWidget(txt自社名, 0, 1);
    g->addWidget(caption(QStringLiteral("自社情報")), 1, 0, Qt::AlignTop);
    g->addWidget(txt自社情報, 1, 1);
    g->addWidget(caption(QStringLiteral("税区分")), 2, 0);
    g->addWidget(cmb税区分, 2, 1, Qt::AlignLeft);
    g->addWidget(caption(QStringLiteral("消費税率")), 3, 0);
    g->addWidget(cmb税率方式, 3, 1, Qt::AlignLeft);
    g->addWidget(caption(QStringLiteral("消費税の端数処理")), 4, 0);
    g->addWidget(cmb端数処理, 4, 1, Qt::AlignLeft);
    g->addWidget(caption(QStringLiteral("登録番号")), 5, 0);
    g->addWidget(txt登録番号, 5, 1, Qt::AlignLeft);
    constexpr int colourRow = 6;
    g->addWidget(caption(QStringLiteral("白紙用紙の罫線の色")), colourRow, 0);
    auto* colour = new QHBoxLayout;
    colour->addWidget(Pic罫線色);
    colour->addWidget(num白紙罫線色);
    colour->addStretch();
    g->addLayout(colour, colourRow, 1);
    // What invoices take from the settings, beside the company.
    g->addWidget(buildInvoiceBox(), 0, 2, colourRow + 1, 2, Qt::AlignTop);
    g->addWidget(caption(QStringLiteral("データの保存場所")), colourRow + 1, 0);
    lblデータフォルダ = named(new QLabel, QStringLiteral("lblデータフォルダ"));
    lblデータフォルダ->setTextInteractionFlags(Qt::TextSelectableByMouse); // so the path can be copied
    auto* place = new QVBoxLayout;
    place->addWidget(lblデータフォルダ);
    place->addWidget(buildBookPlace());
    g->addLayout(place, colourRow + 1, 1, 1, 3);
    cmd設定登録 = button(QStringLiteral("cmd設定登録"), QStringLiteral("登録"),
                         QStringLiteral("設定情報を登録します。請求書画面のデータは登録されません。"));
    cmd設定クリア = button(QStringLiteral("cmd設定クリア"), QStringLiteral("クリア"),
                           QStringLiteral("設定画面の情報を消去します。登録済みデータは消去されません。"));
    cmd設定削除 = button(QStringLiteral("cmd設定削除"), QStringLiteral("削除"),
                         QStringLiteral("設定情報を削除し初期値に戻します。"));
    cmd設定読込 = button(QStringLiteral("cmd設定読込"), QStringLiteral("読込"), QStringLiteral("設定を読込みます"));
    g->addWidget(buttonFrame({cmd設定登録, cmd設定クリア, cmd設定削除, cmd設定読込}), colourRow + 2, 0, 1, 4);

    auto* wipe = frame();
    auto* w = new QHBoxLayout(wipe);
    w->addWidget(
        named(new QLabel(QStringLiteral("すべてのデータを削除し初期状態に戻す")), QStringLiteral("lbl一括削除")));
    cmd一括削除7 = button(QStringLiteral("cmd一括削除7"), QStringLiteral("実行"));
    w->addWidget(cmd一括削除7);
    w->addStretch();
    g->addWidget(wipe, colourRow + 3, 0, 1, 4);

    auto* keep = frame();
    auto* k = new QHBoxLayout(keep);
    k->addWidget(named(new QLabel(QStringLiteral("データのバックアップと復元")), QStringLiteral("lblバックアップ")));
    cmdバックアップ = button(QStringLiteral("cmdバックアップ"), QStringLiteral("バックアップ"),
                             QStringLiteral("今のデータをバックアップします。USBメモリなどにもコピーできます。"));
    cmd復元 = button(QStringLiteral("cmd復元"), QStringLiteral("復元"),
                     QStringLiteral("バックアップを選んで、データをその時の状態に戻します。"));
    k->addWidget(cmdバックアップ);
    k->addWidget(cmd復元);
    k->addStretch();
    g->addWidget(keep, colourRow + 4, 0, 1, 4);

    Image2 = named(new QLabel, QStringLiteral("Image2"));
    Image2->setPixmap(banner());
    Image2->setCursor(Qt::PointingHandCursor);
    lblInfo = named(new QLabel, QStringLiteral("lblInfo"));
    Image2->setToolTip(QStringLiteral("使い方ガイドを開きます"));
    g->addWidget(Image2, colourRow + 5, 0, 1, 2, Qt::AlignLeft | Qt::AlignBottom);
    g->addWidget(lblInfo, colourRow + 5, 2, 1, 2, Qt::AlignRight | Qt::AlignBottom);
    g->addWidget(buildPeppolJournal(), 0, 4, colourRow + 5, 1);
    g->setRowStretch(colourRow + 5, 1);
    g->setColumnStretch(1, 1);
    g->setColumnStretch(3, 1);
}

QWidget* SettingsPage::buildInvoiceBox() {
    auto* box = named(new QGroupBox(QStringLiteral("請求書に載せる内容")), QStringLiteral("grp請求書"));
    auto* g = new QGridLayout(box);
    txt振込先 = named(new LineLimitedEdit(NoteMaxLines), QStringLiteral("txt振込先"));
    txt振込先->setToolTip(
        QStringLiteral("お振込先の口座（%1行まで）。登録する請求書はその時の振込先を控えます。").arg(NoteMaxLines));
    ctrlEnterMovesOn(txt振込先);
    txt振込先->setFixedHeight(txt振込先->fontMetrics().lineSpacing() * NoteMaxLines + 12);
    cmb支払期限既定 = named(new QComboBox, QStringLiteral("cmb支払期限既定"));
    cmb支払期限既定->setToolTip(QStringLiteral("新しい請求書の支払期限"));
    cmb日付表記 = named(new QComboBox, QStringLiteral("cmb日付表記"));
    cmb日付表記->setToolTip(QStringLiteral("印刷する日付の書き方"));
    g->addWidget(caption(QStringLiteral("振込先")), 0, 0, Qt::AlignTop);
    g->addWidget(txt振込先, 0, 1, 1, 3);
    g->addWidget(caption(QStringLiteral("支払期限の既定")), 1, 0);
    g->addWidget(cmb支払期限既定, 1, 1, 1, 3, Qt::AlignLeft);
    g->addWidget(caption(QStringLiteral("日付の表記")), 2, 0);
    g->addWidget(cmb日付表記, 2, 1, 1, 3, Qt::AlignLeft);
    chk締め明細印刷 = named(new QCheckBox(QStringLiteral("請求締めで納品書の明細行を印刷する")),
                           QStringLiteral("chk締め明細印刷"));
    chk締め明細印刷->setToolTip(QStringLiteral("合計請求書に、納品書ごとの行の下へその品名・数量・単価・金額を載せます"));
    g->addWidget(chk締め明細印刷, 5, 1, 1, 3);
    // The seal and the logo: a preview, then choose and remove.
    const auto imageRow = [&](int row, const QString& name, QLabel*& pic, QPushButton*& choose, QPushButton*& remove,
                              const QSize& size) {
        pic = named(new QLabel, QStringLiteral("Pic") + name);
        pic->setFixedSize(size);
        pic->setFrameShape(QFrame::Box);
        pic->setAlignment(Qt::AlignCenter);
        choose = button(QStringLiteral("cmd") + name, QStringLiteral("画像を選ぶ"),
                        name + QStringLiteral("の画像（PNG または JPEG）を選んで登録します。"));
        remove = button(QStringLiteral("cmd") + name + QStringLiteral("削除"), QStringLiteral("削除"),
                        name + QStringLiteral("の画像を削除します。"));
        g->addWidget(caption(name), row, 0);
        g->addWidget(pic, row, 1);
        g->addWidget(choose, row, 2, Qt::AlignBottom);
        g->addWidget(remove, row, 3, Qt::AlignLeft | Qt::AlignBottom);
    };
    imageRow(3, QStringLiteral("印影"), Pic印影, cmd印影, cmd印影削除, {64, 64});
    imageRow(4, QStringLiteral("ロゴ"), Picロゴ, cmdロゴ, cmdロゴ削除, {170, 64});
    g->setColumnStretch(3, 1);
    return box;
}

void SettingsPage::FormInit() {
    lblInfo->setText(AppTitle + AppVersion + QStringLiteral(" LastUpdate") + AppLastUpdate);
    lblデータフォルダ->setText(QDir::toNativeSeparators(books_.DataPath));
    showBookPlace();
    cmb税区分->clear();
    cmb税区分->addItems({QStringLiteral("内税"), QStringLiteral("外税"), QStringLiteral("非課税")});
    cmb税区分->setCurrentText(QStringLiteral("外税"));
    connect(cmd設定登録, &QPushButton::clicked, this, &SettingsPage::cmd設定登録_Click);
    connect(cmd設定クリア, &QPushButton::clicked, this, &SettingsPage::Clear設定);
    connect(cmd設定読込, &QPushButton::clicked, this, &SettingsPage::Read設定);
    // cmd設定削除 has no action.
    connect(cmd一括削除7, &QPushButton::clicked, this, &SettingsPage::Data初期化);
    connect(cmdバックアップ, &QPushButton::clicked, this, &SettingsPage::cmdバックアップ_Click);
    connect(cmd復元, &QPushButton::clicked, this, &SettingsPage::restoreRequested);
    // The lists take key presses; the swatch and the banner take clicks.
    for (QObject* o :
         {static_cast<QObject*>(cmb税区分), static_cast<QObject*>(cmb税率方式), static_cast<QObject*>(cmb端数処理),
          static_cast<QObject*>(cmb支払期限既定), static_cast<QObject*>(cmb日付表記), static_cast<QObject*>(Pic罫線色),
          static_cast<QObject*>(Image2)})
        o->installEventFilter(this);
    connect(cmd印影, &QPushButton::clicked, this, [this] { Import画像(CompanyImage::印影); });
    connect(cmdロゴ, &QPushButton::clicked, this, [this] { Import画像(CompanyImage::ロゴ); });
    connect(cmd印影削除, &QPushButton::clicked, this, [this] { Delete画像(CompanyImage::印影); });
    connect(cmdロゴ削除, &QPushButton::clicked, this, [this] { Delete画像(CompanyImage::ロゴ); });
}

bool SettingsPage::eventFilter(QObject* o, QEvent* e) {
    if (!books_.dbMain) // the window is closed
        return QWidget::eventFilter(o, e);
    const bool list =
        o == cmb税区分 || o == cmb税率方式 || o == cmb端数処理 || o == cmb支払期限既定 || o == cmb日付表記;
    if (list && e->type() == QEvent::KeyPress) {
        // Only picks from the list: no typing, no Delete; Tab still moves on.
        auto* k = static_cast<QKeyEvent*>(e);
        const bool moves = k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab;
        if (!moves && (k->key() == Qt::Key_Delete || !k->text().isEmpty()))
            return true;
    } else if (e->type() == QEvent::MouseButtonRelease) {
        if (o == Pic罫線色)
            Pic罫線色_Click();
        else if (o == Image2)
            emit guideRequested();
    }
    return QWidget::eventFilter(o, e);
}

Company SettingsPage::companyShown() const {
    return {txt自社名->text(), txt自社情報->toPlainText(), cmb日付表記->currentText() == DateStyles[1], seal_, logo_,
            chk締め明細印刷->isChecked()};
}
