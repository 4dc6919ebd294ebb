#include "journal/names.h"

JournalNames DefaultNames(JournalFormat f) {
    // 課税売上10%, 8%（軽減）, 5%, 非課税売上, 対象外 and 課税仕入10% as each program names them; 弥生会計's are
    // its tax-inclusive (込) categories, the amounts carrying their tax.
    static const QStringList categories[] = {
        {QStringLiteral("課税売上込10%"), QStringLiteral("課税売上込軽減8%"), QStringLiteral("課税売上込5%"),
         QStringLiteral("非課売上"), QStringLiteral("対象外"), QStringLiteral("課対仕入込10%")},
        {QStringLiteral("課税売上10%"), QStringLiteral("課税売上8%(軽)"), QStringLiteral("課税売上5%"),
         QStringLiteral("非課売上"), QStringLiteral("対象外"), QStringLiteral("課対仕入10%")},
        {QStringLiteral("課税売上 10%"), QStringLiteral("課税売上 8%(軽)"), QStringLiteral("課税売上 5%"),
         QStringLiteral("非課税売上"), QStringLiteral("対象外"), QStringLiteral("課税仕入 10%")},
    };
    const QStringList& c = categories[int(f)];
    return JournalNames{QStringLiteral("売掛金"),
                        QStringLiteral("売上高"),
                        QStringLiteral("普通預金"),
                        QStringLiteral("現金"),
                        QStringLiteral("支払手数料"),
                        c[0],
                        c[1],
                        c[2],
                        c[3],
                        c[4],
                        c[5]};
}

const QList<NameItem>& NameItems() {
    static const QList<NameItem> items = {
        {QStringLiteral("売掛金"), &JournalNames::売掛金},
        {QStringLiteral("売上高"), &JournalNames::売上高},
        {QStringLiteral("普通預金"), &JournalNames::普通預金},
        {QStringLiteral("現金"), &JournalNames::現金},
        {QStringLiteral("支払手数料"), &JournalNames::支払手数料},
        {QStringLiteral("課税売上10%"), &JournalNames::課税売上10},
        {QStringLiteral("課税売上8%（軽減）"), &JournalNames::課税売上8},
        {QStringLiteral("課税売上5%"), &JournalNames::課税売上5},
        {QStringLiteral("非課税売上"), &JournalNames::非課税売上},
        {QStringLiteral("対象外"), &JournalNames::対象外},
        {QStringLiteral("課税仕入10%"), &JournalNames::課税仕入10},
    };
    return items;
}

JournalNames NamesFromRows(JournalFormat f, const QHash<QString, QString>& rows) {
    JournalNames n = DefaultNames(f);
    for (const NameItem& item : NameItems()) {
        const QString stored = rows.value(item.項目).trimmed();
        if (!stored.isEmpty())
            n.*item.name = stored;
    }
    return n;
}
