#include "peppol/parties.h"

#include "peppol/identifiers.h"
#include "store/database.h"
#include "store/statements.h"

namespace pint {

Company StoredCompany(Database& main) {
    Company c;
    auto rs = main.openRecordset(sql::S1());
    if (rs->eof())
        return c;
    rs->moveFirst();
    c.自社名 = rs->field(QStringLiteral("自社名")).toText();
    c.PeppolID = rs->field(QStringLiteral("PeppolID")).toText();
    c.郵便番号 = rs->field(QStringLiteral("郵便番号")).toText();
    c.住所 = rs->field(QStringLiteral("住所")).toText();
    return c;
}

Customer StoredCustomer(Database& main, const QString& name) {
    Customer c;
    auto rs = main.openRecordset(sql::C1(name));
    if (rs->eof())
        return c;
    rs->moveFirst();
    c.PeppolID = rs->field(QStringLiteral("PeppolID")).toText();
    c.郵便番号 = rs->field(QStringLiteral("郵便番号")).toText();
    c.住所 = rs->field(QStringLiteral("住所")).toText();
    return c;
}

std::optional<QString> StoredParticipantId(const QString& typed) {
    if (typed.trimmed().isEmpty())
        return QString();
    const auto id = ParseParticipantId(typed);
    if (!id)
        return std::nullopt;
    return id->scheme + u':' + id->id;
}

QStringList NormaliseCustomerIds(Database& work) {
    const QString field = QStringLiteral("PeppolID");
    auto rs = work.openRecordset(sql::C8());
    QStringList unreadable;
    QList<std::pair<int, QString>> rewrites; // row, stored form
    int row = 0;
    for (rs->moveFirst(); !rs->eof(); rs->moveNext(), ++row) {
        const QString typed = rs->field(field).toText();
        const auto stored = StoredParticipantId(typed);
        if (!stored)
            unreadable << rs->field(QStringLiteral("顧客名")).toText();
        else if (*stored != typed)
            rewrites.append({row, *stored});
    }
    if (!unreadable.isEmpty() || rewrites.isEmpty())
        return unreadable;
    Transaction tx(work, TxStart::Deferred);
    row = 0;
    qsizetype next = 0;
    for (rs->moveFirst(); !rs->eof() && next < rewrites.size(); rs->moveNext(), ++row) {
        if (rewrites[next].first != row)
            continue;
        rs->edit();
        rs->setField(field, rewrites[next].second.isEmpty() ? Value() : Value(rewrites[next].second));
        rs->update();
        ++next;
    }
    tx.commit();
    return unreadable;
}

} // namespace pint
