#include "invoice/invoice_io.h"

#include "book/history.h"
#include "figures/figures.h"
#include "invoice/lines.h"
#include "invoice/numbering.h"
#include "invoice/qualified.h"
#include "store/database.h"
#include "store/statements.h"

#include <limits>
#include <sqlite3.h>

namespace {

const QString F品名 = QStringLiteral("品名");
const QString F数量 = QStringLiteral("数量");
const QString F単位 = QStringLiteral("単位");
const QString F単価 = QStringLiteral("単価");
const QString F金額 = QStringLiteral("金額");
const QString F非課税 = QStringLiteral("非課税");
const QString F税率 = QStringLiteral("税率");

// A line whose name is missing or only blanks is an empty line.
bool unnamed(const Value& name) {
    return name.isNull() || name.toText().trimmed().isEmpty();
}

// Text of a field that may be Null, keeping Null apart from an empty text.
QString nullableText(const Value& v) {
    if (v.isNull())
        return QString();
    const QString t = v.toText();
    return t.isNull() ? QStringLiteral("") : t;
}

std::optional<Currency> nullableMoney(const Value& v) {
    if (v.isNull())
        return std::nullopt;
    return v.toCurrency();
}

} // namespace

NumberCheck CheckInvoiceNumber(const QString& typed, qint32* number) {
    const QString text = figures::asciiNumber(typed);
    if (text.isEmpty())
        return NumberCheck::Empty;
    for (const QChar c : text)
        if (c < u'0' || c > u'9')
            return NumberCheck::NotNumeric;
    qsizetype first = 0;
    while (first < text.size() - 1 && text[first] == u'0')
        ++first;
    const QString digits = text.mid(first);
    if (digits.size() > 10)
        return NumberCheck::OutOfRange;
    const qlonglong n = digits.toLongLong();
    if (n < 1 || n > std::numeric_limits<qint32>::max())
        return NumberCheck::OutOfRange;
    if (number)
        *number = static_cast<qint32>(n);
    return NumberCheck::Ok;
}

bool LinesHaveGap(Database& work) {
    auto rs = work.openRecordset(sql::I3());
    bool pastEmpty = false;
    for (rs->moveFirst(); !rs->eof(); rs->moveNext()) {
        if (unnamed(rs->field(F品名))) {
            pastEmpty = true;
            if (!rs->field(F数量).isNull() || !rs->field(F単価).isNull() || !rs->field(F金額).isNull())
                return true;
        } else if (pastEmpty) {
            return true;
        }
    }
    return false;
}

void AutoEntry顧客マスタ(Database& main, const QString& name, const QString& details) {
    if (name.trimmed().isEmpty())
        return;
    auto rs = main.openRecordset(sql::C1(name));
    const bool adding = rs->eof();
    // A customer already known as typed is left alone: its change count says what others changed.
    if (!adding && rs->field(QStringLiteral("顧客情報")).toText() == details)
        return;
    if (adding)
        rs->addNew();
    else
        rs->edit();
    rs->setField(QStringLiteral("顧客名"), name);
    rs->setField(QStringLiteral("顧客情報"), details);
    rs->setField(QStringLiteral("更新回数"), nextChangeCount(*rs, adding));
    rs->update();
    rs->close();
}

void AutoEntry商品(Database& main, Database& work, bool withRates) {
    Transaction t(main);
    auto lines = work.openRecordset(sql::I6());
    for (lines->moveFirst(); !lines->eof(); lines->moveNext()) {
        if (lines->field(F単価).isNull() && lines->field(F数量).isNull())
            continue;
        const QString name = lines->field(F品名).toText().trimmed();
        if (name.isEmpty())
            continue;
        auto rs = main.openRecordset(sql::P1(name));
        const bool adding = rs->eof();
        const int rate = withRates ? LineRate(lines->field(F税率), lines->field(F非課税).toBool()) : 0;
        // A product already known as the line has it is left alone: its change count says what
        // others changed.
        if (!adding && rs->field(F単位) == lines->field(F単位) && rs->field(F単価) == lines->field(F単価) &&
            rs->field(F非課税) == lines->field(F非課税) && (rate == 0 || rs->field(F税率).toInt() == rate))
            continue;
        if (adding)
            rs->addNew();
        else
            rs->edit();
        rs->setField(F品名, name);
        rs->setField(F単位, lines->field(F単位));
        rs->setField(F単価, lines->field(F単価));
        rs->setField(F非課税, lines->field(F非課税));
        if (rate != 0)
            rs->setField(F税率, rate);
        rs->setField(QStringLiteral("更新回数"), nextChangeCount(*rs, adding));
        rs->update();
        rs->close();
    }
    lines->close();
    t.commit();
}

namespace {

// Inside the registering transaction, which holds the writers' lock: the number to register
// under and the stored copy's change count, or StaleInvoice when another PC got there first.
qint64 claimNumber(Database& main, InvoiceHeader& h) {
    using Expect = InvoiceHeader::Expect;
    if (h.expect == Expect::NextNumber) {
        bool ok = false;
        h.number = Proc管理(main, CounterItemOf(h.種別), QStringLiteral("Get"), QString()).toInt(&ok);
        if (!ok || h.number <= 0)
            throw DbError(0, QStringLiteral("次の伝票番号を決められませんでした。"));
    }
    const auto stored = main.openRecordset(sql::I5(QString::number(h.number), h.種別));
    // An invoice is 「伝票」 as the list calls it; another kind says which it is.
    const QString no = (h.種別 == Kind請求書 ? QStringLiteral("伝票") : h.種別) + QStringLiteral(" %1 は").arg(h.number);
    const QString reload = QStringLiteral("読み込み直してから登録してください。");
    if (stored->eof()) {
        if (h.expect == Expect::Loaded)
            throw StaleInvoice(0, no + QStringLiteral("他のPCで削除されました。") + reload);
        return -1;
    }
    const qint64 count = stored->field(QStringLiteral("更新回数")).toInt();
    if (h.expect == Expect::New || h.expect == Expect::NextNumber)
        throw StaleInvoice(0, no + QStringLiteral("他のPCで登録されました。") + reload);
    if (h.expect == Expect::Loaded && count != h.更新回数)
        throw StaleInvoice(0, no + QStringLiteral("他のPCで変更されました。") + reload);
    return count;
}

// Inside the writing transaction, so no cut-off on another PC slips in between: a delivery note
// a standing cut-off billed stays as billed, or the summary invoice would no longer say what it
// billed. Undoing the cut-off frees it.
void refuseBilledNote(Database& main, qint32 number, const QString& kind) {
    if (kind != Kind納品書)
        return;
    const auto cutOff = main.openRecordset(sql::T11(QString::number(number)));
    if (cutOff->eof())
        return;
    throw DbError(SQLITE_CONSTRAINT,
                  QStringLiteral("納品書 %1 は %2 の請求締めで請求済みのため、訂正・削除できません。"
                                 "訂正するときは、先に請求締めを取り消してください。")
                      .arg(number)
                      .arg(cutOff->field(QStringLiteral("締日")).toText()));
}

} // namespace

qint32 Entry伝票(Database& main, InvoiceHeader h, const std::vector<VersionLine>& lines) {
    const Value date = h.date.isEmpty() ? Value() : Value(h.date);
    const bool qualified = h.税率方式 == Scheme10_8;
    // A kind without a counter would be stored where no list or number box finds it.
    if (!DocumentKinds.contains(h.種別))
        throw DbError(SQLITE_MISUSE, QStringLiteral("伝票の種別が正しくありません: ") + h.種別);
    Transaction t(main);
    const qint64 storedCount = claimNumber(main, h);
    refuseBilledNote(main, h.number, h.種別);
    const QString number = QString::number(h.number);
    AutoEntry顧客マスタ(main, h.顧客名, h.顧客情報);
    Archive請求書(main, h.number, Change訂正, QDateTime::currentDateTime(), h.種別);
    main.execute(sql::I1(number, h.種別));
    main.execute(sql::I2(number, h.種別));

    auto stored = main.openRecordset(sql::I4(number, h.種別));
    int lineNo = 0;
    for (const VersionLine& line : lines) {
        stored->addNew();
        stored->setField(QStringLiteral("伝票番号"), h.number);
        stored->setField(QStringLiteral("種別"), h.種別);
        stored->setField(QStringLiteral("顧客名"), h.顧客名);
        stored->setField(QStringLiteral("日付"), date);
        stored->setField(QStringLiteral("行番号"), lineNo);
        stored->setField(QStringLiteral("伝票区分"), 1);
        stored->setField(F品名, line.品名.toText().trimmed());
        stored->setField(F数量, line.数量);
        stored->setField(F単位, line.単位);
        stored->setField(F単価, line.単価);
        stored->setField(F金額, line.金額);
        stored->setField(F非課税, line.非課税);
        if (qualified)
            stored->setField(F税率, LineRate(line.税率, line.非課税.toBool()));
        stored->update();
        ++lineNo;
    }
    stored->close();

    auto header = main.openRecordset(sql::I5(number, h.種別));
    header->addNew();
    header->setField(QStringLiteral("伝票番号"), h.number);
    header->setField(QStringLiteral("種別"), h.種別);
    header->setField(QStringLiteral("日付"), date);
    header->setField(QStringLiteral("顧客名"), h.顧客名);
    header->setField(QStringLiteral("顧客情報"), h.顧客情報);
    if (h.消費税)
        header->setField(QStringLiteral("消費税"), *h.消費税);
    if (h.税抜計)
        header->setField(QStringLiteral("税抜計"), *h.税抜計);
    if (h.合計)
        header->setField(QStringLiteral("合計"), *h.合計);
    header->setField(QStringLiteral("税率方式"), h.税率方式);
    if (qualified) {
        header->setField(QStringLiteral("税区分"), h.税区分);
        header->setField(QStringLiteral("端数処理"), h.端数処理);
        if (!h.登録番号.isEmpty())
            header->setField(QStringLiteral("登録番号"), h.登録番号);
        for (const auto& [field, box] : {std::pair{QStringLiteral("対象10"), h.対象10},
                                         std::pair{QStringLiteral("消費税10"), h.消費税10},
                                         std::pair{QStringLiteral("対象8"), h.対象8},
                                         std::pair{QStringLiteral("消費税8"), h.消費税8}})
            if (box)
                header->setField(field, *box);
    }
    for (const auto& [field, text] : {std::pair{QStringLiteral("件名"), h.件名}, std::pair{QStringLiteral("備考"), h.備考},
                                      std::pair{QStringLiteral("振込先"), h.振込先},
                                      std::pair{QStringLiteral("支払期限"), h.支払期限},
                                      std::pair{QStringLiteral("有効期限"), h.有効期限},
                                      std::pair{QStringLiteral("但し書き"), h.但し書き}})
        if (!text.isEmpty())
            header->setField(field, text);
    header->setField(QStringLiteral("敬称"), h.敬称);
    header->setField(QStringLiteral("更新回数"), static_cast<std::int64_t>(storedCount + 1));
    if (h.元番号 > 0) {
        header->setField(QStringLiteral("元種別"), h.元種別);
        header->setField(QStringLiteral("元番号"), h.元番号);
    }
    header->update();
    header->close();

    Proc管理(main, CounterItemOf(h.種別), QStringLiteral("Set"), number);
    t.commit();
    return h.number;
}

qint32 Entry請求書(Database& main, Database& work, const InvoiceHeader& h) {
    Transaction t(main);
    AutoEntry商品(main, work, h.税率方式 == Scheme10_8);
    std::vector<VersionLine> lines;
    auto rs = work.openRecordset(sql::I3());
    for (rs->moveFirst(); !rs->eof(); rs->moveNext()) {
        if (unnamed(rs->field(F品名)))
            break;
        lines.push_back({rs->field(F品名), rs->field(F数量), rs->field(F単位), rs->field(F単価), rs->field(F金額),
                         rs->field(F非課税), rs->field(F税率)});
    }
    rs->close();
    const qint32 number = Entry伝票(main, h, lines);
    t.commit();
    return number;
}

std::optional<InvoiceHeader> Read請求書ヘッダ(Database& main, qint32 number, const QString& kind) {
    auto rs = main.openRecordset(sql::I9(QString::number(number), kind));
    if (rs->eof())
        return std::nullopt;
    InvoiceHeader h;
    h.number = number;
    h.種別 = kind;
    h.元種別 = rs->field(QStringLiteral("元種別")).toText();
    h.元番号 = static_cast<qint32>(rs->field(QStringLiteral("元番号")).toInt());
    h.有効期限 = rs->field(QStringLiteral("有効期限")).toText();
    h.但し書き = rs->field(QStringLiteral("但し書き")).toText();
    h.date = rs->field(QStringLiteral("日付")).toText();
    h.顧客名 = nullableText(rs->field(QStringLiteral("顧客名")));
    h.顧客情報 = nullableText(rs->field(QStringLiteral("顧客情報")));
    h.消費税 = nullableMoney(rs->field(QStringLiteral("消費税")));
    h.税抜計 = nullableMoney(rs->field(QStringLiteral("税抜計")));
    h.合計 = nullableMoney(rs->field(QStringLiteral("合計")));
    if (const Value scheme = rs->field(QStringLiteral("税率方式")); !scheme.isNull())
        h.税率方式 = scheme.toText();
    h.税区分 = rs->field(QStringLiteral("税区分")).toText();
    h.端数処理 = rs->field(QStringLiteral("端数処理")).toText();
    h.登録番号 = rs->field(QStringLiteral("登録番号")).toText();
    h.対象10 = nullableMoney(rs->field(QStringLiteral("対象10")));
    h.消費税10 = nullableMoney(rs->field(QStringLiteral("消費税10")));
    h.対象8 = nullableMoney(rs->field(QStringLiteral("対象8")));
    h.消費税8 = nullableMoney(rs->field(QStringLiteral("消費税8")));
    h.件名 = rs->field(QStringLiteral("件名")).toText();
    h.支払期限 = rs->field(QStringLiteral("支払期限")).toText();
    h.備考 = rs->field(QStringLiteral("備考")).toText();
    h.振込先 = rs->field(QStringLiteral("振込先")).toText();
    h.敬称 = rs->field(QStringLiteral("敬称")).toText();
    h.更新回数 = rs->field(QStringLiteral("更新回数")).toInt();
    h.expect = InvoiceHeader::Expect::Loaded;
    rs->close();
    return h;
}

void Read請求書(Database& main, Database& work, qint32 number, const QString& kind) {
    Transaction t(work);
    Clear明細ワーク(work);
    auto stored = main.openRecordset(sql::I7(QString::number(number), kind));
    auto rows = work.openRecordset(sql::I8());
    stored->moveFirst();
    rows->moveFirst();
    // Lines beyond the thirtieth have no row to land on.
    for (; !stored->eof() && !rows->eof(); stored->moveNext(), rows->moveNext()) {
        rows->edit();
        for (const QString& f : {F品名, F数量, F単位, F単価, F金額, F非課税, F税率})
            rows->setField(f, stored->field(f));
        rows->update();
    }
    stored->close();
    rows->close();
    t.commit();
}

void Delete請求書(Database& main, qint32 number, const QString& kind) {
    const QString n = QString::number(number);
    Transaction t(main);
    refuseBilledNote(main, number, kind);
    Archive請求書(main, number, Change削除, QDateTime::currentDateTime(), kind);
    main.execute(sql::I2(n, kind));
    main.execute(sql::I1(n, kind));
    t.commit();
}
