#include "masters/settings.h"

#include "store/statements.h"

#include <QColorDialog>

void Entry設定(Database& main, const CompanySettings& s) {
    Transaction tx(main);
    auto rs = main.openRecordset(sql::S1());
    if (rs->eof()) {
        rs->addNew();
    } else {
        rs->moveFirst();
        rs->edit();
    }
    rs->setField(QStringLiteral("自社名"), s.自社名);
    rs->setField(QStringLiteral("自社情報"), s.自社情報);
    rs->setField(QStringLiteral("税区分"), s.税区分);
    rs->setField(QStringLiteral("LineColor1"), static_cast<std::int64_t>(s.LineColor1));
    rs->setField(QStringLiteral("登録番号"), s.登録番号.isEmpty() ? Value() : Value(s.登録番号));
    rs->setField(QStringLiteral("税率方式"), s.税率方式);
    rs->setField(QStringLiteral("端数処理"), s.端数処理);
    rs->setField(QStringLiteral("振込先"), s.振込先.isEmpty() ? Value() : Value(s.振込先));
    rs->setField(QStringLiteral("支払期限既定"), s.支払期限既定);
    rs->setField(QStringLiteral("日付表記"), s.日付表記);
    for (const auto& [field, text] : {std::pair{QStringLiteral("PeppolID"), &s.PeppolID},
                                      std::pair{QStringLiteral("郵便番号"), &s.郵便番号},
                                      std::pair{QStringLiteral("住所"), &s.住所}})
        rs->setField(field, text->isEmpty() ? Value() : Value(*text));
    rs->setField(QStringLiteral("締め明細印刷"), s.締め明細印刷);
    rs->update();
    tx.commit();
}

StoredSettings Read設定(Database& main) {
    StoredSettings s;
    auto rs = main.openRecordset(sql::S1());
    if (rs->eof())
        return s;
    rs->moveFirst();
    s.exists = true;
    auto text = [&](const char* f) -> std::optional<QString> {
        const Value v = rs->field(QString::fromUtf8(f));
        return v.isNull() ? std::nullopt : std::optional<QString>(v.toText());
    };
    s.税区分 = text("税区分");
    s.自社名 = text("自社名");
    s.自社情報 = text("自社情報");
    s.登録番号 = text("登録番号");
    s.税率方式 = text("税率方式");
    s.端数処理 = text("端数処理");
    s.振込先 = text("振込先");
    s.支払期限既定 = text("支払期限既定");
    s.日付表記 = text("日付表記");
    s.PeppolID = text("PeppolID");
    s.郵便番号 = text("郵便番号");
    s.住所 = text("住所");
    if (const Value v = rs->field(QStringLiteral("LineColor1")); !v.isNull())
        s.LineColor1 = v.toInt();
    s.締め明細印刷 = rs->field(QStringLiteral("締め明細印刷")).toBool();
    return s;
}

QString SchemeInForce(const StoredSettings& s) {
    if (!s.exists)
        return Scheme10_8;
    return s.税率方式 && Schemes.contains(*s.税率方式) ? *s.税率方式 : Scheme5;
}

namespace {
ColorDialogHook& hook() {
    static ColorDialogHook h;
    return h;
}
} // namespace

void setColorDialogHook(ColorDialogHook h) {
    hook() = std::move(h);
}

qint64 ChooseLineColor(QWidget* owner, qint64 initial) {
    // Every call starts again from 16 white custom colours.
    for (int i = 0; i < QColorDialog::customCount(); ++i)
        QColorDialog::setCustomColor(i, QColor(Qt::white));
    std::optional<QColor> chosen;
    if (hook()) {
        chosen = hook()(owner, ColorFromLong(initial));
    } else {
        const QColor c = QColorDialog::getColor(ColorFromLong(initial), owner, QStringLiteral("罫線の色"));
        if (c.isValid())
            chosen = c;
    }
    return chosen ? LongFromColor(*chosen) : -1;
}
