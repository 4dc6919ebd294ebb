#include "messages/msg.h"

#include <QApplication>
#include <QWidget>

namespace msg {
namespace {

struct Row {
    const char* kind;
    const char* sub;
    const char* title;
    const char* pattern; // "%1" marks where the argument goes; absent when it is not shown
    Style style;
};

// Order matters: kinds are searched top to bottom and the first match wins.
const Row kCatalogue[] = {
    {"登録", "確認", "登録の確認", "%1 を登録します。よろしいですか", Style::AskYes},
    {"登録", "データ確認", "登録の確認", "データ %1 を登録します。よろしいですか", Style::AskYes},
    {"登録", "伝票確認", "登録の確認", "伝票 %1 を登録します。よろしいですか", Style::AskYes},
    {"登録", "コード指定", "登録注意", "コードが指定されていません。コードを指定してください。", Style::Info},
    {"登録", "完了", "登録完了", "%1 を登録しました。", Style::Info},
    {"登録", "完了2", "登録完了", "データ  %1 を登録しました。", Style::Info},
    {"登録", "チェック", "入力項目のチェック", "入力必須項目が空白です。", Style::Info},
    {"登録", "商品未登録", "入力項目のチェック", "登録商品データがありません。", Style::Info},
    {"登録", "データなし", "入力項目のチェック", "登録がデータがありません。", Style::Info},

    {"転記", "確認", "登録の確認", "%1 に転記します。よろしいですか", Style::Ask},

    {"削除", "確認", "削除の確認", "すべてのデータを削除します。よろしいですか", Style::Ask},
    {"削除", "伝票確認", "削除の確認", "伝票 %1 を削除します。よろしいですか", Style::Ask},
    {"削除", "伝票確認2", "削除の確認", "%1 を削除します。よろしいですか", Style::Ask},
    {"削除", "データ確認", "削除の確認", "データ %1 を削除します。よろしいですか", Style::Ask},
    {"削除", "指定確認", "削除の確認", "指定された %1 を削除します。よろしいですか", Style::Ask},
    {"削除", "伝票完了", "削除の完了", "伝票 %1 を削除しました。", Style::Info},
    {"削除", "削除不可能", "削除の拒否", "%1削除できません。", Style::Info},
    {"削除", "伝票完了2", "削除の完了", "%1 を削除しました。", Style::Info},
    {"削除", "完了", "削除の完了", "データ %1 を削除しました。", Style::Info},
    {"削除", "削除不可", "削除不可", "%1 にデータがあるため削除できません。メンテナンス機能で削除してください。",
     Style::Info},

    {"入力", "上行空白", "入力注意", "上の行が空白です。データは連続して指定してください。", Style::Info},
    {"入力", "区分なし", "入力注意", "区分が指定されていません。区分を指定してください", Style::Warn},
    {"入力", "必須入力なし", "入力注意", "%1指定されていません。確認してください", Style::Warn},
    {"入力", "重複", "入力注意", "%1が重複しています。確認してください", Style::Warn},
    {"入力", "範囲外", "入力注意", "%1が指定範囲外です。確認してください", Style::Warn},
    {"入力", "数字のみ", "入力注意", "%1には数字以外使用できません", Style::Warn},

    {"行指定", "無効行", "入力注意", "無効な行が指定されています。行指定をやり直してください。", Style::Warn},
    {"行指定", "指定なし", "入力注意", "行が指定されていません。行指定してください。", Style::Warn},
    {"行指定", "重複", "入力注意", "指定行は１回に１行です。行指定をやり直してください。", Style::Warn},
    {"行指定", "余白なし", "行挿入注意", "行挿入する余白はありません。", Style::Warn},

    {"作成", "元伝票なし", "作成の拒否", "%1 は削除されているため、作成の元にできません。", Style::Warn},

    {"クリア", "確認", "画面クリアの確認", "画面をクリアします。よろしいですか", Style::Ask},

    {"印刷", "確認", "印刷の確認", "%1を印刷します。よろしいですか", Style::Ask},

    {"読込", "他のPC", "他のPCの変更",
     "%1\n読み込み直して、今の内容を表示しますか？（この画面で登録していない入力は消えます）", Style::Ask},

    {"その他", "コピー完了", "コピー完了", "%1コピーしました。", Style::Info},
    {"その他", "読込み完了", "読込完了", "%1読込みしました。", Style::Info},
    {"その他", "メッセージ", "メッセージ", "%1", Style::Info},
    {"その他", "注意", "注意", "%1", Style::Warn},
    {"その他", "ファイルなし", "ファイルなし", "%1がありません。確認してください。", Style::Info},
    {"その他", "確認", "確認", "%1、よろしいですか", Style::AskYes},
    {"その他", "終了確認", "終了の確認", "登録されていない%1があります。終了します、よろしいですか", Style::Ask},

    {"バックアップ", "完了", "バックアップ完了", "バックアップを作成しました。\n%1", Style::Info},
    {"バックアップ", "コピー完了", "バックアップ完了", "バックアップを %1 にコピーしました。", Style::Info},
    {"バックアップ", "失敗", "バックアップの失敗", "バックアップを作成できませんでした。\n%1", Style::Warn},
    {"バックアップ", "コピー失敗", "バックアップの失敗", "バックアップをコピーできませんでした。\n%1", Style::Warn},
    {"バックアップ", "初期化中止", "バックアップの失敗",
     "バックアップを作成できなかったため、データは初期化しませんでした。\n%1", Style::Warn},

    {"復元", "確認", "復元の確認", "データを %1 のバックアップの状態に戻します。よろしいですか", Style::Ask},
    {"復元", "完了", "復元完了", "データを %1 のバックアップの状態に戻しました。", Style::Info},
    {"復元", "不可", "復元の拒否", "このバックアップは壊れているため復元できません。データは変更していません。\n%1",
     Style::Warn},
    {"復元", "失敗", "復元の失敗", "復元できませんでした。データは元のままです。\n%1", Style::Warn},
    {"復元", "使用中", "復元の拒否",
     "サーバーの帳簿をほかのPCの Vornisa が使っているため、復元できません。データは変更していません。"
     "次のPCの Vornisa を終了してから、もう一度復元してください。\n%1",
     Style::Warn},
    {"復元", "リンク", "復元の拒否",
     "このバックアップはリンク（別の場所にあるフォルダーやファイルを指すもの）のため復元できません。データは変更して"
     "いません。バックアップのフォルダーそのものをデータフォルダーの backup にコピーしてから選んでください。\n%1",
     Style::Warn},
    {"復元", "中断戻し", "復元の中断",
     "前回の復元は完了する前に中断されました。データは復元の前の状態に戻しました。", Style::Warn},
    {"復元", "中断完了", "復元の中断",
     "前回の復元は、完了の表示の前に中断されました。復元は済んでいるため、データはバックアップの状態です。",
     Style::Info},

    {"CSV", "読めない行", "CSV取込の注意", "次の行は読み取れないため取り込みませんでした。\n%1", Style::Warn},
    {"CSV", "失敗", "CSVの注意", "%1", Style::Warn},
    {"CSV", "書込失敗", "CSVの注意", "CSVファイルを書き出せませんでした。前のファイルはそのままです。\n%1",
     Style::Warn},

    {"入金", "不可", "入金の注意", "入金は登録されませんでした。\n%1", Style::Warn},
    {"入金", "請求日前", "入金の注意", "入金日 %1 は請求書の日付より前です。入金は登録しました。日付を確かめてください。",
     Style::Warn},
    {"入金", "削除確認", "入金の削除", "%1 の入金を取り消します。よろしいですか", Style::Ask},
    {"入金", "未登録", "入金の注意", "伝票 %1 は登録されていません。登録した請求書に入金を記録してください。", Style::Info},
    {"入金", "削除不可", "入金の注意", "伝票 %1 には入金が記録されています。削除するには先に入金を取り消してください。",
     Style::Info},
    {"入金", "請求書のみ", "入金の注意", "入金は請求書に記録します。%1 には記録できません。", Style::Info},
    {"入金", "過入金", "入金の注意", "伝票 %1 は入金額が請求額を超えています（過入金）。", Style::Warn},
    {"締め", "対象なし", "請求締め", "%1 に締める顧客・納品書はありません。", Style::Info},
    {"締め", "確認", "請求締めの確認", "%1 件の合計請求書を作成し、納品書を請求済みにします。よろしいですか", Style::AskYes},
    {"締め", "完了", "請求締め", "合計請求書を作成しました。\n%1", Style::Info},
    {"締め", "不可", "請求締めの注意", "請求締めはできませんでした。何も変更していません。\n%1", Style::Warn},
    {"締め", "取消確認", "請求締めの取消",
     "%1 の最後の締めを取り消します。合計請求書は削除され、納品書は未請求に戻ります。よろしいですか", Style::Ask},
    {"締め", "削除不可", "請求締めの注意",
     "伝票 %1 は請求締めで作った合計請求書です。売掛金ページの「請求締め…」で締めを取り消してください。", Style::Info},
    {"締め", "取消不可", "請求締めの注意", "締めは取り消されませんでした。\n%1", Style::Warn},
    {"仕訳", "作成不可", "仕訳CSVの注意", "仕訳CSVを作成できません。ファイルは作成していません。\n%1", Style::Warn},
    {"仕訳", "完了", "仕訳CSV", "仕訳CSVを作成しました。\n%1", Style::Info},
    {"仕訳", "保存失敗", "仕訳CSVの注意", "仕訳CSVを保存できませんでした。\n%1", Style::Warn},
    {"仕訳", "訂正あり", "仕訳CSVの注意",
     "次の請求書は前回この期間を出力した後に訂正または削除されています。今の内容で出力します。\n%1", Style::Warn},

    {"デジタルインボイス", "作成不可", "デジタルインボイスの注意",
     "次の項目が足りないため、デジタルインボイスを作成できません。ファイルは作成していません。\n%1", Style::Warn},
    {"デジタルインボイス", "完了", "デジタルインボイス", "デジタルインボイスを作成しました。\n%1", Style::Info},
    {"デジタルインボイス", "保存失敗", "デジタルインボイスの注意", "デジタルインボイスを保存できませんでした。\n%1",
     Style::Warn},
    {"デジタルインボイス", "読込不可", "デジタルインボイス取込の注意", "このファイルは読み込めません。\n%1", Style::Warn},
    {"デジタルインボイス", "不一致", "デジタルインボイス取込の注意",
     "金額の合わない箇所があります。請求元に確認してください。\n%1", Style::Warn},

    {"起動", "使用中", "Vornisa",
     "データフォルダー %1 は別の Vornisa ウィンドウで使用中です。そちらのウィンドウをお使いください。", Style::Warn},
    {"起動", "書込不可", "Vornisa",
     "データフォルダー %1 に書き込めないため起動できません。フォルダーの書き込み権限を確認してください。", Style::Warn},
    {"起動", "作成不可", "Vornisa", "データフォルダーを作成できないため起動できません。\n%1", Style::Warn},
    {"起動", "読取専用", "Vornisa",
     "データファイルが読み取り専用のため起動できません。ファイルの書き込み権限を確認してください。\n%1", Style::Warn},
    {"起動", "作成", "Vornisa",
     "データを保存するフォルダーを作成しました。\n%1\n\n請求書・顧客・商品・設定のデータはすべてこのフォルダーに"
     "保存されます。この場所の確認とバックアップは「設定・情報」ページでできます。",
     Style::Info},

    {"画像", "読めない", "画像の注意",
     "PNG または JPEG の画像として読み込めないため、取り込みませんでした。画像は変更していません。\n%1", Style::Warn},
    {"画像", "大きすぎ", "画像の注意",
     "ファイルが大きすぎる（30 MB を超える）ため、取り込みませんでした。画像は変更していません。\n%1", Style::Warn},

    // Parts joined into the messages above (reasons, items of a list); never shown alone.
    {"文言", "行", "", "%1行目", Style::Info},
    {"文言", "行範囲", "", "%1行目（\" が閉じていません）", Style::Info},
    {"文言", "文字化け", "", "%1（文字化け）", Style::Info},
    {"文言", "ほか", "", "、ほか%1行", Style::Info},
    {"文言", "空き容量", "", "ディスクの空き容量が足りません。", Style::Info},
    {"文言", "書込権限", "", "書き込む権限がありません。フォルダーの書き込み権限を確認してください。", Style::Info},
    {"文言", "書込不可", "", "%1 に書き込めません。空き容量と書き込み権限を確認してください。", Style::Info},
    {"文言", "読込不可", "", "%1 を読めません。", Style::Info},
    {"文言", "リンク", "", "%1 はリンク（別の場所を指すもの）です。", Style::Info},
    {"文言", "大きすぎ", "",
     "%1 は大きすぎるため取り込みません。取り込めるのは 1,000,000 行、100 MB までです。ファイルを分けてください。",
     Style::Info},
    {"文言", "見出し文字化け", "",
     "1行目の見出しの文字を読み取れません。UTF-8 か Shift_JIS で保存したファイルを選んでください。", Style::Info},
    {"文言", "検索文字数", "", "検索する顧客は%1文字までです。それより後の文字は入りませんでした。", Style::Info},
    {"文言", "取込中", "", "%1のCSVを取り込んでいます…", Style::Info},
    {"文言", "中止", "", "中止", Style::Info},
};

// Splices the argument in once, so '%' sequences inside it are never expanded again.
QString join(const QString& pattern, const QString& arg) {
    const qsizetype at = pattern.indexOf(QStringLiteral("%1"));
    if (at < 0)
        return pattern;
    return pattern.left(at) + arg + pattern.mid(at + 2);
}

Answerer& answerer() {
    static Answerer a;
    return a;
}

Shown present(const Message& m) {
    switch (m.style) {
    case Style::Ask:
        return {m.title, m.text, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No, QMessageBox::No};
    case Style::AskYes:
        return {m.title, m.text, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes};
    case Style::Info:
        return {m.title, m.text, QMessageBox::Information, QMessageBox::Ok, QMessageBox::Ok};
    case Style::Warn:
        break;
    }
    return {m.title, m.text, QMessageBox::Warning, QMessageBox::Ok, QMessageBox::Ok};
}

QMessageBox::StandardButton showModal(const Shown& s) {
    QMessageBox box(s.icon, s.title, s.text, s.buttons, QApplication::activeWindow());
    box.setDefaultButton(s.defaultButton);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

} // namespace

std::optional<Message> lookup(const QString& kind, const QString& sub, const QString& arg) {
    for (const Row& r : kCatalogue) {
        if (kind == QString::fromUtf8(r.kind) && sub == QString::fromUtf8(r.sub))
            return Message{QString::fromUtf8(r.title), join(QString::fromUtf8(r.pattern), arg), r.style};
    }
    return std::nullopt;
}

QString text(const QString& kind, const QString& sub, const QString& arg) {
    const auto m = lookup(kind, sub, arg);
    Q_ASSERT_X(m, "msg::text", "not in the catalogue");
    return m ? m->text : arg;
}

void setAnswerer(Answerer a) {
    answerer() = std::move(a);
}

void ShowError(const QString& title, const QString& text) {
    const Shown shown{title, text, QMessageBox::Critical, QMessageBox::Ok, QMessageBox::Ok};
    answerer() ? answerer()(shown) : showModal(shown);
}

} // namespace msg

bool MsgConfirm(const QString& kind, const QString& sub, const QString& arg) {
    const auto m = msg::lookup(kind, sub, arg);
    if (!m)
        return false;
    const msg::Shown shown = msg::present(*m);
    const QMessageBox::StandardButton answer = msg::answerer() ? msg::answerer()(shown) : msg::showModal(shown);
    const bool isQuestion = m->style == msg::Style::Ask || m->style == msg::Style::AskYes;
    return isQuestion && answer == QMessageBox::Yes;
}
