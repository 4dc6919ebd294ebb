#pragma once
#include "book/history.h"
#include "book/kinds.h"
#include "store/currency.h"
#include "store/database.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <optional>


enum class NumberCheck { Empty, Ok, NotNumeric, OutOfRange };

// An invoice number is digits (leading zeros allowed; full-width ones count as typed with the
// input method on) worth 1 to 2,147,483,647.
NumberCheck CheckInvoiceNumber(const QString& text, qint32* number);

// True when registering would leave a line out: a named line below the first line without a
// name, or a line without a name that holds a quantity, unit price or amount.
bool LinesHaveGap(Database& work);

// How a customer is addressed after the name; the first is the default, "" prints none.
inline const QStringList Honorifics = {QStringLiteral("様"), QStringLiteral("御中"), QStringLiteral("殿"), QString()};
// The most a subject holds, in characters, and notes or the account to pay into, in lines.
constexpr int SubjectMaxLength = 60;
constexpr int NoteMaxLines = 4;

struct InvoiceHeader {
    qint32 number = 0;
    QString date; // "yyyy/mm/dd", or "" for none
    QString 顧客名, 顧客情報;
    std::optional<Currency> 消費税, 税抜計, 合計;
    // The basis of the tax: the scheme ("5%" for invoices stored before schemes existed) and,
    // under "10%・8%", the category, rounding, per-rate boxes and issuer's number as issued.
    QString 税率方式 = QStringLiteral("5%");
    QString 税区分, 端数処理, 登録番号;
    std::optional<Currency> 対象10, 消費税10, 対象8, 消費税8;
    // What the invoice says besides its lines, all optional. 振込先 is the account text as the
    // invoice was issued, so a reprint names the account it named then.
    QString 件名 = {}, 備考 = {}, 振込先 = {};
    QString 支払期限 = {}; // "yyyy/mm/dd", or "" for none
    QString 敬称 = Honorifics.front(); // the customer's when issued; "" prints none
    // The kind of document (DocumentKinds); its number counts within the kind.
    QString 種別 = Kind請求書;
    // The document it was made from, by kind and number; none when 元番号 is 0.
    QString 元種別 = {};
    qint32 元番号 = 0;
    QString 有効期限 = {}; // a quote's "yyyy/mm/dd", or "" for none
    QString 但し書き = {}; // what a receipt is for
    // Against another PC's work on the same book. Any replaces whatever is stored (one caller's
    // own register); Loaded registers only while the stored copy still counts 更新回数 changes, as
    // this PC read it; New only while the number holds no invoice; NextNumber takes the counter's
    // next number inside the registering transaction, so no two PCs get one and none is skipped.
    enum class Expect { Any, Loaded, New, NextNumber } expect = Expect::Any;
    qint64 更新回数 = 0;
};

// A register refused because another PC changed the book since this PC read it.
struct StaleInvoice : DbError {
    using DbError::DbError;
};

// Teaches the customer to the master: adds it or replaces its details. An empty name adds nothing.
void AutoEntry顧客マスタ(Database& main, const QString& name, const QString& details);
// Teaches the products of the work lines that carry a unit price or a quantity to the master;
// withRates also teaches each product its line's rate (an exempt line leaves the rate as it is).
void AutoEntry商品(Database& main, Database& work, bool withRates = false);

// Registers a document of kind h.種別 under h.number (or the kind's next number, see Expect) with
// these lines, in this order, replacing any stored copy of that number and kind (which goes into
// the history first); teaches the customer to the master and raises the kind's counter: all of it
// or, on failure (DbError; StaleInvoice naming what another PC did), none of it. A delivery note
// a standing cut-off billed is refused (DbError naming the cut-off). Names are stored trimmed;
// under "10%・8%" each line stores its rate (LineRate). Gives the number registered.
qint32 Entry伝票(Database& main, InvoiceHeader h, const std::vector<VersionLine>& lines);

// Registers the document on the work lines (up to the first line without a name) as Entry伝票
// does, teaching their products to the master too.
qint32 Entry請求書(Database& main, Database& work, const InvoiceHeader& h);

std::optional<InvoiceHeader> Read請求書ヘッダ(Database& main, qint32 number, const QString& kind = Kind請求書);

// Puts the stored lines of a document onto work rows 1, 2, 3, ... of 30 blank lines.
void Read請求書(Database& main, Database& work, qint32 number, const QString& kind = Kind請求書);

// Removes the stored lines and header of a document after copying them into the history,
// all or nothing; the counter stays. Refused as Entry伝票 refuses a billed delivery note.
void Delete請求書(Database& main, qint32 number, const QString& kind = Kind請求書);
