#include "masters/products.h"

#include "masters/master_copy.h"
#include "store/statements.h"

namespace {
const MasterTables products{
    QStringLiteral("品名"),
    QStringLiteral("商品"),
    {QStringLiteral("品名"), QStringLiteral("単位"), QStringLiteral("単価"), QStringLiteral("非課税"),
     QStringLiteral("税率")},
    sql::P2,
    sql::P3,
    sql::P8,
    sql::P4,
    sql::P5,
    sql::P6,
    sql::P11,
    sql::P12};
} // namespace

void Read商品マスタ(Database& work, const QString& mainDbPath) {
    readMaster(products, work, mainDbPath);
}
void Entry商品情報(Database& main, Database& work) {
    entryMaster(products, main, work);
}
bool Delete商品(Database& main, Database& work) {
    return deleteTickedMaster(products, main, work);
}
const MasterTables& productTables() {
    return products;
}
void Clear商品情報(Database& work) {
    work.execute(sql::P2());
    work.compactIfMostlyFree(); // a large import cleared away gives its space back
}
