#pragma once
#include "book/kinds.h"
#include "store/value.h"

#include <QDateTime>
#include <QString>
#include <QtGlobal>
#include <vector>

class Database;

// The invoice book keeps every issued copy: before a stored invoice is replaced, deleted or
// wiped, its header and lines go into the history tables as its next version (1, 2, …).
// Nothing edits or deletes history rows. The full wipe starts numbering again, so the history
// keeps each invoice under its number and the book's generation (1, then one more after every
// wipe): an invoice never shows the versions of an earlier one that had its number.
inline const QString Change訂正 = QStringLiteral("訂正");
inline const QString Change削除 = QStringLiteral("削除");
inline const QString Change初期化 = QStringLiteral("初期化");
inline const QString ChangeTimeFormat = QStringLiteral("yyyy/MM/dd HH:mm:ss");

// The generation of the book now.
int CurrentGeneration(Database& main);

// Copies the stored copy of the document of that number and kind (doc), every column of its
// header and lines, into the history as its next version, inside the caller's transaction; kind
// is the kind of change. Returns the version written, or 0 when nothing is stored under the
// number (a first registration leaves no history).
int Archive請求書(Database& main, qint32 number, const QString& kind, const QDateTime& when,
                  const QString& doc = Kind請求書);

// Before the full wipe, inside its transaction: every stored invoice goes into the history
// as a version of kind 初期化, and the book's generation ends.
void Archive全請求書(Database& main, const QDateTime& when);

// One version of an invoice as the history window lists it. The copy stored now comes last,
// with version 0 and no kind.
struct InvoiceVersion {
    int 版 = 0;
    QString 変更種別, 変更日時;
    QString 日付, 顧客名, 顧客情報;
    Value 税抜計, 消費税, 合計;
    // The basis a qualified invoice was issued under; 税率方式 empty for a "5%" one.
    QString 税率方式, 税区分, 登録番号;
    Value 対象10, 消費税10, 対象8, 消費税8;
    // Subject, due date ("yyyy/mm/dd" or ""), notes, the account text and honorific as issued.
    QString 件名, 支払期限, 備考, 振込先, 敬称;
    // The kind of document, the source it was made from, a quote's validity, a receipt's purpose.
    QString 種別, 元種別, 有効期限, 但し書き;
    Value 元番号;
};
struct VersionLine {
    Value 品名, 数量, 単位, 単価, 金額, 非課税, 税率;
};
class Recordset;
// The line at a recordset's row of stored lines (the fields of the detail tables).
VersionLine LineAt(const Recordset& rs);

// The versions of the invoice of that number in that generation of the book; the copy stored
// now comes last only for the generation now.
std::vector<InvoiceVersion> Read履歴(Database& main, qint32 number, int generation, const QString& doc = Kind請求書);
// The lines of one version; version 0 reads the copy stored now.
std::vector<VersionLine> Read履歴明細(Database& main, qint32 number, int generation, int version,
                                      const QString& doc = Kind請求書);
