#include "store/statements.h"

#include "store/quote.h"

namespace {
// Booleans are joined as words.
const QString True = QStringLiteral("True");
const QString False = QStringLiteral("False");
QString lit(const QString& v) {
    return sqlText(v);
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
    return QStringLiteral("insert into w顧客マスタ select 顧客名,顧客情報 ") + " from 顧客マスタ in '" + lit(m) + "'" +
           " order by 顧客名;";
}
QString C5() {
    return "select 顧客名 from w顧客マスタ where チェック = " + True;
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

QString P1(const QString& p) {
    return "select * from 商品マスタ where 品名 = '" + lit(p) + "'";
}
QString P2() {
    return QStringLiteral("delete * from w商品マスタ");
}
QString P3(const QString& m) {
    return QStringLiteral("insert into w商品マスタ select 品名,単位,単価,非課税 ") + " from 商品マスタ in '" + lit(m) +
           "'" + " order by 品名;";
}
QString P4() {
    return "select 品名 from w商品マスタ where チェック = " + True;
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
    return "insert into w商品参照 select 品名,単位,単価,非課税 from 商品マスタ in '" + lit(m) + "'" + " order by 品名;";
}

QString S1() {
    return QStringLiteral("select * from 自社情報");
}

QString I1(const QString& n) {
    return "delete * from 請求書ヘッダ where 伝票番号 = " + n;
}
QString I2(const QString& n) {
    return "delete * from 請求書 where 伝票番号 = " + n;
}
QString I3() {
    return QStringLiteral("SELECT * From w明細 order by 行番号");
}
QString I4(const QString& n) {
    return "SELECT * From 請求書 Where 伝票番号 = " + n;
}
QString I5(const QString& n) {
    return "select * from 請求書ヘッダ where 伝票番号 = " + n;
}
QString I6() {
    return QStringLiteral("select * from w明細 where not (isnull(品名)) ");
}
QString I7(const QString& n) {
    return "SELECT * FROM 請求書 WHERE 伝票番号 = " + n + " ORDER BY 伝票番号,伝票区分,行番号;";
}
QString I8() {
    return QStringLiteral(" select * from w明細 order by 行番号;");
}
QString I9(const QString& n) {
    return "SELECT * FROM 請求書ヘッダ WHERE 伝票番号 = " + n;
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

QString M1() {
    return QStringLiteral("select * from 顧客マスタ order by rowid");
}
QString M2() {
    return QStringLiteral("select * from 商品マスタ order by rowid");
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
} // namespace sql
