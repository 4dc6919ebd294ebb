#include "app/book_page/received_invoice.h"

#include "app/page_parts.h"
#include "invoice/totals.h"

#include <QDir>
#include <QFormLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QStandardItemModel>
#include <QVBoxLayout>

namespace {

const QColor Disagrees(192, 0, 0);

QStandardItem* money(Currency c) {
    return shownItem(FormatAmount(c), true);
}

QTableView* table(const QString& name, const QStringList& headings, QWidget* parent) {
    auto* t = new QTableView(parent);
    t->setObjectName(name);
    auto* m = new QStandardItemModel(t);
    m->setHorizontalHeaderLabels(headings);
    t->setModel(m);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->verticalHeader()->hide();
    t->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    t->horizontalHeader()->setStretchLastSection(true);
    return t;
}

// A tax category as a reader of Japanese invoices knows it.
QString categoryText(const QString& category, const QString& percent) {
    if (category == QStringLiteral("S"))
        return QStringLiteral("標準税率 %1%").arg(percent);
    if (category == QStringLiteral("AA"))
        return QStringLiteral("軽減税率 %1%").arg(percent);
    if (category == QStringLiteral("E"))
        return QStringLiteral("非課税");
    if (category == QStringLiteral("Z") || category == QStringLiteral("G"))
        return QStringLiteral("免税 (%1)").arg(category);
    if (category == QStringLiteral("O"))
        return QStringLiteral("不課税");
    return category + u' ' + percent;
}

QString partyText(const pint::Party& p) {
    QStringList t{p.name};
    if (!p.legalName.isEmpty() && p.legalName != p.name)
        t << QStringLiteral("（%1）").arg(p.legalName);
    if (!p.postalZone.isEmpty() || !p.street.isEmpty())
        t << QStringLiteral("〒%1 %2").arg(p.postalZone, p.street);
    if (!p.endpointId.isEmpty())
        t << QStringLiteral("Peppol ID %1:%2").arg(p.endpointScheme, p.endpointId);
    return t.join(u' ');
}

} // namespace

QString RegistrationVerdict(RegNoCheck check) {
    switch (check) {
    case RegNoCheck::Ok:
        return QStringLiteral("検査用数字は正しい");
    case RegNoCheck::BadCheckDigit:
        return QStringLiteral("検査用数字が合いません");
    case RegNoCheck::Invalid:
        return QStringLiteral("登録番号の形式ではありません");
    case RegNoCheck::Empty:
        break;
    }
    return QStringLiteral("登録番号がありません");
}

Frmデジタルインボイス::Frmデジタルインボイス(const pint::ReadResult& read, const QString& path, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("Frmデジタルインボイス"));
    setAttribute(Qt::WA_DeleteOnClose);
    const pint::Document& d = read.doc;
    setWindowTitle(QStringLiteral("受け取ったデジタルインボイス %1 — %2").arg(d.id, QDir::toNativeSeparators(path)));
    const bool agree = read.sumsAgree();

    auto* v = new QVBoxLayout(this);
    auto* head = new QFormLayout;
    const auto label = [this](const QString& name, const QString& text) {
        auto* l = new QLabel(text, this);
        l->setObjectName(name);
        l->setTextInteractionFlags(Qt::TextSelectableByMouse);
        l->setWordWrap(true);
        return l;
    };
    head->addRow(QStringLiteral("請求書番号"), label(QStringLiteral("lbl番号"), d.id));
    head->addRow(QStringLiteral("請求日"), label(QStringLiteral("lbl請求日"), d.issueDate));
    if (!d.dueDate.isEmpty())
        head->addRow(QStringLiteral("支払期日"), label(QStringLiteral("lbl支払期日"), d.dueDate));
    lbl売り手 = label(QStringLiteral("lbl売り手"), partyText(d.seller));
    head->addRow(QStringLiteral("請求元"), lbl売り手);
    lbl登録番号 = label(QStringLiteral("lbl登録番号"),
                        QStringLiteral("%1（%2）").arg(d.seller.taxId, RegistrationVerdict(read.registration)));
    if (read.registration != RegNoCheck::Ok)
        lbl登録番号->setStyleSheet(QStringLiteral("color: #c00000"));
    head->addRow(QStringLiteral("登録番号"), lbl登録番号);
    lbl買い手 = label(QStringLiteral("lbl買い手"), partyText(d.buyer));
    head->addRow(QStringLiteral("請求先"), lbl買い手);
    if (!d.note.isEmpty())
        head->addRow(QStringLiteral("備考"), label(QStringLiteral("lbl備考"), d.note));
    v->addLayout(head);

    Grid明細 = table(QStringLiteral("Grid明細"),
                     {QStringLiteral("No"), QStringLiteral("品名"), QStringLiteral("数量"), QStringLiteral("単位"),
                      QStringLiteral("単価"), QStringLiteral("金額（税抜）"), QStringLiteral("税率")},
                     this);
    auto* lines = static_cast<QStandardItemModel*>(Grid明細->model());
    for (const pint::Line& l : d.lines)
        lines->appendRow({shownItem(l.id), shownItem(l.name), shownItem(l.quantity, true), shownItem(l.unitCode),
                          money(l.price), money(l.amount), shownItem(categoryText(l.category, l.percent))});
    Grid明細->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch); // the item name takes the room left
    v->addWidget(Grid明細, 2);

    Grid税率別 = table(QStringLiteral("Grid税率別"),
                       {QStringLiteral("税率"), QStringLiteral("対象額（税抜）"), QStringLiteral("消費税額")}, this);
    auto* rates = static_cast<QStandardItemModel*>(Grid税率別->model());
    for (const pint::TaxSubtotal& s : d.subtotals)
        rates->appendRow({shownItem(categoryText(s.category, s.percent)), money(s.taxable), money(s.tax)});
    v->addWidget(Grid税率別, 1);

    lbl合計 =
        label(QStringLiteral("lbl合計"), QStringLiteral("税抜合計 %1　消費税 %2　税込合計 %3　お支払金額 %4 %5")
                                             .arg(FormatAmount(d.taxExclusive), FormatAmount(d.taxTotal),
                                                  FormatAmount(d.taxInclusive), FormatAmount(d.payable), d.currency));
    v->addWidget(lbl合計);
    lbl検証 = label(QStringLiteral("lbl検証"), agree ? QStringLiteral("金額の計算は合っています。")
                                                     : QStringLiteral("✕ 金額の合わない箇所があります（下の赤字）。"));
    if (!agree) {
        lbl検証->setStyleSheet(QStringLiteral("color: #c00000; font-weight: bold"));
        lbl合計->setStyleSheet(QStringLiteral("color: #c00000"));
    }
    v->addWidget(lbl検証);

    lst指摘 = new QListWidget(this);
    lst指摘->setObjectName(QStringLiteral("lst指摘"));
    for (const pint::Finding& f : read.findings) {
        auto* i = new QListWidgetItem((f.sums ? QStringLiteral("✕ ") : QStringLiteral("・")) + f.text +
                                          QStringLiteral(" [%1]").arg(f.rule),
                                      lst指摘);
        if (f.sums)
            i->setForeground(Disagrees);
    }
    for (const QString& u : d.unreadable)
        (new QListWidgetItem(QStringLiteral("✕ 数値として読めません: ") + u, lst指摘))->setForeground(Disagrees);
    if (lst指摘->count() == 0)
        lst指摘->addItem(QStringLiteral("規則に反する箇所はありません。"));
    v->addWidget(lst指摘, 1);

    auto* close = new QPushButton(QStringLiteral("閉じる"), this);
    close->setObjectName(QStringLiteral("cmd閉じる"));
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    v->addWidget(close, 0, Qt::AlignRight);
    resize(820, 620);
}
