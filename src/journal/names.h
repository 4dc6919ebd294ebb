#pragma once
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

// The accounting programs the journal CSV is made for, in the order the format box lists them.
enum class JournalFormat { Yayoi, Freee, MoneyForward };
inline const QStringList JournalFormatNames = {QStringLiteral("弥生会計"), QStringLiteral("freee"),
                                               QStringLiteral("マネーフォワード")};

// What an office calls its accounts and tax categories in its accounting program. The names must
// match the program's own, so the office can edit them; each format starts from its standard ones.
struct JournalNames {
    QString 売掛金, 売上高, 普通預金, 現金, 支払手数料;
    QString 課税売上10, 課税売上8, 課税売上5, 非課税売上, 対象外, 課税仕入10;
    friend bool operator==(const JournalNames&, const JournalNames&) = default;
};

JournalNames DefaultNames(JournalFormat f);

// The rows of the settings table: one per format and item, (形式, 項目, 名称), 項目 being the caption
// below, in the order the settings grid lists them.
struct NameItem {
    QString 項目;
    QString JournalNames::*name;
};
const QList<NameItem>& NameItems();
// A format's names from its stored rows (項目 → 名称); an item missing or blank keeps the standard name.
JournalNames NamesFromRows(JournalFormat f, const QHash<QString, QString>& rows);
