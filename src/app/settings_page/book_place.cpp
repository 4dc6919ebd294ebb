// The settings page's 保存先 group: this PC's own file or one book on a PostgreSQL server for the office.
#include "app/page_parts.h"
#include "app/settings_page/settings_page.h"
#include "messages/msg.h"
#include "store/schema.h"
#include "store/server_book.h"
#include "store/tables.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QRegularExpression>

namespace {
const QString ThisPc = QStringLiteral("このPC");
const QString OnServer = QStringLiteral("サーバー (PostgreSQL)");
} // namespace

QWidget* SettingsPage::buildBookPlace() {
    auto* box = named(new QGroupBox(QStringLiteral("保存先")), QStringLiteral("grp保存先"));
    auto* g = new QGridLayout(box);
    cmb保存先 = named(new QComboBox, QStringLiteral("cmb保存先"));
    cmb保存先->addItems({ThisPc, OnServer});
    txt接続先 = named(new QLineEdit, QStringLiteral("txt接続先"));
    txt接続先->setPlaceholderText(QStringLiteral("host=サーバー名 dbname=vornisa user=ユーザー名　または　service=vornisa"));
    txt接続先->setToolTip(QStringLiteral("PostgreSQL の接続先。パスワードは保存されません（~/.pgpass をお使いください）。"
                                        "暗号化を必須にするには sslmode=require を加えます。"));
    cmd接続テスト = button(QStringLiteral("cmd接続テスト"), QStringLiteral("接続テスト"),
                           QStringLiteral("接続できるか、データベースに何があるかを確かめます。"));
    cmdサーバーへ移行 = button(QStringLiteral("cmdサーバーへ移行"), QStringLiteral("サーバーへ移行"),
                               QStringLiteral("このPCの帳簿を空のサーバーのデータベースに移し、以後サーバーを使います。"
                                              "このPCのファイルはそのまま残ります。"));
    cmd保存先切替 = button(QStringLiteral("cmd保存先切替"), QStringLiteral("切り替え"),
                           QStringLiteral("選んだ保存先の帳簿をこのPCで使います。"));
    lbl接続結果 = named(new QLabel, QStringLiteral("lbl接続結果"));
    lbl接続結果->setWordWrap(true);
    g->addWidget(cmb保存先, 0, 0);
    g->addWidget(txt接続先, 0, 1, 1, 3);
    g->addWidget(cmd接続テスト, 1, 1);
    g->addWidget(cmdサーバーへ移行, 1, 2);
    g->addWidget(cmd保存先切替, 1, 3);
    g->addWidget(lbl接続結果, 2, 0, 1, 4);
    g->setColumnStretch(1, 1);
    connect(cmd接続テスト, &QPushButton::clicked, this, &SettingsPage::cmd接続テスト_Click);
    connect(cmdサーバーへ移行, &QPushButton::clicked, this, &SettingsPage::cmdサーバーへ移行_Click);
    connect(cmd保存先切替, &QPushButton::clicked, this, &SettingsPage::cmd保存先切替_Click);
    return box;
}

void SettingsPage::showBookPlace() {
    const BookPlace p = books_.place();
    cmb保存先->setCurrentText(p.server ? OnServer : ThisPc);
    txt接続先->setText(p.connection);
}

std::optional<ServerBookState> SettingsPage::testConnection() {
    // The connection text is kept with the choice: a password in it would be stored too.
    static const QRegularExpression password(QStringLiteral("password\\s*=|://[^/@]*:[^/@]*@"),
                                             QRegularExpression::CaseInsensitiveOption);
    if (txt接続先->text().contains(password)) {
        lbl接続結果->setText(QStringLiteral("接続先にパスワードを書かないでください。パスワードは ~/.pgpass に書きます。"));
        return std::nullopt;
    }
    try {
        auto server = Database::connect(txt接続先->text().trimmed(), {});
        const ServerBookState state = inspectServerBook(*server);
        lbl接続結果->setText(state.text() + (server->serverUsesTls() ? QStringLiteral("（暗号化あり）")
                                                                     : QStringLiteral("（暗号化なし）")));
        return state;
    } catch (const DbError& e) {
        lbl接続結果->setText(QStringLiteral("接続できません。") + e.text);
        return std::nullopt;
    }
}

void SettingsPage::cmd接続テスト_Click() {
    testConnection();
}

void SettingsPage::cmdサーバーへ移行_Click() {
    if (books_.dbMain->onServer()) {
        lbl接続結果->setText(QStringLiteral("すでにサーバーの帳簿を使っています。"));
        return;
    }
    const auto state = testConnection();
    if (!state)
        return;
    if (state->kind != ServerBookState::Empty) {
        lbl接続結果->setText(lbl接続結果->text() + QStringLiteral("\n空のデータベースにだけ移行できます。何も書き込んでいません。"));
        return;
    }
    if (!MsgConfirm(QStringLiteral("転記"), QStringLiteral("確認"), QStringLiteral("このPCの帳簿をサーバー")))
        return;
    const QString connection = txt接続先->text().trimmed();
    QStringList report;
    try {
        for (const TableCheck& c : copyBookToServer(*books_.dbMain, *Database::connect(connection, {})))
            report << QStringLiteral("%1 %2件").arg(c.table).arg(c.rows);
    } catch (const DbError& e) {
        notifyFailure(QStringLiteral("サーバーへ移行できませんでした。このPCの帳簿はそのままです。"), e);
        return;
    }
    const QString failure = books_.usePlace({true, connection});
    emit placeChanged();
    showBookPlace();
    if (!failure.isEmpty()) {
        lbl接続結果->setText(QStringLiteral("移行しましたが、切り替えられませんでした。") + failure);
        return;
    }
    // The line under the fields keeps the outcome; the tables moved are too many for it.
    const QString done = QStringLiteral("移行しました（件数と金額の合計を確認済み）。以後サーバーの帳簿を使います。");
    lbl接続結果->setText(done);
    MsgConfirm(QStringLiteral("その他"), QStringLiteral("メッセージ"), done + u'\n' + report.join(QStringLiteral("、")));
}

void SettingsPage::cmd保存先切替_Click() {
    const bool server = cmb保存先->currentText() == OnServer;
    const QString connection = txt接続先->text().trimmed();
    if (server) {
        const auto state = testConnection();
        if (!state)
            return;
        if (state->kind != ServerBookState::Ours || state->version > schemaVersion(SchemaFile::Main)) {
            lbl接続結果->setText(lbl接続結果->text() + QStringLiteral("\nこの帳簿には切り替えられません。"));
            return;
        }
    }
    const QString failure = books_.usePlace({server, connection}); // the connection is kept for a later switch back
    emit placeChanged();
    lbl接続結果->setText(failure.isEmpty() ? (server ? QStringLiteral("サーバーの帳簿に切り替えました。")
                                                      : QStringLiteral("このPCの帳簿に切り替えました。"))
                                           : QStringLiteral("切り替えられませんでした。") + failure);
    showBookPlace();
}
