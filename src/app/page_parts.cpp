#include "app/page_parts.h"

#include "app/books.h"
#include "book/history.h"
#include "messages/msg.h"
#include "payments/cutoff.h"
#include "report/invoice_report.h"
#include "report/summary_report.h"
#include "ui/bound_table.h"
#include "ui/data_grid.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QStandardItem>
#include <QTableView>
#include <optional>

namespace {

// The modifiers of a Return or Enter key press; nullopt for any other event.
std::optional<Qt::KeyboardModifiers> enterPressed(QEvent* e) {
    if (e->type() != QEvent::KeyPress)
        return std::nullopt;
    const auto* k = static_cast<QKeyEvent*>(e);
    if (k->key() != Qt::Key_Return && k->key() != Qt::Key_Enter)
        return std::nullopt;
    return k->modifiers() & ~Qt::KeypadModifier;
}

class CtrlEnterAsTab : public QObject {
  public:
    using QObject::QObject;
    bool eventFilter(QObject* o, QEvent* e) override {
        if (enterPressed(e) != Qt::KeyboardModifiers(Qt::ControlModifier))
            return false;
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        QCoreApplication::sendEvent(o, &tab);
        return true;
    }
};

// The grid's own editor of several lines takes Enter as accepting the cell, and it sees the key
// first of all filters on the editor; so the keys are caught before, for the editors in this
// grid only. Ctrl+Enter and Shift+Enter go on to the grid's editor (accept; a new line).
class EnterBreaksLine : public QObject {
  public:
    explicit EnterBreaksLine(QWidget* viewport) : QObject(viewport), viewport_(viewport) {
        qApp->installEventFilter(this);
    }
    bool eventFilter(QObject* o, QEvent* e) override {
        auto* editor = qobject_cast<QPlainTextEdit*>(o);
        if (!editor || editor->parentWidget() != viewport_ || enterPressed(e) != Qt::KeyboardModifiers())
            return false;
        editor->insertPlainText(QStringLiteral("\n"));
        return true;
    }

  private:
    QWidget* viewport_;
};

} // namespace

QPushButton* button(const QString& name, const QString& caption, const QString& tip) {
    auto* b = named(new QPushButton(caption), name);
    b->setToolTip(tip);
    b->setMinimumWidth(88);
    b->setAutoDefault(false);
    return b;
}

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

void notifyFailure(const QString& what, const DbError& e) {
    // "Not saved" is not said of a save that may have gone through: the reason says what to check.
    MsgConfirm(QStringLiteral("その他"), QStringLiteral("注意"),
               (e.outcomeUnknown ? QString() : what + u'\n') + e.text);
}

bool workThenRefresh(BoundTable* table, const QString& failure, const std::function<bool()>& work) {
    bool done = false;
    try {
        if (!work())
            return false;
        done = true;
    } catch (const DbError& e) {
        notifyFailure(failure, e);
    }
    table->refresh();
    return done;
}

QStandardItem* shownItem(const QString& text, bool right) {
    auto* i = new QStandardItem(text);
    i->setEditable(false);
    if (right)
        i->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return i;
}

QVariant printField(const Value& v) {
    if (v.isNull())
        return {};
    if (v.isText())
        return v.toText();
    return v.toDouble();
}

DetailRecord printedLine(const VersionLine& l, bool qualified) {
    const bool marked = qualified && !l.品名.isNull();
    const int rate = LineRate(l.税率, l.非課税.toBool());
    return {printField(l.品名), printField(l.数量), printField(l.単位), printField(l.単価), printField(l.金額),
            marked && rate == 8, marked && rate == 0};
}

void printCompany(PrintValues& p, const Company& company) {
    p.prn自社名 = company.自社名;
    p.prn自社情報 = company.自社情報;
    p.prn和暦 = company.和暦;
    p.prn印影 = company.印影;
    p.prnロゴ = company.ロゴ;
    p.prn締め明細 = company.締め明細印刷;
}

void sayWriteFailures(BoundTable* table) {
    QObject::connect(table, &BoundTable::writeFailed, table, [](const QString& reason) {
        MsgConfirm(QStringLiteral("その他"), QStringLiteral("注意"),
                   QStringLiteral("入力を保存できませんでした。") + reason);
    });
}

void ctrlEnterMovesOn(QPlainTextEdit* box) {
    box->setTabChangesFocus(true);
    box->installEventFilter(new CtrlEnterAsTab(box));
}

void enterBreaksCellLines(DataGrid* grid) {
    new EnterBreaksLine(grid->viewport());
}

namespace {
class EnterHook : public QObject {
  public:
    EnterHook(QObject* parent, std::function<void()> f) : QObject(parent), f_(std::move(f)) {}
    bool eventFilter(QObject*, QEvent* e) override {
        if (!enterPressed(e))
            return false;
        f_();
        return true;
    }

  private:
    std::function<void()> f_;
};
} // namespace

void onEnter(QWidget* w, std::function<void()> f) {
    w->installEventFilter(new EnterHook(w, std::move(f)));
}

void readOnlyRows(QAbstractItemView* view) {
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    if (auto* table = qobject_cast<QTableView*>(view))
        table->verticalHeader()->hide();
}

std::shared_ptr<rpt請求書> printedReport(Database& main, PrintValues p, std::vector<DetailRecord> rows) {
    bool numbered = false;
    const qint32 number = p.prn伝票番号.toInt(&numbered);
    const std::optional<SummaryRecord> cutOff =
        p.prn種別 == Kind請求書 && numbered ? ReadSummary(main, number) : std::nullopt;
    if (!cutOff)
        return std::make_shared<rpt請求書>(std::move(p), std::move(rows));
    SummaryValues s{cutOff->前回御請求額.toDouble(), cutOff->御入金額.toDouble(), cutOff->繰越金額.toDouble(),
                    cutOff->今回御買上額.toDouble(), cutOff->消費税額.toDouble(), cutOff->今回御請求額.toDouble(), {}};
    for (const Delivery& d : cutOff->notes) {
        s.notes.push_back({d.日付, d.伝票番号, d.件名, d.sums.total().toDouble(), {}});
        // The item lines as the note is stored now.
        if (p.prn締め明細)
            for (const VersionLine& l : Read履歴明細(main, d.伝票番号, 0, 0, Kind納品書))
                s.notes.back().items.push_back(printedLine(l, p.prn適格));
    }
    p.prn請求金額 = s.今回御請求額;
    return std::make_shared<rpt合計請求書>(std::move(p), std::move(s));
}
