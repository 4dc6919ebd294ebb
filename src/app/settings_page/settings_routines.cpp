// The settings page's routines: the settings read, shown and registered, the full wipe, a backup.
#include "app/settings_page/settings_page.h"

#include "app/page_parts.h"
#include "backup/backup.h"
#include "masters/images.h"
#include "journal/stored.h"
#include "masters/settings.h"
#include "masters/wipe.h"
#include "messages/msg.h"
#include "ui/number_box.h"

#include <QDir>

namespace {
const QString Kind登録 = QStringLiteral("登録");
const QString Kindバックアップ = QStringLiteral("バックアップ");
QString imageName(CompanyImage which) {
    return which == CompanyImage::印影 ? QStringLiteral("印影") : QStringLiteral("ロゴ");
}
} // namespace

void SettingsPage::Clear設定() {
    cmb税区分->clear();
    cmb税区分->addItems({QStringLiteral("外税"), QStringLiteral("内税"), QStringLiteral("非課税")});
    cmb税区分->setCurrentText(QStringLiteral("外税"));
    cmb税率方式->clear();
    cmb税率方式->addItems(Schemes);
    cmb税率方式->setCurrentText(Scheme10_8);
    cmb端数処理->clear();
    cmb端数処理->addItems(RoundingModes);
    cmb端数処理->setCurrentText(RoundHalf);
    cmb支払期限既定->clear();
    cmb支払期限既定->addItems(DueDateRules);
    cmb日付表記->clear();
    cmb日付表記->addItems(DateStyles);
    num白紙罫線色->setValue(Currency::fromWhole(1));
    showLineColor(0);
    chk締め明細印刷->setChecked(false);
}

void SettingsPage::showTaxCategory(const QString& category) {
    // A stored text outside the list shows as itself, never as the previous pick, so that the
    // next save cannot write a category the user did not see.
    if (cmb税区分->findText(category) < 0)
        cmb税区分->addItem(category);
    cmb税区分->setCurrentIndex(cmb税区分->findText(category));
}

void SettingsPage::showLineColor(qint64 colour) {
    QPalette p = Pic罫線色->palette();
    p.setColor(QPalette::Window, ColorFromLong(colour));
    Pic罫線色->setPalette(p);
}

bool SettingsPage::Entry設定() {
    if (!MsgConfirm(Kind登録, QStringLiteral("確認"), QStringLiteral("設定")))
        return true;
    CompanySettings s;
    const RegNoCheck number = NormaliseRegNo(txt登録番号->text(), &s.登録番号);
    if (number == RegNoCheck::Invalid) {
        MsgConfirm(QStringLiteral("入力"), QStringLiteral("範囲外"), QStringLiteral("登録番号"));
        txt登録番号->setFocus();
        return false;
    }
    s.税率方式 = cmb税率方式->currentText();
    s.端数処理 = cmb端数処理->currentText();
    s.自社名 = txt自社名->text();
    s.自社情報 = txt自社情報->toPlainText();
    s.税区分 = cmb税区分->currentText();
    s.LineColor1 = num白紙罫線色->value().value_or(Currency()).truncated();
    s.振込先 = txt振込先->toPlainText();
    s.支払期限既定 = cmb支払期限既定->currentText();
    s.日付表記 = cmb日付表記->currentText();
    s.締め明細印刷 = chk締め明細印刷->isChecked();
    QList<JournalNames> names;
    if (!takePeppolJournal(s, names))
        return false;
    try {
        // The company and the journal names are one registration: both or neither.
        Transaction tx(*books_.dbMain);
        ::Entry設定(*books_.dbMain, s);
        SaveJournalNames(*books_.dbMain, names);
        tx.commit();
    } catch (const DbError& e) {
        notifyFailure(QStringLiteral("設定は登録されませんでした。"), e);
        return true;
    }
    // Numbers of individuals need not follow the check digit, so such a number is kept.
    if (number == RegNoCheck::BadCheckDigit)
        MsgConfirm(QStringLiteral("その他"), QStringLiteral("注意"),
                   QStringLiteral("登録番号 ") + s.登録番号 +
                       QStringLiteral(
                           " は検査用数字が合いません。番号に誤りがないか確かめてください（設定は登録しました）。"));
    return true;
}

void SettingsPage::Read設定() {
    StoredSettings s;
    try {
        s = ::Read設定(*books_.dbMain);
    } catch (const DbError& e) {
        notifyFailure(QStringLiteral("設定を読み込めませんでした。"), e);
        return;
    }
    // A new or wiped book works under today's rates; an old record without a scheme stays at 5%.
    books_.cfg税率方式 = SchemeInForce(s);
    cmb税率方式->setCurrentText(books_.cfg税率方式);
    // What an invoice takes from the settings; unset, or a text the lists do not hold: the defaults.
    books_.cfg振込先 = s.振込先.value_or(QString());
    txt振込先->setPlainText(books_.cfg振込先);
    books_.cfg支払期限既定 =
        DueDateRules.contains(s.支払期限既定.value_or(QString())) ? *s.支払期限既定 : DueDateRules.front();
    cmb支払期限既定->setCurrentText(books_.cfg支払期限既定);
    cmb日付表記->setCurrentText(DateStyles.contains(s.日付表記.value_or(QString())) ? *s.日付表記 : DateStyles.front());
    chk締め明細印刷->setChecked(s.締め明細印刷);
    showImages();
    showPeppolJournal(s);
    if (!s.exists) {
        books_.cfg税区分 = QStringLiteral("外税");
        showTaxCategory(books_.cfg税区分);
        emit settingsRead();
        return;
    }
    // Unset, or a text the list does not hold: the default.
    books_.cfg端数処理 = RoundingModes.contains(s.端数処理.value_or(QString())) ? *s.端数処理 : RoundHalf;
    cmb端数処理->setCurrentText(books_.cfg端数処理);
    books_.cfg登録番号 = s.登録番号.value_or(QString());
    txt登録番号->setText(books_.cfg登録番号);
    books_.cfg税区分 = s.税区分.value_or(QStringLiteral("外税"));
    showTaxCategory(books_.cfg税区分);
    books_.cfg自社名 = s.自社名.value_or(QString());
    txt自社名->setText(books_.cfg自社名);
    books_.cfg自社情報 = s.自社情報.value_or(QString());
    txt自社情報->setPlainText(books_.cfg自社情報);
    books_.cfgLineColor1 = s.LineColor1.value_or(0);
    num白紙罫線色->setValue(Currency::fromWhole(books_.cfgLineColor1));
    showLineColor(num白紙罫線色->value().value_or(Currency()).truncated());
    emit settingsRead();
}

void SettingsPage::Start設定() {
    books_.forgetSettings();
    txt自社名->clear();
    txt自社情報->clear();
    txt登録番号->clear();
    Clear設定();
    Read設定();
}

void SettingsPage::Pic罫線色_Click() {
    const qint64 chosen = ChooseLineColor(window(), num白紙罫線色->value().value_or(Currency()).truncated());
    if (chosen == -1)
        return;
    showLineColor(chosen);
    num白紙罫線色->setValue(Currency::fromWhole(chosen));
}

void SettingsPage::showImages() {
    try {
        seal_ = Read画像(*books_.dbMain, CompanyImage::印影);
        logo_ = Read画像(*books_.dbMain, CompanyImage::ロゴ);
    } catch (const DbError& e) {
        notifyFailure(QStringLiteral("印影とロゴを読み込めませんでした。"), e);
    }
    for (auto [pic, image, remove] :
         {std::tuple{Pic印影, &seal_, cmd印影削除}, std::tuple{Picロゴ, &logo_, cmdロゴ削除}}) {
        if (image->isNull())
            pic->setText(QStringLiteral("なし"));
        else
            pic->setPixmap(QPixmap::fromImage(
                image->scaled(pic->contentsRect().size(), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
        remove->setEnabled(!image->isNull());
    }
}

void SettingsPage::Import画像(CompanyImage which) {
    const QString name = imageName(which);
    const QString path = books_.chooseOpenFile(window(), name + QStringLiteral("の画像を選ぶ"),
                                                QStringLiteral("画像 (*.png *.jpg *.jpeg)"));
    if (path.isEmpty())
        return;
    QString refusal;
    try {
        refusal = ::Import画像(*books_.dbMain, which, path);
    } catch (const DbError& e) {
        notifyFailure(name + QStringLiteral("は登録されませんでした。"), e);
        return;
    }
    if (!refusal.isEmpty()) {
        MsgConfirm(QStringLiteral("画像"), refusal, QDir::toNativeSeparators(path));
        return;
    }
    showImages();
}

void SettingsPage::Delete画像(CompanyImage which) {
    const QString name = imageName(which);
    if (!MsgConfirm(QStringLiteral("削除"), QStringLiteral("伝票確認2"), name + QStringLiteral("の画像")))
        return;
    try {
        ::Delete画像(*books_.dbMain, which);
    } catch (const DbError& e) {
        notifyFailure(name + QStringLiteral("は削除されませんでした。"), e);
        return;
    }
    showImages();
}

void SettingsPage::Data初期化() {
    if (!MsgConfirm(QStringLiteral("その他"), QStringLiteral("確認"), QStringLiteral("すべてのデータを初期化します。")))
        return;
    // A Yes pressed by mistake can be undone from this copy; without it the wipe does not run.
    try {
        makeBackup(*books_.dbMain, *books_.dbWork, books_.DataPath, reason::BeforeWipe);
    } catch (const BackupError& e) {
        MsgConfirm(Kindバックアップ, QStringLiteral("初期化中止"), e.text);
        return;
    }
    try {
        ::Data初期化(*books_.dbMain);
    } catch (const DbError& e) {
        notifyFailure(QStringLiteral("データは初期化されませんでした。"), e);
        return;
    }
    // The settings in force, the seal and the logo went with the record the wipe removed.
    Read設定();
    emit wiped();
    MsgConfirm(QStringLiteral("その他"), QStringLiteral("メッセージ"),
               QStringLiteral("すべてのデータを初期化しました"));
}

void SettingsPage::cmdバックアップ_Click() {
    BackupInfo b;
    try {
        b = makeBackup(*books_.dbMain, *books_.dbWork, books_.DataPath, reason::Manual);
    } catch (const BackupError& e) {
        MsgConfirm(Kindバックアップ, QStringLiteral("失敗"), e.text);
        return;
    }
    const QString target = books_.chooseCopyFolder(
        window(),
        QStringLiteral(
            "バックアップのコピー先（USBメモリなど）を選んでください。キャンセルしてもバックアップは残ります"));
    if (target.isEmpty()) {
        MsgConfirm(Kindバックアップ, QStringLiteral("完了"), QDir::toNativeSeparators(b.folder));
        return;
    }
    try {
        const QString copied = copyBackupTo(b, target);
        MsgConfirm(Kindバックアップ, QStringLiteral("コピー完了"), QDir::toNativeSeparators(copied));
    } catch (const BackupError& e) {
        MsgConfirm(Kindバックアップ, QStringLiteral("コピー失敗"), e.text);
    }
}
