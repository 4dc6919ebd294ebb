#pragma once
#include <QStringList>

// The two files of a data folder.
inline const QString MainDbName = QStringLiteral("Vornisa.mdb");
inline const QString WorkDbName = QStringLiteral("VornisaWork.mdb");

// The tables each delivered file must hold; opening refuses a file without them.
inline const QStringList mainTables = {QStringLiteral("顧客マスタ"),   QStringLiteral("商品マスタ"),
                                       QStringLiteral("自社情報"),     QStringLiteral("請求書"),
                                       QStringLiteral("請求書ヘッダ"), QStringLiteral("コードマスタ")};
inline const QStringList workTables = {QStringLiteral("w明細"), QStringLiteral("w顧客マスタ"),
                                       QStringLiteral("w商品マスタ"), QStringLiteral("w商品参照"),
                                       QStringLiteral("ClHint")};
// The work tables that only hold what the pages show now; the hints (ClHint) are the user's.
inline const QStringList scratchTables = {QStringLiteral("w明細"), QStringLiteral("w顧客マスタ"),
                                          QStringLiteral("w商品マスタ"), QStringLiteral("w商品参照")};
// The master work copies' own columns, never a master field: not shown, exported or imported.
// Each row keeps the master row's change count and name as read, and whether it was edited since.
inline const QStringList WorkCopyMarks = {QStringLiteral("チェック"), QStringLiteral("更新回数"),
                                          QStringLiteral("読込名"), QStringLiteral("変更")};
