#include "messages/msg.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <vector>

Q_DECLARE_METATYPE(QMessageBox::Icon)
Q_DECLARE_METATYPE(QMessageBox::StandardButton)
Q_DECLARE_METATYPE(QMessageBox::StandardButtons)

namespace {

// Records every box that would have been shown and answers with a chosen button.
struct Recorder {
    std::vector<msg::Shown> shown;
    QMessageBox::StandardButton reply = QMessageBox::NoButton;
    bool replyDefault = true;

    void install() {
        msg::setAnswerer([this](const msg::Shown& s) {
            shown.push_back(s);
            return replyDefault ? s.defaultButton : reply;
        });
    }
};

const QMessageBox::StandardButtons kYesNo = QMessageBox::Yes | QMessageBox::No;

} // namespace

class TestMessages : public QObject {
    Q_OBJECT

    Recorder rec;

  private slots:
    void init() {
        rec = Recorder{};
        rec.install();
    }
    void cleanup() { msg::setAnswerer({}); }

    void questionDefaultNoDeclinesOnDefault() {
        QVERIFY(!MsgConfirm("削除", "指定確認", "顧客情報"));
        QCOMPARE(rec.shown.size(), size_t(1));
        const msg::Shown& s = rec.shown[0];
        QCOMPARE(s.title, QString("削除の確認"));
        QCOMPARE(s.text, QString("指定された 顧客情報 を削除します。よろしいですか"));
        QCOMPARE(s.icon, QMessageBox::Question);
        QCOMPARE(s.buttons, kYesNo);
        QCOMPARE(s.defaultButton, QMessageBox::No);

        rec.replyDefault = false;
        rec.reply = QMessageBox::Yes;
        QVERIFY(MsgConfirm("削除", "指定確認", "顧客情報"));
    }

    void questionDefaultYesAcceptsOnDefault() {
        QVERIFY(MsgConfirm("登録", "確認", "設定"));
        QCOMPARE(rec.shown.size(), size_t(1));
        QCOMPARE(rec.shown[0].title, QString("登録の確認"));
        QCOMPARE(rec.shown[0].text, QString("設定 を登録します。よろしいですか"));
        QCOMPARE(rec.shown[0].defaultButton, QMessageBox::Yes);

        rec.replyDefault = false;
        rec.reply = QMessageBox::No;
        QVERIFY(!MsgConfirm("登録", "確認", "設定"));
    }

    void notices_neverConfirm_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("sub");
        QTest::addColumn<int>("reply");
        const QMessageBox::StandardButton replies[] = {QMessageBox::Ok, QMessageBox::Yes, QMessageBox::No};
        for (QMessageBox::StandardButton r : replies) {
            const QByteArray tag = QByteArray::number(int(r));
            QTest::newRow("warn " + tag) << "入力"
                                         << "数字のみ" << int(r);
            QTest::newRow("info " + tag) << "登録"
                                         << "完了" << int(r);
            QTest::newRow("other info " + tag) << "その他"
                                               << "メッセージ" << int(r);
        }
    }
    void notices_neverConfirm() {
        QFETCH(QString, kind);
        QFETCH(QString, sub);
        QFETCH(int, reply);
        rec.replyDefault = false;
        rec.reply = QMessageBox::StandardButton(reply);
        QVERIFY(!MsgConfirm(kind, sub, "伝票番号"));
        QCOMPARE(rec.shown.size(), size_t(1));
    }

    void warningShowsOkOnly() {
        QVERIFY(!MsgConfirm("入力", "数字のみ", "伝票番号"));
        QCOMPARE(rec.shown.size(), size_t(1));
        const msg::Shown& s = rec.shown[0];
        QCOMPARE(s.title, QString("入力注意"));
        QCOMPARE(s.text, QString("伝票番号には数字以外使用できません"));
        QCOMPARE(s.icon, QMessageBox::Warning);
        QCOMPARE(s.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(s.defaultButton, QMessageBox::Ok);
    }

    void unknownShowsNothing_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("sub");
        QTest::newRow("unknown kind") << "保存"
                                      << "確認";
        QTest::newRow("unknown sub") << "削除"
                                     << "存在しない";
        QTest::newRow("sub of another kind") << "転記"
                                             << "完了";
        QTest::newRow("prefix of a sub") << "削除"
                                         << "伝票";
        QTest::newRow("sub with extra blank") << "削除"
                                              << "確認 ";
        QTest::newRow("kind with extra blank") << "削除 "
                                               << "確認";
        QTest::newRow("empty") << ""
                               << "";
    }
    void unknownShowsNothing() {
        QFETCH(QString, kind);
        QFETCH(QString, sub);
        QVERIFY(!msg::lookup(kind, sub, "x").has_value());
        rec.replyDefault = false;
        rec.reply = QMessageBox::Yes;
        QVERIFY(!MsgConfirm(kind, sub, "x"));
        QVERIFY(rec.shown.empty());
    }

    void fixedTextIgnoresArgument_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("sub");
        QTest::addColumn<QString>("text");
        QTest::newRow("delete all") << "削除"
                                    << "確認"
                                    << "すべてのデータを削除します。よろしいですか";
        QTest::newRow("clear") << "クリア"
                               << "確認"
                               << "画面をクリアします。よろしいですか";
        QTest::newRow("row space") << "行指定"
                                   << "余白なし"
                                   << "行挿入する余白はありません。";
    }
    void fixedTextIgnoresArgument() {
        QFETCH(QString, kind);
        QFETCH(QString, sub);
        QFETCH(QString, text);
        MsgConfirm(kind, sub, "ヒント");
        QCOMPARE(rec.shown.size(), size_t(1));
        QCOMPARE(rec.shown[0].text, text);
        QVERIFY(!rec.shown[0].text.contains("ヒント"));
    }

    void argumentIsLiteral_data() {
        QTest::addColumn<QString>("arg");
        QTest::newRow("placeholder") << "%1";
        QTest::newRow("placeholders and percent") << "%1%2 100% %";
        QTest::newRow("doubled percent") << "50%% %L1";
        QTest::newRow("leading blank") << " 山田";
        QTest::newRow("empty") << "";
    }
    void argumentIsLiteral() {
        QFETCH(QString, arg);
        MsgConfirm("登録", "確認", arg);
        QCOMPARE(rec.shown.size(), size_t(1));
        QCOMPARE(rec.shown[0].text, arg + " を登録します。よろしいですか");
        // The placeholder in the middle of a pattern must be replaced exactly once, too.
        const auto m = msg::lookup("削除", "伝票確認", arg);
        QVERIFY(m.has_value());
        QCOMPARE(m->text, "伝票 " + arg + " を削除します。よろしいですか");
    }

    void leadingBlankKept() {
        MsgConfirm("登録", "確認", " 山田");
        QCOMPARE(rec.shown.size(), size_t(1));
        QVERIFY(rec.shown[0].text.startsWith(' '));
        QCOMPARE(rec.shown[0].text, QString(" 山田 を登録します。よろしいですか"));
    }

    void catalogueTexts_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("sub");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::newRow("register data") << "登録"
                                       << "データ確認"
                                       << "登録の確認"
                                       << "データ A を登録します。よろしいですか";
        QTest::newRow("register done2") << "登録"
                                        << "完了2"
                                        << "登録完了"
                                        << "データ  A を登録しました。";
        QTest::newRow("register no data") << "登録"
                                          << "データなし"
                                          << "入力項目のチェック"
                                          << "登録がデータがありません。";
        QTest::newRow("transfer") << "転記"
                                  << "確認"
                                  << "登録の確認"
                                  << "A に転記します。よろしいですか";
        QTest::newRow("delete refused") << "削除"
                                        << "削除不可能"
                                        << "削除の拒否"
                                        << "A削除できません。";
        QTest::newRow("delete blocked") << "削除"
                                        << "削除不可"
                                        << "削除不可"
                                        << "A にデータがあるため削除できません。メンテナンス機能で削除してください。";
        QTest::newRow("delete done") << "削除"
                                     << "完了"
                                     << "削除の完了"
                                     << "データ A を削除しました。";
        QTest::newRow("input required") << "入力"
                                        << "必須入力なし"
                                        << "入力注意"
                                        << "A指定されていません。確認してください";
        QTest::newRow("row duplicate") << "行指定"
                                       << "重複"
                                       << "入力注意"
                                       << "指定行は１回に１行です。行指定をやり直してください。";
        QTest::newRow("input duplicate") << "入力"
                                         << "重複"
                                         << "入力注意"
                                         << "Aが重複しています。確認してください";
        QTest::newRow("print") << "印刷"
                               << "確認"
                               << "印刷の確認"
                               << "Aを印刷します。よろしいですか";
        QTest::newRow("read done") << "その他"
                                   << "読込み完了"
                                   << "読込完了"
                                   << "A読込みしました。";
        QTest::newRow("plain message") << "その他"
                                       << "メッセージ"
                                       << "メッセージ"
                                       << "A";
        QTest::newRow("other confirm") << "その他"
                                       << "確認"
                                       << "確認"
                                       << "A、よろしいですか";
    }
    void catalogueTexts() {
        QFETCH(QString, kind);
        QFETCH(QString, sub);
        QFETCH(QString, title);
        QFETCH(QString, text);
        const auto m = msg::lookup(kind, sub, "A");
        QVERIFY(m.has_value());
        QCOMPARE(m->title, title);
        QCOMPARE(m->text, text);
    }

    void styleDecidesBox_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("sub");
        QTest::addColumn<int>("style");
        QTest::addColumn<QMessageBox::Icon>("icon");
        QTest::addColumn<QMessageBox::StandardButtons>("buttons");
        QTest::addColumn<QMessageBox::StandardButton>("defaultButton");
        QTest::addColumn<bool>("yesConfirms");
        const QMessageBox::StandardButtons ok(QMessageBox::Ok);
        auto ask = [&](const char* tag, const char* k, const char* s) {
            QTest::newRow(tag) << k << s << 292 << QMessageBox::Question << kYesNo << QMessageBox::No << true;
        };
        auto askYes = [&](const char* tag, const char* k, const char* s) {
            QTest::newRow(tag) << k << s << 36 << QMessageBox::Question << kYesNo << QMessageBox::Yes << true;
        };
        auto info = [&](const char* tag, const char* k, const char* s) {
            QTest::newRow(tag) << k << s << 64 << QMessageBox::Information << ok << QMessageBox::Ok << false;
        };
        auto warn = [&](const char* tag, const char* k, const char* s) {
            QTest::newRow(tag) << k << s << 48 << QMessageBox::Warning << ok << QMessageBox::Ok << false;
        };
        askYes("register confirm", "登録", "確認");
        askYes("register data confirm", "登録", "データ確認");
        askYes("other confirm", "その他", "確認");
        ask("transfer", "転記", "確認");
        ask("delete all", "削除", "確認");
        ask("delete slip2", "削除", "伝票確認2");
        ask("clear", "クリア", "確認");
        ask("print", "印刷", "確認");
        info("register code", "登録", "コード指定");
        info("delete blocked", "削除", "削除不可");
        info("input row blank", "入力", "上行空白");
        info("file missing", "その他", "ファイルなし");
        warn("input division", "入力", "区分なし");
        warn("input range", "入力", "範囲外");
        warn("row invalid", "行指定", "無効行");
        warn("row none", "行指定", "指定なし");
        warn("row space", "行指定", "余白なし");
        warn("caution", "その他", "注意");
    }
    void styleDecidesBox() {
        QFETCH(QString, kind);
        QFETCH(QString, sub);
        QFETCH(int, style);
        QFETCH(QMessageBox::Icon, icon);
        QFETCH(QMessageBox::StandardButtons, buttons);
        QFETCH(QMessageBox::StandardButton, defaultButton);
        QFETCH(bool, yesConfirms);

        const auto m = msg::lookup(kind, sub, "A");
        QVERIFY(m.has_value());
        QCOMPARE(int(m->style), style);

        rec.replyDefault = false;
        rec.reply = QMessageBox::Yes;
        QCOMPARE(MsgConfirm(kind, sub, "A"), yesConfirms);
        QCOMPARE(rec.shown.size(), size_t(1));
        const msg::Shown& s = rec.shown[0];
        QCOMPARE(s.title, m->title);
        QCOMPARE(s.text, m->text);
        QCOMPARE(s.icon, icon);
        QCOMPARE(s.buttons, buttons);
        QCOMPARE(s.defaultButton, defaultButton);
        QVERIFY(s.buttons.testFlag(s.defaultButton));
    }

    void realBoxIsShownAndAnswered() {
        msg::setAnswerer({});
        QString title, text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        bool defaultIsYes = false;
        bool clicked = false;
        int tries = 0;
        QTimer poll;
        poll.setInterval(10);
        connect(&poll, &QTimer::timeout, this, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) {
                if (++tries > 500)
                    poll.stop();
                return;
            }
            poll.stop();
            title = box->windowTitle();
            text = box->text();
            icon = box->icon();
            defaultIsYes = static_cast<QAbstractButton*>(box->defaultButton()) == box->button(QMessageBox::Yes);
            QAbstractButton* yes = box->button(QMessageBox::Yes);
            if (yes) {
                clicked = true;
                yes->click();
            }
        });
        poll.start();
        const bool result = MsgConfirm("登録", "確認", "設定");
        QVERIFY(clicked);
        QVERIFY(result);
        QCOMPARE(title, QString("登録の確認"));
        QCOMPARE(text, QString("設定 を登録します。よろしいですか"));
        QCOMPARE(icon, QMessageBox::Question);
        QVERIFY(defaultIsYes);
        QVERIFY(rec.shown.empty());
    }
};

QTEST_MAIN(TestMessages)
#include "test_messages.moc"
