// The four pages of the main window: controls, captions and tooltips.
#include "app/frm_vornisa.h"
#include "app/layout.h"

#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPainter>
#include <QStringListModel>
#include <QStyle>
#include <QVBoxLayout>

namespace {

template <class W> W* named(W* w, const QString& name) {
    w->setObjectName(name);
    return w;
}

QPushButton* button(const QString& name, const QString& caption, const QString& tip = {}) {
    auto* b = named(new QPushButton(caption), name);
    b->setToolTip(tip);
    b->setMinimumWidth(88);
    b->setAutoDefault(false);
    return b;
}

// A page holds one frame; its buttons sit in a frame of their own.
QFrame* frame() {
    auto* f = new QFrame;
    f->setFrameShape(QFrame::StyledPanel);
    return f;
}

QFrame* buttonFrame(const QList<QPushButton*>& buttons) {
    auto* f = frame();
    auto* l = new QHBoxLayout(f);
    for (auto* b : buttons)
        l->addWidget(b);
    l->addStretch();
    return f;
}

QLabel* caption(const QString& text) {
    auto* l = new QLabel(text);
    l->setStyleSheet(QStringLiteral("color:#334; font-weight:bold;"));
    return l;
}

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

// A master page: the grid over its work copy and the four buttons.
QWidget* masterPage(DataGrid* grid, const QList<QPushButton*>& buttons) {
    auto* page = new QWidget;
    auto* l = new QVBoxLayout(page);
    auto* body = frame();
    l->addWidget(body);
    auto* v = new QVBoxLayout(body);
    v->addWidget(grid, 1);
    v->addWidget(buttonFrame(buttons));
    return page;
}

} // namespace

QWidget* FrmVornisa::buildInvoicePage() {
    auto* page = new QWidget;
    auto* outer = new QVBoxLayout(page);
    auto* body = frame();
    outer->addWidget(body);
    auto* g = new QGridLayout(body);

    txtNo = named(new QLineEdit, QStringLiteral("txtNo"));
    txtNo->setMaximumWidth(140);
    txtNo->setAlignment(Qt::AlignRight);
    dt日付 = named(new QDateEdit, QStringLiteral("dt日付"));
    cmb顧客名 = named(new QComboBox, QStringLiteral("cmb顧客名"));
    cmb顧客名->setEditable(true);
    cmb顧客名->setInsertPolicy(QComboBox::NoInsert);
    cmb顧客名->setModel(new QStringListModel(cmb顧客名));
    cmb顧客名->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cmb顧客名->setMinimumContentsLength(24);
    txt顧客情報 = named(new QPlainTextEdit, QStringLiteral("txt顧客情報"));
    txt顧客情報->setToolTip(QStringLiteral("郵便番号、住所、電話番号などを記入"));
    txt顧客情報->setMaximumHeight(64);
    txt顧客情報->setTabChangesFocus(true);
    lbl自社名 = named(new QLabel, QStringLiteral("lbl自社名"));
    lbl自社名->setStyleSheet(QStringLiteral("font-size:14pt;"));
    lbl自社情報 = named(new QLabel, QStringLiteral("lbl自社情報"));
    lbl自社情報->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    // The number on the left; the date box starts at its fixed distance from the frame's edge.
    auto* numberAndDate = new QHBoxLayout;
    numberAndDate->setSpacing(0);
    auto* lead = new QWidget;
    auto* leadRow = new QHBoxLayout(lead);
    leadRow->setContentsMargins(0, 0, 6, 0);
    leadRow->addWidget(caption(QStringLiteral("伝票番号")));
    leadRow->addWidget(txtNo);
    leadRow->addStretch();
    leadRow->addWidget(caption(QStringLiteral("日付")));
    lead->setFixedWidth(twipsToPixels(layout::dateLeftTwips, this) - g->contentsMargins().left() - body->frameWidth());
    numberAndDate->addWidget(lead);
    numberAndDate->addWidget(dt日付);
    numberAndDate->addStretch();
    g->addLayout(numberAndDate, 0, 0, 1, 2);

    auto* head = new QGridLayout;
    head->addWidget(caption(QStringLiteral("顧客名")), 1, 0);
    auto* customer = new QHBoxLayout;
    customer->addWidget(cmb顧客名, 1);
    customer->addWidget(named(new QLabel(QStringLiteral("様")), QStringLiteral("lbl様")));
    head->addLayout(customer, 1, 1, 1, 3);
    head->addWidget(caption(QStringLiteral("顧客情報")), 2, 0, Qt::AlignTop);
    head->addWidget(txt顧客情報, 2, 1, 1, 3);
    head->setColumnStretch(3, 1);
    auto* company = new QVBoxLayout;
    company->addWidget(lbl自社名);
    company->addWidget(lbl自社情報, 1);
    g->addLayout(head, 1, 0);
    g->addLayout(company, 1, 1);
    g->setColumnStretch(0, 3);
    g->setColumnStretch(1, 2);

    Grid明細 = named(new DataGrid, QStringLiteral("Grid明細"));
    DD商品参照 = named(new QComboBox, QStringLiteral("DD商品参照"));
    g->addWidget(Grid明細, 2, 0, 1, 2);
    // The list itself; the grid shows it as the drop-down of the name column.
    g->addWidget(DD商品参照, 6, 0);
    DD商品参照->hide();

    num税抜計 = named(new NumberBox, QStringLiteral("num税抜計"));
    num消費税 = named(new NumberBox, QStringLiteral("num消費税"));
    num合計 = named(new NumberBox, QStringLiteral("num合計"));
    auto* totals = new QHBoxLayout;
    totals->addStretch();
    for (auto [box, label] :
         {std::pair{num税抜計, QStringLiteral("税抜計")}, std::pair{num消費税, QStringLiteral("消費税")},
          std::pair{num合計, QStringLiteral("税込合計")}}) {
        box->setReadOnly(true);
        box->setFocusPolicy(Qt::NoFocus);
        box->setMaximumWidth(150);
        totals->addWidget(caption(label));
        totals->addWidget(box);
    }
    // The per-rate sums and taxes under the totals, shown under "10%・8%" only.
    rateBoxes = named(new QWidget, QStringLiteral("rateBoxes"));
    auto* rates = new QHBoxLayout(rateBoxes);
    rates->setContentsMargins(0, 0, 0, 0);
    rates->addStretch();
    lbl対象10 = named(caption(QString()), QStringLiteral("lbl対象10"));
    lbl対象8 = named(caption(QString()), QStringLiteral("lbl対象8"));
    num対象10 = named(new NumberBox, QStringLiteral("num対象10"));
    num消費税10 = named(new NumberBox, QStringLiteral("num消費税10"));
    num対象8 = named(new NumberBox, QStringLiteral("num対象8"));
    num消費税8 = named(new NumberBox, QStringLiteral("num消費税8"));
    for (auto [label, box] : {std::pair{lbl対象10, num対象10}, std::pair{caption(QStringLiteral("消費税10%")), num消費税10},
                              std::pair{lbl対象8, num対象8}, std::pair{caption(QStringLiteral("消費税8%")), num消費税8}}) {
        box->setReadOnly(true);
        box->setFocusPolicy(Qt::NoFocus);
        box->setMaximumWidth(130);
        rates->addWidget(label);
        rates->addWidget(box);
    }
    rateBoxes->hide();
    auto* allTotals = new QVBoxLayout;
    allTotals->addLayout(totals);
    allTotals->addWidget(rateBoxes);
    g->addLayout(allTotals, 3, 0, 1, 2);
    lbl未登録 = named(new QLabel(QStringLiteral("未登録の変更があります")), QStringLiteral("lbl未登録"));
    lbl未登録->setStyleSheet(QStringLiteral("color:#a00000;"));
    QSizePolicy keepRoom = lbl未登録->sizePolicy();
    keepRoom.setRetainSizeWhenHidden(true); // the grid does not jump when the line comes and goes
    lbl未登録->setSizePolicy(keepRoom);
    lbl未登録->hide();
    g->addWidget(lbl未登録, 4, 0, 1, 2, Qt::AlignRight);

    cmd登録 = button(QStringLiteral("cmd登録"), QStringLiteral("登録"), QStringLiteral("画面上の伝票を登録保存します"));
    cmd削除 = button(QStringLiteral("cmd削除"), QStringLiteral("削除"),
                     QStringLiteral("画面上の伝票を削除します。一度削除するともとに戻せません。"));
    cmdクリア = button(QStringLiteral("cmdクリア"), QStringLiteral("クリア"),
                       QStringLiteral("伝票情報を画面上から消去します。登録済みの伝票は無くなりません。"));
    cmd印刷 = button(QStringLiteral("cmd印刷"), QStringLiteral("印刷"), QStringLiteral("印刷します"));
    cmd閉じる = button(QStringLiteral("cmd閉じる"), QStringLiteral("閉じる"),
                       QStringLiteral("請求書を終了します。伝票の登録は忘れてませんか"));
    cmdHint = button(QStringLiteral("cmdHint"), QString(), QStringLiteral("ヒント"));
    cmdHint->setIcon(style()->standardIcon(QStyle::SP_MessageBoxQuestion));
    cmdHint->setMinimumWidth(40);
    auto* buttons = buttonFrame({cmd登録, cmd削除, cmdクリア, cmd印刷});
    buttons->layout()->addWidget(cmdHint);
    buttons->layout()->addWidget(cmd閉じる);
    g->addWidget(buttons, 5, 0, 1, 2);
    g->setRowStretch(2, 1);
    return page;
}

QWidget* FrmVornisa::buildCustomerPage() {
    Grid顧客マスタ = named(new DataGrid, QStringLiteral("Grid顧客マスタ"));
    cmd顧客読込 = button(QStringLiteral("cmd顧客読込"), QStringLiteral("読込"),
                         QStringLiteral("顧客情報を明細に読込みます。顧客名や「かな」の一部でも絞り込めます。"));
    cmd顧客登録 = button(QStringLiteral("cmd顧客登録"), QStringLiteral("登録"), QStringLiteral("顧客情報を登録します"));
    cmd顧客削除 = button(QStringLiteral("cmd顧客削除"), QStringLiteral("削除"),
                         QStringLiteral("チェックマークのある行の顧客データを削除します。"));
    cmd顧客クリア = button(QStringLiteral("cmd顧客クリア"), QStringLiteral("クリア"),
                           QStringLiteral("顧客情報画面を消去します。登録済みデータは削除されません。"));
    cmd顧客CSV出力 = button(QStringLiteral("cmd顧客CSV出力"), QStringLiteral("CSV出力"),
                            QStringLiteral("画面の顧客情報をCSVファイルに出力します。"));
    cmd顧客CSV取込 = button(QStringLiteral("cmd顧客CSV取込"), QStringLiteral("CSV取込"),
                            QStringLiteral("CSVファイルの顧客情報を画面に取り込みます。登録するまで保存されません。"));
    return masterPage(Grid顧客マスタ,
                      {cmd顧客読込, cmd顧客登録, cmd顧客削除, cmd顧客クリア, cmd顧客CSV出力, cmd顧客CSV取込});
}

QWidget* FrmVornisa::buildProductPage() {
    Grid商品マスタ = named(new DataGrid, QStringLiteral("Grid商品マスタ"));
    cmd商品読込 =
        button(QStringLiteral("cmd商品読込"), QStringLiteral("読込"),
               QStringLiteral("商品情報を読込みます。品名や「かな」の一部を指定して絞り込むこともできます。"));
    cmd商品登録 =
        button(QStringLiteral("cmd商品登録"), QStringLiteral("登録"), QStringLiteral("商品情報を登録します。"));
    cmd商品削除 = button(QStringLiteral("cmd商品削除"), QStringLiteral("削除"),
                         QStringLiteral("チェックマークを付けた商品情報を削除します。複数削除もできます。"));
    cmd商品クリア = button(QStringLiteral("cmd商品クリア"), QStringLiteral("クリア"),
                           QStringLiteral("商品情報画面を消去します。登録済みデータは削除されません。"));
    cmd商品CSV出力 = button(QStringLiteral("cmd商品CSV出力"), QStringLiteral("CSV出力"),
                            QStringLiteral("画面の商品情報をCSVファイルに出力します。"));
    cmd商品CSV取込 = button(QStringLiteral("cmd商品CSV取込"), QStringLiteral("CSV取込"),
                            QStringLiteral("CSVファイルの商品情報を画面に取り込みます。登録するまで保存されません。"));
    return masterPage(Grid商品マスタ,
                      {cmd商品読込, cmd商品登録, cmd商品削除, cmd商品クリア, cmd商品CSV出力, cmd商品CSV取込});
}

QWidget* FrmVornisa::buildSettingsPage() {
    auto* page = new QWidget;
    auto* l = new QVBoxLayout(page);
    auto* body = frame();
    l->addWidget(body);
    auto* g = new QGridLayout(body);
    txt自社名 = named(new QLineEdit, QStringLiteral("txt自社名"));
    txt自社情報 = named(new QPlainTextEdit, QStringLiteral("txt自社情報"));
    txt自社情報->setMaximumHeight(90);
    txt自社情報->setTabChangesFocus(true);
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
    g->addWidget(txt自社名, 0, 1, 1, 3);
    g->addWidget(caption(QStringLiteral("自社情報")), 1, 0, Qt::AlignTop);
    g->addWidget(txt自社情報, 1, 1, 1, 3);
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
    g->addLayout(colour, colourRow, 1, 1, 3);
    g->addWidget(caption(QStringLiteral("データの保存場所")), colourRow + 1, 0);
    lblデータフォルダ = named(new QLabel, QStringLiteral("lblデータフォルダ"));
    lblデータフォルダ->setTextInteractionFlags(Qt::TextSelectableByMouse); // so the path can be copied
    g->addWidget(lblデータフォルダ, colourRow + 1, 1, 1, 3);
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
    g->setRowStretch(colourRow + 5, 1);
    g->setColumnStretch(3, 1);
    return page;
}
