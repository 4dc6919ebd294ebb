#pragma once
#include "invoice/due_date.h"
#include "invoice/qualified.h"
#include "store/database.h"

#include <QColor>
#include <QWidget>
#include <functional>
#include <optional>

// How printed dates are written: 「西暦」 (2026/01/15, the default) or 「和暦」 (令和8年1月15日).
inline const QStringList DateStyles = {QStringLiteral("西暦"), QStringLiteral("和暦")};

struct CompanySettings {
    QString 自社名, 自社情報, 税区分;
    qint64 LineColor1 = 0;
    QString 登録番号 = {};              // as normalised; "" stores none
    QString 税率方式 = Scheme10_8, 端数処理 = RoundHalf;
    QString 振込先 = {};                // the account(s) to pay into, copied onto each invoice issued
    QString 支払期限既定 = DueDateRules.front();
    QString 日付表記 = DateStyles.front();
    QString PeppolID = {}, 郵便番号 = {}, 住所 = {}; // the digital invoice's address of the company
    bool 締め明細印刷 = false; // a monthly summary prints its notes' item lines under each note
};
// Saves the page into the company record, all or nothing; the counter is left alone.
void Entry設定(Database& main, const CompanySettings& s);

struct StoredSettings {
    bool exists = false;
    std::optional<QString> 自社名, 自社情報, 税区分;
    std::optional<qint64> LineColor1;
    std::optional<QString> 登録番号, 税率方式, 端数処理;
    std::optional<QString> 振込先, 支払期限既定, 日付表記;
    std::optional<QString> PeppolID, 郵便番号, 住所;
    bool 締め明細印刷 = false;
};
StoredSettings Read設定(Database& main);
// The tax scheme the books work under. Books without a settings record (a new data folder, or
// after the full wipe) work under today's "10%・8%"; a record without a scheme is a book from
// before schemes existed and, like a scheme the list does not hold, reads as "5%".
QString SchemeInForce(const StoredSettings& s);

// Colours as long integers, red in the low byte.
inline QColor ColorFromLong(qint64 v) {
    return QColor(int(v & 0xff), int((v >> 8) & 0xff), int((v >> 16) & 0xff));
}
inline qint64 LongFromColor(const QColor& c) {
    return c.red() | (c.green() << 8) | (qint64(c.blue()) << 16);
}

// The modal colour chooser: 16 white custom colours at every call; -1 on cancel.
qint64 ChooseLineColor(QWidget* owner, qint64 initial);
// Replaces the dialog (tests); it receives the initial colour and returns the pick or nothing.
using ColorDialogHook = std::function<std::optional<QColor>(QWidget* owner, const QColor& initial)>;
void setColorDialogHook(ColorDialogHook hook);
