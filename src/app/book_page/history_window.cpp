#include "app/book_page/history_window.h"

#include "app/page_parts.h"
#include "invoice/qualified.h"
#include "invoice/totals.h"
#include "messages/msg.h"
#include "store/database.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QVBoxLayout>

namespace {

QStandardItem* amount(const Value& v) {
    return shownItem(FormatAmount(v.isNull() ? std::nullopt : std::optional<Currency>(v.toCurrency())), true);
}

QTableView* table(const QString& name, QStandardItemModel* model) {
    auto* t = new QTableView;
    t->setObjectName(name);
    t->setModel(model);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setSelectionBehavior(QAbstractItemView::SelectRows);
    t->setSelectionMode(QAbstractItemView::SingleSelection);
    t->verticalHeader()->hide();
    t->horizontalHeader()->setStretchLastSection(true);
    return t;
}

} // namespace

Frm履歴::Frm履歴(Database& main, qint32 number, const QString& kind, int generation, PrintFn print,
                 QWidget* parent)
    : QDialog(parent), main_(main), number_(number), kind_(kind), generation_(generation), print_(std::move(print)) {
    setObjectName(QStringLiteral("Frm履歴"));
    // An invoice's window is titled as it always was.
    setWindowTitle(kind == Kind請求書 ? QStringLiteral("伝票 %1 の履歴").arg(number)
                                      : DocumentName(kind, number) + QStringLiteral(" の履歴"));
    setAttribute(Qt::WA_DeleteOnClose);
    versions_ = Read履歴(main, number, generation, kind);

    versionModel_ = new QStandardItemModel(this);
    versionModel_->setHorizontalHeaderLabels({QStringLiteral("版"), QStringLiteral("変更日時"), QStringLiteral("変更種別"),
                                              QStringLiteral("日付"), QStringLiteral("顧客名"), QStringLiteral("税抜計"),
                                              QStringLiteral("消費税"), QStringLiteral("合計")});
    for (const InvoiceVersion& v : versions_)
        // The copy stored now has no version number and no change yet.
        versionModel_->appendRow({shownItem(v.版 ? QString::number(v.版) : QString(), true), shownItem(v.変更日時),
                                  shownItem(v.版 ? v.変更種別 : QStringLiteral("現在")), shownItem(v.日付),
                                  shownItem(v.顧客名), amount(v.税抜計), amount(v.消費税), amount(v.合計)});
    lineModel_ = new QStandardItemModel(this);
    Grid履歴 = table(QStringLiteral("Grid履歴"), versionModel_);
    Grid履歴明細 = table(QStringLiteral("Grid履歴明細"), lineModel_);
    Grid履歴->horizontalHeader()->setStretchLastSection(false);
    Grid履歴->resizeColumnsToContents(); // the change time and totals on one line each
    Grid履歴->horizontalHeader()->setSectionResizeMode(4, QHeaderView::Stretch);

    cmd履歴印刷 = new QPushButton(QStringLiteral("印刷"));
    cmd履歴印刷->setObjectName(QStringLiteral("cmd履歴印刷"));
    cmd履歴印刷->setToolTip(QStringLiteral("選んだ版をその時のとおりに印刷プレビューで表示します"));
    cmd履歴印刷->setAutoDefault(false);
    cmd履歴閉じる = new QPushButton(QStringLiteral("閉じる"));
    cmd履歴閉じる->setObjectName(QStringLiteral("cmd履歴閉じる"));
    cmd履歴閉じる->setAutoDefault(false);

    auto* l = new QVBoxLayout(this);
    l->addWidget(Grid履歴, 2);
    l->addWidget(new QLabel(QStringLiteral("明細")));
    l->addWidget(Grid履歴明細, 3);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmd履歴印刷);
    buttons->addWidget(cmd履歴閉じる);
    l->addLayout(buttons);
    resize(860, 560);

    connect(Grid履歴->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { showLines(current.row()); });
    connect(cmd履歴閉じる, &QPushButton::clicked, this, &QDialog::close);
    connect(cmd履歴印刷, &QPushButton::clicked, this, [this] {
        const int row = Grid履歴->currentIndex().row();
        if (row >= 0 && print_)
            print_(versions_[row], lines_);
    });
    if (!versions_.empty())
        Grid履歴->setCurrentIndex(versionModel_->index(static_cast<int>(versions_.size()) - 1, 0));
}

int Frm履歴::currentVersion() const {
    const int row = Grid履歴->currentIndex().row();
    return row < 0 ? -1 : versions_[row].版;
}

void Frm履歴::showLines(int row) {
    lineModel_->clear();
    const bool qualified = row >= 0 && versions_[row].税率方式 == Scheme10_8;
    lineModel_->setHorizontalHeaderLabels({QStringLiteral("品名"), QStringLiteral("数量"), QStringLiteral("単位"),
                                           QStringLiteral("単価"), QStringLiteral("金額"),
                                           qualified ? QStringLiteral("税率") : QStringLiteral("非課税")});
    lines_.clear();
    if (row < 0)
        return;
    try {
        lines_ = Read履歴明細(main_, number_, generation_, versions_[row].版, kind_);
    } catch (const DbError& e) {
        MsgConfirm(QStringLiteral("その他"), QStringLiteral("注意"),
                   QStringLiteral("明細を読み込めませんでした。\n") + e.text);
        return;
    }
    for (const VersionLine& v : lines_)
        lineModel_->appendRow({shownItem(v.品名.toText()),
                               shownItem(v.数量.isNull() ? QString() : v.数量.toText(), true),
                               shownItem(v.単位.toText()), amount(v.単価), amount(v.金額),
                               shownItem(qualified           ? RateText(Value(LineRate(v.税率, v.非課税.toBool())))
                                         : v.非課税.toBool() ? QStringLiteral("非課税")
                                                             : QString())});
    Grid履歴明細->resizeColumnsToContents();
    Grid履歴明細->horizontalHeader()->setStretchLastSection(false);
    Grid履歴明細->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch); // the name takes the room
}
