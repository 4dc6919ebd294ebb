#include "masters/customers.h"

#include "masters/master_copy.h"
#include "store/statements.h"

namespace {
const MasterTables customers{QStringLiteral("顧客名"),
                             QStringLiteral("顧客"),
                             {QStringLiteral("顧客名"), QStringLiteral("顧客情報"), QStringLiteral("敬称"), QStringLiteral("PeppolID"),
                              QStringLiteral("郵便番号"), QStringLiteral("住所"), QStringLiteral("締日"), QStringLiteral("支払月"),
                              QStringLiteral("支払日"), QStringLiteral("請求方法")},
                             sql::C3,
                             sql::C4,
                             sql::C9,
                             sql::C5,
                             sql::C6,
                             sql::C7,
                             sql::C10,
                             sql::C11};
} // namespace

void Read顧客マスタ(Database& work, const QString& mainDbPath) {
    readMaster(customers, work, mainDbPath);
}
void Entry顧客情報(Database& main, Database& work) {
    entryMaster(customers, main, work);
}
bool Delete顧客(Database& main, Database& work) {
    return deleteTickedMaster(customers, main, work);
}
const MasterTables& customerTables() {
    return customers;
}
void Clear顧客情報(Database& work) {
    work.execute(sql::C3());
    work.compactIfMostlyFree(); // a large import cleared away gives its space back
}

QStringList CustomersWithUnsoundTerms(Database& work) {
    QStringList out;
    auto rs = work.openRecordset(sql::C8());
    for (rs->moveFirst(); !rs->eof(); rs->moveNext()) {
        const QString name = rs->field(QStringLiteral("顧客名")).toText();
        const PaymentTerms t = TermsOf(*rs);
        if (const QString problem = TermsProblem(t); !name.isEmpty() && !problem.isEmpty())
            out << name + QStringLiteral("（") + problem + QStringLiteral("）");
    }
    return out;
}

PaymentTerms TermsOf(const Recordset& customer) {
    const auto text = [&customer](const QString& f) { return customer.field(f).toText().trimmed(); };
    return {text(QStringLiteral("締日")), text(QStringLiteral("支払月")), text(QStringLiteral("支払日")),
            text(QStringLiteral("請求方法"))};
}
