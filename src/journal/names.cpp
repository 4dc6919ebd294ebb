#include "journal/names.h"

JournalNames DefaultNames(JournalFormat f) {
    JournalNames n;
    n.売掛金 = QStringLiteral("売掛金");
    n.売上高 = QStringLiteral("売上高");
    n.普通預金 = QStringLiteral("普通預金");
    n.現金 = QStringLiteral("現金");
    n.支払手数料 = QStringLiteral("支払手数料");
    switch (f) {
    case JournalFormat::Yayoi: // the tax-inclusive (込) categories: the amounts carry their tax
        n.課税売上10 = QStringLiteral("課税売上込10%");
        n.課税売上8 = QStringLiteral("課税売上込軽減8%");
        n.課税売上5 = QStringLiteral("課税売上込5%");
        n.非課税売上 = QStringLiteral("非課売上");
        n.対象外 = QStringLiteral("対象外");
        n.課税仕入10 = QStringLiteral("課対仕入込10%");
        break;
    case JournalFormat::Freee:
        n.課税売上10 = QStringLiteral("課税売上10%");
        n.課税売上8 = QStringLiteral("課税売上8%(軽)");
        n.課税売上5 = QStringLiteral("課税売上5%");
        n.非課税売上 = QStringLiteral("非課売上");
        n.対象外 = QStringLiteral("対象外");
        n.課税仕入10 = QStringLiteral("課対仕入10%");
        break;
    case JournalFormat::MoneyForward:
        n.課税売上10 = QStringLiteral("課税売上 10%");
        n.課税売上8 = QStringLiteral("課税売上 8%(軽)");
        n.課税売上5 = QStringLiteral("課税売上 5%");
        n.非課税売上 = QStringLiteral("非課税売上");
        n.対象外 = QStringLiteral("対象外");
        n.課税仕入10 = QStringLiteral("課税仕入 10%");
        break;
    }
    return n;
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
