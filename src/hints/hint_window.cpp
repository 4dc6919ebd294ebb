#include "hints/hint_window.h"

#include "hints/hint_store.h"
#include "messages/msg.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace {
const QColor NotEditing(209, 209, 205);
const QColor Editing(255, 128, 128);

QPushButton* button(const QString& name, const QString& caption) {
    auto* b = new QPushButton(caption);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}
} // namespace

Hint::Hint(Database& work, const QString& formName, const QString& ctlName, const QString& formTitle, QWidget* owner)
    : QWidget(owner, Qt::Window), work_(&work) {
    setObjectName(QStringLiteral("Hint"));
    setWindowTitle(QStringLiteral("ヒント"));
    setAttribute(Qt::WA_DeleteOnClose);
    lblFormName = new QLabel(formName);
    lblFormName->setObjectName(QStringLiteral("lblFormName"));
    lblCtlName = new QLabel(ctlName);
    lblCtlName->setObjectName(QStringLiteral("lblCtlName"));
    lblFormTitle = new QLabel(formTitle);
    lblFormTitle->setObjectName(QStringLiteral("lblFormTitle"));
    txtContents = new QPlainTextEdit;
    txtContents->setObjectName(QStringLiteral("txtContents"));
    txtContents->setReadOnly(true);
    cmd登録 = button(QStringLiteral("cmd登録"), QStringLiteral("登録"));
    cmd削除 = button(QStringLiteral("cmd削除"), QStringLiteral("削除"));
    cmdクリア = button(QStringLiteral("cmdクリア"), QStringLiteral("クリア"));
    cmd編集 = button(QStringLiteral("cmd編集"), QStringLiteral("編集"));
    cmd閉じる = button(QStringLiteral("cmd閉じる"), QStringLiteral("閉じる"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("画面"), lblFormName);
    form->addRow(QStringLiteral("タイトル"), lblFormTitle);
    form->addRow(QStringLiteral("項目"), lblCtlName);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {cmd編集, cmd登録, cmd削除, cmdクリア})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(cmd閉じる);
    auto* l = new QVBoxLayout(this);
    l->addLayout(form);
    l->addWidget(txtContents, 1);
    l->addLayout(buttons);
    resize(420, 320);

    connect(cmd登録, &QPushButton::clicked, this, &Hint::cmd登録_Click);
    connect(cmd削除, &QPushButton::clicked, this, &Hint::cmd削除_Click);
    connect(cmdクリア, &QPushButton::clicked, this, &Hint::cmdクリア_Click);
    connect(cmd編集, &QPushButton::clicked, this, &Hint::cmd編集_Click);
    connect(cmd閉じる, &QPushButton::clicked, this, &Hint::cmd閉じる_Click);
    paintEditButton();
    ReadHint();
    txtContents->setFocus();
}

void Hint::paintEditButton() {
    // With a border of its own the style paints the face flat, so the state colour shows as it is.
    cmd編集->setStyleSheet(
        QStringLiteral("QPushButton { background-color: %1; border: 1px solid #808080; padding: 3px 12px; }")
            .arg((editing_ ? Editing : NotEditing).name()));
}

void Hint::ReadHint() {
    try {
        if (const auto text = ::ReadHint(*work_, lblFormName->text(), lblCtlName->text()))
            txtContents->setPlainText(*text);
    } catch (const DbError& e) {
        MsgConfirm(QStringLiteral("その他"), QStringLiteral("注意"),
                   QStringLiteral("ヒントを読み込めませんでした。") + e.text);
    }
}

void Hint::EntryHint() {
    ::EntryHint(*work_, lblFormName->text(), lblCtlName->text(), lblFormTitle->text(), txtContents->toPlainText());
}

void Hint::Deleteヒント() {
    ::Deleteヒント(*work_, lblFormName->text(), lblCtlName->text());
    txtContents->clear();
}

void Hint::cmd登録_Click() {
    if (!MsgConfirm(QStringLiteral("登録"), QStringLiteral("確認"), QStringLiteral("ヒント")))
        return;
    try {
        EntryHint();
    } catch (const DbError& e) {
        MsgConfirm(QStringLiteral("その他"), QStringLiteral("注意"),
                   QStringLiteral("ヒントを登録できませんでした。") + e.text);
        return;
    }
    MsgConfirm(QStringLiteral("登録"), QStringLiteral("完了"), QStringLiteral("ヒント"));
}

void Hint::cmd削除_Click() {
    if (!MsgConfirm(QStringLiteral("削除"), QStringLiteral("確認"), QStringLiteral("ヒント")))
        return;
    try {
        Deleteヒント();
    } catch (const DbError& e) {
        MsgConfirm(QStringLiteral("その他"), QStringLiteral("注意"),
                   QStringLiteral("ヒントを削除できませんでした。") + e.text);
        return;
    }
    MsgConfirm(QStringLiteral("削除"), QStringLiteral("完了"), QStringLiteral("ヒント"));
}

void Hint::cmd編集_Click() {
    editing_ = !editing_;
    txtContents->setReadOnly(!editing_);
    paintEditButton();
    txtContents->setFocus();
}
