#include "store/statements.h"

#include "store/quote.h"

namespace {
// Booleans are joined as words.
const QString True = QStringLiteral("True");
const QString False = QStringLiteral("False");
QString lit(const QString& v) {
    return sqlText(v);
}
// Column names copied as they are: bracketed, so any name reads as one name.
// A document is known by its number within its kind.
QString ofKind(const QString& kind) {
    return " and 種別 = '" + lit(kind) + "'";
}
QString bracketed(const QStringList& names) {
    QStringList b;
    for (const QString& n : names)
        b << u'[' + n + u']';
    return b.join(u',');
}
} // namespace

namespace sql {
QString C1(const QString& c) {
    return "select * from 顧客マスタ where 顧客名 = '" + lit(c) + "'";
}
QString C2() {
    return QStringLiteral("select * from 顧客マスタ order by 顧客名;");
}
QString C3() {
    return QStringLiteral("delete * from w顧客マスタ");
}
QString C4(const QString& m) {
    return QStringLiteral("insert into w顧客マスタ select 顧客名,顧客情報,敬称,PeppolID,郵便番号,住所,締日,支払月,支払日,請求方法,更新回数 ") + " from 顧客マスタ in '" + lit(m) + "'" +
           " order by 顧客名;";
}
QString C5() {
    return "select 顧客名,更新回数,読込名 from w顧客マスタ where チェック = " + True;
}
QString C6(const QString& c) {
    return "delete * from 顧客マスタ where 顧客名 = '" + lit(c) + "'";
}
QString C7() {
    return "delete * from w顧客マスタ where チェック =" + True;
}
QString C8() {
    return QStringLiteral("select * from w顧客マスタ");
}
QString C9(const QString& c) {
    return "select * from 顧客マスタ where 顧客名 =  '" + lit(c) + "'";
}
QString C10() {
    return QStringLiteral("select count(*) as 件数, sum(更新回数) as 回数, max(rowid) as 最終 from 顧客マスタ");
}
QString C11() {
    return QStringLiteral("select * from w顧客マスタ where 変更 = True or (isnull(更新回数) and not isnull(顧客名)) "
                          "order by rowid");
}

QString P1(const QString& p) {
    return "select * from 商品マスタ where 品名 = '" + lit(p) + "'";
}
QString P2() {
    return QStringLiteral("delete * from w商品マスタ");
}
QString P3(const QString& m) {
    return QStringLiteral("insert into w商品マスタ select 品名,単位,単価,非課税,税率,更新回数 ") + " from 商品マスタ in '" + lit(m) +
           "'" + " order by 品名;";
}
QString P4() {
    return "select 品名,更新回数,読込名 from w商品マスタ where チェック = " + True;
}
QString P5(const QString& p) {
    return "delete * from 商品マスタ where 品名 = '" + lit(p) + "'";
}
QString P6() {
    return "delete * from w商品マスタ where チェック =" + True;
}
QString P7() {
    return QStringLiteral("select * from w商品マスタ");
}
QString P8(const QString& p) {
    return "select * from 商品マスタ where 品名 =  '" + lit(p) + "'";
}
QString P9() {
    return QStringLiteral("delete * from w商品参照");
}
QString P10(const QString& m) {
    return "insert into w商品参照 select 品名,単位,単価,非課税,税率 from 商品マスタ in '" + lit(m) + "'" + " order by 品名;";
}
QString P11() {
    return QStringLiteral("select count(*) as 件数, sum(更新回数) as 回数, max(rowid) as 最終 from 商品マスタ");
}
QString P12() {
    return QStringLiteral("select * from w商品マスタ where 変更 = True or (isnull(更新回数) and not isnull(品名)) "
                          "order by rowid");
}

QString S1() {
    return QStringLiteral("select * from 自社情報");
}

QString I1(const QString& n, const QString& kind) {
    return "delete * from 請求書ヘッダ where 伝票番号 = " + n + ofKind(kind);
}
QString I2(const QString& n, const QString& kind) {
    return "delete * from 請求書 where 伝票番号 = " + n + ofKind(kind);
}
QString I3() {
    return QStringLiteral("SELECT * From w明細 order by 行番号");
}
QString I4(const QString& n, const QString& kind) {
    return "SELECT * From 請求書 Where 伝票番号 = " + n + ofKind(kind);
}
QString I5(const QString& n, const QString& kind) {
    return "select * from 請求書ヘッダ where 伝票番号 = " + n + ofKind(kind);
}
QString I6() {
    return QStringLiteral("select * from w明細 where not (isnull(品名)) ");
}
QString I7(const QString& n, const QString& kind) {
    return "SELECT * FROM 請求書 WHERE 伝票番号 = " + n + ofKind(kind) + " ORDER BY 伝票番号,伝票区分,行番号;";
}
QString I8() {
    return QStringLiteral(" select * from w明細 order by 行番号;");
}
QString I9(const QString& n, const QString& kind) {
    return "SELECT * FROM 請求書ヘッダ WHERE 伝票番号 = " + n + ofKind(kind);
}
QString I10() {
    return QStringLiteral("delete * from w明細");
}
QString I11() {
    return QStringLiteral("select * from w明細");
}
QString I12() {
    return QStringLiteral("select sum([金額]) AS total FROM w明細");
}
QString I13() {
    return "SELECT SUM([金額]) AS htotal FROM w明細 where 非課税 = " + False;
}

QString K1(const QString& k) {
    return "select * from コードマスタ where kcode = '" + lit(k) + "' order by code";
}
QString H1(const QString& f, const QString& c) {
    return "delete * from ClHint where FormName = '" + lit(f) + "'" + " and CtlName = '" + lit(c) + "'";
}
QString H2(const QString& f, const QString& c) {
    return "select * from ClHint where FormName = '" + lit(f) + "'" + " and CtlName = '" + lit(c) + "'";
}

QString Q1() {
    return QStringLiteral("select 金額,非課税,税率 from w明細 where not (isnull(金額))");
}
QString Q2() {
    return "update w明細 set 非課税 = " + True + " where 税率 = 0";
}
QString Q3() {
    return "update w明細 set 非課税 = " + False + " where 税率 <> 0 or isnull(税率)";
}
QString E1() {
    return QStringLiteral("select * from w顧客マスタ order by rowid");
}
QString E2() {
    return QStringLiteral("select * from w商品マスタ order by rowid");
}
QString W1() {
    return QStringLiteral("delete * from 顧客マスタ");
}
QString W2() {
    return QStringLiteral("delete * from 商品マスタ");
}
QString W3() {
    return QStringLiteral("delete * from 自社情報");
}
QString W4() {
    return QStringLiteral("delete * from 請求書");
}
QString W5() {
    return QStringLiteral("delete * from 請求書ヘッダ");
}
QString W6() {
    return QStringLiteral("delete * from 画像");
}
QString W7() {
    return QStringLiteral("delete * from 仕訳設定");
}
QString W8() {
    return QStringLiteral("delete * from 仕訳出力記録");
}

QString J1(const QString& f) {
    return "select 項目, 名称 from 仕訳設定 where 形式 = '" + lit(f) + "'";
}
QString J2(const QString& f) {
    return "delete * from 仕訳設定 where 形式 = '" + lit(f) + "'";
}
QString J3() {
    return QStringLiteral("select * from 仕訳設定");
}
QString J4() {
    return QStringLiteral("select * from 仕訳出力記録 order by 出力日時");
}
QString J5() {
    return QStringLiteral("select * from 仕訳出力記録");
}
QString J6() {
    return QStringLiteral("select 伝票番号, 日付, 変更日時 from 請求書ヘッダ履歴 where 種別 = '請求書' union all"
                          " select h.伝票番号, c.日付, h.変更日時 from 請求書ヘッダ履歴 h, 請求書ヘッダ c"
                          " where c.伝票番号 = h.伝票番号 and c.種別 = h.種別 and h.種別 = '請求書'"
                          " order by 変更日時, 伝票番号");
}

QString B1(const QString& n, const QString& doc, int g) {
    return "select max(版) as 版 from 請求書ヘッダ履歴 where 伝票番号 = " + n + ofKind(doc) + " and 世代 = " +
           QString::number(g);
}
QString B2(const QStringList& cols, const QString& n, const QString& doc) {
    return "insert into 請求書ヘッダ履歴 select " + bracketed(cols) + " from 請求書ヘッダ where 伝票番号 = " + n +
           ofKind(doc);
}
QString B3(const QString& n, const QString& doc, int version, const QString& kind, const QString& when, int g) {
    return "update 請求書ヘッダ履歴 set 版 = " + QString::number(version) + ", 変更種別 = '" + lit(kind) +
           "', 変更日時 = '" + lit(when) + "', 世代 = " + QString::number(g) + " where 伝票番号 = " + n + ofKind(doc) +
           " and isnull(版)";
}
QString B4(const QStringList& cols, const QString& n, const QString& doc) {
    return "insert into 請求書履歴 select " + bracketed(cols) + " from 請求書 where 伝票番号 = " + n + ofKind(doc);
}
QString B5(const QString& n, const QString& doc, int version, int g) {
    return "update 請求書履歴 set 版 = " + QString::number(version) + ", 世代 = " + QString::number(g) +
           " where 伝票番号 = " + n + ofKind(doc) + " and isnull(版)";
}
QString B6(const QString& n, const QString& doc, int g) {
    return "select * from 請求書ヘッダ履歴 where 伝票番号 = " + n + ofKind(doc) + " and 世代 = " + QString::number(g) +
           " order by 版";
}
QString B7(const QString& n, const QString& doc, int version, int g) {
    return "select * from 請求書履歴 where 伝票番号 = " + n + ofKind(doc) + " and 世代 = " + QString::number(g) +
           " and 版 = " + QString::number(version) + " order by 行番号";
}
QString B8() {
    return QStringLiteral("select count(*) + 1 as 世代 from 初期化履歴");
}
QString B9() {
    return QStringLiteral("select * from 初期化履歴");
}
QString B10() {
    return QStringLiteral("select 伝票番号, 種別 from 請求書ヘッダ order by 種別, 伝票番号");
}

namespace {
// The filter's conditions on one header row, joined with and; empty when nothing is set.
QStringList bookConditions(const BookFilter& f) {
    QStringList c;
    if (!f.kind.isEmpty())
        c << "種別 = '" + lit(f.kind) + "'";
    if (!f.from.isEmpty())
        c << "日付 >= '" + lit(f.from) + "'";
    if (!f.to.isEmpty())
        c << "日付 <= '" + lit(f.to) + "'";
    if (!f.likePattern.isEmpty())
        c << "(顧客名 like '" + lit(f.likePattern) + "' escape '\\' or 顧客情報 like '" + lit(f.likePattern) +
                 "' escape '\\')";
    if (!f.minRaw.isEmpty())
        c << "合計 >= " + f.minRaw;
    if (!f.maxRaw.isEmpty())
        c << "合計 <= " + f.maxRaw;
    if (!f.customer.isEmpty())
        c << "顧客名 = '" + lit(f.customer) + "'";
    return c;
}
QString where(const QStringList& conditions) {
    return conditions.isEmpty() ? QString() : " where " + conditions.join(QStringLiteral(" and "));
}
// The generation of the book now: one more than the wipes so far.
const QString generationNow = QStringLiteral("(select count(*) + 1 from 初期化履歴)");
// An invoice no longer in the book: its last version in its generation was a deletion or the
// wipe, and its number holds no invoice of the book now.
QStringList removedConditions(const BookFilter& f) {
    return QStringList{QStringLiteral("x.変更種別 in ('削除', '初期化')"),
                       QStringLiteral("x.版 = (select max(版) from 請求書ヘッダ履歴 where 伝票番号 = x.伝票番号"
                                      " and 種別 = x.種別 and 世代 = x.世代)"),
                       "(x.世代 < " + generationNow +
                           " or (x.伝票番号, x.種別) not in (select 伝票番号, 種別 from 請求書ヘッダ))"} +
           bookConditions(f);
}
// What has been paid on a live invoice, fees the customer kept included; 0 when nothing.
const QString paidSum = "(select sum(入金額 + 振込手数料) from 入金 where 入金.伝票番号 = 請求書ヘッダ.伝票番号"
                        " and 入金.世代 = " + generationNow + " and isnull(入金.取消日時))";
const QString paid = "case when isnull(" + paidSum + ") then 0 else " + paidSum + " end";
// Only invoices are paid; other documents have neither payments nor a balance.
const QString invoiceOnly = QStringLiteral("種別 = '請求書'");
QStringList paidConditions(const BookFilter& f) {
    switch (f.paid) {
    case BookFilter::Paid::Any:
        return {};
    case BookFilter::Paid::Open:
        return {invoiceOnly, "合計 > " + paid};
    case BookFilter::Paid::Overdue:
        return {invoiceOnly, "合計 > " + paid, "支払期限 < '" + lit(f.today) + "'"};
    case BookFilter::Paid::Settled:
        return {invoiceOnly, "合計 <= " + paid};
    }
    return {};
}
const QString bookColumns =
    QStringLiteral("伝票番号, 種別, 日付, 顧客名, 税抜計, 消費税, 合計, 件名, 支払期限, 対象10, 消費税10, 対象8, 消費税8,"
                   " 元種別, 元番号, ");
const QString lineColumns = QStringLiteral("伝票番号, 種別, 行番号, 品名, 数量, 単位, 単価, 金額, 非課税, 税率, ");
// The standing cut-off of the book now that billed delivery note `note` (a number or a column):
// a billed note is neither billed again nor changed.
QString billedBy(const QString& note) {
    return " from 締め明細, 請求締め where 締め明細.納品書番号 = " + note +
           " and 請求締め.締め番号 = 締め明細.締め番号 and isnull(請求締め.取消日時) and 請求締め.世代 = " + generationNow;
}
} // namespace

QString L1(const BookFilter& f, const QString& orderBy, qint64 limit, qint64 offset) {
    QString s = "select " + bookColumns + generationNow +
                " as 世代, (select count(*) from 請求書ヘッダ履歴 where 請求書ヘッダ履歴.伝票番号 = 請求書ヘッダ.伝票番号"
                " and 請求書ヘッダ履歴.種別 = 請求書ヘッダ.種別 and 請求書ヘッダ履歴.世代 = " + generationNow +
                " and 請求書ヘッダ履歴.変更種別 = '訂正') as 訂正回数, 0 as 削除済み, case when " + invoiceOnly + " then " +
                paid + " end as 入金計, case when " + invoiceOnly + " then 合計 - " + paid +
                " end as 残高 from 請求書ヘッダ" + where(bookConditions(f) + paidConditions(f));
    if (f.withDeleted && f.paid == BookFilter::Paid::Any)
        s += " union all select " + bookColumns +
             "世代, 0 as 訂正回数, case when 変更種別 = '初期化' then 2 else 1 end as 削除済み, null as 入金計,"
             " null as 残高 from 請求書ヘッダ履歴 x" +
             where(removedConditions(f));
    s += " order by " + orderBy;
    if (limit >= 0)
        s += " limit " + QString::number(limit) + " offset " + QString::number(offset);
    return s;
}

QString L2(const BookFilter& f) {
    QString s = "select " + lineColumns + generationNow +
                " as 世代 from 請求書 where (伝票番号, 種別) in (select 伝票番号, 種別 from 請求書ヘッダ" +
                where(bookConditions(f)) + ")";
    if (f.withDeleted)
        s += " union all select " + lineColumns +
             "世代 from 請求書履歴 y where (select count(*) from 請求書ヘッダ履歴 x where x.伝票番号 = y.伝票番号"
             " and x.種別 = y.種別 and x.世代 = y.世代 and x.版 = y.版 and " +
             removedConditions(f).join(QStringLiteral(" and ")) + ") > 0";
    return s + " order by 伝票番号, 種別, 世代, 行番号";
}

QString N1(const QString& n, int g) {
    return "select * from 入金 where 伝票番号 = " + n + " and 世代 = " + QString::number(g) +
           " and isnull(取消日時) order by 入金日, 入金番号";
}
QString N2(qint64 id) {
    return "select * from 入金 where 入金番号 = " + QString::number(id);
}
QString N3(qint64 id, const QString& when) {
    return "update 入金 set 取消日時 = '" + lit(when) + "' where 入金番号 = " + QString::number(id) +
           " and isnull(取消日時)";
}
QString N4(const BookFilter& f, const QString& from, const QString& to) {
    BookFilter undated = f;
    undated.from.clear();
    undated.to.clear();
    QString s = "select 入金.入金日 as 入金日, 入金.入金額 as 入金額, 入金.振込手数料 as 振込手数料,"
                " 入金.入金方法 as 入金方法, 入金.伝票番号 as 伝票番号, 顧客名 from 入金, 請求書ヘッダ"
                " where 入金.伝票番号 = 請求書ヘッダ.伝票番号 and 請求書ヘッダ.種別 = '請求書' and 入金.世代 = " + generationNow +
                " and isnull(入金.取消日時) and 入金.入金日 >= '" + lit(from) + "' and 入金.入金日 <= '" + lit(to) + "'";
    for (const QString& c : bookConditions(undated))
        s += " and " + c;
    return s + " order by 入金.入金日, 入金.入金番号";
}


QString T1() {
    return QStringLiteral("select * from 顧客マスタ where 請求方法 = '締め' order by 顧客名");
}
QString T2(const QString& c) {
    return "select * from 請求締め where 顧客名 = '" + lit(c) + "' and isnull(取消日時) and 世代 = " + generationNow +
           " order by 締日 desc, 締め番号 desc";
}
QString T3(const QString& c, const QString& from, const QString& to) {
    return "select 伝票番号, 日付, 件名 from 請求書ヘッダ where 種別 = '納品書' and 顧客名 = '" + lit(c) + "' and 日付 > '" + lit(from) +
           "' and 日付 <= '" + lit(to) +
           "' and not exists (select 締め明細.締め番号" + billedBy(QStringLiteral("請求書ヘッダ.伝票番号")) +
           ") order by 日付, 伝票番号";
}
QString T4(const QString& numbers) {
    return "select 伝票番号, 税率, 非課税, sum(金額) as 金額計 from 請求書 where 種別 = '納品書' and 伝票番号 in (" +
           numbers + ") group by 伝票番号, 税率, 非課税";
}
QString T5(const QString& c, const QString& from, const QString& to) {
    return "select sum(入金.入金額 + 入金.振込手数料) as 入金計 from 入金, 請求書ヘッダ where 入金.伝票番号 = 請求書ヘッダ.伝票番号"
           " and 請求書ヘッダ.種別 = '請求書' and 顧客名 = '" + lit(c) + "' and 入金.世代 = " + generationNow +
           " and isnull(入金.取消日時) and 入金.入金日 > '" + lit(from) + "' and 入金.入金日 <= '" + lit(to) + "'";
}
QString T6(qint64 id) {
    return "select * from 請求締め where 締め番号 = " + QString::number(id);
}
QString T7(qint64 id) {
    return "select * from 締め明細 where 締め番号 = " + QString::number(id);
}
QString N5() {
    return QStringLiteral("select max(入金番号) as 最大 from 入金");
}
QString T10() {
    return QStringLiteral("select max(締め番号) as 最大 from 請求締め");
}
QString T9(const QString& n) {
    return "select * from 請求締め where 請求書番号 = " + n + " and isnull(取消日時) and 世代 = " + generationNow;
}
QString T10(qint64 id) {
    return "select 請求書ヘッダ.伝票番号, 日付, 件名 from 締め明細, 請求書ヘッダ where 締め明細.締め番号 = " + QString::number(id) +
           " and 請求書ヘッダ.伝票番号 = 締め明細.納品書番号 and 請求書ヘッダ.種別 = '納品書' order by 日付, 請求書ヘッダ.伝票番号";
}
QString T11(const QString& note) {
    return "select 請求締め.締め番号 as 締め番号, 請求締め.締日 as 締日" + billedBy(note);
}
QString T8(qint64 id, const QString& when) {
    return "update 請求締め set 取消日時 = '" + lit(when) + "' where 締め番号 = " + QString::number(id) +
           " and isnull(取消日時)";
}

QString U1(const QString& start, const QString& end, const QString& asOf, const QString& days30,
           const QString& days60) {
    const QString S = "'" + lit(start) + "'", E = "'" + lit(end) + "'", A = "'" + lit(asOf) + "'",
                  D30 = "'" + lit(days30) + "'", D60 = "'" + lit(days60) + "'";
    const QString owed = QStringLiteral("合計 - 前入金 - 当月入金");
    const auto aged = [&](const QString& when) {
        return "sum(case when " + when + " then " + owed + " else 0 end)";
    };
    const QString received = QStringLiteral("入金額 + 振込手数料");
    return "select 顧客名, sum(case when 日付 < " + S + " then 合計 else 0 end) - sum(前入金) as 前月末残高,"
           " sum(case when 日付 >= " + S + " then 合計 else 0 end) as 当月売上, sum(当月入金) as 当月入金, sum(" +
           owed + ") as 残高, " + aged("isnull(支払期限) or 支払期限 >= " + A) + " as 期限内, " +
           aged("支払期限 < " + A + " and 支払期限 >= " + D30) + " as 超過30, " +
           aged("支払期限 < " + D30 + " and 支払期限 >= " + D60) + " as 超過60, " + aged("支払期限 < " + D60) +
           " as 超過61 from (select h.顧客名 as 顧客名, h.日付 as 日付, h.合計 as 合計, h.支払期限 as 支払期限,"
           " case when isnull(p.前入金) then 0 else p.前入金 end as 前入金,"
           " case when isnull(p.当月入金) then 0 else p.当月入金 end as 当月入金 from 請求書ヘッダ h left join"
           " (select 伝票番号, sum(case when 入金日 < " + S + " then " + received + " else 0 end) as 前入金,"
           " sum(case when 入金日 >= " + S + " and 入金日 <= " + E + " then " + received + " else 0 end) as 当月入金"
           " from 入金 where 世代 = " + generationNow + " and isnull(取消日時) group by 伝票番号) p"
           " on p.伝票番号 = h.伝票番号 where h.種別 = '請求書' and h.日付 <= " + E + ") 請求 group by 顧客名 order by 顧客名";
}
} // namespace sql
