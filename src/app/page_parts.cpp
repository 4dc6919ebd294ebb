#include "app/page_parts.h"

#include "messages/msg.h"
#include "ui/bound_table.h"

#include <QHBoxLayout>
#include <QStandardItem>

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
    MsgConfirm(QStringLiteral("その他"), QStringLiteral("注意"), what + QStringLiteral("\n") + e.text);
}

void workThenRefresh(BoundTable* table, const QString& failure, const std::function<bool()>& work) {
    try {
        if (!work())
            return;
    } catch (const DbError& e) {
        notifyFailure(failure, e);
    }
    table->refresh();
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

void sayWriteFailures(BoundTable* table) {
    QObject::connect(table, &BoundTable::writeFailed, table, [](const QString& reason) {
        MsgConfirm(QStringLiteral("その他"), QStringLiteral("注意"),
                   QStringLiteral("入力を保存できませんでした。") + reason);
    });
}
