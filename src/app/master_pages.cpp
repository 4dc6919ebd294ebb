// The customer, product and settings pages' routines, and the full wipe.
#include "app/frm_vornisa.h"
#include "masters/customers.h"
#include "masters/products.h"
#include "masters/settings.h"
#include "masters/wipe.h"
#include "messages/msg.h"

namespace {
const QString Kind登録 = QStringLiteral("登録");
const QString Kind削除 = QStringLiteral("削除");
} // namespace

void FrmVornisa::workThenRefresh(BoundTable* table, const QString& failure, const std::function<bool()>& work) {
    try {
        if (!work())
            return;
    } catch (const DbError& e) {
        notifyFailure(failure, e);
    }
    table->refresh();
}

void FrmVornisa::Read顧客マスタ() {
    workThenRefresh(dat顧客, QStringLiteral("顧客情報を読み込めませんでした。"), [this] {
        ::Read顧客マスタ(*dbWork, MainDbPath);
        return true;
    });
}

void FrmVornisa::Entry顧客情報() {
    if (!MsgConfirm(Kind登録, QStringLiteral("確認"), QStringLiteral("顧客情報")))
        return;
    Grid顧客マスタ->commitPending();
    workThenRefresh(dat顧客, QStringLiteral("顧客情報は登録されませんでした。"), [this] {
        ::Entry顧客情報(*dbMain, *dbWork);
        return true;
    });
}

void FrmVornisa::Delete顧客() {
    if (!MsgConfirm(Kind削除, QStringLiteral("指定確認"), QStringLiteral("顧客情報")))
        return;
    workThenRefresh(dat顧客, QStringLiteral("顧客情報の削除は完了しませんでした。"),
                    [this] { return ::Delete顧客(*dbMain, *dbWork); });
}

void FrmVornisa::Clear顧客情報() {
    workThenRefresh(dat顧客, QStringLiteral("顧客画面を消去できませんでした。"), [this] {
        ::Clear顧客情報(*dbWork);
        return true;
    });
}

void FrmVornisa::Read商品マスタ() {
    workThenRefresh(dat商品, QStringLiteral("商品情報を読み込めませんでした。"), [this] {
        ::Read商品マスタ(*dbWork, MainDbPath);
        return true;
    });
}

void FrmVornisa::Entry商品情報() {
    if (!MsgConfirm(Kind登録, QStringLiteral("確認"), QStringLiteral("商品情報")))
        return;
    Grid商品マスタ->commitPending();
    workThenRefresh(dat商品, QStringLiteral("商品情報は登録されませんでした。"), [this] {
        ::Entry商品情報(*dbMain, *dbWork);
        return true;
    });
}

void FrmVornisa::Delete商品() {
    if (!MsgConfirm(Kind削除, QStringLiteral("指定確認"), QStringLiteral("商品情報")))
        return;
    Grid商品マスタ->commitPending(); // a tick just set in the row being edited counts
    workThenRefresh(dat商品, QStringLiteral("商品情報の削除は完了しませんでした。"),
                    [this] { return ::Delete商品(*dbMain, *dbWork); });
}

void FrmVornisa::Clear商品情報() {
    workThenRefresh(dat商品, QStringLiteral("商品画面を消去できませんでした。"), [this] {
        ::Clear商品情報(*dbWork);
        return true;
    });
}

void FrmVornisa::Clear設定() {
    cmb税区分->clear();
    cmb税区分->addItems({QStringLiteral("外税"), QStringLiteral("内税"), QStringLiteral("非課税")});
    cmb税区分->setCurrentText(QStringLiteral("外税"));
    num白紙罫線色->setValue(Currency::fromWhole(1));
    showLineColor(0);
}

void FrmVornisa::showTaxCategory(const QString& category) {
    // A stored text outside the list shows as itself, never as the previous pick, so that the
    // next save cannot write a category the user did not see.
    if (cmb税区分->findText(category) < 0)
        cmb税区分->addItem(category);
    cmb税区分->setCurrentIndex(cmb税区分->findText(category));
}

void FrmVornisa::showLineColor(qint64 colour) {
    QPalette p = Pic罫線色->palette();
    p.setColor(QPalette::Window, ColorFromLong(colour));
    Pic罫線色->setPalette(p);
}

void FrmVornisa::Entry設定() {
    if (!MsgConfirm(Kind登録, QStringLiteral("確認"), QStringLiteral("設定")))
        return;
    CompanySettings s;
    s.自社名 = txt自社名->text();
    s.自社情報 = txt自社情報->toPlainText();
    s.税区分 = cmb税区分->currentText();
    s.LineColor1 = num白紙罫線色->value().value_or(Currency()).truncated();
    try {
        ::Entry設定(*dbMain, s);
    } catch (const DbError& e) {
        notifyFailure(QStringLiteral("設定は登録されませんでした。"), e);
    }
}

void FrmVornisa::Read設定() {
    StoredSettings s;
    try {
        s = ::Read設定(*dbMain);
    } catch (const DbError& e) {
        notifyFailure(QStringLiteral("設定を読み込めませんでした。"), e);
        return;
    }
    if (!s.exists) {
        cfg税区分 = QStringLiteral("外税");
        showTaxCategory(cfg税区分);
        return;
    }
    cfg税区分 = s.税区分.value_or(QStringLiteral("外税"));
    showTaxCategory(cfg税区分);
    cfg自社名 = s.自社名.value_or(QString());
    txt自社名->setText(cfg自社名);
    cfg自社情報 = s.自社情報.value_or(QString());
    txt自社情報->setPlainText(cfg自社情報);
    cfgLineColor1 = s.LineColor1.value_or(0);
    num白紙罫線色->setValue(Currency::fromWhole(cfgLineColor1));
    showLineColor(num白紙罫線色->value().value_or(Currency()).truncated());
}

void FrmVornisa::Pic罫線色_Click() {
    const qint64 chosen = ChooseLineColor(this, num白紙罫線色->value().value_or(Currency()).truncated());
    if (chosen == -1)
        return;
    showLineColor(chosen);
    num白紙罫線色->setValue(Currency::fromWhole(chosen));
}

void FrmVornisa::Data初期化() {
    if (!MsgConfirm(QStringLiteral("その他"), QStringLiteral("確認"), QStringLiteral("すべてのデータを初期化します。")))
        return;
    try {
        ::Data初期化(*dbMain);
    } catch (const DbError& e) {
        notifyFailure(QStringLiteral("データは初期化されませんでした。"), e);
        return;
    }
    MsgConfirm(QStringLiteral("その他"), QStringLiteral("メッセージ"),
               QStringLiteral("すべてのデータを初期化しました"));
}
